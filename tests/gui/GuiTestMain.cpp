#include "GuiTests.h"

#include <QApplication>
#include <QtTest>
#include <utility>
#include <vector>

namespace GuiTests {

namespace {

std::vector<std::pair<const char*, Factory>>& Registered() {
    static std::vector<std::pair<const char*, Factory>> classes;
    return classes;
}

} // namespace

bool Register(const char* name, Factory factory) {
    Registered().emplace_back(name, std::move(factory));
    return true;
}

} // namespace GuiTests

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failures = 0;
    for (const auto& [name, factory] : GuiTests::Registered()) {
        const std::unique_ptr<QObject> tests = factory();
        failures += QTest::qExec(tests.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
