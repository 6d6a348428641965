#include "opsstory.h"

#include "common/testsuite.h"
#include "platform/shell/terminationrequests.h"
#include "platform/work/longwork.h"
#include "progress/cprogresswnd.h"
#include "progress/progressservice.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <csignal>

using L = QStringList;

namespace {

// The real boxes the program shows, not the script's.
QMessageBox *openBox()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
            return box;
    }
    return nullptr;
}

// Plays the user's part while a command runs: at the first question the
// program asks (or once a step hangs) it does `act`; later questions get
// their default answer. With `before`, a step that hangs ahead of the
// question runs it and is let go (the progress window comes up there: it
// never first appears beside a question). Work that never lets go (the
// fault tested for) gets its questions answered Yes and its hangs released
// after QTRY's timeout, so that the test fails instead of hanging.
class WhileRunning {
public:
    WhileRunning(bool atHang, std::function<void()> act, std::function<void()> before = {})
    {
        m_poll.setInterval(5);
        QObject::connect(&m_poll, &QTimer::timeout, [this, atHang, act, before] {
            if (before && !m_before && platform::faults::hanging() > 0) {
                m_before = true;
                before();
                platform::faults::releaseHangs();
                return;
            }
            QMessageBox *box = openBox();
            if (box && !box->property("seen").toBool()) {
                box->setProperty("seen", true);
                seen.append(box->text());
                if (acted)
                    (box->defaultButton() ? box->defaultButton() : box->buttons().first())->click();
            }
            if (!acted && (atHang ? platform::faults::hanging() > 0 : box != nullptr)) {
                acted = true;
                act();
            }
        });
        m_poll.start();
        m_rescue.setSingleShot(true);
        m_rescue.setInterval(5000);
        QObject::connect(&m_rescue, &QTimer::timeout, [this] {
            rescued = true;
            platform::faults::releaseHangs();
            if (QMessageBox *box = openBox())
                box->buttons().first()->click();
            m_rescue.start();
        });
        m_rescue.start();
    }

    QStringList seen;
    bool acted = false;
    bool rescued = false;

private:
    QTimer m_poll;
    QTimer m_rescue;
    bool m_before = false;
};

} // namespace

