#include "searchfixture.h"

#include "common/testsuite.h"

#include <QTest>

using findtest::walkOrder;

// The search worker on its own: which files a search reports, in which
// order, what it reads and where it stops.
class TestFileSearch : public QObject {
    Q_OBJECT

    // Runs a search to its end on this thread.
    static QStringList search(const QString &pattern, const QString &folder, const QString &text,
                              qint64 blockSize = CFileSearch::kBlockSize)
    {
        StopEvent stop;
        findtest::Collector results;
        CFileSearch search(stop, results);
        search.SetBlockSize(blockSize);
        search.Search(pattern, folder, text);
        return results.found;
    }

private Q_SLOTS:
    void cleanup() { platform::faults::clear(); }

    void names_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("found");
        const QStringList tree{"\\s\\a.txt", "\\s\\B.TXT", "\\s\\c.doc", "\\s\\noext", "\\s\\sub\\d.txt",
                               "\\s\\sub\\deep\\e.txt", "\\s\\sub\\deep\\x.txt\\f.txt", "\\s\\sub\\deep\\x.txt\\g.doc",
                               "\\other.txt"};
        QTest::newRow("own files first, then each subfolder")
            << tree << "*.txt" << "\\s"
            << QStringList{"\\s\\B.TXT", "\\s\\a.txt", "\\s\\sub\\d.txt", "\\s\\sub\\deep\\e.txt",
                           "\\s\\sub\\deep\\x.txt\\f.txt"};
        QTest::newRow("letter case ignored") << tree << "*.TxT" << "\\s\\sub\\"
                                             << QStringList{"\\s\\sub\\d.txt", "\\s\\sub\\deep\\e.txt",
                                                            "\\s\\sub\\deep\\x.txt\\f.txt"};
        QTest::newRow("*.* matches names without a dot")
            << tree << "*.*" << "\\s\\sub\\deep"
            << QStringList{"\\s\\sub\\deep\\e.txt", "\\s\\sub\\deep\\x.txt\\f.txt", "\\s\\sub\\deep\\x.txt\\g.doc"};
        QTest::newRow("? is one character")
            << QStringList{"\\abc", "\\aXc", "\\ac", "\\abbc", "\\f\\A1C"} << "a?c" << "\\"
            << QStringList{"\\aXc", "\\abc", "\\f\\A1C"};
        QTest::newRow("only ?") << QStringList{"\\a", "\\bb", "\\f\\c", "\\f\\dd"} << "?" << ""
                                << QStringList{"\\a", "\\f\\c"};
        QTest::newRow("exact name") << QStringList{"\\a.txt", "\\f\\a.txt", "\\f\\b.txt"} << "a.txt" << "\\"
                                    << QStringList{"\\a.txt", "\\f\\a.txt"};
        QTest::newRow("empty folder is the root") << QStringList{"\\a.txt", "\\f\\b.txt"} << "*.txt" << ""
                                                  << QStringList{"\\a.txt", "\\f\\b.txt"};
        QTest::newRow("folder that does not exist") << tree << "*.*" << "\\nowhere" << QStringList{};
        QTest::newRow("empty pattern") << tree << "" << "\\s" << QStringList{};
        QTest::newRow("folders named like the pattern are entered, not reported")
            << QStringList{"\\a.txt\\b.txt\\", "\\a.txt\\c.txt"} << "*.txt" << "\\" << QStringList{"\\a.txt\\c.txt"};
        const QString odd = QStringLiteral("\\h\\q\"uote *?") + QChar(0xF05C) + QStringLiteral("back\nline")
            + QChar(0xDCFF) + QStringLiteral(".txt");
        QTest::newRow("hostile names") << QStringList{odd, "\\h\\plain.doc"} << "*.txt" << "\\h" << QStringList{odd};
        QTest::newRow("a link loop is not followed")
            << QStringList{"\\l\\a.txt", "\\l\\in\\b.txt", "\\l\\in\\loop->..", "\\l\\self->."} << "*.txt" << "\\l"
            << QStringList{"\\l\\a.txt", "\\l\\in\\b.txt"};
        QTest::newRow("a link to a folder outside is not entered")
            << QStringList{"\\out\\secret.txt", "\\l\\a.txt", "\\l\\way->../out"} << "*.*" << "\\l"
            << QStringList{"\\l\\a.txt"};
        QTest::newRow("links to files and FIFOs match by name")
            << QStringList{"\\l\\a.txt", "\\l\\link.txt->a.txt", "\\l\\pipe.txt|"} << "*.txt" << "\\l"
            << QStringList{"\\l\\a.txt", "\\l\\link.txt", "\\l\\pipe.txt"};
    }

    void names()
    {
        QFETCH(QStringList, tree);
        QFETCH(QString, pattern);
        QFETCH(QString, folder);
        QFETCH(QStringList, found);
        testsupport::TempDeviceRoot root;
        QVERIFY(findtest::build(root, tree));
        // An empty text opens no file: every open would fail.
        for (const QString &path : found)
            platform::faults::inject(platform::FsOperation::Open, path);
        QCOMPARE(walkOrder(search(pattern, folder, QString())), found);
    }

    void contents_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("blockSize");
        QTest::addColumn<QStringList>("found");
        const qint64 block = CFileSearch::kBlockSize;
        const QString acrossDefault = "\\f=" + QString(block - 3, u'.') + "needle" + QString(50, u'.');
        const QString atEndOfBlock = "\\f=" + QString(block - 6, u'.') + "needle" + QString(block, u'.');
        const QString atStartOfSecond = "\\f=" + QString(block, u'.') + "needle";
        QTest::newRow("across the block boundary") << QStringList{acrossDefault} << "needle" << block
                                                   << QStringList{"\\f"};
        QTest::newRow("ending a block") << QStringList{atEndOfBlock} << "needle" << block << QStringList{"\\f"};
        QTest::newRow("opening the second block") << QStringList{atStartOfSecond} << "needle" << block
                                                  << QStringList{"\\f"};
        QTest::newRow("across many small blocks")
            << QStringList{"\\a=..x..needl", "\\b=...........needle", "\\c=nee.dle"} << "needle" << qint64(8)
            << QStringList{"\\b"};
        QTest::newRow("text longer than a block") << QStringList{"\\a=..0123456789..", "\\b=012345678"}
                                                  << "0123456789" << qint64(4) << QStringList{"\\a"};
        QTest::newRow("letter case matters") << QStringList{"\\a=Needle", "\\b=NEEDLE", "\\c=a needle"} << "needle"
                                             << block << QStringList{"\\c"};
        QTest::newRow("empty file never contains") << QStringList{"\\empty="} << "x" << block << QStringList{};
        QTest::newRow("file shorter than the text") << QStringList{"\\a=need", "\\b=needle"} << "needle" << block
                                                    << QStringList{"\\b"};
        QTest::newRow("non-ASCII text, byte for byte") << QStringList{"\\a=café au lait", "\\b=cafe"} << "café"
                                                       << block << QStringList{"\\a"};
        QTest::newRow("2,000 characters")
            << QStringList{"\\a=<" + QString(2000, u'z') + ">", "\\b=" + QString(1999, u'z'),
                           "\\c=" + QString(3000, u'.') + QString(2000, u'z')}
            << QString(2000, u'z') << qint64(1024) << QStringList{"\\a", "\\c"};
        QTest::newRow("FIFOs and links are not read")
            << QStringList{"\\a=needle", "\\pipe|", "\\link->a", "\\b=needle"} << "needle" << block
            << QStringList{"\\a", "\\b"};
    }

    void contents()
    {
        QFETCH(QStringList, tree);
        QFETCH(QString, text);
        QFETCH(qint64, blockSize);
        QFETCH(QStringList, found);
        testsupport::TempDeviceRoot root;
        QVERIFY(findtest::build(root, tree));
        QStringList sorted = search("*", "\\", text, blockSize);
        sorted.sort();
        QCOMPARE(sorted, found);
    }

    // Files that cannot be read are passed over; the search goes on.
    void unreadableFiles_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<qint64>("afterBytes");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("cannot open") << int(platform::FsOperation::Open) << qint64(0) << QStringList{"\\b"};
        QTest::newRow("read fails at once") << int(platform::FsOperation::Read) << qint64(0) << QStringList{"\\b"};
        QTest::newRow("read fails before the text") << int(platform::FsOperation::Read) << qint64(20) << QStringList{"\\b"};
        QTest::newRow("read fails after the text") << int(platform::FsOperation::Read) << qint64(40)
                                                   << QStringList{"\\b", "\\d\\a"};
        QTest::newRow("folder cannot be listed") << int(platform::FsOperation::Find) << qint64(0) << QStringList{"\\b"};
    }

    void unreadableFiles()
    {
        QFETCH(int, operation);
        QFETCH(qint64, afterBytes);
        QFETCH(QStringList, found);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\d\\a", QByteArray(30, '.') + "needle"));
        QVERIFY(root.makeFile("\\b", "needle"));
        const QString target = operation == int(platform::FsOperation::Find) ? "\\d" : "\\d\\a";
        platform::faults::inject(platform::FsOperation(operation), target, EIO, afterBytes);
        QStringList sorted = search("*", "\\", "needle", 16);
        sorted.sort();
        QCOMPARE(sorted, found);
    }
};

FERRIX_TEST(TestFileSearch)
#include "tst_filesearch.moc"
