#pragma once
#include <QHash>
#include <QWidget>

// A page of the system information sheet. While it is the active page a
// timer refreshes it; every paint refreshes it too.
class CInfoPage : public QWidget {
    Q_OBJECT
public:
    CInfoPage(int templateId, int intervalMs, QWidget *parent = nullptr);
    ~CInfoPage() override;

    QString GetTitle() const { return m_strTitle; }

    void OnSetActive();  // starts the refresh timer
    void OnKillActive(); // stops it
    int GetTimerId() const { return m_nTimerID; }

    // Reads the figures and shows them.
    virtual void UpdateInfo() = 0;

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    virtual void OnTimer();

    // Data exchange: the texts into the labels with these ids.
    void ShowTexts(std::initializer_list<std::pair<int, const QString *>> texts);

private:
    QHash<int, QWidget *> m_controls;
    QString m_strTitle;
    int m_nInterval;
    int m_nTimerID = 0;
};
