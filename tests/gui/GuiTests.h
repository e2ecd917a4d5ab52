#pragma once

#include <QObject>
#include <functional>
#include <memory>

// Every Qt test class of this folder registers itself; one main runs them all in one
// application, so that each file keeps its own class.
namespace GuiTests {

using Factory = std::function<std::unique_ptr<QObject>()>;
bool Register(const char* name, Factory factory);

} // namespace GuiTests

#define VARNHOLM_GUI_TEST(Class)                                                                   \
    [[maybe_unused]] static const bool Class##Registered =                                         \
        GuiTests::Register(#Class, [] { return std::make_unique<Class>(); });
