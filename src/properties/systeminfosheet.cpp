#include "systeminfosheet.h"

#include "cgeneralinfo.h"
#include "cmemoryinfo.h"
#include "cpowerinfo.h"
#include "dialogs/tabframestyle.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

SystemInfoSheet::SystemInfoSheet(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("systemInfo"));
    setModal(true);
    m_pTabs = new QTabWidget(this);
    // The handheld's sheets carry their tabs below the pages.
    m_pTabs->setTabPosition(QTabWidget::South);
    auto *style = new CTabFrameStyle;
    style->setParent(m_pTabs);
    m_pTabs->setStyle(style);
    for (CInfoPage *page : {static_cast<CInfoPage *>(new CPowerInfo), static_cast<CInfoPage *>(new CMemoryInfo),
                            static_cast<CInfoPage *>(new CGeneralInfo)})
        m_pTabs->addTab(page, page->GetTitle());
    m_pTabs->setCurrentIndex(0);
    connect(m_pTabs, &QTabWidget::currentChanged, this, &SystemInfoSheet::OnPageChanged);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

SystemInfoSheet::~SystemInfoSheet() = default;

CInfoPage *SystemInfoSheet::GetPage(int index) const
{
    return qobject_cast<CInfoPage *>(m_pTabs->widget(index));
}

CInfoPage *SystemInfoSheet::GetActivePage() const
{
    return m_pActive;
}

void SystemInfoSheet::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_pActive)
        OnPageChanged(m_pTabs->currentIndex());
}

void SystemInfoSheet::done(int result)
{
    if (m_pActive)
        m_pActive->OnKillActive();
    m_pActive = nullptr;
    QDialog::done(result);
}

void SystemInfoSheet::OnPageChanged(int index)
{
    if (m_pActive)
        m_pActive->OnKillActive();
    m_pActive = GetPage(index);
    if (m_pActive)
        m_pActive->OnSetActive();
}
