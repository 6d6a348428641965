#include "regvaluedata.h"

#include <QStringDecoder>

namespace platform {

namespace {

constexpr int REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4, REG_MULTI_SZ = 7;

bool parseHex(QStringView text, int maxDigits, uint *value)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return false;
    bool ok = false;
    *value = text.toUInt(&ok, 16);
    // toUInt takes a sign or "0x"; digits only here.
    for (QChar c : text)
        ok = ok && (c.isDigit() || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'));
    return ok;
}

// Up to the first zero character.
QString untilZero(const QString &text)
{
    const qsizetype zero = text.indexOf(QChar(0));
    return zero < 0 ? text : text.left(zero);
}

} // namespace

bool parseRegValueData(QStringView text, RegValueData *data)
{
    text = text.trimmed();
    const qsizetype comment = text.indexOf(u';');
    if (comment >= 0)
        text = text.left(comment).trimmed();
    uint number = 0;
    if (text.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        data->type = REG_DWORD;
        return parseHex(text.mid(6), 8, &number);
    }
    QStringView bytes;
    if (text.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
        data->type = REG_BINARY;
        bytes = text.mid(4);
    } else if (text.startsWith(QLatin1String("hex("), Qt::CaseInsensitive)) {
        const qsizetype close = text.indexOf(QLatin1String("):"));
        if (close < 0 || !parseHex(text.mid(4, close - 4), 8, &number))
            return false;
        data->type = int(number);
        bytes = text.mid(close + 2);
    } else {
        return false;
    }
    bytes = bytes.trimmed();
    data->bytes.clear();
    if (bytes.isEmpty())
        return true;
    data->bytes.reserve(bytes.size() / 3 + 1);
    for (QStringView byte : bytes.tokenize(u',')) {
        if (!parseHex(byte.trimmed(), 2, &number))
            return false;
        data->bytes.append(char(number));
    }
    return true;
}

bool regValueDataAsString(const RegValueData &data, bool ansi, QString *text)
{
    if (data.type != REG_SZ && data.type != REG_EXPAND_SZ && data.type != REG_MULTI_SZ)
        return false;
    if (ansi) {
        const qsizetype zero = data.bytes.indexOf('\0');
        const QByteArray bytes = zero < 0 ? data.bytes : data.bytes.left(zero);
        *text = bytes.isValidUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    } else {
        *text = untilZero(QStringDecoder(QStringDecoder::Utf16LE).decode(data.bytes.left(data.bytes.size() & ~1)));
    }
    if (data.type == REG_EXPAND_SZ)
        *text = expandEnvironmentStrings(*text);
    return true;
}

QString regValueTypeName(int type)
{
    switch (type) {
    case REG_BINARY:
        return QStringLiteral("binary");
    case REG_DWORD:
        return QStringLiteral("dword");
    default:
        return QStringLiteral("hex(%1)").arg(type, 0, 16);
    }
}

QString expandEnvironmentStrings(const QString &text)
{
    QString out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(u'%', pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'%', open + 1);
        if (close < 0) {
            out += QStringView(text).mid(pos);
            break;
        }
        out += QStringView(text).mid(pos, open - pos);
        const QByteArray name = text.mid(open + 1, close - open - 1).toLocal8Bit();
        if (!name.isEmpty() && qEnvironmentVariableIsSet(name.constData())) {
            out += qEnvironmentVariable(name.constData());
            pos = close + 1;
        } else {
            // Left as it stands; the closing % may open the next name.
            out += QStringView(text).mid(open, close - open);
            pos = close;
        }
    }
    return out;
}

} // namespace platform
