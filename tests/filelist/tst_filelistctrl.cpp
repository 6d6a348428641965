#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filelist/cfilelistctrl.h"
#include "filelist/cfilelisttextsort.h"
#include "filelist/rowtext.h"
#include "listtesthelpers.h"
#include "platform/shell.h"
#include "platform/ui/messagebox.h"

#include <QLineEdit>
#include <QPointer>

#include <atomic>
#include <thread>

using namespace listtest;

// The Find Files result list: rows written from found files, the text sort
// and its own double tap and rename.
class TestFileListCtrl : public QObject {
    Q_OBJECT

    static QStringList rowTexts(const CFileListCtrl &list, int row)
    {
        QStringList texts;
        for (int column = 0; column < CFileLister::ColumnCount; ++column)
            texts.append(list.GetItemText(row, column));
        return texts;
    }

private Q_SLOTS:
    void initTestCase() { platform::Registry::configure({}, false); }

    void nextSortState_data()
    {
        QTest::addColumn<quint32>("previous");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<quint32>("expected");

        QTest::newRow("first click") << 0u << "Attrs" << 25u;
        QTest::newRow("Name after Name ascending") << 5u << "Name" << 6u;
        QTest::newRow("Name after Name descending") << 6u << "Name" << 5u;
        QTest::newRow("Name after Size ascending") << 9u << "Name" << 5u;
        QTest::newRow("Size after Attrs ascending") << 25u << "Size" << 10u;
        QTest::newRow("Changed after Type ascending") << 49u << "Changed" << 18u;
        QTest::newRow("Attrs after Size ascending") << 9u << "Attrs" << 26u;
        QTest::newRow("Type after Size ascending") << 9u << "Type" << 49u;
        QTest::newRow("Type after Type descending") << 50u << "Type" << 49u;
    }

    void nextSortState()
    {
        QFETCH(quint32, previous);
        QFETCH(QString, clicked);
        QFETCH(quint32, expected);
        QCOMPARE(textsort::NextSortState(previous, textsort::ColumnCode(clicked)), expected);
    }

    void compareTexts_data()
    {
        QTest::addColumn<quint32>("state");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("expected");

        QTest::newRow("largest Kb before smallest Mb") << 9u << "1024.0Kb" << "1.0Mb" << -1;
        QTest::newRow("Kb by number, not text") << 9u << "2.5Kb" << "10.0Kb" << -1;
        QTest::newRow("sizes descending") << 10u << "512 b" << "1.0Kb" << 1;
        QTest::newRow("no number reads as 0") << 9u << "n/a" << "3 b" << -1;
        QTest::newRow("name, case folded") << 5u << "abc" << "ABD" << -1;
        QTest::newRow("name, underscore before letters") << 5u << "_x" << "A" << -1;
        QTest::newRow("type high to low") << 49u << "TXT-File" << "DOC-File" << -1;
        QTest::newRow("date: year counts most") << 17u << "01-01-2004 00:00:00" << "31-12-2003 23:59:59" << 1;
        QTest::newRow("date: unreadable last") << 17u << "someday" << "03-02-2004 09:05:07" << 1;
        QTest::newRow("date: two unreadable") << 17u << "" << "32-01-2004 00:00:00" << 0;
        QTest::newRow("date descending") << 18u << "03-02-2004 09:05:07" << "04-02-2004 00:00:00" << 1;
    }