// Cancel, the progress window's Escape, closing the main window and SIGTERM
// while a paste waits for an answer or for a step stuck in a call (a hung
// mount): the paste ends at once, the question answered as a No, nothing
// stuck gets a name afterwards, and a close ends the program.
class CancelWorkTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        platform::setSteadyClock({});
        platform::faults::clear();
        QTRY_COMPARE(platform::abandonedStepsRunning(), 0);
    }

    void cancelled_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("atHang");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("checks");
        const L abc{"+/s/a.txt=AAAA", "+/s/b.txt=B", "+/s/c.txt=C", "+/t/", "tree /s/", "list a.txt,b.txt,c.txt", "^C", "tree /t/"};
        const L overwrite = abc + L{"+/t/b.txt=old", "^V"};
        const L overwriteChecks{"/t/a.txt=AAAA", "/t/b.txt=old", "!/t/c.txt"};
        // The first file big and slow, so the progress window is up before the question.
        L slowFirst = abc;
        slowFirst[0] = "+/s/a.txt=" + QString(1 << 20, u'a');
        slowFirst.insert(4, "hang Copy /s/a.txt");
        const L slowOverwrite = slowFirst + L{"+/t/b.txt=old", "^V"};
        const L slowFailed = slowFirst + L{"fault Copy /s/b.txt", "^V"};
        const L failed = abc + L{"fault Copy /s/b.txt", "^V"};
        const L failedChecks{"/t/a.txt=AAAA", "!/t/b.txt", "!/t/c.txt"};
        const QString continueCopy = "Failed to copy /s/b.txt\nContinue Copy?";

        QTest::newRow("overwrite question, Cancel") << slowOverwrite << "cancel" << false
            << L{"/t/b.txt already exists, do you want to overwrite it?"} << L{"/t/a.txt", "/t/b.txt=old", "!/t/c.txt"};
        QTest::newRow("Continue Copy?, Escape") << slowFailed << "escape" << false << L{continueCopy}
            << L{"/t/a.txt", "!/t/b.txt", "!/t/c.txt"};
        QTest::newRow("copy into source in a move, main window closed")
            << L{"+/A/f.txt=F", "+/AB/", "tree /A/", "^X", "tree /AB/", "^V"} << "close" << false
            << L{"Can not copy into source."} << L{"!/AB/A", "/A/f.txt=F"};
        QTest::newRow("Continue Copy?, main window closed") << failed << "close" << false << L{continueCopy} << failedChecks;
        QTest::newRow("overwrite question, SIGTERM") << overwrite << "sigterm" << false
            << L{"/t/b.txt already exists, do you want to overwrite it?"} << overwriteChecks;

        // An empty file has no bytes whose count could see the stop: only the
        // naming at the end can keep it from appearing.
        const L pasteEmpty{"+/s/e.txt=", "+/t/", "hang Copy /s/e.txt", "tree /s/", "list e.txt", "^C", "tree /t/", "^V"};
        const L moveFile{"+/s/a.txt=AAAA", "+/t/", "hang Copy /s/a.txt", "tree /s/", "list a.txt", "^X", "tree /t/", "^V"};
        // A file this big is copied on the worker even in a folder copy.
        const L copyFolder{"+/A/big=" + QString(1 << 20, u'x'), "+/A/s.txt=S", "+/T/", "hang Copy /A/big", "tree /A/", "^C", "tree /T/", "^V"};
        QTest::newRow("file paste stuck, Cancel") << pasteEmpty << "cancel" << true << L{} << L{"empty /t/", "/s/e.txt"};
        QTest::newRow("file move stuck, Escape") << moveFile << "escape" << true << L{} << L{"empty /t/", "/s/a.txt=AAAA"};
        QTest::newRow("folder copy stuck, Cancel") << copyFolder << "cancel" << true << L{} << L{"!/T/A/big", "/A/big"};
        QTest::newRow("file paste stuck, main window closed") << pasteEmpty << "close" << true << L{} << L{"empty /t/", "/s/e.txt"};
        QTest::newRow("folder copy stuck, SIGTERM") << copyFolder << "sigterm" << true << L{} << L{"!/T/A/big", "/A/big"};
    }
    void cancelled()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, how);
        QFETCH(bool, atHang);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, checks);
        for (QStringList *texts : {&steps, &boxes, &checks})
            texts->replaceInStrings(QStringLiteral("/"), QStringLiteral("\\"));
        qint64 clock = 0;
        platform::setSteadyClock([&] { return clock; });
        opstest::Story story;
        QVERIFY(story.ok);
        // As the program's main() does: a termination request closes the window.
        platform::TerminationRequests termination;
        QVERIFY(termination.isListening());
        QObject::connect(&termination, &platform::TerminationRequests::requested, story.frame.data(), &QWidget::close);

        const bool slowFirst = !atHang && steps.size() > 4 && steps.at(4).startsWith(QLatin1String("hang "));
        const auto windowUp = [&] {
            clock += ProgressService::kDelayMs;
            ProgressService::instance()->tick();
        };
        WhileRunning user(atHang, [&] {
            if (how == QLatin1String("close")) {
                story.frame->close();
            } else if (how == QLatin1String("sigterm")) {
                ::raise(SIGTERM);
            } else {
                if (!slowFirst)
                    windowUp();
                CProgressWnd *window = ProgressService::window();
                QVERIFY(window && window->isVisible());
                if (how == QLatin1String("cancel"))
                    QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
                else
                    QTest::keyClick(window, Qt::Key_Escape);
            }
        }, slowFirst ? std::function<void()>(windowUp) : std::function<void()>());
        for (const QString &text : std::as_const(steps)) {
            if (text.startsWith(QLatin1String("hang ")))
                platform::faults::injectHang(platform::FsOperation::Copy, text.section(u' ', 2));
            else
                story.step(text);
            QVERIFY(!QTest::currentTestFailed());
        }
        // The command has returned: the user has the program back.
        QVERIFY(user.acted);
        QVERIFY2(!user.rescued, "the work did not end when asked to");
        QCOMPARE(user.seen, boxes);
        QVERIFY(!openBox());
        if (atHang)
            QCOMPARE(platform::faults::hanging(), 1); // still stuck, and given up
        for (const QString &check : std::as_const(checks))
            story.check(check);

        // What the stuck step does once its call returns gets no name.
        platform::faults::releaseHangs();
        QTRY_COMPARE(platform::abandonedStepsRunning(), 0);
        for (const QString &check : std::as_const(checks))
            story.check(check);
        const bool closing = how == QLatin1String("close") || how == QLatin1String("sigterm");
        if (closing)
            QTRY_VERIFY(story.frame.isNull());
        else
            QVERIFY(story.frame && story.frame->isVisible());
    }

    // Closing another window the work keeps still only waits for the work:
    // the paste goes on as answered, and the window closes after it.
    void otherWindowClosedWaits()
    {
        opstest::Story story;
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        story.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(story.frame));
        story.probe = [&] {
            other.close();
            QVERIFY(other.isVisible());
        };
        story.play({"+/s/a.txt=AAAA", "+/s/b.txt=B", "+/s/c.txt=C", "+/t/", "fault Copy /s/b.txt", "tree /s/",
                    "list a.txt,b.txt,c.txt", "^C", "tree /t/", "^V"},
                   {"Y Failed to copy /s/b.txt\nContinue Copy?"}, {"/t/a.txt=AAAA", "!/t/b.txt", "/t/c.txt=C"});
        QTRY_VERIFY(!other.isVisible());
        QVERIFY(story.frame && story.frame->isVisible());
    }
};

FERRIX_TEST(CancelWorkTest)
#include "tst_cancelwork.moc"
