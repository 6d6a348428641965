#pragma once
#include <QHash>
#include <QString>

// Small text files of /proc and /sys, which report no size of their own.
namespace platform {

// The whole file, empty when it cannot be read.
QString readSmallTextFile(const QString &path);
// "key : value" lines of the first processor in /proc/cpuinfo.
QHash<QString, QString> readCpuInfo();

} // namespace platform
