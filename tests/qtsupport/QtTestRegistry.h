#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace velmora::test {

// Qt Test classes of one test program; its main runs each in turn. VELMORA_QT_TEST(Class) stands
// in the namespace of the class.
int registerQtTest(std::function<std::unique_ptr<QObject>()> make);

} // namespace velmora::test

#define VELMORA_QT_TEST(Class)                                                                               \
    namespace {                                                                                              \
    const int registered##Class = ::velmora::test::registerQtTest([] { return std::make_unique<Class>(); }); \
    }
