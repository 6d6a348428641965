#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/lasterror.h"
#include "platform/shell.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace platform;

namespace {

// Records what would have been started instead of starting it.
struct LaunchRecorder {
    QString program;
    QStringList arguments;
    int calls = 0;
    bool succeed = true;
    LaunchRecorder()
    {
        setProcessLauncher([this](const QString &p, const QStringList &a) {
            program = p;
            arguments = a;
            ++calls;
            return succeed;
        });
    }
    ~LaunchRecorder() { setProcessLauncher({}); }
};

QStringList withRoot(QStringList list, const QString &root)
{
    list.replaceInStrings(QStringLiteral("<root>"), root);
    return list;
}

} // namespace

class ProcessTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void split_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("words") << "a bc  d" << QStringList{"a", "bc", "d"};
        QTest::newRow("quotes group") << "\"\\My Documents\\a b.txt\" -x" << QStringList{"\\My Documents\\a b.txt", "-x"};
        QTest::newRow("quotes inside a word") << "pre\"fix and\"post" << QStringList{"prefix andpost"};
        QTest::newRow("empty quotes") << "a \"\" b" << QStringList{"a", "", "b"};
        QTest::newRow("unclosed quote runs to the end") << "a \"b c" << QStringList{"a", "b c"};
        QTest::newRow("backslashes kept") << "\\a\\ \\\\b" << QStringList{"\\a\\", "\\\\b"};
    }

    void split()
    {
        QFETCH(QString, arguments);
        QFETCH(QStringList, expected);
        QCOMPARE(splitArguments(arguments), expected);
    }

    void translate_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("hostProgram"); // <root> is the device root
        QTest::addColumn<QStringList>("hostArguments");
        const QString sh = QStandardPaths::findExecutable(QStringLiteral("sh"));
        QTest::newRow("device program and paths") << "\\bin\\tool" << "\\docs\\a.txt -x"
                                                  << "<root>/bin/tool" << QStringList{"<root>/docs/a.txt", "-x"};
        QTest::newRow("unquoted blank splits") << "\\bin\\tool" << "\\My Documents\\a.txt"
                                               << "<root>/bin/tool" << QStringList{"<root>/My", "Documents\\a.txt"};
        QTest::newRow("quoted path with blanks") << "\\bin\\tool" << "\"\\My Documents\\b c.txt\""
                                                 << "<root>/bin/tool" << QStringList{"<root>/My Documents/b c.txt"};
        QTest::newRow("bare name on PATH") << "sh" << "-c \"exit 0\"" << sh << QStringList{"-c", "exit 0"};
        QTest::newRow("host path stays") << "/bin/true" << "" << "/bin/true" << QStringList();
    }

    void translate()
    {
        QFETCH(QString, program);
        QFETCH(QString, arguments);
        QFETCH(QString, hostProgram);
        QFETCH(QStringList, hostArguments);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.isValid());
        LaunchRecorder launch;
        QVERIFY(createProcess(program, arguments));
        QCOMPARE(launch.calls, 1);
        QCOMPARE(launch.program, withRoot({hostProgram}, root.hostPath()).first());
        QCOMPARE(launch.arguments, withRoot(hostArguments, root.hostPath()));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("useLauncher");
        QTest::addColumn<int>("error");
        QTest::newRow("not on PATH") << "ferrix-no-such-program" << true << ENOENT;
        QTest::newRow("invalid device path") << "\\bin/tool" << true << EINVAL;
        QTest::newRow("missing device file") << "\\bin\\missing" << false << ENOENT;
    }

    void failures()
    {
        QFETCH(QString, program);
        QFETCH(bool, useLauncher);
        QFETCH(int, error);
        testsupport::TempDeviceRoot root;
        std::unique_ptr<LaunchRecorder> launch(useLauncher ? new LaunchRecorder : nullptr);
        if (launch)
            launch->succeed = false;
        QVERIFY(!createProcess(program, QStringLiteral("x")));
        QCOMPARE(lastError().code, error);
        QVERIFY(!lastError().message.isEmpty());
    }

    // A real program, started as a device path, gets host paths.
    void argvRecorder()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder(QStringLiteral("\\bin")));
        QVERIFY(QFile::copy(QStringLiteral(ARGVRECORDER_PATH), root.host(QStringLiteral("\\bin\\rec"))));
        QTemporaryDir out;
        const QString record = out.filePath(QStringLiteral("argv.txt"));
        qputenv("ARGVRECORDER_OUTPUT", QFile::encodeName(record));

        QVERIFY(createProcess(QStringLiteral("\\bin\\rec"), QStringLiteral("\"\\My Documents\\a b.txt\" plain \\x")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString expected = root.hostPath() + QStringLiteral("/My Documents/a b.txt\nplain\n") + root.hostPath()
            + QStringLiteral("/x\n");
        QCOMPARE(QString::fromUtf8(file.readAll()), expected);
        qunsetenv("ARGVRECORDER_OUTPUT");
    }

    void runAndWait()
    {
        testsupport::TempDeviceRoot root;
        int exitCode = -1;
        QVERIFY(runProcessAndWait(QStringLiteral("sh"), QStringLiteral("-c \"exit 3\""), &exitCode));
        QCOMPARE(exitCode, 3);
        // Waiting means the program's work is done on return.
        QVERIFY(runProcessAndWait(QStringLiteral("sh"), QStringLiteral("-c \"echo hi > $0\" \\out.txt"), &exitCode));
        QCOMPARE(exitCode, 0);
        QCOMPARE(root.read(QStringLiteral("\\out.txt")), QByteArray("hi\n"));
        QVERIFY(!runProcessAndWait(QStringLiteral("\\missing"), QString(), &exitCode));
    }
};

FERRIX_TEST(ProcessTest)
#include "tst_process.moc"
