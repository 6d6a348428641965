#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "listtesthelpers.h"

using namespace listtest;

// Listing folders into the pane, its row texts and sorting by heading taps.
class TestFileListView : public QObject {
    Q_OBJECT

    // a.txt 300 bytes newest, B.doc 10 oldest, c.log 2000, readme empty.
    static void makeSortFixture(testsupport::TempDeviceRoot &root, const QString &folder)
    {
        const struct { const char *name; int size, day; } files[] = {
            {"a.txt", 300, 30}, {"B.doc", 10, 2}, {"c.log", 2000, 20}, {"readme", 0, 10}};
        for (const auto &file : files) {
            const QString path = folder + "\\" + QLatin1String(file.name);
            QVERIFY(root.makeFile(path, QByteArray(file.size, 'x')));
            QVERIFY(platform::setLastWriteTime(path, dayTime(file.day)));
        }
    }

private Q_SLOTS:
    void initTestCase() { platform::Registry::configure({}, false); }

    void listsFilesOfFolder_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("expectedFolder");
        QTest::addColumn<QStringList>("expectedNames");

        QTest::newRow("root") << QStringList{"\\a.txt", "\\b", "\\sub\\inner.txt"} << "\\" << ""
                              << QStringList{"a.txt", "b"};
        QTest::newRow("trailing backslash dropped") << QStringList{"\\docs\\x.doc"} << "\\docs\\"
                                                    << "\\docs" << QStringList{"x.doc"};
        QTest::newRow("only sub-folders") << QStringList{"\\d\\e\\f"} << "\\d" << "\\d" << QStringList{};
        QTest::newRow("missing folder") << QStringList{} << "\\gone" << "\\gone" << QStringList{};
        const QStringList odd{" lead", "line\nbreak", ".hidden", QStringLiteral("back\uF05Cslash"),
                              QStringLiteral("\u00e9t\u00e9.txt"), "_", "..x"};
        QStringList oddPaths;
        for (const QString &name : odd)
            oddPaths << "\\o\\" + name;
        QTest::newRow("odd names") << oddPaths << "\\o" << "\\o" << odd;
    }

    void listsFilesOfFolder()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, shown);
        QFETCH(QString, expectedFolder);
        QFETCH(QStringList, expectedNames);

        testsupport::TempDeviceRoot root;
        for (const QString &file : files)
            QVERIFY(root.makeFile(file, "x"));
        testsupport::MessageBoxScript boxes; // a folder that cannot be read says nothing
        CFileListViewEx pane;
        pane.ShowFolder(shown, true);
        QCOMPARE(pane.GetFolder(), expectedFolder);
        QStringList names = columnTexts(pane);
        names.sort();
        expectedNames.sort();
        QCOMPARE(names, expectedNames);
        for (int row = 0; row < pane.GetItemCount(); ++row)
            QCOMPARE(pane.GetItemPath(row), expectedFolder + "\\" + pane.GetItemName(row));
        for (const char *heading : {"Name", "Size", "Type", "Changed", "Attrs"})
            QVERIFY(clickHeading(pane, QString::fromLatin1(heading)));
        QCOMPARE(pane.GetItemCount(), expectedNames.size());
    }

    void sameFolderWithoutForceDoesNothing()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\docs\\a.txt", "aaaa"));
        CFileListViewEx pane;
        pane.ShowFolder("\\", false); // a new pane already stands on the root
        QCOMPARE(pane.GetItemCount(), 0);
        pane.ShowFolder("\\docs", false);
        QVERIFY(root.makeFile("\\docs\\b.txt", "b"));
        pane.ShowFolder("\\docs", false);
        QCOMPARE(pane.GetItemCount(), 1);
        pane.ShowFolder("\\docs", true);
        QCOMPARE(pane.GetItemCount(), 2);

        QVERIFY(root.makeFile("\\docs\\c.txt", "cc"));
        QVERIFY(clickHeading(pane, "Size")); // the first click ever sorts ascending
        pane.Refresh();
        QCOMPARE(columnTexts(pane), (QStringList{"b.txt", "c.txt", "a.txt"}));
    }

    void headingClicks_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("key");

        const QStringList az{"a.txt", "B.doc", "c.log", "readme"};
        const QStringList za{"readme", "c.log", "B.doc", "a.txt"};
        QTest::newRow("Name") << QStringList{"Name"} << az << 4;
        QTest::newRow("Name twice") << QStringList{"Name", "Name"} << za << 4;
        QTest::newRow("Name three times") << QStringList{"Name", "Name", "Name"} << az << 4;
        QTest::newRow("Name then Size: largest first")
            << QStringList{"Name", "Size"} << QStringList{"c.log", "a.txt", "B.doc", "readme"} << 8;
        QTest::newRow("Changed: oldest first")
            << QStringList{"Changed"} << QStringList{"B.doc", "readme", "c.log", "a.txt"} << 16;
        QTest::newRow("Type: by extension, none first")
            << QStringList{"Type"} << QStringList{"readme", "B.doc", "c.log", "a.txt"} << 48;
    }

    void headingClicks()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, expected);
        QFETCH(int, key);

        testsupport::TempDeviceRoot root;
        makeSortFixture(root, "\\s");
        CFileListViewEx pane;
        QVERIFY(showForTest(pane));
        pane.ShowFolder("\\s", false);
        for (const QString &heading : clicks)
            QVERIFY(clickHeading(pane, heading));
        QCOMPARE(columnTexts(pane), expected);
        QCOMPARE(pane.GetSortKey(), key);
        QCOMPARE(pane.IsSortAscending(), clicks.size() % 2 == 1);
    }

    void sortSurvivesFolderChange()
    {
        testsupport::TempDeviceRoot root;
        makeSortFixture(root, "\\one");
        makeSortFixture(root, "\\two");
        QVERIFY(root.makeFile("\\two\\new.txt", "n"));
        QVERIFY(platform::setLastWriteTime("\\two\\new.txt", dayTime(1)));

        CFileListViewEx pane;
        pane.ShowFolder("\\one", false);
        QVERIFY(clickHeading(pane, "Changed"));
        QVERIFY(clickHeading(pane, "Changed")); // newest first
        pane.ShowFolder("\\two", false);
        QCOMPARE(columnTexts(pane), (QStringList{"a.txt", "c.log", "readme", "B.doc", "new.txt"}));
    }

    // Drawing rows again and again must not grow the image list: many files
    // of a few types cost a few images.
    void imagesStayBoundedWhileDrawing()
    {
        testsupport::TempDeviceRoot root;
        const char *extensions[] = {"txt", "png", "html"};
        for (int i = 0; i < 150; ++i)
            QVERIFY(root.makeFile(QStringLiteral("\\many\\f%1.%2").arg(i).arg(extensions[i % 3])));
        CFileListViewEx pane;
        QVERIFY(showForTest(pane));
        pane.ShowFolder("\\many", false);
        const int base = pane.GetBaseImageCount();
        for (int pass = 0; pass < 2; ++pass) {
            for (int row = 0; row < pane.GetItemCount(); row += 10) {
                pane.scrollTo(pane.model()->index(row, 0));
                pane.grab();
            }
            QVERIFY(pane.GetImageList().count() <= base + 3);
        }
        pane.Refresh();
        QCOMPARE(pane.GetImageList().count(), base);
    }
};

FERRIX_TEST(TestFileListView)
#include "tst_filelistview.moc"
