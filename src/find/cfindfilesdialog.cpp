#include "cfindfilesdialog.h"

#include "dialogs/dialogunits.h"
#include "filelist/cfilelistctrl.h"
#include "resources/resourceids.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimerEvent>

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
    return m_hThread && m_hThread->isRunning();
}

void CFindFilesDialog::OnStartStop()
{
    if (m_btnStartStop->text() == kStart) {
        if (IsSearchRunning()) {
            // The last search has set "Start" but not yet ended: begin the
            // new one from the timer once it has.
            m_pStopEvent.Set();
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
        m_pStopEvent.Set(); // the worker sets "Start" as it ends
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
    if (m_hThread) {
        m_hThread->wait(); // it has ended: only its object is left
        delete m_hThread;
        m_hThread = nullptr;
    }
    // Reset here rather than by the worker, so that a Stop or a Cancel in
    // the worker's first instant is not lost.
    m_pStopEvent.Reset();
    m_bThreadEnded = false;
    const int generation = ++m_nGeneration;
    // The strings are copied now: later edits do not change this search.
    m_hThread = QThread::create([this, pattern = m_strFileName, folder = m_strDirectory,
                                 text = m_strContaining] {
        CFileSearch search(m_pStopEvent, *this, m_hooks);
        search.Search(pattern, folder, text);
        m_pStopEvent.Reset();
        SetButtonText(kStart);
        if (m_hooks.atEnd)
            m_hooks.atEnd(m_pStopEvent);
    });
    // The last worker's signal may arrive after this one has started: only
    // this worker's own end counts.
    connect(m_hThread, &QThread::finished, this, [this, generation] {
        if (generation == m_nGeneration)
            m_bThreadEnded = true;
    });
    m_hThread->start();
}

bool CFindFilesDialog::KillSearchThread()
{
    if (!m_hThread)
        return true;
    m_pStopEvent.Set();
    // No restart while (or after) the worker ends.
    if (m_nTimer != 0)
        killTimer(m_nTimer);
    m_nTimer = 0;
    m_bRestart = false;
    // The worker may be inside a blocking call into the list or the
    // button: keep running events until its finished signal has come. A
    // close arriving meanwhile may end it here first.
    while (m_hThread && !m_bThreadEnded)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    if (!m_hThread)
        return true;
    m_hThread->wait();
    delete m_hThread;
    m_hThread = nullptr;
    return true;
}

void CFindFilesDialog::done(int result)
{
    KillSearchThread();
    QDialog::done(result);
}

void CFindFilesDialog::SetButtonText(const QString &text)
{
    if (QThread::currentThread() == thread())
        m_btnStartStop->setText(text);
    else
        QMetaObject::invokeMethod(m_btnStartStop, [this, text] { m_btnStartStop->setText(text); },
                                  Qt::BlockingQueuedConnection);
}

bool CFindFilesDialog::AddResult(const QString &path)
{
    const int row = m_listResults->InsertItem(m_listResults->GetItemCount(), path);
    if (row < 0)
        return false;
    m_listResults->AddFoundFile(row, path);
    return true;
}
