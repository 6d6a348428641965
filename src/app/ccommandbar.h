#pragma once
#include <QToolBar>

#include <functional>

class QMenuBar;

// The frame's command bar: a fixed bar along the top that holds either the
// menu bar with tool buttons after it, or tool buttons alone. It never takes
// the keyboard focus, so commands act on the pane that was used last.
class CCommandBar : public QToolBar {
    Q_OBJECT
public:
    // The frame's action for a command id.
    using ActionLookup = std::function<QAction *(int id)>;

    CCommandBar(ActionLookup lookup, QWidget *parent);
    ~CCommandBar() override;

    // Removes everything from the bar.
    void Clear();
    // Appends the menu bar built from menu 128.
    QMenuBar *InsertMenuBar();
    // Appends a blank gap of the given width in pixels.
    void AddSeparator(int width);
    // Appends the buttons of tool bar toolBarId, their images taken from the
    // bitmap of the same id.
    bool LoadToolBar(int toolBarId);

    QMenuBar *GetMenuBar() const { return m_pMenuBar; }

Q_SIGNALS:
    // A menu of the menu bar is about to open.
    void menuAboutToShow();

protected:
    void actionEvent(QActionEvent *event) override;

private:
    void KeepFocusAway();

    ActionLookup m_lookup;
    QMenuBar *m_pMenuBar = nullptr;
};
