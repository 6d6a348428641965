#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "filetypes/filetypeinfo.h"
#include "platform/registry.h"
#include "platform/shell.h"

#include <QTest>

class TestFileTypeInfo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { platform::Registry::configure({QStringLiteral(FILETYPES_FIXTURES "/types.reg")}, false); }
    void cleanupTestCase() { platform::Registry::configure({}, false); }

    void extension_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expected");
        QTest::newRow("last dot, upper case") << "" << "\\a.tar.Gz" << "GZ";
        QTest::newRow("dot in folder") << "" << "\\Old.Data\\readme" << "DATA\\README";
        QTest::newRow("leading dot of name") << "" << "\\Temp\\.profile" << "PROFILE";
        QTest::newRow("dot first of string") << "" << ".profile" << "";
        QTest::newRow("no dot") << "" << "\\Temp\\readme" << "";
        QTest::newRow("stored path used") << "\\s.doc" << "" << "DOC";
        QTest::newRow("argument wins") << "\\s.doc" << "\\t.pdf" << "PDF";
    }
    void extension()
    {
        QFETCH(QString, stored);
        QFETCH(QString, argument);
        FileTypeInfo info;
        info.SetPath(stored);
        QTEST(info.GetExtension(argument), "expected");
    }

    // The status is the key's; the out value changes only when the value exists.
    void readRegString_data()
    {
        QTest::addColumn<QString>("subKey");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default value") << ".txt" << "" << true << "txtfile";
        QTest::newRow("named value") << "txtfile" << "Tag" << true << "plain";
        QTest::newRow("empty value") << "txtfile" << "Blank" << true << "";
        QTest::newRow("missing value") << "txtfile" << "Nothing" << true << "untouched";
        QTest::newRow("missing default") << ".nod" << "" << true << "untouched";
        QTest::newRow("missing key") << ".nosuch" << "" << false << "untouched";
    }
    void readRegString()
    {
        QFETCH(QString, subKey);
        QFETCH(QString, valueName);
        QFETCH(bool, keyExists);
        QString value = QStringLiteral("untouched");
        FileTypeInfo info;
        QCOMPARE(info.ReadRegString(platform::RegRoot::ClassesRoot, subKey, valueName, value) == 0, keyExists);
        QTEST(value, "expected");
    }

    void typeText_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("class with description") << "\\My Documents\\A.TxT" << "Text Document";
        QTest::newRow("class without key") << "\\a.pwd" << "pwdfile";
        QTest::newRow("class key without default") << "\\a.bmp" << "bmpfile";
        QTest::newRow("extension key without default") << "\\a.nod" << "";
        QTest::newRow("unregistered") << "\\a.xyz" << "XYZ-File";
        QTest::newRow("dot in folder") << "\\Old.Data\\readme" << "DATA\\README-File";
        QTest::newRow("no extension") << "\\Temp\\readme" << "";
    }
    void typeText()
    {
        QFETCH(QString, path);
        FileTypeInfo info;
        info.SetPath(path);
        QTEST(info.GetTypeText(), "expected");
    }

    // Every request appends a fresh image, even for the same path.
    void smallIconAppends()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile(QStringLiteral("\\a.txt"), "text"));
        FileTypeInfo info;
        info.SetPath(QStringLiteral("\\a.txt"));
        QIcon probe;
        const bool hasIcon = platform::getSmallFileIcon(info.GetPath(), probe);
        platform::ImageList images;
        images.replaceIcon(-1, QIcon()); // the pane's default image
        int first = -2;
        int second = -2;
        QCOMPARE(info.AddSmallIcon(images, &first, 0), hasIcon);
        QCOMPARE(info.AddSmallIcon(images, &second, 0), hasIcon);
        QCOMPARE(first, hasIcon ? 1 : 0);
        QCOMPARE(second, hasIcon ? 2 : 0);
        QCOMPARE(images.count(), hasIcon ? 3 : 1);
    }
};

FERRIX_TEST(TestFileTypeInfo)
#include "tst_filetypeinfo.moc"
