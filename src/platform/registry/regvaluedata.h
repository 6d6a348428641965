#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>

namespace platform {

// A typed value of a registry export: dword:, hex: or hex(type):.
struct RegValueData {
    int type = 0; // the handheld's value types: 1 string, 2 expandable, 3 binary, 4 dword, 7 multi-string, ...
    QByteArray bytes;
};

// The text after "=" when it is no quoted string; false when it is not
// well formed.
bool parseRegValueData(QStringView text, RegValueData *data);
// The string a value holds where one is asked for: strings, expandable
// strings (expanded) and the first of a multi-string. ansi: bytes in the
// ANSI code page (REGEDIT4), else UTF-16LE. False for other types.
bool regValueDataAsString(const RegValueData &data, bool ansi, QString *text);
// "dword", "binary", "hex(b)": for the line that says a value was skipped.
QString regValueTypeName(int type);
// %NAME% replaced by the environment's value; an unknown name is left as
// it stands.
QString expandEnvironmentStrings(const QString &text);

} // namespace platform
