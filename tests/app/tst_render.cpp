#include "appfixture.h"

#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "properties/systeminfosheet.h"
#include "resources/images.h"
#include "resources/resourceids.h"

#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QtMath>

// Pictures of the main frame and the system information sheet, to look at:
// test-output/<row>.png.
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
    // The tree keeps its height above the list, whatever the frame's. The
    // dialogs' pictures come from the tests that show them.
    void frame_data()
    {
        QTest::addColumn<bool>("toolBar");
        QTest::newRow("app-mainframe-menu") << false;
        QTest::newRow("app-mainframe-toolbar") << true;
    }
    void frame()
    {
        QFETCH(bool, toolBar);
        apptest::FrameFixture f({"\\notes.txt", "\\photo.jpg", "\\setup.exe", "\\My Documents\\a.doc"});
        QVERIFY(f.ok);
        f.frame->resize(320, 400);
        QTRY_VERIFY(f.frame->IsTreeFocused());
        QCOMPARE(f.frame->GetSplitter()->widget(0), static_cast<QWidget *>(f.frame->GetTreePane()));
        QTRY_COMPARE(f.frame->GetSplitter()->sizes().at(0), 100);
        if (toolBar)
            QVERIFY(f.frame->OnCommand(ids::ID_TOGGLE_TOOLBAR));
        QCoreApplication::processEvents();
        QVERIFY(testsupport::savePicture(f.frame, QString::fromLatin1(QTest::currentDataTag())));
        if (toolBar)
            picturesAreSharp(f);
    }

    // Each page of the sheet in front in turn, at the scale of the run. The
    // tab frame keeps its outline along the top and the left, wherever the
    // scale puts it in a device pixel.
    void systemInfoSheet()
    {
        SystemInfoSheet sheet;
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QTabWidget *tabs = sheet.GetTabControl();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            QVERIFY(testsupport::savePicture(&sheet, "app-sysinfo-" + tabs->tabText(i).toLower()));
        }
        const qreal ratio = sheet.devicePixelRatioF();
        const QImage picture = sheet.grab().toImage();
        const QRect frame(tabs->mapTo(&sheet, QPoint(0, 0)), tabs->size());
        // The first device pixel wholly inside the frame, and one well inside.
        const QPoint edge(qCeil(frame.left() * ratio), qCeil(frame.top() * ratio));
        const int across = qRound(frame.center().x() * ratio), down = qRound(frame.center().y() * ratio);
        const int inset = qCeil(4 * ratio);
        QVERIFY2(qGray(picture.pixel(across, edge.y())) + 20 < qGray(picture.pixel(across, edge.y() + inset)),
                 "no outline along the top");
        QVERIFY2(qGray(picture.pixel(edge.x(), down)) + 20 < qGray(picture.pixel(edge.x() + inset, down)),
                 "no outline along the left");
    }
};

FERRIX_TEST(RenderTest)
#include "tst_render.moc"
