#pragma once
#include "regcontent.h"

#include <QByteArray>
#include <QString>

namespace platform {

// Larger registry files are refused, and longer string values skipped, with
// a warning: neither can be a file-type association.
constexpr qint64 kMaxRegFileBytes = 64 * 1024 * 1024;
constexpr qsizetype kMaxRegValueChars = 16 * 1024;
// The device's limits on key paths; a key beyond them is skipped with a
// warning, and so is a line too long to hold anything within the limits.
constexpr qsizetype kMaxRegKeyNameChars = 255;
constexpr int kMaxRegKeyLevels = 512;
constexpr qsizetype kMaxRegLineChars = 1024 * 1024;
// A file broken on every line says so this often, then counts the rest.
constexpr int kMaxRegWarnings = 100;

// Folds a sub key for comparing: case-insensitive, leading and trailing
// backslashes dropped.
QString foldRegKeyPath(const QString &subKey);

// Reads a registry export (REGEDIT4 or version 5.00, UTF-8, ANSI or UTF-16
// with BOM). String values are read from "..." and from hex(1), hex(2)
// (%NAME% expanded from the environment) and hex(7) (the first string);
// other types, and lines that cannot be read, are recorded as warnings and
// skipped. Time and memory grow with the text's length only.
RegFileContent parseRegText(const QString &text, const QString &fileName);
// Reads a regular file only (a FIFO, device or link to one is refused
// without blocking) of at most kMaxRegFileBytes, a block at a time.
RegFileContent loadRegFile(const QString &fileName);

// Identity, size and change times of a file ("" when it cannot be looked
// at): differs after any change to the file, or its replacement. The
// registry and the desktop's associations compare it at every question.
QByteArray fileChangeStamp(const QString &fileName);

} // namespace platform
