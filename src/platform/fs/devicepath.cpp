#include "devicepath.h"

#include "devicepathparts.h"
#include "platform/base/lasterror.h"

#include <QDir>
#include <QFile>

#include <mutex>

#include <sys/stat.h>
#include <cerrno>

namespace platform {

namespace {

constexpr char16_t kMappedBackslash = 0xF05C;
constexpr char16_t kEscapeBase = 0xDC00; // U+DC80..U+DCFF stand for bytes 0x80..0xFF

struct Root {
    std::mutex mutex;
    QString text = QStringLiteral("/");
    QByteArray host = QByteArrayLiteral("/");
};

Root &root()
{
    static Root r;
    return r;
}

// Length of the valid UTF-8 sequence at p (1..4), or 0 when the byte there
// does not start one. cp gets the decoded code point.
int utf8Sequence(const uchar *p, qsizetype left, char32_t &cp)
{
    const uchar c = p[0];
    int len;
    char32_t min;
    if ((c & 0xE0) == 0xC0) {
        len = 2; cp = c & 0x1F; min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3; cp = c & 0x0F; min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4; cp = c & 0x07; min = 0x10000;
    } else {
        return 0;
    }
    if (left < len)
        return 0;
    for (int k = 1; k < len; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// Encodes UTF-16 to host bytes. Lone surrogates U+DC80..U+DCFF become the byte
// they stand for; other lone surrogates cannot be encoded (ok = false).
QByteArray encode(QStringView text, bool mapBackslash, bool *ok)
{
    QByteArray out(text.size() * 3, Qt::Uninitialized);
    char *o = out.data();
    const char16_t *s = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    bool good = true;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = s[i];
        if (u < 0x80) {
            *o++ = char(u);
        } else if (u < 0x800) {
            *o++ = char(0xC0 | (u >> 6));
            *o++ = char(0x80 | (u & 0x3F));
        } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            const char32_t cp = 0x10000 + ((char32_t(u - 0xD800) << 10) | (s[i + 1] - 0xDC00));
            ++i;
            *o++ = char(0xF0 | (cp >> 18));
            *o++ = char(0x80 | ((cp >> 12) & 0x3F));
            *o++ = char(0x80 | ((cp >> 6) & 0x3F));
            *o++ = char(0x80 | (cp & 0x3F));
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            *o++ = char(u - kEscapeBase);
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            good = false;
            *o++ = char(0xEF); // U+FFFD, so the result is at least readable
            *o++ = char(0xBF);
            *o++ = char(0xBD);
        } else if (mapBackslash && u == kMappedBackslash) {
            *o++ = '\\';
        } else {
            *o++ = char(0xE0 | (u >> 12));
            *o++ = char(0x80 | ((u >> 6) & 0x3F));
            *o++ = char(0x80 | (u & 0x3F));
        }
    }
    out.truncate(o - out.constData());
    if (ok)
        *ok = good;
    return out;
}

// Splits a host path at slashes and resolves "." and ".." by name.
// False when ".." would climb above "/".
bool cleanHostComponents(const QByteArray &path, QList<QByteArray> &out)
{
    out.clear();
    for (const QByteArray &part : path.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (out.isEmpty())
                return false;
            out.removeLast();
            continue;
        }
        out.append(part);
    }
    return true;
}

QByteArray joinHost(const QList<QByteArray> &parts)
{
    if (parts.isEmpty())
        return QByteArrayLiteral("/");
    QByteArray path;
    for (const QByteArray &part : parts) {
        path += '/';
        path += part;
    }
    return path;
}

} // namespace

bool setDeviceRoot(const QString &hostFolder)
{
    bool ok = true;
    QByteArray host = encode(hostFolder, false, &ok);
    if (!ok || hostFolder.isEmpty() || host.contains('\0'))
        return failWith(EINVAL, QStringLiteral("Set device root \"%1\": invalid folder name").arg(hostFolder));
    if (!host.startsWith('/'))
        host = QFile::encodeName(QDir::currentPath()) + '/' + host;
    QList<QByteArray> parts;
    if (!cleanHostComponents(host, parts))
        parts.clear();
    host = joinHost(parts);

    struct stat st;
    int err = 0;
    if (::stat(host.constData(), &st) != 0)
        err = errno;
    else if (!S_ISDIR(st.st_mode))
        err = ENOTDIR;
    if (err != 0)
        return failWithErrno(err, QStringLiteral("Set device root \"%1\"").arg(hostFolder));
    Root &r = root();
    std::lock_guard lock(r.mutex);
    r.host = host;
    r.text = deviceNameFromHost(host).replace(QChar(kMappedBackslash), QLatin1Char('\\'));
    clearLastError();
    return true;
}

