#pragma once
#include "platform/base/finddata.h"

#include <QString>

// One listed file: its whole directory entry and a scratch buffer for its
// attribute letters.
class FileEntry {
public:
    FileEntry() = default;
    explicit FileEntry(const platform::FindData &data);
    virtual ~FileEntry();

    const platform::FindData &GetFindData() const { return m_data; }
    const QString &GetName() const { return m_data.name; }
    void GetSize(quint32 *high, quint32 *low) const;
    platform::FileTime GetLastWriteTime() const { return m_data.lastWriteTime; }

    QString GetSizeText() const;
    QString GetChangedText() const;
    QString GetAttrText() const;
    // Writes the attribute letters into the entry's own 14-character buffer
    // (zero-filled first) and returns it.
    const QChar *GetAttrLetters();

private:
    platform::FindData m_data;
    QChar m_attrLetters[14] = {};
};
