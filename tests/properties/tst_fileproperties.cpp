#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "platform/devicepath.h"
#include "platform/faultinjection.h"
#include "platform/fileattributes.h"
#include "platform/filesystem.h"
#include "platform/ui/messagebox.h"
#include "properties/cfilepropertiesdialog.h"
#include "properties/foldersize.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace platform;
using Files = QList<QPair<QString, int>>; // device path, size in bytes

namespace {

bool makeFiles(const testsupport::TempDeviceRoot &root, const Files &files)
{
    for (const auto &[path, size] : files)
        if (path.endsWith(u'\\') ? !root.makeFolder(path) : !root.makeFile(path, QByteArray(size, 'x')))
            return false;
    return true;
}

QString text(QWidget *dialog, int id)
{
    auto *label = dialog->findChild<QLabel *>(QString::number(id));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(id);
}

QCheckBox *box(QWidget *dialog, int id)
{
    return dialog->findChild<QCheckBox *>(QString::number(id));
}

void clickButton(QWidget *dialog, int id)
{
    auto *button = dialog->findChild<QPushButton *>(QString::number(id));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Shows path as the frame does and lets act work on the open dialog.
int showProperties(const QString &path, std::function<void(CFilePropertiesDialog *)> act)
{
    CFilePropertiesDialog dialog;
    const auto ran = testsupport::whenModal<CFilePropertiesDialog>(std::move(act));
    const int result = dialog.ShowProperties(path);
    if (!*ran)
        qWarning("the properties dialog never showed");
    return result;
}

} // namespace

class FilePropertiesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { faults::clear(); }

    void sizes_data()
    {
        QTest::addColumn<Files>("files");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("size");
        QTest::addColumn<bool>("freeShown");

        QTest::newRow("file") << Files{{"\\d\\a.txt", 1536}} << "\\d\\a.txt" << "a.txt" << "1536 bytes" << false;
        QTest::newRow("empty file") << Files{{"\\e.txt", 0}} << "\\e.txt" << "e.txt" << "0 bytes" << false;
        QTest::newRow("folder in bytes") << Files{{"\\d\\a", 600}, {"\\d\\sub\\b", 400}} << "\\d" << "d" << "1000b" << true;
        QTest::newRow("folder in Kb") << Files{{"\\d\\a", 1024}, {"\\d\\s\\t\\b", 512}} << "\\d" << "d" << "1.5Kb (1536b)" << true;
        QTest::newRow("folder in Mb, two blanks") << Files{{"\\d\\a", 3145728}} << "\\d" << "d" << "3.0Mb  (3145728b)" << true;
        QTest::newRow("empty folder") << Files{{"\\d\\", 0}} << "\\d" << "d" << "0b" << true;
        QTest::newRow("trailing backslash dropped") << Files{{"\\d\\a", 10}} << "\\d\\" << "d" << "10b" << true;
        QTest::newRow("blanks and quotes") << Files{{"\\it's \"q\"\\a *", 7}} << "\\it's \"q\"" << "it's \"q\"" << "7b" << true;
    }
    void sizes()
    {
        QFETCH(Files, files);
        QFETCH(QString, path);
        testsupport::TempDeviceRoot root;
        QVERIFY(makeFiles(root, files));
        showProperties(path, [](CFilePropertiesDialog *d) {
            QFETCH(QString, name);
            QFETCH(QString, size);
            QFETCH(bool, freeShown);
            QCOMPARE(text(d, 1000), name);
            QCOMPARE(text(d, 1001), size);
            if (freeShown)
                QVERIFY2(QRegularExpression("^A\\d+\\.\\dMb T\\d+\\.\\dMb F\\d+\\.\\dMb$").match(text(d, 1018)).hasMatch(),
                         qPrintable(text(d, 1018)));
            else
                QCOMPARE(text(d, 1018), QString());
            QVERIFY(!d->findChild<QLabel *>("1017")->pixmap().isNull());
        });
    }

