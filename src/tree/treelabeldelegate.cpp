#include "treelabeldelegate.h"

#include "filelist/visiblename.h"

#include <QMetaProperty>
#include <QWidget>

void TreeLabelDelegate::setModelData(QWidget *editor, QAbstractItemModel *,
                                     const QModelIndex &index) const
{
    const QMetaProperty text = editor->metaObject()->userProperty();
    Q_EMIT labelEdited(QPersistentModelIndex(index), text.read(editor).toString());
}

QString TreeLabelDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    if (value.userType() == QMetaType::QString)
        return visibleName(value.toString());
    return QStyledItemDelegate::displayText(value, locale);
}
