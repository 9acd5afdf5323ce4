#include "QtTestRegistry.h"

#include <QApplication>
#include <QTest>
#include <vector>

namespace velmora::test {

namespace {
std::vector<std::function<std::unique_ptr<QObject>()>>& registry() {
    static std::vector<std::function<std::unique_ptr<QObject>()>> classes;
    return classes;
}
} // namespace

int registerQtTest(std::function<std::unique_ptr<QObject>()> make) {
    registry().push_back(std::move(make));
    return static_cast<int>(registry().size());
}

} // namespace velmora::test

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int failures = 0;
    for (const auto& make : velmora::test::registry()) {
        const std::unique_ptr<QObject> tests = make();
        failures += QTest::qExec(tests.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
