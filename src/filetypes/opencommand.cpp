// The open command of a path: built from the registry, split into program
// and arguments.
#include "filetypeinfo.h"

#include "platform/shell/shell.h"

namespace {

const QString kAppIndirectionKey = QStringLiteral("\\Software\\Microsoft\\Shell\\Rai\\");

} // namespace

QString FileTypeInfo::GetOpenCommand() const
{
    using platform::RegRoot;
    QString target = ResolveShortcut(m_strPath);
    QString command;

    if (target.startsWith(u':')) {
        // An application indirection of the shell, possibly naming another
        // indirection followed by arguments.
        QString value;
        if (ReadRegString(RegRoot::LocalMachine, kAppIndirectionKey + target, QStringLiteral("1"),
                          value)
            == platform::ERROR_SUCCESS)
            command = value;
        if (command.startsWith(u':')) {
            const qsizetype blank = command.indexOf(u' ');
            const QString name = blank < 0 ? QString() : command.left(blank);
            const QString rest = blank < 0 ? command : command.mid(blank + 1);
            if (ReadRegString(RegRoot::LocalMachine, kAppIndirectionKey + name,
                              QStringLiteral("1"), value)
                == platform::ERROR_SUCCESS)
                command = value + u' ' + rest;
        }
        return command;
    }

    QString extension = GetExtension(target);
    if (extension.isEmpty())
        extension = QStringLiteral("exe"); // no extension: run it as a program

    // One value for all three reads: a key without a default value keeps
    // what the previous read left.
    QString value;
    const QString commandKey = QStringLiteral("\\Shell\\Open\\Command");
    if (ReadRegString(RegRoot::ClassesRoot, u'.' + extension + commandKey, QString(), value)
        == platform::ERROR_SUCCESS) {
        command = value;
    } else if (ReadRegString(RegRoot::ClassesRoot, u'.' + extension, QString(), value)
               == platform::ERROR_SUCCESS) {
        const QString className = value;
        if (ReadRegString(RegRoot::ClassesRoot, className + commandKey, QString(), value)
            == platform::ERROR_SUCCESS)
            command = value;
    }
    if (command.isEmpty())
        return command;

    // A bare name is taken from the folder of the path being opened.
    if (!target.contains(u'\\'))
        target = GetDirectory() + target;

    // The first "%1" takes the target; "%*" makes the target itself the
    // command. Only the command's own text is looked at: the target is
    // marked, so whatever its name holds (quotes, blanks, "%*") it stays the
    // one argument it was put in and is never substituted into.
    const QString literal = platform::literalCommandText(target);
    if (command.contains(QStringLiteral("%*")))
        return u'"' + literal + u'"';
    const qsizetype placeholder = command.indexOf(QStringLiteral("%1"));
    if (placeholder >= 0)
        command.replace(placeholder, 2, literal);
    return command;
}

bool FileTypeInfo::SplitOpenCommand(QString &program, QString &arguments) const
{
    QString command = GetOpenCommand();
    if (command.isEmpty())
        return !program.isEmpty();

    qsizetype start = 0;
    while (start < command.size() && command.at(start).isSpace())
        ++start;
    command.remove(0, start);

    qsizetype end;
    if (command.startsWith(u'"')) {
        command.remove(0, 1);
        end = platform::indexOutsideLiterals(command, u'"');
        if (end < 0)
            return false; // no closing quote: leave the outputs alone
    } else {
        end = platform::indexOutsideLiterals(command, u' ');
        if (end < 0)
            end = command.size();
    }

    program = platform::readableCommandLine(command.left(end));
    if (end < command.size()) {
        qsizetype first = end + 1;
        while (first < command.size() && command.at(first).isSpace())
            ++first;
        arguments = command.mid(first);
    }
    return !program.isEmpty();
}
