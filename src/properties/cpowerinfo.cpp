#include "cpowerinfo.h"

#include "platform/system/systeminfo.h"
#include "resources/resourceids.h"

using namespace platform;

namespace {

void setPercent(QString &text, quint8 percent)
{
    if (percent == BATTERY_PERCENTAGE_UNKNOWN)
        text.clear();
    else if (percent <= 100)
        text = QString::asprintf("%d %% of full battery", int(percent));
}

} // namespace

CPowerInfo::CPowerInfo(QWidget *parent)
    : CInfoPage(ids::IDD_POWER_INFO, 2000, parent)
{
    setObjectName(QStringLiteral("power"));
}

void CPowerInfo::UpdateInfo()
{
    PowerStatus status;
    if (!getPowerStatus(status))
        return;
    ApplyStatus(status);
}

void CPowerInfo::ApplyStatus(const PowerStatus &status)
{
    switch (status.acLineStatus) {
    case AC_LINE_OFFLINE: m_strAC = QStringLiteral("Using internal power"); break;
    case AC_LINE_ONLINE: m_strAC = QStringLiteral("Using external power"); break;
    case AC_LINE_UNKNOWN: m_strAC = QStringLiteral("Unknown status"); break;
    default: break;
    }

    // Only the first condition that holds is shown.
    const quint8 flag = status.batteryFlag;
    m_strMainStatus.clear();
    if (flag & BATTERY_FLAG_HIGH)
        m_strMainStatus = QStringLiteral("High and ");
    else if (flag & BATTERY_FLAG_LOW)
        m_strMainStatus = QStringLiteral("Low and ");
    else if (flag & BATTERY_FLAG_CRITICAL)
        m_strMainStatus = QStringLiteral("Critical and ");
    else if (flag & BATTERY_FLAG_CHARGING)
        m_strMainStatus = QStringLiteral("Charging and ");
    else if (flag & BATTERY_FLAG_NO_BATTERY)
        m_strMainStatus = QStringLiteral("No system battery and ");
    else if (flag != 0)
        m_strMainStatus = QStringLiteral("Unknown status and ");
    while (!m_strMainStatus.isEmpty() && QStringLiteral(" and").contains(m_strMainStatus.back()))
        m_strMainStatus.chop(1);

    setPercent(m_strMainPercent, status.batteryLifePercent);
    if (status.batteryLifeTime == BATTERY_LIFE_UNKNOWN)
        m_strMainTime.clear();
    else
        m_strMainTime = QString::asprintf("Estimated time remaining \n%u minutes", status.batteryLifeTime / 60);

    switch (status.backupBatteryFlag) {
    case BATTERY_FLAG_HIGH: m_strBackupStatus = QStringLiteral("High"); break;
    case BATTERY_FLAG_LOW: m_strBackupStatus = QStringLiteral("Low"); break;
    case BATTERY_FLAG_CRITICAL: m_strBackupStatus = QStringLiteral("Critical"); break;
    case BATTERY_FLAG_CHARGING: m_strBackupStatus = QStringLiteral("Charging"); break;
    case BATTERY_FLAG_NO_BATTERY: m_strBackupStatus = QStringLiteral("No battery"); break;
    case BATTERY_FLAG_UNKNOWN: m_strBackupStatus = QStringLiteral("Unknown"); break;
    default: break;
    }
    setPercent(m_strBackupPercent, status.backupBatteryLifePercent);
    if (status.backupBatteryLifeTime == BATTERY_LIFE_UNKNOWN)
        m_strBackupTime.clear();
    else
        m_strBackupTime = QString::asprintf("Estimated time remaining\n%u minutes ", status.backupBatteryLifeTime / 60);
    UpdateData();
}

void CPowerInfo::UpdateData()
{
    ShowTexts({{1021, &m_strAC}, {1022, &m_strMainStatus}, {1023, &m_strMainPercent},
               {1025, &m_strBackupStatus}, {1026, &m_strBackupPercent}, {1027, &m_strBackupTime},
               {1029, &m_strMainTime}});
}
