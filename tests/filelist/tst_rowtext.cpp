#include "common/testsuite.h"
#include "filelist/fileentry.h"
#include "filelist/rowtext.h"

#include <QTest>

#include <ctime>

// File time of a Unix time, plus 100-ns units.
static platform::FileTime fileTime(qint64 unixSeconds, quint64 extraUnits = 0)
{
    return platform::FileTime(unixSeconds + 11644473600LL) * 10000000ULL + extraUnits;
}

class TestRowText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizeText_data()
    {
        QTest::addColumn<quint32>("high");
        QTest::addColumn<quint32>("low");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << 0u << 0u << "0 b";
        QTest::newRow("last bytes") << 0u << 1023u << "1023 b";
        QTest::newRow("one kilobyte") << 0u << 1024u << "1.0Kb";
        QTest::newRow("tie rounds away") << 0u << 1280u << "1.3Kb";
        QTest::newRow("just under a megabyte") << 0u << 1048575u << "1024.0Kb";
        QTest::newRow("one megabyte") << 0u << 1048576u << "1.0Mb";
        QTest::newRow("megabyte tie") << 0u << 1310720u << "1.3Mb";
        QTest::newRow("high word") << 1u << 5u << "4096.0Mb";
        QTest::newRow("largest") << 0xFFFFFFFFu << 0xFFFFFFFFu << "17592186044416.0Mb";
    }
    void sizeText()
    {
        QFETCH(quint32, high);
        QFETCH(quint32, low);
        QFETCH(QString, text);
        QCOMPARE(FormatSizeText(high, low), text);
    }

    void changedText_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<platform::FileTime>("time");
        QTest::addColumn<QString>("text");
        const QByteArray cet("CET-1CEST,M3.5.0,M10.5.0/3");
        QTest::newRow("utc") << QByteArray("UTC") << fileTime(1075799107) << "03-02-2004 09:05:07";
        QTest::newRow("fraction dropped") << QByteArray("UTC") << fileTime(1075799107, 9999999) << "03-02-2004 09:05:07";
        QTest::newRow("cet winter") << cet << fileTime(1075795507) << "03-02-2004 09:05:07";
        QTest::newRow("cet summer") << cet << fileTime(1090000000) << "16-07-2004 19:46:40";
        QTest::newRow("back over new year") << QByteArray("EST5EDT,M3.2.0,M11.1.0") << fileTime(1072926000)
                                            << "31-12-2003 22:00:00";
        QTest::newRow("zero") << QByteArray("UTC") << platform::FileTime(0) << "01-01-1601 00:00:00";
        QTest::newRow("year 9999") << QByteArray("UTC") << fileTime(253402300799) << "31-12-9999 23:59:59";
        QTest::newRow("local year 10000") << cet << fileTime(253402300799) << "";
        QTest::newRow("largest") << QByteArray("UTC") << platform::FileTime(~0ULL) << "";
    }
    void changedText()
    {
        QFETCH(QByteArray, zone);
        QFETCH(platform::FileTime, time);
        QFETCH(QString, text);
        const QByteArray saved = qgetenv("TZ");
        const bool hadZone = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", zone);
        tzset();
        platform::FindData data;
        data.creationTime = time / 2;
        data.lastWriteTime = time;
        const QString shown = FileEntry(data).GetChangedText();
        hadZone ? qputenv("TZ", saved) : qunsetenv("TZ");
        tzset();
        QCOMPARE(shown, text);
    }

    void attrText_data()
    {
        QTest::addColumn<quint32>("attributes");
        QTest::addColumn<QString>("text");
        QTest::newRow("read-only archive") << 0x21u << "RA";
        QTest::newRow("normal") << 0x80u << "N";
        QTest::newRow("unlisted bit") << 0x8u << "";
        QTest::newRow("fixed order") << 0x2111u << "RDTM";
        QTest::newRow("every bit") << 0xFFFFFFFFu << "RHSDAINTCFM";
    }
    void attrText()
    {
        QFETCH(quint32, attributes);
        QFETCH(QString, text);
        QCOMPARE(FormatAttrText(attributes), text);
        platform::FindData data;
        data.attributes = attributes;
        FileEntry entry(data);
        const QChar *letters = entry.GetAttrLetters();
        QCOMPARE(QString(letters, text.size()), text);
        for (int k = int(text.size()); k < 14; ++k)
            QCOMPARE(letters[k], QChar());
    }
};

FERRIX_TEST(TestRowText)
#include "tst_rowtext.moc"
