#include "testsuite.h"

#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

namespace {
struct Entry {
    const char *name;
    testsupport::TestFactory factory;
};
std::vector<Entry> &entries()
{
    static std::vector<Entry> list;
    return list;
}
} // namespace

int testsupport::registerTestClass(const char *name, TestFactory factory)
{
    entries().push_back({name, std::move(factory)});
    return int(entries().size());
}

// Usage: tst_x [TestClass] [Qt Test options and functions]
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ferrix"));

    QStringList args = app.arguments();
    QString onlyClass;
    if (args.size() > 1) {
        for (const Entry &e : entries())
            if (args.at(1) == QLatin1String(e.name))
                onlyClass = args.takeAt(1);
    }
    int failed = 0;
    for (const Entry &e : entries()) {
        if (!onlyClass.isEmpty() && onlyClass != QLatin1String(e.name))
            continue;
        std::unique_ptr<QObject> test(e.factory());
        if (QTest::qExec(test.get(), args) != 0)
            ++failed;
    }
    return failed == 0 ? 0 : 1;
}
