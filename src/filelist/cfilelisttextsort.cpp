#include "cfilelisttextsort.h"

#include "entrysort.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <numeric>

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
    // The rows' own form, "dd-mm-yyyy hh:mm:ss", read digit by digit: the
    // general parse below costs microseconds per text.
    if (text.size() == 19 && text.at(2) == u'-' && text.at(5) == u'-' && text.at(10) == u' '
        && text.at(13) == u':' && text.at(16) == u':') {
        const auto number = [&text](int at, int digits) {
            int value = 0;
            for (int k = at; k < at + digits; ++k) {
                const char16_t c = text.at(k).unicode();
                if (c < u'0' || c > u'9')
                    return -1;
                value = value * 10 + (c - u'0');
            }
            return value;
        };
        const QDate date(number(6, 4), number(3, 2), number(0, 2));
        const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
        if (!date.isValid() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
            return false;
        *seconds = date.toJulianDay() * 86400 + hour * 3600 + minute * 60 + second;
        return true;
    }
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

// A column text ready for comparison: names, types and attributes folded;
// a size as its unit rank and number; a date as 0 and its seconds, or 1
// for a text that is no date (after every date, equal to each other).
struct SortKey {
    QString folded;
    int rank = 0;
    double number = 0.0;
};

quint32 columnOf(quint32 state)
{
    return state & ~(kAscending | kDescending);
}

SortKey makeKey(const QString &text, quint32 column)
{
    SortKey key;
    switch (column) {
    case kSize:
        key.rank = unitRank(text);
        key.number = leadingNumber(text);
        break;
    case kChanged: {
        qint64 seconds = 0;
        if (parseDateText(text, &seconds))
            key.number = double(seconds);
        else
            key.rank = 1;
        break;
    }
    default:
        key.folded = FoldNoCase(text);
        break;
    }
    return key;
}

int compareKeys(const SortKey &a, const SortKey &b, quint32 state)
{
    int result = 0;
    switch (columnOf(state)) {
    case kName:
        result = sign(QStringView(a.folded).compare(b.folded));
        break;
    case kSize:
    case kChanged:
        if (a.rank != b.rank)
            result = a.rank < b.rank ? -1 : 1;
        else if (a.number != b.number)
            result = a.number < b.number ? -1 : 1;
        break;
    case kAttrs:
    case kType:
        result = sign(QStringView(b.folded).compare(a.folded));
        break;
    default:
        return 0;
    }
    return (state & kDescending) ? -result : result;
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
    return compareKeys(makeKey(a, columnOf(state)), makeKey(b, columnOf(state)), state);
}

std::vector<int> SortOrder(const std::vector<QString> &texts, quint32 state)
{
    std::vector<SortKey> keys;
    keys.reserve(texts.size());
    for (const QString &text : texts)
        keys.push_back(makeKey(text, columnOf(state)));
    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compareKeys(keys[size_t(a)], keys[size_t(b)], state) < 0;
    });
    return order;
}

} // namespace textsort
