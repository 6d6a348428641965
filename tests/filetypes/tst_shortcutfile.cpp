#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "filetypes/filetypeinfo.h"
#include "filetypes/shortcutfile.h"
#include "platform/faultinjection.h"

#include <QTest>

namespace {
QByteArray withZero(QByteArray text)
{
    return text.append('\0');
}
} // namespace

class TestShortcutFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("fileSize"); // -1: the content's size
        QTest::addColumn<QString>("expected");
        const QString app = QStringLiteral("\\Windows\\app.exe");
        const QString win = QStringLiteral("\\Win");
        auto row = [](const char *name, const QByteArray &content, const QString &expected,
                      qint64 size = -1) { QTest::newRow(name) << content << size << expected; };
        row("exact count", withZero("18#\"\\Windows\\app.exe\""), app);
        row("zero count: rest of file", withZero("0#\"\\Windows\\app.exe\""), app);
        row("negative count: rest of file", withZero("-7#\"\\Windows\\app.exe\""), app);
        row("blanks and sign", withZero("  +18#\"\\Windows\\app.exe\""), app);
        row("no digits", "abc#\"\\Windows\\app.exe\"", app);
        row("huge count", "99999999999999999999#\"\\Windows\\app.exe\"", app);
        row("short count", "5#\"\\Windows\\app.exe\"", win);
        row("count clamped to file size", "18#\"\\Windows\\app.exe\"", win, 5);
        row("question mark wins", "3#\"\\Windows\\calc.exe\"?\\Windows\\calc.exe,-1",
            QStringLiteral("\\Windows\\calc.exe"));
        row("question mark before hash", "?5#\"\\a.exe\"", QString());
        row("no hash", "\"\\Windows\\app.exe\"", app);
        row("one quote each side removed", "\"\"x\"\"", QStringLiteral("\"x\""));
        row("text after the zero ignored", withZero("0#\"\\a.exe\"") + "junk\"", QStringLiteral("\\a.exe"));
        row("bytes not utf-8", "11#\"\\caf\xe9\xc3.txt\"",
            QStringLiteral("\\caf") + QChar(0xDCE9) + QChar(0xDCC3) + QStringLiteral(".txt"));
        row("empty", QByteArray(), QString());
    }
    void parse()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint64, fileSize);
        QTEST(ShortcutFile::Parse(content, fileSize < 0 ? content.size() : fileSize), "expected");
    }

    // What the writer produces, and what the reader makes of it.
    void compose_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("readBack");
        const QString document = QStringLiteral("\\My Documents\\notes.txt");
        QTest::newRow("document") << document << withZero("25#\"\\My Documents\\notes.txt\"") << document;
        const QString longTarget = u'\\' + QString(97, u'x');
        QTest::newRow("three-digit count") << longTarget << withZero("100#\"" + longTarget.toLatin1() + '"') << longTarget;
        const QString wide = QStringLiteral("\\caf\u00e9 \u65e5");
        QTest::newRow("non-ascii") << wide << withZero("9#\"\\caf\xc3\xa9 \xe6\x97\xa5\"") << wide;
        const QString rawBytes = QStringLiteral("\\n") + QChar(0xDCE9) + QChar(0xDCFF);
        QTest::newRow("name bytes not utf-8") << rawBytes << withZero("6#\"\\n\xe9\xff\"") << rawBytes;
        QTest::newRow("lone surrogate") << QStringLiteral("\\n") + QChar(0xD800)
                                        << withZero("5#\"\\n\xef\xbf\xbd\"") << QStringLiteral("\\n\uFFFD");
    }
    void compose()
    {
        QFETCH(QString, target);
        const QByteArray content = ShortcutFile::Compose(target);
        QTEST(content, "expected");
        QTEST(ShortcutFile::Parse(content, content.size()), "readBack");
    }

    void resolve_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("content"); // null: a folder
        QTest::addColumn<int>("fault");          // 0 none, 1 open, 2 read after 3 bytes
        QTest::addColumn<QString>("expected");
        const QByteArray app = withZero("18#\"\\Windows\\app.exe\"");
        const QString target = QStringLiteral("\\Windows\\app.exe");
        QTest::newRow("lnk") << "\\s\\app.lnk" << app << 0 << target;
        QTest::newRow("LnK") << "\\s\\APP.LnK" << app << 0 << target;
        QTest::newRow("not a shortcut") << "\\s\\app.txt" << app << 0 << "\\s\\app.txt";
        QTest::newRow("empty file") << "\\s\\empty.lnk" << QByteArray("") << 0 << "";
        QTest::newRow("folder") << "\\s\\dir.lnk" << QByteArray() << 0 << "";
        QTest::newRow("cannot open") << "\\s\\locked.lnk" << app << 1 << "";
        QTest::newRow("read fails") << "\\s\\broken.lnk" << app << 2 << "";
    }
    void resolve()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, content);
        QFETCH(int, fault);
        testsupport::TempDeviceRoot root;
        QVERIFY(content.isNull() ? root.makeFolder(path) : root.makeFile(path, content));
        if (fault == 1)
            platform::faults::inject(platform::FsOperation::Open, path, EACCES);
        else if (fault == 2)
            platform::faults::inject(platform::FsOperation::Read, path, EIO, 3);
        FileTypeInfo info;
        const QString resolved = info.ResolveShortcut(path);
        platform::faults::clear();
        QTEST(resolved, "expected");
    }
};

FERRIX_TEST(TestShortcutFile)
#include "tst_shortcutfile.moc"
