#include "appfixture.h"

#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "platform/faultinjection.h"
#include "platform/fileattributes.h"
#include "platform/filesystem.h"
#include "platform/ui/messagebox.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace platform;

namespace {

// A transfer tool of the test's own, first on PATH: it appends its
// arguments and the device root it was told to "calls", and when started
// to receive, writes each name listed in "incoming" into the device root.
class FakeTool {
public:
    FakeTool()
    {
        m_path = qgetenv("PATH");
        const QString script = QStringLiteral(
            "#!/bin/sh\n"
            "log='%1/calls'\n"
            "{ echo \"call $#\"; for a in \"$@\"; do printf 'arg %s\\n' \"$a\"; done;"
            " printf 'root %s\\n' \"$FERRIX_DEVICE_ROOT\"; } >> \"$log\"\n"
            "if [ $# -eq 0 ] && [ -f '%1/incoming' ]; then\n"
            "  while IFS= read -r n; do printf received > \"$FERRIX_DEVICE_ROOT/$n\"; done < '%1/incoming'\n"
            "fi\n").arg(m_dir.path());
        QFile tool(m_dir.filePath(QStringLiteral("bin/irsquirt")));
        ok = QDir(m_dir.path()).mkpath(QStringLiteral("bin")) && tool.open(QIODevice::WriteOnly)
            && tool.write(script.toUtf8()) > 0
            && tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(m_dir.filePath(QStringLiteral("bin"))) + ':' + m_path);
    }
    ~FakeTool() { qputenv("PATH", m_path); }

    void remove() { QFile::remove(m_dir.filePath(QStringLiteral("bin/irsquirt"))); }
    bool incoming(const QStringList &names)
    {
        QFile file(m_dir.filePath(QStringLiteral("incoming")));
        return file.open(QIODevice::WriteOnly) && file.write((names.join(u'\n') + u'\n').toUtf8()) > 0;
    }
    // Each start's lines: "call N", "arg ..." per argument, "root ...".
    QList<QStringList> calls() const
    {
        QFile file(m_dir.filePath(QStringLiteral("calls")));
        QList<QStringList> result;
        if (!file.open(QIODevice::ReadOnly))
            return result;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(QLatin1String("call ")))
                result.append(QStringList());
            if (!result.isEmpty())
                result.last().append(line);
        }
        return result;
    }

    bool ok = false;

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
};

void selectFolder(CDirTreeView *tree, const QString &name)
{
    QTreeWidgetItem *root = tree->topLevelItem(0);
    root->setExpanded(true);
    for (int i = 0; i < root->childCount(); ++i)
        if (root->child(i)->text(0) == name)
            tree->setCurrentItem(root->child(i));
}

} // namespace

