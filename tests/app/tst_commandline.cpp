#include "app/commandline.h"
#include "common/testsuite.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The program's one optional argument: the device root folder.
class CommandLineTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // "<dir>" and "<file>" stand for an existing folder and file.
    QStringList expand(const QStringList &arguments) const
    {
        QStringList out;
        for (QString argument : arguments) {
            argument.replace(QLatin1String("<dir>"), m_dir.path());
            argument.replace(QLatin1String("<file>"), m_dir.filePath(QStringLiteral("file.txt")));
            out << argument;
        }
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile file(m_dir.filePath(QStringLiteral("file.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    void refusedOrShown_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stdoutHas");
        QTest::addColumn<QString>("stderrHas");

        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: ferrix [DEVICE-ROOT]" << "";
        QTest::newRow("h") << QStringList{"-h"} << 0 << "Usage:" << "";
        QTest::newRow("missing folder") << QStringList{"<dir>/nowhere"} << 2 << "" << "does not exist";
        QTest::newRow("a file") << QStringList{"<file>"} << 2 << "" << "is not a folder";
        QTest::newRow("two folders") << QStringList{"<dir>", "<dir>"} << 2 << "" << "too many arguments";
        QTest::newRow("unknown option") << QStringList{"-x"} << 2 << "" << "unknown option '-x'";
        QTest::newRow("empty") << QStringList{""} << 2 << "" << "does not exist";
    }

    // The real program: no window, a message and the exit status.
    void refusedOrShown()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, stdoutHas);
        QFETCH(QString, stderrHas);

        QProcess ferrix;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Without a display, any attempt to open a window would fail loudly.
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        ferrix.setProcessEnvironment(environment);
        ferrix.start(QStringLiteral(FERRIX_BINARY), expand(arguments));
        QVERIFY(ferrix.waitForFinished(30000));
        QCOMPARE(ferrix.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ferrix.exitCode(), exitCode);
        const QString out = QString::fromLocal8Bit(ferrix.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(ferrix.readAllStandardError());
        QVERIFY2(out.contains(stdoutHas), qPrintable(out));
        QVERIFY2(err.contains(stderrHas), qPrintable(err));
        QCOMPARE(err.isEmpty(), stderrHas.isEmpty());
    }

    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("deviceRoot");

        QTest::newRow("nothing") << QStringList{} << int(CommandLine::Run) << "";
        QTest::newRow("a folder") << QStringList{"<dir>"} << int(CommandLine::Run) << "<dir>";
        QTest::newRow("dotted folder") << QStringList{"<dir>/."} << int(CommandLine::Run) << "<dir>";
        QTest::newRow("after --") << QStringList{"--", "<dir>"} << int(CommandLine::Run) << "<dir>";
        QTest::newRow("help wins") << QStringList{"<dir>", "--help"} << int(CommandLine::ShowHelp) << "";
        QTest::newRow("-- then -x") << QStringList{"--", "-x"} << int(CommandLine::Fail) << "";
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, deviceRoot);

        const CommandLine line = CommandLine::parse(expand(arguments));
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.deviceRoot, expand({deviceRoot}).first());
        QCOMPARE(line.error.isEmpty(), action != CommandLine::Fail);
    }
};

FERRIX_TEST(CommandLineTest)
#include "tst_commandline.moc"
