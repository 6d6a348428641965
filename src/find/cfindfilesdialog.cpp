#include "cfindfilesdialog.h"

#include "dialogs/dialogunits.h"
#include "filelist/cfilelistctrl.h"
#include "resources/resourceids.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>

#include <atomic>
#include <thread>
#include <utility>

namespace {

const QString kStart = QStringLiteral("Start");
const QString kStop = QStringLiteral("Stop");
constexpr int kRestartIntervalMs = 200;

struct Label {
    const char *text;
    QRect rect; // dialog units
};

const Label kLabels[] = {
    {"Filename:", {12, 3, 32, 8}},
    {"Directory:", {11, 20, 33, 8}},
    {"Containing:", {1, 36, 43, 8}},
};

// A control at its place in dialog units, but never lower than its text.
void place(QWidget *control, const DialogUnits &units, int x, int y, int width, int height)
{
    QRect r = units.toPixels(x, y, width, height);
    r.setHeight(qMax(r.height(), control->minimumSizeHint().height()));
    control->setGeometry(r);
}

QLineEdit *addEdit(QWidget *parent, const char *name, int id)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setProperty("controlId", id);
    return edit;
}

} // namespace

// What one search shares between the dialog and its worker thread, owned by
// both. The worker reaches the dialog only through calls run on the
// dialog's thread, and only while the dialog still holds the run.
struct SearchRun : SearchResults {
    StopEvent stop;
    SearchHooks hooks;
    std::atomic<bool> ended {false}; // set by the worker as its last act
    CFindFilesDialog *dialog = nullptr; // the dialog's thread only; null once let go

    // Runs f(dialog) on the dialog's thread and waits for it; nothing once let go.
    template <typename F>
    void onDialog(F f)
    {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [this, &f] {
            if (dialog)
                f(*dialog);
        }, Qt::BlockingQueuedConnection);
    }

    bool AddResult(const QString &path, const platform::FindData *data) override
    {
        bool added = false;
        onDialog([&](CFindFilesDialog &d) { added = d.AddResult(path, data); });
        return added;
    }

    // The worker's whole life; it holds run until its very end.
    static void work(std::shared_ptr<SearchRun> run, const QString &pattern, const QString &folder,
                     const QString &text)
    {
        CFileSearch search(run->stop, *run, run->hooks);
        search.Search(pattern, folder, text);
        run->stop.Reset();
        run->onDialog([](CFindFilesDialog &d) { d.SetButtonText(kStart); });
        if (run->hooks.atEnd)
            run->hooks.atEnd(run->stop);
        run->ended.store(true);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [run] {
            if (run->dialog && run->dialog->m_endWait)
                run->dialog->m_endWait->quit();
        }, Qt::QueuedConnection);
    }
};

CFindFilesDialog::CFindFilesDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("findFiles"));
    setProperty("templateId", ids::IDD_FIND_FILES);
    setWindowTitle(QStringLiteral("Find Files"));
    setModal(true);
    const DialogUnits units(font());
    setFixedSize(units.toPixels(136, 151));

    // Created in tab order: the three edits, then the buttons and the list.
    for (const Label &label : kLabels) {
        auto *text = new QLabel(QString::fromLatin1(label.text), this);
        text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const QRect r = label.rect;
        QRect pixels = units.toPixels(r.x(), r.y(), r.width(), r.height());
        // Right-aligned: a text wider than its place grows to the left.
        pixels.setLeft(qMax(0, qMin(pixels.left(), pixels.right() + 1 - text->sizeHint().width())));
        pixels.setHeight(qMax(pixels.height(), text->sizeHint().height()));
        text->setGeometry(pixels);
    }
    m_editFileName = addEdit(this, "filename", ids::IDC_FIND_FILENAME);
    place(m_editFileName, units, 49, 1, 86, 14);
    m_editDirectory = addEdit(this, "directory", ids::IDC_FIND_DIRECTORY);
    place(m_editDirectory, units, 49, 17, 86, 14);
    m_editContaining = addEdit(this, "containing", ids::IDC_FIND_CONTAINING);
    place(m_editContaining, units, 49, 33, 86, 14);

    m_btnStartStop = new QPushButton(kStart, this);
    m_btnStartStop->setObjectName(QStringLiteral("startStop"));
    m_btnStartStop->setProperty("controlId", ids::IDC_FIND_START_STOP);
    m_btnStartStop->setDefault(true);
    place(m_btnStartStop, units, 1, 50, 50, 14);
    connect(m_btnStartStop, &QPushButton::clicked, this, &CFindFilesDialog::OnStartStop);

    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    place(cancel, units, 85, 50, 50, 14);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_listResults = new CFileListCtrl(this);
    m_listResults->setObjectName(QStringLiteral("results"));
    m_listResults->setProperty("controlId", ids::IDC_FIND_RESULTS);
    m_listResults->setGeometry(units.toPixels(1, 66, 134, 84));
}

