#pragma once
#include <QObject>

#include <functional>

// Test classes register themselves so that one executable per subsystem can
// run every class of that subsystem.
namespace testsupport {
using TestFactory = std::function<QObject *()>;
int registerTestClass(const char *name, TestFactory factory);
} // namespace testsupport

#define FERRIX_TEST(Class)                                                              \
    static const int ferrixTestRegistration_##Class = testsupport::registerTestClass(    \
        #Class, [] { return static_cast<QObject *>(new Class); });
