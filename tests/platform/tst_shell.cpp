#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/lasterror.h"
#include "platform/registry.h"
#include "platform/shell.h"

#include <QFile>
#include <QMimeDatabase>
#include <QTest>

#include <cerrno>

using namespace platform;

class ShellTest : public QObject {
    Q_OBJECT

    struct Launch {
        QString program;
        QStringList arguments;
    };
    QList<Launch> m_launches;

private Q_SLOTS:
    void initTestCase() { Registry::configure({QStringLiteral(PLATFORM_FIXTURES "/types.reg")}, false); }
    void cleanupTestCase() { Registry::configure({}, true); }
    void init()
    {
        m_launches.clear();
        setProcessLauncher([this](const QString &program, const QStringList &arguments) {
            m_launches.append({program, arguments});
            return true;
        });
    }
    void cleanup() { setProcessLauncher({}); }

    void execute_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QString>("program"); // <root> is the device root
        QTest::addColumn<QStringList>("arguments");
        const QString xdgOpen = findProgramOnPath(QStringLiteral("xdg-open"));
        QTest::newRow("program with parameters") << "\\bin\\tool" << true << "-a \\x" << "<root>/bin/tool" << QStringList{"-a", "<root>/x"};
        QTest::newRow("registered class command") << "\\docs\\r.ferrixdoc" << false << "" << "<root>/bin/viewer"
                                                  << QStringList{"-v", "<root>/docs/r.ferrixdoc"};
        QTest::newRow("extension in upper case") << "\\docs\\R.FERRIXDOC" << false << "" << "<root>/bin/viewer"
                                                 << QStringList{"-v", "<root>/docs/R.FERRIXDOC"};
        QTest::newRow("path with blanks") << "\\My Docs\\a b.ferrixdoc" << false << "ignored" << "<root>/bin/viewer"
                                          << QStringList{"-v", "<root>/My Docs/a b.ferrixdoc"};
        QTest::newRow("command without %1") << "\\docs\\a.bare" << false << "" << "/opt/viewer" << QStringList{"<root>/docs/a.bare"};
        QTest::newRow("unregistered: desktop opener") << "\\docs\\a.zzqq" << false << "" << xdgOpen << QStringList{"<root>/docs/a.zzqq"};
        QTest::newRow("folder") << "\\docs" << false << "" << xdgOpen << QStringList{"<root>/docs"};
    }

    void execute()
    {
        QFETCH(QString, file);
        QFETCH(bool, executable);
        QFETCH(QString, parameters);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder(QStringLiteral("\\docs")));
        if (file != QLatin1String("\\docs"))
            QVERIFY(root.makeFile(file, "content"));
        if (executable)
            QVERIFY(QFile::setPermissions(root.host(file), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        QVERIFY(shellExecute(file, parameters));
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches[0].program, QString(program).replace(QLatin1String("<root>"), root.hostPath()));
        QCOMPARE(m_launches[0].arguments, arguments.replaceInStrings(QStringLiteral("<root>"), root.hostPath()));
    }

    void executeMissingFile()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(!shellExecute(QStringLiteral("\\nothing.ferrixdoc"), QString()));
        QCOMPARE(lastError().code, ENOENT);
        QVERIFY(!shellExecute(QString(), QString()));
        QVERIFY(m_launches.isEmpty());
    }

    void icons_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("names"); // acceptable theme names
        const QMimeType text = QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain"));
        QTest::newRow("folder") << "\\docs" << QStringList{"folder"};
        QTest::newRow("text by name") << "\\docs\\a.TXT" << QStringList{text.iconName(), text.genericIconName(), "text-x-generic"};
        QTest::newRow("unknown type") << "\\docs\\c.zzqq" << QStringList{"application-octet-stream", "application-x-generic"};
    }

    // The theme must be found on a bare machine (no desktop session).
    void icons()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, names);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile(QStringLiteral("\\docs\\a.TXT"), "text"));
        QVERIFY(root.makeFile(QStringLiteral("\\docs\\c.zzqq")));
        QIcon icon;
        QVERIFY(getSmallFileIcon(path, icon));
        QVERIFY(!icon.isNull());
        QVERIFY2(names.contains(icon.name()), qPrintable(icon.name()));
        QVERIFY(!icon.pixmap(16, 16).isNull());
        QIcon again;
        QVERIFY(getSmallFileIcon(path, again));
        QCOMPARE(again.cacheKey(), icon.cacheKey());
    }
};

FERRIX_TEST(ShellTest)
#include "tst_shell.moc"
