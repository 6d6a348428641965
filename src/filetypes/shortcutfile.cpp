#include "shortcutfile.h"

#include "platform/fs/devicepath.h"

#include <climits>

namespace {

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

} // namespace

QByteArray ShortcutFile::Compose(const QString &target)
{
    const QString text = QString::number(target.size() + 2) + QStringLiteral("#\"") + target + u'"';
    QByteArray content = platform::bytesFromText(text);
    content.append('\0');
    return content;
}

QString ShortcutFile::Parse(const QByteArray &content, qint64 fileSize)
{
    const qsizetype zero = content.indexOf('\0');
    QString text = platform::textFromBytes(zero < 0 ? content : content.left(zero));

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
