#pragma once
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

// Edits a node's label in place but never writes the typed text into the
// node: it hands the text to the tree, which renames the folder on disk and
// changes the label only when that worked.
class TreeLabelDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

protected:
    // Labels are drawn by visibleName; nodes keep the names themselves.
    QString displayText(const QVariant &value, const QLocale &locale) const override;

Q_SIGNALS:
    void labelEdited(const QPersistentModelIndex &index, const QString &text) const;
};
