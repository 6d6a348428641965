#include "common/testsuite.h"
#include "filelist/cfilelistdelegate.h"
#include "filelist/visiblename.h"

#include <QStandardItemModel>

// Names drawn so that none can pass for another, while the rows keep the
// names themselves.
class TestVisibleName : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void visible_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "a b.txt" << "a b.txt";
        QTest::newRow("stored backslash") << QStringLiteral("a\uF05Cb") << QStringLiteral("a\u2216b");
        QTest::newRow("newline and tab") << "a\nb\tc\r" << QStringLiteral("a\u21B5b\u21E5c\u21B5");
        QTest::newRow("line and paragraph separators") << QStringLiteral("a\u2028b\u2029") << QStringLiteral("a\u21B5b\u00B6");
        QTest::newRow("other controls") << QStringLiteral("\u0001x\u007F") << QStringLiteral("\uFFFDx\uFFFD");
        QTest::newRow("right-to-left override") << QStringLiteral("a\u202Etxt.exe") << QStringLiteral("a\uFFFDtxt.exe");
        QTest::newRow("zero-width space") << QStringLiteral("a\u200B.txt") << QStringLiteral("a\uFFFD.txt");
        QTest::newRow("byte that was not UTF-8") << "caf" + QString(QChar(0xDCE9)) << QStringLiteral("caf\uFFFD");
        QTest::newRow("emoji kept") << QStringLiteral("\U0001F480.png") << QStringLiteral("\U0001F480.png");
        QTest::newRow("Hebrew and joiners kept") << QStringLiteral("\u05D0\u05D1 a\u200Db") << QStringLiteral("\u05D0\u05D1 a\u200Db");
    }
    // What a name shows as, in the list's rows; the model keeps the name itself.
    void visible()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QCOMPARE(visibleName(name), shown);
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), name);
        const CFileListDelegate delegate({}, nullptr);
        QCOMPARE(static_cast<const QStyledItemDelegate &>(delegate).displayText(model.index(0, 0).data(), QLocale()), shown);
        QCOMPARE(model.index(0, 0).data().toString(), name);
    }
};

FERRIX_TEST(TestVisibleName)
#include "tst_visiblename.moc"
