#pragma once
#include <QApplication>

// One application object for the whole test program (gtest_main owns main); never deleted, since
// destroying it among the exit handlers runs after Qt's own statics are gone.
inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "test_register";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
