#include "appfixture.h"

#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "platform/fs/filesystem.h"
#include "platform/testing/faultinjection.h"
#include "platform/work/longwork.h"
#include "platform/ui/messagebox.h"
#include "resources/resourceids.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

using namespace platform;

namespace {

// A transfer tool of the test's own, first on PATH. Each start appends a
// line "<argument count>|<each argument>|...|<device root>" to "calls"; a
// start to receive writes each name listed in "incoming" into the root.
class FakeTool {
public:
    FakeTool()
    {
        const QString script = QStringLiteral(
            "#!/bin/sh\n{ printf '%s' \"$#\"; for a in \"$@\"; do printf '|%s' \"$a\"; done;"
            " printf '|%s\\n' \"$FERRIX_DEVICE_ROOT\"; } >> '%1/calls'\n"
            "[ $# -eq 0 ] && [ -f '%1/incoming' ] && while IFS= read -r n; do\n"
            "  printf received > \"$FERRIX_DEVICE_ROOT/$n\"; done < '%1/incoming'\n"
            "[ -f '%1/hang' ] && { trap 'exit 1' TERM; touch '%1/running'; while :; do sleep 0.05; done; }\nexit 0\n")
            .arg(m_dir.path());
        ok = testsupport::writeHostFile(QFile::encodeName(m_dir.filePath(QStringLiteral("irsquirt"))), script.toUtf8(), 0700);
    }

    void remove() { QFile::remove(m_dir.filePath(QStringLiteral("irsquirt"))); }
    // Each start then runs until it is ended, as a transfer the user gives up on.
    bool hang() { return QFile(m_dir.filePath(QStringLiteral("hang"))).open(QIODevice::WriteOnly); }
    // Cancels the running work in the progress window's way once the tool runs.
    void cancelWhenRunning()
    {
        m_cancel.setInterval(10);
        QObject::connect(&m_cancel, &QTimer::timeout, [this] {
            if (QFile::remove(m_dir.filePath(QStringLiteral("running"))))
                platform::requestStop();
        });
        m_cancel.start();
    }
    bool incoming(const QStringList &names)
    {
        QFile file(m_dir.filePath(QStringLiteral("incoming")));
        return file.open(QIODevice::WriteOnly) && file.write((names.join(u'\n') + u'\n').toUtf8()) > 0;
    }
    QStringList calls() const
    {
        QFile file(m_dir.filePath(QStringLiteral("calls")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                              : QStringList();
    }

    bool ok = false;

private:
    QTemporaryDir m_dir;
    testsupport::PathChange m_path{m_dir.path()};
    QTimer m_cancel;
};

// folder: the tree's; row: the list's focused row, -1 when the tree has the focus.
// cancelled: Cancel in the progress window while the tool sends the first file.
struct SendCase { QString folder; int row; QList<int> answers; int sent; bool cancelled = false; };
// cancelled: Cancel while the tool receives; nothing is moved then.
struct ReceiveCase { QStringList incoming; QStringList clashing; QString destination; bool cancelled = false; };
struct FailureCase { int command; bool noTool; QString message; };

} // namespace

// Sending and receiving through the outside transfer tool.
class InfraredTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { faults::clear(); }

    void send_data()
    {
        QTest::addColumn<SendCase>("row");
        QTest::newRow("Cancel on the first question") << SendCase{"d", -1, {IDCANCEL}, 0};
        QTest::newRow("OK, then Cancel") << SendCase{"d", -1, {IDOK, IDCANCEL}, 1};
        QTest::newRow("OK to all, depth first") << SendCase{"d", -1, {IDOK, IDOK, IDOK}, 3};
        QTest::newRow("tree on the root") << SendCase{"", -1, {}, 0};
        QTest::newRow("list row, blanks and quotes") << SendCase{"d", 0, {}, 1};
        QTest::newRow("Cancel while sending ends it all") << SendCase{"d", -1, {IDOK}, 1, true};
    }
    // One question per file, a subfolder's files when the walk reaches it
    // (never through a link); one Cancel ends it all. Each path reaches the
    // tool whole, unquoted, as its only argument.
    void send()
    {
        const auto [folder, row, answers, count, cancelled] = testsupport::fetchRow<SendCase>();
        FakeTool tool;
        QVERIFY(tool.ok);
        if (cancelled) {
            QVERIFY(tool.hang());
            tool.cancelWhenRunning();
        }
        apptest::FrameFixture f({"\\d\\it's \"a\" *.txt", "\\d\\b c.txt", "\\d\\sub\\e.txt", "\\top.txt"});
        QVERIFY(f.ok);
        QVERIFY(QFile::link(f.root.host("\\d\\sub"), f.root.host("\\d\\link")));
        f.focusOn(folder, row);
        testsupport::MessageBoxScript boxes;
        for (int answer : answers)
            boxes.expect(QString(), answer);
        QVERIFY(f.frame->OnCommand(ids::ID_SEND_IR));

        QStringList sent; // each path whole, unquoted, the only argument
        for (const QString &call : tool.calls()) {
            sent.append(call.section(u'|', 1, 1));
            QCOMPARE(call, "1|" + sent.last() + "|" + f.root.hostPath());
            if (row < 0) // asked by name alone, and sent when agreed
                QCOMPARE(boxes.shown().at(sent.size() - 1).text, "Send file '" + sent.last().section(u'/', -1) + "'?");
        }
        QCOMPARE(sent.size(), count);
        for (const auto &box : boxes.shown())
            QCOMPARE(box.type, 0x21u);
        sent.sort();
        if (row >= 0)
            QCOMPARE(sent, QStringList{f.root.host("\\d\\" + f.frame->GetListPane()->GetItemName(row))});
        else if (sent.size() == 3)
            QCOMPARE(sent, QStringList({f.root.host("\\d\\b c.txt"), f.root.host("\\d\\it's \"a\" *.txt"),
                                        f.root.host("\\d\\sub\\e.txt")}));
    }

