#include "cprogresswnd.h"

#include "platform/work/longwork.h"
#include "progresstext.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Fits the 480-pixel-wide screen with room for the window's frame.
constexpr int kWidth = 440;

bool countsBytes(platform::WorkKind kind)
{
    return kind == platform::WorkKind::Copying || kind == platform::WorkKind::Moving
        || kind == platform::WorkKind::Measuring;
}
} // namespace

CProgressWnd::CProgressWnd(const platform::WorkProgress &work, QWidget *owner)
    : QDialog(owner)
    , m_work(work)
    , m_bBytes(countsBytes(work.kind))
{
    const QString what = progresstext::kindText(work.kind);
    setWindowTitle(what);
    setAccessibleName(what);
    setFixedWidth(kWidth);

    m_what = new QLabel(what, this);
    m_name = new QLabel(this);
    m_name->setAccessibleDescription(QStringLiteral("Current file"));
    m_name->setTextFormat(Qt::PlainText);
    m_counts = new QLabel(this);
    m_rate = new QLabel(this);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 1000);
    m_bar->setTextVisible(false);
    m_bar->setAccessibleName(QStringLiteral("Progress"));
    m_bar->hide();
    m_rate->hide();
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_cancel, &QPushButton::clicked, this, &CProgressWnd::Cancel);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    for (QWidget *line : {static_cast<QWidget *>(m_what), static_cast<QWidget *>(m_name),
                          static_cast<QWidget *>(m_counts), static_cast<QWidget *>(m_bar),
                          static_cast<QWidget *>(m_rate)})
        layout->addWidget(line);
    layout->addLayout(buttons);
    Update(0);
}

void CProgressWnd::Update(qint64 elapsedMs)
{
    const int inner = kWidth - 2 * layout()->contentsMargins().left();
    const QString name = m_name->fontMetrics().elidedText(m_work.current(), Qt::ElideMiddle, inner);
    if (m_name->text() != name)
        m_name->setText(name);
    m_counts->setText(progresstext::countsText(m_work, m_bBytes));
    const int permille = progresstext::permille(m_work, m_bBytes);
    if (permille >= 0) {
        m_bar->setValue(permille);
        m_bar->show();
        m_rate->setText(progresstext::rateText(m_work, elapsedMs, m_bBytes));
        m_rate->setVisible(!m_rate->text().isEmpty());
    }
}

void CProgressWnd::Cancel()
{
    platform::requestStop();
    m_cancel->setEnabled(false);
    m_what->setText(QStringLiteral("Cancelling"));
}

void CProgressWnd::reject()
{
    Cancel();
}

void CProgressWnd::closeEvent(QCloseEvent *event)
{
    // The window goes when the operation ends, not before.
    event->ignore();
    Cancel();
}
