// Writes its arguments after the first, one per line (UTF-8), into the file
// named by the first. Written beside it and renamed, so a reader never sees
// half of it.
#include <QByteArray>
#include <QFile>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    QByteArray text;
    for (int i = 2; i < argc; ++i)
        text += QByteArray(argv[i]) + '\n';

    const QString target = QFile::decodeName(argv[1]);
    const QString partial = target + QStringLiteral(".part");
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        return 1;
    file.close();
    return QFile::rename(partial, target) ? 0 : 1;
}
