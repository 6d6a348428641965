#include "cfilelister.h"

CFileLister::CFileLister()
    : m_strFolder(QStringLiteral("\\"))
{
}

CFileLister::~CFileLister() = default;
