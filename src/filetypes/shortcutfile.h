#pragma once
#include <QByteArray>
#include <QString>

// The shortcut file format: one line of 8-bit text and a zero byte,
//   N#"target"\0
// where N is the target's length in characters plus 2 (the quotes).
// Writing and reading both live here so they cannot drift apart.
//
// Text is UTF-8, the host's file name encoding, so every name the device
// shows can be a target; the count N counts characters, which is what the
// reader counts after decoding. Bytes that are not valid UTF-8 stand for
// U+DC80..U+DCFF, as they do in device names, so such names survive too.
// Plain ASCII shortcuts are byte for byte what the handheld wrote.
class ShortcutFile {
public:
    // The complete file content for a shortcut to target, zero byte included.
    static QByteArray Compose(const QString &target);

    // The target named by a shortcut's content. fileSize is the size of the
    // file the content was read from (it bounds the count). Lenient: other
    // counts, a "?" suffix and text without "#" are accepted too.
    static QString Parse(const QByteArray &content, qint64 fileSize);
};
