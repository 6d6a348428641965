#include "common/testsuite.h"
#include "platform/desktopassociations.h"
#include "platform/registry.h"

#include <QMimeDatabase>
#include <QTest>

#include <atomic>
#include <gio/gio.h>
#include <thread>
#include <vector>

using namespace platform;

namespace {

const QString typesReg = QStringLiteral(PLATFORM_FIXTURES "/types.reg");
const QString userReg = QStringLiteral(PLATFORM_FIXTURES "/user-utf16.reg");

// Opens, reads the value and closes: the result code of the first failing
// step, and the value.
long readValue(RegRoot root, const QString &subKey, const QString &name, QString *value)
{
    RegKey key = 0;
    long result = regOpenKey(root, subKey, &key);
    if (result != ERROR_SUCCESS)
        return result;
    quint32 size = 4096;
    result = regQueryValue(key, name, value, &size);
    regCloseKey(key);
    return result;
}

bool desktopHasDefaultApp(const char *mimeType)
{
    GAppInfo *app = g_app_info_get_default_for_type(mimeType, FALSE);
    if (app)
        g_object_unref(app);
    return app != nullptr;
}

} // namespace

class RegistryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanupTestCase() { Registry::configure({}, true); }

    void query_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("desktop");
        QTest::addColumn<int>("root");
        QTest::addColumn<QString>("subKey");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("value");

        const int cr = int(RegRoot::ClassesRoot), cu = int(RegRoot::CurrentUser), lm = int(RegRoot::LocalMachine);
        const QStringList types{typesReg};
        const QStringList both{userReg, typesReg};
        const QString textComment = QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment();
        QTest::newRow("missing key") << types << false << cr << ".nothing" << "" << int(ERROR_FILE_NOT_FOUND) << "";
        QTest::newRow("default value") << types << false << cr << ".ferrixdoc" << "" << int(ERROR_SUCCESS) << "ferrixdoc.file";
        QTest::newRow("any case, leading backslash") << types << false << cr << "\\FerrixDoc.File\\shell\\OPEN\\command" << ""
                                                     << int(ERROR_SUCCESS) << "\"\\bin\\viewer\" -v \"%1\"";
        QTest::newRow("parent key has no default") << types << false << cr << "ferrixdoc.file\\Shell" << ""
                                                   << int(ERROR_FILE_NOT_FOUND) << "";
        QTest::newRow("root itself") << types << false << cr << "" << "" << int(ERROR_FILE_NOT_FOUND) << "";
        QTest::newRow("named value, trailing backslash") << types << false << lm << "\\Software\\Microsoft\\Shell\\Rai\\:Calc\\" << "1"
                                                         << int(ERROR_SUCCESS) << "\\Windows\\calc.exe";
        QTest::newRow("dword is no string") << types << false << lm << "Software\\Microsoft\\Shell\\Rai\\:Calc" << "Size"
                                            << int(ERROR_FILE_NOT_FOUND) << "";
        QTest::newRow("first file wins") << both << false << cu << "Software\\Ferrix" << "Greeting" << int(ERROR_SUCCESS)
                                         << "from the user \"file\" \u00e9t\u00e9";
        QTest::newRow("values of one key from both") << both << false << cr << ".ferrixdoc" << "extra" << int(ERROR_SUCCESS) << "user";
        QTest::newRow("desktop extension") << QStringList() << true << cr << ".txt" << "" << int(ERROR_SUCCESS) << "text/plain";
        QTest::newRow("desktop type description") << QStringList() << true << cr << "text/plain" << "" << int(ERROR_SUCCESS) << textComment;
        QTest::newRow(".reg overrides desktop") << types << true << cr << "text/plain" << "" << int(ERROR_SUCCESS) << "Plain words";
        QTest::newRow("desktop and .reg together") << types << true << cr << ".txt" << "" << int(ERROR_SUCCESS) << "text/plain";
        QTest::newRow("desktop off") << QStringList() << false << cr << ".txt" << "" << int(ERROR_FILE_NOT_FOUND) << "";
        QTest::newRow("desktop unknown extension") << QStringList() << true << cr << ".zzqq" << "" << int(ERROR_FILE_NOT_FOUND) << "";
        QTest::newRow("desktop answers classes root only") << QStringList() << true << lm << ".txt" << "" << int(ERROR_FILE_NOT_FOUND) << "";
    }

    void query()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, desktop);
        QFETCH(int, root);
        QFETCH(QString, subKey);
        QFETCH(QString, name);
        QFETCH(int, result);
        QFETCH(QString, value);

        Registry::configure(files, desktop);
        QString read;
        QCOMPARE(readValue(RegRoot(root), subKey, name, &read), long(result));
        QCOMPARE(read, value);
    }

    void sizesAndHandles()
    {
        Registry::configure({typesReg}, false);
        RegKey key = 0;
        QCOMPARE(regOpenKey(RegRoot::CurrentUser, QStringLiteral("Software\\Ferrix"), &key), ERROR_SUCCESS);
        quint32 size = 0;
        QCOMPARE(regQueryValue(key, QStringLiteral("Empty"), nullptr, &size), ERROR_SUCCESS);
        QCOMPARE(size, 2u);
        QString value;
        size = 28; // "from types.reg" needs 30 bytes with its terminator
        QCOMPARE(regQueryValue(key, QStringLiteral("Greeting"), &value, &size), ERROR_MORE_DATA);
        QCOMPARE(size, 30u);
        QVERIFY(value.isEmpty());

        QCOMPARE(regCloseKey(key), ERROR_SUCCESS);
        QCOMPARE(regCloseKey(key), ERROR_INVALID_HANDLE);
        QCOMPARE(regQueryValue(key, QString(), &value, &size), ERROR_INVALID_HANDLE);
    }

    // The command key is there exactly when the desktop names a default
    // application, and then it takes the file as "%1".
    void desktopOpenCommand()
    {
        Registry::configure({}, true);
        QString command;
        const long result = readValue(RegRoot::ClassesRoot, QStringLiteral("text/plain\\Shell\\Open\\Command"), QString(), &command);
        if (desktopHasDefaultApp("text/plain")) {
            QCOMPARE(result, ERROR_SUCCESS);
            QVERIFY2(command.contains(QLatin1String("\"%1\"")), qPrintable(command));
        } else {
            QCOMPARE(result, ERROR_FILE_NOT_FOUND);
        }
    }

    void desktopExec_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("command");
        QTest::newRow("%U") << "editor %U" << "editor \"%1\"";
        QTest::newRow("%f with option") << "player --started-from-file %f" << "player --started-from-file \"%1\"";
        QTest::newRow("once only") << "app %u %U" << "app \"%1\"";
        QTest::newRow("others removed") << "app --icon %i --class %c %k %F" << "app --icon --class \"%1\"";
        QTest::newRow("percent sign") << "app --zoom=100%% %f" << "app --zoom=100% \"%1\"";
        QTest::newRow("no file code: appended") << "xterm" << "xterm \"%1\"";
    }

    void desktopExec()
    {
        QFETCH(QString, exec);
        QFETCH(QString, command);
        QCOMPARE(openCommandFromDesktopExec(exec), command);
    }

    void loadWarnings()
    {
        const QString broken = QStringLiteral(PLATFORM_FIXTURES "/broken.reg");
        const QString missing = QStringLiteral("/nonexistent-folder/none.reg");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^%1:5: ").arg(QRegularExpression::escape(broken))));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^%1:").arg(QRegularExpression::escape(missing))));
        Registry::configure({broken, missing}, false);
        QCOMPARE(Registry::loadWarnings().size(), 2);
        QString value;
        QCOMPARE(readValue(RegRoot::CurrentUser, QStringLiteral("Software\\Broken"), QStringLiteral("Good"), &value), ERROR_SUCCESS);
        QCOMPARE(readValue(RegRoot::CurrentUser, QStringLiteral("Software\\Broken"), QStringLiteral("AlsoGood"), &value), ERROR_SUCCESS);
        Registry::configure({typesReg}, false);
        QVERIFY(Registry::loadWarnings().isEmpty());
    }

    // The search worker reads while the user-interface thread does.
    void concurrentReads()
    {
        Registry::configure({typesReg}, true);
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&wrong] {
                for (int i = 0; i < 300; ++i) {
                    QString a, b;
                    readValue(RegRoot::ClassesRoot, QStringLiteral(".ferrixdoc"), QString(), &a);
                    readValue(RegRoot::ClassesRoot, QStringLiteral(".txt"), QString(), &b);
                    wrong += a != QLatin1String("ferrixdoc.file") || b != QLatin1String("text/plain");
                }
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(wrong.load(), 0);
    }
};

FERRIX_TEST(RegistryTest)
#include "tst_registry.moc"
