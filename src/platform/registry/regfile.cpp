#include "regfile.h"

#include "reglinereader.h"
#include "regvaluedata.h"

#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

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

bool isHeader(QStringView line)
{
    return line == u"REGEDIT4" || line == u"Windows Registry Editor Version 5.00";
}

// Why a key path is beyond the device's limits; empty when it is not.
QString keyPathProblem(const QString &path)
{
    int levels = 0;
    qsizetype nameStart = 0;
    for (qsizetype i = 0; i <= path.size() && !path.isEmpty(); ++i) {
        if (i < path.size() && path[i] != u'\\')
            continue;
        if (i - nameStart > kMaxRegKeyNameChars)
            return QStringLiteral("key name longer than %1 characters skipped").arg(kMaxRegKeyNameChars);
        if (++levels > kMaxRegKeyLevels)
            return QStringLiteral("key path deeper than %1 levels skipped").arg(kMaxRegKeyLevels);
        nameStart = i + 1;
    }
    return {};
}

// Reads logical lines (a line ending in a backslash goes on in the next
// one) into the builder; each physical line is handed in once.
class RegParser {
public:
    RegParser(RegFileContent &content, qint64 expectedBytes)
        : m_content(content), m_builder(content, expectedBytes)
    {
    }

    void feed(QStringView physical, int lineNo)
    {
        const QStringView text = physical.trimmed();
        if (!m_headerSeen) {
            if (text.isEmpty() || m_refused)
                return;
            if (!isHeader(text)) {
                warn(lineNo, QStringLiteral("not a registry export (REGEDIT4 or version 5.00 header expected)"));
                m_refused = true;
                return;
            }
            m_headerSeen = true;
            m_ansiStrings = text == u"REGEDIT4";
            return;
        }
        const bool goesOn = text.endsWith(u'\\') && !text.startsWith(u';');
        if (!m_continuing && !goesOn) {
            if (text.size() > kMaxRegLineChars)
                warn(lineNo, QStringLiteral("line longer than %1 characters skipped").arg(kMaxRegLineChars));
            else
                line(text, lineNo);
            return;
        }
        if (!m_continuing) {
            m_logical.clear();
            m_logicalLine = lineNo;
            m_tooLong = false;
        }
        if (!m_tooLong) {
            const QStringView part = goesOn ? text.chopped(1) : text;
            if (m_logical.size() + part.size() > kMaxRegLineChars) {
                m_tooLong = true;
                m_logical = QString();
            } else {
                m_logical += part;
            }
        }
        m_continuing = goesOn;
        if (!goesOn)
            endLogicalLine();
    }

    void finish()
    {
        if (m_continuing)
            endLogicalLine();
        if (!m_headerSeen && !m_refused)
            warn(1, QStringLiteral("empty file"));
        if (m_unlisted > 0)
            m_content.warnings.append(
                QStringLiteral("%1:0: %2 more lines could not be read").arg(m_content.fileName).arg(m_unlisted));
        m_builder.finish();
    }

private:
    void warn(int lineNo, const QString &reason)
    {
        if (m_content.warnings.size() >= kMaxRegWarnings) {
            ++m_unlisted;
            return;
        }
        m_content.warnings.append(QStringLiteral("%1:%2: %3").arg(m_content.fileName).arg(lineNo).arg(reason));
    }

    void endLogicalLine()
    {
        m_continuing = false;
        if (m_tooLong)
            warn(m_logicalLine, QStringLiteral("line longer than %1 characters skipped").arg(kMaxRegLineChars));
        else
            line(m_logical, m_logicalLine);
    }

    void line(QStringView text, int lineNo)
    {
        if (text.isEmpty() || text.startsWith(u';'))
            return;
        if (!text.startsWith(u'[')) {
            value(text, lineNo);
            return;
        }
        m_keyOpen = false;
        m_inSkippedKey = true;
        if (!text.endsWith(u']'))
            warn(lineNo, QStringLiteral("key name without closing bracket"));
        else
            section(text.mid(1, text.size() - 2).trimmed(), lineNo);
        m_inSkippedKey = !m_keyOpen;
    }

    void section(QStringView inner, int lineNo)
    {
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
        const QString problem = keyPathProblem(path);
        if (!problem.isEmpty()) {
            warn(lineNo, problem);
            return;
        }
        m_builder.beginKey(root, path);
        m_keyOpen = true;
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
        QString text;
        if (pos < line.size() && line[pos] == u'"') {
            if (!readQuoted(line, pos, text)) {
                warn(lineNo, QStringLiteral("unterminated string value"));
                return;
            }
            if (!atLineEnd(line, pos)) {
                warn(lineNo, QStringLiteral("unexpected text after the string value"));
                return;
            }
        } else if (line.mid(pos).trimmed() == u"-") {
            warn(lineNo, QStringLiteral("value deletion ignored"));
            return;
        } else {
            RegValueData data;
            if (!parseRegValueData(line.mid(pos), &data)) {
                warn(lineNo, QStringLiteral("unrecognised value data"));
                return;
            }
            if (!m_keyOpen) {
                if (!m_inSkippedKey)
                    warn(lineNo, QStringLiteral("value outside of a key"));
                return;
            }
            if (!regValueDataAsString(data, m_ansiStrings, &text)) {
                warn(lineNo, QStringLiteral("%1 value skipped: not a string").arg(regValueTypeName(data.type)));
                return;
            }
        }
        if (!m_keyOpen) {
            if (!m_inSkippedKey)
                warn(lineNo, QStringLiteral("value outside of a key"));
            return;
        }
        if (text.size() > kMaxRegValueChars) {
            warn(lineNo, QStringLiteral("string value longer than %1 characters skipped").arg(kMaxRegValueChars));
            return;
        }
        m_builder.addValue(name.toCaseFolded(), text);
    }

    RegFileContent &m_content;
    RegContentBuilder m_builder;
    bool m_headerSeen = false;
    bool m_refused = false;
    bool m_ansiStrings = false;  // REGEDIT4 writes hex strings in the ANSI code page
    bool m_keyOpen = false;
    bool m_inSkippedKey = false; // values of a key that was skipped are dropped quietly
    bool m_continuing = false;
    bool m_tooLong = false;
    QString m_logical;
    int m_logicalLine = 0;
    int m_unlisted = 0;
};

} // namespace

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
    RegParser parser(content, text.size());
    int lineNo = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        parser.feed(QStringView(text).mid(start, end - start), ++lineNo);
        start = end + 1;
    }
    parser.finish();
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

    RegParser parser(content, st.st_size);
    RegLineReader reader(fd, kMaxRegLineChars);
    QString line;
    int lineNo = 0;
    while (reader.next(&line))
        parser.feed(line, ++lineNo);
    if (reader.failed())
        return refuse(QString::fromLocal8Bit(std::strerror(reader.error())));
    parser.finish();
    return content;
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
