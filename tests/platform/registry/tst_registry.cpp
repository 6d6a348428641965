#include "platform/platformtest.h"
#include "platform/registry/desktopassociations.h"
#include "platform/registry/regfile.h"
#include "platform/registry/registry.h"

#include <QMimeDatabase>
#include <QRegularExpression>

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

const QString typesReg = QStringLiteral(PLATFORM_FIXTURES "/types.reg");
const QString userReg = QStringLiteral(PLATFORM_FIXTURES "/user-utf16.reg");
bool writeFile(const QString &name, const QByteArray &content) { return testsupport::writeHostFile(QFile::encodeName(name), content); }

const QString exeReg = QStringLiteral(PLATFORM_FIXTURES "/exe-class.reg");

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

// value: null when not there; warnings: line prefixes, in order.
struct ParseCase { QString text; int root; QString key; QString name; QString value; QStringList warnings; };

// value: null for no such value, "<no key>" for no such key.
struct QueryCase { QStringList files; bool desktop; int root; QString subKey; QString name; QString value; };

} // namespace

class RegistryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanupTestCase() { Registry::configure({}, true); }

    // One line at a time: a broken line is reported with file and line, the rest loads.
    void parse_data()
    {
        QTest::addColumn<ParseCase>("row");

        const int cu = int(RegRoot::CurrentUser);
        const QString r4 = "REGEDIT4\n", a = r4 + "[HKCU\\A]\n"; // a: key "A" opened on line 2
        const QStringList ok;
        QTest::newRow("regedit4") << ParseCase{r4 + "[HKEY_CURRENT_USER\\A]\n\"n\"=\"v\"\n", cu, "A", "n", "v", ok};
        QTest::newRow("version 5, CRLF") << ParseCase{"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"n\"=\"v\"\r\n", cu, "A", "n", "v", ok};
        QTest::newRow("default value") << ParseCase{a + "@=\"d\"\n", cu, "A", "", "d", ok};
        QTest::newRow("escapes") << ParseCase{a + "\"n\"=\"say \\\"hi\\\" C:\\\\dir\\\\\"\n", cu, "A", "n", "say \"hi\" C:\\dir\\", ok};
        QTest::newRow("comments and blanks") << ParseCase{r4 + "; top\n\n[HKCU\\A]\n; inner\n\n\"n\" = \"v\" ; after\n", cu, "A", "n", "v", ok};
        QTest::newRow("short root, case") << ParseCase{r4 + "[hklm\\Soft\\Mixed]\n\"Name\"=\"v\"\n", int(RegRoot::LocalMachine),
            "SOFT\\mixed", "NAME", "v", ok};
        const QString v5 = "Windows Registry Editor Version 5.00\n[HKCU\\A]\n";
        QTest::newRow("dword is no string") << ParseCase{a + "\"n\"=dword:0000001f\n", cu, "A", "n", QString(), {"t.reg:3:"}};
        QTest::newRow("expandable over lines") << ParseCase{v5 + "\"h\"=hex(2):25,00,46,00,45,00,52,00,52,00,49,00,58,00,5f,00,54,00,\\\n  25,00,\\\n  "
                                                       "2f,00,78,00,25,00,4e,00,4f,00,25,00,00,00\n", cu, "A", "h", "/opt/ferrix/x%NO%", ok};
        QTest::newRow("expandable in REGEDIT4 is ANSI") << ParseCase{a + "\"h\"=hex(2):25,46,45,52,52,49,58,5f,54,25,e9,00\n", cu, "A", "h",
            "/opt/ferrix\u00e9", ok};
        QTest::newRow("multi-string: the first") << ParseCase{v5 + "\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00\n", cu, "A", "m", "a", ok};
        QTest::newRow("string as hex(1)") << ParseCase{v5 + "@=hex(1):e9,00,74,00,00,00\n", cu, "A", "", "\u00e9t", ok};
        QTest::newRow("declared twice: the later wins") << ParseCase{a + "\"n\"=\"1\"\n[HKCU\\B]\n[hkcu\\a]\n\"N\"=\"2\"\n\"m\"=\"3\"\n",
            cu, "A", "n", "2", ok};
        QTest::newRow("longest key name") << ParseCase{r4 + "[HKCU\\" + QString(kMaxRegKeyNameChars, u'k') + "]\n@=\"v\"\n", cu,
            QString(kMaxRegKeyNameChars, u'k'), "", "v", ok};
        QTest::newRow("key name too long") << ParseCase{r4 + "[HKCU\\a\\" + QString(kMaxRegKeyNameChars + 1, u'k') + "]\n@=\"v\"\n", cu,
            "a\\" + QString(kMaxRegKeyNameChars + 1, u'k'), "", QString(), {"t.reg:2: key name"}};
        QString deepest;
        for (int i = 0; i < kMaxRegKeyLevels; ++i)
            deepest += i ? "\\k" : "k";
        QString veryDeep = deepest;
        for (int i = kMaxRegKeyLevels; i < 45000; ++i)
            veryDeep += "\\k";
        QTest::newRow("deepest key") << ParseCase{r4 + "[HKCU\\" + deepest + "]\n@=\"v\"\n", cu, deepest, "", "v", ok};
        QTest::newRow("45,000 levels skipped") << ParseCase{r4 + "[HKCU\\" + veryDeep + "]\n@=\"v\"\n", cu, veryDeep, "", QString(),
            {"t.reg:2: key path"}};
        QString hugeHex = "\"h\"=hex:";
        for (int i = 0; i < 400000; ++i)
            hugeHex += "41,\\\n";
        QTest::newRow("line too long skipped") << ParseCase{a + hugeHex + "00\n\"n\"=\"after\"\n", cu, "A", "n", "after", {"t.reg:3: line"}};
        QString broken = r4;
        QStringList listed;
        for (int i = 0; i < kMaxRegWarnings + 50; ++i) {
            broken += "x\n";
            if (i < kMaxRegWarnings)
                listed << QStringLiteral("t.reg:%1:").arg(i + 2);
        }
        QTest::newRow("many broken lines counted") << ParseCase{broken, cu, "A", "n", QString(), listed + QStringList {"t.reg:0: 50 more"}};
        QTest::newRow("text after value") << ParseCase{a + "\"n\"=\"v\" junk\n", cu, "A", "n", QString(), {"t.reg:3:"}};
        QTest::newRow("key deletion ignored") << ParseCase{r4 + "[-HKCU\\A]\n\"n\"=\"v\"\n", cu, "A", "n", QString(), {"t.reg:2:"}};
        QTest::newRow("unknown root") << ParseCase{r4 + "[HKEY_USERS\\A]\n\"n\"=\"v\"\n", cu, "A", "n", QString(), {"t.reg:2:"}};
        QTest::newRow("value before any key") << ParseCase{r4 + "\"n\"=\"v\"\n[HKCU\\A]\n", cu, "A", "n", QString(), {"t.reg:2:"}};
        QTest::newRow("overlong value skipped") << ParseCase{a + "\"n\"=\"" + QString(kMaxRegValueChars + 1, u'x') + "\"\n\"m\"=\"v\"\n",
            cu, "A", "n", QString(), {"t.reg:3:"}};
        QTest::newRow("longest value kept") << ParseCase{a + "\"n\"=\"" + QString(kMaxRegValueChars, u'x') + "\"\n", cu, "A", "n",
            QString(kMaxRegValueChars, u'x'), ok};
        QTest::newRow("no header") << ParseCase{"[HKCU\\A]\n\"n\"=\"v\"\n", cu, "A", "n", QString(), {"t.reg:1:"}};
    }

    // Each text is parsed as it is and read from a file, a block at a time.
    void parse()
    {
        auto [text, root, key, name, value, warnings] = platformtest::fetchRow<ParseCase>();
        qputenv("FERRIX_T", "/opt/ferrix");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("t.reg"));
        QVERIFY(writeFile(file, text.toUtf8()));
        for (const RegFileContent &content : {parseRegText(text, QStringLiteral("t.reg")), loadRegFile(file)}) {
            QString found;
            QCOMPARE(content.findValue(RegRoot(root), foldRegKeyPath(key), name.toCaseFolded(), &found) ? found : QString(), value);
            QCOMPARE(content.warnings.size(), warnings.size());
            for (int i = 0; i < warnings.size(); ++i) {
                const QString warning = QString(content.warnings[i]).replace(file, QStringLiteral("t.reg"));
                QVERIFY2(warning.startsWith(warnings[i]), qPrintable(warning));
            }
        }
    }

    void query_data()
    {
        QTest::addColumn<QueryCase>("row");

        const int cr = int(RegRoot::ClassesRoot), cu = int(RegRoot::CurrentUser), lm = int(RegRoot::LocalMachine);
        const QStringList none, types {typesReg}, both {userReg, typesReg};
        const QString missing, noKey = "<no key>", calc = "Software\\Microsoft\\Shell\\Rai\\:Calc";
        const QString textComment = QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment();
        QTest::newRow("missing key") << QueryCase{types, false, cr, ".nothing", "", noKey};
        QTest::newRow("start of a key's name is no key") << QueryCase{types, false, cr, "ferrixdoc.file\\Sh", "", noKey};
        QTest::newRow("default value") << QueryCase{types, false, cr, ".ferrixdoc", "", "ferrixdoc.file"};
        QTest::newRow("any case, leading backslash") << QueryCase{types, false, cr, "\\FerrixDoc.File\\shell\\OPEN\\command", "",
            "\"\\bin\\viewer\" -v \"%1\""};
        QTest::newRow("parent key has no default") << QueryCase{types, false, cr, "ferrixdoc.file\\Shell", "", missing};
        QTest::newRow("named value, trailing backslash") << QueryCase{types, false, lm, "\\" + calc + "\\", "1", "\\Windows\\calc.exe"};
        QTest::newRow("first file wins, UTF-16") << QueryCase{both, false, cu, "Software\\Ferrix", "Greeting",
            "from the user \"file\" \u00e9t\u00e9"};
        QTest::newRow("values of one key from both") << QueryCase{both, false, cr, ".ferrixdoc", "extra", "user"};
        QTest::newRow("desktop extension") << QueryCase{none, true, cr, ".txt", "", "text/plain"};
        QTest::newRow("desktop type description") << QueryCase{none, true, cr, "text/plain", "", textComment};
        QTest::newRow(".reg overrides desktop") << QueryCase{types, true, cr, "text/plain", "", "Plain words"};
        QTest::newRow("desktop off") << QueryCase{none, false, cr, ".txt", "", noKey};
        const QString program = "\"%1\" %*";
        QTest::newRow("desktop program handler") << QueryCase{none, true, cr, ".EXE\\Shell\\Open\\Command", "", program};
        QTest::newRow(".reg takes the program handler") << QueryCase{{exeReg}, true, cr, ".exe\\Shell\\Open\\Command", "", noKey};
        QTest::newRow(".reg program class") << QueryCase{{exeReg}, true, cr, ".exe", "", "exefile"};
        QTest::newRow("desktop answers classes root only") << QueryCase{none, true, lm, ".txt", "", noKey};
    }

    void query()
    {
        auto [files, desktop, root, subKey, name, value] = platformtest::fetchRow<QueryCase>();
        Registry::configure(files, desktop);
        RegKey key = 0;
        QCOMPARE(regOpenKey(RegRoot(root), subKey, &key), value == u"<no key>" ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS);
        regCloseKey(key);
        QString read;
        QCOMPARE(readValue(RegRoot(root), subKey, name, &read), value.isNull() || key == 0 ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS);
        QCOMPARE(read, value.isNull() || key == 0 ? QString() : value);
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

    // A desktop entry's Exec line as an open command taking the file as "%1".
    void desktopExec_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("command");
        QTest::newRow("%U") << "editor %U" << "editor \"%1\"";
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

    // What a loaded file warns about is logged and kept (broken lines: see
    // parse); nothing but a regular file of sensible size is read, a refusal
    // never blocks, and the other files still load.
    void loadWarnings_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("warning"); // after the file's name
        const QString refused = ":0: cannot be read";
        QTest::newRow("missing: no warning, read once it appears") << "missing" << QString();
        QTest::newRow("FIFO") << "fifo" << refused;
        QTest::newRow("link to /dev/zero") << "zero" << refused;
        QTest::newRow("folder") << "folder" << refused;
        QTest::newRow("too large") << "large" << refused;
    }
    void loadWarnings()
    {
        QFETCH(QString, kind);
        QFETCH(QString, warning);
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("registry.reg"));
        const QByteArray host = QFile::encodeName(name);
        if (kind == u"fifo")
            QCOMPARE(::mkfifo(host.constData(), 0600), 0);
        else if (kind == u"zero")
            QCOMPARE(::symlink("/dev/zero", host.constData()), 0);
        else if (kind == u"folder")
            QVERIFY(QDir().mkdir(name));
        else if (kind == u"large")
            QVERIFY(writeFile(name, "REGEDIT4\n") && ::truncate(host.constData(), kMaxRegFileBytes + 1) == 0);
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^" + QRegularExpression::escape(name + warning)));
        Registry::configure({name, typesReg}, false);
        QCOMPARE(Registry::loadWarnings().size(), warning.isEmpty() ? 0 : 1);
        QString value;
        QCOMPARE(readValue(RegRoot::ClassesRoot, QStringLiteral(".ferrixdoc"), QString(), &value), ERROR_SUCCESS);
        Registry::configure({typesReg}, false);
        QVERIFY(Registry::loadWarnings().isEmpty());
    }

    // An edited, replaced, created or removed file is read again off the
    // asking thread: the question that notices still gets the old answer,
    // later ones the new one, without configuring again.
    void followsChanges()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("registry.reg"));
        const auto valueNow = [] {
            QString value;
            return readValue(RegRoot::CurrentUser, QStringLiteral("A"), QStringLiteral("n"), &value) == ERROR_SUCCESS
                ? value : QStringLiteral("<none>");
        };
        Registry::configure({name}, false);
        QCOMPARE(valueNow(), QStringLiteral("<none>"));
        QVERIFY(writeFile(name, "REGEDIT4\n[HKCU\\A]\n\"n\"=\"one\"\n"));
        QCOMPARE(valueNow(), QStringLiteral("<none>"));
        QTRY_COMPARE(valueNow(), QStringLiteral("one"));
        QVERIFY(writeFile(name, "REGEDIT4\n[HKCU\\A]\n\"n\"=\"two\"\n")); // same size, edited in place
        QTRY_COMPARE(valueNow(), QStringLiteral("two"));
        const QString other = dir.filePath(QStringLiteral("new.reg"));
        QVERIFY(writeFile(other, "REGEDIT4\n[HKCU\\A]\n\"n\"=\"three\"\n"));
        QVERIFY(::rename(QFile::encodeName(other).constData(), QFile::encodeName(name).constData()) == 0);
        QTRY_COMPARE(valueNow(), QStringLiteral("three"));
        QVERIFY(QFile::remove(name));
        QTRY_COMPARE(valueNow(), QStringLiteral("<none>"));
    }
};

FERRIX_TEST(RegistryTest)
#include "tst_registry.moc"
