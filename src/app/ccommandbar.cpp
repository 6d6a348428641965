#include "ccommandbar.h"

#include "resources/commandtables.h"
#include "resources/images.h"

#include <QActionEvent>
#include <QMenuBar>

CCommandBar::CCommandBar(ActionLookup lookup, QWidget *parent)
    : QToolBar(parent), m_lookup(std::move(lookup))
{
    setObjectName(QStringLiteral("commandBar"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setFocusPolicy(Qt::NoFocus);
    toggleViewAction()->setVisible(false);
}

CCommandBar::~CCommandBar() = default;

void CCommandBar::Clear()
{
    // Widget actions (the menu bar, gaps) belong to the bar; the command
    // actions belong to the frame and stay. Deleted later: the button whose
    // click got us here is still on the stack.
    const QList<QAction *> old = actions();
    clear();
    for (QAction *action : old)
        if (action->parent() == this)
            action->deleteLater();
    m_pMenuBar = nullptr;
}

QMenuBar *CCommandBar::InsertMenuBar()
{
    auto *menuBar = new QMenuBar;
    menuBar->setNativeMenuBar(false);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    // As wide as its menus: the buttons follow right after it.
    menuBar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    for (const resources::Menu &menuDef : resources::MainMenu()) {
        QMenu *menu = menuBar->addMenu(QString::fromUtf8(menuDef.title));
        for (const resources::MenuItem &item : menuDef.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            if (QAction *action = m_lookup(item.id))
                menu->addAction(action);
        }
        connect(menu, &QMenu::aboutToShow, this, &CCommandBar::menuAboutToShow);
    }
    addWidget(menuBar);
    m_pMenuBar = menuBar;
    return menuBar;
}

void CCommandBar::AddSeparator(int width)
{
    auto *gap = new QWidget;
    gap->setObjectName(QStringLiteral("gap"));
    gap->setFixedWidth(width);
    addWidget(gap);
}

bool CCommandBar::LoadToolBar(int toolBarId)
{
    const QList<int> buttons = resources::ToolBarButtons(toolBarId);
    const QList<QPixmap> images = resources::SplitBitmap(resources::LoadBitmap(toolBarId), 16);
    if (buttons.isEmpty())
        return false;
    for (int id : buttons) {
        if (id == 0) {
            addSeparator();
            continue;
        }
        QAction *action = m_lookup(id);
        if (!action)
            return false;
        const int image = resources::ToolBarImageIndex(toolBarId, id);
        if (image >= 0 && image < images.size())
            action->setIcon(QIcon(images.at(image)));
        addAction(action);
    }
    return true;
}

void CCommandBar::actionEvent(QActionEvent *event)
{
    QToolBar::actionEvent(event);
    if (event->type() == QEvent::ActionAdded)
        KeepFocusAway();
}

void CCommandBar::KeepFocusAway()
{
    // Buttons are made by the layout when an action is added; a tap on any
    // of them must leave the focus in the pane.
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->setFocusPolicy(Qt::NoFocus);
}
