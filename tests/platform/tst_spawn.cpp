#include "platform/spawn.h"
#include "platformtest.h"

#include <QTemporaryDir>

using namespace platform;

class SpawnTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Arguments and environment arrive as exact bytes, one argument each.
    void exactBytes()
    {
        QTemporaryDir out;
        const QByteArray record = QFile::encodeName(out.filePath(QStringLiteral("argv.txt")));
        SpawnRequest request;
        request.program = QByteArrayLiteral(ARGVRECORDER_PATH);
        request.arguments = {record, QByteArray("a\" \"b c"), QByteArray("caf\xe9 %1 %*"), QByteArray()};
        request.wait = true;
        int exitCode = -1;
        QVERIFY(spawnProcess(request, &exitCode));
        QCOMPARE(exitCode, 0);
        QFile file(QFile::decodeName(record));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("a\" \"b c\ncaf\xe9 %1 %*\n\n"));

        SpawnRequest shell;
        shell.program = "/bin/sh";
        shell.arguments = {"-c", "test \"$FERRIX_SPAWN_TEST\" = \"x y\" && exit 7"};
        shell.environment = {{"FERRIX_SPAWN_TEST", "x y"}};
        shell.wait = true;
        QVERIFY(spawnProcess(shell, &exitCode));
        QCOMPARE(exitCode, 7);
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << QByteArray("/nonexistent/tool") << ENOENT;
        QTest::newRow("not executable") << QByteArray("/etc/hostname") << 0; // EACCES, or ENOEXEC for root
        QTest::newRow("empty") << QByteArray() << ENOENT;
    }

    void failures()
    {
        QFETCH(QByteArray, program);
        QFETCH(int, error);
        SpawnRequest request;
        request.program = program;
        request.wait = true;
        QVERIFY(!spawnProcess(request));
        if (error)
            QCOMPARE(lastError().code, error);
        else
            QVERIFY(lastError().code != 0);
    }
};

FERRIX_TEST(SpawnTest)
#include "tst_spawn.moc"
