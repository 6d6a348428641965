#pragma once
#include <QtGlobal>

// File attribute bits as the handheld's file system reports them.
namespace platform {

constexpr quint32 FILE_ATTRIBUTE_READONLY = 0x1;
constexpr quint32 FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr quint32 FILE_ATTRIBUTE_SYSTEM = 0x4;
constexpr quint32 FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr quint32 FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr quint32 FILE_ATTRIBUTE_INROM = 0x40;
constexpr quint32 FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr quint32 FILE_ATTRIBUTE_TEMPORARY = 0x100;
constexpr quint32 FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
constexpr quint32 FILE_ATTRIBUTE_COMPRESSED = 0x800;
constexpr quint32 FILE_ATTRIBUTE_ROMSTATICREF = 0x1000;
constexpr quint32 FILE_ATTRIBUTE_ROMMODULE = 0x2000;

constexpr quint32 INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// Bits kept in the user.DOSATTRIB extended attribute rather than derived
// from the POSIX mode (hidden is both: a dot name, or stored).
constexpr quint32 kStoredAttributeMask = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
    | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_INROM | FILE_ATTRIBUTE_TEMPORARY
    | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_ROMSTATICREF | FILE_ATTRIBUTE_ROMMODULE;

// A folder also keeps read-only there: on a folder it is a mark, never a
// permission.
constexpr quint32 storedAttributeMask(bool folder)
{
    return kStoredAttributeMask | (folder ? FILE_ATTRIBUTE_READONLY : 0);
}

} // namespace platform
