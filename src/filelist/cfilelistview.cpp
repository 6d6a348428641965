#include "cfilelistview.h"

#include "filetypes/openfile.h"
#include "platform/ui/inputpanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

namespace {
constexpr int kHoldTimerMs = 500;
// The input panel normally reports itself shown at once; a panel that never
// does must not hang the program.
constexpr int kPanelWaitMs = 1000;
constexpr int kPanelPollMs = 20;
constexpr int kHoldPauseMs = 200;

// Lets timers and paints run for a while, but no user input: the hold
// action blocks the user as a plain sleep would.
void pumpEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
} // namespace

CFileListView::CFileListView(QWidget *parent)
    : CFileListTable(parent)
{
    ResetTapState();
    viewport()->setAcceptDrops(true);
}

CFileListView::~CFileListView()
{
    KillHoldTimer();
}

int CFileListView::GetItemCount() const
{
    return model() ? model()->rowCount() : 0;
}

QString CFileListView::GetItemName(int row) const
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return QString();
    return model()->index(row, ColName).data(Qt::EditRole).toString();
}

QList<int> CFileListView::GetSelectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    const QModelIndexList selected = selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CFileListView::KillHoldTimer()
{
    if (m_nHoldTimer != 0) {
        killTimer(m_nHoldTimer);
        m_nHoldTimer = 0;
    }
}

void CFileListView::ResetTapState()
{
    KillHoldTimer();
    m_bFocusSaved = false;
    m_bArmed = false;
    m_bMoved = false;
    m_nCurRow = -1;
    m_nLastRow = -1;
}

void CFileListView::TakeFocus()
{
    // An open name editor lives inside the pane and keeps the focus.
    QWidget *focus = QApplication::focusWidget();
    if (focus == this || (focus && isAncestorOf(focus)))
        return;
    setFocus(Qt::OtherFocusReason);
}

bool CFileListView::SaveFocusedItem()
{
    const int count = GetItemCount();
    if (count == 0)
        return false;
    int row = currentIndex().isValid() ? currentIndex().row() : -1;
    if (row == -1)
        row = m_nCurRow;
    if (row == -1)
        return false;
    m_nSavedRow = row;
    m_bFocusSaved = row >= 0 && row < count;
    return m_bFocusSaved;
}

bool CFileListView::SelectRowIfPresent(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return false;
    const QModelIndex index = model()->index(row, ColName);
    scrollTo(index);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    return true;
}

void CFileListView::RestoreFocusedItem(bool stepBack)
{
    if (!m_bFocusSaved)
        return;
    TakeFocus();
    if (!stepBack) {
        if (SelectRowIfPresent(m_nSavedRow))
            m_bFocusSaved = false;
        return;
    }
    int row = m_nSavedRow;
    do {
        row = row > 0 ? row - 1 : 0;
        if (SelectRowIfPresent(row)) {
            m_nSavedRow = row;
            m_bFocusSaved = false;
            return;
        }
    } while (row > 0);
}

void CFileListView::mousePressEvent(QMouseEvent *event)
{
    NoteDragPress(*event);
    if (event->button() == Qt::LeftButton) {
        const QModelIndex hit = indexAt(event->position().toPoint());
        m_nCurRow = hit.isValid() ? hit.row() : -1;
        if (m_nCurRow != -1) {
            m_bMoved = m_nLastRow != m_nCurRow;
            if (m_nHoldTimer == 0) {
                m_bArmed = true;
                m_nHoldTimer = startTimer(kHoldTimerMs);
            } else {
                // A second tap within the hold time: no hold.
                KillHoldTimer();
                m_bArmed = false;
            }
            m_nLastRow = m_nCurRow;
        }
    }
    QTableView::mousePressEvent(event);
}

void CFileListView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_nHoldTimer && m_nHoldTimer != 0) {
        KillHoldTimer();
        if (m_nCurRow == m_nLastRow && !m_bMoved && m_bArmed)
            HoldAction();
        return;
    }
    QTableView::timerEvent(event);
}

void CFileListView::HoldAction()
{
    if (!m_bArmed || m_nCurRow != m_nLastRow)
        return;
    m_bHolding = true;
    SaveFocusedItem();
    TakeFocus();

    unsigned flags = 0;
    if (platform::getInputPanelFlags(&flags))
        platform::setInputPanelFlags(flags | platform::SIPF_ON);

    QPointer<CFileListView> alive(this);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        flags = 0;
        if (platform::getInputPanelFlags(&flags) && (flags & platform::SIPF_ON))
            break;
        if (waited.elapsed() >= kPanelWaitMs)
            break;
        pumpEventsFor(kPanelPollMs);
        if (!alive)
            return;
    }
    pumpEventsFor(kHoldPauseMs);
    if (!alive)
        return;

    m_bHolding = false;
    RestoreFocusedItem(false);
    // The end of the edit selects the same row again.
    m_bFocusSaved = true;
    m_bArmed = false;
}

void CFileListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    const QModelIndex hit = indexAt(event->position().toPoint());
    OpenRowNow(hit.isValid() ? hit.row() : -1);
    QTableView::mouseDoubleClickEvent(event);
    RestoreFocusedItem(false);
}

void CFileListView::OpenRow(int row)
{
    OpenRowNow(row);
    RestoreFocusedItem(false);
}

void CFileListView::OpenRowNow(int row)
{
    KillHoldTimer();
    m_bArmed = false;
    m_bMoved = false;
    m_bReturnFocus = true;
    if (row < 0 || row >= GetItemCount())
        return;
    m_nLastRow = row;
    SaveFocusedItem();
    const QString name = GetItemName(row);
    if (!name.isEmpty())
        OpenFile(m_strFolder + QLatin1Char('\\') + name, this);
}

void CFileListView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    SaveFocusedItem();
}

void CFileListView::EndLabelEdit(int row, bool committed, const QString &newText)
{
    KillHoldTimer();
    m_bArmed = false;
    if (committed && row >= 0) {
        const QString oldPath = m_strFolder + QLatin1Char('\\') + GetItemName(row);
        const QString newPath = m_strFolder + QLatin1Char('\\') + newText;
        if (oldPath != newPath && RenameOrWarn(oldPath, newPath, newText))
            Refresh();
    }
    RestoreFocusedItem(false);
}
