#pragma once
#include "commandmap.h"

#include <QObject>

// The document of the single-document frame. The program browses the file
// system and keeps no data of its own, so there is nothing to load or save.
class CFerrixDoc : public QObject {
    Q_OBJECT
public:
    explicit CFerrixDoc(QObject *parent = nullptr);
    ~CFerrixDoc() override;

    // Starts the (empty) document over; true on success. Nothing is ever
    // modified, so closing never asks to save.
    bool OnNewDocument();

    CommandMap &commands() { return m_commands; }
    const CommandMap &commands() const { return m_commands; }

private:
    CommandMap m_commands;
};
