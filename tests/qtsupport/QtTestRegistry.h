#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

namespace velmora::test {

// Qt Test classes of one test program; its main runs each in turn. VELMORA_QT_TEST(Class) stands
// in the namespace of the class.
int registerQtTest(std::function<std::unique_ptr<QObject>()> make);

// A test that could not run (no server to test against): said on stderr, and the program exits
// with 77, which ctest counts as skipped, when nothing failed.
void reportSkipped(const std::string& why);

} // namespace velmora::test

#define VELMORA_QT_TEST(Class)                                                                               \
    namespace {                                                                                              \
    const int registered##Class = ::velmora::test::registerQtTest([] { return std::make_unique<Class>(); }); \
    }

// Skips the test function for the reason given (a QString) and has the program exit with 77.
#define VELMORA_QSKIP(why)                                                                                   \
    do {                                                                                                     \
        const QString reason = (why);                                                                        \
        ::velmora::test::reportSkipped(reason.toStdString());                                                \
        QSKIP(qPrintable(reason));                                                                           \
    } while (false)
