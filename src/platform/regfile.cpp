#include "regfile.h"

#include <QFile>
#include <QStringDecoder>

#include <QScopeGuard>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int rootIndex(RegRoot root) { return int(root); }

bool rootFromName(QStringView name, RegRoot *root)
{
    static const struct {
        const char *longName;
        const char *shortName;
        RegRoot root;
    } roots[] = {
        {"HKEY_CLASSES_ROOT", "HKCR", RegRoot::ClassesRoot},
        {"HKEY_LOCAL_MACHINE", "HKLM", RegRoot::LocalMachine},
        {"HKEY_CURRENT_USER", "HKCU", RegRoot::CurrentUser},
    };
    for (const auto &r : roots) {
        if (name.compare(QLatin1String(r.longName), Qt::CaseInsensitive) == 0
            || name.compare(QLatin1String(r.shortName), Qt::CaseInsensitive) == 0) {
            *root = r.root;
            return true;
        }
    }
    return false;
}

// A quoted text at pos with \" and \\ escapes; pos ends after the closing quote.
bool readQuoted(QStringView line, qsizetype &pos, QString &out)
{
    if (pos >= line.size() || line[pos] != u'"')
        return false;
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == u'"') {
            ++pos;
            return true;
        }
        if (c == u'\\' && pos + 1 < line.size() && (line[pos + 1] == u'"' || line[pos + 1] == u'\\'))
            ++pos;
        out.append(line[pos]);
    }
    return false;
}

void skipBlanks(QStringView line, qsizetype &pos)
{
    while (pos < line.size() && (line[pos] == u' ' || line[pos] == u'\t'))
        ++pos;
}

// Only blanks or a ; comment may follow a value.
bool atLineEnd(QStringView line, qsizetype pos)
{
    skipBlanks(line, pos);
    return pos >= line.size() || line[pos] == u';';
}

bool isHexDigits(QStringView text, int minDigits, int maxDigits)
{
    if (text.size() < minDigits || text.size() > maxDigits)
        return false;
    for (QChar c : text) {
        if (!c.isDigit() && !(c >= u'a' && c <= u'f') && !(c >= u'A' && c <= u'F'))
            return false;
    }
    return true;
}

// "dword:0000001f", "hex:01,02", "hex(2):41,00,00,00": checked, not kept.
bool isOtherTypedValue(QStringView data)
{
    data = data.trimmed();
    const qsizetype comment = data.indexOf(u';');
    if (comment >= 0)
        data = data.left(comment).trimmed();
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive))
        return isHexDigits(data.mid(6), 1, 8);
    QStringView bytes;
    if (data.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
        bytes = data.mid(4);
    } else if (data.startsWith(QLatin1String("hex("), Qt::CaseInsensitive)) {
        const qsizetype close = data.indexOf(QLatin1String("):"));
        if (close < 0 || !isHexDigits(data.mid(4, close - 4), 1, 8))
            return false;
        bytes = data.mid(close + 2);
    } else {
        return false;
    }
    bytes = bytes.trimmed();
    if (bytes.isEmpty())
        return true;
    for (QStringView byte : bytes.tokenize(u',')) {
        if (!isHexDigits(byte.trimmed(), 1, 2))
            return false;
    }
    return true;
}

QString decodeRegBytes(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    // REGEDIT4 files are in the ANSI code page: take UTF-8 when it is valid.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

class RegParser {
public:
    RegParser(RegFileContent &content) : m_content(content) {}

    void warn(int lineNo, const QString &reason)
    {
        m_content.warnings.append(QStringLiteral("%1:%2: %3").arg(m_content.fileName).arg(lineNo).arg(reason));
    }

    void section(QStringView inner, int lineNo)
    {
        m_current = nullptr;
        if (inner.startsWith(u'-')) {
            warn(lineNo, QStringLiteral("key deletion ignored"));
            return;
        }
        const qsizetype slash = inner.indexOf(u'\\');
        RegRoot root;
        if (!rootFromName(slash < 0 ? inner : inner.left(slash), &root)) {
            warn(lineNo, QStringLiteral("unknown root key"));
            return;
        }
        const QString path = slash < 0 ? QString() : foldRegKeyPath(inner.mid(slash + 1).toString());
        m_current = &m_content.keys[rootIndex(root)][path];
        // Parents exist as keys too, as they would in a registry.
        for (qsizetype cut = path.lastIndexOf(u'\\'); cut > 0; cut = path.lastIndexOf(u'\\', cut - 1))
            m_content.implicitKeys[rootIndex(root)].insert(path.left(cut), true);
    }

    void value(QStringView line, int lineNo)
    {
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else if (!readQuoted(line, pos, name)) {
            warn(lineNo, QStringLiteral("unterminated value name"));
            return;
        }
        skipBlanks(line, pos);
        if (pos >= line.size() || line[pos] != u'=') {
            warn(lineNo, QStringLiteral("'=' expected after the value name"));
            return;
        }
        ++pos;
        skipBlanks(line, pos);
        const QStringView data = line.mid(pos);
        if (data.startsWith(u'"')) {
            QString text;
            if (!readQuoted(line, pos, text)) {
                warn(lineNo, QStringLiteral("unterminated string value"));
                return;
            }
            if (!atLineEnd(line, pos)) {
                warn(lineNo, QStringLiteral("unexpected text after the string value"));
                return;
            }
            if (text.size() > kMaxRegValueChars) {
                warn(lineNo, QStringLiteral("string value longer than %1 characters skipped").arg(kMaxRegValueChars));
                return;
            }
            if (m_current)
                m_current->set(name.toCaseFolded(), text);
            else if (!m_inSkippedKey)
                warn(lineNo, QStringLiteral("value outside of a key"));
            return;
        }
        if (data.trimmed() == u"-") {
            warn(lineNo, QStringLiteral("value deletion ignored"));
            return;
        }
        if (!isOtherTypedValue(data)) {
            warn(lineNo, QStringLiteral("unrecognised value data"));
            return;
        }
        if (!m_current && !m_inSkippedKey)
            warn(lineNo, QStringLiteral("value outside of a key"));
    }

    void line(QStringView text, int lineNo)
    {
        if (text.isEmpty() || text.startsWith(u';'))
            return;
        if (text.startsWith(u'[')) {
            if (!text.endsWith(u']')) {
                m_current = nullptr;
                m_inSkippedKey = true;
                warn(lineNo, QStringLiteral("key name without closing bracket"));
                return;
            }
            section(text.mid(1, text.size() - 2).trimmed(), lineNo);
            m_inSkippedKey = (m_current == nullptr);
            return;
        }
        value(text, lineNo);
    }

private:
    RegFileContent &m_content;
    RegKeyValues *m_current = nullptr;
    bool m_inSkippedKey = false; // values of a key that was skipped are dropped quietly
};

bool isHeader(QStringView line)
{
    return line == u"REGEDIT4" || line == u"Windows Registry Editor Version 5.00";
}

} // namespace

