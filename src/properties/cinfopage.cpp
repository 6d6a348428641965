#include "cinfopage.h"

#include "dialogs/dialogtemplate.h"
#include "resources/dialogtemplates.h"

#include <QLabel>
#include <QPaintEvent>
#include <QTimerEvent>

CInfoPage::CInfoPage(int templateId, int intervalMs, QWidget *parent)
    : QWidget(parent), m_nInterval(intervalMs)
{
    m_controls = CreateDialogControls(*this, templateId);
    if (const resources::DialogTemplate *t = resources::FindDialogTemplate(templateId))
        m_strTitle = QString::fromUtf8(t->title);
}

CInfoPage::~CInfoPage() = default;

void CInfoPage::OnSetActive()
{
    if (m_nTimerID == 0)
        m_nTimerID = startTimer(m_nInterval);
}

void CInfoPage::OnKillActive()
{
    if (m_nTimerID != 0)
        killTimer(m_nTimerID);
    m_nTimerID = 0;
}

void CInfoPage::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // A label whose text changed repaints the page under it; that paint is
    // the label's own and refreshes nothing, or a figure that changes at
    // every reading would keep the page painting.
    QRegion page = event->region();
    for (QWidget *control : std::as_const(m_controls))
        if (qobject_cast<QLabel *>(control))
            page -= control->geometry();
    if (!page.isEmpty())
        UpdateInfo();
}

void CInfoPage::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_nTimerID && m_nTimerID != 0)
        OnTimer();
    else
        QWidget::timerEvent(event);
}

void CInfoPage::OnTimer()
{
    UpdateInfo();
}

void CInfoPage::ShowTexts(std::initializer_list<std::pair<int, const QString *>> texts)
{
    for (const auto &[id, text] : texts)
        if (auto *label = qobject_cast<QLabel *>(m_controls.value(id)))
            label->setText(*text);
}
