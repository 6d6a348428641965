#include "entrysort.h"

#include "exchangeorder.h"
#include "rowtext.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

// One UTF-16 unit to lower case on its own, as the handheld's
// case-insensitive compare did; ASCII without a table look-up.
char16_t foldUnit(char16_t unit)
{
    if (unit < 0x80)
        return (unit >= u'A' && unit <= u'Z') ? char16_t(unit + (u'a' - u'A')) : unit;
    return QChar(unit).toLower().unicode();
}

// Reorders the entries by ranks of their keys (null entries have rank 0,
// below every key) as the exchange sort would.
void applyRanks(CFileEntryArray &entries, std::vector<int> &ranks, int rankCount, bool ascending)
{
    std::vector<FileEntry *> &list = entries.Entries();
    if (list.size() < 2)
        return;
    if (!ascending) {
        for (int &rank : ranks)
            rank = rankCount - 1 - rank;
    }
    const std::vector<int> order = ExchangeSortOrder(ranks, rankCount);
    if (order.size() != list.size())
        return;
    std::vector<FileEntry *> sorted(list.size(), nullptr);
    for (size_t k = 0; k < order.size(); ++k)
        sorted[k] = list[size_t(order[k])];
    list.swap(sorted);
}

// Ranks every entry by the key `keyOf(index)` gives a non-null entry, then sorts.
template<typename Key, typename KeyOf>
void sortByKey(CFileEntryArray &entries, bool ascending, KeyOf keyOf)
{
    const std::vector<FileEntry *> &list = entries.Entries();
    if (list.size() < 2)
        return;
    std::vector<Key> keys;
    keys.reserve(list.size());
    bool anyNull = false;
    for (size_t k = 0; k < list.size(); ++k) {
        if (list[k])
            keys.push_back(keyOf(k));
        else
            anyNull = true;
    }
    std::vector<int> keyRanks;
    const int rankCount = DenseRanks(keys, keyRanks);
    std::vector<int> ranks(list.size(), 0);
    const int shift = anyNull ? 1 : 0;
    size_t next = 0;
    for (size_t k = 0; k < list.size(); ++k) {
        if (list[k])
            ranks[k] = keyRanks[next++] + shift;
    }
    applyRanks(entries, ranks, rankCount + shift, ascending);
}

// Every name folded to lower case, in one buffer, so that keys are views
// into it rather than a string allocation per entry.
class FoldedNames {
public:
    explicit FoldedNames(const std::vector<FileEntry *> &list)
    {
        size_t total = 0;
        for (const FileEntry *entry : list)
            total += entry ? size_t(entry->GetName().size()) : 0;
        m_text.reserve(total);
        m_starts.reserve(list.size() + 1);
        for (const FileEntry *entry : list) {
            m_starts.push_back(m_text.size());
            if (!entry)
                continue;
            for (QChar c : entry->GetName())
                m_text.push_back(foldUnit(c.unicode()));
        }
        m_starts.push_back(m_text.size());
    }

    std::u16string_view name(size_t index) const
    {
        return std::u16string_view(m_text).substr(m_starts[index], m_starts[index + 1] - m_starts[index]);
    }

private:
    std::u16string m_text;
    std::vector<size_t> m_starts;
};

// Sorts by a view into the folded names; `pick` chooses the part compared.
template<typename Pick>
void sortByFoldedText(CFileEntryArray &entries, bool ascending, Pick pick)
{
    const std::vector<FileEntry *> &list = entries.Entries();
    if (list.size() < 2)
        return;
    const FoldedNames folded(list);
    sortByKey<std::u16string_view>(entries, ascending, [&](size_t k) { return pick(folded.name(k)); });
}

// The attribute letters as a number that orders like the letter strings:
// one 4-bit digit per letter, most significant first, each letter's digit
// its alphabetical place (1 to 11), and 0 after the last letter, so that a
// shorter string that is a prefix of a longer one comes first.
quint64 attrLetterKey(quint32 attributes)
{
    static const std::array<int, 11> alphabetical = [] {
        std::array<int, 11> places{};
        for (size_t a = 0; a < kAttrLetters.size(); ++a) {
            int place = 1;
            for (const AttrLetter &other : kAttrLetters)
                place += other.letter < kAttrLetters[a].letter ? 1 : 0;
            places[a] = place;
        }
        return places;
    }();
    quint64 key = 0;
    int digit = 0;
    for (size_t a = 0; a < kAttrLetters.size(); ++a) {
        if (attributes & kAttrLetters[a].bit) {
            key |= quint64(alphabetical[a]) << (4 * (10 - digit));
            ++digit;
        }
    }
    return key;
}

} // namespace

int CompareNoCase(QStringView a, QStringView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype k = 0; k < common; ++k) {
        const char16_t x = foldUnit(a[k].unicode());
        const char16_t y = foldUnit(b[k].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QString FoldNoCase(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(folded.data());
    for (qsizetype k = 0; k < text.size(); ++k)
        out[k] = foldUnit(text[k].unicode());
    return folded;
}

QString TypeSortKey(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QStringLiteral(" ") : name.mid(dot);
}

void SortByName(CFileEntryArray &entries, bool ascending)
{
    sortByFoldedText(entries, ascending, [](std::u16string_view name) { return name; });
}

void SortByType(CFileEntryArray &entries, bool ascending)
{
    // Folding never makes or removes a dot, so the extension of the folded
    // name is the folded extension.
    static const std::u16string_view noExtension = u" ";
    sortByFoldedText(entries, ascending, [](std::u16string_view name) {
        const size_t dot = name.rfind(u'.');
        return dot == std::u16string_view::npos ? noExtension : name.substr(dot);
    });
}

void SortBySize(CFileEntryArray &entries, bool ascending)
{
    const std::vector<FileEntry *> &list = entries.Entries();
    sortByKey<quint64>(entries, ascending, [&](size_t k) { return list[k]->GetFindData().size(); });
}

void SortByChanged(CFileEntryArray &entries, bool ascending)
{
    const std::vector<FileEntry *> &list = entries.Entries();
    sortByKey<quint64>(entries, ascending, [&](size_t k) { return list[k]->GetLastWriteTime(); });
}

void SortByAttrs(CFileEntryArray &entries, bool ascending)
{
    const std::vector<FileEntry *> &list = entries.Entries();
    sortByKey<quint64>(entries, ascending,
                       [&](size_t k) { return attrLetterKey(list[k]->GetFindData().attributes); });
}
