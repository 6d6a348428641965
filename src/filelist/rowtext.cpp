#include "rowtext.h"

#include "platform/attributes/fileattributes.h"

#include <QDateTime>

const std::array<AttrLetter, 11> kAttrLetters = {{
    {platform::FILE_ATTRIBUTE_READONLY, 'R'},
    {platform::FILE_ATTRIBUTE_HIDDEN, 'H'},
    {platform::FILE_ATTRIBUTE_SYSTEM, 'S'},
    {platform::FILE_ATTRIBUTE_DIRECTORY, 'D'},
    {platform::FILE_ATTRIBUTE_ARCHIVE, 'A'},
    {platform::FILE_ATTRIBUTE_INROM, 'I'},
    {platform::FILE_ATTRIBUTE_NORMAL, 'N'},
    {platform::FILE_ATTRIBUTE_TEMPORARY, 'T'},
    {platform::FILE_ATTRIBUTE_COMPRESSED, 'C'},
    {platform::FILE_ATTRIBUTE_ROMSTATICREF, 'F'},
    {platform::FILE_ATTRIBUTE_ROMMODULE, 'M'},
}};

// Qt's printf rounds a tie away from zero (1.25 -> "1.3"), as the handheld's
// C runtime did, so sizes such as 1280 bytes read the same as there.
QString FormatSizeText(quint32 sizeHigh, quint32 sizeLow)
{
    if (sizeHigh == 0 && sizeLow < 1024)
        return QString::asprintf("%d b", int(sizeLow));
    if (sizeHigh == 0 && sizeLow < 1048576) {
        // Single precision is exact below 2^24 bytes; keep it for the same digits.
        const float kilobytes = float(sizeLow) * 0.0009765625f;
        return QString::asprintf("%.1fKb", double(kilobytes));
    }
    const double megabytes = (double(sizeHigh) * 4294967296.0 + double(sizeLow)) * 0.00000095367431640625;
    return QString::asprintf("%.1fMb", megabytes);
}

// A time whose local date falls outside the years 1 to 9999 cannot be shown
// as a calendar date of four-digit years (the handheld's date class stopped
// at 9999 as well): its cell stays empty rather than showing a made-up date.
QString FormatChangedText(platform::FileTime lastWriteUtc)
{
    const qint64 unixSeconds = platform::unixSecondsFromFileTime(lastWriteUtc);
    const QDateTime local = QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::UTC).toLocalTime();
    if (!local.isValid())
        return QString();
    const QDate date = local.date();
    const QTime time = local.time();
    if (date.year() < 1 || date.year() > 9999)
        return QString();
    return QString::asprintf("%02d-%02d-%02d %02d:%02d:%02d", date.day(), date.month(), date.year(),
                             time.hour(), time.minute(), time.second());
}

int WriteAttrLetters(quint32 attributes, QChar *out)
{
    int count = 0;
    for (const AttrLetter &a : kAttrLetters) {
        if (attributes & a.bit)
            out[count++] = QLatin1Char(a.letter);
    }
    return count;
}

QString FormatAttrText(quint32 attributes)
{
    QChar letters[kAttrLetters.size()];
    return QString(letters, WriteAttrLetters(attributes, letters));
}
