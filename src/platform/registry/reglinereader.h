#pragma once
#include <QByteArray>
#include <QString>

namespace platform {

// The lines of a registry export, read from a file a block at a time, so
// that no more than a block and one line are held. The encoding comes from
// the byte order mark (UTF-16LE, UTF-16BE, UTF-8); without one each line is
// UTF-8 when it is valid and ANSI (Latin-1) otherwise.
class RegLineReader {
public:
    RegLineReader(int fd, qsizetype maxLineChars);

    // The next line without its line break; false at the end. A line longer
    // than maxLineChars comes as more than maxLineChars characters (its
    // start and its last few), so the caller sees that it is too long and
    // how it ends.
    bool next(QString *line);
    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }

private:
    enum class Encoding { Bytes, Utf8, Utf16LE, Utf16BE };

    bool fill();
    qsizetype findLineBreak() const;
    QString decode(QByteArrayView bytes) const;

    int m_fd;
    qsizetype m_maxBytes = 0;
    Encoding m_encoding = Encoding::Bytes;
    int m_unit = 1;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_started = false;
    bool m_eof = false;
    int m_error = 0;
};

} // namespace platform
