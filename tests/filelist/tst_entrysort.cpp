#include "common/testsuite.h"
#include "filelist/cfilelisttextsort.h"
#include "filelist/entrysort.h"
#include "filelist/rowtext.h"
#include "referencesort.h"

#include <QRandomGenerator>
#include <QScopeGuard>

#include <ctime>
#include <memory>

using referencesort::Column;
Q_DECLARE_METATYPE(Column)

namespace {

void sortBy(Column column, CFileEntryArray &entries, bool ascending)
{
    static void (*const sorts[])(CFileEntryArray &, bool) = {SortByName, SortBySize, SortByChanged,
                                                             SortByAttrs, SortByType};
    sorts[int(column)](entries, ascending);
}

// True when the fast sort leaves the same entries in the same places as the
// exchange sort.
bool sortsAlike(CFileEntryArray &entries, Column column, bool ascending)
{
    std::vector<FileEntry *> expected = entries.Entries();
    referencesort::exchangeSort(expected, column, ascending);
    sortBy(column, entries, ascending);
    return entries.Entries() == expected;
}

FileEntry *entryOf(const QString &name, quint64 size, quint64 time, quint32 attributes)
{
    platform::FindData data;
    data.name = name;
    data.sizeHigh = quint32(size >> 32);
    data.sizeLow = quint32(size);
    data.creationTime = time / 2; // never shown
    data.lastWriteTime = time;
    data.attributes = attributes;
    return new FileEntry(data);
}

// Few distinct keys of every kind, so that equal keys are common; some nulls.
FileEntry *randomEntry(QRandomGenerator &random)
{
    static const char *const stems[] = {"a", "B", "_x", "readme", "a.b"};
    static const char *const extensions[] = {"", ".txt", ".TXT", ".Doc", ".tar.gz", "."};
    static const quint64 sizes[] = {0, 1024, 0xFFFFFFFFULL, 0x100000001ULL};
    static const quint32 attrs[] = {0, 0x20, 0x21, 0x80, 0x23, 0x2028};
    if (random.bounded(20) == 0)
        return nullptr;
    QString name = QString::fromLatin1(stems[random.bounded(5)]) + QString::fromLatin1(extensions[random.bounded(6)]);
    if (random.bounded(3) == 0)
        name = name.toUpper();
    return entryOf(name, sizes[random.bounded(4)], quint64(random.bounded(3)) << 62 | quint64(random.bounded(3)),
                   attrs[random.bounded(6)]);
}

struct RowTextCase { quint64 size; quint32 attributes; QByteArray zone; platform::FileTime time; QString sizeText, attrText, changedText; };

} // namespace

