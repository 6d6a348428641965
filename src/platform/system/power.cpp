#include "systeminfo.h"

#include "platform/base/lasterror.h"
#include "platform/base/procfile.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>

#include <cerrno>

namespace platform {

namespace {

QMutex folderMutex;
QString supplyFolder;

QString powerSupplyFolder()
{
    QMutexLocker lock(&folderMutex);
    return supplyFolder.isEmpty() ? QStringLiteral("/sys/class/power_supply") : supplyFolder;
}

// One power supply's attribute files.
struct Supply {
    QString folder;
    QString value(const char *attribute) const
    {
        return readSmallTextFile(folder + u'/' + QLatin1String(attribute)).trimmed();
    }
    // A number, or -1 when missing or unreadable.
    qint64 number(const char *attribute) const
    {
        bool ok = false;
        const qint64 n = value(attribute).toLongLong(&ok);
        return ok ? n : -1;
    }
};

quint32 secondsFromHours(qint64 amount, qint64 rate)
{
    if (amount < 0 || rate <= 0)
        return BATTERY_LIFE_UNKNOWN;
    return quint32(qMin<qint64>(amount * 3600 / rate, qint64(BATTERY_LIFE_UNKNOWN) - 1));
}

void readBattery(const Supply &battery, PowerStatus &status, bool *charging, bool *discharging, bool *onMains)
{
    const QString state = battery.value("status");
    *charging = state == QLatin1String("Charging");
    *discharging = state == QLatin1String("Discharging");
    // A full battery that is not charging is kept full by the mains.
    *onMains = *charging || state == QLatin1String("Full") || state == QLatin1String("Not charging");

    qint64 percent = battery.number("capacity");
    if (percent < 0) {
        const qint64 energyFull = battery.number("energy_full");
        const qint64 chargeFull = battery.number("charge_full");
        if (energyFull > 0 && battery.number("energy_now") >= 0)
            percent = battery.number("energy_now") * 100 / energyFull;
        else if (chargeFull > 0 && battery.number("charge_now") >= 0)
            percent = battery.number("charge_now") * 100 / chargeFull;
    }
    quint8 flag = 0;
    if (percent >= 0) {
        percent = qMin<qint64>(percent, 100);
        status.batteryLifePercent = quint8(percent);
        // The handheld's bands: high above two thirds, low below one third,
        // critical (alone, so that it shows as such) below 5 %.
        if (percent > 66)
            flag = BATTERY_FLAG_HIGH;
        else if (percent < 5)
            flag = BATTERY_FLAG_CRITICAL;
        else if (percent < 33)
            flag = BATTERY_FLAG_LOW;
    }
    if (*charging)
        flag |= BATTERY_FLAG_CHARGING;
    status.batteryFlag = (percent < 0 && !*charging) ? BATTERY_FLAG_UNKNOWN : flag;

    // Times only mean something while the battery runs the machine.
    if (!*discharging)
        return;
    const qint64 toEmpty = battery.number("time_to_empty_now");
    if (battery.number("energy_now") >= 0) {
        const qint64 rate = battery.number("power_now");
        status.batteryLifeTime = secondsFromHours(battery.number("energy_now"), rate);
        status.batteryFullLifeTime = secondsFromHours(battery.number("energy_full"), rate);
    } else if (battery.number("charge_now") >= 0) {
        const qint64 rate = battery.number("current_now");
        status.batteryLifeTime = secondsFromHours(battery.number("charge_now"), rate);
        status.batteryFullLifeTime = secondsFromHours(battery.number("charge_full"), rate);
    }
    if (status.batteryLifeTime == BATTERY_LIFE_UNKNOWN && toEmpty > 0)
        status.batteryLifeTime = quint32(toEmpty);
}

} // namespace

void setPowerSupplyFolder(const QString &folder)
{
    QMutexLocker lock(&folderMutex);
    supplyFolder = folder;
}

bool getPowerStatus(PowerStatus &status)
{
    const QString folder = powerSupplyFolder();
    const QFileInfo info(folder);
    // No power supply class at all (containers, some desktops) means the
    // kernel knows of no supply: that is an answer, not a failure.
    if (info.exists() && (!info.isDir() || !info.isReadable()))
        return failWith(ENOTDIR, QStringLiteral("No power supply information in %1").arg(folder));
    const QDir dir(folder);
    status = PowerStatus();
    bool mainsSeen = false, mainsOnline = false, batterySeen = false;
    bool charging = false, discharging = false, onMains = false;
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const Supply supply{folder + u'/' + name};
        const QString type = supply.value("type");
        if (type == QLatin1String("Mains") || type == QLatin1String("USB")) {
            mainsSeen = true;
            mainsOnline = mainsOnline || supply.number("online") == 1;
        } else if (type == QLatin1String("Battery") && !batterySeen) {
            // Batteries of mice and keyboards are not the system's.
            if (supply.value("scope") == QLatin1String("Device") || supply.number("present") == 0)
                continue;
            batterySeen = true;
            readBattery(supply, status, &charging, &discharging, &onMains);
        }
    }
    if (mainsSeen)
        status.acLineStatus = mainsOnline ? AC_LINE_ONLINE : AC_LINE_OFFLINE;
    else if (batterySeen && (onMains || discharging))
        status.acLineStatus = onMains ? AC_LINE_ONLINE : AC_LINE_OFFLINE;
    if (!batterySeen)
        status.batteryFlag = BATTERY_FLAG_NO_BATTERY;
    clearLastError();
    return true;
}

} // namespace platform
