#include "appfixture.h"

#include "app/caboutdlg.h"
#include "app/cexecutedlg.h"
#include "app/csplashdlg.h"
#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "platform/systeminfo.h"
#include "properties/cfilepropertiesdialog.h"
#include "properties/systeminfosheet.h"
#include "resources/images.h"
#include "resources/resourceids.h"

#include <QScopeGuard>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QTabWidget>

#include <memory>

// Pictures of the windows and dialogs, to look at: test-output/<row>.png.
class RenderTest : public QObject {
    Q_OBJECT

    // Each picture of the frame has a pixel for every device pixel at the
    // scale the test runs at: drawn for it, not blown up from 16 pixels.
    static void picturesAreSharp(const apptest::FrameFixture &f)
    {
        QList<std::pair<QString, QIcon>> icons{{"program", resources::LoadIcon(ids::IDR_MAINFRAME)}};
        for (QAction *action : f.frame->findChild<QToolBar *>()->actions())
            if (!action->isSeparator())
                icons.append({action->text(), action->icon()});
        f.focusOn("My Documents");
        icons.append({"device", f.frame->GetTreePane()->topLevelItem(0)->icon(0)});
        QCOMPARE(f.frame->GetTreePane()->currentItem()->text(0), QStringLiteral("My Documents"));
        icons.append({"folder", f.frame->GetTreePane()->currentItem()->icon(0)});
        icons.append({"list row", f.frame->GetListPane()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>()});
        const qreal ratio = qApp->devicePixelRatio();
        for (const auto &[what, icon] : std::as_const(icons)) {
            const QSize pixels = icon.pixmap(QSize(16, 16), ratio).size();
            QVERIFY2(pixels == (QSizeF(16, 16) * ratio).toSize(),
                     qPrintable(QStringLiteral("%1: %2x%3").arg(what).arg(pixels.width()).arg(pixels.height())));
        }
    }

private Q_SLOTS:
    void pictures_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"app-mainframe-menu", "app-mainframe-toolbar", "app-splash", "app-about",
                                 "info-properties-folder", "info-properties-file", "info-sheet-power",
                                 "info-sheet-memory", "info-sheet-general", "info-execute"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void pictures()
    {
        QFETCH(QString, name);
        // A run at another scale (QT_SCALE_FACTOR) writes its own pictures.
        const qreal ratio = qApp->devicePixelRatio();
        const QString scale = ratio == 1 ? QString() : QStringLiteral("@%1x").arg(ratio);
        const QString file = QStringLiteral("%1/%2%3.png").arg(testsupport::outputFolder(), name, scale);
        apptest::FrameFixture f({"\\notes.txt", "\\photo.jpg", "\\setup.exe", "\\My Documents\\a.doc"});
        QVERIFY(f.ok && f.root.makeFile("\\Docs\\report.txt", QByteArray(5000, 'x')));
        // A laptop running on its battery.
        QVERIFY(f.root.build({"\\sys\\AC\\type=Mains", "\\sys\\AC\\online=0", "\\sys\\BAT0\\type=Battery",
                              "\\sys\\BAT0\\status=Discharging", "\\sys\\BAT0\\capacity=87", "\\sys\\BAT0\\time_to_empty_now=5400"}));
        platform::setPowerSupplyFolder(f.root.host("\\sys"));
        const auto restore = qScopeGuard([] { platform::setPowerSupplyFolder(QString()); });

        if (name.startsWith("app-mainframe")) {
            f.frame->resize(320, 400);
            QTRY_VERIFY(f.frame->IsTreeFocused());
            // The tree keeps its height above the list, whatever the frame's.
            QCOMPARE(f.frame->GetSplitter()->widget(0), static_cast<QWidget *>(f.frame->GetTreePane()));
            QTRY_COMPARE(f.frame->GetSplitter()->sizes().at(0), 100);
            if (name.endsWith("toolbar"))
                QVERIFY(f.frame->OnCommand(ids::ID_TOGGLE_TOOLBAR));
            QCoreApplication::processEvents();
            QVERIFY(f.frame->grab().save(file));
            if (name.endsWith("toolbar"))
                picturesAreSharp(f);
        } else if (name.startsWith("info-properties")) {
            const auto ran = testsupport::whenModal<CFilePropertiesDialog>(
                [file](CFilePropertiesDialog *d) { QVERIFY(d->grab().save(file)); });
            CFilePropertiesDialog dialog;
            dialog.ShowProperties(name.endsWith("file") ? "\\Docs\\report.txt" : "\\Docs");
            QVERIFY(*ran);
        } else {
            std::unique_ptr<QWidget> window;
            if (name == "app-splash")
                window = std::make_unique<CSplashDlg>();
            else if (name == "app-about")
                window = std::make_unique<CAboutDlg>();
            else if (name == "info-execute") {
                auto *execute = new CExecuteDlg;
                execute->m_strFileName = QStringLiteral("report.txt");
                execute->m_strPath = QStringLiteral("\\Docs\\");
                window.reset(execute);
            } else {
                auto *sheet = new SystemInfoSheet;
                sheet->GetTabControl()->setCurrentIndex(name.endsWith("power") ? 0 : name.endsWith("memory") ? 1 : 2);
                window.reset(sheet);
            }
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            QVERIFY(window->grab().save(file));
        }
    }

};

FERRIX_TEST(RenderTest)
#include "tst_render.moc"
