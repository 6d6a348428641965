#include "common/testsuite.h"
#include "platform/regfile.h"

#include <QTest>

using namespace platform;

class RegFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("root");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("warnings"); // line prefixes, in order

        const int cu = int(RegRoot::CurrentUser);
        const QString r4 = QStringLiteral("REGEDIT4\n");
        QTest::newRow("regedit4") << r4 + "[HKEY_CURRENT_USER\\A]\n\"n\"=\"v\"\n" << cu << "A" << "n" << true << "v" << QStringList();
        QTest::newRow("version 5, CRLF")
            << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"n\"=\"v\"\r\n"
            << cu << "A" << "n" << true << "v" << QStringList();
        QTest::newRow("default value") << r4 + "[HKCU\\A]\n@=\"d\"\n" << cu << "A" << "" << true << "d" << QStringList();
        QTest::newRow("escapes") << r4 + "[HKCU\\A]\n\"n\"=\"say \\\"hi\\\" C:\\\\dir\\\\\"\n"
                                 << cu << "A" << "n" << true << "say \"hi\" C:\\dir\\" << QStringList();
        QTest::newRow("comments and blanks") << r4 + "; top\n\n[HKCU\\A]\n; inner\n\n\"n\" = \"v\" ; after\n"
                                             << cu << "A" << "n" << true << "v" << QStringList();
        QTest::newRow("short root, case") << r4 + "[hklm\\Soft\\Mixed]\n\"Name\"=\"v\"\n" << int(RegRoot::LocalMachine)
                                          << "SOFT\\mixed" << "NAME" << true << "v" << QStringList();
        QTest::newRow("dword is no string") << r4 + "[HKCU\\A]\n\"n\"=dword:0000001f\n" << cu << "A" << "n" << false << "" << QStringList();
        QTest::newRow("hex over lines") << r4 + "[HKCU\\A]\n\"h\"=hex(2):41,00,\\\n  42,00,\\\n  00,00\n\"n\"=\"after\"\n"
                                        << cu << "A" << "n" << true << "after" << QStringList();
        QTest::newRow("broken line, rest loads") << r4 + "[HKCU\\A]\n\"bad=\"x\n\"n\"=\"v\"\n"
                                                 << cu << "A" << "n" << true << "v" << QStringList{"t.reg:3:"};
        QTest::newRow("text after value") << r4 + "[HKCU\\A]\n\"n\"=\"v\" junk\n" << cu << "A" << "n" << false << "" << QStringList{"t.reg:3:"};
        QTest::newRow("bad dword") << r4 + "[HKCU\\A]\n\"n\"=dword:xyz\n" << cu << "A" << "n" << false << "" << QStringList{"t.reg:3:"};
        QTest::newRow("key deletion ignored") << r4 + "[-HKCU\\A]\n\"n\"=\"v\"\n" << cu << "A" << "n" << false << "" << QStringList{"t.reg:2:"};
        QTest::newRow("value deletion ignored") << r4 + "[HKCU\\A]\n\"n\"=-\n" << cu << "A" << "n" << false << "" << QStringList{"t.reg:3:"};
        QTest::newRow("unknown root") << r4 + "[HKEY_USERS\\A]\n\"n\"=\"v\"\n" << cu << "A" << "n" << false << "" << QStringList{"t.reg:2:"};
        QTest::newRow("value before any key") << r4 + "\"n\"=\"v\"\n[HKCU\\A]\n" << cu << "A" << "n" << false << "" << QStringList{"t.reg:2:"};
        QTest::newRow("two broken lines") << r4 + "[HKCU\\A]\n\"x\n\"n\"=\"v\"\n\"y\"=\"\n" << cu << "A" << "n" << true << "v"
                                          << QStringList{"t.reg:3:", "t.reg:5:"};
        QTest::newRow("no header") << "[HKCU\\A]\n\"n\"=\"v\"\n" << cu << "A" << "n" << false << "" << QStringList{"t.reg:1:"};
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(int, root);
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(QString, value);
        QFETCH(QStringList, warnings);

        const RegFileContent content = parseRegText(text, QStringLiteral("t.reg"));
        const RegKeyValues *values = content.declaredKey(RegRoot(root), foldRegKeyPath(key));
        QCOMPARE(values && values->values.contains(name.toCaseFolded()), found);
        if (found)
            QCOMPARE(values->values.value(name.toCaseFolded()), value);
        QCOMPARE(content.warnings.size(), warnings.size());
        for (int i = 0; i < warnings.size(); ++i)
            QVERIFY2(content.warnings[i].startsWith(warnings[i]), qPrintable(content.warnings[i]));
    }

    void utf16File()
    {
        const RegFileContent content = loadRegFile(QStringLiteral(PLATFORM_FIXTURES "/user-utf16.reg"));
        QVERIFY2(content.warnings.isEmpty(), qPrintable(content.warnings.join(u'\n')));
        const RegKeyValues *key = content.declaredKey(RegRoot::CurrentUser, QStringLiteral("software\\ferrix"));
        QVERIFY(key);
        QCOMPARE(key->values.value(QStringLiteral("greeting")), QStringLiteral("from the user \"file\" \u00e9t\u00e9"));
    }
};

FERRIX_TEST(RegFileTest)
#include "tst_regfile.moc"
