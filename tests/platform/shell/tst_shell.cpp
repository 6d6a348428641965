#include "platform/platformtest.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "platform/shell/spawn.h"

#include <QMimeDatabase>
#include <QStandardPaths>
#include <QScopeGuard>

using namespace platform;

namespace {

// Expected host texts are written with "<root>" for the device root.
QStringList withRoot(QStringList list, const testsupport::TempDeviceRoot &root)
{
    return list.replaceInStrings(QStringLiteral("<root>"), root.hostPath());
}

// shell: shellExecute, else createProcess; started: host program, then arguments, "<root>" for the device root.
struct StartCase { bool shell; QString target; QString arguments; QStringList started; int error; };

} // namespace

// Starting programs and opening files with their registered commands, and the
// spawning underneath.
class ShellTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Registry::configure({QStringLiteral(PLATFORM_FIXTURES "/types.reg")}, false); }
    void cleanupTestCase() { Registry::configure({}, true); }

    // What the launcher gets from a start or an open: the host program and
    // host paths, or nothing and the reason.
    void start_data()
    {
        QTest::addColumn<StartCase>("row");
        const QString sh = QStandardPaths::findExecutable(QStringLiteral("sh")), xdgOpen = findProgramOnPath(QStringLiteral("xdg-open"));
        const QString tool = "<root>/bin/tool", viewer = "<root>/bin/viewer";
        const QStringList none;
        QTest::newRow("device program and paths") << StartCase{false, "\\bin\\tool", "\\docs\\a.txt -x", {tool, "<root>/docs/a.txt", "-x"}, 0};
        QTest::newRow("quotes inside a word, empty quotes") << StartCase{false, "\\bin\\tool", "pre\"fix and\"post \"\" b", {tool, "prefix andpost", "", "b"}, 0};
        QTest::newRow("backslashes before quotes") << StartCase{false, "\\bin\\tool", R"(a\\"b c" x\\\"d e\\f "g h\\" i)", {tool, R"(a\b c)", R"(x\"d)", R"(e\\f)", R"(g h\)", "i"}, 0};
        QTest::newRow("unclosed quote runs to the end") << StartCase{false, "\\bin\\tool", "a \"b c", {tool, "a", "b c"}, 0};
        QTest::newRow("unquoted blank splits") << StartCase{false, "\\bin\\tool", "\\My Documents\\a.txt", {tool, "<root>/My", "Documents\\a.txt"}, 0};
        QTest::newRow("quoted path with blanks") << StartCase{false, "\\bin\\tool", "\"\\My Documents\\b c.txt\"", {tool, "<root>/My Documents/b c.txt"}, 0};
        QTest::newRow("bare name on PATH") << StartCase{false, "sh", "-c \"exit 0\"", {sh, "-c", "exit 0"}, 0};
        QTest::newRow("host path stays") << StartCase{false, "/bin/true", "", {"/bin/true"}, 0};
        QTest::newRow("not on PATH") << StartCase{false, "ferrix-no-such-program", "x", none, ENOENT};
        QTest::newRow("invalid device path") << StartCase{false, "\\bin/tool", "x", none, EINVAL};
        QTest::newRow("open: program with parameters") << StartCase{true, "\\bin\\tool", "-a \\x", {tool, "-a", "<root>/x"}, 0};
        QTest::newRow("open: registered class command") << StartCase{true, "\\docs\\r.ferrixdoc", "", {viewer, "-v", "<root>/docs/r.ferrixdoc"}, 0};
        QTest::newRow("open: command without %1") << StartCase{true, "\\docs\\a.bare", "", {"/opt/viewer", "<root>/docs/a.bare"}, 0};
        QTest::newRow("open: unregistered, desktop opener") << StartCase{true, "\\docs\\a.zzqq", "", {xdgOpen, "<root>/docs/a.zzqq"}, 0};
        QTest::newRow("open: folder") << StartCase{true, "\\docs", "", {xdgOpen, "<root>/docs"}, 0};
        const QString evil = "x\" --evil \"y", odd = QString("caf") + QChar(0xDCE9) + " %1";
        QTest::newRow("quotes in a marked path") << StartCase{false, "\\bin\\tool", literalCommandText("\\docs\\" + evil), {tool, "<root>/docs/" + evil}, 0};
        QTest::newRow("not UTF-8") << StartCase{false, "\\bin\\tool", "\\docs\\" + odd, {tool, "<root>/docs/caf" + QString(QChar(0xDCE9)), "%1"}, 0};
        QTest::newRow("open: quotes in the name") << StartCase{true, "\\docs\\" + evil + ".ferrixdoc", "", {viewer, "-v", "<root>/docs/" + evil + ".ferrixdoc"}, 0};
        QTest::newRow("open: parameters not scanned") << StartCase{true, "\\docs\\" + odd + ".params", "-p %1 \"%*\"", {viewer, "-p", "%1", "%*", "<root>/docs/" + odd + ".params"}, 0};
        QTest::newRow("open: %2 and %3 one parameter each") << StartCase{true, "\\docs\\a.two", "\"first arg\" \\x extra", {viewer, "first arg", "-f", "<root>/docs/a.two", "<root>/x"}, 0};
        QTest::newRow("open: missing file") << StartCase{true, "\\nothing.ferrixdoc", "", none, ENOENT};
        QTest::newRow("open: no file") << StartCase{true, "", "", none, EINVAL};
    }

    void start()
    {
        auto [shell, target, arguments, started, error] = platformtest::fetchRow<StartCase>();
        testsupport::TempDeviceRoot root;
        for (const char *file : {"\\bin\\tool", "\\docs\\r.ferrixdoc", "\\docs\\R.FERRIXDOC", "\\My Docs\\a b.ferrixdoc", "\\docs\\a.bare", "\\docs\\a.zzqq", "\\docs\\a.two",
                                 "\\docs\\x\" --evil \"y.ferrixdoc"})
            QVERIFY(root.makeFile(file, "content"));
        // A name that is not UTF-8 exists only as host bytes.
        const QByteArray oddHost = QFile::encodeName(root.host("\\docs")) + "/caf\xe9 %1.params";
        QVERIFY(testsupport::writeHostFile(oddHost, {}));
        const auto removeOdd = qScopeGuard([&oddHost] { ::unlink(oddHost.constData()); });
        QVERIFY(QFile::setPermissions(root.host("\\bin\\tool"), QFile::ReadOwner | QFile::ExeOwner));
        const testsupport::Launches launches;
        QCOMPARE(shell ? shellExecute(target, arguments) : createProcess(target, arguments), error == 0);
        QCOMPARE(lastError().code, error);
        QCOMPARE(launches, error == 0 ? QList<QStringList>{withRoot(started, root)} : QList<QStringList>{});
    }

    void icons_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("names"); // acceptable theme names
        const QMimeType text = QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain"));
        QTest::newRow("folder") << "\\docs" << QStringList{"folder"};
        QTest::newRow("text by name") << "\\docs\\a.TXT" << QStringList{text.iconName(), text.genericIconName(), "text-x-generic"};
        QTest::newRow("unknown type") << "\\docs\\c.zzqq" << QStringList{"application-octet-stream", "application-x-generic"};
    }

    // The theme must be found on a bare machine (no desktop session).
    void icons()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, names);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\docs\\a.TXT", "text") && root.makeFile("\\docs\\c.zzqq"));
        QIcon icon, again;
        QVERIFY(getSmallFileIcon(path, icon) && !icon.isNull() && !icon.pixmap(16, 16).isNull());
        QVERIFY2(names.contains(icon.name()), qPrintable(icon.name()));
        QVERIFY(getSmallFileIcon(path, again));
        QCOMPARE(again.cacheKey(), icon.cacheKey());
    }

    // The environment arrives as given; a program that cannot start is a
    // failure with its reason.
    void spawn_data()
    {
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<int>("error"); // -1: any; else 0 and the shell's exit code is 7
        QTest::newRow("environment arrives") << QByteArray("/bin/sh") << 0;
        QTest::newRow("missing") << QByteArray("/nonexistent/tool") << ENOENT;
        QTest::newRow("not executable") << QByteArray("/etc/hostname") << -1; // EACCES, or ENOEXEC for root
    }

    void spawn()
    {
        QFETCH(QByteArray, program);
        QFETCH(int, error);
        int exitCode = -1;
        SpawnRequest request;
        request.program = program;
        request.arguments = {"-c", "test \"$FERRIX_SPAWN_TEST\" = \"x y\" && exit 7"};
        request.environment = {{"FERRIX_SPAWN_TEST", "x y"}};
        request.wait = true;
        QCOMPARE(spawnProcess(request, &exitCode), error == 0);
        QCOMPARE(exitCode, error == 0 ? 7 : -1);
        QVERIFY(error < 0 ? lastError().code != 0 : lastError().code == error);
    }
};

FERRIX_TEST(ShellTest)
#include "tst_shell.moc"
