#include <QApplication>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "Velunta32: Kein Bildschirm vorhanden (DISPLAY ist nicht gesetzt).\n");
        return 1;
    }
    QApplication app(argc, argv);
    QMainWindow window;
    window.setObjectName("MDIVelunta");
    window.setWindowTitle("Velunta 4.0");
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
