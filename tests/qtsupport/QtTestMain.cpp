#include "QtTestRegistry.h"

#include <QApplication>
#include <QTest>
#include <iostream>
#include <vector>

namespace velmora::test {

namespace {
std::vector<std::function<std::unique_ptr<QObject>()>>& registry() {
    static std::vector<std::function<std::unique_ptr<QObject>()>> classes;
    return classes;
}
bool& skipped() {
    static bool any = false;
    return any;
}
} // namespace

void reportSkipped(const std::string& why) {
    std::cerr << "SKIPPED: " << why << "\n";
    skipped() = true;
}

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
    if (failures != 0)
        return 1;
    return velmora::test::skipped() ? 77 : 0;
}
