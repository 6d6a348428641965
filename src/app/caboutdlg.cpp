#include "caboutdlg.h"

#include "dialogs/cpicturectrl.h"
#include "dialogs/dialogunits.h"
#include "platform/shell/shell.h"
#include "resources/images.h"
#include "resources/resourceids.h"
#include "resources/strings.h"

#include <QKeyEvent>
#include <QPointer>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

struct StaticText {
    const char *name;
    const char *text;
    Qt::Alignment alignment;
    QRect rect; // dialog units
};

const StaticText kTexts[] = {
    {"version", "Ferrix Version 2.5", Qt::AlignHCenter, {7, 37, 122, 8}},
    {"email", "ferrix@example.org", Qt::AlignHCenter, {7, 46, 122, 8}},
    {"address", "https://ferrix.example.org", Qt::AlignLeft, {20, 54, 98, 8}},
    {"notice", "Free to use and to share.", Qt::AlignHCenter, {10, 63, 122, 8}},
};

} // namespace

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("about"));
    setModal(true);
    const DialogUnits units(font());
    setFixedSize(units.toPixels(139, 160));

    auto *icon = new CPictureCtrl(resources::LoadIcon(ids::IDR_MAINFRAME).pixmap(32, 32),
                                  CPictureCtrl::Notify, this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setGeometry(units.toPixels(59, 13, 20, 20));
    connect(icon, &CPictureCtrl::clicked, this, &CAboutDlg::OnIconTap);

    for (const StaticText &text : kTexts) {
        auto *label = new QLabel(QString::fromUtf8(text.text), this);
        label->setObjectName(QString::fromUtf8(text.name));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(text.alignment | Qt::AlignVCenter);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        const QRect r = text.rect;
        // A line of text needs its font's height, however few units it has.
        QRect pixels = units.toPixels(r.x(), r.y(), r.width(), r.height());
        pixels.setHeight(qMax(pixels.height(), label->sizeHint().height()));
        label->setGeometry(pixels);
    }

    auto *website = new QPushButton(QStringLiteral("Visit Website"), this);
    website->setObjectName(QStringLiteral("website"));
    website->setAutoDefault(false);
    website->setFocusPolicy(Qt::TabFocus);
    QRect button = units.toPixels(46, 77, 50, 10);
    button.setHeight(qMax(button.height(), website->sizeHint().height()));
    button.setWidth(qMax(button.width(), website->sizeHint().width()));
    button.moveCenter(QPoint(width() / 2, button.center().y()));
    website->setGeometry(button);
    connect(website, &QPushButton::clicked, this, &CAboutDlg::OnVisitWebsite);

    auto *picture = new CPictureCtrl(resources::LoadBitmap(ids::IDB_FERRIX), CPictureCtrl::Plain, this);
    picture->setObjectName(QStringLiteral("picture"));
    QRect area = units.toPixels(7, 92, 125, 61);
    area.setTop(qMax(area.top(), button.bottom() + 4));
    picture->setGeometry(area);
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::showEvent(QShowEvent *event)
{
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CAboutDlg::OnInitDialog()
{
    centreOnScreen(*this);
}

void CAboutDlg::mousePressEvent(QMouseEvent *event)
{
    // A tap: the left button, or the pen or finger Qt turns into it. A right
    // click is no tap.
    if (event->button() == Qt::LeftButton)
        done(0);
    QDialog::mousePressEvent(event);
}

void CAboutDlg::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    default:
        QDialog::keyPressEvent(event); // Esc rejects
    }
}

void CAboutDlg::paintEvent(QPaintEvent *)
{
    // No caption, but a frame so the box stands out from the window below.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CAboutDlg::OnIconTap()
{
    done(0);
}

void CAboutDlg::OnVisitWebsite()
{
    // Whether the browser starts is not our business; the box stays open.
    platform::openUrl(resources::LoadString(ids::IDS_WEBSITE));
}

void ShowAboutBox(QWidget *frame)
{
    QPointer<CAboutDlg> about = new CAboutDlg(frame);
    about->exec();
    delete about.data();
}
