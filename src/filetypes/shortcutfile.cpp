#include "shortcutfile.h"

#include <climits>

namespace {

// A byte 0x80..0xFF that is not valid UTF-8 is kept as U+DC80..U+DCFF, the
// way device names keep them.
constexpr char16_t kRawByteBase = 0xDC00;

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at bytes[i], or 0 when there is none
// (stray byte, overlong form, surrogate, beyond U+10FFFF, cut short).
int validSequenceLength(const QByteArray &bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes.at(k)); };
    const unsigned char b = at(i);
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0)
            low = 0xA0;
        else if (b == 0xED)
            high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0)
            low = 0x90;
        else if (b == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (int k = 2; k < length; ++k)
        if (!isContinuation(at(i + k)))
            return 0;
    return length;
}

// The leading signed decimal number of text: blanks skipped, an optional
// sign, digits up to the first other character; no digits give 0. Values
// beyond the int range saturate.
qint64 leadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    qint64 n = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        if (n <= INT_MAX)
            n = n * 10 + (text.at(i).unicode() - u'0');
    }
    if (negative)
        return n > qint64(INT_MAX) + 1 ? qint64(INT_MIN) : -n;
    return n > INT_MAX ? qint64(INT_MAX) : n;
}

// The format's 8-bit text: UTF-8, with U+DC80..U+DCFF written as the raw
// byte they stand for.
QByteArray encodeText(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i; // a proper pair
            continue;
        }
        if (!QChar::isSurrogate(c))
            continue;
        bytes += QStringView(text).mid(runStart, i - runStart).toUtf8();
        if (c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF)
            bytes += char(c - kRawByteBase);
        else
            bytes += "\xEF\xBF\xBD"; // U+FFFD, never '?': the reader stops there
        runStart = i + 1;
    }
    bytes += QStringView(text).mid(runStart).toUtf8();
    return bytes;
}

QString decodeText(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = validSequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        text += QString::fromUtf8(bytes.constData() + runStart, i - runStart);
        text += QChar(char16_t(kRawByteBase + static_cast<unsigned char>(bytes.at(i))));
        runStart = ++i;
    }
    text += QString::fromUtf8(bytes.constData() + runStart, bytes.size() - runStart);
    return text;
}

} // namespace

QByteArray ShortcutFile::Compose(const QString &target)
{
    const QString text = QString::number(target.size() + 2) + QStringLiteral("#\"") + target + u'"';
    QByteArray content = encodeText(text);
    content.append('\0');
    return content;
}

QString ShortcutFile::Parse(const QByteArray &content, qint64 fileSize)
{
    const qsizetype zero = content.indexOf('\0');
    QString text = decodeText(zero < 0 ? content : content.left(zero));

    const qsizetype hash = text.indexOf(u'#');
    if (hash >= 0) {
        qint64 n = leadingNumber(text.left(hash));
        if (n <= 0)
            n = fileSize - hash - 1; // the rest of the file
        const qsizetype question = text.indexOf(u'?');
        if (question >= 0)
            n = question - hash - 1; // a "?" ends the target whatever the count says
        if (n > fileSize)
            n = fileSize;
        text = n > 0 ? text.mid(hash + 1, qsizetype(n)) : QString();
    }

    if (text.endsWith(u'"'))
        text.chop(1);
    if (text.startsWith(u'"'))
        text.remove(0, 1);
    return text;
}
