#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filetypes/openfile.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/ui/messagebox.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Uses only a registry file holding these lines, written into dir.
bool useRegistry(const QTemporaryDir &dir, const QByteArray &lines)
{
    QFile file(dir.filePath(QStringLiteral("test.reg")));
    if (!file.open(QIODevice::WriteOnly) || file.write("REGEDIT4\n\n" + lines) < 0)
        return false;
    file.close();
    platform::Registry::configure({file.fileName()}, false);
    return true;
}

} // namespace

class TestOpenFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
        QTest::addColumn<QString>("program");       // device path; empty: nothing may start
        QTest::addColumn<QStringList>("arguments"); // device paths arrive as host paths
        const QString doc = QStringLiteral("\\My Documents\\a b.doc");
        const QString pword = QStringLiteral("\\Windows\\pword.exe");
        const QString app = QStringLiteral("\\Windows\\app.exe");
        const QString noCommand = QStringLiteral("No open command is registered for this filetype");
        QTest::newRow("started") << doc << true << "" << pword << QStringList{"-opendoc", doc};
        QTest::newRow("program alone") << app << true << "" << app << QStringList{};
        QTest::newRow("start fails") << doc << false << "Failed to execute " + pword + " -opendoc \"" + doc + '"'
                                     << pword << QStringList{"-opendoc", doc};
        QTest::newRow("start fails, no arguments") << app << false << "Failed to execute " + app + ' ' << app
                                                   << QStringList{};
        QTest::newRow("nothing registered") << "\\a.xyz" << true << noCommand << "" << QStringList{};
        QTest::newRow("unclosed quote") << "\\a.bad" << true << noCommand << "" << QStringList{};
        QTest::newRow("empty path") << "" << true << "" << "" << QStringList{};
    }
    void open()
    {
        QFETCH(QString, path);
        QFETCH(bool, launcherSucceeds);
        QFETCH(QString, message);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        testsupport::TempDeviceRoot root;
        QTemporaryDir regDir;
        QVERIFY(useRegistry(regDir, "[HKEY_CLASSES_ROOT\\.doc\\Shell\\Open\\Command]\n"
                                    "@=\"\\\\Windows\\\\pword.exe -opendoc \\\"%1\\\"\"\n"
                                    "[HKEY_CLASSES_ROOT\\.exe\\Shell\\Open\\Command]\n"
                                    "@=\"\\\"%1\\\" %*\"\n"
                                    "[HKEY_CLASSES_ROOT\\.bad\\Shell\\Open\\Command]\n"
                                    "@=\"\\\"\\\\Windows\\\\pword.exe %1\"\n"));
        QStringList launched; // host program, then host arguments, per start
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
        QStringList expected;
        if (!program.isEmpty())
            expected << root.host(program);
        for (const QString &argument : arguments)
            expected << (argument.startsWith(u'\\') ? root.host(argument) : argument);
        QCOMPARE(launched, expected);
    }

    // A real start: the program and the file arrive as host paths.
    void startsRealProcess()
    {
        testsupport::TempDeviceRoot root;
        const QString document = QStringLiteral("\\My Documents\\some file.rec");
        QVERIFY(root.makeFolder(QStringLiteral("\\out")));
        QVERIFY(root.makeFile(document, "data"));
        QVERIFY(root.makeFolder(QStringLiteral("\\bin")));
        QVERIFY(QFile::copy(QStringLiteral(FILETYPES_ARGV_RECORDER), root.host(QStringLiteral("\\bin\\recorder"))));
        QTemporaryDir regDir;
        QVERIFY(useRegistry(regDir, "[HKEY_CLASSES_ROOT\\.rec\\Shell\\Open\\Command]\n"
                                    "@=\"\\\\bin\\\\recorder \\\\out\\\\args.txt \\\"%1\\\"\"\n"));
        testsupport::MessageBoxScript boxes;

        QVERIFY(OpenFile(document, nullptr));

        const QString record = QStringLiteral("\\out\\args.txt");
        QTRY_VERIFY_WITH_TIMEOUT(root.exists(record), 20000);
        QCOMPARE(root.read(record), QFile::encodeName(root.host(document)) + '\n');
    }
};

FERRIX_TEST(TestOpenFile)
#include "tst_openfile.moc"
