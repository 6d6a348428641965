#include "cinfopage.h"

#include "dialogs/dialogtemplate.h"
#include "resources/dialogtemplates.h"

#include <QLabel>
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

void CInfoPage::showEvent(QShowEvent *event)
{
    UpdateInfo();
    QWidget::showEvent(event);
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
