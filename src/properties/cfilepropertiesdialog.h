#pragma once
#include <QDialog>
#include <QHash>
#include <QPixmap>

#include <array>

// One file's or folder's name, size, free space of its store, time stamps
// and attributes; OK writes the changeable attributes back when they
// differ from what was read.
class CFilePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit CFilePropertiesDialog(QWidget *parent = nullptr);
    ~CFilePropertiesDialog() override;

    // Shows path (a trailing backslash dropped) modally; the dialog's result.
    virtual int ShowProperties(const QString &path);

    // Reads the entry and fills the controls; ShowProperties does this
    // before the dialog appears.
    void OnInitDialog();
    const QString &GetPath() const { return m_strPath; }

    // The check boxes in the order their values are kept, with the
    // attribute bit each stands for (0: always unchecked).
    struct AttributeBox {
        int id;
        quint32 bit;
    };
    static const std::array<AttributeBox, 12> kBoxes;

protected:
    void accept() override; // OK

private:
    void UpdateData(bool save);

    QHash<int, QWidget *> m_controls;
    QString m_strName;
    QString m_strSize;
    QString m_strFree;
    QString m_strCreated;
    QString m_strModified;
    QString m_strOpened;
    std::array<int, 12> m_nChecks {};
    QString m_strPath;
    QPixmap m_bitmap;
    quint32 m_dwAttributes = 0xFFFFFFFF;
};
