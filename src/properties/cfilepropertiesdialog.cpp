#include "cfilepropertiesdialog.h"

#include "dialogs/dialogtemplate.h"
#include "filelist/rowtext.h"
#include "foldersize.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/findfile.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/waitcursor.h"
#include "platform/work/longwork.h"
#include "platform/work/readstep.h"
#include "resources/images.h"
#include "resources/resourceids.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <optional>

using namespace platform;

const std::array<CFilePropertiesDialog::AttributeBox, 12> CFilePropertiesDialog::kBoxes = {{
    {1002, FILE_ATTRIBUTE_DIRECTORY},
    {1006, FILE_ATTRIBUTE_COMPRESSED},
    {1009, FILE_ATTRIBUTE_TEMPORARY},
    {1008, FILE_ATTRIBUTE_INROM},
    {1011, FILE_ATTRIBUTE_ROMMODULE},
    {1013, FILE_ATTRIBUTE_ROMSTATICREF},
    {1003, FILE_ATTRIBUTE_ARCHIVE},
    {1007, FILE_ATTRIBUTE_SYSTEM},
    {1004, FILE_ATTRIBUTE_READONLY},
    {1005, FILE_ATTRIBUTE_HIDDEN},
    {1010, 0}, // atomic write
    {1012, 0}, // transaction write
}};

namespace {

constexpr double kPerKb = 0.0009765625;
constexpr double kPerMb = 0.00000095367431640625;

QString folderSizeText(double size)
{
    if (size < 1024)
        return QString::asprintf("%db", int(size));
    if (size < 1048576)
        return QString::asprintf("%.1fKb (%.0fb)", size * kPerKb, size);
    return QString::asprintf("%.1fMb  (%.0fb)", size * kPerMb, size);
}

QString freeSpaceText(const QString &path)
{
    quint64 available = 0, total = 0, free = 0;
    if (!getDiskFreeSpace(path, &available, &total, &free))
        return QStringLiteral("Unable to obtain");
    return QString::asprintf("A%.1fMb T%.1fMb F%.1fMb", double(available) * kPerMb,
                             double(total) * kPerMb, double(free) * kPerMb);
}

} // namespace

CFilePropertiesDialog::CFilePropertiesDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("fileProperties"));
    setModal(true);
    m_controls = CreateDialogControls(*this, ids::IDD_FILE_PROPERTIES);
    // OK runs through accept(); Cancel closes without a change.
    if (auto *ok = qobject_cast<QPushButton *>(m_controls.value(1)))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    if (auto *cancel = qobject_cast<QPushButton *>(m_controls.value(2)))
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

CFilePropertiesDialog::~CFilePropertiesDialog() = default;

int CFilePropertiesDialog::ShowProperties(const QString &path)
{
    m_strPath = path;
    if (m_strPath.endsWith(u'\\'))
        m_strPath.chop(1);
    OnInitDialog();
    return exec();
}

void CFilePropertiesDialog::OnInitDialog()
{
    m_strName = m_strPath.mid(m_strPath.lastIndexOf(u'\\') + 1);
    // The root's path is empty by now: nothing is found and nothing shown.
    const std::optional<FindData> found = m_strPath.isEmpty()
        ? std::nullopt
        : platform::readStep(m_strPath, [path = m_strPath]() -> std::optional<FindData> {
              FindData data;
              if (!findEntry(path, data))
                  return std::nullopt;
              return data;
          });
    if (found) {
        const FindData &data = *found;
        const bool folder = data.attributes & FILE_ATTRIBUTE_DIRECTORY;
        m_bitmap = resources::LoadBitmap(folder ? ids::IDB_FOLDER_PICTURE : ids::IDB_FILE_PICTURE);
        if (auto *picture = qobject_cast<QLabel *>(m_controls.value(1017)))
            picture->setPixmap(m_bitmap);
        if (folder) {
            WaitCursor wait; // a large tree takes a while
            {
                platform::LongWork work(platform::WorkKind::Measuring);
                const double size = FolderSize(m_strPath);
                // A measure cut short is a lower bound, never the folder's size.
                m_strSize = (platform::stopRequested() ? QStringLiteral("at least ") : QString()) + folderSizeText(size);
                // A step too: the folder may lie on a mount that hangs.
                m_strFree = platform::runStep([path = m_strPath] { return freeSpaceText(path); });
                if (m_strFree.isEmpty())
                    m_strFree = QStringLiteral("Unable to obtain");
            }
        } else {
            m_strSize = QString::asprintf("%.0f bytes", double(data.sizeHigh) * 4294967296.0 + double(data.sizeLow));
            m_strFree.clear();
        }
        m_strCreated = FormatChangedText(data.creationTime);
        m_strModified = FormatChangedText(data.lastWriteTime);
        m_strOpened = FormatChangedText(data.lastAccessTime);
        m_dwAttributes = data.attributes;
        for (size_t i = 0; i < kBoxes.size(); ++i)
            m_nChecks[i] = (data.attributes & kBoxes[i].bit) ? 1 : 0;
    }
    UpdateData(false);
}

void CFilePropertiesDialog::UpdateData(bool save)
{
    const std::pair<int, QString *> texts[] = {
        {1000, &m_strName}, {1001, &m_strSize}, {1018, &m_strFree},
        {1014, &m_strCreated}, {1015, &m_strModified}, {1016, &m_strOpened},
    };
    for (const auto &[id, text] : texts) {
        auto *label = qobject_cast<QLabel *>(m_controls.value(id));
        if (label && !save) {
            label->setText(*text);
            label->setToolTip(*text); // a desktop's free space may not fit
        }
    }
    for (size_t i = 0; i < kBoxes.size(); ++i) {
        auto *box = qobject_cast<QCheckBox *>(m_controls.value(kBoxes[i].id));
        if (!box)
            continue;
        if (save)
            m_nChecks[i] = box->isChecked() ? 1 : 0;
        else
            box->setChecked(m_nChecks[i] != 0);
    }
}

void CFilePropertiesDialog::accept()
{
    UpdateData(true);
    quint32 attributes = 0;
    for (size_t i = 0; i < kBoxes.size(); ++i)
        if (m_nChecks[i])
            attributes |= kBoxes[i].bit;
    // A link is marked as such by the file system, not by anything stored:
    // it takes no part in the comparison.
    const quint32 before = m_dwAttributes == 0xFFFFFFFF
        ? m_dwAttributes : m_dwAttributes & ~FILE_ATTRIBUTE_REPARSE_POINT;
    if (before != 0xFFFFFFFF && before != attributes && !setFileAttributes(m_strPath, attributes))
        messageBox(this, QStringLiteral("Failed to change attributes"), QString(), MB_ICONEXCLAMATION);
    QDialog::accept();
}
