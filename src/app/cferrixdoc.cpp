#include "cferrixdoc.h"

#include "resources/strings.h"

CFerrixDoc::CFerrixDoc(QObject *parent)
    : QObject(parent)
{
}

CFerrixDoc::~CFerrixDoc() = default;

bool CFerrixDoc::OnNewDocument()
{
    // A new document takes the document name of the document string; it is
    // empty, so the window keeps the program's title alone.
    m_strTitle = resources::LoadDocString(resources::DocString::DocName);
    return true;
}

void CFerrixDoc::Serialize(QDataStream &)
{
}
