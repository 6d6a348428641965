#include "visiblename.h"

namespace {

constexpr char16_t kStoredBackslash = 0xF05C;
constexpr char16_t kBackslashSign = 0x2216; // SET MINUS: a backslash in every font that has math signs
// Arrows rather than the control pictures (U+2400...), which common fonts lack.
constexpr char16_t kNewlineSign = 0x21B5;   // DOWNWARDS ARROW WITH CORNER LEFTWARDS
constexpr char16_t kTabSign = 0x21E5;       // RIGHTWARDS ARROW TO BAR
constexpr char16_t kParagraphSign = 0x00B6; // for the paragraph separator
constexpr char16_t kReplacement = 0xFFFD;

bool isHidingOrReordering(char16_t c)
{
    return (c >= 0x202A && c <= 0x202E)   // embeddings and overrides
        || (c >= 0x2066 && c <= 0x2069)   // isolates
        || c == 0x200E || c == 0x200F || c == 0x061C // direction marks
        || c == 0x200B || c == 0x2060 || c == 0xFEFF // zero-width spaces
        || (c >= 0x0080 && c <= 0x009F)   // C1 controls
        || (c >= 0xDC80 && c <= 0xDCFF);   // bytes that were not UTF-8 (unpaired low surrogates)
}

} // namespace

QString visibleName(const QString &name)
{
    QString out = name;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out[i].unicode();
        if (c == kStoredBackslash)
            out[i] = QChar(kBackslashSign);
        else if (c == u'\n' || c == u'\r' || c == 0x2028)
            out[i] = QChar(kNewlineSign);
        else if (c == u'\t')
            out[i] = QChar(kTabSign);
        else if (c < 0x20 || c == 0x7F)
            out[i] = QChar(kReplacement);
        else if (c == 0x2029)
            out[i] = QChar(kParagraphSign);
        else if (isHidingOrReordering(c) && !(out[i].isLowSurrogate() && i > 0 && out[i - 1].isHighSurrogate()))
            out[i] = QChar(kReplacement);
    }
    return out;
}