// Sending and receiving through the outside transfer tool.
class InfraredTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { faults::clear(); }

    void sendFolder_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("sent");
        QTest::newRow("Cancel on the first question") << QList<int>{IDCANCEL} << 0;
        QTest::newRow("OK, then Cancel") << QList<int>{IDOK, IDCANCEL} << 1;
        QTest::newRow("OK to all, the subfolder's file too") << QList<int>{IDOK, IDOK, IDOK} << 3;
    }
    // One question per file, depth first; one Cancel ends it all.
    void sendFolder()
    {
        QFETCH(QList<int>, answers);
        QFETCH(int, sent);
        FakeTool tool;
        QVERIFY(tool.ok);
        apptest::FrameFixture f({"\\d\\a.txt", "\\d\\b c.txt", "\\d\\sub\\e.txt", "\\top.txt"});
        QVERIFY(f.ok);
        QVERIFY(QFile::link(f.root.host("\\d\\sub"), f.root.host("\\d\\link")));
        selectFolder(f.frame->GetTreePane(), "d");
        QTRY_COMPARE(f.frame->GetTreePane()->GetSelectedPath(), QStringLiteral("\\d\\"));
        f.frame->GetTreePane()->setFocus();
        QTRY_VERIFY(f.frame->IsTreeFocused());
        testsupport::MessageBoxScript boxes;
        for (int answer : answers)
            boxes.expect(QString(), answer);
        QVERIFY(f.frame->OnCommand(ids::ID_SEND_IR));

        QStringList asked, expectedArgs;
        for (const auto &box : boxes.shown()) {
            QCOMPARE(box.type, 0x21u);
            asked.append(box.text);
        }
        const QList<QStringList> calls = tool.calls();
        QCOMPARE(calls.size(), sent);
        QStringList sentPaths;
        for (const QStringList &call : calls) {
            QCOMPARE(call.size(), 3);
            QCOMPARE(call.at(0), QStringLiteral("call 1"));
            sentPaths.append(call.at(1).mid(4));
        }
        // Each file sent is one the user agreed to, named by name alone.
        for (int i = 0; i < sent; ++i) {
            const QString name = sentPaths.at(i).section(u'/', -1);
            QCOMPARE(asked.at(i), QStringLiteral("Send file '%1'?").arg(name));
            QVERIFY(QFile::exists(sentPaths.at(i)));
        }
        if (sent == 3) {
            sentPaths.sort();
            QCOMPARE(sentPaths, QStringList({f.root.host("\\d\\a.txt"), f.root.host("\\d\\b c.txt"),
                                             f.root.host("\\d\\sub\\e.txt")}));
        }
    }

    void sendFromList_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("blanks, unquoted") << "my file.txt";
        QTest::newRow("quotes, star and dollar") << "it's \"q\" *$HOME.txt";
    }
    void sendFromList()
    {
        QFETCH(QString, name);
        FakeTool tool;
        QVERIFY(tool.ok);
        apptest::FrameFixture f({"\\" + name});
        QVERIFY(f.ok);
        CFileListViewEx *list = f.frame->GetListPane();
        QTRY_COMPARE(list->GetItemCount(), 1);
        list->setFocus();
        list->selectRow(0);
        QTRY_VERIFY(f.frame->IsListFocused());
        testsupport::MessageBoxScript boxes;
        QVERIFY(f.frame->OnCommand(ids::ID_SEND_IR));
        const QList<QStringList> calls = tool.calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls.first(), QStringList({"call 1", "arg " + f.root.host("\\" + name), "root " + f.root.hostPath()}));
    }

    void sendNothing_data()
    {
        QTest::addColumn<bool>("tree");
        QTest::newRow("tree on the root") << true;
        QTest::newRow("list without selection") << false;
    }
    void sendNothing()
    {
        QFETCH(bool, tree);
        FakeTool tool;
        apptest::FrameFixture f({"\\a.txt"});
        QVERIFY(f.ok);
        QWidget *pane = tree ? static_cast<QWidget *>(f.frame->GetTreePane()) : f.frame->GetListPane();
        pane->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), pane);
        testsupport::MessageBoxScript boxes;
        QVERIFY(f.frame->OnCommand(ids::ID_SEND_IR));
        QCOMPARE(tool.calls().size(), 0);
    }

    void receive_data()
    {
        QTest::addColumn<QStringList>("incoming");
        QTest::addColumn<QStringList>("inDestination"); // before
        QTest::addColumn<QStringList>("moved");
        QTest::addColumn<QStringList>("failures");

        QTest::newRow("only new entries move") << QStringList{"new 1.txt", "new2.txt"} << QStringList{}
                                               << QStringList{"new 1.txt", "new2.txt"} << QStringList{};
        QTest::newRow("existing name in the destination")
            << QStringList{"new2.txt", "clash.txt"} << QStringList{"clash.txt"} << QStringList{"new2.txt"}
            << QStringList{"Failed to move 'clash.txt' to '\\My Documents\\'"};
        QTest::newRow("nothing received") << QStringList{} << QStringList{} << QStringList{} << QStringList{};
    }
    void receive()
    {
        QFETCH(QStringList, incoming);
        QFETCH(QStringList, inDestination);
        QFETCH(QStringList, moved);
        QFETCH(QStringList, failures);
        FakeTool tool;
        QVERIFY(tool.ok);
        if (!incoming.isEmpty())
            QVERIFY(tool.incoming(incoming));
        apptest::FrameFixture f({"\\old.txt", "\\My Documents\\keep.txt", "\\Old Folder\\x.txt"});
        QVERIFY(f.ok);
        QVERIFY(setFileAttributes("\\Old Folder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE));
        QVERIFY(QFile::link(f.root.host("\\old.txt"), f.root.host("\\old link")));
        for (const QString &name : inDestination)
            QVERIFY(f.root.makeFile("\\My Documents\\" + name, "mine"));
        selectFolder(f.frame->GetTreePane(), "My Documents");
        QTRY_COMPARE(f.frame->GetTreePane()->GetSelectedPath(), QStringLiteral("\\My Documents\\"));
        testsupport::MessageBoxScript boxes;
        for (const QString &failure : failures)
            boxes.expect(failure, IDOK);
        QVERIFY(f.frame->OnCommand(ids::ID_RECEIVE_IR));

        QCOMPARE(tool.calls().size(), 1);
        QCOMPARE(tool.calls().first(), QStringList({"call 0", "root " + f.root.hostPath()}));
        for (const QString &name : moved) {
            QCOMPARE(f.root.read("\\My Documents\\" + name), QByteArray("received"));
            QVERIFY(!f.root.exists("\\" + name));
        }
        for (const QString &name : inDestination) {
            QCOMPARE(f.root.read("\\My Documents\\" + name), QByteArray("mine"));
            QCOMPARE(f.root.read("\\" + name), QByteArray("received"));
        }
        // What was there before stays, its mark cleared.
        for (const QString &old : {"\\old.txt", "\\Old Folder", "\\old link"}) {
            QVERIFY(f.root.exists(old));
            QCOMPARE(getFileAttributes(old) & FILE_ATTRIBUTE_ARCHIVE, 0u);
        }
        QCOMPARE(boxes.shown().size(), failures.size());
        // The list shows the destination's files now.
        QTRY_COMPARE(f.frame->GetListPane()->GetItemCount(), 1 + moved.size() + inDestination.size());
    }

    void failures_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("message");
        QTest::newRow("no tool to send") << ids::ID_SEND_IR << "no tool" << "Failed to start sending";
        QTest::newRow("no tool to receive") << ids::ID_RECEIVE_IR << "no tool" << "Failed to start receiving";
        QTest::newRow("archive cannot be cleared") << ids::ID_RECEIVE_IR << "attributes"
                                                   << "Failed to prepare for receiving";
    }
    void failures()
    {
        QFETCH(int, command);
        QFETCH(QString, problem);
        QFETCH(QString, message);
        FakeTool tool;
        QVERIFY(tool.ok);
        QVERIFY(tool.incoming({"new.txt"}));
        if (problem == "no tool")
            tool.remove();
        apptest::FrameFixture f({"\\old.txt", "\\My Documents\\keep.txt"});
        QVERIFY(f.ok);
        if (problem == "attributes")
            faults::inject(FsOperation::SetAttributes, "\\old.txt", ENOTSUP);
        CFileListViewEx *list = f.frame->GetListPane();
        QTRY_COMPARE(list->GetItemCount(), 1);
        list->setFocus();
        list->selectRow(0);
        QTRY_VERIFY(f.frame->IsListFocused());
        testsupport::MessageBoxScript boxes;
        boxes.expect(message, IDOK);
        QVERIFY(f.frame->OnCommand(command));
        QCOMPARE(boxes.shown().first().type, 0x30u);
        QCOMPARE(tool.calls().size(), 0);
        QVERIFY(!f.root.exists("\\new.txt"));
    }
};

FERRIX_TEST(InfraredTest)
#include "tst_infrared.moc"
