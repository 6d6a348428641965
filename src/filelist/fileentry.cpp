#include "fileentry.h"

#include "rowtext.h"

#include <algorithm>

FileEntry::FileEntry(const platform::FindData &data)
    : m_data(data)
{
}

FileEntry::~FileEntry() = default;

void FileEntry::GetSize(quint32 *high, quint32 *low) const
{
    if (high)
        *high = m_data.sizeHigh;
    if (low)
        *low = m_data.sizeLow;
}

QString FileEntry::GetSizeText() const
{
    return FormatSizeText(m_data.sizeHigh, m_data.sizeLow);
}

QString FileEntry::GetChangedText() const
{
    return FormatChangedText(m_data.lastWriteTime);
}

QString FileEntry::GetAttrText() const
{
    return FormatAttrText(m_data.attributes);
}

const QChar *FileEntry::GetAttrLetters()
{
    std::fill(std::begin(m_attrLetters), std::end(m_attrLetters), QChar());
    WriteAttrLetters(m_data.attributes, m_attrLetters);
    return m_attrLetters;
}
