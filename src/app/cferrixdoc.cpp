#include "cferrixdoc.h"

CFerrixDoc::CFerrixDoc(QObject *parent)
    : QObject(parent)
{
}

CFerrixDoc::~CFerrixDoc() = default;

bool CFerrixDoc::OnNewDocument()
{
    return true;
}
