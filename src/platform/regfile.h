#pragma once
#include "registry.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace platform {

// The string values of one key; names are kept case-folded.
struct RegKeyValues {
    QHash<QString, QString> values; // "" is the default value
};

// The keys one .reg file declares, by root and case-folded key path (no
// leading or trailing backslash; "" is the root itself).
struct RegFileContent {
    QString fileName;
    QHash<QString, RegKeyValues> keys[3];    // indexed by RegRoot
    QHash<QString, bool> implicitKeys[3];    // ancestors of declared keys
    QStringList warnings;                    // "file:line: reason"

    bool hasKey(RegRoot root, const QString &foldedPath) const;
    const RegKeyValues *declaredKey(RegRoot root, const QString &foldedPath) const;
};

// Folds a sub key for comparing: case-insensitive, leading and trailing
// backslashes dropped.
QString foldRegKeyPath(const QString &subKey);

// Reads a registry export (REGEDIT4 or version 5.00, UTF-8, ANSI or UTF-16LE
// with BOM). Lines that cannot be read are recorded as warnings and skipped.
RegFileContent parseRegText(const QString &text, const QString &fileName);
RegFileContent loadRegFile(const QString &fileName);

} // namespace platform
