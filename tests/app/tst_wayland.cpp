#include "common/testsuite.h"

#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

// The real program on a headless weston of its own: the splash and then the
// main window are shown as windows of the desktop entry's id, and SIGTERM
// ends the program cleanly, without a word from Qt about window positions.
class WaylandTest : public QObject {
    Q_OBJECT

    // Per toplevel the client made, from libwayland's WAYLAND_DEBUG=client
    // trace: its app id and whether a buffer reached its surface.
    struct Toplevel {
        QString appId;
        bool shown = false;
    };
    static QList<Toplevel> toplevelsIn(const QString &trace)
    {
        static const QRegularExpression request(QStringLiteral(R"(-> (\w+)@(\d+)\.(\w+)\((?:new id \w+@(\d+))?(.*)\)$)"));
        QList<Toplevel> toplevels;
        QHash<QString, QString> surfaceOf;   // xdg_surface -> wl_surface
        QHash<QString, qsizetype> recordOf; // "xdg_toplevel@id" or "wl_surface@id" -> toplevel
        for (const QString &line : trace.split(u'\n')) {
            const QRegularExpressionMatch m = request.match(line);
            const QString object = m.captured(1) + u'@' + m.captured(2), call = m.captured(3), args = m.captured(5);
            if (call == u"get_xdg_surface") {
                surfaceOf.insert(m.captured(4), args.section(u'@', 1));
            } else if (call == u"get_toplevel") {
                toplevels.append(Toplevel());
                recordOf.insert(QStringLiteral("xdg_toplevel@") + m.captured(4), toplevels.size() - 1);
                recordOf.insert(QStringLiteral("wl_surface@") + surfaceOf.value(m.captured(2)), toplevels.size() - 1);
            } else if (recordOf.contains(object)) {
                if (call == u"set_app_id")
                    toplevels[recordOf.value(object)].appId = args.mid(1, args.size() - 2);
                else if (call == u"attach" && args.startsWith(u"wl_buffer@"))
                    toplevels[recordOf.value(object)].shown = true;
                else if (call == u"destroy")
                    recordOf.remove(object); // ids are used again
            }
        }
        return toplevels;
    }

private Q_SLOTS:
    void showsAndClosesCleanly()
    {
        const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
        if (weston.isEmpty())
            QSKIP("weston is not installed (scripts/install-deps.sh installs it)");
        QTemporaryDir runtime; // XDG_RUNTIME_DIR must be the user's alone
        QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QTemporaryDir root;

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "QT_SCALE_FACTOR"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("ferrix-test"));
        QProcess compositor;
        compositor.setProcessEnvironment(environment);
        compositor.setProcessChannelMode(QProcess::MergedChannels);
        compositor.start(weston, {"--backend=headless-backend.so", "--socket=ferrix-test", "--idle-time=0", "--no-config"});
        const auto stopCompositor = qScopeGuard([&] {
            compositor.terminate();
            compositor.waitForFinished(10000);
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(runtime.filePath(QStringLiteral("ferrix-test")))
                                     || compositor.state() == QProcess::NotRunning, 30000);
        if (compositor.state() == QProcess::NotRunning)
            QSKIP(qPrintable("weston cannot start here: " + QString::fromLocal8Bit(compositor.readAll())));

        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("client"));
        QProcess ferrix;
        ferrix.setProcessEnvironment(environment);
        ferrix.start(QStringLiteral(FERRIX_BINARY), {root.path()});
        QString trace;
        const auto shown = [&] {
            trace += QString::fromUtf8(ferrix.readAllStandardError());
            const QList<Toplevel> toplevels = toplevelsIn(trace);
            return std::count_if(toplevels.begin(), toplevels.end(), [](const Toplevel &t) { return t.shown; });
        };
        QTRY_VERIFY_WITH_TIMEOUT(shown() == 2 || ferrix.state() == QProcess::NotRunning, 60000);
        ferrix.terminate();
        QVERIFY(ferrix.waitForFinished(30000));
        trace += QString::fromUtf8(ferrix.readAllStandardError());
        QCOMPARE(ferrix.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ferrix.exitCode(), 0);
        const QList<Toplevel> toplevels = toplevelsIn(trace);
        QCOMPARE(toplevels.size(), 2);
        for (const Toplevel &t : toplevels)
            QCOMPARE(t.appId, QStringLiteral(FERRIX_APP_ID));
        // Trace lines start with a time stamp in brackets; anything else is
        // the program's or Qt's own output.
        const QStringList said = trace.split(u'\n', Qt::SkipEmptyParts).filter(QRegularExpression(QStringLiteral("^[^[]")));
        QVERIFY2(said.isEmpty(), qPrintable(said.join(u'\n')));
    }
};

FERRIX_TEST(WaylandTest)
#include "tst_wayland.moc"
