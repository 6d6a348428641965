#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "platform/fs/devicepath.h"
#include "platform/fs/filesystem.h"
#include "platform/testing/faultinjection.h"
#include "platform/ui/messagebox.h"
#include "platform/work/longwork.h"
#include "properties/cfilepropertiesdialog.h"
#include "properties/foldersize.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

using namespace platform;

namespace {

using testsupport::labelText;
QCheckBox *box(QWidget *dialog, int id) { return testsupport::control<QCheckBox>(dialog, id); }

// Shows path as the frame does and lets act work on the open dialog.
int showProperties(const QString &path, std::function<void(CFilePropertiesDialog *)> act)
{
    CFilePropertiesDialog dialog;
    const auto ran = testsupport::whenModal<CFilePropertiesDialog>(std::move(act));
    const int result = dialog.ShowProperties(path);
    return *ran ? result : -1;
}

// files: as TempDeviceRoot::build takes them, but "path=size" for a file of that size.
struct TextsCase { QStringList files; QString path, name, size; };
// stored: set before, ~0 as a new file has it; taps: check boxes tapped, then 1 (OK) or 2 (Cancel); failWrites:
// writing attributes fails.
struct AttributesCase { QString path; quint32 stored; QList<int> taps; bool failWrites; quint32 after; bool failureShown; };

} // namespace

class FilePropertiesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { faults::clear(); }

    void texts_data()
    {
        QTest::addColumn<TextsCase>("row");
        QTest::newRow("file") << TextsCase{{"\\d\\a.txt=1536"}, "\\d\\a.txt", "a.txt", "1536 bytes"};
        QTest::newRow("folder in bytes") << TextsCase{{"\\d\\a=600", "\\d\\sub\\b=400"}, "\\d", "d", "1000b"};
        QTest::newRow("folder in Kb") << TextsCase{{"\\d\\a=1024", "\\d\\s\\t\\b=512"}, "\\d", "d", "1.5Kb (1536b)"};
        QTest::newRow("Mb, two blanks") << TextsCase{{"\\d\\a=3145728"}, "\\d", "d", "3.0Mb  (3145728b)"};
        QTest::newRow("trailing backslash") << TextsCase{{"\\d\\"}, "\\d\\", "d", "0b"};
        QTest::newRow("quotes and a star") << TextsCase{{"\\it's \"q\"\\a *=7"}, "\\it's \"q\"", "it's \"q\"", "7b"};
        QTest::newRow("links and an unreadable subfolder not counted")
            << TextsCase{{"\\d\\a=100", "\\big\\b=5000", "\\d\\big->../big", "\\d\\b->../big/b", "\\d\\bad\\b=5000"}, "\\d", "d", "100b"};
        QTest::newRow("stopped in a subfolder: a lower bound") << TextsCase{{"\\d\\stop\\b=5000"}, "\\d", "d", "at least 0b"};
    }
    // Folders show their store's free space; a file does not.
    void texts()
    {
        const auto [files, path, name, size] = testsupport::fetchRow<TextsCase>();
        testsupport::TempDeviceRoot root;
        for (const QString &file : files) // "=n": a file of n bytes
            QVERIFY(root.build({file.contains(u'=') ? file.section(u'=', 0, 0) + u'=' + QString(file.section(u'=', 1).toInt(), u'x') : file}));
        faults::inject(FsOperation::Find, "\\d\\bad");
        faults::inject(FsOperation::Stop, "\\d\\stop"); // the user cancels there
        const QDateTime local(QDate(2004, 2, 3), QTime(9, 5, 7));
        QVERIFY(setLastWriteTime(path, fileTimeFromUnix(local.toSecsSinceEpoch(), 0)));
        const bool folder = !path.contains(u'.');
        const int result = showProperties(path, [&](CFilePropertiesDialog *d) {
            QCOMPARE(labelText(d, 1000), name);
            QCOMPARE(labelText(d, 1001), size);
            QVERIFY(testsupport::savePicture(d, "info-properties-" + QString::fromLatin1(QTest::currentDataTag())));
            static const QRegularExpression free("^A\\d+\\.\\dMb T\\d+\\.\\dMb F\\d+\\.\\dMb$");
            QCOMPARE(free.match(labelText(d, 1018)).hasMatch(), folder);
            QCOMPARE(labelText(d, 1015), QStringLiteral("03-02-2004 09:05:07"));
            static const QRegularExpression stamp("^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d$");
            QVERIFY(stamp.match(labelText(d, 1014)).hasMatch() && stamp.match(labelText(d, 1016)).hasMatch());
            QVERIFY(!d->findChild<QLabel *>("1017")->pixmap().isNull());
            QCOMPARE(box(d, 1002)->isChecked(), folder);
        });
        QCOMPARE(result, int(QDialog::Rejected));
    }

    // A folder on a hung mount: the user's Cancel ends the measuring at once
    // with what it had counted, and the dialog comes as after any stop.
    // Should the measuring not let go, the hang is released after QTRY's
    // timeout, so that the test fails instead of hanging.
    // A read stuck on a hung mount (the entry itself, or the listing the
    // measure walks): the event loop turns, and a Cancel gives it up.
    void stuckReadCancelled_data()
    {
        QTest::addColumn<QString>("hangAt");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("size");
        QTest::newRow("folder, measuring") << "\\d\\*.*" << "\\d" << "at least 0b"; // cut short
        QTest::newRow("folder, its entry") << "\\d" << "\\d" << "";
        QTest::newRow("file, its entry") << "\\d\\a" << "\\d\\a" << "";
    }
    void stuckReadCancelled()
    {
        QFETCH(QString, hangAt);
        QFETCH(QString, path);
        QFETCH(QString, size);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build({"\\d\\a=xxxx"}));
        faults::injectHang(FsOperation::Find, hangAt);
        bool cancelled = false, rescued = false;
        QTimer user, rescue;
        connect(&user, &QTimer::timeout, [&] {
            if (!cancelled && faults::hanging() > 0) {
                cancelled = true;
                requestStop(); // what the progress window's Cancel does
            }
        });
        connect(&rescue, &QTimer::timeout, [&] {
            rescued = true;
            faults::releaseHangs();
        });
        user.start(5);
        rescue.start(5000);
        const int result = showProperties(path, [&](CFilePropertiesDialog *d) {
            QCOMPARE(labelText(d, 1001), size);
            QCOMPARE(faults::hanging(), 1);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(cancelled);
        QVERIFY(!rescued);
        faults::releaseHangs();
        QTRY_COMPARE(abandonedStepsRunning(), 0);
    }

    // Measuring a kernel file system would read files that never end.
    void pseudoFileSystemsAreNotMeasured()
    {
        const QString previous = deviceRoot();
        QVERIFY(setDeviceRoot(QStringLiteral("/")));
        const double size = FolderSize(QStringLiteral("\\proc")) + FolderSize(QStringLiteral("\\sys"));
        QVERIFY(setDeviceRoot(previous));
        QCOMPARE(size, 0.0);
    }

    void attributes_data()
    {
        QTest::addColumn<AttributesCase>("row");
        const quint32 asNew = ~0u, A = FILE_ATTRIBUTE_ARCHIVE, R = FILE_ATTRIBUTE_READONLY, T = FILE_ATTRIBUTE_TEMPORARY;
        const QString f = "\\f.txt";
        using C = AttributesCase;
        QTest::newRow("Read only, Hidden, System ticked")
            << C{f, asNew, {1004, 1005, 1007, 1}, false, A | R | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false};
        QTest::newRow("Archive cleared") << C{f, asNew, {1003, 1}, false, FILE_ATTRIBUTE_NORMAL, false};
        QTest::newRow("ticked twice: no write") << C{f, A | T, {1009, 1009, 1}, true, A | T, false};
        QTest::newRow("display-only boxes") << C{f, A, {1002, 1006, 1008, 1011, 1013, 1010, 1012, 1}, true, A, false};
        QTest::newRow("bit without a box is written") << C{f, 0u, {1}, true, FILE_ATTRIBUTE_NORMAL, true};
        QTest::newRow("change fails") << C{f, A, {1004, 1}, true, A, true};
        QTest::newRow("Cancel") << C{f, A, {1004, 2}, false, A, false};
        QTest::newRow("vanished: nothing written") << C{"\\gone.txt", asNew, {1004, 1}, true, INVALID_FILE_ATTRIBUTES, false};
        QTest::newRow("root: nothing shown") << C{"\\", asNew, {1005, 1}, true, FILE_ATTRIBUTE_DIRECTORY, false};
    }
    void attributes()
    {
        const auto [path, stored, taps, failWrites, after, failureShown] = testsupport::fetchRow<AttributesCase>();
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\f.txt", "data"));
        if (stored != ~0u)
            QVERIFY(setFileAttributes(path, stored));
        const quint32 before = getFileAttributes(path);
        testsupport::MessageBoxScript boxes;
        if (failureShown)
            boxes.expect("Failed to change attributes", IDOK);
        if (failWrites)
            faults::inject(FsOperation::SetAttributes, path);
        showProperties(path, [&](CFilePropertiesDialog *d) {
            const bool found = path == QLatin1String("\\f.txt");
            for (int id : taps)
                QTest::mouseClick(id < 3 ? static_cast<QWidget *>(testsupport::control<QPushButton>(d, id)) : box(d, id),
                                  Qt::LeftButton);
            if (!found)
                QCOMPARE(labelText(d, 1001) + labelText(d, 1014), QString());
            // What a tap leaves checked: changeable boxes toggle, the rest stay.
            for (const auto &b : CFilePropertiesDialog::kBoxes) {
                const bool toggled = taps.count(b.id) % 2 == 1 && box(d, b.id)->metaObject() == &QCheckBox::staticMetaObject;
                QCOMPARE(box(d, b.id)->isChecked(), (found && (before & b.bit)) != toggled);
            }
        });
        faults::clear();
        QCOMPARE(getFileAttributes(path), after);
        QCOMPARE(boxes.shown().size(), failureShown ? 1 : 0);
    }
};

FERRIX_TEST(FilePropertiesTest)
#include "tst_fileproperties.moc"