// Row texts and the sorts: the pane sorts entries, the result list its texts.
class TestEntrySort : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void knownOrders_data()
    {
        QTest::addColumn<Column>("column");
        QTest::addColumn<QString>("input"); // name=value sets size, time and attributes
        QTest::addColumn<QString>("sorted");
        QTest::newRow("no extension first") << Column::Type << "b.TXT readme a.txt" << "readme b.TXT a.txt";
        QTest::newRow("last dot") << Column::Type << "x.tar.gz y.Z z. w.GZ" << "z. x.tar.gz w.GZ y.Z";
        QTest::newRow("lower case folding") << Column::Name << "b _a A a" << "_a A a b";
        QTest::newRow("beyond ascii") << Column::Name << "Éa f éb" << "f Éa éb";
        QTest::newRow("attribute letters") << Column::Attrs << "rha=0x23 n=0x80 ra=0x21 none=0x8 a=0x20"
                                           << "none a n ra rha";
    }
    void knownOrders()
    {
        QFETCH(Column, column);
        QFETCH(QString, input);
        CFileEntryArray entries;
        for (const QString &spec : input.split(u' ')) {
            const quint64 value = spec.section(u'=', 1).toULongLong(nullptr, 0);
            entries.Add(entryOf(spec.section(u'=', 0, 0), value, value, quint32(value)));
        }
        sortBy(column, entries, true);
        QStringList names;
        for (const FileEntry *entry : entries.Entries())
            names << entry->GetName();
        QTEST(names.join(u' '), "sorted");
    }

    // Every column, both directions, then the sorted list the other way round.
    void randomArrays()
    {
        QRandomGenerator random(20261205);
        for (Column column : {Column::Name, Column::Size, Column::Changed, Column::Attrs, Column::Type}) {
            for (int round = 0; round < 300; ++round) {
                CFileEntryArray entries;
                for (int k = int(random.bounded(round < 250 ? 40 : 400)); k > 0; --k)
                    entries.Add(randomEntry(random));
                const QByteArray where = QByteArray::number(int(column)) + '/' + QByteArray::number(round);
                QVERIFY2(sortsAlike(entries, column, round % 2), where);
                QVERIFY2(sortsAlike(entries, column, round % 2 == 0), where);
            }
        }
    }

    // The result list sorts by the texts shown and keeps rows with equal keys in
    // their order; "swap" rows hold two texts that must change places.
    void sortOrder_data()
    {
        QTest::addColumn<quint32>("state");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("order");
        const QList<int> swap {1, 0};
        QTest::newRow("largest Kb before smallest Mb") << 9u << QStringList{"1.0Mb", "1024.0Kb"} << swap;
        QTest::newRow("Kb by number, not text") << 9u << QStringList{"10.0Kb", "2.5Kb"} << swap;
        QTest::newRow("no number reads as 0") << 9u << QStringList{"3 b", "n/a"} << swap;
        QTest::newRow("name, case folded") << 5u << QStringList{"ABD", "abc"} << swap;
        QTest::newRow("name, underscore before letters") << 5u << QStringList{"A", "_x"} << swap;
        QTest::newRow("date: year counts most") << 17u << QStringList{"01-01-2004 00:00:00", "31-12-2003 23:59:59"} << swap;
        QTest::newRow("date: unreadable last") << 17u << QStringList{"someday", "03-02-2004 09:05:07"} << swap;
        QTest::newRow("date: no such day is unreadable") << 17u << QStringList{"31-02-2004 09:05:07", "01-01-1990 00:00:00"} << swap;
        QTest::newRow("date: hour 24 is unreadable") << 17u << QStringList{"01-01-2004 24:00:00", "01-01-2004 23:59:59"} << swap;
        QTest::newRow("names equal but for case") << 5u << QStringList{"b", "A", "a", "B"} << QList<int>{1, 2, 0, 3};
        QTest::newRow("sizes of equal value") << 9u << QStringList{"1.0Kb", "512 b", "1.00Kb"} << QList<int>{1, 0, 2};
        QTest::newRow("unreadable dates") << 17u << QStringList{"x", "01-01-2004 00:00:00", "y"} << QList<int>{1, 0, 2};
        QTest::newRow("descending keeps equal rows in order too") << 6u << QStringList{"a", "B", "A"} << QList<int>{1, 0, 2};
    }
    void sortOrder()
    {
        QFETCH(quint32, state);
        QFETCH(QStringList, texts);
        const std::vector<int> sorted = textsort::SortOrder(std::vector<QString>(texts.begin(), texts.end()), state);
        QTEST(QList<int>(sorted.begin(), sorted.end()), "order");
    }

    // What a file's row shows: the size, the attribute letters (which the
    // Attrs sort compares, so they must end where the text does) and the
    // time of the last change in the local zone.
    void rowTexts_data()
    {
        QTest::addColumn<RowTextCase>("row");
        const QByteArray utc("UTC"), cet("CET-1CEST,M3.5.0,M10.5.0/3"), est("EST5EDT,M3.2.0,M11.1.0");
        const QString day("03-02-2004 09:05:07");
        const auto at = [](qint64 unixSeconds, qint64 nanoseconds = 0) { return platform::fileTimeFromUnix(unixSeconds, nanoseconds); };
        QTest::newRow("empty, read-only archive") << RowTextCase{0, 0x21, utc, at(1075799107), "0 b", "RA", day};
        QTest::newRow("1023, normal, fraction dropped") << RowTextCase{1023, 0x80, utc, at(1075799107, 999999900), "1023 b", "N", day};
        QTest::newRow("1 Kb, unlisted bit, cet winter") << RowTextCase{1024, 0x8, cet, at(1075795507), "1.0Kb", "", day};
        QTest::newRow("Kb tie rounds away, fixed order, cet summer")
            << RowTextCase{1280, 0x2111, cet, at(1090000000), "1.3Kb", "RDTM", "16-07-2004 19:46:40"};
        QTest::newRow("just under 1 Mb, every bit, back over new year")
            << RowTextCase{1048575, 0xFFFFFFFF, est, at(1072926000), "1024.0Kb", "RHSDAINTCFM", "31-12-2003 22:00:00"};
        QTest::newRow("1 Mb, zero time") << RowTextCase{1048576, 0x20, utc, 0, "1.0Mb", "A", "01-01-1601 00:00:00"};
        QTest::newRow("Mb tie, year 9999") << RowTextCase{1310720, 0x20, utc, at(253402300799), "1.3Mb", "A", "31-12-9999 23:59:59"};
        QTest::newRow("high word, local year 10000") << RowTextCase{0x100000005ULL, 0x20, cet, at(253402300799), "4096.0Mb", "A", ""};
        QTest::newRow("largest") << RowTextCase{~0ULL, 0x20, utc, ~0ULL, "17592186044416.0Mb", "A", ""};
    }
    void rowTexts()
    {
        const auto [size, attributes, zone, time, sizeText, attrText, changedText] = testsupport::fetchRow<RowTextCase>();
        std::unique_ptr<FileEntry> entry(entryOf("f", size, time, attributes));
        QCOMPARE(entry->GetSizeText(), sizeText);
        QCOMPARE(QString(entry->GetAttrLetters()), attrText);
        const QByteArray saved = qgetenv("TZ");
        const bool hadZone = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", zone);
        tzset();
        const auto restore = qScopeGuard([&] { hadZone ? qputenv("TZ", saved) : qunsetenv("TZ"), tzset(); });
        QCOMPARE(entry->GetChangedText(), changedText);
    }
};

FERRIX_TEST(TestEntrySort)
#include "tst_entrysort.moc"
