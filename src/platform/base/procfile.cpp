#include "procfile.h"

#include <QFile>

namespace platform {

QString readSmallTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QHash<QString, QString> readCpuInfo()
{
    QHash<QString, QString> table;
    const QString text = readSmallTextFile(QStringLiteral("/proc/cpuinfo"));
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.trimmed().isEmpty()) {
            if (!table.isEmpty())
                break; // the first processor's block is enough
            continue;
        }
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0)
            table.insert(line.left(colon).trimmed().toString(), line.mid(colon + 1).trimmed().toString());
    }
    return table;
}

} // namespace platform
