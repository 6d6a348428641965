#include "platform/platformtest.h"
#include "platform/system/systeminfo.h"

using namespace platform;

namespace {
struct PowerCase { QStringList supplies; int ac; int flag; int percent; quint32 lifeTime; quint32 fullLifeTime; };
} // namespace

class SystemInfoTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { setPowerSupplyFolder(QString()); }

    void power_data()
    {
        QTest::addColumn<PowerCase>("row");

        const int noPercent = BATTERY_PERCENTAGE_UNKNOWN, off = AC_LINE_OFFLINE, on = AC_LINE_ONLINE, unknownAc = AC_LINE_UNKNOWN;
        const int none = BATTERY_FLAG_NO_BATTERY, high = BATTERY_FLAG_HIGH, low = BATTERY_FLAG_LOW;
        const quint32 unknown = BATTERY_LIFE_UNKNOWN;
        const QString acOn = "AC|type=Mains|online=1", acOff = "AC|type=Mains|online=0", bat = "BAT0|type=Battery|status=";
        QTest::newRow("nothing") << PowerCase{{}, unknownAc, none, noPercent, unknown, unknown};
        QTest::newRow("high, discharging, energy") << PowerCase{{acOff,
            bat + "Discharging|capacity=87|energy_now=30000000|energy_full=40000000|power_now=10000000"}, off, high, 87, 10800u, 14400u};
        QTest::newRow("low, discharging, charge") << PowerCase{{acOff,
            bat + "Discharging|capacity=20|charge_now=1000000|charge_full=4000000|current_now=2000000"}, off, low, 20, 1800u, 7200u};
        QTest::newRow("high and charging") << PowerCase{{acOn, bat + "Charging|capacity=90"}, on,
            int(BATTERY_FLAG_HIGH | BATTERY_FLAG_CHARGING), 90, unknown, unknown};
        QTest::newRow("critical") << PowerCase{{acOff, bat + "Discharging|capacity=3"}, off, int(BATTERY_FLAG_CRITICAL), 3, unknown, unknown};
        QTest::newRow("full, no mains entry") << PowerCase{{bat + "Full|capacity=100"}, on, high, 100, unknown, unknown};
        QTest::newRow("no mains entry, discharging") << PowerCase{{bat + "Discharging|capacity=40"}, off, 0, 40, unknown, unknown};
        QTest::newRow("percent from energy") << PowerCase{{bat + "Unknown|energy_now=25|energy_full=100"}, unknownAc, low, 25, unknown, unknown};
        QTest::newRow("kernel's own estimate") << PowerCase{{bat + "Discharging|capacity=70|time_to_empty_now=600"}, off, high, 70, 600u, unknown};
        QTest::newRow("mouse battery is not the system's") << PowerCase{{acOn,
            "hid-mouse|type=Battery|scope=Device|status=Discharging|capacity=10"}, on, none, noPercent, unknown, unknown};
        // "@folder": the supplies are looked for there; a flag of -1: reading fails.
        QTest::newRow("no such folder") << PowerCase{{"@/nonexistent-folder/power_supply"}, unknownAc, none, noPercent, unknown, unknown};
        QTest::newRow("a file for the folder") << PowerCase{{"@" PLATFORM_FIXTURES "/types.reg"}, 0, -1, 0, 0u, 0u};
    }

    void power()
    {
        auto [supplies, ac, flag, percent, lifeTime, fullLifeTime] = platformtest::fetchRow<PowerCase>();
        testsupport::TempDeviceRoot sys; // "BAT0|status=Full": a folder and its attribute files
        const bool elsewhere = supplies.value(0).startsWith(u'@');
        for (const QString &supply : elsewhere ? QStringList() : supplies) {
            for (const QString &attribute : supply.split(u'|').mid(1))
                QVERIFY(sys.makeFile("\\" + supply.section(u'|', 0, 0) + "\\" + attribute.section(u'=', 0, 0),
                                     attribute.section(u'=', 1).toUtf8() + '\n'));
        }
        setPowerSupplyFolder(elsewhere ? supplies.first().mid(1) : sys.hostPath());

        PowerStatus status;
        QCOMPARE(getPowerStatus(status), flag >= 0);
        if (flag < 0)
            return;
        QCOMPARE(int(status.acLineStatus), ac);
        QCOMPARE(int(status.batteryFlag), flag);
        QCOMPARE(int(status.batteryLifePercent), percent);
        QCOMPARE(status.batteryLifeTime, lifeTime);
        QCOMPARE(status.batteryFullLifeTime, fullLifeTime);
        QCOMPARE(status.backupBatteryFlag, BATTERY_FLAG_UNKNOWN);
    }
};

FERRIX_TEST(SystemInfoTest)
#include "tst_systeminfo.moc"
