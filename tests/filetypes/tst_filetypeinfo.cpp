#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "filetypes/filetypeinfo.h"
#include "filetypes/shortcutfile.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "platform/testing/faultinjection.h"

namespace {
QByteArray withZero(QByteArray text) { return text.append('\0'); }
// shortcut: written at path when not null; program: empty when the command does not split.
struct CommandCase { QString path; QByteArray shortcut; QString command, program, arguments; };
// fileSize: -1 for the content's size.
struct ParseCase { QByteArray content; qint64 fileSize; QString expected; bool composes; };
// content: null for a folder; fault: -1 none, else this operation fails (a read after 3 bytes).
struct ResolveCase { QString path; QByteArray content; int fault; QString expected; };
} // namespace

// Extensions, type texts, shortcut files and open commands, against fixtures/types.reg.
class TestFileTypeInfo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { platform::faults::clear(); platform::Registry::configure({QStringLiteral(FILETYPES_FIXTURES "/types.reg")}, false); }
    void cleanupTestCase() { platform::Registry::configure({}, false); }

    // The extension of a path (also given instead of the stored one) and its type text.
    void extensionAndType_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("typeText");
        QTest::newRow("last dot, upper case") << "\\a.tar.Gz" << "GZ" << "GZ-File";
        QTest::newRow("dot in folder") << "\\Old.Data\\readme" << "DATA\\README" << "DATA\\README-File";
        QTest::newRow("leading dot of name") << "\\Temp\\.profile" << "PROFILE" << "PROFILE-File";
        QTest::newRow("dot first of string") << ".profile" << "" << "";
        QTest::newRow("class with description") << "\\My Documents\\A.TxT" << "TXT" << "Text Document";
        QTest::newRow("class without key") << "\\a.pwd" << "PWD" << "pwdfile";
        QTest::newRow("class key without default") << "\\a.bmp" << "BMP" << "bmpfile";
        QTest::newRow("extension key without default") << "\\a.nod" << "NOD" << "";
    }
    void extensionAndType()
    {
        QFETCH(QString, path);
        FileTypeInfo info;
        info.SetPath(QStringLiteral("\\stored.doc"));
        QTEST(info.GetExtension(path), "extension"); // the argument wins
        info.SetPath(path);
        QTEST(info.GetExtension(QString()), "extension");
        QTEST(info.GetTypeText(), "typeText");
    }

    // From the path (and the shortcut written there) to the command, and to
    // program and arguments as opening splits them.
    void command_data()
    {
        QTest::addColumn<CommandCase>("row");
        auto row = [](const char *name, const char *path, const QByteArray &shortcut, const char *command,
                      const char *program, const char *arguments) {
            QTest::newRow(name) << CommandCase{QString::fromUtf8(path), shortcut, QString::fromUtf8(command),
                                               QString::fromUtf8(program), QString::fromUtf8(arguments)};
        };
        const QByteArray none;
        row("placeholder", "\\My Documents\\a b.doc", none, "pword.exe -opendoc \\My Documents\\a b.doc",
            "pword.exe", "-opendoc \\My Documents\\a b.doc");
        row("class command", "\\a.TXT", none, "notes.exe \"\\a.TXT\"", "notes.exe", "\"\\a.TXT\"");
        row("quoted program, blanks", "\\a.pdf", none, "  \"\\Program Files\\Reader\\reader.exe\"   -view \\a.pdf",
            "\\Program Files\\Reader\\reader.exe", "-view \\a.pdf");
        row("missing closing quote", "\\a.bad", none, "\"\\Windows\\bad.exe \\a.bad", "", "");
        row("second placeholder stays", "\\a.two", none, "compare.exe \\a.two %1", "compare.exe", "\\a.two %1");
        row("no extension runs as exe", "\\Windows\\tool", none, "\"\\Windows\\tool\"", "\\Windows\\tool", "");
        row("command key without default", "\\a.cls", none, "clsfile", "clsfile", "");
        row("nothing registered", "\\a.pwd", none, "", "", "");
        row("shortcut target completed", "\\Docs\\n.lnk", "12#\"readme.txt\"", "notes.exe \"\\Docs\\readme.txt\"",
            "notes.exe", "\"\\Docs\\readme.txt\"");
        row("empty shortcut opens as LNK", "\\Docs\\e.lnk", "", "lnkview.exe \\Docs\\", "lnkview.exe", "\\Docs\\");
        row("indirection", "\\Start\\calc.lnk", "7#\":Calc\"", "\\Windows\\calc.exe", "\\Windows\\calc.exe", "");
        row("two indirections", "\\Start\\mail.lnk", "7#\":Mail\"", "\\Windows\\msg.exe -service \"Inbox\"",
            "\\Windows\\msg.exe", "-service \"Inbox\"");
        row("second level missing", "\\Start\\loop.lnk", "7#\":Loop\"", ":Unknown %1", ":Unknown", "%1");
        row("unknown indirection", "\\Start\\none.lnk", "7#\":None\"", "", "", "");
        // A host path may hold "%*"; building the command must still end.
        row("%* in the path", "\\odd %* name.exe", none, "\"\\odd %* name.exe\"", "\\odd %* name.exe", "");
    }
    void command()
    {
        const auto [path, shortcut, command, program, arguments] = testsupport::fetchRow<CommandCase>();
        testsupport::TempDeviceRoot root;
        if (!shortcut.isNull())
            QVERIFY(root.makeFile(path, shortcut));
        FileTypeInfo info;
        info.SetPath(path);
        QCOMPARE(platform::readableCommandLine(info.GetOpenCommand()), command);
        QString splitProgram, splitArguments;
        QCOMPARE(info.SplitOpenCommand(splitProgram, splitArguments), !program.isEmpty());
        QCOMPARE(splitProgram, program);
        QCOMPARE(platform::readableCommandLine(splitArguments), arguments);
    }

    // What the reader makes of a shortcut file; rows that compose are also
    // exactly what the writer produces for the target.
    void parse_data()
    {
        QTest::addColumn<ParseCase>("row");
        const QString app = QStringLiteral("\\Windows\\app.exe");
        const QString win = QStringLiteral("\\Win");
        auto row = [](const char *name, const QByteArray &content, const QString &expected, qint64 size = -1,
                      bool composes = false) { QTest::newRow(name) << ParseCase{content, size, expected, composes}; };
        row("zero count: rest of file", withZero("0#\"\\Windows\\app.exe\""), app);
        row("huge count", "99999999999999999999#\"\\Windows\\app.exe\"", app);
        row("short count", "5#\"\\Windows\\app.exe\"", win);
        row("count clamped to file size", "18#\"\\Windows\\app.exe\"", win, 5);
        row("question mark wins", "3#\"\\Windows\\calc.exe\"?\\Windows\\calc.exe,-1", QStringLiteral("\\Windows\\calc.exe"));
        row("question mark before hash", "?5#\"\\a.exe\"", QString());
        row("no hash", "\"\\Windows\\app.exe\"", app);
        row("one quote each side removed", "\"\"x\"\"", QStringLiteral("\"x\""));
        row("text after the zero ignored", withZero("0#\"\\a.exe\"") + "junk\"", QStringLiteral("\\a.exe"));
        row("bytes not utf-8", "11#\"\\caf\xe9\xc3.txt\"", "\\caf" + QString(QChar(0xDCE9)) + QChar(0xDCC3) + ".txt");
        row("empty", QByteArray(), QString());
        const QString longTarget = u'\\' + QString(97, u'x');
        row("composed document", withZero("25#\"\\My Documents\\notes.txt\""), "\\My Documents\\notes.txt", -1, true);
        row("composed three-digit count", withZero("100#\"" + longTarget.toLatin1() + '"'), longTarget, -1, true);
        row("composed non-ascii", withZero("9#\"\\caf\xc3\xa9 \xe6\x97\xa5\""), QStringLiteral("\\caf\u00e9 \u65e5"), -1, true);
        row("composed name bytes not utf-8", withZero("6#\"\\n\xe9\xff\""), "\\n" + QString(QChar(0xDCE9)) + QChar(0xDCFF), -1, true);
    }
    void parse()
    {
        const auto [content, fileSize, expected, composes] = testsupport::fetchRow<ParseCase>();
        QCOMPARE(ShortcutFile::Parse(content, fileSize < 0 ? content.size() : fileSize), expected);
        if (composes)
            QCOMPARE(ShortcutFile::Compose(expected), content);
    }

    void resolve_data()
    {
        QTest::addColumn<ResolveCase>("row");
        const QByteArray app = withZero("18#\"\\Windows\\app.exe\"");
        QTest::newRow("LnK") << ResolveCase{"\\s\\APP.LnK", app, -1, "\\Windows\\app.exe"};
        QTest::newRow("not a shortcut") << ResolveCase{"\\s\\app.txt", app, -1, "\\s\\app.txt"};
        QTest::newRow("empty file") << ResolveCase{"\\s\\empty.lnk", "", -1, ""};
        QTest::newRow("folder") << ResolveCase{"\\s\\dir.lnk", QByteArray(), -1, ""};
        QTest::newRow("cannot open") << ResolveCase{"\\s\\locked.lnk", app, int(platform::FsOperation::Open), ""};
        QTest::newRow("read fails") << ResolveCase{"\\s\\broken.lnk", app, int(platform::FsOperation::Read), ""};
    }
    void resolve()
    {
        const auto [path, content, fault, expected] = testsupport::fetchRow<ResolveCase>();
        testsupport::TempDeviceRoot root;
        QVERIFY(content.isNull() ? root.makeFolder(path) : root.makeFile(path, content));
        if (fault >= 0)
            platform::faults::inject(platform::FsOperation(fault), path, EIO, 3);
        QCOMPARE(FileTypeInfo().ResolveShortcut(path), expected);
    }
};

FERRIX_TEST(TestFileTypeInfo)
#include "tst_filetypeinfo.moc"
