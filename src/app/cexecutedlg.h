#pragma once
#include <QDialog>
#include <QHash>

// Execute File: starts a program, or opens any file through the shell, with
// a parameter string. It stays open after a launch; only Cancel closes it.
class CExecuteDlg : public QDialog {
    Q_OBJECT
public:
    explicit CExecuteDlg(QWidget *parent = nullptr);
    ~CExecuteDlg() override;

    // Shown in the fields when the dialog opens, read back on OK.
    QString m_strFileName;
    QString m_strParameters;
    QString m_strPath;

    // What the last launch was given: folder and file name joined.
    const QString &GetFullPath() const { return m_strFullPath; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void DoDataExchange(bool save);
    void OnOK();

    QHash<int, QWidget *> m_controls;
    QString m_strFullPath;
};
