#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filetypes/filetypeinfo.h"
#include "filetypes/openfile.h"
#include "platform/fs/devicepath.h"
#include "platform/registry/desktopassociations.h"
#include "platform/registry/registry.h"
#include "platform/shell/openwith.h"
#include "platform/shell/shell.h"
#include "platform/ui/messagebox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

using testsupport::writeHostFile;

// The desktop's configuration for this test program: the recorder is the default
// application for plain text, writing to record. It must be in place before the
// desktop libraries first read their directories, so it is set up before main().
struct DesktopHome {
    QTemporaryDir dir;
    QString record = dir.filePath(QStringLiteral("record.txt"));
    QString listRecord = dir.filePath(QStringLiteral("list.txt"));
    QString secondRecord = dir.filePath(QStringLiteral("second.txt"));
    bool ok = addRecorder("ferrix-test-recorder", record) && setDefault("ferrix-test-recorder")
        && addRecorder("ferrix-test-lister", listRecord, "text/markdown", "%F")
        && addRecorder("ferrix-test-second", secondRecord, "text/plain", "%u\nIcon=ferrix-test-icon")
        // What an installer's update-desktop-database writes: GIO lists a type's applications from it.
        && write("data/applications/mimeinfo.cache",
                 "[MIME Cache]\ntext/plain=ferrix-test-second.desktop;ferrix-test-recorder.desktop;\n")
        && write("data/applications/ferrix-test-terminal.desktop",
                 "[Desktop Entry]\nType=Application\nName=Pager\nMimeType=text/x-log;\nTerminal=true\nExec=/bin/cat %f\n")
        && qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))))
        && qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));

    // An application for plain text that writes the file's path into recordFile.
    bool addRecorder(const QByteArray &id, const QString &recordFile, const QByteArray &type = "text/plain",
                     const QByteArray &files = "%f")
    {
        return write("data/applications/" + id + ".desktop",
                     "[Desktop Entry]\nType=Application\nName=Recorder\nMimeType=" + type + ";\nExec=\""
                         + QFile::encodeName(QStringLiteral(FILETYPES_ARGV_RECORDER)) + "\" " + QFile::encodeName(recordFile) + ' '
                         + files + '\n');
    }
    bool setDefault(const QByteArray &id)
    {
        return write("config/mimeapps.list",
                     "[Default Applications]\ntext/plain=" + id + ".desktop\ntext/x-log=ferrix-test-terminal.desktop\n"
                     "text/markdown=ferrix-test-lister.desktop\n");
    }
    bool write(const QByteArray &name, const QByteArray &content)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        return QDir().mkpath(QFileInfo(path).path()) && writeHostFile(QFile::encodeName(path), content, 0644);
    }
};
DesktopHome &desktopHome()
{
    static DesktopHome home;
    return home;
}
const bool desktopHomeReady = desktopHome().ok;

// \bin\recorder, which the .reg commands tell to write to \out\args.txt.
bool installRecorder(const testsupport::TempDeviceRoot &root)
{
    return root.makeFolder(QStringLiteral("\\out")) && root.makeFolder(QStringLiteral("\\My Documents"))
        && root.makeFolder(QStringLiteral("\\bin"))
        && QFile::copy(QStringLiteral(FILETYPES_ARGV_RECORDER), root.host(QStringLiteral("\\bin\\recorder")));
}

// What a started program wrote into a host file, once it is there.
QByteArray recorded(const QString &hostFile)
{
    QFile file(hostFile);
    return QTest::qWaitFor([&] { return file.exists(); }, 20000) && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                                                  : QByteArray("<none>");
}

// started: device paths arrive as host paths; empty: nothing may start.
struct OpenCase { QString path; bool launcherSucceeds; QString message; QStringList started; };
// hostName: in \My Documents; registry: "types", "desktop" or a .reg file with the desktop; record: "args" or "ran"
// in \out, "desktop" or "list"; parameters: null when opened without any; received: after the file's host path,
// <root> standing for the device root.
struct RealStartCase { QByteArray hostName; QString registry; bool executable; QString record, parameters; QByteArray received; };

} // namespace

