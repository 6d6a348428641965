#include "progresstext.h"

namespace progresstext {

using platform::WorkKind;

QString kindText(WorkKind kind)
{
    switch (kind) {
    case WorkKind::Copying: return QStringLiteral("Copying");
    case WorkKind::Moving: return QStringLiteral("Moving");
    case WorkKind::Deleting: return QStringLiteral("Deleting");
    case WorkKind::Creating: return QStringLiteral("Creating");
    case WorkKind::Measuring: return QStringLiteral("Measuring");
    case WorkKind::Transferring: return QStringLiteral("Transferring");
    case WorkKind::Reading: return QStringLiteral("Reading");
    }
    return QString();
}

QString sizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 bytes").arg(bytes);
    static const char *const kUnits[] = {"KB", "MB", "GB", "TB"};
    double value = double(bytes);
    int unit = -1;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', value < 10 ? 2 : value < 100 ? 1 : 0).arg(QLatin1String(kUnits[unit]));
}

QString countsText(const platform::WorkProgress &work, bool withBytes)
{
    const qint64 files = work.files.load();
    const qint64 totalFiles = work.totalFiles.load();
    QString text = totalFiles >= 0 ? QStringLiteral("%1 of %2 files").arg(files).arg(totalFiles)
                                   : QStringLiteral("%1 files").arg(files);
    if (withBytes) {
        const qint64 totalBytes = work.totalBytes.load();
        text += QStringLiteral(", ") + sizeText(work.bytes.load());
        if (totalBytes >= 0)
            text += QStringLiteral(" of ") + sizeText(totalBytes);
    }
    return text;
}

QString rateText(const platform::WorkProgress &work, qint64 elapsedMs, bool withBytes)
{
    const qint64 done = withBytes ? work.bytes.load() : work.files.load();
    const qint64 whole = withBytes ? work.totalBytes.load() : work.totalFiles.load();
    if (elapsedMs <= 0 || done <= 0 || whole < 0)
        return QString();
    const double perSecond = double(done) * 1000.0 / double(elapsedMs);
    const QString rate = withBytes ? sizeText(qint64(perSecond)) + QStringLiteral("/s")
                                   : QStringLiteral("%1 files/s").arg(qint64(perSecond));
    const qint64 secondsLeft = qint64(double(qMax<qint64>(whole - done, 0)) / perSecond + 0.5);
    const QString left = secondsLeft >= 120 ? QStringLiteral("about %1 min left").arg((secondsLeft + 30) / 60)
                                            : QStringLiteral("about %1 s left").arg(secondsLeft);
    return rate + QStringLiteral(", ") + left;
}

int permille(const platform::WorkProgress &work, bool withBytes)
{
    const qint64 whole = withBytes ? work.totalBytes.load() : work.totalFiles.load();
    if (whole < 0)
        return -1;
    if (whole == 0)
        return 1000;
    const qint64 done = withBytes ? work.bytes.load() : work.files.load();
    return int(qBound(qint64(0), done * 1000 / whole, qint64(1000)));
}

} // namespace progresstext
