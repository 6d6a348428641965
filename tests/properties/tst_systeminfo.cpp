#include "common/modaldialog.h"
#include "dialogs/dialogunits.h"
#include "common/testsuite.h"
#include "platform/system/systeminfo.h"
#include "properties/cgeneralinfo.h"
#include "properties/cmemoryinfo.h"
#include "properties/cpowerinfo.h"
#include "properties/systeminfosheet.h"

#include <QLabel>
#include <QSemaphore>
#include <QTabBar>
#include <QTabWidget>

using namespace platform;
using Texts = QMap<int, QString>; // label id to its text

namespace {

using testsupport::labelText;

void compareTexts(QWidget *page, const Texts &texts)
{
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        QCOMPARE(labelText(page, it.key()), it.value());
}

void tapTab(SystemInfoSheet &sheet, int index)
{
    QTabBar *bar = sheet.GetTabControl()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

// field: which field of the second reading changes to value (see powerReadings).
struct ReadingCase { int field; quint32 value; int label; QString expected; };
// system: architecture, level, revision, type; empty when no version is read.
struct ProcessorCase { QList<int> system; QString processor, typeText; };

} // namespace

class SystemInfoTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { HostInfoLookup::SetResolver({}); }

    // Only the page in front runs its timer, and none once the sheet closes.
    void pagesAndTimers()
    {
        SystemInfoSheet sheet;
        sheet.show();
        QTabWidget *tabs = sheet.GetTabControl();
        for (int active : {0, 2, 1, 0}) {
            if (active != tabs->currentIndex())
                tapTab(sheet, active);
            for (int i = 0; i < 3; ++i)
                QCOMPARE(sheet.GetPage(i)->GetTimerId() != 0, i == active);
            QVERIFY(testsupport::savePicture(&sheet, "info-sheet-" + tabs->tabText(active).toLower()));
        }
        sheet.accept();
        QCOMPARE(sheet.GetPage(0)->GetTimerId(), 0);
    }

    // What a reading leaves of the one before it.
    void powerReadings_data()
    {
        QTest::addColumn<ReadingCase>("row");
        QTest::newRow("backup 0x9 keeps its text") << ReadingCase{5, 0x9, 1025, "High"};
        QTest::newRow("main critical and charging") << ReadingCase{1, 0xC, 1022, "Critical"};
        QTest::newRow("main unknown bit") << ReadingCase{1, 0x10, 1022, "Unknown status"};
        QTest::newRow("no main battery") << ReadingCase{1, BATTERY_FLAG_NO_BATTERY, 1022, "No system battery"};
        QTest::newRow("255 percent empty") << ReadingCase{2, 255, 1023, ""};
        QTest::newRow("150 percent keeps its text") << ReadingCase{2, 150, 1023, "50 % of full battery"};
        QTest::newRow("time unknown") << ReadingCase{3, BATTERY_LIFE_UNKNOWN, 1029, ""};
        QTest::newRow("backup 5400 s") << ReadingCase{6, 5400, 1027, "Estimated time remaining\n90 minutes "};
        QTest::newRow("AC on backup power keeps its text") << ReadingCase{0, 2, 1021, "Using internal power"};
    }
    void powerReadings()
    {
        const auto [field, value, label, expected] = testsupport::fetchRow<ReadingCase>();
        const PowerStatus first{.acLineStatus = AC_LINE_OFFLINE, .batteryFlag = BATTERY_FLAG_HIGH, .batteryLifePercent = 50,
                                .batteryLifeTime = 600, .backupBatteryFlag = BATTERY_FLAG_HIGH};
        PowerStatus second = first;
        quint8 *bytes[] = {&second.acLineStatus, &second.batteryFlag, &second.batteryLifePercent, nullptr, nullptr,
                           &second.backupBatteryFlag};
        if (field == 3 || field == 6)
            (field == 3 ? second.batteryLifeTime : second.backupBatteryLifeTime) = value;
        else
            *bytes[field] = quint8(value);
        CPowerInfo page;
        page.ApplyStatus(first);
        page.ApplyStatus(second);
        QCOMPARE(labelText(&page, label), expected);
    }

    // An unreadable store leaves its figures; the total counts what is known.
    void memory()
    {
        const MemoryStatus memory{.totalPhys = 64 << 20, .availPhys = (16 << 20) + 1023};
        const StoreInformation store{14 << 10, 7 << 10};
        CMemoryInfo page;
        page.ApplyStatus(&memory, &store);
        compareTexts(&page, {{1035, "65536"}, {1036, "49152"}, {1034, "16384"}, {1033, "14"}, {1037, "7"},
                             {1032, "7"}, {1042, "Total memory 64.0 MB"}});
        page.ApplyStatus(&memory, nullptr);
        compareTexts(&page, {{1033, "14"}, {1042, "Total memory 64.0 MB"}});
        const DialogUnits units(page.font());
        for (int id : {1032, 1033, 1034, 1035, 1036, 1037}) {
            const QRect r = page.findChild<QLabel *>(QString::number(id))->geometry();
            QCOMPARE(r.x(), units.toPixels(76, 0, 37, 8).x());
            QCOMPARE(r.width(), units.toPixels(76, 0, 37, 8).width());
        }
    }

    // Every paint refreshes a page, and a refresh that changes a figure
    // repaints that label alone, not the page again.
    void refreshOnPaint()
    {
        struct CountingPage : CMemoryInfo {
            int refreshes = 0;
            void UpdateInfo() override
            {
                const MemoryStatus memory{.totalPhys = 64 << 20, .availPhys = quint64(++refreshes) << 20};
                ApplyStatus(&memory, nullptr);
            }
        } page;
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const int before = page.refreshes;
        page.repaint();
        QCOMPARE(page.refreshes, before + 1);
        QCOMPARE(labelText(&page, 1034), QString::number(page.refreshes * 1024));
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        QCOMPARE(page.refreshes, before + 1);
    }

