#include "opsstory.h"

#include "common/testsuite.h"

using L = QStringList;

// Delete in the tree and in the list.
class DeleteStoriesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stories_data()
    {
        opstest::addStoryColumns();
        const L abc{"+/s/a.txt=A", "+/s/b.txt=B", "+/s/c.txt=C", "tree /s/"};
        const QString askA = "Y Delete '/A' and everything in it?";
        const L deep{"+/A/r.txt=R", "+/A/x/y/f.txt=F", "+/A/x/.h=H", "ro /A/r.txt", "ro /A/x/y/f.txt"};

        QTest::newRow("tree: the root is never deleted") << L{"+/s/", "tree /", "del"} << L{} << L{"/s"};
        QTest::newRow("tree: everything in it, read-only too") << deep + L{"tree /A/", "del"} << L{askA} << L{"!/A", "disabled 32772"};
        QTest::newRow("tree: No keeps it") << deep + L{"tree /A/", "del"} << L{"N Delete '/A' and everything in it?"} << L{"/A/x/y/f.txt=F"};
        QTest::newRow("tree: stops at a file it cannot delete") << deep + L{"fault Delete /A/x/y/f.txt", "tree /A/", "del"}
            << L{askA, "O Failed to delete"} << L{"/A/x/y/f.txt=F", "/A/x"};
        QTest::newRow("tree: links go, their targets stay") << L{"+/out/o.txt=O", "+/out/d/k.txt=K", "+/A/", "@/A/l=/out/d", "@/A/f=/out/o.txt",
                                                               "ro /out/o.txt", "tree /A/", "del"}
            << L{askA} << L{"!/A", "/out/o.txt=O", "/out/d/k.txt=K"};
        QTest::newRow("tree: a mount point inside is not entered") << L{"+/A/a.txt=A", "+/A/m/inner.txt=I", "mount /A/m", "tree /A/", "del"}
            << L{askA, "O Failed to delete"} << L{"/A/m/inner.txt=I"};
        QTest::newRow("tree: a mount point itself") << L{"+/A/inner.txt=I", "mount /A", "tree /A/", "del"}
            << L{askA, "O Failed to delete"} << L{"/A/inner.txt=I"};
        QTest::newRow("tree: a link to a folder goes alone") << L{"+/out/k.txt=K", "@/L=/out", "tree /L/", "del"}
            << L{"Y Delete '/L' and everything in it?"} << L{"!/L", "/out/k.txt=K"};

        QTest::newRow("list: second of three fails, go on") << abc + L{"fault Delete /s/b.txt", "list a.txt,b.txt,c.txt", "del"}
            << L{"Y Delete all selected files?", "Y Failed to delete b.txt. Continue deleting?"} << L{"!/s/a.txt", "/s/b.txt", "!/s/c.txt", "!row a.txt"};
        QTest::newRow("list: second of three fails, stop") << abc + L{"fault Delete /s/b.txt", "list a.txt,b.txt,c.txt", "del"}
            << L{"Y Delete all selected files?", "N Failed to delete b.txt. Continue deleting?"} << L{"!/s/a.txt", "/s/b.txt", "/s/c.txt", "!row a.txt"};
        QTest::newRow("list: the only file fails") << abc + L{"fault Delete /s/a.txt", "list a.txt", "+/s/z.txt=Z", "del"}
            << L{"Y Delete all selected files?", "O Failed to delete a.txt"} << L{"/s/a.txt", "!row z.txt"};
        QTest::newRow("list: No to one file") << abc + L{"list a.txt", "+/s/z.txt=Z", "del"}
            << L{"N Delete all selected files?"} << L{"/s/a.txt", "!row z.txt"};
        QTest::newRow("list: No to several files") << abc + L{"list a.txt,b.txt", "+/s/z.txt=Z", "del"}
            << L{"N Delete all selected files?"} << L{"/s/a.txt", "/s/b.txt", "row z.txt"};
        QTest::newRow("list: read-only, and Paste forgets") << abc + L{"ro /s/b.txt", "list a.txt", "^C", "list b.txt", "del"}
            << L{"Y Delete all selected files?"} << L{"!/s/b.txt", "disabled 57637", "disabled 32778"};
        QTest::newRow("list: the row before is focused") << abc + L{"+/s/d.txt=D", "tree /", "tree /s/", "list b.txt,c.txt", "del"}
            << L{"Y Delete all selected files?"} << L{"current -1"};
    }
    void stories() { opstest::playStoryRow(); }
};

FERRIX_TEST(DeleteStoriesTest)
#include "tst_deletestories.moc"
