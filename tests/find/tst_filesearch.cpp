#include "searchfixture.h"

#include "common/testsuite.h"

using findtest::walkOrder;

namespace {
// fault: "operation after-bytes path", that step failing with EIO.
struct SearchCase { QStringList tree; QString pattern, folder, text; qint64 blockSize; QStringList found; QString fault; };
} // namespace

// The search worker on its own: which files a search reports, in which
// order, what it reads and where it stops.
class TestFileSearch : public QObject {
    Q_OBJECT

    struct Collector : SearchResults {
        bool AddResult(const QString &path, const platform::FindData *) override { return found.append(path), true; }
        QStringList found;
    };

private Q_SLOTS:
    void cleanup() { platform::faults::clear(); }

    void search_data()
    {
        QTest::addColumn<SearchCase>("row");
        const auto names = [](const char *row, const QStringList &tree, const QString &pattern, const QString &folder,
                              const QStringList &found) {
            QTest::newRow(row) << SearchCase{tree, pattern, folder, {}, CFileSearch::kBlockSize, found, {}};
        };
        const auto texts = [](const char *row, const QStringList &tree, const QString &text, qint64 blockSize,
                              const QStringList &found, const QString &fault = QString()) {
            QTest::newRow(row) << SearchCase{tree, "*", "\\", text, blockSize, found, fault};
        };
        const QStringList tree{"\\s\\a.txt", "\\s\\B.TXT", "\\s\\c.doc", "\\s\\noext", "\\s\\sub\\d.txt",
                               "\\s\\sub\\deep\\e.txt", "\\s\\sub\\deep\\x.txt\\f.txt", "\\s\\sub\\deep\\x.txt\\g.doc",
                               "\\other.txt"};
        names("own files first, then each subfolder", tree, "*.txt", "\\s",
              {"\\s\\B.TXT", "\\s\\a.txt", "\\s\\sub\\d.txt", "\\s\\sub\\deep\\e.txt", "\\s\\sub\\deep\\x.txt\\f.txt"});
        names("*.* matches names without a dot", tree, "*.*", "\\s\\sub\\deep",
              {"\\s\\sub\\deep\\e.txt", "\\s\\sub\\deep\\x.txt\\f.txt", "\\s\\sub\\deep\\x.txt\\g.doc"});
        names("? is one character", {"\\abc", "\\aXc", "\\ac", "\\abbc", "\\f\\A1C"}, "a?c", "",
              {"\\aXc", "\\abc", "\\f\\A1C"});
        names("folder that does not exist", tree, "*.*", "\\nowhere", {});
        names("empty pattern", tree, "", "\\s", {});
        names("folders named like the pattern are entered, not reported", {"\\a.txt\\b.txt\\", "\\a.txt\\c.txt"},
              "*.txt", "\\", {"\\a.txt\\c.txt"});
        const QString odd = QStringLiteral("\\h\\q\"uote *?") + QChar(0xF05C) + QStringLiteral("back\nline")
            + QChar(0xDCFF) + QStringLiteral(".txt");
        names("hostile names", {odd, "\\h\\plain.doc"}, "*.txt", "\\h", {odd});
        names("links to folders are not entered",
              {"\\out\\secret.txt", "\\l\\a.txt", "\\l\\in\\b.txt", "\\l\\in\\loop->..", "\\l\\self->.", "\\l\\way->../out"},
              "*.*", "\\l", {"\\l\\a.txt", "\\l\\in\\b.txt"});
        names("links to files and FIFOs match by name", {"\\l\\a.txt", "\\l\\link.txt->a.txt", "\\l\\pipe.txt|"},
              "*.txt", "\\l", {"\\l\\a.txt", "\\l\\link.txt", "\\l\\pipe.txt"});

        const qint64 block = CFileSearch::kBlockSize;
        texts("across the block boundary", {"\\f=" + QString(block - 3, u'.') + "needle" + QString(50, u'.')}, "needle",
              block, {"\\f"});
        texts("across many small blocks", {"\\a=..x..needl", "\\b=...........needle", "\\c=nee.dle"}, "needle", 8,
              {"\\b"});
        texts("text longer than a block",
              {"\\a=<" + QString(2000, u'z') + ">", "\\b=" + QString(1999, u'z'),
               "\\c=" + QString(3000, u'.') + QString(2000, u'z')},
              QString(2000, u'z'), 1024, {"\\a", "\\c"});
        texts("byte for byte, letter case matters", {"\\a=CAFÉ", "\\b=cafe", "\\c=un café"}, "café", block, {"\\c"});
        texts("empty and short files", {"\\empty=", "\\a=need", "\\b=needle"}, "needle", block, {"\\b"});
        texts("a link's own file is read, nothing else a link leads to",
              {"\\d\\a=needle", "\\d\\pipe|", "\\d\\sub\\b=needle", "\\file->d/a", "\\fifo->d/pipe", "\\broken->none",
               "\\folder->d/sub"},
              "needle", block, {"\\file", "\\d\\a", "\\d\\sub\\b"});
        // Files that cannot be read are passed over; the search goes on.
        const QStringList unreadable{"\\d\\a=" + QString(30, u'.') + "needle", "\\b=needle"};
        texts("cannot open", unreadable, "needle", 16, {"\\b"}, "open 0 \\d\\a");
        texts("read fails before the text", unreadable, "needle", 16, {"\\b"}, "read 20 \\d\\a");
        texts("read fails after the text", unreadable, "needle", 16, {"\\b", "\\d\\a"}, "read 40 \\d\\a");
        texts("folder cannot be listed", unreadable, "needle", 16, {"\\b"}, "find 0 \\d");
    }

    void search()
    {
        const auto [tree, pattern, folder, text, blockSize, found, fault] = testsupport::fetchRow<SearchCase>();
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build(tree));
        if (const QStringList step = fault.split(u' '); step.size() == 3)
            platform::faults::inject(step[0] == "open"   ? platform::FsOperation::Open
                                     : step[0] == "read" ? platform::FsOperation::Read
                                                         : platform::FsOperation::Find,
                                     step[2], EIO, step[1].toLongLong());
        // Without a text no file is opened: every open would fail.
        for (const QString &path : found)
            if (text.isEmpty())
                platform::faults::inject(platform::FsOperation::Open, path);
        StopEvent stop;
        Collector results;
        CFileSearch worker(stop, results);
        worker.SetBlockSize(blockSize);
        worker.Search(pattern, folder, text);
        QCOMPARE(walkOrder(results.found), found);
    }
};

FERRIX_TEST(TestFileSearch)
#include "tst_filesearch.moc"
