#pragma once
#include <QDialog>

class CInfoPage;
class QTabWidget;

// The device's information: Power, Memory and General pages, Power first.
// Only the page in front refreshes itself on its timer.
class SystemInfoSheet : public QDialog {
    Q_OBJECT
public:
    explicit SystemInfoSheet(QWidget *parent = nullptr);
    ~SystemInfoSheet() override;

    QTabWidget *GetTabControl() const { return m_pTabs; }
    CInfoPage *GetPage(int index) const;
    CInfoPage *GetActivePage() const;

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void OnPageChanged(int index);

    QTabWidget *m_pTabs = nullptr;
    CInfoPage *m_pActive = nullptr;
};