const QString *RegKeyValues::find(const QString &foldedName) const
{
    for (const auto &value : values) {
        if (value.first == foldedName)
            return &value.second;
    }
    return nullptr;
}

void RegKeyValues::set(const QString &foldedName, const QString &value)
{
    for (auto &existing : values) {
        if (existing.first == foldedName) {
            existing.second = value;
            return;
        }
    }
    values.append({foldedName, value});
}

bool RegFileContent::hasKey(RegRoot root, const QString &foldedPath) const
{
    return foldedPath.isEmpty() || keys[rootIndex(root)].contains(foldedPath)
        || implicitKeys[rootIndex(root)].contains(foldedPath);
}

const RegKeyValues *RegFileContent::declaredKey(RegRoot root, const QString &foldedPath) const
{
    const auto &table = keys[rootIndex(root)];
    const auto it = table.constFind(foldedPath);
    return it == table.constEnd() ? nullptr : &it.value();
}

QString foldRegKeyPath(const QString &subKey)
{
    qsizetype begin = 0, end = subKey.size();
    while (begin < end && subKey[begin] == u'\\')
        ++begin;
    while (end > begin && subKey[end - 1] == u'\\')
        --end;
    return subKey.mid(begin, end - begin).toCaseFolded();
}

RegFileContent parseRegText(const QString &text, const QString &fileName)
{
    RegFileContent content;
    content.fileName = fileName;
    RegParser parser(content);
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    bool headerSeen = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNo = int(i + 1);
        QString logical = lines[i].trimmed().toString();
        if (!headerSeen) {
            if (logical.isEmpty())
                continue;
            if (!isHeader(logical)) {
                parser.warn(lineNo, QStringLiteral("not a registry export (REGEDIT4 or version 5.00 header expected)"));
                return content;
            }
            headerSeen = true;
            continue;
        }
        // Long hex values go on over several lines, each ending in a backslash.
        while (logical.endsWith(u'\\') && !logical.startsWith(u';') && i + 1 < lines.size()) {
            logical.chop(1);
            logical += lines[++i].trimmed();
        }
        parser.line(logical, lineNo);
    }
    if (!headerSeen)
        parser.warn(1, QStringLiteral("empty file"));
    return content;
}

RegFileContent loadRegFile(const QString &fileName)
{
    RegFileContent content;
    content.fileName = fileName;
    const auto refuse = [&](const QString &reason) {
        content.warnings.append(QStringLiteral("%1:0: cannot be read: %2").arg(fileName, reason));
        return content;
    };
    // Never blocks on a FIFO and never reads a device: regular files only.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(st.st_mode))
        return refuse(QStringLiteral("not a regular file"));
    if (st.st_size > kMaxRegFileBytes)
        return refuse(QStringLiteral("larger than %1 MB").arg(kMaxRegFileBytes >> 20));

    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refuse(QString::fromLocal8Bit(std::strerror(errno)));
        if (n == 0)
            break; // shrank meanwhile
        filled += n;
    }
    bytes.truncate(filled);
    const QString text = decodeRegBytes(bytes);
    bytes = QByteArray(); // not needed while parsing
    return parseRegText(text, fileName);
}

QByteArray fileChangeStamp(const QString &fileName)
{
    struct stat st {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return {};
    return QByteArray::number(qulonglong(st.st_dev)) + ':' + QByteArray::number(qulonglong(st.st_ino)) + ':'
        + QByteArray::number(qlonglong(st.st_size)) + ':' + QByteArray::number(qlonglong(st.st_mtim.tv_sec)) + '.'
        + QByteArray::number(qlonglong(st.st_mtim.tv_nsec)) + ':' + QByteArray::number(qlonglong(st.st_ctim.tv_sec))
        + '.' + QByteArray::number(qlonglong(st.st_ctim.tv_nsec));
}

} // namespace platform
