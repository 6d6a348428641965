#include "dialogtemplate.h"

#include "dialogunits.h"
#include "resources/dialogtemplates.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using resources::ControlKind;

QWidget *createControl(const resources::DialogControl &c, QWidget &dialog)
{
    const QString text = QString::fromUtf8(c.text);
    switch (c.kind) {
    case ControlKind::Label:
    case ControlKind::Picture: {
        auto *label = new QLabel(text, &dialog);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(c.alignment | Qt::AlignTop);
        // Statics taller than a line wrap their text, as the handheld's do.
        label->setWordWrap(c.kind == ControlKind::Label && c.height > 10);
        return label;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(text, &dialog);
    case ControlKind::Edit:
        return new QLineEdit(text, &dialog);
    case ControlKind::Button:
    case ControlKind::DefaultButton: {
        auto *button = new QPushButton(text, &dialog);
        button->setDefault(c.kind == ControlKind::DefaultButton);
        button->setAutoDefault(c.kind == ControlKind::DefaultButton);
        return button;
    }
    case ControlKind::CheckBox:
        return new CDisplayCheckBox(text, &dialog);
    case ControlKind::AutoCheckBox:
        return new QCheckBox(text, &dialog);
    }
    return nullptr;
}

} // namespace

QHash<int, QWidget *> CreateDialogControls(QWidget &dialog, int templateId)
{
    QHash<int, QWidget *> controls;
    const resources::DialogTemplate *t = resources::FindDialogTemplate(templateId);
    if (!t)
        return controls;
    const DialogUnits units(dialog.font());
    dialog.setFixedSize(units.toPixels(t->width, t->height));
    for (const resources::DialogControl &c : t->controls) {
        QWidget *w = createControl(c, dialog);
        QRect r = units.toPixels(c.x, c.y, c.width, c.height);
        // A line of text needs its font's height, however few units it has.
        if (c.kind == ControlKind::Label)
            r.setHeight(qMax(r.height(), w->fontMetrics().height()));
        w->setGeometry(r);
        if (c.id != 0) {
            w->setObjectName(QString::number(c.id));
            controls.insert(c.id, w);
        }
    }
    return controls;
}
