#pragma once
#include <QString>
#include <QStringView>

namespace platform::detail {

// A file name pattern: * any run of characters, ? one character, letter case
// ignored. "*" and "*.*" match every name.
class Wildcard {
public:
    explicit Wildcard(const QString &pattern);

    bool matchesEverything() const { return m_everything; }
    bool matches(QStringView name) const;

    static bool hasWildcards(QStringView pattern);

private:
    QString m_folded;
    bool m_everything = false;
};

} // namespace platform::detail
