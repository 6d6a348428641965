#pragma once
#include <QDialog>

// The About box: icon, version, addresses and the program's picture. Any
// tap on it closes it; "Visit Website" opens the program's web page and
// leaves it open.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
    ~CAboutDlg() override;

protected:
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void OnInitDialog();
    void OnIconTap();
    void OnVisitWebsite();

    bool m_bInitialised = false;
};

// Runs the About box over frame. The frame owns the box, so a window system
// without global positions places it over the frame; the frame may go while
// the box is open.
void ShowAboutBox(QWidget *frame);
