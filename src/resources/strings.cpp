#include "strings.h"

#include "resourceids.h"

#include <QHash>

namespace resources {

namespace {
const QHash<int, QString> &table()
{
    static const QHash<int, QString> strings = {
        {ids::IDR_MAINFRAME,
         QStringLiteral("Ferrix\n\nFerrix\n\n\nFerrix.Document\nFerrix Document")},
        {ids::IDS_WEBSITE, QStringLiteral("https://ferrix.example.org/")},
        {ids::ID_EDIT_CUT, QStringLiteral("Cut the selection and put it on the Clipboard\nCut")},
        {ids::ID_EDIT_COPY, QStringLiteral("Copy the selection and put it on the Clipboard\nCopy")},
        {ids::ID_EDIT_PASTE, QStringLiteral("Insert Clipboard contents\nPaste")},
        {ids::ID_FILE_DELETE, QStringLiteral("Delete the file or folder\nDelete")},
        {ids::ID_NEW_FOLDER, QStringLiteral("Create a new folder\nNew Folder")},
        {ids::ID_PROPERTIES, QStringLiteral("Show the properties\nProperties")},
        {ids::ID_REFRESH, QStringLiteral("Refresh the views\nRefresh")},
        {ids::ID_SEND_IR, QStringLiteral("Send file(s) using the HPC compatible infra red\nSend IR")},
        {ids::ID_RECEIVE_IR,
         QStringLiteral("Receive file(s) using the HPC compatible infra red\nReceive IR")},
        {ids::ID_PASTE_SHORTCUT, QStringLiteral("Paste a shortcut\nPaste shortcut")},
        {ids::ID_PASTE_IN_MENU, QStringLiteral("Paste a shortcut in the start menu\nPaste in Menu")},
        {ids::ID_FIND, QStringLiteral("Find Files\nFind")},
        {ids::ID_TOGGLE_TOOLBAR,
         QStringLiteral("Toggle between toolbar and menubar\nToggle toolbar")},
    };
    return strings;
}
} // namespace

QString LoadString(int id)
{
    return table().value(id);
}

QString StringField(const QString &text, int field)
{
    return text.section(QLatin1Char('\n'), field, field);
}

QString LoadDocString(DocString field)
{
    return StringField(LoadString(ids::IDR_MAINFRAME), int(field));
}

} // namespace resources
