#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "listtesthelpers.h"
#include "platform/shell.h"
#include "platform/ui/inputpanel.h"
#include "platform/ui/messagebox.h"

#include <QLineEdit>
#include <QPointer>

using namespace listtest;

// Taps, holds, double taps, in-place rename and the remembered row of the pane.
class TestListInteraction : public QObject {
    Q_OBJECT

    QList<QStringList> m_launches; // program, then arguments
    QList<unsigned> m_panelRequests;
    unsigned m_panelFlags = 0;
    int m_panelQueries = 0;
    bool m_panelAnswers = true;
    QTemporaryDir m_regDir;

    // file0.txt .. in \f, listed by name in a shown pane.
    static void listFiles(testsupport::TempDeviceRoot &root, CFileListViewEx &pane, int count)
    {
        for (int i = 0; i < count; ++i)
            QVERIFY(root.makeFile(QStringLiteral("\\f\\file%1.txt").arg(i), "x"));
        QVERIFY(showForTest(pane));
        pane.ShowFolder("\\f", false);
        QVERIFY(clickHeading(pane, "Name"));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(useViewerRegistry(m_regDir)); }

    void init()
    {
        m_launches.clear();
        m_panelRequests.clear();
        m_panelFlags = platform::SIPF_OFF;
        m_panelQueries = 0;
        m_panelAnswers = true;
        platform::setProcessLauncher([this](const QString &program, const QStringList &arguments) {
            m_launches.append(QStringList{program} + arguments);
            return true;
        });
        platform::setInputPanelHooks(
            {[this](unsigned *flags) { return ++m_panelQueries, *flags = m_panelFlags, m_panelAnswers; },
             [this](unsigned flags) { return m_panelRequests.append(flags), m_panelFlags = flags, true; }});
    }

    void cleanup()
    {
        platform::setProcessLauncher({});
        platform::setInputPanelHooks({});
    }

    void tapAndHold_data()
    {
        // Row numbers are taps; -1 waits until the tap's hold time is over.
        QTest::addColumn<QList<int>>("taps");
        QTest::addColumn<bool>("panelAnswers");
        QTest::addColumn<bool>("holds");
        QTest::newRow("same row again after the hold time") << QList<int>{3, -1, 3} << true << true;
        QTest::newRow("panel never reports itself") << QList<int>{3, -1, 3} << false << true;
        QTest::newRow("same row twice at once") << QList<int>{3, 3} << true << false;
        QTest::newRow("one tap") << QList<int>{3} << true << false;
        QTest::newRow("other row after the hold time") << QList<int>{3, -1, 5} << true << false;
        QTest::newRow("last two taps at once") << QList<int>{3, -1, 3, 3} << true << false;
    }

    void tapAndHold()
    {
        QFETCH(QList<int>, taps);
        QFETCH(bool, panelAnswers);
        QFETCH(bool, holds);

        m_panelAnswers = panelAnswers;
        testsupport::TempDeviceRoot root;
        CFileListViewEx pane;
        listFiles(root, pane, 8);
        for (int tap : taps) {
            if (tap < 0)
                QTRY_VERIFY(!pane.IsHoldPending());
            else
                tapRow(pane, tap, 2);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!pane.IsHoldPending(), 10000);
        QCOMPARE(m_panelQueries > 0, holds);
        QCOMPARE(m_panelRequests, holds && panelAnswers ? QList<unsigned>{platform::SIPF_ON} : QList<unsigned>{});
        if (holds) {
            QCOMPARE(pane.GetSelectedRows(), QList<int>{3});
            QVERIFY(pane.IsFocusSaved()); // the end of the edit selects row 3 again
        }
    }

