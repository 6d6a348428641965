#include "app/commandrouter.h"
#include "common/testsuite.h"

#include <QAction>

namespace {
// frame, app: the roles each map plays (see install); runs: who ran the command.
struct RouteCase { QString frame, app; bool wasEnabled; QString runs; bool enabledAfter; };
} // namespace

// Routing by command id along the frame -> ... -> application chain, and
// the enabled states update handlers produce.
class CommandRouterTest : public QObject {
    Q_OBJECT

    // "h": a command handler; "+", "-", "=": an update handler that
    // enables, disables or leaves the state alone.
    static void install(CommandMap &map, int id, const QString &roles, const QString &name, QStringList &ran)
    {
        if (roles.contains(u'h'))
            map.OnCommand(id, [&ran, name] { ran.append(name); });
        if (roles.contains(u'+') || roles.contains(u'-') || roles.contains(u'='))
            map.OnUpdate(id, [roles](CCmdUI &ui) {
                if (!roles.contains(u'='))
                    ui.Enable(roles.contains(u'+'));
            });
    }

private Q_SLOTS:
    void dispatchAndUpdate_data()
    {
        QTest::addColumn<RouteCase>("row");
        QTest::newRow("nobody handles it") << RouteCase{"", "", true, "", false};
        QTest::newRow("application handles it") << RouteCase{"", "h", false, "app", true};
        QTest::newRow("frame comes first") << RouteCase{"h", "h", true, "frame", true};
        QTest::newRow("update disables") << RouteCase{"h-", "", true, "", false};
        QTest::newRow("update enables") << RouteCase{"h+", "", false, "frame", true};
        QTest::newRow("left alone, was enabled") << RouteCase{"h=", "", true, "frame", true};
        QTest::newRow("left alone, was disabled") << RouteCase{"h=", "", false, "frame", false};
        QTest::newRow("first update handler decides") << RouteCase{"+", "h-", false, "app", true};
        QTest::newRow("update without any handler") << RouteCase{"+", "", false, "", true};
    }
    void dispatchAndUpdate()
    {
        const auto [frame, app, wasEnabled, runs, enabledAfter] = testsupport::fetchRow<RouteCase>();
        const int id = 32772;
        QStringList ran;
        CommandMap frameMap, appMap;
        install(frameMap, id, frame, QStringLiteral("frame"), ran);
        install(appMap, id, app, QStringLiteral("app"), ran);
        const CommandRouter router([&] { return QList<const CommandMap *>{&frameMap, nullptr, &appMap}; });

        QCOMPARE(router.Dispatch(id), !runs.isEmpty());
        QCOMPARE(ran.join(u','), runs);
        QAction action;
        action.setEnabled(wasEnabled);
        router.Update(&action, id);
        QCOMPARE(action.isEnabled(), enabledAfter);
    }
};

FERRIX_TEST(CommandRouterTest)
#include "tst_commandrouter.moc"
