#include "systeminfo.h"

#include "platform/base/lasterror.h"
#include "platform/base/procfile.h"
#include "platform/fs/filesystem.h"

#include <QHash>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace platform {

namespace {

// "name:   1234 kB" lines of /proc/meminfo and /proc/self/status, in bytes.
QHash<QString, quint64> readKbTable(const QString &path)
{
    QHash<QString, quint64> table;
    const QString text = readSmallTextFile(path);
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0)
            continue;
        QStringView rest = line.mid(colon + 1).trimmed();
        const bool kb = rest.endsWith(QLatin1String(" kB"));
        if (kb)
            rest.chop(3);
        bool ok = false;
        const quint64 number = rest.trimmed().toULongLong(&ok);
        if (ok)
            table.insert(line.left(colon).toString(), kb ? number * 1024 : number);
    }
    return table;
}

struct CpuDescription {
    quint16 architecture;
    quint32 type;
    quint16 level;
};

// Architecture and processor type numbers as the handheld's system headers
// numbered them.
CpuDescription describeMachine(const QString &machine)
{
    static const QRegularExpression x86(QStringLiteral("^i([3-6])86$"));
    const QRegularExpressionMatch m = x86.match(machine);
    if (m.hasMatch()) {
        const int generation = m.captured(1).toInt();
        return {0, quint32(generation >= 5 ? 586 : generation * 100 + 86), quint16(generation)};
    }
    if (machine == QLatin1String("x86_64"))
        return {9, 8664, 0};
    if (machine == QLatin1String("aarch64") || machine == QLatin1String("arm64"))
        return {12, 2577, 0};
    if (machine.startsWith(QLatin1String("arm")))
        return {5, 2577, 0};
    if (machine.startsWith(QLatin1String("mips")))
        return {1, 4000, 4};
    if (machine.startsWith(QLatin1String("alpha")))
        return {2, 21064, 21064};
    if (machine.startsWith(QLatin1String("ppc")) || machine.startsWith(QLatin1String("powerpc")))
        return {3, 0, 0};
    return {0xFFFF, 0, 0};
}

} // namespace

bool getHostName(QString &name)
{
    char buffer[256] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0)
        return failWithErrno(errno, QStringLiteral("Host name"));
    name = QString::fromLocal8Bit(buffer);
    return true;
}

HostEntry lookupHost(const QString &name)
{
    HostEntry host;
    if (name.isEmpty())
        return host;
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo *result = nullptr;
    const QByteArray encoded = name.toLocal8Bit();
    if (::getaddrinfo(encoded.constData(), nullptr, &hints, &result) != 0)
        return host;
    host.officialName = result->ai_canonname ? QString::fromLocal8Bit(result->ai_canonname) : name;
    for (const addrinfo *entry = result; entry; entry = entry->ai_next) {
        char text[INET_ADDRSTRLEN] = {};
        const auto *address = reinterpret_cast<const sockaddr_in *>(entry->ai_addr);
        if (::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text)) {
            const QString dotted = QString::fromLatin1(text);
            if (!host.addresses.contains(dotted))
                host.addresses.append(dotted);
        }
    }
    ::freeaddrinfo(result);
    return host;
}

bool getMemoryStatus(MemoryStatus &status)
{
    const QHash<QString, quint64> mem = readKbTable(QStringLiteral("/proc/meminfo"));
    if (!mem.contains(QStringLiteral("MemTotal")))
        return failWithErrno(ENOENT, QStringLiteral("/proc/meminfo"));
    status = {};
    status.totalPhys = mem.value(QStringLiteral("MemTotal"));
    status.availPhys = mem.contains(QStringLiteral("MemAvailable"))
        ? mem.value(QStringLiteral("MemAvailable"))
        : mem.value(QStringLiteral("MemFree")) + mem.value(QStringLiteral("Buffers")) + mem.value(QStringLiteral("Cached"));
    status.availPhys = qMin(status.availPhys, status.totalPhys);
    status.totalPageFile = status.totalPhys + mem.value(QStringLiteral("SwapTotal"));
    status.availPageFile = status.availPhys + mem.value(QStringLiteral("SwapFree"));
    if (status.totalPhys > 0)
        status.memoryLoad = quint32((status.totalPhys - status.availPhys) * 100 / status.totalPhys);

    // The process's address space: its limit, else what the pointer size allows.
    rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        status.totalVirtual = limit.rlim_cur;
    else
        status.totalVirtual = sizeof(void *) == 8 ? (quint64(1) << 47) : (quint64(3) << 30);
    const quint64 used = readKbTable(QStringLiteral("/proc/self/status")).value(QStringLiteral("VmSize"));
    status.availVirtual = used < status.totalVirtual ? status.totalVirtual - used : 0;
    return true;
}

bool getStoreInformation(StoreInformation &info)
{
    return getDiskFreeSpace(QStringLiteral("\\"), &info.freeSize, &info.storeSize, nullptr);
}

bool getVersionInfo(VersionInfo &info)
{
    utsname names {};
    if (::uname(&names) != 0)
        return failWithErrno(errno, QStringLiteral("uname"));
    // "6.1.0-18-amd64": major, minor, patch level as the build number.
    const QString release = QString::fromLocal8Bit(names.release);
    static const QRegularExpression numbers(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch m = numbers.match(release);
    info = {};
    info.majorVersion = m.captured(1).toUInt();
    info.minorVersion = m.captured(2).toUInt();
    info.buildNumber = m.captured(3).toUInt();
    info.platformId = VER_PLATFORM_LINUX;
    info.csdVersion = release + u' ' + QString::fromLocal8Bit(names.version);
    return true;
}

bool getSystemInfo(SystemInfo &info)
{
    utsname names {};
    if (::uname(&names) != 0)
        return failWithErrno(errno, QStringLiteral("uname"));
    info = {};
    info.machine = QString::fromLocal8Bit(names.machine);
    const CpuDescription cpu = describeMachine(info.machine);
    info.processorArchitecture = cpu.architecture;
    info.processorType = cpu.type;
    info.processorLevel = cpu.level;
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    const long processors = ::sysconf(_SC_NPROCESSORS_ONLN);
    info.pageSize = pageSize > 0 ? quint32(pageSize) : 4096;
    info.numberOfProcessors = processors > 0 ? quint32(processors) : 1;
    if (cpu.architecture == 0 || cpu.architecture == 9) {
        // x86 level and revision as the desktop systems give them: the CPU
        // family, and model and stepping in the high and low byte.
        const QHash<QString, QString> cpuInfo = readCpuInfo();
        const quint16 family = cpuInfo.value(QStringLiteral("cpu family")).toUShort();
        if (family > 0)
            info.processorLevel = family;
        info.processorRevision = quint16((cpuInfo.value(QStringLiteral("model")).toUInt() & 0xFF) << 8
                                         | (cpuInfo.value(QStringLiteral("stepping")).toUInt() & 0xFF));
    }
    return true;
}

} // namespace platform
