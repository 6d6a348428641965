#pragma once
#include <QString>
#include <QStringList>
#include <QtGlobal>

// System status as the handheld reported it, over Linux.
namespace platform {

bool getHostName(QString &name);                        // gethostname
// gethostbyname: the official (canonical) name and the IPv4 dotted
// addresses; no addresses when the name does not resolve.
struct HostEntry {
    QString officialName;
    QStringList addresses;
};
HostEntry lookupHost(const QString &name);

struct MemoryStatus {
    quint32 memoryLoad = 0; // percent in use
    quint64 totalPhys = 0, availPhys = 0;
    quint64 totalPageFile = 0, availPageFile = 0;
    quint64 totalVirtual = 0, availVirtual = 0;
};
bool getMemoryStatus(MemoryStatus &status);

struct StoreInformation {
    quint64 storeSize = 0; // bytes of the device root's file system
    quint64 freeSize = 0;
};
bool getStoreInformation(StoreInformation &info);

// SYSTEM_POWER_STATUS_EX values.
constexpr quint8 AC_LINE_OFFLINE = 0, AC_LINE_ONLINE = 1, AC_LINE_BACKUP_POWER = 2, AC_LINE_UNKNOWN = 0xFF;
constexpr quint8 BATTERY_FLAG_HIGH = 1, BATTERY_FLAG_LOW = 2, BATTERY_FLAG_CRITICAL = 4,
                 BATTERY_FLAG_CHARGING = 8, BATTERY_FLAG_NO_BATTERY = 0x80, BATTERY_FLAG_UNKNOWN = 0xFF;
constexpr quint8 BATTERY_PERCENTAGE_UNKNOWN = 0xFF;
constexpr quint32 BATTERY_LIFE_UNKNOWN = 0xFFFFFFFF;

struct PowerStatus {
    quint8 acLineStatus = AC_LINE_UNKNOWN;
    quint8 batteryFlag = BATTERY_FLAG_UNKNOWN;
    quint8 batteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
    quint32 batteryLifeTime = BATTERY_LIFE_UNKNOWN;     // seconds
    quint32 batteryFullLifeTime = BATTERY_LIFE_UNKNOWN; // seconds
    quint8 backupBatteryFlag = BATTERY_FLAG_UNKNOWN;
    quint8 backupBatteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
    quint32 backupBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    quint32 backupBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
};
// Reads /sys/class/power_supply (or the folder set for tests).
bool getPowerStatus(PowerStatus &status);
void setPowerSupplyFolder(const QString &folder); // empty restores the default

// Platform ids: 0-2 are the desktop systems', 3 the handheld's own. Linux
// reports a value of its own so that nothing takes it for either.
constexpr quint32 VER_PLATFORM_WIN32_CE = 3;
constexpr quint32 VER_PLATFORM_LINUX = 0x4C; // 'L'

struct VersionInfo {
    quint32 majorVersion = 0, minorVersion = 0, buildNumber = 0;
    quint32 platformId = 0;   // never 3 (the handheld's own): this is Linux
    QString csdVersion;       // kernel release and version text
};
bool getVersionInfo(VersionInfo &info);

struct SystemInfo {
    quint16 processorArchitecture = 0; // 0 Intel, 1 MIPS, 2 Alpha, 3 PowerPC, 5 ARM, 9 AMD64, 12 ARM64
    quint32 pageSize = 0;
    quint32 numberOfProcessors = 0;
    quint32 processorType = 0;         // 586 / 8664 / 2577 ... as the handheld numbered them
    quint16 processorLevel = 0;
    quint16 processorRevision = 0;
    QString machine;                   // uname machine, e.g. x86_64
};
bool getSystemInfo(SystemInfo &info);

} // namespace platform
