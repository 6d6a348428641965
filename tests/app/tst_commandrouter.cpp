#include "app/commandrouter.h"
#include "common/testsuite.h"

#include <QAction>

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
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("app");
        QTest::addColumn<bool>("wasEnabled");
        QTest::addColumn<QString>("runs");
        QTest::addColumn<bool>("enabledAfter");

        QTest::newRow("nobody handles it") << "" << "" << true << "" << false;
        QTest::newRow("application handles it") << "" << "h" << false << "app" << true;
        QTest::newRow("frame comes first") << "h" << "h" << true << "frame" << true;
        QTest::newRow("update disables") << "h-" << "" << true << "" << false;
        QTest::newRow("update enables") << "h+" << "" << false << "frame" << true;
        QTest::newRow("left alone, was enabled") << "h=" << "" << true << "frame" << true;
        QTest::newRow("left alone, was disabled") << "h=" << "" << false << "frame" << false;
        QTest::newRow("first update handler decides") << "+" << "h-" << false << "app" << true;
        QTest::newRow("update without any handler") << "+" << "" << false << "" << true;
    }
    void dispatchAndUpdate()
    {
        QFETCH(QString, frame);
        QFETCH(QString, app);
        QFETCH(bool, wasEnabled);
        QFETCH(QString, runs);

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
        QTEST(action.isEnabled(), "enabledAfter");
    }
};

FERRIX_TEST(CommandRouterTest)
#include "tst_commandrouter.moc"
