#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/systeminfo.h"
#include "properties/cgeneralinfo.h"
#include "properties/cmemoryinfo.h"
#include "properties/cpowerinfo.h"
#include "properties/systeminfosheet.h"

#include <QLabel>
#include <QSemaphore>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <atomic>

using namespace platform;
using Texts = QMap<int, QString>; // label id to its text

namespace {

QString text(QWidget *page, int id)
{
    auto *label = page->findChild<QLabel *>(QString::number(id));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(id);
}

// "BAT0|type=Battery|capacity=90": a supply folder and its attribute files.
bool makeSupplies(const testsupport::TempDeviceRoot &folder, const QStringList &supplies)
{
    for (const QString &supply : supplies)
        for (const QString &attribute : supply.split(u'|').mid(1))
            if (!folder.makeFile("\\" + supply.section(u'|', 0, 0) + "\\" + attribute.section(u'=', 0, 0),
                                 attribute.section(u'=', 1).toUtf8() + '\n'))
                return false;
    return true;
}

void tapTab(SystemInfoSheet &sheet, int index)
{
    QTabBar *bar = sheet.GetTabControl()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

} // namespace

class SystemInfoTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        setPowerSupplyFolder(QString());
        HostInfoLookup::SetResolver({});
    }

    // Power in front; only the page in front runs its timer.
    void pagesAndTimers()
    {
        SystemInfoSheet sheet;
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QTabWidget *tabs = sheet.GetTabControl();
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(QStringList({tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
                 QStringList({"Power", "Memory", "General"}));
        QCOMPARE(tabs->currentIndex(), 0);
        for (int active : {0, 2, 1, 0}) {
            tapTab(sheet, active);
            QCOMPARE(tabs->currentIndex(), active);
            for (int i = 0; i < 3; ++i)
                QCOMPARE(sheet.GetPage(i)->GetTimerId() != 0, i == active);
        }
        sheet.accept();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(sheet.GetPage(i)->GetTimerId(), 0);
    }

    void powerFromSupplies_data()
    {
        QTest::addColumn<QStringList>("supplies");
        QTest::addColumn<Texts>("texts");

        const QString acOn = "AC|type=Mains|online=1", bat = "BAT0|type=Battery|status=";
        const Texts backupUnknown{{1025, "Unknown"}, {1026, ""}, {1027, ""}};
        auto with = [&](Texts t) { t.insert(backupUnknown); return t; };
        // A desktop without a battery: on the mains, no system battery, no
        // figures, and nothing known of a backup battery.
        QTest::newRow("desktop without battery") << QStringList{acOn}
            << with({{1021, "Using external power"}, {1022, "No system battery"}, {1023, ""}, {1029, ""}});
        QTest::newRow("no supplies at all") << QStringList{}
            << with({{1021, "Unknown status"}, {1022, "No system battery"}, {1023, ""}, {1029, ""}});
        QTest::newRow("high and charging shows High") << QStringList{acOn, bat + "Charging|capacity=90"}
            << with({{1021, "Using external power"}, {1022, "High"}, {1023, "90 % of full battery"}, {1029, ""}});
        QTest::newRow("5400 s left") << QStringList{"AC|type=Mains|online=0",
                                                    bat + "Discharging|capacity=20|energy_now=15000000|power_now=10000000"}
            << with({{1021, "Using internal power"}, {1022, "Low"}, {1023, "20 % of full battery"},
                     {1029, "Estimated time remaining \n90 minutes"}});
        QTest::newRow("full") << QStringList{bat + "Full|capacity=100"}
            << with({{1021, "Using external power"}, {1022, "High"}, {1023, "100 % of full battery"}});
    }
    void powerFromSupplies()
    {
        QFETCH(QStringList, supplies);
        QFETCH(Texts, texts);
        testsupport::TempDeviceRoot sys;
        QVERIFY(makeSupplies(sys, supplies));
        setPowerSupplyFolder(sys.hostPath());
        SystemInfoSheet sheet;
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            QCOMPARE(text(sheet.GetPage(0), it.key()), it.value());
    }

    // What one reading leaves of the one before.
    void powerReadings_data()
    {
        QTest::addColumn<int>("field"); // which value the second reading changes
        QTest::addColumn<quint32>("value");
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("expected");

        QTest::newRow("backup 0x9 keeps its text") << 5 << 0x9u << 1025 << "High";
        QTest::newRow("backup charging") << 5 << 0x8u << 1025 << "Charging";
        QTest::newRow("backup none") << 5 << 0x80u << 1025 << "No battery";
        QTest::newRow("main 0x9") << 1 << 0x9u << 1022 << "High";
        QTest::newRow("main critical and charging") << 1 << 0xCu << 1022 << "Critical";
        QTest::newRow("main flag 0") << 1 << 0u << 1022 << "";
        QTest::newRow("main unknown bit") << 1 << 0x10u << 1022 << "Unknown status";
        QTest::newRow("255 percent empty") << 2 << 255u << 1023 << "";
        QTest::newRow("150 percent keeps its text") << 2 << 150u << 1023 << "50 % of full battery";
        QTest::newRow("0 percent") << 2 << 0u << 1023 << "0 % of full battery";
        QTest::newRow("5400 s") << 3 << 5400u << 1029 << "Estimated time remaining \n90 minutes";
        QTest::newRow("59 s") << 3 << 59u << 1029 << "Estimated time remaining \n0 minutes";
        QTest::newRow("time unknown") << 3 << BATTERY_LIFE_UNKNOWN << 1029 << "";
        QTest::newRow("backup 5400 s") << 6 << 5400u << 1027 << "Estimated time remaining\n90 minutes ";
        QTest::newRow("backup 100 percent") << 7 << 100u << 1026 << "100 % of full battery";
        QTest::newRow("AC backup power keeps its text") << 0 << 2u << 1021 << "Using internal power";
        QTest::newRow("AC unknown") << 0 << 255u << 1021 << "Unknown status";
    }
    void powerReadings()
    {
        QFETCH(int, field);
        QFETCH(quint32, value);
        QFETCH(int, label);
        QFETCH(QString, expected);
        PowerStatus first;
        first.acLineStatus = AC_LINE_OFFLINE;
        first.batteryFlag = BATTERY_FLAG_LOW;
        first.batteryLifePercent = 50;
        first.batteryLifeTime = 600;
        first.backupBatteryFlag = BATTERY_FLAG_HIGH;
        first.backupBatteryLifePercent = 50;
        PowerStatus second = first;
        switch (field) {
        case 0: second.acLineStatus = quint8(value); break;
        case 1: second.batteryFlag = quint8(value); break;
        case 2: second.batteryLifePercent = quint8(value); break;
        case 3: second.batteryLifeTime = value; break;
        case 5: second.backupBatteryFlag = quint8(value); break;
        case 6: second.backupBatteryLifeTime = value; break;
        case 7: second.backupBatteryLifePercent = quint8(value); break;
        }
        CPowerInfo page;
        page.ApplyStatus(first);
        page.ApplyStatus(second);
        QCOMPARE(text(&page, label), expected);
    }

    void memory_data()
    {
        QTest::addColumn<bool>("storeRead");
        QTest::addColumn<Texts>("texts");
        QTest::newRow("both") << true
            << Texts{{1035, "65536"}, {1036, "49152"}, {1034, "16384"}, {1033, "1024"}, {1037, "768"},
                     {1032, "256"}, {1042, "Total memory 65.0 MB"}};
        QTest::newRow("store unreadable") << false
            << Texts{{1035, "65536"}, {1033, "14"}, {1037, "7"}, {1032, "7"}, {1042, "Total memory 64.0 MB"}};
    }
    void memory()
    {
        QFETCH(bool, storeRead);
        QFETCH(Texts, texts);
        MemoryStatus memory;
        memory.totalPhys = 64 << 20;
        memory.availPhys = (16 << 20) + 1023;
        StoreInformation store;
        store.storeSize = 1 << 20;
        store.freeSize = 256 << 10;
        StoreInformation old;
        old.storeSize = 14 << 10;
        old.freeSize = 7 << 10;
        CMemoryInfo page;
        page.ApplyStatus(&memory, &old);
        page.ApplyStatus(&memory, storeRead ? &store : nullptr);
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            QCOMPARE(text(&page, it.key()), it.value());
    }

    void processor_data()
    {
        QTest::addColumn<bool>("versionRead");
        QTest::addColumn<int>("architecture");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("revision");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("processor");
        QTest::addColumn<QString>("typeText");

        QTest::newRow("StrongARM") << true << 5 << 4 << 0 << 2577 << "ARM" << "2577";
        QTest::newRow("ARM64") << true << 12 << 0 << 0 << 2577 << "ARM" << "2577";
        QTest::newRow("x86-64") << true << 9 << 6 << 0x9e0a << 8664 << "Unknown processor" << "8664";
        QTest::newRow("PowerPC 603+") << true << 3 << 6 << 0x0102 << 0 << "PPC 603+\nRevision 1.2" << "0";
        QTest::newRow("PowerPC 620") << true << 3 << 20 << 0x0304 << 0 << "PPC 620\nRevision 3.4" << "0";
        QTest::newRow("PowerPC other") << true << 3 << 7 << 0 << 0 << "" << "0";
        QTest::newRow("80486") << true << 0 << 4 << 0 << 486 << "INTEL 80486" << "486";
        QTest::newRow("Pentium Pro") << true << 0 << 6 << 0 << 586 << "INTEL Pentium Pro" << "586";
        QTest::newRow("Intel level 15") << true << 0 << 15 << 0 << 586 << "" << "586";
        QTest::newRow("MIPS") << true << 1 << 0x104 << 0x0203 << 4000 << "MIPS R4000\nRevision 3" << "4000";
        QTest::newRow("Alpha") << true << 2 << 21064 << 0x0102 << 21064 << "ALPHA 21064\nRevision: Model B, Pass 2"
                               << "21064";
        QTest::newRow("no version") << false << 5 << 0 << 0 << 2577 << "" << "1234";
    }
    void processor()
    {
        QFETCH(bool, versionRead);
        QFETCH(int, architecture);
        QFETCH(int, level);
        QFETCH(int, revision);
        QFETCH(int, type);
        VersionInfo version;
        version.platformId = VER_PLATFORM_LINUX;
        SystemInfo before;
        before.processorType = 1234;
        SystemInfo system;
        system.processorArchitecture = quint16(architecture);
        system.processorLevel = quint16(level);
        system.processorRevision = quint16(revision);
        system.processorType = quint32(type);
        CGeneralInfo page;
        page.ApplyStatus(&version, before);
        page.ApplyStatus(versionRead ? &version : nullptr, system);
        QTEST(text(&page, 1030), "processor");
        QTEST(text(&page, 1041), "typeText");
        QCOMPARE(text(&page, 1039), QStringLiteral("Application is not running on Windows CE."));
    }

    void operatingSystem()
    {
        VersionInfo version;
        version.platformId = VER_PLATFORM_WIN32_CE;
        version.majorVersion = 3;
        version.buildNumber = 126;
        version.csdVersion = "SP1";
        CGeneralInfo page;
        page.ApplyStatus(&version, SystemInfo());
        QCOMPARE(text(&page, 1039), QStringLiteral("Windows CE\nversion 3.0.126 SP1"));
    }

    void hostLines_data()
    {
        QTest::addColumn<bool>("deviceResolves");
        QTest::addColumn<bool>("peerResolves");
        QTest::newRow("both") << true << true;
        QTest::newRow("no peer") << true << false;
        QTest::newRow("unresolvable host name") << false << false;
    }
    // The lines under This device come from the lookup at the page's tick.
    void hostLines()
    {
        QFETCH(bool, deviceResolves);
        QFETCH(bool, peerResolves);
        QString host;
        QVERIFY(getHostName(host));
        std::atomic<int> asked {0};
        HostInfoLookup::SetResolver([&](const QString &name) {
            ++asked;
            if (name == QLatin1String("ppp_peer"))
                return peerResolves ? QStringList{"192.168.55.100"} : QStringList{};
            return deviceResolves ? QStringList{"10.0.0.7", "10.0.0.8"} : QStringList{};
        });
        SystemInfoSheet sheet;
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        tapTab(sheet, 2);
        auto *page = qobject_cast<CGeneralInfo *>(sheet.GetPage(2));
        QTRY_VERIFY(asked >= 4); // two ticks, so the lines show what the last lookup found
        QTRY_VERIFY(!page->IsLookupRunning());
        QTRY_COMPARE(text(page, 1043), deviceResolves ? host + " (10.0.0.7)" : QString());
        QTRY_COMPARE(text(page, 1044), peerResolves ? QStringLiteral("ppp_peer (192.168.55.100)") : QString());
        sheet.accept();
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
            return QStringList{"10.0.0.7"};
        });
        auto *sheet = new SystemInfoSheet;
        sheet->show();
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        tapTab(*sheet, 2);
        QTRY_VERIFY(entered.available() == 1);
        // The window still answers while the lookup hangs, and starts no second one.
        tapTab(*sheet, 1);
        QCOMPARE(sheet->GetTabControl()->currentIndex(), 1);
        tapTab(*sheet, 2);
        QVERIFY(qobject_cast<CGeneralInfo *>(sheet->GetPage(2))->IsLookupRunning());
        delete sheet;
        release.release(2);
        QTRY_COMPARE(finished->load(), 2);
        QCoreApplication::processEvents();
        QCOMPARE(entered.available(), 2); // the peer's question too, and nothing more
    }
};

FERRIX_TEST(SystemInfoTest)
#include "tst_systeminfo.moc"
