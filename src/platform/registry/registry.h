#pragma once
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The handheld's registry, read only: .reg files first, then (for the
// classes root) the desktop's file associations. Key names compare without
// regard to letter case, as the handheld's did; a leading backslash in a
// sub key is ignored. Answers follow changes: a .reg file edited since it
// was read is read again in the background once a question notices, the
// old content answering until the new one is ready; the desktop's answers
// are asked again once its default applications changed.
namespace platform {

enum class RegRoot { ClassesRoot, LocalMachine, CurrentUser };

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_MORE_DATA = 234;

using RegKey = quintptr; // 0 is no key

// ERROR_SUCCESS and *key set when the key exists; ERROR_FILE_NOT_FOUND otherwise.
long regOpenKey(RegRoot root, const QString &subKey, RegKey *key);
// The named string value (empty name: the key's default value). With value
// null only *sizeBytes is set: the UTF-16 size including the terminating
// zero, as the handheld reported it. With value set, *sizeBytes must be at
// least that size or ERROR_MORE_DATA is returned.
long regQueryValue(RegKey key, const QString &name, QString *value, quint32 *sizeBytes);
long regCloseKey(RegKey key);

class Registry {
public:
    // Replaces the sources: the .reg files (first wins) and whether the
    // desktop's associations answer for the classes root. The files are
    // read in the background; questions from now on wait until they are.
    // Problems found while loading are warned about on stderr (file:line)
    // and kept. A file that does not exist is no problem: it is read once
    // it appears.
    static void configure(const QStringList &regFiles, bool desktopAssociations);
    // $XDG_CONFIG_HOME/ferrix/registry.reg (or ~/.config/...).
    static QString userRegFile();
    // "file:line: reason" for each line that could not be read, and for
    // files that could not be opened.
    static QStringList loadWarnings();
};

} // namespace platform
