#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filetypes/filetypeinfo.h"
#include "filetypes/openfile.h"
#include "platform/devicepath.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/ui/messagebox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The desktop's configuration for this test program: the recorder is the
// default application for plain text, writing to record. It must be in
// place before the desktop libraries first read their directories, so it
// is set up before main() runs.
struct DesktopHome {
    QTemporaryDir dir;
    QString record = dir.filePath(QStringLiteral("record.txt"));
    bool ok = write(QStringLiteral("data/applications/ferrix-test-recorder.desktop"),
                    "[Desktop Entry]\nType=Application\nName=Recorder\nMimeType=text/plain;\nExec=\""
                        + QFile::encodeName(QStringLiteral(FILETYPES_ARGV_RECORDER)) + "\" "
                        + QFile::encodeName(record) + " %f\n")
        && write(QStringLiteral("config/mimeapps.list"),
                 "[Default Applications]\ntext/plain=ferrix-test-recorder.desktop\n")
        && qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))))
        && qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));

    bool write(const QString &name, const QByteArray &content)
    {
        QFile file(dir.filePath(name));
        return QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly)
            && file.write(content) == content.size();
    }
};
DesktopHome &desktopHome()
{
    static DesktopHome home;
    return home;
}
const bool desktopHomeReady = desktopHome().ok;

// A file at an exact host path, executable by everyone.
bool writeProgram(const QByteArray &hostPath, const QByteArray &content)
{
    const int fd = ::open(hostPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0755);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), content.size()) == content.size();
    return ::close(fd) == 0 && written;
}

} // namespace

