#pragma once
#include "platform/base/finddata.h"

#include <QByteArray>

// The user.DOSATTRIB extended attribute as Samba and the kernel's SMB server
// keep it: a NUL-terminated hex string ("0x22"), optionally followed by an
// NDR blob (versions 3 to 5) holding the attribute word and a creation time.
namespace platform::detail {

inline constexpr char kDosAttribName[] = "user.DOSATTRIB";

struct DosAttrib {
    bool valid = false;       // a value that could be read
    bool present = false;     // some value is stored, readable or not
    quint32 attributes = 0;   // every bit as stored
    int blobVersion = 0;      // 3..5 when an NDR blob follows the hex string
    FileTime createTime = 0;  // from the blob, 0 when it holds none
};

DosAttrib parseDosAttrib(const char *data, qsizetype size);

// The value to store: the hex string alone, or, when oldValue carries a blob,
// the blob with only its attribute word (and the hex string) changed.
QByteArray makeDosAttrib(const QByteArray &oldValue, quint32 attributes);

} // namespace platform::detail
