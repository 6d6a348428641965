#pragma once
#include "registry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

// The keys one .reg file declares, by root and case-folded key path (no
// leading or trailing backslash; "" is the root itself). Every text lives in
// one arena (UTF-8); keys are sorted by root and path, and the values of a
// key by name, so a question is a binary search and memory grows with the
// file's size only, however many or deep its keys are. Built once by
// RegContentBuilder, then read only (safe to share between threads).
class RegFileContent {
public:
    QString fileName;
    QStringList warnings; // "file:line: reason"

    // Declared, or a parent of a declared key (as in a registry), or the root.
    bool hasKey(RegRoot root, const QString &foldedPath) const;
    bool declaresKey(RegRoot root, const QString &foldedPath) const;
    // The named value (folded; "" is the default value) of a declared key.
    bool findValue(RegRoot root, const QString &foldedPath, const QString &foldedName, QString *value) const;

    qsizetype keyCount() const { return qsizetype(m_keys.size()); }

private:
    friend class RegContentBuilder;

    struct Key {
        quint32 path;
        quint32 pathLength : 24;
        quint32 root : 8;
        quint32 firstValue;
        quint32 valueCount;
    };
    struct Value {
        quint32 name, nameLength;
        quint32 text, textLength;
    };

    QByteArrayView text(quint32 offset, quint32 length) const { return QByteArrayView(m_arena).sliced(offset, length); }
    const Key *findKey(RegRoot root, QByteArrayView path) const;

    QByteArray m_arena;
    std::vector<Key> m_keys;
    std::vector<Value> m_values;
};

// Fills a RegFileContent in file order; a key declared twice has the values
// of both, the later of two same-named values winning.
class RegContentBuilder {
public:
    // expectedBytes: the file's size, to reserve room (untouched room costs
    // no memory).
    RegContentBuilder(RegFileContent &content, qint64 expectedBytes);

    void beginKey(RegRoot root, const QString &foldedPath);
    void addValue(const QString &foldedName, const QString &text); // to the last key begun
    // Sorts and merges; the content is complete afterwards.
    void finish();

private:
    quint32 store(const QString &text, quint32 *length);

    RegFileContent &m_content;
    std::vector<RegFileContent::Key> m_declared; // in file order
    std::vector<RegFileContent::Value> m_values; // in file order
};

} // namespace platform
