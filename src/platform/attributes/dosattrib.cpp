#include "dosattrib.h"

#include <cstring>

namespace platform::detail {

namespace {

constexpr quint32 kValidAttrib = 0x1;      // XATTR_DOSINFO_ATTRIB
constexpr quint32 kValidCreateTime = 0x10; // XATTR_DOSINFO_CREATE_TIME

quint16 u16(const char *p)
{
    const auto *b = reinterpret_cast<const uchar *>(p);
    return quint16(b[0] | (b[1] << 8));
}

quint32 u32(const char *p)
{
    const auto *b = reinterpret_cast<const uchar *>(p);
    return quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
}

quint64 u64(const char *p)
{
    return quint64(u32(p)) | (quint64(u32(p + 4)) << 32);
}

void putU16(QByteArray &out, quint16 v)
{
    out += char(v & 0xFF);
    out += char(v >> 8);
}

void putU32(char *p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

qsizetype align(qsizetype offset, int to)
{
    return (offset + to - 1) / to * to;
}

// Where the blob's body (valid_flags, attrib, ...) starts, or -1 when the
// value holds no blob of a version we know. NDR: the string, the version and
// the union's level as 16-bit words, the body aligned to 4.
qsizetype blobBody(const char *data, qsizetype size, qsizetype hexLength, int *version)
{
    qsizetype offset = align(hexLength + 1, 2);
    if (offset + 4 > size)
        return -1;
    const quint16 v = u16(data + offset);
    const quint16 level = u16(data + offset + 2);
    if (v < 3 || v > 5 || level != v)
        return -1;
    offset = align(offset + 4, 4);
    if (offset + 8 > size)
        return -1;
    *version = v;
    return offset;
}

// Offset of create_time inside the body. Version 3 carries ea_size, size and
// alloc_size before it; versions 4 and 5 an itime when the body has room for one.
qsizetype createTimeOffset(int version, qsizetype bodySize)
{
    if (version == 3)
        return 28;
    return bodySize >= 24 ? 16 : 8;
}

bool parseHex(const char *data, qsizetype length, quint32 *value)
{
    qsizetype i = 0;
    if (length >= 2 && data[0] == '0' && (data[1] == 'x' || data[1] == 'X'))
        i = 2;
    if (i == length || length - i > 8)
        return false;
    quint32 v = 0;
    for (; i < length; ++i) {
        const char c = data[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        v = (v << 4) | quint32(digit);
    }
    *value = v;
    return true;
}

QByteArray hexString(quint32 attributes)
{
    return QByteArrayLiteral("0x") + QByteArray::number(attributes, 16);
}

} // namespace

DosAttrib parseDosAttrib(const char *data, qsizetype size)
{
    DosAttrib result;
    if (size <= 0)
        return result;
    result.present = true;
    const void *nul = std::memchr(data, 0, size_t(size));
    const qsizetype hexLength = nul ? static_cast<const char *>(nul) - data : size;
    quint32 hex = 0;
    const bool hexOk = parseHex(data, hexLength, &hex);
    if (nul) {
        int version = 0;
        const qsizetype body = blobBody(data, size, hexLength, &version);
        if (body >= 0) {
            const quint32 validFlags = u32(data + body);
            result.blobVersion = version;
            if (validFlags & kValidAttrib) {
                result.valid = true;
                result.attributes = u32(data + body + 4);
            }
            const qsizetype at = body + createTimeOffset(version, size - body);
            if ((validFlags & kValidCreateTime) && at + 8 <= size)
                result.createTime = u64(data + at);
        }
    }
    if (!result.valid && hexOk) {
        result.valid = true;
        result.attributes = hex;
    }
    return result;
}

QByteArray makeDosAttrib(const QByteArray &oldValue, quint32 attributes)
{
    QByteArray out = hexString(attributes);
    out += '\0';
    const char *data = oldValue.constData();
    const qsizetype size = oldValue.size();
    const void *nul = size > 0 ? std::memchr(data, 0, size_t(size)) : nullptr;
    int version = 0;
    const qsizetype body = nul ? blobBody(data, size, static_cast<const char *>(nul) - data, &version) : -1;
    if (body < 0)
        return out;
    // The new hex string may be longer or shorter: lay the blob out again.
    out.append(align(out.size(), 2) - out.size(), '\0');
    putU16(out, quint16(version));
    putU16(out, quint16(version));
    out.append(align(out.size(), 4) - out.size(), '\0');
    const qsizetype newBody = out.size();
    out.append(data + body, size - body);
    putU32(out.data() + newBody, u32(data + body) | kValidAttrib);
    putU32(out.data() + newBody + 4, attributes);
    return out;
}

} // namespace platform::detail