CFindFilesDialog::~CFindFilesDialog()
{
    // The list and the button are deleted after this body: the worker must
    // be gone before.
    KillSearchThread();
    if (m_nTimer != 0)
        killTimer(m_nTimer);
}

void CFindFilesDialog::showEvent(QShowEvent *event)
{
    if (!m_bInitialised) {
        m_bInitialised = true;
        UpdateData(false);
        m_editFileName->setFocus(Qt::OtherFocusReason);
    }
    QDialog::showEvent(event);
}

void CFindFilesDialog::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strFileName = m_editFileName->text();
        m_strDirectory = m_editDirectory->text();
        m_strContaining = m_editContaining->text();
    } else {
        m_editFileName->setText(m_strFileName);
        m_editDirectory->setText(m_strDirectory);
        m_editContaining->setText(m_strContaining);
    }
}

bool CFindFilesDialog::IsSearchRunning() const
{
    return m_run && !m_run->ended.load();
}

void CFindFilesDialog::OnStartStop()
{
    if (m_btnStartStop->text() == kStart) {
        if (IsSearchRunning()) {
            // The last search has set "Start" but not yet ended: begin the
            // new one from the timer once it has.
            m_run->stop.Set();
            if (m_nTimer == 0) {
                m_bRestart = true;
                m_nTimer = startTimer(kRestartIntervalMs);
            }
            return;
        }
        UpdateData(true);
        m_listResults->DeleteAllItems();
        SetButtonText(kStop);
        StartSearchThread();
    } else if (IsSearchRunning()) {
        m_run->stop.Set(); // the worker sets "Start" as it ends
        LetGoUnlessEnded();
    } else {
        SetButtonText(kStart);
    }
}

void CFindFilesDialog::timerEvent(QTimerEvent *event)
{
    if (m_nTimer != 0 && event->timerId() == m_nTimer && !IsSearchRunning()) {
        killTimer(m_nTimer);
        m_nTimer = 0;
        if (m_bRestart) {
            // The fields read at the last Start are searched again.
            m_listResults->DeleteAllItems();
            SetButtonText(kStop);
            StartSearchThread();
            m_bRestart = false;
        }
    }
    QDialog::timerEvent(event);
}

void CFindFilesDialog::StartSearchThread()
{
    // A new run, so that a Stop or a Cancel in the worker's first instant
    // is not lost, and nothing of the last worker's is shared.
    LetGo();
    m_run = std::make_shared<SearchRun>();
    m_run->dialog = this;
    m_run->hooks = m_hooks;
    // The strings are copied now: later edits do not change this search.
    std::thread(SearchRun::work, m_run, m_strFileName, m_strDirectory, m_strContaining).detach();
}

void CFindFilesDialog::LetGoUnlessEnded()
{
    QTimer::singleShot(kLetGoMs, this, [this, run = std::weak_ptr<SearchRun>(m_run)] {
        const std::shared_ptr<SearchRun> asked = run.lock();
        if (asked && asked == m_run && IsSearchRunning()) {
            LetGo();
            SetButtonText(kStart); // as the worker would have
        }
    });
}

void CFindFilesDialog::LetGo()
{
    if (m_run)
        m_run->dialog = nullptr;
    m_run.reset();
}

bool CFindFilesDialog::KillSearchThread()
{
    if (!m_run)
        return true;
    m_run->stop.Set();
    // No restart while (or after) the worker ends.
    if (m_nTimer != 0)
        killTimer(m_nTimer);
    m_nTimer = 0;
    m_bRestart = false;
    // The worker may be inside a blocking call into the list or the
    // button: keep running events until it has ended, or let it go when it
    // does not end soon. A close arriving meanwhile may end it here first.
    if (IsSearchRunning()) {
        QEventLoop wait;
        QTimer::singleShot(kLetGoMs, &wait, &QEventLoop::quit);
        QEventLoop *outer = std::exchange(m_endWait, &wait);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
        m_endWait = outer;
    }
    LetGo();
    return true;
}

void CFindFilesDialog::done(int result)
{
    KillSearchThread();
    QDialog::done(result);
}

void CFindFilesDialog::SetButtonText(const QString &text)
{
    m_btnStartStop->setText(text);
}

bool CFindFilesDialog::AddResult(const QString &path, const platform::FindData *data)
{
    const int row = m_listResults->InsertItem(m_listResults->GetItemCount(), path);
    if (row < 0)
        return false;
    if (data)
        m_listResults->AddFoundFile(row, path, *data);
    return true;
}
