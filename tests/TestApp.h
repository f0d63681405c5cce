#pragma once
#include <QApplication>

// One application object for the whole test program (gtest_main owns main), made by whichever test asks
// first. It is never deleted: destroying it among the exit handlers runs after Qt's own statics are gone.
inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    return *qApp;
}