// Opening files by the registry's commands and by the desktop's
// associations, and .reg entries taking precedence over the latter.
class TestOpenFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(desktopHomeReady); }
    void init() { platform::Registry::configure({QStringLiteral(FILETYPES_FIXTURES "/types.reg")}, false); }
    void cleanup() { platform::setProcessLauncher({}); platform::Registry::configure({}, false); }

    void open_data()
    {
        QTest::addColumn<OpenCase>("row");
        const QString doc = QStringLiteral("\\My Documents\\a b.wri");
        const QString pword = QStringLiteral("\\Windows\\pword.exe");
        const QString noCommand = QStringLiteral("No open command is registered for this filetype");
        QTest::newRow("started") << OpenCase{doc, true, "", {pword, "-opendoc", doc}};
        QTest::newRow("start fails") << OpenCase{doc, false, "Failed to execute " + pword + " -opendoc \"" + doc + '"', {pword, "-opendoc", doc}};
        QTest::newRow("nothing registered") << OpenCase{"\\a.xyz", true, noCommand, {}};
        QTest::newRow("unclosed quote") << OpenCase{"\\a.bad", true, noCommand, {}};
        QTest::newRow("empty path") << OpenCase{"", true, "", {}};
    }
    void open()
    {
        auto [path, launcherSucceeds, message, started] = testsupport::fetchRow<OpenCase>();
        testsupport::TempDeviceRoot root;
        QStringList launched; // host program, then host arguments
        platform::setProcessLauncher([&](const QString &hostProgram, const QStringList &hostArguments) {
            launched << hostProgram << hostArguments;
            return launcherSucceeds;
        });
        testsupport::MessageBoxScript boxes;
        if (!message.isEmpty())
            boxes.expect(message, platform::IDOK);
        QCOMPARE(OpenFile(path, nullptr), message.isEmpty() && !path.isEmpty());
        QCOMPARE(boxes.shown().size(), message.isEmpty() ? 0 : 1);
        for (const auto &box : boxes.shown())
            QVERIFY(box.caption == QLatin1String("Ferrix") && box.type == 0x30u);
        for (QString &argument : started)
            if (argument.startsWith(u'\\'))
                argument = root.host(argument);
        QCOMPARE(launched, started);
    }

    // Real starts by a .reg command (quoted or not), by the desktop's default for text
    // and, for a file without an extension, by the program handler: a program runs, a
    // document opens with the desktop's default for its content, and a .reg entry for
    // the handler takes both. The program gets the file's exact host path, and nothing else runs.
    // Typed parameters follow the file, exactly as typed, when the desktop's default
    // application takes a list of files.
    void realStart_data()
    {
        QTest::addColumn<RealStartCase>("row");
        const QString types = "types", desktop = "desktop", override = FILETYPES_FIXTURES "/override.reg";
        auto row = [](const char *name, const QByteArray &hostName, const QString &registry, bool executable,
                      const char *record, const QString &parameters = {}, const QByteArray &received = {}) {
            QTest::newRow(name) << RealStartCase{hostName, registry, executable, QString::fromLatin1(record), parameters, received};
        };
        row("blanks", "some file.rec", types, true, "args");
        row("quotes, quoted %1", "a\" \"+!touch PWNED\" \".rec", types, true, "args");
        row("quotes, unquoted %1", "x\" --evil \"y.urec", types, true, "args");
        row("%* in an executable's name", "notes%*.rec", types, true, "args");
        row("%1 and %*", "page%1%*.urec", types, true, "args");
        row("not UTF-8", "caf\xe9 \xff.rec", types, true, "args");
        row("backslash", "back\\slash.urec", types, true, "args");
        row("look-alike of a mark", "m\xef\xb7\x90" "9\xef\xb7\x91\" y.urec", types, true, "args");
        row("desktop: quotes", "a\" \"+!touch PWNED\" \".txt", desktop, true, "desktop");
        row("desktop: not UTF-8", "caf\xe9 %*.txt", desktop, true, "desktop");
        row("no extension: program runs", "README", desktop, true, "ran");
        row("no extension: text opens in the editor", "README", desktop, false, "desktop");
        row("no extension: .reg entry, document", "README", override, false, "args");
        row("no extension: .reg entry, program", "README", override, true, "args");
        row("parameters, list: after the file", "q\"uote\ncaf\xe9.md", desktop, false, "list",
            R"(-x "two words" a\"b \out)", "-x\ntwo words\na\"b\n<root>/out\n");
        row("parameters, one file only: none", "a b.txt", desktop, false, "desktop", "-x");
    }
    void realStart()
    {
        auto [hostName, registry, executable, record, parameters, received] = testsupport::fetchRow<RealStartCase>();
        testsupport::TempDeviceRoot root;
        QVERIFY(installRecorder(root));
        // The file is a script that leaves a mark if it is ever run.
        const QByteArray hostPath = QFile::encodeName(root.host(QStringLiteral("\\My Documents"))) + '/' + hostName;
        QVERIFY(writeHostFile(hostPath,
                          "#!/bin/sh\nout=\"$(dirname \"$0\")/../out\"\necho ran > \"$out/ran.part\" && mv \"$out/ran.part\" \"$out/ran.txt\"\n",
                          executable ? 0755 : 0644));
        const auto removeFile = qScopeGuard([&hostPath] { ::unlink(hostPath.constData()); });
        if (registry != u"types")
            platform::Registry::configure(registry == u"desktop" ? QStringList() : QStringList {registry}, true);
        const QString recordFile = record == u"desktop" ? desktopHome().record
            : record == u"list"                         ? desktopHome().listRecord
                                                        : root.host("\\out\\" + record + ".txt");
        QFile::remove(recordFile);
        testsupport::MessageBoxScript boxes;
        const QString path = QStringLiteral("\\My Documents\\") + platform::deviceNameFromHost(hostName);
        QVERIFY(parameters.isNull() ? OpenFile(path, nullptr) : platform::shellExecute(path, parameters));
        QCOMPARE(recorded(recordFile), record == u"ran" ? QByteArray("ran\n")
                                       : hostPath + '\n' + received.replace("<root>", QFile::encodeName(root.hostPath())));
        QCOMPARE(root.exists(QStringLiteral("\\out\\ran.txt")), record == u"ran");
        QVERIFY(!root.exists(QStringLiteral("\\My Documents\\PWNED")) && !root.exists(QStringLiteral("\\PWNED")));
    }

    // Open With lists the desktop's applications for the type, the default
    // first, and the chosen one gets the host path as one argument.
    void openWith_data()
    {
        QTest::addColumn<QByteArray>("hostName");
        QTest::newRow("blanks") << QByteArray("a b.txt");
        QTest::newRow("dash and quotes") << QByteArray("-x \" 'y\\ %f.txt");
        QTest::newRow("newline") << QByteArray("new\nline.txt");
        QTest::newRow("not UTF-8") << QByteArray("caf\xe9 \xff.txt");
    }
    void openWith()
    {
        QFETCH(QByteArray, hostName);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder(QStringLiteral("\\My Documents")));
        const QByteArray hostPath = QFile::encodeName(root.host(QStringLiteral("\\My Documents"))) + '/' + hostName;
        QVERIFY(writeHostFile(hostPath, "plain words\n"));
        const auto removeFile = qScopeGuard([&hostPath] { ::unlink(hostPath.constData()); });
        const QString path = QStringLiteral("\\My Documents\\") + platform::deviceNameFromHost(hostName);

        QStringList ids;
        const QList<platform::OpenWithApplication> apps = platform::openWithApplications(path);
        for (const platform::OpenWithApplication &app : apps)
            ids << app.id;
        QCOMPARE(ids.value(0), QStringLiteral("ferrix-test-recorder.desktop"));
        QVERIFY(!ids.contains(QStringLiteral("ferrix-test-lister.desktop")));
        const qsizetype second = ids.indexOf(QStringLiteral("ferrix-test-second.desktop"));
        QVERIFY(second > 0);
        const QList<platform::DesktopApplication> listed = platform::desktopApplicationsFor(QStringLiteral("text/plain"));
        QCOMPARE(listed.value(second).iconNames.value(0), QStringLiteral("ferrix-test-icon"));

        QFile::remove(desktopHome().secondRecord);
        testsupport::MessageBoxScript boxes;
        QVERIFY(OpenFileWith(path, apps[second].command, nullptr));
        QCOMPARE(recorded(desktopHome().secondRecord), hostPath + '\n');
    }

    // The desktop's association, or a .reg entry over it; a changed default
    // application is used at the next opening, without a restart.
    void associations_data()
    {
        QTest::addColumn<QString>("regFile");
        QTest::addColumn<QString>("typeText");
        QTest::addColumn<QString>("command");
        QTest::newRow("desktop") << "" << QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment()
                                 << "\"" FILETYPES_ARGV_RECORDER "\" " + desktopHome().record + " \"\\My Documents\\a b.TXT\"";
        QTest::newRow("override") << FILETYPES_FIXTURES "/override.reg" << "Notes" << "notes.exe \\My Documents\\a b.TXT";
    }
    void associations()
    {
        QFETCH(QString, regFile);
        platform::Registry::configure(regFile.isEmpty() ? QStringList() : QStringList{regFile}, true);
        FileTypeInfo info;
        info.SetPath(QStringLiteral("\\My Documents\\a b.TXT"));
        QTEST(info.GetTypeText(), "typeText");
        QTEST(platform::readableCommandLine(info.GetOpenCommand()), "command");
        if (!regFile.isEmpty())
            return;
        const QString other = desktopHome().dir.filePath(QStringLiteral("other.txt"));
        QVERIFY(desktopHome().addRecorder("ferrix-test-other", other));
        for (const auto &[id, record] : {std::pair("ferrix-test-other", other), std::pair("ferrix-test-recorder", desktopHome().record)}) {
            QVERIFY(desktopHome().setDefault(id));
            QTRY_VERIFY_WITH_TIMEOUT(platform::readableCommandLine(info.GetOpenCommand()).contains(record), 10000);
        }
    }

    // An application that wants a terminal gets the desktop's; without one,
    // the start fails naming the terminal that is missing.
    void terminal_data()
    {
        QTest::addColumn<QStringList>("terminals"); // fake ones, alone on PATH
        QTest::addColumn<QString>("started");       // what the terminal got, else the message
        QTest::newRow("xdg-terminal-exec first") << QStringList {"x-terminal-emulator", "xdg-terminal-exec"}
                                                 << "xdg-terminal-exec\n/bin/cat\n<file>\n";
        QTest::newRow("x-terminal-emulator") << QStringList {"x-terminal-emulator"} << "x-terminal-emulator\n-e\n/bin/cat\n<file>\n";
        QTest::newRow("none") << QStringList {} << "Failed to execute x-terminal-emulator -e /bin/cat \"\\My Documents\\t b.log\"";
    }
    void terminal()
    {
        QFETCH(QStringList, terminals);
        QFETCH(QString, started);
        QTemporaryDir bin;
        const QString record = bin.filePath(QStringLiteral("terminal.txt"));
        // Written beside the record and renamed, so the test never reads half of it.
        const QByteArray quoted = '\'' + QFile::encodeName(record) + '\'';
        for (const QString &name : terminals)
            QVERIFY(writeHostFile(QFile::encodeName(bin.filePath(name)),
                              "#!/bin/sh\nprintf '%s\\n' \"${0##*/}\" \"$@\" > " + quoted + ".part && /bin/mv " + quoted
                                  + ".part " + quoted + "\n",
                              0755));
        const testsupport::PathChange path(bin.path(), true);
        platform::Registry::configure({}, true);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile(QStringLiteral("\\My Documents\\t b.log"), "log"));
        testsupport::MessageBoxScript boxes;
        if (terminals.isEmpty())
            boxes.expect(started, platform::IDOK);
        QCOMPARE(OpenFile(QStringLiteral("\\My Documents\\t b.log"), nullptr), !terminals.isEmpty());
        if (!terminals.isEmpty())
            QCOMPARE(recorded(record), started.replace("<file>", root.host(QStringLiteral("\\My Documents\\t b.log"))).toUtf8());
    }
};

FERRIX_TEST(TestOpenFile)
#include "tst_openfile.moc"
