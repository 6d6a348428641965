#include "cgeneralinfo.h"

#include "platform/system/systeminfo.h"
#include "resources/resourceids.h"

using namespace platform;

namespace {

constexpr quint32 PROCESSOR_STRONGARM = 2577;

QString processorText(const SystemInfo &system)
{
    const int level = system.processorLevel;
    const int major = system.processorRevision >> 8, minor = system.processorRevision & 0xFF;
    switch (system.processorArchitecture) {
    case 0: // Intel
        if (level == 3 || level == 4)
            return QString::asprintf("INTEL 80%c86", '0' + level);
        if (level == 5)
            return QStringLiteral("INTEL Pentium");
        if (level == 6)
            return QStringLiteral("INTEL Pentium Pro");
        return QString();
    case 1: // MIPS
        return QString::asprintf("MIPS R%04d\nRevision %d", (level & 0xFF) * 1000, minor);
    case 2: // Alpha
        return QString::asprintf("ALPHA %d\nRevision: Model %c, Pass %d", level, 'A' + major, minor);
    case 3: // PowerPC
        if (level == 1 || level == 3 || level == 4 || level == 20)
            return QString::asprintf("PPC %d\nRevision %d.%d", 600 + level, major, minor);
        if (level == 6)
            return QString::asprintf("PPC 603+\nRevision %d.%d", major, minor);
        if (level == 9)
            return QString::asprintf("PPC 604+\nRevision %d.%d", major, minor);
        return QString();
    default:
        return system.processorType == PROCESSOR_STRONGARM ? QStringLiteral("ARM")
                                                           : QStringLiteral("Unknown processor");
    }
}

} // namespace

CGeneralInfo::CGeneralInfo(QWidget *parent)
    : CInfoPage(ids::IDD_GENERAL_INFO, 1000, parent),
      m_lookup(this, [this](int which, const QString &text) { OnHostInfo(which, text); })
{
    setObjectName(QStringLiteral("general"));
}

CGeneralInfo::~CGeneralInfo() = default;

void CGeneralInfo::UpdateInfo()
{
    VersionInfo version;
    SystemInfo system;
    const bool versionRead = getVersionInfo(version);
    getSystemInfo(system);
    ApplyStatus(versionRead ? &version : nullptr, system);
}

void CGeneralInfo::ApplyStatus(const VersionInfo *version, const SystemInfo &system)
{
    if (version && version->platformId == VER_PLATFORM_WIN32_CE)
        m_strOS = QString::asprintf("Windows CE\nversion %u.%u.%u ", version->majorVersion,
                                    version->minorVersion, version->buildNumber) + version->csdVersion;
    else
        m_strOS = QStringLiteral("Application is not running on Windows CE.");
    m_strProcessor.clear();
    if (version) {
        m_strProcessor = processorText(system);
        m_strProcessorType = QString::number(system.processorType);
    }
    // The host lines keep the last lookup's answer: a lookup still running
    // (a peer that takes seconds to resolve) must not blank them.
    UpdateData();
}

void CGeneralInfo::OnTimer()
{
    UpdateInfo();
    m_lookup.Start();
}

void CGeneralInfo::OnHostInfo(int which, const QString &text)
{
    (which == HostInfoLookup::Device ? m_strDevice : m_strPeer) = text;
    // A failed lookup empties its line at the next refresh; an answer shows
    // at once.
    if (!text.isEmpty())
        UpdateData();
}

void CGeneralInfo::UpdateData()
{
    ShowTexts({{1039, &m_strOS}, {1030, &m_strProcessor}, {1041, &m_strProcessorType},
               {1043, &m_strDevice}, {1044, &m_strPeer}});
}
