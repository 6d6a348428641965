#include "csplashdlg.h"

#include "dialogs/cpicturectrl.h"
#include "dialogs/dialogunits.h"
#include "resources/images.h"
#include "resources/resourceids.h"

#include <QTimerEvent>

CSplashDlg::CSplashDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("splash"));
    // 150 by 63 dialog units, filled by the bordered picture with the
    // bitmap in its middle.
    const QSize size = DialogUnits(font()).toPixels(150, 63);
    setFixedSize(size);
    auto *pictureCtrl = new CPictureCtrl(resources::LoadBitmap(ids::IDB_FERRIX),
                                         CPictureCtrl::Border | CPictureCtrl::Notify, this);
    pictureCtrl->setObjectName(QStringLiteral("picture"));
    pictureCtrl->setGeometry(0, 0, size.width(), size.height());
    connect(pictureCtrl, &CPictureCtrl::clicked, this, &CSplashDlg::OnPictureTap);
}

CSplashDlg::~CSplashDlg()
{
    KillCloseTimer();
}

void CSplashDlg::showEvent(QShowEvent *event)
{
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CSplashDlg::OnInitDialog()
{
    centreOnScreen(*this);
    m_rcWindow = geometry();
    // A timer that cannot be started leaves only the tap to close.
    m_nTimer = startTimer(kCloseAfterMs);
}

void CSplashDlg::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_nTimer) {
        QDialog::timerEvent(event);
        return;
    }
    KillCloseTimer();
    done(0);
}

void CSplashDlg::OnPictureTap()
{
    KillCloseTimer();
    done(0);
}

void CSplashDlg::KillCloseTimer()
{
    if (m_nTimer != 0)
        killTimer(m_nTimer);
    m_nTimer = 0;
}

void CSplashDlg::paintEvent(QPaintEvent *event)
{
    // The picture draws itself; the splash only stays where and as large
    // as it was when it was put up, whatever the window manager did.
    QDialog::paintEvent(event);
    if (m_bInitialised && geometry() != m_rcWindow)
        setGeometry(m_rcWindow);
}
