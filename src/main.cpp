#include "app/cferrixapp.h"
#include "app/closeontermination.h"
#include "app/cmainframe.h"
#include "app/commandline.h"
#include "platform/base/lasterror.h"
#include "platform/fs/devicepath.h"
#include "platform/registry/registry.h"
#include "platform/shell/terminationrequests.h"
#include "resources/images.h"
#include "resources/resourceids.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

namespace {

void printTo(FILE *stream, const QString &text)
{
    std::fputs(platform::bytesFromText(text).constData(), stream); // a folder's name as its bytes
}

// Arguments after the program name, in the platform's codec: a folder
// whose name is not UTF-8 keeps its bytes.
QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(platform::textFromBytes(QByteArray(argv[i])));
    return arguments;
}

int refuse(const QString &program, const CommandLine &line)
{
    printTo(stderr, QStringLiteral("%1: %2\n").arg(program, line.error));
    printTo(stderr, QStringLiteral("Try '%1 --help' for more information.\n").arg(program));
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    // The command line is read before Qt starts, so that a wrong one is
    // refused without a display; Qt's own options are left to QApplication.
    const QString program = QStringLiteral("ferrix");
    CommandLine line = CommandLine::parse(argumentsOf(argc, argv));
    if (line.action == CommandLine::ShowHelp) {
        printTo(stdout, CommandLine::usage(program));
        return 0;
    }
    if (!line.applyDeviceRoot())
        return refuse(program, line);

    QApplication application(argc, argv);
    // Ours is what QApplication left: should it have taken something else
    // than expected, the remaining argument decides.
    CommandLine remaining = CommandLine::parse(argumentsOf(argc, argv));
    if (remaining.action == CommandLine::Run && remaining.deviceRoot != line.deviceRoot
        && !remaining.applyDeviceRoot())
        return refuse(program, remaining);
    QApplication::setApplicationName(QStringLiteral("Ferrix"));
    // The installed desktop entry's name: task bars and compositors match
    // the window to its icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral(FERRIX_APP_ID));
    QApplication::setWindowIcon(resources::LoadIcon(ids::IDR_MAINFRAME));

    // Problems in the registry file are reported and skipped; the program
    // runs. Having no file at all is the usual case and no problem; one
    // made later is read from then on.
    platform::Registry::configure({platform::Registry::userRegFile()}, true);

    CFerrixApp ferrix;
    // A termination request closes the window as Exit does; one that comes
    // while the splash is up ends the program once start-up is through.
    platform::TerminationRequests termination;
    bool terminated = false;
    QObject::connect(&termination, &platform::TerminationRequests::requested, [&] {
        terminated = true;
        if (ferrix.GetMainWnd())
            CloseOnTermination(ferrix.GetMainWnd());
        else
            QApplication::closeAllWindows();
    });
    if (!ferrix.InitInstance())
        return 1;
    if (terminated) {
        ferrix.OnAppExit();
        return 0;
    }
    return application.exec();
}
