#pragma once
#include <QList>
#include <QMessageBox>

// How a numeric message box type looks as a QMessageBox.
namespace platform {

constexpr unsigned MB_ABORTRETRYIGNORE = 0x2, MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr int IDABORT = 3, IDRETRY = 4, IDIGNORE = 5;

struct MessageBoxStyle {
    QList<QMessageBox::StandardButton> buttons; // in the order shown
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
};

MessageBoxStyle messageBoxStyle(unsigned type);
// The handheld's result for a button (IDOK ...); IDCANCEL for none.
int messageBoxResult(QMessageBox::StandardButton button);

} // namespace platform