QString deviceRoot()
{
    Root &r = root();
    std::lock_guard lock(r.mutex);
    return r.text;
}

QString deviceNameFromHost(const QByteArray &hostName)
{
    QString name;
    detail::deviceNameFromHost(hostName.constData(), hostName.size(), name);
    return name;
}

QByteArray hostNameFromDevice(const QString &deviceName)
{
    return encode(deviceName, true, nullptr);
}

bool isValidDevicePath(const QString &devicePath)
{
    const char16_t *s = reinterpret_cast<const char16_t *>(devicePath.utf16());
    const qsizetype n = devicePath.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = s[i];
        if (u == '/' || u == 0)
            return false;
        if (u < 0xD800 || u > 0xDFFF || (u >= 0xDC80 && u <= 0xDCFF))
            continue;
        // A surrogate pair is a character; any other lone surrogate has no host form.
        if (u <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

QByteArray hostPathFromDevice(const QString &devicePath)
{
    QList<QByteArray> parts;
    if (!detail::hostComponents(devicePath, parts))
        return {};
    QByteArray path = detail::hostRoot();
    for (const QByteArray &part : parts) {
        if (!path.endsWith('/'))
            path += '/';
        path += part;
    }
    return path;
}

QString devicePathFromHost(const QByteArray &hostPath)
{
    if (!hostPath.startsWith('/') || hostPath.contains('\0'))
        return {};
    QList<QByteArray> parts;
    if (!cleanHostComponents(hostPath, parts))
        return {};
    QList<QByteArray> rootParts;
    cleanHostComponents(detail::hostRoot(), rootParts);
    if (parts.size() < rootParts.size())
        return {};
    for (qsizetype i = 0; i < rootParts.size(); ++i)
        if (parts.at(i) != rootParts.at(i))
            return {};
    if (parts.size() == rootParts.size())
        return QStringLiteral("\\");
    QString path;
    for (qsizetype i = rootParts.size(); i < parts.size(); ++i) {
        path += QLatin1Char('\\');
        path += deviceNameFromHost(parts.at(i));
    }
    return path;
}

namespace detail {

namespace {

// Decodes host bytes as UTF-8 into out, reusing its buffer when it can.
// Bytes that are not valid UTF-8 become U+DC80..U+DCFF. For a device name a
// backslash becomes U+F05C, and a real U+F05C stays escaped byte by byte so
// that it is not taken for a backslash on the way back.
void decodeHost(const char *hostName, qsizetype n, bool deviceName, QString &out)
{
    const uchar *p = reinterpret_cast<const uchar *>(hostName);
    out.resize(n); // never more units than bytes
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    char16_t *const begin = o;
    for (qsizetype i = 0; i < n;) {
        const uchar c = p[i];
        if (c < 0x80) {
            *o++ = deviceName && c == '\\' ? kMappedBackslash : char16_t(c);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int len = utf8Sequence(p + i, n - i, cp);
        if (len == 0 || (deviceName && cp == kMappedBackslash)) {
            *o++ = char16_t(kEscapeBase + c);
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            *o++ = char16_t(0xD800 + ((cp - 0x10000) >> 10));
            *o++ = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            *o++ = char16_t(cp);
        }
        i += len;
    }
    out.truncate(o - begin);
}

} // namespace

void deviceNameFromHost(const char *hostName, qsizetype n, QString &out)
{
    decodeHost(hostName, n, true, out);
}

QByteArray hostRoot()
{
    Root &r = root();
    std::lock_guard lock(r.mutex);
    return r.host;
}

bool hostComponents(const QString &devicePath, QList<QByteArray> &out)
{
    out.clear();
    if (!isValidDevicePath(devicePath))
        return false;
    qsizetype start = 0;
    const qsizetype n = devicePath.size();
    while (start <= n) {
        qsizetype end = devicePath.indexOf(QLatin1Char('\\'), start);
        if (end < 0)
            end = n;
        const QStringView name = QStringView(devicePath).mid(start, end - start);
        start = end + 1;
        if (name.isEmpty() || name == u".")
            continue;
        if (name == u"..") {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out.append(encode(name, true, nullptr));
    }
    return true;
}

} // namespace detail

QByteArray bytesFromText(const QString &text)
{
    return encode(text, false, nullptr);
}

QString textFromBytes(const QByteArray &bytes)
{
    QString text;
    detail::decodeHost(bytes.constData(), bytes.size(), false, text);
    return text;
}

} // namespace platform
