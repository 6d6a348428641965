#include "wildcard.h"

namespace platform::detail {

namespace {

inline char16_t fold(char16_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c;
    return QChar::toCaseFolded(c);
}

} // namespace

Wildcard::Wildcard(const QString &pattern)
    : m_everything(pattern == QLatin1String("*") || pattern == QLatin1String("*.*"))
{
    m_folded.reserve(pattern.size());
    QChar previous;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*') && previous == QLatin1Char('*'))
            continue; // a run of stars is one star
        m_folded += QChar(fold(c.unicode()));
        previous = c;
    }
}

bool Wildcard::hasWildcards(QStringView pattern)
{
    return pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'));
}

// Greedy match with one back-tracking point: the last star seen.
bool Wildcard::matches(QStringView name) const
{
    if (m_everything)
        return true;
    const char16_t *p = reinterpret_cast<const char16_t *>(m_folded.utf16());
    const qsizetype pn = m_folded.size();
    const char16_t *s = reinterpret_cast<const char16_t *>(name.utf16());
    const qsizetype sn = name.size();
    qsizetype pi = 0, si = 0, star = -1, resume = 0;
    while (si < sn) {
        if (pi < pn && p[pi] == '*') {
            star = pi++;
            resume = si;
        } else if (pi < pn && (p[pi] == '?' || p[pi] == fold(s[si]))) {
            ++pi;
            ++si;
        } else if (star >= 0) {
            pi = star + 1;
            si = ++resume;
        } else {
            return false;
        }
    }
    while (pi < pn && p[pi] == '*')
        ++pi;
    return pi == pn;
}

} // namespace platform::detail
