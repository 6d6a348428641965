#include "app/commandrouter.h"
#include "common/testsuite.h"

#include <QAction>
#include <QTest>

// Routing by command id along the frame -> ... -> application chain, and
// the enabled states update handlers produce.
class CommandRouterTest : public QObject {
    Q_OBJECT

    enum Update { NoUpdate, Enables, Disables, LeavesAlone };

    static void install(CommandMap &map, int id, bool handler, Update update, QString name,
                        QStringList &ran)
    {
        if (handler)
            map.OnCommand(id, [&ran, name] { ran.append(name); });
        if (update != NoUpdate)
            map.OnUpdate(id, [update](CCmdUI &ui) {
                if (update != LeavesAlone)
                    ui.Enable(update == Enables);
            });
    }

private Q_SLOTS:
    void dispatchAndUpdate_data()
    {
        QTest::addColumn<bool>("frameHandler");
        QTest::addColumn<int>("frameUpdate");
        QTest::addColumn<bool>("appHandler");
        QTest::addColumn<int>("appUpdate");
        QTest::addColumn<bool>("wasEnabled");
        QTest::addColumn<QString>("runs");
        QTest::addColumn<bool>("enabledAfter");

        QTest::newRow("nobody handles it") << false << int(NoUpdate) << false << int(NoUpdate) << true << "" << false;
        QTest::newRow("application handles it") << false << int(NoUpdate) << true << int(NoUpdate) << false << "app" << true;
        QTest::newRow("frame comes first") << true << int(NoUpdate) << true << int(NoUpdate) << true << "frame" << true;
        QTest::newRow("update disables") << true << int(Disables) << false << int(NoUpdate) << true << "" << false;
        QTest::newRow("update enables") << true << int(Enables) << false << int(NoUpdate) << false << "frame" << true;
        QTest::newRow("left alone, was enabled") << true << int(LeavesAlone) << false << int(NoUpdate) << true << "frame" << true;
        QTest::newRow("left alone, was disabled") << true << int(LeavesAlone) << false << int(NoUpdate) << false << "frame" << false;
        QTest::newRow("first update handler decides") << false << int(Enables) << true << int(Disables) << false << "app" << true;
        QTest::newRow("update without any handler") << false << int(Enables) << false << int(NoUpdate) << false << "" << true;
    }

    void dispatchAndUpdate()
    {
        QFETCH(bool, frameHandler);
        QFETCH(int, frameUpdate);
        QFETCH(bool, appHandler);
        QFETCH(int, appUpdate);
        QFETCH(bool, wasEnabled);
        QFETCH(QString, runs);
        QFETCH(bool, enabledAfter);

        const int id = 32772;
        QStringList ran;
        CommandMap frame, app;
        install(frame, id, frameHandler, Update(frameUpdate), QStringLiteral("frame"), ran);
        install(app, id, appHandler, Update(appUpdate), QStringLiteral("app"), ran);
        const CommandRouter router([&] { return QList<const CommandMap *>{&frame, nullptr, &app}; });

        QCOMPARE(router.Dispatch(id), !runs.isEmpty());
        QCOMPARE(ran.join(QLatin1Char(',')), runs);

        QAction action;
        action.setEnabled(wasEnabled);
        router.Update(&action, id);
        QCOMPARE(action.isEnabled(), enabledAfter);
    }

};

FERRIX_TEST(CommandRouterTest)
#include "tst_commandrouter.moc"
