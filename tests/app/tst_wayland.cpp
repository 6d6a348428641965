#include "common/testsuite.h"

#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The real program on a headless Wayland compositor of its own: the splash
// and then the main window are shown as windows of the program's desktop
// entry, and a termination request closes it cleanly.
class WaylandTest : public QObject {
    Q_OBJECT

    struct Toplevel {
        QString title;
        QString appId;
        bool shown = false; // a buffer reached its surface
    };

    // The toplevels in the order the client made them, read from
    // libwayland's WAYLAND_DEBUG=client trace (object ids are reused, so
    // each new id starts a new record).
    static QList<Toplevel> toplevelsIn(const QString &trace)
    {
        static const QRegularExpression request(QStringLiteral(R"(-> (\w+)@(\d+)\.(\w+)\((.*)\)$)"));
        static const QRegularExpression ids(QStringLiteral(R"(@(\d+))"));
        QList<Toplevel> toplevels;
        QHash<QString, QString> surfaceOfXdg;  // xdg_surface -> wl_surface
        QHash<QString, qsizetype> byToplevel; // live xdg_toplevel -> record
        QHash<QString, qsizetype> bySurface;  // its wl_surface -> record
        for (const QString &line : trace.split(u'\n')) {
            const QRegularExpressionMatch m = request.match(line);
            if (!m.hasMatch())
                continue;
            const QString object = m.captured(1), id = m.captured(2), call = m.captured(3), args = m.captured(4);
            QStringList argIds;
            for (const QRegularExpressionMatch &i : ids.globalMatch(args))
                argIds.append(i.captured(1));
            if (call == u"get_xdg_surface" && argIds.size() == 2) {
                surfaceOfXdg.insert(argIds.at(0), argIds.at(1));
            } else if (object == u"xdg_surface" && call == u"get_toplevel" && argIds.size() == 1) {
                toplevels.append(Toplevel());
                byToplevel.insert(argIds.at(0), toplevels.size() - 1);
                bySurface.insert(surfaceOfXdg.value(id), toplevels.size() - 1);
            } else if (object == u"xdg_toplevel" && byToplevel.contains(id)) {
                Toplevel &t = toplevels[byToplevel.value(id)];
                const QString text = args.mid(1, args.size() - 2); // inside the quotes
                if (call == u"set_title")
                    t.title = text;
                else if (call == u"set_app_id")
                    t.appId = text;
                else if (call == u"destroy")
                    byToplevel.remove(id);
            } else if (object == u"wl_surface" && bySurface.contains(id)) {
                if (call == u"attach" && args.startsWith(u"wl_buffer@"))
                    toplevels[bySurface.value(id)].shown = true;
                else if (call == u"destroy")
                    bySurface.remove(id);
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
        QVERIFY(QFile(root.filePath(QStringLiteral("notes.txt"))).open(QIODevice::WriteOnly));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_SCALE_FACTOR", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        QProcess compositor;
        compositor.setProcessEnvironment(environment);
        compositor.setProcessChannelMode(QProcess::MergedChannels);
        compositor.start(weston, {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=ferrix-test"),
                                  QStringLiteral("--idle-time=0"), QStringLiteral("--no-config")});
        const auto stopCompositor = qScopeGuard([&] {
            compositor.terminate();
            if (!compositor.waitForFinished(10000))
                compositor.kill();
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(runtime.filePath(QStringLiteral("ferrix-test")))
                                     || compositor.state() == QProcess::NotRunning,
                                 30000);
        if (compositor.state() == QProcess::NotRunning)
            QSKIP(qPrintable(QStringLiteral("weston cannot start here: ") + QString::fromLocal8Bit(compositor.readAll())));

        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("ferrix-test"));
        environment.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("client"));
        QProcess ferrix;
        ferrix.setProcessEnvironment(environment);
        ferrix.start(QStringLiteral(FERRIX_BINARY), {root.path()});
        QString trace;
        const auto shownWindows = [&] {
            trace += QString::fromUtf8(ferrix.readAllStandardError());
            qsizetype shown = 0;
            for (const Toplevel &t : toplevelsIn(trace))
                shown += t.shown;
            return shown;
        };
        // The splash, then the main window.
        QTRY_VERIFY_WITH_TIMEOUT(shownWindows() >= 2 || ferrix.state() == QProcess::NotRunning, 60000);
        QVERIFY2(ferrix.state() == QProcess::Running, qPrintable(trace.right(4000)));
        ferrix.terminate();
        QVERIFY(ferrix.waitForFinished(30000));
        trace += QString::fromUtf8(ferrix.readAllStandardError());

        QCOMPARE(ferrix.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ferrix.exitCode(), 0);
        const QList<Toplevel> toplevels = toplevelsIn(trace);
        QCOMPARE(toplevels.size(), 2);
        for (const Toplevel &t : toplevels) {
            QCOMPARE(t.title, QStringLiteral("Ferrix"));
            QCOMPARE(t.appId, QStringLiteral(FERRIX_APP_ID));
        }
        // Trace lines start with a time stamp in brackets; anything else
        // is the program's or Qt's own output, such as a warning about
        // window positions.
        QStringList said;
        for (const QString &line : trace.split(u'\n'))
            if (!line.isEmpty() && !line.startsWith(u'['))
                said.append(line);
        QVERIFY2(said.isEmpty(), qPrintable(said.join(u'\n')));
        QCOMPARE(ferrix.readAllStandardOutput(), QByteArray());
    }
};

FERRIX_TEST(WaylandTest)
#include "tst_wayland.moc"
