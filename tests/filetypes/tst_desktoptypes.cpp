#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filetypes/filetypeinfo.h"
#include "filetypes/openfile.h"
#include "platform/registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The desktop's configuration for this test program: the recorder is the
// default application for plain text. It must be in place before the
// desktop libraries first read their directories, so it is set up before
// main() runs.
struct DesktopHome {
    QTemporaryDir dir;
    QString record; // host file the recorder writes
    bool ok = false;

    DesktopHome()
    {
        if (!dir.isValid())
            return;
        record = dir.filePath(QStringLiteral("record.txt"));
        const QString data = dir.filePath(QStringLiteral("data"));
        const QString config = dir.filePath(QStringLiteral("config"));
        ok = QDir().mkpath(data + QStringLiteral("/applications")) && QDir().mkpath(config)
            && write(data + QStringLiteral("/applications/ferrix-test-recorder.desktop"),
                     "[Desktop Entry]\nType=Application\nName=Recorder\nExec=\""
                         + QFile::encodeName(QStringLiteral(FILETYPES_ARGV_RECORDER)) + "\" "
                         + QFile::encodeName(record) + " %f\nMimeType=text/plain;\n")
            && write(config + QStringLiteral("/mimeapps.list"),
                     "[Default Applications]\ntext/plain=ferrix-test-recorder.desktop\n");
        qputenv("XDG_DATA_HOME", QFile::encodeName(data));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    }

    static bool write(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
};

DesktopHome &desktopHome()
{
    static DesktopHome home;
    return home;
}
const bool desktopHomeReady = desktopHome().ok;

} // namespace

// Type texts and open commands from the desktop's associations, and .reg
// entries taking precedence over them.
class TestDesktopTypes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(desktopHomeReady); }
    void cleanup() { platform::Registry::configure({}, false); }

    void associations_data()
    {
        QTest::addColumn<bool>("override");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("typeText");
        QTest::addColumn<QString>("command");
        const QString plainText = QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment();
        const QString path = QStringLiteral("\\My Documents\\a b.TXT");
        QTest::newRow("desktop") << false << path << plainText
                                 << u'"' + QStringLiteral(FILETYPES_ARGV_RECORDER) + QStringLiteral("\" ")
                                        + desktopHome().record + QStringLiteral(" \"") + path + u'"';
        QTest::newRow("override") << true << path << "Notes" << QStringLiteral("notes.exe ") + path;
    }
    void associations()
    {
        QFETCH(bool, override);
        QFETCH(QString, path);
        QStringList files;
        if (override)
            files << QStringLiteral(FILETYPES_FIXTURES "/override.reg");
        platform::Registry::configure(files, true);
        FileTypeInfo info;
        info.SetPath(path);
        QTEST(info.GetTypeText(), "typeText");
        QTEST(info.GetOpenCommand(), "command");
    }

    // Opening a text file starts the desktop's application with the host path.
    void opensWithDefaultApplication()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.isValid());
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

FERRIX_TEST(TestDesktopTypes)
#include "tst_desktoptypes.moc"
