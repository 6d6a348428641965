#pragma once
#include <QDialog>
#include <QRect>

// The splash screen: the program's picture in a bordered frame, for two
// seconds or until it is tapped.
class CSplashDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSplashDlg(QWidget *parent = nullptr);
    ~CSplashDlg() override;

    static constexpr int kCloseAfterMs = 2000;

protected:
    void showEvent(QShowEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void OnInitDialog();
    void OnPictureTap();
    void KillCloseTimer();

    QRect m_rcWindow;  // where the splash stays, taken once after centring
    int m_nTimer = 0;
    bool m_bInitialised = false;
};
