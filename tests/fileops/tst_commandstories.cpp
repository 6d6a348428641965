#include "opsstory.h"

#include "common/testsuite.h"

using L = QStringList;

namespace {
// What a shortcut file to target holds: N#"target" and a zero byte.
QString shortcut(const QString &target)
{
    return QString::number(target.size() + 2) + "#\"" + target + '"' + QChar(0);
}
} // namespace

// New Folder, the shortcut commands and when each Edit and Files command
// can be chosen.
class CommandStoriesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stories_data()
    {
        opstest::addStoryColumns();
        const QString name95(95, u'n');
        const L files{"+/s/a.txt=A", "+/s/a.doc=D", "+/s/" + name95 + "=N", "+/t/", "tree /s/"};

        QTest::newRow("New Folder, 1, 2") << L{"+/f/", "tree /f/", "new", "new", "new"} << L{}
            << L{"/f/New Folder", "/f/New Folder 1", "/f/New Folder 2", "!/f/New Folder 3"};
        QTest::newRow("New Folder past a file") << L{"+/f/New Folder=x", "tree /f/", "new"} << L{} << L{"/f/New Folder=x", "/f/New Folder 1"};
        QTest::newRow("New Folder fails") << L{"+/f/", "fault Create /f/New Folder", "tree /f/", "new"}
            << L{"O Failed to create folder"} << L{"!/f/New Folder"};
        QTest::newRow("shortcut counts 10 and 100") << files + L{"list a.txt," + name95, "^C", "tree /t/", "lnk"} << L{}
            << L{"/t/a.lnk=" + shortcut("\\s\\a.txt"), "/t/" + name95 + ".lnk=" + shortcut("\\s\\" + name95),
                 "row a.lnk", "enabled 32778"};
        QTest::newRow("same shortcut name, No keeps the first") << files + L{"list a.txt,a.doc", "^C", "lnk"}
            << L{"N Overwrite existing file ?"} << L{"/s/a.lnk=" + shortcut("\\s\\a.doc")};
        QTest::newRow("Yes replaces a shortcut") << files + L{"+/s/a.lnk=old and longer", "list a.doc", "^C", "lnk"}
            << L{"Y Overwrite existing file ?"} << L{"/s/a.lnk=" + shortcut("\\s\\a.doc")};
        QTest::newRow("Paste in Menu, list not reloaded") << files + L{"+/Windows/Start menu/", "list a.txt", "^X", "tree /t/", "+/t/z.txt=Z", "menu"}
            << L{} << L{"/Windows/Start menu/a.lnk=" + shortcut("\\s\\a.txt"), "!row z.txt", "enabled 57637"};
        QTest::newRow("Paste in Menu without the folder") << files + L{"list a.txt", "^C", "menu"} << L{} << L{"!/Windows"};
        QTest::newRow("shortcut keeps a cut for Paste") << files + L{"list a.txt", "^X", "lnk", "tree /t/", "^V"}
            << L{} << L{"/s/a.lnk", "/t/a.txt=A", "!/s/a.txt"};

        // Ids: Cut 57635, Copy 57634, Paste 57637, Delete 32772, New Folder
        // 32773, Paste Shortcut 32778, Paste in Menu 32779.
        QTest::newRow("nothing cut or copied") << L{"+/s/", "tree /s/"} << L{}
            << L{"disabled 57637", "disabled 32778", "disabled 32779"};
        QTest::newRow("tree on the root") << L{"+/s/", "tree /"} << L{}
            << L{"disabled 57635", "disabled 57634", "disabled 32772", "enabled 32773"};
        QTest::newRow("tree on a folder") << L{"+/s/", "tree /s/"} << L{}
            << L{"enabled 57635", "enabled 57634", "enabled 32772", "enabled 32773"};
        QTest::newRow("list with a selection") << files + L{"list a.txt"} << L{}
            << L{"enabled 57635", "enabled 57634", "enabled 32772", "disabled 32773"};
        QTest::newRow("list without a selection") << files + L{"focus list"}
            << L{} << L{"disabled 57635", "disabled 57634", "disabled 32772", "disabled 32773"};
        QTest::newRow("neither focused after the tree") << L{"+/s/", "tree /s/", "focus none"} << L{}
            << L{"enabled 57635", "enabled 57634", "disabled 32772", "disabled 32773"};
        QTest::newRow("neither focused after the root") << L{"+/s/", "tree /", "focus none"} << L{}
            << L{"disabled 57635", "disabled 57634", "disabled 32772"};
        QTest::newRow("folder copied after files") << files + L{"list a.txt", "^C", "tree /s/", "^C"} << L{}
            << L{"enabled 57637", "disabled 32778", "disabled 32779"};
        QTest::newRow("tool bar: copy and paste a folder") << L{"+/A/f.txt=F", "+/T/", "tree /A/", "bar 57634", "tree /T/", "bar 57637"}
            << L{} << L{"/T/A/f.txt=F"};
        QTest::newRow("tool bar: new folder, delete") << L{"+/A/", "tree /A/", "bar 32773", "bar 32772"}
            << L{"Y Delete '/A' and everything in it?"} << L{"!/A"};
        QTest::newRow("paste keeps the focused row") << files + L{"+/t/x.txt=X", "+/t/y.txt=Y", "list a.doc", "^C", "tree /t/", "list y.txt", "^V"}
            << L{} << L{"current +0", "row a.doc"};
    }
    void stories() { opstest::playStoryRow(); }
};

FERRIX_TEST(CommandStoriesTest)
#include "tst_commandstories.moc"
