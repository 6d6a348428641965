#include "app/commandline.h"
#include "common/testsuite.h"

#include "platform/fs/devicepath.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

// The program's one optional argument: the device root folder.
class CommandLineTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // "<dir>" stands for an existing folder, holding "file" and a folder
    // whose name is not UTF-8.
    QStringList expand(QStringList arguments) const
    {
        for (QString &argument : arguments)
            argument.replace(QLatin1String("<dir>"), m_dir.path());
        return arguments;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QFile file(m_dir.filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(::mkdir(QFile::encodeName(m_dir.path()) + "/caf\xe9", 0755) == 0);
    }
    void cleanupTestCase() { ::rmdir(QFile::encodeName(m_dir.path()) + "/caf\xe9"); }

    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("expected"); // the root when run, else what the program prints

        const int run = CommandLine::Run, help = CommandLine::ShowHelp, fail = CommandLine::Fail;
        QTest::newRow("nothing") << QStringList{} << run << "";
        QTest::newRow("a folder") << QStringList{"<dir>"} << run << "<dir>";
        QTest::newRow("a folder spelt with ./") << QStringList{"<dir>/./"} << run << "<dir>";
        QTest::newRow("help") << QStringList{"--help"} << help << "Usage: ferrix [QT-OPTIONS] [DEVICE-ROOT]";
        QTest::newRow("missing folder") << QStringList{"<dir>/nowhere"} << fail << "does not exist";
        QTest::newRow("a file") << QStringList{"<dir>/file"} << fail << "is not a folder";
        QTest::newRow("two folders") << QStringList{"<dir>", "<dir>"} << fail << "too many arguments";
        QTest::newRow("unknown option") << QStringList{"-x"} << fail << "unknown option '-x'";
        QTest::newRow("-- then -x") << QStringList{"--", "-x"} << fail << "'-x' does not exist";
        const QString odd = "<dir>/caf" + QString(QChar(0xDCE9));
        QTest::newRow("folder name not UTF-8") << QStringList{odd} << run << odd;
        QTest::newRow("Qt options around it") << QStringList{"-style", "fusion", "<dir>", "-reverse"} << run << "<dir>";
        QTest::newRow("file URI, localhost, escapes not UTF-8") << QStringList{"FILE://localhost<dir>/caf%E9"} << run << odd;
        QTest::newRow("file URI of a missing folder") << QStringList{"file:<dir>/no%20where%3F"} << fail
                                                      << "'" + m_dir.path() + "/no where?' does not exist";
        QTest::newRow("file URI of another host") << QStringList{"file://elsewhere<dir>"} << fail << "is not a local folder";
        QTest::newRow("remote URI") << QStringList{"sftp://host/home"} << fail << "'sftp://host/home' is not a local folder";
        QTest::newRow("Qt option, then a bad folder") << QStringList{"-platform", "offscreen", "<dir>/nowhere"} << fail
                                                      << "'" + m_dir.path() + "/nowhere' does not exist";
    }
    // Refused and help lines also run the real program: no window, the
    // message and the exit status.
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, expected);

        const QString previousRoot = platform::deviceRoot();
        const auto restoreRoot = qScopeGuard([&] { platform::setDeviceRoot(previousRoot); });
        CommandLine line = CommandLine::parse(expand(arguments));
        line.applyDeviceRoot();
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.error.isEmpty(), action != CommandLine::Fail);
        if (action == CommandLine::Run) {
            // The root is the folder itself, cleaned.
            QCOMPARE(platform::deviceRoot(), expected.isEmpty() ? previousRoot : expand({expected}).first());
            return;
        }

        QProcess ferrix;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Without a display, any attempt to open a window would fail loudly.
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        ferrix.setProcessEnvironment(environment);
        ferrix.start(QStringLiteral(FERRIX_BINARY), expand(arguments));
        QVERIFY(ferrix.waitForFinished(30000));
        QCOMPARE(ferrix.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ferrix.exitCode(), action == CommandLine::Fail ? 2 : 0);
        const QString out = QString::fromLocal8Bit(ferrix.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(ferrix.readAllStandardError());
        QVERIFY2((action == CommandLine::Fail ? err : out).contains(expected), qPrintable(out + err));
        QVERIFY2((action == CommandLine::Fail ? out : err).isEmpty(), qPrintable(out + err));
    }
};

FERRIX_TEST(CommandLineTest)
#include "tst_commandline.moc"
