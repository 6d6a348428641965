#pragma once
#include "commandmap.h"

#include <QObject>

class QDataStream;

// The document of the single-document frame. The program browses the file
// system and keeps no data of its own, so there is nothing to load or save.
class CFerrixDoc : public QObject {
    Q_OBJECT
public:
    explicit CFerrixDoc(QObject *parent = nullptr);
    ~CFerrixDoc() override;

    // Clears the (empty) contents for a new document; true on success.
    bool OnNewDocument();
    void Serialize(QDataStream &stream);

    // Never set: closing never asks to save.
    bool IsModified() const { return false; }
    const QString &GetTitle() const { return m_strTitle; }

    CommandMap &commands() { return m_commands; }
    const CommandMap &commands() const { return m_commands; }

private:
    QString m_strTitle;
    CommandMap m_commands;
};