    void receive_data()
    {
        QTest::addColumn<ReceiveCase>("row"); // clashing: already in the destination
        const QString docs = "My Documents";
        QTest::newRow("only new entries move") << ReceiveCase{{"new 1.txt", "new2.txt"}, {}, docs};
        QTest::newRow("existing name") << ReceiveCase{{"new2.txt", "clash.txt"}, {"clash.txt"}, docs};
        QTest::newRow("nothing received") << ReceiveCase{{}, {}, docs};
        QTest::newRow("into the root: nothing to move") << ReceiveCase{{"new.txt"}, {}, ""};
        QTest::newRow("cancelled: all stays in the root") << ReceiveCase{{"half.txt"}, {}, docs, true};
    }
    // What was in the root before stays there, its mark cleared; what the
    // tool wrote moves unless its name is taken.
    void receive()
    {
        const auto [incoming, clashing, destination, cancelled] = testsupport::fetchRow<ReceiveCase>();
        FakeTool tool;
        QVERIFY(tool.ok && (incoming.isEmpty() || tool.incoming(incoming)));
        if (cancelled) {
            QVERIFY(tool.hang());
            tool.cancelWhenRunning();
        }
        apptest::FrameFixture f({"\\old.txt", "\\My Documents\\keep.txt", "\\Old Folder\\x.txt"});
        QVERIFY(f.ok);
        QVERIFY(setFileAttributes("\\Old Folder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE));
        QVERIFY(QFile::link(f.root.host("\\old.txt"), f.root.host("\\old link")));
        for (const QString &name : clashing)
            QVERIFY(f.root.makeFile("\\My Documents\\" + name, "mine"));
        f.focusOn(destination);
        testsupport::MessageBoxScript boxes;
        for (const QString &name : clashing)
            boxes.expect(QStringLiteral("Failed to move '%1' to '\\My Documents\\'").arg(name), IDOK);
        QVERIFY(f.frame->OnCommand(ids::ID_RECEIVE_IR));

        QCOMPARE(tool.calls(), QStringList{"0|" + f.root.hostPath()});
        for (const QString &name : incoming) {
            const bool stays = clashing.contains(name) || destination.isEmpty() || cancelled;
            QCOMPARE(f.root.read(stays ? "\\" + name : "\\" + destination + "\\" + name), QByteArray("received"));
            QCOMPARE(f.root.exists("\\" + name), stays);
            if (clashing.contains(name))
                QCOMPARE(f.root.read("\\" + destination + "\\" + name), QByteArray("mine"));
        }
        for (const QString old : {"\\old.txt", "\\Old Folder", "\\old link"})
            QCOMPARE(getFileAttributes(old) & FILE_ATTRIBUTE_ARCHIVE, 0u);
        QVERIFY(f.root.exists("\\old link"));
        if (!destination.isEmpty())
            QCOMPARE(f.frame->GetListPane()->GetItemCount(), 1 + (cancelled ? 0 : incoming.size()));
    }

    void failures_data()
    {
        QTest::addColumn<FailureCase>("row");
        QTest::newRow("no tool to send") << FailureCase{ids::ID_SEND_IR, true, "Failed to start sending"};
        QTest::newRow("no tool to receive") << FailureCase{ids::ID_RECEIVE_IR, true, "Failed to start receiving"};
        QTest::newRow("archive cannot be cleared") << FailureCase{ids::ID_RECEIVE_IR, false, "Failed to prepare for receiving"};
    }
    void failures()
    {
        const auto [command, noTool, message] = testsupport::fetchRow<FailureCase>();
        FakeTool tool;
        QVERIFY(tool.ok && tool.incoming({"new.txt"}));
        if (noTool)
            tool.remove();
        apptest::FrameFixture f({"\\old.txt"});
        QVERIFY(f.ok);
        if (!noTool)
            faults::inject(FsOperation::SetAttributes, "\\old.txt", ENOTSUP);
        f.focusOn("", 0);
        testsupport::MessageBoxScript boxes;
        boxes.expect(message, IDOK);
        QVERIFY(f.frame->OnCommand(command));
        QCOMPARE(boxes.shown().first().type, 0x30u);
        QCOMPARE(tool.calls(), QStringList());
        QVERIFY(!f.root.exists("\\new.txt"));
    }
};

FERRIX_TEST(InfraredTest)
#include "tst_infrared.moc"
