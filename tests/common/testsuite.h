#pragma once
#include <QObject>
#include <QTest>

#include <functional>

// Test classes register themselves so that one executable per subsystem can
// run every class of that subsystem.
namespace testsupport {
using TestFactory = std::function<QObject *()>;
int registerTestClass(const char *name, TestFactory factory);

// The current data row of a test whose table has one column "row" of type Row.
template <typename Row>
Row fetchRow()
{
    return *static_cast<Row *>(QTest::qData("row", qMetaTypeId<Row>()));
}
} // namespace testsupport

#define FERRIX_TEST(Class)                                                              \
    static const int ferrixTestRegistration_##Class = testsupport::registerTestClass(    \
        #Class, [] { return static_cast<QObject *>(new Class); });
