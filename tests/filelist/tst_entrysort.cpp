#include "common/testsuite.h"
#include "filelist/entrysort.h"
#include "referencesort.h"

#include <QRandomGenerator>
#include <QTest>

using referencesort::Column;
Q_DECLARE_METATYPE(referencesort::Column)

namespace {

void sortBy(Column column, CFileEntryArray &entries, bool ascending)
{
    static void (*const sorts[])(CFileEntryArray &, bool) = {SortByName, SortBySize, SortByChanged,
                                                             SortByAttrs, SortByType};
    sorts[int(column)](entries, ascending);
}

// True when the fast sort leaves the same entries in the same places as the
// literal exchange sort.
bool sortsAlike(CFileEntryArray &entries, Column column, bool ascending)
{
    std::vector<FileEntry *> expected = entries.Entries();
    referencesort::exchangeSort(expected, column, ascending);
    sortBy(column, entries, ascending);
    return entries.Entries() == expected;
}

// "name=value": the value (decimal or 0x hex) is the size, time and attributes.
FileEntry *entryOf(const QString &spec)
{
    platform::FindData data;
    data.name = spec.section(u'=', 0, 0);
    const quint64 value = spec.section(u'=', 1).toULongLong(nullptr, 0);
    data.sizeHigh = quint32(value >> 32);
    data.sizeLow = quint32(value);
    data.lastWriteTime = value;
    data.attributes = quint32(value);
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
    platform::FindData data;
    data.name = QString::fromLatin1(stems[random.bounded(5)]) + QString::fromLatin1(extensions[random.bounded(6)]);
    if (random.bounded(3) == 0)
        data.name = data.name.toUpper();
    const quint64 size = sizes[random.bounded(4)];
    data.sizeHigh = quint32(size >> 32);
    data.sizeLow = quint32(size);
    data.lastWriteTime = quint64(random.bounded(3)) << 62 | quint64(random.bounded(3));
    data.attributes = attrs[random.bounded(6)];
    return new FileEntry(data);
}

class LoggedEntry : public FileEntry {
public:
    LoggedEntry(QStringList &log, int id) : m_log(log), m_id(id) {}
    ~LoggedEntry() override { m_log << QString::number(m_id); }
    QStringList &m_log;
    int m_id;
};

} // namespace

class TestEntrySort : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void knownOrders_data()
    {
        QTest::addColumn<Column>("column");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QString>("input");  // "~" is a null entry
        QTest::addColumn<QString>("sorted");
        auto row = [](const char *name, Column column, bool ascending, const char *input, const char *sorted) {
            QTest::newRow(name) << column << ascending << QString::fromUtf8(input) << QString::fromUtf8(sorted);
        };
        row("equal extensions stay", Column::Type, true, "readme b.TXT a.txt", "readme b.TXT a.txt");
        row("no extension first", Column::Type, true, "b.TXT readme a.txt", "readme b.TXT a.txt");
        row("last dot", Column::Type, true, "x.tar.gz y.Z z. w.GZ", "z. x.tar.gz w.GZ y.Z");
        row("lower case folding", Column::Name, true, "b _a A a", "_a A a b");
        row("beyond ascii", Column::Name, true, "Éa f éb", "f Éa éb");
        row("equal sizes swap", Column::Size, true, "x1=1 x2=1 x3=0", "x3 x2 x1");
        row("attribute letters", Column::Attrs, true, "rha=0x23 n=0x80 ra=0x21 none=0x8 a=0x20", "none a n ra rha");
        row("nulls ascending", Column::Name, true, "~ b ~ a", "~ ~ a b");
        row("nulls descending", Column::Name, false, "~ b ~ a", "b a ~ ~");
    }
    void knownOrders()
    {
        QFETCH(Column, column);
        QFETCH(bool, ascending);
        QFETCH(QString, input);
        QFETCH(QString, sorted);
        CFileEntryArray entries;
        for (const QString &spec : input.split(u' ', Qt::SkipEmptyParts))
            entries.Add(spec == u"~" ? nullptr : entryOf(spec));
        sortBy(column, entries, ascending);
        QStringList names;
        for (const FileEntry *entry : entries.Entries())
            names << (entry ? entry->GetName() : QStringLiteral("~"));
        QCOMPARE(names.join(u' '), sorted);
    }

    void randomArrays_data()
    {
        QTest::addColumn<Column>("column");
        for (Column column : {Column::Name, Column::Size, Column::Changed, Column::Attrs, Column::Type})
            QTest::newRow(QByteArray::number(int(column)).constData()) << column;
    }
    // Both directions, then the sorted list the other way round.
    void randomArrays()
    {
        QFETCH(Column, column);
        QRandomGenerator random(20261205 + quint32(column));
        for (int round = 0; round < 300; ++round) {
            CFileEntryArray entries;
            for (int k = int(random.bounded(round < 250 ? 40 : 400)); k > 0; --k)
                entries.Add(randomEntry(random));
            QVERIFY2(sortsAlike(entries, column, round % 2), qPrintable(QString::number(round)));
            QVERIFY2(sortsAlike(entries, column, round % 2 == 0), qPrintable(QString::number(round)));
        }
    }

    // Every array of up to 8 entries over 3 keys, both directions.
    void everyShortArray()
    {
        for (int count = 0, arrays = 1; count <= 8; ++count, arrays *= 3) {
            for (int code = 0; code < arrays; ++code) {
                for (bool ascending : {true, false}) {
                    CFileEntryArray entries;
                    for (int k = 0, rest = code; k < count; ++k, rest /= 3)
                        entries.Add(entryOf(QStringLiteral("e%1=%2").arg(k).arg(rest % 3)));
                    QVERIFY2(sortsAlike(entries, Column::Size, ascending), qPrintable(QString::number(code)));
                }
            }
        }
    }

    void deleteAllFromLastToFirst()
    {
        QStringList log;
        CFileEntryArray entries;
        for (int id : {1, 0, 2, 3})
            entries.Add(id ? new LoggedEntry(log, id) : nullptr);
        entries.DeleteAllEntries();
        QCOMPARE(entries.GetSize(), 0);
        QCOMPARE(log, QStringList({"3", "2", "1"}));
    }
};

FERRIX_TEST(TestEntrySort)
#include "tst_entrysort.moc"
