#include "cfilelistdelegate.h"

#include "visiblename.h"

#include <QLineEdit>

CFileListDelegate::CFileListDelegate(CommitHandler onCommit, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_onCommit(std::move(onCommit))
{
}

void CFileListDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setText(index.data(Qt::EditRole).toString());
        line->selectAll();
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void CFileListDelegate::setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &) const
{
    QString text;
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        text = line->text();
    else
        text = editor->property("text").toString();
    if (m_onCommit)
        m_onCommit(text);
}

QString CFileListDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    if (value.userType() == QMetaType::QString)
        return visibleName(value.toString());
    return QStyledItemDelegate::displayText(value, locale);
}
