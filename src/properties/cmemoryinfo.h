#pragma once
#include "cinfopage.h"

namespace platform {
struct MemoryStatus;
struct StoreInformation;
}

// The Memory page: program memory (physical memory) and storage memory
// (the device root's file system), in Kb.
class CMemoryInfo : public CInfoPage {
    Q_OBJECT
public:
    explicit CMemoryInfo(QWidget *parent = nullptr);

    void UpdateInfo() override;
    // Turns the readings into the page's texts and shows them. A missing
    // reading leaves its figures as they were.
    void ApplyStatus(const platform::MemoryStatus *memory, const platform::StoreInformation *store);

private:
    QString m_strProgramAvailable;
    QString m_strProgramTotal;
    QString m_strProgramUsed;
    QString m_strStorageAvailable;
    QString m_strStorageTotal;
    QString m_strStorageUsed;
    QString m_strTotal;
};
