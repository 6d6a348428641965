// Writes the program icon as the PNG sizes of the hicolor icon theme:
//   ferrix_exporticons <folder> <name> <size>...
// gives <folder>/<size>x<size>/apps/<name>.png for each size.
#include "resources/images.h"
#include "resources/resourceids.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // a build machine has no display
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4) {
        std::fputs("usage: ferrix_exporticons FOLDER NAME SIZE...\n", stderr);
        return 2;
    }
    const QIcon icon = resources::LoadIcon(ids::IDR_MAINFRAME);
    for (const QString &sizeText : arguments.mid(3)) {
        const int size = sizeText.toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments.at(1)).arg(size);
        const QPixmap image = icon.pixmap(QSize(size, size), 1.0);
        if (size <= 0 || image.size() != QSize(size, size) || !QDir().mkpath(folder)
            || !image.save(QStringLiteral("%1/%2.png").arg(folder, arguments.at(2)))) {
            std::fprintf(stderr, "ferrix_exporticons: cannot write the %s px icon into %s\n",
                         qPrintable(sizeText), qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
