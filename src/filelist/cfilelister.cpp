#include "cfilelister.h"

#include "filetypes/filetypeinfo.h"
#include "platform/fs/filesystem.h"
#include "resources/images.h"
#include "resources/resourceids.h"

#include <QBitmap>
#include <QHeaderView>
#include <QTableView>

namespace {
struct ColumnLook {
    const char *heading;
    int width;
};
constexpr ColumnLook kColumns[CFileLister::ColumnCount] = {
    {"Name", 165}, {"Size", 60}, {"Type", 130}, {"Changed", 130}, {"Attrs", 50},
};
} // namespace

CFileLister::CFileLister()
    : m_strFolder(QStringLiteral("\\"))
{
}

CFileLister::~CFileLister() = default;

void CFileLister::Populate(const QString &folder, bool)
{
    m_strFolder = folder;
}

QString CFileLister::ColumnHeading(int column)
{
    if (column < 0 || column >= ColumnCount)
        return QString();
    return QString::fromLatin1(kColumns[column].heading);
}

void CFileLister::SetupColumns(QTableView &view)
{
    view.setShowGrid(false);
    view.setWordWrap(false);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setSortingEnabled(false);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView *rows = view.verticalHeader();
    rows->hide();
    // Fixed row heights keep a huge list cheap: no row is measured.
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(view.fontMetrics().height() + 4);

    QHeaderView *headings = view.horizontalHeader();
    headings->setSectionsClickable(true);
    headings->setHighlightSections(false);
    headings->setStretchLastSection(false);
    headings->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < ColumnCount; ++column)
        view.setColumnWidth(column, kColumns[column].width);

    m_imageList.remove(-1);
    m_rowTypes.clear();
    QPixmap generic = resources::LoadBitmap(ids::IDB_GENERIC_FILE);
    if (!generic.isNull())
        generic.setMask(generic.createMaskFromColor(Qt::white));
    // Image 0 exists even without artwork, so index 0 always means "generic".
    m_imageList.replaceIcon(-1, generic.isNull() ? QIcon() : QIcon(generic));
    m_nBaseImageCount = m_imageList.count();
}

bool CFileLister::TrimImageList()
{
    while (m_imageList.count() > m_nBaseImageCount) {
        if (!m_imageList.remove(m_imageList.count() - 1))
            break;
    }
    m_rowTypes.clear();
    return m_imageList.count() == m_nBaseImageCount;
}

const CFileLister::RowType &CFileLister::LookupRowType(const QString &fullPath, const QString &name, bool folder)
{
    FileTypeInfo info;
    info.SetPath(fullPath);
    info.SetFolder(folder);
    QString key = info.GetExtension();
    if (key.isEmpty())
        key = QLatin1Char('/') + name; // no extension: the icon may still depend on the name
    if (folder)
        key.prepend(QLatin1Char('\\')); // no name holds one

    auto found = m_rowTypes.constFind(key);
    if (found != m_rowTypes.constEnd())
        return *found;

    if (m_rowTypes.size() >= kMaxRowTypes)
        TrimImageList();

    RowType type;
    type.text = info.GetTypeText();
    int index = 0;
    info.AddSmallIcon(m_imageList, &index, 0);
    type.image = index < 1 ? 0 : index;
    return *m_rowTypes.insert(key, type);
}

bool CFileLister::RenameFile(const QString &oldPath, const QString &newPath)
{
    return platform::moveFile(oldPath, newPath);
}

bool CFileLister::IsDevicePathText(const QString &text)
{
    return !text.isEmpty() && !text.contains(QLatin1Char('/')) && !text.contains(QChar(0));
}

QString CFileLister::JoinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('\\') + name;
}
