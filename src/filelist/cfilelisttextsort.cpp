#include "cfilelisttextsort.h"

#include "entrysort.h"

#include <QDate>
#include <QTime>

namespace textsort {

namespace {

int sign(qint64 value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int unitRank(const QString &sizeText)
{
    if (sizeText.indexOf(QLatin1String("Mb"), 1) >= 0)
        return 30;
    if (sizeText.indexOf(QLatin1String("Kb"), 1) >= 0)
        return 20;
    return 10;
}

// Seconds since the start of the calendar, or false for a text that is no
// date. Compared as written: no time zone is involved.
bool parseDateText(const QString &text, qint64 *seconds)
{
    const QString trimmed = text.trimmed();
    const int blank = trimmed.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return false;
    const QDate date = QDate::fromString(trimmed.left(blank), QStringLiteral("dd-MM-yyyy"));
    const QTime time = QTime::fromString(trimmed.mid(blank + 1).trimmed(), QStringLiteral("hh:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return false;
    *seconds = date.toJulianDay() * 86400 + time.msecsSinceStartOfDay() / 1000;
    return true;
}

// The number a size text starts with (blanks, sign, digits, fraction,
// exponent), 0 when it starts with none.
double leadingNumber(const QString &text)
{
    int i = 0;
    const int n = int(text.size());
    auto isDigit = [&](int at) { return at < n && text.at(at) >= u'0' && text.at(at) <= u'9'; };
    while (i < n && text.at(i).isSpace())
        ++i;
    const int start = i;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    int digits = 0;
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < n && text.at(i) == u'.') {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    int end = i;
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        int j = i + 1;
        if (j < n && (text.at(j) == u'+' || text.at(j) == u'-'))
            ++j;
        if (isDigit(j)) {
            while (isDigit(j))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    const double value = text.mid(start, end - start).toDouble(&ok);
    return ok ? value : 0.0;
}

int compareSizeText(const QString &a, const QString &b)
{
    const int rankA = unitRank(a), rankB = unitRank(b);
    if (rankA != rankB)
        return rankA < rankB ? -1 : 1;
    const double numberA = leadingNumber(a), numberB = leadingNumber(b);
    if (numberA == numberB)
        return 0;
    return numberA < numberB ? -1 : 1;
}

int compareDateText(const QString &a, const QString &b)
{
    qint64 secondsA = 0, secondsB = 0;
    const bool validA = parseDateText(a, &secondsA);
    const bool validB = parseDateText(b, &secondsB);
    if (validA != validB)
        return validA ? -1 : 1;
    if (!validA)
        return 0;
    return sign(secondsA - secondsB);
}

} // namespace

quint32 ColumnCode(const QString &heading)
{
    if (heading == QLatin1String("Name"))
        return kName;
    if (heading == QLatin1String("Size"))
        return kSize;
    if (heading == QLatin1String("Changed"))
        return kChanged;
    if (heading == QLatin1String("Attrs"))
        return kAttrs;
    if (heading == QLatin1String("Type"))
        return kType;
    return 0;
}

quint32 NextSortState(quint32 state, quint32 code)
{
    if ((state & code) == 0 || (state & kDescending) != 0)
        return code + kAscending;
    return code + kDescending;
}

int CompareTexts(const QString &a, const QString &b, quint32 state)
{
    int result = 0;
    switch (state & ~(kAscending | kDescending)) {
    case kName:
        result = CompareNoCase(a, b);
        break;
    case kSize:
        result = compareSizeText(a, b);
        break;
    case kChanged:
        result = compareDateText(a, b);
        break;
    case kAttrs:
    case kType:
        result = CompareNoCase(b, a);
        break;
    default:
        return 0;
    }
    return (state & kDescending) ? -result : result;
}

} // namespace textsort