    void processor_data()
    {
        QTest::addColumn<ProcessorCase>("row");
        QTest::newRow("x86-64") << ProcessorCase{{9, 6, 0x9e0a, 8664}, "Unknown processor", "8664"};
        QTest::newRow("PowerPC 603+") << ProcessorCase{{3, 6, 0x0102, 0}, "PPC 603+\nRevision 1.2", "0"};
        QTest::newRow("Alpha") << ProcessorCase{{2, 21064, 0x0102, 21064}, "ALPHA 21064\nRevision: Model B, Pass 2", "21064"};
        QTest::newRow("no version: type kept") << ProcessorCase{{}, "", "1234"};
    }
    void processor()
    {
        const auto [system, processor, typeText] = testsupport::fetchRow<ProcessorCase>();
        VersionInfo version; // this system's: not the handheld's
        version.platformId = VER_PLATFORM_LINUX;
        SystemInfo before, info;
        before.processorType = 1234;
        if (!system.isEmpty()) {
            info.processorArchitecture = quint16(system[0]);
            info.processorLevel = quint16(system[1]);
            info.processorRevision = quint16(system[2]);
            info.processorType = quint32(system[3]);
        }
        CGeneralInfo page;
        page.ApplyStatus(&version, before);
        page.ApplyStatus(system.isEmpty() ? nullptr : &version, info);
        QCOMPARE(labelText(&page, 1030), processor);
        QCOMPARE(labelText(&page, 1041), typeText);
        QCOMPARE(labelText(&page, 1039), QStringLiteral("Application is not running on Windows CE."));
    }

    // The lines under This device come from the lookup at each tick: the
    // device by its own name, the peer by the official name the lookup
    // gives; a name that does not resolve leaves its line empty.
    void hostLines_data()
    {
        QTest::addColumn<QString>("peerName");
        QTest::addColumn<QString>("peerLine");
        QTest::newRow("peer unreachable") << QString() << QString();
        QTest::newRow("peer by its official name") << "gateway.lan" << "gateway.lan (10.0.0.1)";
    }
    void hostLines()
    {
        QFETCH(QString, peerName);
        QFETCH(QString, peerLine);
        QString host;
        QVERIFY(getHostName(host));
        auto asked = std::make_shared<std::atomic<int>>(0);
        HostInfoLookup::SetResolver([asked, peerName](const QString &name) {
            ++*asked;
            if (name != QLatin1String("ppp_peer"))
                return HostEntry {"official-" + name, {"10.0.0.7", "10.0.0.8"}};
            return peerName.isEmpty() ? HostEntry {} : HostEntry {peerName, {"10.0.0.1"}};
        });
        SystemInfoSheet sheet;
        sheet.show();
        tapTab(sheet, 2);
        QTRY_VERIFY(*asked >= 4); // two ticks: the lines show what the last lookup found
        QTRY_COMPARE(labelText(sheet.GetPage(2), 1043), host + " (10.0.0.7)");
        QTRY_COMPARE(labelText(sheet.GetPage(2), 1044), peerLine);
    }

    // While a lookup is still resolving, the lines keep the last answer
    // through every refresh; a lookup that fails empties its line.
    void slowPeerKeepsLines()
    {
        QSemaphore blocked, release;
        auto peers = std::make_shared<std::atomic<int>>(0);
        HostInfoLookup::SetResolver([&blocked, &release, peers](const QString &name) {
            if (name != QLatin1String("ppp_peer"))
                return HostEntry {name, {"10.0.0.7"}};
            const int n = ++*peers;
            if (n == 2) {
                blocked.release();
                release.acquire();
            }
            return n <= 2 ? HostEntry {"gateway.lan", {"10.0.0.1"}} : HostEntry {};
        });
        SystemInfoSheet sheet;
        sheet.show();
        tapTab(sheet, 2);
        CInfoPage *page = sheet.GetPage(2);
        QTRY_COMPARE(blocked.available(), 1);
        const QString device = labelText(page, 1043);
        QVERIFY(!device.isEmpty());
        QCOMPARE(labelText(page, 1044), "gateway.lan (10.0.0.1)");
        page->UpdateInfo();
        page->repaint();
        QCOMPARE(labelText(page, 1043), device);
        QCOMPARE(labelText(page, 1044), "gateway.lan (10.0.0.1)");
        release.release();
        QTRY_COMPARE(labelText(page, 1044), QString());
        QCOMPARE(labelText(page, 1043), device);
    }

    // A resolver that hangs holds up neither the window nor closing it, and
    // its answer, when it comes, reaches nothing that is gone.
    void slowResolver()
    {
        QSemaphore entered, release;
        auto finished = std::make_shared<std::atomic<int>>(0);
        HostInfoLookup::SetResolver([&entered, &release, finished](const QString &) {
            entered.release();
            release.acquire();
            ++*finished;
            return HostEntry {"host", {"10.0.0.7"}};
        });
        auto *sheet = new SystemInfoSheet;
        sheet->show();
        tapTab(*sheet, 2);
        QTRY_COMPARE(entered.available(), 1);
        tapTab(*sheet, 1);
        QCOMPARE(sheet->GetTabControl()->currentIndex(), 1);
        tapTab(*sheet, 2);
        delete sheet;
        release.release(2);
        QTRY_COMPARE(finished->load(), 2);
        QCoreApplication::processEvents();
        QCOMPARE(entered.available(), 2); // the peer's question, and no second lookup
    }
};

FERRIX_TEST(SystemInfoTest)
#include "tst_systeminfo.moc"
