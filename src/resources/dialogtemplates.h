#pragma once
#include <QList>
#include <Qt>

// Dialog templates: each control's kind, id, text and rectangle in dialog
// units, as the dialogs and property pages lay themselves out.
namespace resources {

enum class ControlKind {
    Label,         // static text
    Picture,       // a bitmap static
    GroupBox,
    Edit,          // bordered, scrolling automatically
    Button,
    DefaultButton,
    CheckBox,      // shows a value, does not change when tapped
    AutoCheckBox,  // toggles when tapped
};

struct DialogControl {
    int id;                 // 0: a static the program never addresses
    ControlKind kind;
    const char *text;
    int x, y, width, height;
    Qt::Alignment alignment = Qt::AlignLeft;
};

struct DialogTemplate {
    int id;
    const char *title;      // a property page's tab text
    int width, height;
    QList<DialogControl> controls;
};

// Templates 134 (file properties), 141 (Execute File), 147 (Power),
// 149 (General) and 150 (Memory); null for any other id.
const DialogTemplate *FindDialogTemplate(int id);

} // namespace resources