// Opening files by the registry's commands and by the desktop's
// associations, and .reg entries taking precedence over the latter.
class TestOpenFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(desktopHomeReady); }
    void init() { platform::Registry::configure({QStringLiteral(FILETYPES_FIXTURES "/types.reg")}, false); }
    void cleanup()
    {
        platform::setProcessLauncher({});
        platform::Registry::configure({}, false);
    }

    void open_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("launcherSucceeds");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("started"); // device paths arrive as host paths; empty: nothing may start
        const QString doc = QStringLiteral("\\My Documents\\a b.wri");
        const QString pword = QStringLiteral("\\Windows\\pword.exe");
        const QString app = QStringLiteral("\\Windows\\app.exe");
        const QString noCommand = QStringLiteral("No open command is registered for this filetype");
        QTest::newRow("started") << doc << true << "" << QStringList{pword, "-opendoc", doc};
        QTest::newRow("program alone") << app << true << "" << QStringList{app};
        QTest::newRow("start fails") << doc << false << "Failed to execute " + pword + " -opendoc \"" + doc + '"'
                                     << QStringList{pword, "-opendoc", doc};
        QTest::newRow("start fails, no arguments") << app << false << "Failed to execute " + app + ' ' << QStringList{app};
        QTest::newRow("nothing registered") << "\\a.xyz" << true << noCommand << QStringList{};
        QTest::newRow("unclosed quote") << "\\a.bad" << true << noCommand << QStringList{};
        QTest::newRow("empty path") << "" << true << "" << QStringList{};
    }
    void open()
    {
        QFETCH(QString, path);
        QFETCH(bool, launcherSucceeds);
        QFETCH(QString, message);
        QFETCH(QStringList, started);
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
        for (const auto &box : boxes.shown()) {
            QCOMPARE(box.caption, QCoreApplication::applicationName());
            QCOMPARE(box.type, 0x30u);
        }
        for (QString &argument : started)
            if (argument.startsWith(u'\\'))
                argument = root.host(argument);
        QCOMPARE(launched, started);
    }

    // A real start: the program and the file arrive as host paths.
    void startsRealProcess()
    {
        testsupport::TempDeviceRoot root;
        const QString document = QStringLiteral("\\My Documents\\some file.rec");
        QVERIFY(root.makeFolder(QStringLiteral("\\out")) && root.makeFile(document, "data"));
        QVERIFY(root.makeFolder(QStringLiteral("\\bin")));
        QVERIFY(QFile::copy(QStringLiteral(FILETYPES_ARGV_RECORDER), root.host(QStringLiteral("\\bin\\recorder"))));
        testsupport::MessageBoxScript boxes;

        QVERIFY(OpenFile(document, nullptr));

        const QString record = QStringLiteral("\\out\\args.txt");
        QTRY_VERIFY_WITH_TIMEOUT(root.exists(record), 20000);
        QCOMPARE(root.read(record), QFile::encodeName(root.host(document)) + '\n');
    }

    // Hostile names through a real program, by a .reg command (quoted or
    // not) and by the desktop's default: the program gets the file's exact
    // host path as one argument, and nothing else runs.
    void hostileNamesReachProgram_data()
    {
        QTest::addColumn<QByteArray>("hostName"); // in \My Documents
        QTest::addColumn<bool>("desktop");        // opened by the desktop's default for text
        QTest::newRow("quotes, quoted %1") << QByteArray("a\" \"+!touch PWNED\" \".rec") << false;
        QTest::newRow("quotes, unquoted %1") << QByteArray("x\" --evil \"y.urec") << false;
        QTest::newRow("%* in an executable's name") << QByteArray("notes%*.rec") << false;
        QTest::newRow("%1 and %*") << QByteArray("page%1%*.urec") << false;
        QTest::newRow("not UTF-8") << QByteArray("caf\xe9 \xff.rec") << false;
        QTest::newRow("backslash") << QByteArray("back\\slash.urec") << false;
        QTest::newRow("look-alike of a mark") << QByteArray("m\xef\xb7\x90" "9\xef\xb7\x91\" y.urec") << false;
        QTest::newRow("desktop: quotes") << QByteArray("a\" \"+!touch PWNED\" \".txt") << true;
        QTest::newRow("desktop: not UTF-8") << QByteArray("caf\xe9 %*.txt") << true;
    }
    void hostileNamesReachProgram()
    {
        QFETCH(QByteArray, hostName);
        QFETCH(bool, desktop);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder(QStringLiteral("\\out")) && root.makeFolder(QStringLiteral("\\My Documents")));
        QVERIFY(root.makeFolder(QStringLiteral("\\bin")));
        QVERIFY(QFile::copy(QStringLiteral(FILETYPES_ARGV_RECORDER), root.host(QStringLiteral("\\bin\\recorder"))));
        // The file itself is a program that leaves a mark if it is ever run.
        const QByteArray hostPath = QFile::encodeName(root.host(QStringLiteral("\\My Documents"))) + '/' + hostName;
        QVERIFY(writeProgram(hostPath, "#!/bin/sh\ntouch \"$(dirname \"$0\")/PWNED\"\n"));
        if (desktop)
            platform::Registry::configure({}, true);
        const QByteArray record = desktop ? QFile::encodeName(desktopHome().record)
                                          : QFile::encodeName(root.host(QStringLiteral("\\out\\args.txt")));
        QFile::remove(QFile::decodeName(record));
        testsupport::MessageBoxScript boxes;

        QVERIFY(OpenFile(QStringLiteral("\\My Documents\\") + platform::deviceNameFromHost(hostName), nullptr));

        const auto removeFile = qScopeGuard([&hostPath] { ::unlink(hostPath.constData()); });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QFile::decodeName(record)), 20000);
        QFile file(QFile::decodeName(record));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), hostPath + '\n');
        QVERIFY(!root.exists(QStringLiteral("\\My Documents\\PWNED")) && !root.exists(QStringLiteral("\\PWNED")));
    }

    // A file without an extension goes to the program handler: a program
    // runs, a document opens with the desktop's default for its content,
    // and a .reg entry for the handler takes both.
    void withoutExtension_data()
    {
        QTest::addColumn<QString>("regFile");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<QString>("expected"); // "ran", "desktop" or "reg"
        const QString override = QStringLiteral(FILETYPES_FIXTURES "/override.reg");
        QTest::newRow("program runs") << "" << true << "ran";
        QTest::newRow("text opens in the editor") << "" << false << "desktop";
        QTest::newRow(".reg entry, document") << override << false << "reg";
        QTest::newRow(".reg entry, program") << override << true << "reg";
    }
    void withoutExtension()
    {
        QFETCH(QString, regFile);
        QFETCH(bool, executable);
        QFETCH(QString, expected);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder(QStringLiteral("\\out")) && root.makeFolder(QStringLiteral("\\bin")));
        QVERIFY(QFile::copy(QStringLiteral(FILETYPES_ARGV_RECORDER), root.host(QStringLiteral("\\bin\\recorder"))));
        const QString readme = QStringLiteral("\\My Documents\\README");
        QVERIFY(root.makeFolder(QStringLiteral("\\My Documents")));
        const QByteArray hostPath = QFile::encodeName(root.host(readme));
        const QByteArray content = "#!/bin/sh\necho ran > \"$(dirname \"$0\")/../out/ran.txt\"\n";
        QVERIFY(executable ? writeProgram(hostPath, content) : root.makeFile(readme, content));
        platform::Registry::configure(regFile.isEmpty() ? QStringList() : QStringList {regFile}, true);
        QFile::remove(desktopHome().record);
        testsupport::MessageBoxScript boxes;

        QVERIFY(OpenFile(readme, nullptr));

        const QString record = expected == u"ran" ? root.host(QStringLiteral("\\out\\ran.txt"))
            : expected == u"reg"                   ? root.host(QStringLiteral("\\out\\args.txt"))
                                                   : desktopHome().record;
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 20000);
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), expected == u"ran" ? QByteArray("ran\n") : hostPath + '\n');
    }

    void associations_data()
    {
        QTest::addColumn<QString>("regFile");
        QTest::addColumn<QString>("typeText");
        QTest::addColumn<QString>("command");
        const QString recorder = QStringLiteral(FILETYPES_ARGV_RECORDER);
        QTest::newRow("desktop") << "" << QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment()
                                 << '"' + recorder + "\" " + desktopHome().record + " \"\\My Documents\\a b.TXT\"";
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
    }

    // A changed default application is used at the next opening, without
    // a restart.
    void followsDefaultApplication()
    {
        platform::Registry::configure({}, true);
        FileTypeInfo info;
        info.SetPath(QStringLiteral("\\a.txt"));
        QVERIFY(platform::readableCommandLine(info.GetOpenCommand()).contains(desktopHome().record));
        const QString other = desktopHome().dir.filePath(QStringLiteral("other.txt"));
        QVERIFY(desktopHome().write(QStringLiteral("data/applications/ferrix-test-other.desktop"),
                                    "[Desktop Entry]\nType=Application\nName=Other\nMimeType=text/plain;\nExec=\""
                                        + QFile::encodeName(QStringLiteral(FILETYPES_ARGV_RECORDER)) + "\" "
                                        + QFile::encodeName(other) + " %f\n"));
        for (const char *entry : {"ferrix-test-other.desktop", "ferrix-test-recorder.desktop"}) {
            QVERIFY(desktopHome().write(QStringLiteral("config/mimeapps.list"),
                                        QByteArray("[Default Applications]\ntext/plain=") + entry + '\n'));
            const QString expected = QByteArray(entry).contains("other") ? other : desktopHome().record;
            QTRY_VERIFY_WITH_TIMEOUT(platform::readableCommandLine(info.GetOpenCommand()).contains(expected), 10000);
        }
    }

    // Opening a text file starts the desktop's application (a host path)
    // with the file's host path.
    void opensWithDefaultApplication()
    {
        testsupport::TempDeviceRoot root;
        const QString document = QStringLiteral("\\My Documents\\a b.txt");
        QVERIFY(root.makeFile(document, "text"));
        platform::Registry::configure({}, true);
        QFile::remove(desktopHome().record);
        testsupport::MessageBoxScript boxes;
        QVERIFY(OpenFile(document, nullptr));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(desktopHome().record), 20000);
        QFile record(desktopHome().record);
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll(), QFile::encodeName(root.host(document)) + '\n');
    }
};

FERRIX_TEST(TestOpenFile)
#include "tst_openfile.moc"
