#pragma once
#include <QStyledItemDelegate>

#include <functional>

// Draws a row's texts so that no name can pass for another, and edits a
// row's name in place. The editor never writes the model: the
// text it ends with goes to the list, which renames the file and lists the
// folder again (or keeps the old text when that fails).
class CFileListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using CommitHandler = std::function<void(const QString &newText)>;

    CFileListDelegate(CommitHandler onCommit, QObject *parent);

    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

protected:
    // Names are drawn by visibleName; the rows keep the names themselves.
    QString displayText(const QVariant &value, const QLocale &locale) const override;

private:
    CommitHandler m_onCommit;
};
