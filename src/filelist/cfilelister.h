#pragma once
#include "platform/base/finddata.h"
#include "platform/shell/imagelist.h"

#include <QHash>
#include <QIcon>
#include <QString>

class QTableView;

// The listing core shared by the list pane and the Find Files result list:
// the folder shown, the small-icon image list and the sort state of the text
// sort.
class CFileLister {
public:
    CFileLister();
    virtual ~CFileLister();
    CFileLister(const CFileLister &) = delete;
    CFileLister &operator=(const CFileLister &) = delete;

    // Lists folder into the control. A lister without a listing of its own
    // (the result list, filled by its dialog) only takes the folder.
    virtual void Populate(const QString &folder, bool force);

    void ShowFolder(const QString &folder, bool force) { Populate(folder, force); }
    void Refresh() { Populate(QString(m_strFolder), true); }
    const QString &GetFolder() const { return m_strFolder; }

    // Drops the images added for rows; true when only the base images remain.
    bool TrimImageList();
    const platform::ImageList &GetImageList() const { return m_imageList; }
    int GetBaseImageCount() const { return m_nBaseImageCount; }

    static bool RenameFile(const QString &oldPath, const QString &newPath);
    // What an in-place edit may rename a file to: any text that can be part
    // of a device path. A backslash is the device's separator, so
    // "sub\b.txt" moves the file into the folder's subfolder sub; a slash or
    // a NUL can never be.
    static bool IsDevicePathText(const QString &text);
    // folder + "\" (unless folder already ends with one) + name.
    static QString JoinPath(const QString &folder, const QString &name);

    // The five columns and their headings, in column order.
    enum Column { ColName, ColSize, ColType, ColChanged, ColAttrs, ColumnCount };
    static QString ColumnHeading(int column);

protected:
    // Headings' widths and alignment and row looks of view, the control
    // being filled, and the image list with the generic file image as image
    // 0. Runs once the control has its model.
    void SetupColumns(QTableView &view);

    // Type text and image index of a row's file. Both depend only on the
    // file's extension (or, without one, its name), so they are looked up
    // once per key and kept: drawing the same rows again adds no images. The
    // cache is bounded; when it overflows it starts afresh together with the
    // image list, so memory stays flat however many rows are drawn.
    struct RowType {
        QString text;
        int image = 0;
    };
    // Rows are drawn on the UI thread: what a row is comes from its listing,
    // never from the disk.
    const RowType &LookupRowType(const QString &fullPath, const QString &name, bool folder);

    QString m_strFolder;
    platform::ImageList m_imageList;
    int m_nBaseImageCount = 0;
    quint32 m_nSortState = 0;

private:
    static constexpr int kMaxRowTypes = 256;
    QHash<QString, RowType> m_rowTypes;
};
