#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "filetypes/filetypeinfo.h"
#include "platform/registry.h"

#include <QTest>

class TestOpenCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { platform::Registry::configure({QStringLiteral(FILETYPES_FIXTURES "/types.reg")}, false); }
    void cleanupTestCase() { platform::Registry::configure({}, false); }

    // From the path (and the shortcut written there) to the command, and to
    // program and arguments as opening splits them.
    void command_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("shortcut"); // written at path when not null
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("split");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("arguments");
        auto row = [](const char *name, const char *path, const QByteArray &shortcut, const char *command,
                      bool split, const char *program, const char *arguments) {
            QTest::newRow(name) << QString::fromUtf8(path) << shortcut << QString::fromUtf8(command) << split
                                << QString::fromUtf8(program) << QString::fromUtf8(arguments);
        };
        const QByteArray none;
        row("placeholder", "\\My Documents\\a b.doc", none, "pword.exe -opendoc \\My Documents\\a b.doc", true,
            "pword.exe", "-opendoc \\My Documents\\a b.doc");
        row("class command", "\\a.TXT", none, "notes.exe \"\\a.TXT\"", true, "notes.exe", "\"\\a.TXT\"");
        row("quoted program, blanks", "\\a.pdf", none, "  \"\\Program Files\\Reader\\reader.exe\"   -view \\a.pdf",
            true, "\\Program Files\\Reader\\reader.exe", "-view \\a.pdf");
        row("missing closing quote", "\\a.bad", none, "\"\\Windows\\bad.exe \\a.bad", false, "", "");
        row("second placeholder stays", "\\a.two", none, "compare.exe \\a.two %1", true, "compare.exe", "\\a.two %1");
        row("no blank", "\\a.one", none, "viewer.exe", true, "viewer.exe", "");
        row("%* makes a program", "\\Windows\\app.exe", none, "\"\\Windows\\app.exe\"", true, "\\Windows\\app.exe", "");
        row("no extension runs as exe", "\\Windows\\tool", none, "\"\\Windows\\tool\"", true, "\\Windows\\tool", "");
        row("command key without default", "\\a.cls", none, "clsfile", true, "clsfile", "");
        row("nothing registered", "\\a.pwd", none, "", false, "", "");
        row("shortcut to program", "\\Start\\app.lnk", "18#\"\\Windows\\app.exe\"", "\"\\Windows\\app.exe\"",
            true, "\\Windows\\app.exe", "");
        row("shortcut target completed", "\\Docs\\n.lnk", "12#\"readme.txt\"", "notes.exe \"\\Docs\\readme.txt\"",
            true, "notes.exe", "\"\\Docs\\readme.txt\"");
        row("empty shortcut opens as LNK", "\\Docs\\e.lnk", "", "lnkview.exe \\Docs\\", true, "lnkview.exe", "\\Docs\\");
        row("indirection", "\\Start\\calc.lnk", "7#\":Calc\"", "\\Windows\\calc.exe", true, "\\Windows\\calc.exe", "");
        row("two indirections", "\\Start\\mail.lnk", "7#\":Mail\"", "\\Windows\\msg.exe -service \"Inbox\"", true,
            "\\Windows\\msg.exe", "-service \"Inbox\"");
        row("second level missing", "\\Start\\loop.lnk", "7#\":Loop\"", ":Unknown %1", true, ":Unknown", "%1");
        row("unknown indirection", "\\Start\\none.lnk", "7#\":None\"", "", false, "", "");
        // A host path may hold "%*"; building the command must still end.
        row("%* in the path", "\\odd %* name.exe", none, "\"\\odd %* name.exe\"", true, "\\odd %* name.exe", "");
    }
    void command()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, shortcut);
        testsupport::TempDeviceRoot root;
        if (!shortcut.isNull())
            QVERIFY(root.makeFile(path, shortcut));
        FileTypeInfo info;
        info.SetPath(path);
        QTEST(info.GetOpenCommand(), "command");
        QString program;
        QString arguments;
        QTEST(info.SplitOpenCommand(program, arguments), "split");
        QTEST(program, "program");
        QTEST(arguments, "arguments");
    }

    // What the split does not produce keeps what the caller passed in.
    void splitKeepsOutputs_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("split");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("missing closing quote") << "\\a.bad" << false << "old" << "old args";
        QTest::newRow("no command") << "\\a.xyz" << true << "old" << "old args";
        QTest::newRow("no arguments") << "\\a.one" << true << "viewer.exe" << "old args";
    }
    void splitKeepsOutputs()
    {
        QFETCH(QString, path);
        FileTypeInfo info;
        info.SetPath(path);
        QString program = QStringLiteral("old");
        QString arguments = QStringLiteral("old args");
        QTEST(info.SplitOpenCommand(program, arguments), "split");
        QTEST(program, "program");
        QTEST(arguments, "arguments");
    }
};

FERRIX_TEST(TestOpenCommand)
#include "tst_opencommand.moc"
