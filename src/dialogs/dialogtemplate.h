#pragma once
#include <QCheckBox>
#include <QHash>

class QWidget;

// A check box that shows a value but does not change when tapped: the
// dialog sets it, the user cannot.
class CDisplayCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

// Creates the controls of a dialog template (resources/dialogtemplates.h) on
// dialog, placed in dialog units of its font, and sizes the dialog. Each
// control's object name is its id; the map holds those with an id.
QHash<int, QWidget *> CreateDialogControls(QWidget &dialog, int templateId);
