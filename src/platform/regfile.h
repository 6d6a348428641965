#pragma once
#include "registry.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace platform {

// The string values of one key; names are kept case-folded. Keys hold a
// handful of values: a list is smaller than a hash by a hundred times, which
// matters for files with a million keys.
struct RegKeyValues {
    QList<QPair<QString, QString>> values; // "" is the default value

    const QString *find(const QString &foldedName) const;
    void set(const QString &foldedName, const QString &value);
};

// Larger registry files are refused, and longer string values skipped, with
// a warning: neither can be a file-type association.
constexpr qint64 kMaxRegFileBytes = 64 * 1024 * 1024;
constexpr qsizetype kMaxRegValueChars = 16 * 1024;

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
// Reads a regular file only (a FIFO, device or link to one is refused
// without blocking) of at most kMaxRegFileBytes.
RegFileContent loadRegFile(const QString &fileName);

// Identity, size and change times of a file ("" when it cannot be looked
// at): differs after any change to the file, or its replacement. The
// registry and the desktop's associations compare it at every question.
QByteArray fileChangeStamp(const QString &fileName);

} // namespace platform
