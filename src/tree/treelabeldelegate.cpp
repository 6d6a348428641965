#include "treelabeldelegate.h"

#include <QMetaProperty>
#include <QWidget>

void TreeLabelDelegate::setModelData(QWidget *editor, QAbstractItemModel *,
                                     const QModelIndex &index) const
{
    const QMetaProperty text = editor->metaObject()->userProperty();
    Q_EMIT labelEdited(QPersistentModelIndex(index), text.read(editor).toString());
}
