#include "appfixture.h"

#include "app/cexecutedlg.h"
#include "common/testsuite.h"
#include "platform/systeminfo.h"
#include "properties/cfilepropertiesdialog.h"
#include "properties/cinfopage.h"
#include "properties/systeminfosheet.h"

#include <QScopeGuard>
#include <QTabWidget>

// Pictures of the properties, information and Execute File dialogs, to look
// at: test-output/info-*.png.
class RenderInfoTest : public QObject {
    Q_OBJECT

    static bool save(QWidget *w, const QString &name)
    {
        w->show();
        return QTest::qWaitForWindowExposed(w)
            && w->grab().save(QStringLiteral("%1/info-%2.png").arg(testsupport::outputFolder(), name));
    }

private Q_SLOTS:
    void dialogs()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\Docs\\report.txt", QByteArray(5000, 'x')));
        for (const QString &path : {QStringLiteral("\\Docs"), QStringLiteral("\\Docs\\report.txt")}) {
            CFilePropertiesDialog dialog;
            QTimer::singleShot(0, &dialog, [&dialog, path] {
                QVERIFY(save(&dialog, path.endsWith(".txt") ? "properties-file" : "properties-folder"));
                dialog.reject();
            });
            dialog.ShowProperties(path);
        }
        // A laptop running on its battery.
        for (const char *file : {"AC/type=Mains", "AC/online=0", "BAT0/type=Battery", "BAT0/status=Discharging",
                                 "BAT0/capacity=87", "BAT0/time_to_empty_now=5400"})
            QVERIFY(root.makeFile(QString::fromLatin1(file).section(u'=', 0, 0).replace(u'/', u'\\').prepend("\\sys\\"),
                                  QByteArray(file).split('=').last()));
        platform::setPowerSupplyFolder(root.host("\\sys"));
        const auto restore = qScopeGuard([] { platform::setPowerSupplyFolder(QString()); });
        SystemInfoSheet sheet;
        for (int i = 0; i < 3; ++i) {
            sheet.GetTabControl()->setCurrentIndex(i);
            QVERIFY(save(&sheet, "sheet-" + sheet.GetPage(i)->GetTitle().toLower()));
        }
        CExecuteDlg execute;
        execute.m_strFileName = QStringLiteral("report.txt");
        execute.m_strPath = QStringLiteral("\\Docs\\");
        QVERIFY(save(&execute, "execute"));
    }
};

FERRIX_TEST(RenderInfoTest)
#include "tst_renderinfo.moc"