    // Folders below a link or an unreadable folder count nothing.
    void folderSizeSkips_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<double>("expected");
        QTest::newRow("link to a folder") << "folder link" << 100.0;
        QTest::newRow("link to a file") << "file link" << 100.0;
        QTest::newRow("unreadable subfolder") << "fault" << 100.0;
    }
    void folderSizeSkips()
    {
        QFETCH(QString, what);
        QFETCH(double, expected);
        testsupport::TempDeviceRoot root;
        QVERIFY(makeFiles(root, {{"\\d\\a", 100}, {"\\big\\b", 5000}}));
        if (what == "folder link")
            QVERIFY(QFile::link(root.host("\\big"), root.host("\\d\\big")));
        else if (what == "file link")
            QVERIFY(QFile::link(root.host("\\big\\b"), root.host("\\d\\b")));
        else {
            QVERIFY(makeFiles(root, {{"\\d\\sub\\c", 5000}}));
            faults::inject(FsOperation::Find, "\\d\\sub");
        }
        QCOMPARE(FolderSize("\\d"), expected);
    }

    // Measuring a kernel file system would read files that never end.
    void pseudoFileSystemsAreNotMeasured()
    {
        if (!QFileInfo(QStringLiteral("/proc/self")).exists())
            QSKIP("no /proc here");
        const QString previous = deviceRoot();
        QVERIFY(setDeviceRoot(QStringLiteral("/")));
        const double proc = FolderSize(QStringLiteral("\\proc"));
        QVERIFY(setDeviceRoot(previous));
        QCOMPARE(proc, 0.0);
    }

    void timesInChangedColumnFormat()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\t.txt", "x"));
        const QDateTime local(QDate(2004, 2, 3), QTime(9, 5, 7));
        QVERIFY(setLastWriteTime("\\t.txt", fileTimeFromUnix(local.toSecsSinceEpoch(), 0)));
        showProperties("\\t.txt", [](CFilePropertiesDialog *d) {
            QCOMPARE(text(d, 1015), QStringLiteral("03-02-2004 09:05:07"));
            for (int id : {1014, 1016})
                QVERIFY2(QRegularExpression("^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d$").match(text(d, id)).hasMatch(),
                         qPrintable(text(d, id)));
        });
    }

    void attributes_data()
    {
        QTest::addColumn<quint32>("stored");   // set before; ~0: left as a new file has it
        QTest::addColumn<QList<int>>("taps");  // check boxes tapped
        QTest::addColumn<bool>("failWrites");  // writing attributes fails
        QTest::addColumn<quint32>("after");    // attributes afterwards
        QTest::addColumn<bool>("failureShown");

        const quint32 asNew = ~0u, A = FILE_ATTRIBUTE_ARCHIVE, R = FILE_ATTRIBUTE_READONLY,
                      H = FILE_ATTRIBUTE_HIDDEN, S = FILE_ATTRIBUTE_SYSTEM, T = FILE_ATTRIBUTE_TEMPORARY;
        QTest::newRow("Read only ticked") << asNew << QList<int>{1004} << false << (A | R) << false;
        QTest::newRow("Hidden and System ticked") << asNew << QList<int>{1005, 1007} << false << (A | H | S) << false;
        QTest::newRow("Archive cleared") << asNew << QList<int>{1003} << false << FILE_ATTRIBUTE_NORMAL << false;
        QTest::newRow("Temporary ticked twice") << (A | T) << QList<int>{1009, 1009} << true << (A | T) << false;
        QTest::newRow("no change writes nothing") << (A | H) << QList<int>{} << true << (A | H) << false;
        QTest::newRow("display-only boxes") << A << QList<int>{1002, 1006, 1008, 1011, 1013, 1010, 1012} << true << A
                                            << false;
        QTest::newRow("a bit without a box is written") << 0u << QList<int>{} << true << FILE_ATTRIBUTE_NORMAL << true;
        QTest::newRow("change fails") << A << QList<int>{1004} << true << A << true;
    }
    void attributes()
    {
        QFETCH(quint32, stored);
        QFETCH(bool, failWrites);
        QFETCH(bool, failureShown);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\f.txt", "data"));
        if (stored != ~0u)
            QVERIFY(setFileAttributes("\\f.txt", stored));
        if (failWrites)
            faults::inject(FsOperation::SetAttributes, "\\f.txt");
        testsupport::MessageBoxScript boxes;
        if (failureShown)
            boxes.expect("Failed to change attributes", IDOK);

        const quint32 before = getFileAttributes("\\f.txt");
        const int result = showProperties("\\f.txt", [before](CFilePropertiesDialog *d) {
            QFETCH(QList<int>, taps);
            QList<bool> shown;
            for (const auto &b : CFilePropertiesDialog::kBoxes)
                shown.append(box(d, b.id)->isChecked());
            for (int id : taps)
                QTest::mouseClick(box(d, id), Qt::LeftButton);
            for (const auto &b : CFilePropertiesDialog::kBoxes) {
                const bool tapped = taps.count(b.id) % 2 == 1;
                const bool changeable = b.id == 1003 || b.id == 1004 || b.id == 1005 || b.id == 1007 || b.id == 1009;
                QCOMPARE(box(d, b.id)->isChecked(), bool(before & b.bit) != (tapped && changeable));
            }
            clickButton(d, 1);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        faults::clear();
        QTEST(getFileAttributes("\\f.txt"), "after");
        QCOMPARE(boxes.shown().size(), failureShown ? 1 : 0);
        if (failureShown)
            QCOMPARE(boxes.shown().first().type, 0x30u);
    }

    void cancelChangesNothing()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\f.txt"));
        const quint32 before = getFileAttributes("\\f.txt");
        const int result = showProperties("\\f.txt", [](CFilePropertiesDialog *d) {
            QTest::mouseClick(box(d, 1004), Qt::LeftButton);
            clickButton(d, 2);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(getFileAttributes("\\f.txt"), before);
    }

    // Nothing to show, nothing to write: the texts and boxes are empty and
    // OK asks the file system for nothing.
    void pathNotFound_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("vanished") << "\\gone.txt" << "gone.txt";
        QTest::newRow("root") << "\\" << "";
        QTest::newRow("invalid name") << "\\a/b" << "a/b";
    }
    void pathNotFound()
    {
        QFETCH(QString, path);
        testsupport::TempDeviceRoot root;
        faults::inject(FsOperation::SetAttributes, path);
        testsupport::MessageBoxScript boxes;
        showProperties(path, [](CFilePropertiesDialog *d) {
            QFETCH(QString, name);
            QCOMPARE(text(d, 1000), name);
            for (int id : {1001, 1018, 1014, 1015, 1016})
                QCOMPARE(text(d, id), QString());
            QVERIFY(d->findChild<QLabel *>("1017")->pixmap().isNull());
            for (const auto &b : CFilePropertiesDialog::kBoxes)
                QVERIFY(!box(d, b.id)->isChecked());
            QTest::mouseClick(box(d, 1004), Qt::LeftButton);
            clickButton(d, 1);
        });
        QCOMPARE(boxes.shown().size(), 0);
    }
};

FERRIX_TEST(FilePropertiesTest)
#include "tst_fileproperties.moc"
