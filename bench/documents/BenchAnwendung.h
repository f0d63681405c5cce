#pragma once
// The one application object the document benchmarks need for fonts and widgets, without a display.
#include <QApplication>

#include <cstdlib>

inline QApplication& Anwendung() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static auto* app = new QApplication(argc, argv);
    return *app;
}
