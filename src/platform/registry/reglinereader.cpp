#include "reglinereader.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace platform {

namespace {

constexpr qsizetype kBlockBytes = 1 << 20;
constexpr qsizetype kTailBytes = 32; // how a cut line ends

} // namespace

RegLineReader::RegLineReader(int fd, qsizetype maxLineChars)
    : m_fd(fd), m_maxBytes(3 * maxLineChars + 3) // enough bytes for that many characters in any encoding
{
}

bool RegLineReader::fill()
{
    if (m_eof)
        return false;
    m_buffer.remove(0, m_pos);
    m_pos = 0;
    const qsizetype kept = m_buffer.size();
    m_buffer.resize(kept + kBlockBytes);
    ssize_t n;
    do
        n = ::read(m_fd, m_buffer.data() + kept, size_t(kBlockBytes));
    while (n < 0 && errno == EINTR);
    m_buffer.resize(kept + qMax<ssize_t>(n, 0));
    if (n < 0)
        m_error = errno;
    m_eof = n <= 0;
    return n > 0;
}

qsizetype RegLineReader::findLineBreak() const
{
    const char *data = m_buffer.constData();
    if (m_unit == 1) {
        const void *found = std::memchr(data + m_pos, '\n', size_t(m_buffer.size() - m_pos));
        return found ? static_cast<const char *>(found) - data : -1;
    }
    const int low = m_encoding == Encoding::Utf16LE ? 0 : 1;
    for (qsizetype i = m_pos; i + 1 < m_buffer.size(); i += 2) {
        if (data[i + low] == '\n' && data[i + 1 - low] == 0)
            return i;
    }
    return -1;
}

QString RegLineReader::decode(QByteArrayView bytes) const
{
    switch (m_encoding) {
    case Encoding::Utf16LE:
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes);
    case Encoding::Utf16BE:
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes);
    case Encoding::Utf8:
        return QString::fromUtf8(bytes);
    case Encoding::Bytes:
        break;
    }
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

bool RegLineReader::next(QString *line)
{
    if (!m_started) {
        m_started = true;
        while (m_buffer.size() < 3 && fill()) {
        }
        if (m_buffer.startsWith("\xFF\xFE"))
            m_encoding = Encoding::Utf16LE, m_pos = 2;
        else if (m_buffer.startsWith("\xFE\xFF"))
            m_encoding = Encoding::Utf16BE, m_pos = 2;
        else if (m_buffer.startsWith("\xEF\xBB\xBF"))
            m_encoding = Encoding::Utf8, m_pos = 3;
        m_unit = m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE ? 2 : 1;
    }
    QByteArray head, tail;
    bool cut = false, any = false;
    const auto take = [&](QByteArrayView piece) {
        if (cut) {
            tail.append(piece);
            tail = tail.right(kTailBytes);
            return;
        }
        head += piece;
        if (head.size() > m_maxBytes) {
            tail = head.right(kTailBytes);
            head.truncate(m_maxBytes - m_maxBytes % m_unit);
            cut = true;
        }
    };
    for (;;) {
        if (m_buffer.size() - m_pos < m_unit && !fill()) {
            // The end: a last line without a break, or an odd byte left over.
            if (m_pos >= m_buffer.size() && !any)
                return false;
            any = true;
            take(QByteArrayView(m_buffer).sliced(m_pos));
            m_pos = m_buffer.size();
            break;
        }
        if (m_buffer.size() - m_pos < m_unit)
            continue;
        const qsizetype lineBreak = findLineBreak();
        const qsizetype end = lineBreak >= 0 ? lineBreak : m_pos + (m_buffer.size() - m_pos) / m_unit * m_unit;
        if (lineBreak >= 0 && !any && end - m_pos <= m_maxBytes) {
            // The whole line is in the block: no copy.
            *line = decode(QByteArrayView(m_buffer).sliced(m_pos, end - m_pos));
            m_pos = lineBreak + m_unit;
            return true;
        }
        any = true;
        take(QByteArrayView(m_buffer).sliced(m_pos, end - m_pos));
        if (lineBreak >= 0) {
            m_pos = lineBreak + m_unit;
            break;
        }
        m_pos = end;
    }
    *line = decode(cut ? head + tail : head);
    return true;
}

} // namespace platform
