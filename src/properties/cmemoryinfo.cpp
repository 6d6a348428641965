#include "cmemoryinfo.h"

#include "platform/system/systeminfo.h"
#include "resources/resourceids.h"

using namespace platform;

CMemoryInfo::CMemoryInfo(QWidget *parent)
    : CInfoPage(ids::IDD_MEMORY_INFO, 2000, parent)
{
    setObjectName(QStringLiteral("memory"));
}

void CMemoryInfo::UpdateInfo()
{
    MemoryStatus memory;
    StoreInformation store;
    const bool memoryRead = getMemoryStatus(memory);
    const bool storeRead = getStoreInformation(store);
    ApplyStatus(memoryRead ? &memory : nullptr, storeRead ? &store : nullptr);
}

void CMemoryInfo::ApplyStatus(const MemoryStatus *memory, const StoreInformation *store)
{
    quint64 total = 0;
    if (memory) {
        const quint64 totalKb = memory->totalPhys >> 10, availableKb = memory->availPhys >> 10;
        m_strProgramTotal = QString::number(totalKb);
        m_strProgramUsed = QString::number(totalKb - availableKb);
        m_strProgramAvailable = QString::number(availableKb);
        total += memory->totalPhys;
    }
    if (store) {
        m_strStorageTotal = QString::number(store->storeSize >> 10);
        m_strStorageUsed = QString::number((store->storeSize - store->freeSize) >> 10);
        m_strStorageAvailable = QString::number(store->freeSize >> 10);
        total += store->storeSize;
    }
    // Summed in 64 bits: a desktop's disk alone overflows 32.
    m_strTotal = QString::asprintf("Total memory %.1f MB", double(total) * 0.00000095367431640625);
    ShowTexts({{1034, &m_strProgramAvailable}, {1035, &m_strProgramTotal}, {1036, &m_strProgramUsed},
               {1032, &m_strStorageAvailable}, {1033, &m_strStorageTotal}, {1037, &m_strStorageUsed},
               {1042, &m_strTotal}});
}
