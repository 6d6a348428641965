#include "app/cferrixapp.h"
#include "app/commandline.h"
#include "platform/devicepath.h"
#include "platform/lasterror.h"
#include "platform/registry.h"
#include "resources/images.h"
#include "resources/resourceids.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

void printTo(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char **argv)
{
    // The command line is read before Qt starts, so that a wrong one is
    // refused without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    const QString program = QStringLiteral("ferrix");
    const CommandLine line = CommandLine::parse(arguments);
    if (line.action == CommandLine::ShowHelp) {
        printTo(stdout, CommandLine::usage(program));
        return 0;
    }
    if (line.action == CommandLine::Fail) {
        printTo(stderr, QStringLiteral("%1: %2\n").arg(program, line.error));
        printTo(stderr, QStringLiteral("Try '%1 --help' for more information.\n").arg(program));
        return 2;
    }
    if (!line.deviceRoot.isEmpty() && !platform::setDeviceRoot(line.deviceRoot)) {
        printTo(stderr, QStringLiteral("%1: cannot use '%2' as the device root: %3\n")
                            .arg(program, line.deviceRoot, platform::lastError().message));
        return 2;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ferrix"));
    QApplication::setWindowIcon(resources::LoadIcon(ids::IDR_MAINFRAME));

    // Problems in the registry file are reported and skipped; the program
    // runs. Having no file at all is the usual case and no problem.
    const QString regFile = platform::Registry::userRegFile();
    platform::Registry::configure(QFileInfo::exists(regFile) ? QStringList{regFile} : QStringList{}, true);

    CFerrixApp ferrix;
    if (!ferrix.InitInstance())
        return 1;
    return application.exec();
}