    void compareTexts()
    {
        QFETCH(quint32, state);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, expected);
        const int result = textsort::CompareTexts(first, second, state);
        QCOMPARE((result > 0) - (result < 0), expected);
    }

    void headingClicksSortRows_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("Size") << QStringList{"Size"} << 1 << QStringList{"512 b", "1.0Kb", "1.0Mb"};
        QTest::newRow("Size twice") << QStringList{"Size", "Size"} << 1 << QStringList{"1.0Mb", "1.0Kb", "512 b"};
        QTest::newRow("Attrs first click") << QStringList{"Attrs"} << 4 << QStringList{"RHA", "RA", "A"};
        QTest::newRow("Changed") << QStringList{"Changed"} << 3
                                 << QStringList{"31-12-2003 23:59:59", "03-02-2004 09:05:07", "04-02-2004 00:00:00"};
    }

    void headingClicksSortRows()
    {
        QFETCH(QStringList, clicks);
        QFETCH(int, column);
        QFETCH(QStringList, expected);

        CFileListCtrl list;
        QVERIFY(showForTest(list));
        const QStringList rows[] = {{"\\b", "1.0Mb", "", "04-02-2004 00:00:00", "A"},
                                    {"\\a", "512 b", "", "31-12-2003 23:59:59", "RHA"},
                                    {"\\c", "1.0Kb", "", "03-02-2004 09:05:07", "RA"}};
        for (const QStringList &texts : rows) {
            const int row = list.InsertItem(list.GetItemCount(), texts.at(0));
            for (int c = 1; c < texts.size(); ++c)
                QVERIFY(list.SetItemText(row, c, texts.at(c)));
        }
        list.selectRow(1); // "\a" stays selected wherever it goes
        for (const QString &heading : clicks)
            QVERIFY(clickHeading(list, heading));
        QCOMPARE(columnTexts(list, column), expected);
        for (int row = 0; row < list.GetItemCount(); ++row)
            QCOMPARE(list.GetItemData(row), qintptr(row));
        const QModelIndexList selected = list.selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(list.GetItemText(selected.first().row(), 0), QStringLiteral("\\a"));
    }

    void fillsRowsOfFoundFiles()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\docs\\report.abc", QByteArray(1536, 'r')));
        QVERIFY(platform::setLastWriteTime("\\docs\\report.abc", dayTime(3)));
        QVERIFY(root.makeFile("\\plain", QByteArray(7, 'p')));

        CFileListCtrl list;
        QVERIFY(list.AddFoundFile(list.InsertItem(0, "\\docs\\report.abc"), "\\docs\\report.abc"));
        QCOMPARE(rowTexts(list, 0), (QStringList{"\\docs\\report.abc", "1.5Kb", "ABC-File",
                                                 FormatChangedText(dayTime(3)), "A"}));
        QCOMPARE(list.InsertItem(5, "\\plain"), 1); // past the end: appended
        QVERIFY(list.AddFoundFile(1, "\\plain"));
        QCOMPARE(rowTexts(list, 1).mid(1, 2), (QStringList{"7 b", ""}));

        QCOMPARE(list.InsertItem(2, "\\docs\\gone.txt"), 2);
        QVERIFY(!list.AddFoundFile(2, "\\docs\\gone.txt"));
        QCOMPARE(rowTexts(list, 2), (QStringList{"\\docs\\gone.txt", "", "", "", ""}));
        QVERIFY(!list.AddFoundFile(7, "\\plain")); // no such row

        list.DeleteAllItems();
        QCOMPARE(list.GetItemCount(), 0);
        QCOMPARE(list.GetImageList().count(), list.GetBaseImageCount());
    }

    // The search adds its results from a thread of its own.
    void addsRowsFromAnotherThread()
    {
        testsupport::TempDeviceRoot root;
        const int count = 40;
        for (int i = 0; i < count; ++i)
            QVERIFY(root.makeFile(QStringLiteral("\\w\\f%1.txt").arg(i), QByteArray(i, 'w')));

        CFileListCtrl list;
        std::atomic<bool> done{false};
        std::atomic<int> filled{0};
        std::thread worker([&] {
            for (int i = 0; i < count; ++i) {
                const QString path = QStringLiteral("\\w\\f%1.txt").arg(i);
                if (list.AddFoundFile(list.InsertItem(list.GetItemCount(), path), path))
                    ++filled;
            }
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
        worker.join();
        QCOMPARE(filled.load(), count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(rowTexts(list, i).mid(0, 3),
                     (QStringList{QStringLiteral("\\w\\f%1.txt").arg(i), QStringLiteral("%1 b").arg(i), "TXT-File"}));
        }
    }

    void doubleTapOpensFullPath()
    {
        QTemporaryDir regDir;
        QVERIFY(useViewerRegistry(regDir));
        testsupport::TempDeviceRoot root;
        QStringList started;
        platform::setProcessLauncher([&](const QString &program, const QStringList &arguments) {
            started << program << arguments;
            return true;
        });
        CFileListCtrl list;
        QVERIFY(showForTest(list));
        list.InsertItem(0, "\\deep\\er\\notes.txt");
        doubleTapRow(list, 0);
        platform::setProcessLauncher({});
        platform::Registry::configure({}, false);
        QCOMPARE(started, (QStringList{root.host("\\viewer.exe"), root.host("\\deep\\er\\notes.txt")}));
    }

    void rename_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pathAfter");
        QTest::newRow("new name") << "new.txt" << "\\d\\new.txt";
        QTest::newRow("same name") << "old.txt" << "\\d\\old.txt";
        QTest::newRow("existing name") << "other.txt" << "\\d\\old.txt";
        QTest::newRow("a path") << "..\\old.txt" << "\\d\\old.txt";
    }

    void rename()
    {
        QFETCH(QString, typed);
        QFETCH(QString, pathAfter);
        const bool fails = pathAfter == "\\d\\old.txt" && typed != "old.txt";

        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\d\\old.txt", "old"));
        QVERIFY(root.makeFile("\\d\\other.txt", "other"));
        testsupport::MessageBoxScript boxes;
        if (fails)
            boxes.expect("Failed to rename", platform::IDOK);

        CFileListCtrl list;
        QVERIFY(showForTest(list));
        list.InsertItem(0, "\\d\\old.txt");
        tapRow(list, 0);
        QTest::keyClick(&list, Qt::Key_F2);
        QPointer<QLineEdit> editor = list.findChild<QLineEdit *>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("old.txt")); // the name, not the whole path
        editor->setText(typed);
        QTest::keyClick(editor, Qt::Key_Return);
        WAIT_FOR_EDITOR_CLOSED(editor);

        QCOMPARE(list.GetItemText(0, 0), pathAfter);
        QCOMPARE(root.read(pathAfter), QByteArray("old"));
        QCOMPARE(root.read("\\d\\other.txt"), QByteArray("other"));
        QCOMPARE(boxes.shown().size(), fails ? 1 : 0);
    }
};

FERRIX_TEST(TestFileListCtrl)
#include "tst_filelistctrl.moc"
