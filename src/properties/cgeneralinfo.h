#pragma once
#include "cinfopage.h"
#include "hostinfolookup.h"

namespace platform {
struct SystemInfo;
struct VersionInfo;
}

// The General page: processor, operating system, and this device's and the
// peer's names and addresses, looked up afresh at every tick.
class CGeneralInfo : public CInfoPage {
    Q_OBJECT
public:
    explicit CGeneralInfo(QWidget *parent = nullptr);
    ~CGeneralInfo() override;

    void UpdateInfo() override;
    // Turns the readings into the page's texts and shows them; version is
    // null when it could not be read.
    void ApplyStatus(const platform::VersionInfo *version, const platform::SystemInfo &system);

    bool IsLookupRunning() const { return m_lookup.IsRunning(); }

protected:
    void OnTimer() override;

private:
    void OnHostInfo(int which, const QString &text);
    void UpdateData();

    QString m_strOS;
    QString m_strProcessor;
    QString m_strProcessorType;
    QString m_strDevice;
    QString m_strPeer;
    HostInfoLookup m_lookup;
};
