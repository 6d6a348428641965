#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/systeminfo.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;

namespace {

// "BAT0|type=Battery|status=Not charging": a folder and its attribute files.
bool makeSupplies(const QString &base, const QStringList &supplies)
{
    for (const QString &supply : supplies) {
        const QStringList parts = supply.split(u'|');
        const QString folder = base + u'/' + parts.first();
        if (!QDir().mkpath(folder))
            return false;
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const qsizetype eq = parts[i].indexOf(u'=');
            QFile file(folder + u'/' + parts[i].left(eq));
            if (!file.open(QIODevice::WriteOnly) || file.write(parts[i].mid(eq + 1).toUtf8() + '\n') < 0)
                return false;
        }
    }
    return true;
}

} // namespace

class SystemInfoTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { setPowerSupplyFolder(QString()); }

    void power_data()
    {
        QTest::addColumn<QStringList>("supplies");
        QTest::addColumn<int>("ac");
        QTest::addColumn<int>("flag");
        QTest::addColumn<int>("percent");
        QTest::addColumn<quint32>("lifeTime");
        QTest::addColumn<quint32>("fullLifeTime");

        const int unknownPercent = BATTERY_PERCENTAGE_UNKNOWN;
        const quint32 unknown = BATTERY_LIFE_UNKNOWN;
        const QString acOn = QStringLiteral("AC|type=Mains|online=1");
        const QString acOff = QStringLiteral("AC|type=Mains|online=0");
        QTest::newRow("nothing") << QStringList() << int(AC_LINE_UNKNOWN) << int(BATTERY_FLAG_NO_BATTERY) << unknownPercent << unknown << unknown;
        QTest::newRow("mains only") << QStringList{acOn} << int(AC_LINE_ONLINE) << int(BATTERY_FLAG_NO_BATTERY) << unknownPercent << unknown << unknown;
        QTest::newRow("high, discharging, energy")
            << QStringList{acOff, "BAT0|type=Battery|status=Discharging|capacity=87|energy_now=30000000|energy_full=40000000|power_now=10000000"}
            << int(AC_LINE_OFFLINE) << int(BATTERY_FLAG_HIGH) << 87 << 10800u << 14400u;
        QTest::newRow("low, discharging, charge")
            << QStringList{acOff, "BAT0|type=Battery|status=Discharging|capacity=20|charge_now=1000000|charge_full=4000000|current_now=2000000"}
            << int(AC_LINE_OFFLINE) << int(BATTERY_FLAG_LOW) << 20 << 1800u << 7200u;
        QTest::newRow("high and charging") << QStringList{acOn, "BAT0|type=Battery|status=Charging|capacity=90"}
                                           << int(AC_LINE_ONLINE) << int(BATTERY_FLAG_HIGH | BATTERY_FLAG_CHARGING) << 90 << unknown << unknown;
        QTest::newRow("critical") << QStringList{acOff, "BAT0|type=Battery|status=Discharging|capacity=3"}
                                  << int(AC_LINE_OFFLINE) << int(BATTERY_FLAG_CRITICAL) << 3 << unknown << unknown;
        QTest::newRow("full, no mains entry") << QStringList{"BAT1|type=Battery|status=Full|capacity=100"}
                                              << int(AC_LINE_ONLINE) << int(BATTERY_FLAG_HIGH) << 100 << unknown << unknown;
        QTest::newRow("no mains entry, discharging") << QStringList{"BAT1|type=Battery|status=Discharging|capacity=40"}
                                                     << int(AC_LINE_OFFLINE) << 0 << 40 << unknown << unknown;
        QTest::newRow("percent from energy") << QStringList{"BAT0|type=Battery|status=Unknown|energy_now=25|energy_full=100"}
                                             << int(AC_LINE_UNKNOWN) << int(BATTERY_FLAG_LOW) << 25 << unknown << unknown;
        QTest::newRow("kernel's own estimate") << QStringList{"BAT0|type=Battery|status=Discharging|capacity=70|time_to_empty_now=600"}
                                               << int(AC_LINE_OFFLINE) << int(BATTERY_FLAG_HIGH) << 70 << 600u << unknown;
        QTest::newRow("mouse battery is not the system's")
            << QStringList{acOn, "hid-mouse|type=Battery|scope=Device|status=Discharging|capacity=10"}
            << int(AC_LINE_ONLINE) << int(BATTERY_FLAG_NO_BATTERY) << unknownPercent << unknown << unknown;
    }

    void power()
    {
        QFETCH(QStringList, supplies);
        QFETCH(int, ac);
        QFETCH(int, flag);
        QFETCH(int, percent);
        QFETCH(quint32, lifeTime);
        QFETCH(quint32, fullLifeTime);
        QTemporaryDir sys;
        QVERIFY(makeSupplies(sys.path(), supplies));
        setPowerSupplyFolder(sys.path());

        PowerStatus status;
        QVERIFY(getPowerStatus(status));
        QCOMPARE(int(status.acLineStatus), ac);
        QCOMPARE(int(status.batteryFlag), flag);
        QCOMPARE(int(status.batteryLifePercent), percent);
        QCOMPARE(status.batteryLifeTime, lifeTime);
        QCOMPARE(status.batteryFullLifeTime, fullLifeTime);
        QCOMPARE(status.backupBatteryFlag, BATTERY_FLAG_UNKNOWN);
        QCOMPARE(status.backupBatteryLifePercent, BATTERY_PERCENTAGE_UNKNOWN);
        QCOMPARE(status.backupBatteryLifeTime, BATTERY_LIFE_UNKNOWN);
    }

    void powerFolderMissingOrWrong()
    {
        PowerStatus status;
        setPowerSupplyFolder(QStringLiteral("/nonexistent-folder/power_supply"));
        QVERIFY(getPowerStatus(status));
        QCOMPARE(status.batteryFlag, BATTERY_FLAG_NO_BATTERY);
        QCOMPARE(status.acLineStatus, AC_LINE_UNKNOWN);
        setPowerSupplyFolder(QStringLiteral(PLATFORM_FIXTURES "/types.reg"));
        QVERIFY(!getPowerStatus(status));
    }

    // What the information pages show comes from this machine: sanity only.
    void hostFacts()
    {
        VersionInfo version;
        QVERIFY(getVersionInfo(version));
        QCOMPARE(version.platformId, VER_PLATFORM_LINUX);
        const QString kernel = QSysInfo::kernelVersion();
        QVERIFY2(kernel.startsWith(QStringLiteral("%1.%2").arg(version.majorVersion).arg(version.minorVersion)), qPrintable(kernel));

        SystemInfo system;
        QVERIFY(getSystemInfo(system));
        QVERIFY(system.numberOfProcessors >= 1 && system.pageSize >= 4096);
        if (system.machine == QLatin1String("x86_64"))
            QCOMPARE(system.processorType, 8664u);

        MemoryStatus memory;
        QVERIFY(getMemoryStatus(memory) && memory.availPhys <= memory.totalPhys);
        testsupport::TempDeviceRoot root;
        StoreInformation store;
        QVERIFY(getStoreInformation(store));
        QCOMPARE(qint64(store.storeSize), QStorageInfo(root.hostPath()).bytesTotal());

        QVERIFY(hostAddresses(QStringLiteral("localhost")).contains(QStringLiteral("127.0.0.1")));
        QVERIFY(hostAddresses(QStringLiteral("no-such-host.invalid")).isEmpty());
    }
};

FERRIX_TEST(SystemInfoTest)
#include "tst_systeminfo.moc"
