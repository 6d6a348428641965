#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filetypes/filetypeinfo.h"
#include "filetypes/openfile.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/ui/messagebox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

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
        QTEST(info.GetOpenCommand(), "command");
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
