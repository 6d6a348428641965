#include "opsstory.h"

#include "common/testsuite.h"
#include "platform/devicepath.h"

using L = QStringList;

// Paste of files and folders, copied or cut, as the user meets it.
class PasteStoriesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stories_data()
    {
        opstest::addStoryColumns();
        const L abc{"+/s/a.txt=AAAA", "+/s/b.txt=B", "+/s/c.txt=C", "+/t/"};
        const L copyAbc = abc + L{"tree /s/", "list a.txt,b.txt,c.txt", "^C", "tree /t/"};
        const QString overwriteB = "N /t/b.txt already exists, do you want to overwrite it?";
        const QString bad = platform::deviceNameFromHost("bad\xff\xfe.txt");
        const QString slash = QStringLiteral("back") + QChar(0xF05C) + QStringLiteral("slash");

        QTest::newRow("copy into its own folder") << L{"+/s/a.txt=A", "tree /s/", "list a.txt", "^C", "^V"}
            << L{"Y /s/a.txt already exists, do you want to overwrite it?", "O Failed to copy /s/a.txt"}
            << L{"/s/a.txt=A", "enabled 57637"};
        QTest::newRow("cut into its own folder") << L{"+/s/a.txt=A", "tree /s/", "list a.txt", "^X", "^V"}
            << L{"Y /s/a.txt already exists, do you want to overwrite it?", "O Failed to copy /s/a.txt"}
            << L{"/s/a.txt=A", "disabled 57637", "disabled 32778"};
        QTest::newRow("second of three fails, go on") << copyAbc + L{"fault Copy /s/b.txt", "^V"}
            << L{"Y Failed to copy /s/b.txt\nContinue Copy?"} << L{"/t/a.txt=AAAA", "!/t/b.txt", "/t/c.txt=C"};
        QTest::newRow("second of three fails, stop") << copyAbc + L{"fault Copy /s/b.txt", "^V"}
            << L{"N Failed to copy /s/b.txt\nContinue Copy?"} << L{"/t/a.txt", "!/t/b.txt", "!/t/c.txt", "row a.txt"};
        QTest::newRow("No to the second overwrite") << copyAbc + L{"+/t/b.txt=old", "^V"} << L{overwriteB}
            << L{"/t/a.txt=AAAA", "/t/b.txt=old", "!/t/c.txt", "row a.txt", "/s/a.txt"};
        QTest::newRow("cut files go, Paste goes") << abc + L{"tree /s/", "list a.txt,c.txt", "^X", "tree /t/", "^V"}
            << L{} << L{"/t/a.txt=AAAA", "/t/c.txt=C", "!/s/a.txt", "!/s/c.txt", "/s/b.txt", "disabled 57637", "disabled 32778"};
        QTest::newRow("cut file that cannot go") << abc + L{"fault Delete /s/a.txt", "tree /s/", "list a.txt", "^X", "tree /t/", "^V"}
            << L{"O Could not delete file /s/a.txt"} << L{"/s/a.txt=AAAA", "/t/a.txt=AAAA"};
        QTest::newRow("single file, reload only when done") << abc + L{"tree /s/", "list a.txt", "^C", "tree /t/", "+/t/z.txt=Z", "fault Copy /s/a.txt", "^V"}
            << L{"O Failed to copy /s/a.txt"} << L{"!row z.txt", "!/t/a.txt"};
        QTest::newRow("source gone since the copy") << abc + L{"tree /s/", "list a.txt", "^C", "-/s/a.txt", "tree /t/", "^V"}
            << L{"O Failed to copy /s/a.txt"} << L{"!/t/a.txt"};
        QTest::newRow("destination became a file") << abc + L{"tree /s/", "list a.txt", "^X", "tree /t/", "-/t", "+/t=file", "^V"}
            << L{"O Failed to copy /s/a.txt"} << L{"/t=file", "/s/a.txt=AAAA"};
        QTest::newRow("disk full while replacing") << abc + L{"+/t/a.txt=old", "fault Write /t/a.txt|28|2", "tree /s/", "list a.txt", "^X", "tree /t/", "^V"}
            << L{"Y /t/a.txt already exists, do you want to overwrite it?", "O Failed to copy /s/a.txt"} << L{"/t/a.txt=old", "/s/a.txt=AAAA"};
        QTest::newRow("odd names") << L{"+/s/ a b.txt=1", "+/s/'q\".txt=2", "+/s/.dot=3", "+/s/" + bad + "=4", "+/s/" + slash + "=5", "+/t/",
                                        "tree /s/", "list  a b.txt,'q\".txt,.dot," + bad + "," + slash, "^X", "tree /t/", "^V"}
            << L{} << L{"/t/ a b.txt=1", "/t/'q\".txt=2", "/t/.dot=3", "/t/" + bad + "=4", "/t/" + slash + "=5", "!/s/.dot", "!/s/" + bad};

        const L refused{"O Can not copy into source."};
        QTest::newRow("folder into itself") << L{"+/A/f.txt=F", "tree /A/", "^C", "^V"} << refused << L{"!/A/A"};
        QTest::newRow("folder into its subfolder") << L{"+/A/B/", "tree /A/", "^C", "tree /A/B/", "^V"} << refused << L{"!/A/B/A"};
        QTest::newRow("folder into a longer name") << L{"+/A/", "+/AB/", "tree /A/", "^X", "tree /AB/", "^V"}
            << L{"O Can not copy into source.", "O Error moving directory A"} << L{"!/AB/A", "/A"};
        QTest::newRow("folder into itself through a link") << L{"+/A/B/", "@/L=/A/B", "tree /A/", "^C", "tree /L/", "^V"} << refused << L{"!/A/B/A"};
        QTest::newRow("folder pasted twice") << L{"+/A/f.txt=F", "+/T/", "tree /A/", "^C", "tree /T/", "^V", "^V"}
            << L{"O Failed to create folder"} << L{"/T/A/f.txt=F", "/A/f.txt", "enabled 57637"};
        QTest::newRow("folders never merged") << L{"+/A/f.txt=F", "+/T/A/", "tree /A/", "^C", "tree /T/", "^V"}
            << L{"O Failed to create folder"} << L{"!/T/A/f.txt"};
        QTest::newRow("copied folder gone") << L{"+/A/", "+/T/", "tree /A/", "^C", "-/A", "tree /T/", "^V"}
            << L{"O Failed to copy /A"} << L{"!/T/A"};
        QTest::newRow("empty folder moved across") << L{"+/A/", "+/T/", "tree /A/", "^X", "tree /T/", "^V"} << L{} << L{"/T/A", "!/A"};
        QTest::newRow("empty folders and dot files moved across") << L{"+/A/x/y/", "+/A/.h=H", "+/A/x/.d/", "+/T/", "tree /A/", "^X", "tree /T/", "^V"}
            << L{} << L{"/T/A/x/y", "/T/A/.h=H", "/T/A/x/.d", "!/A"};
        QTest::newRow("move within a top-level folder renames") << L{"+/M/A/f.txt=F", "+/M/B/", "inode /M/A", "tree /M/A/", "^X", "tree /M/B/", "^V"}
            << L{} << L{"/M/B/A/f.txt=F", "!/M/A", "same-inode /M/B/A"};
        QTest::newRow("moved folder pasted again") << L{"+/M/A/", "+/M/B/", "tree /M/A/", "^X", "tree /M/B/", "^V", "^V"}
            << L{"O Error moving directory A"} << L{"/M/B/A"};
        QTest::newRow("No deep in a move stops all, source stays")
            << L{"+/A/f.txt=F", "+/A/x/g.txt=G", "+/A/x/y/h.txt=H", "+/T/", "fault Copy /A/f.txt", "fault Copy /A/x/g.txt",
                 "fault Copy /A/x/y/h.txt", "tree /A/", "^X", "tree /T/", "^V"}
            << L{"N ", "O Error moving directory A"} << L{"/A/f.txt=F", "/A/x/g.txt=G", "/A/x/y/h.txt=H"};
        QTest::newRow("links copied as links") << L{"+/out/o.txt=O", "+/A/", "@/A/l=/out", "@/A/f=/out/o.txt", "+/T/", "tree /A/", "^X", "tree /T/", "^V"}
            << L{} << L{"link /T/A/l", "link /T/A/f", "/T/A/f=O", "!/A", "/out/o.txt=O"};
        QTest::newRow("special file fails, the rest comes") << L{"+/A/a.txt=A", "+/A/z.txt=Z", "fifo /A/p", "+/T/", "tree /A/", "^X", "tree /T/", "^V"}
            << L{"Y Failed to copy /A/p\nContinue Copy?", "O Error moving directory A"} << L{"/T/A/a.txt=A", "/T/A/z.txt=Z", "/A/p"};
    }
    void stories() { opstest::playStoryRow(); }
};

FERRIX_TEST(PasteStoriesTest)
#include "tst_pastestories.moc"
