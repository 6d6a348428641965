#include "appfixture.h"

#include "app/caboutdlg.h"
#include "app/closeontermination.h"
#include "app/cexecutedlg.h"
#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "platform/shell/terminationrequests.h"
#include "resources/resourceids.h"

#include <QMessageBox>
#include <QPushButton>

#include <csignal>

namespace {
// A row: how the modal window comes up, and the modal window the signal
// arrives in (a box may stand over a dialog).
struct ModalCase { QString how; QString over; };
} // namespace

// SIGTERM (a logout, a shutdown, kill) while a modal window is open ends the
// program as Exit does: every window gets its way out, and the frame goes
// only once none is left (it once went from inside the window's own loop).
class TerminationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void whateverIsOpen_data()
    {
        QTest::addColumn<ModalCase>("row");
        QTest::newRow("a question") << ModalCase{"delete", "QMessageBox"};
        QTest::newRow("About") << ModalCase{"about", "CAboutDlg"};
        QTest::newRow("Execute File") << ModalCase{"execute", "CExecuteDlg"};
        QTest::newRow("No file selected, over Execute File") << ModalCase{"execute ok", "QMessageBox"};
        QTest::newRow("Find Files") << ModalCase{"find", "CFindFilesDialog"};
        QTest::newRow("file properties") << ModalCase{"properties", "CFilePropertiesDialog"};
        QTest::newRow("system information") << ModalCase{"sysinfo", "SystemInfoSheet"};
    }
    void whateverIsOpen()
    {
        const auto [how, over] = testsupport::fetchRow<ModalCase>();
        apptest::FrameFixture f({"\\d\\a.txt"});
        QVERIFY(f.ok);
        QPointer<CMainFrame> frame = f.frame;
        platform::TerminationRequests termination;
        QVERIFY(termination.isListening());
        QObject::connect(&termination, &platform::TerminationRequests::requested, [&] { CloseOnTermination(frame); });

        bool signalled = false;
        const auto terminate = [&](QWidget *window) {
            if (QString::fromLatin1(window->metaObject()->className()) != over)
                return false;
            signalled = true;
            ::raise(SIGTERM);
            return true;
        };
        // The window the signal is for; a dialog under it gets OK pressed.
        const auto ran = testsupport::whenModal<QDialog>([&](QDialog *dialog) {
            if (terminate(dialog))
                return;
            testsupport::whenModal<QDialog>([&](QDialog *box) { terminate(box); });
            for (QPushButton *button : dialog->findChildren<QPushButton *>())
                if (button->text().remove(u'&') == QLatin1String("OK"))
                    button->click();
        });
        if (how == QLatin1String("sysinfo"))
            f.focusOn(QString());
        else if (how != QLatin1String("find") && how != QLatin1String("about"))
            f.focusOn("d", how == QLatin1String("properties") ? 0 : -1);
        const int command = how == QLatin1String("delete") ? ids::ID_FILE_DELETE
            : how.startsWith(QLatin1String("execute"))     ? ids::ID_EXECUTE
            : how == QLatin1String("find")                 ? ids::ID_FIND
                                                           : ids::ID_PROPERTIES;
        // Run from the program's own event loop, which ends with the last window.
        QTimer::singleShot(0, frame, [&] {
            if (how == QLatin1String("about")) {
                QPointer<CAboutDlg> about = new CAboutDlg(frame); // as the application shows it
                about->exec();
                delete about.data();
            } else {
                frame->OnCommand(command);
            }
        });
        QApplication::exec();
        QVERIFY(*ran);
        QVERIFY(signalled);
        QTRY_VERIFY(!frame); // closed, and deleted with it
        QVERIFY(f.root.exists("\\d\\a.txt")); // the question got its No
    }
};

FERRIX_TEST(TerminationTest)
#include "tst_termination.moc"