    void doubleTapOpens()
    {
        testsupport::TempDeviceRoot root;
        CFileListViewEx pane;
        listFiles(root, pane, 4);
        doubleTapRow(pane, 2);
        QCOMPARE(m_launches, (QList<QStringList>{{root.host("\\viewer.exe"), root.host("\\f\\file2.txt")}}));
        QVERIFY(pane.m_bReturnFocus);
        QCOMPARE(pane.GetSelectedRows(), QList<int>{2});

        QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, cellCentre(pane, 3) + QPoint(0, 100));
        QCOMPARE(m_launches.size(), 1); // empty space opens nothing
    }

    void rename_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("nameAfter");

        QTest::newRow("new name") << "b.txt" << false << false << "b.txt";
        QTest::newRow("same name") << "a.txt" << false << false << "a.txt";
        QTest::newRow("cancelled") << "z.txt" << true << false << "a.txt";
        QTest::newRow("other case") << "A.txt" << false << false << "A.txt";
        QTest::newRow("existing name") << "c.txt" << false << true << "a.txt";
        QTest::newRow("empty name") << "" << false << true << "a.txt";
        QTest::newRow("slash") << "d/e.txt" << false << true << "a.txt";
        QTest::newRow("into a folder") << "d\\a.txt" << false << true << "a.txt";
    }

    void rename()
    {
        QFETCH(QString, typed);
        QFETCH(bool, cancel);
        QFETCH(bool, fails);
        QFETCH(QString, nameAfter);

        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\r\\a.txt", "first"));
        QVERIFY(root.makeFile("\\r\\c.txt", "second"));
        QVERIFY(root.makeFolder("\\r\\d"));
        testsupport::MessageBoxScript boxes;
        if (fails)
            boxes.expect("Failed to rename", platform::IDOK);

        CFileListViewEx pane;
        QVERIFY(showForTest(pane));
        pane.ShowFolder("\\r", false);
        QVERIFY(clickHeading(pane, "Name"));
        tapRow(pane, 0);
        QTest::keyClick(&pane, Qt::Key_F2);
        QPointer<QLineEdit> editor = pane.findChild<QLineEdit *>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("a.txt"));
        editor->setText(typed);
        QTest::keyClick(editor, cancel ? Qt::Key_Escape : Qt::Key_Return);
        WAIT_FOR_EDITOR_CLOSED(editor);

        QCOMPARE(columnTexts(pane), (QStringList{nameAfter, "c.txt"}));
        QCOMPARE(pane.GetSelectedRows(), QList<int>{0}); // the remembered row
        QVERIFY(!pane.IsFocusSaved());
        QCOMPARE(root.read("\\r\\" + nameAfter), QByteArray("first"));
        QCOMPARE(root.read("\\r\\c.txt"), QByteArray("second"));
        QCOMPARE(boxes.shown().size(), fails ? 1 : 0);
        if (fails)
            QCOMPARE(boxes.shown().first().type, 0x30u);
    }

    void restoreFocusedItem_data()
    {
        QTest::addColumn<int>("saved");
        QTest::addColumn<int>("rowsLeft");
        QTest::addColumn<bool>("stepBack");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("stillSaved");

        QTest::newRow("row still there") << 2 << 5 << false << 2 << false;
        QTest::newRow("row gone") << 4 << 3 << false << -1 << true;
        QTest::newRow("step back") << 2 << 4 << true << 1 << false;
        QTest::newRow("step back from the first row") << 0 << 4 << true << 0 << false;
        QTest::newRow("step back past missing rows") << 4 << 2 << true << 1 << false;
        QTest::newRow("step back, list empty") << 1 << 0 << true << -1 << true;
    }

    void restoreFocusedItem()
    {
        QFETCH(int, saved);
        QFETCH(int, rowsLeft);
        QFETCH(bool, stepBack);
        QFETCH(int, selected);
        QFETCH(bool, stillSaved);

        testsupport::TempDeviceRoot root;
        CFileListViewEx pane;
        listFiles(root, pane, 5);
        tapRow(pane, saved);
        QVERIFY(pane.SaveFocusedItem());
        for (int i = 4; i >= rowsLeft; --i)
            QVERIFY(platform::deleteFile(QStringLiteral("\\f\\file%1.txt").arg(i)));
        pane.Refresh();

        pane.RestoreFocusedItem(stepBack);
        QCOMPARE(pane.GetSelectedRows(), selected < 0 ? QList<int>{} : QList<int>{selected});
        QCOMPARE(pane.IsFocusSaved(), stillSaved);
    }
};

FERRIX_TEST(TestListInteraction)
#include "tst_listinteraction.moc"
