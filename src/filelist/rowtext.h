#pragma once
#include "platform/base/finddata.h"

#include <QString>

#include <array>

// The texts of a file row, the same in every list.
QString FormatSizeText(quint32 sizeHigh, quint32 sizeLow);   // "512 b", "1.5Kb", "1.0Mb"
QString FormatChangedText(platform::FileTime lastWriteUtc);  // "03-02-2004 09:05:07", local time
QString FormatAttrText(quint32 attributes);                  // "RA"

// The attribute bits that show a letter, in the order the letters appear;
// every other bit shows nothing.
struct AttrLetter {
    quint32 bit;
    char letter;
};
extern const std::array<AttrLetter, 11> kAttrLetters;

// Writes the letters of attributes into out (room for kAttrLetters.size())
// and returns how many there are.
int WriteAttrLetters(quint32 attributes, QChar *out);
