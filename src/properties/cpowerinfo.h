#pragma once
#include "cinfopage.h"

namespace platform {
struct PowerStatus;
}

// The Power page: AC line, main and backup battery.
class CPowerInfo : public CInfoPage {
    Q_OBJECT
public:
    explicit CPowerInfo(QWidget *parent = nullptr);

    void UpdateInfo() override;
    // Turns a reading into the page's texts and shows them; values it has
    // no text for leave the text as it was.
    void ApplyStatus(const platform::PowerStatus &status);

private:
    void UpdateData();

    QString m_strAC;
    QString m_strMainStatus;
    QString m_strMainPercent;
    QString m_strBackupStatus;
    QString m_strBackupPercent;
    QString m_strBackupTime;
    QString m_strMainTime;
};
