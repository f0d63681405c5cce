#pragma once
// Screenshots of windows as the user sees them together (a dialog and the message box over it): the screen
// area around them, grabbed from the display. Needs a real display (xcb under Xvfb).
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <initializer_list>

namespace velu::test {

// The file named by VELU_SCREENSHOT, empty when the variable is not set (the screenshot test then skips).
inline QString BildschirmfotoDatei() {
    return qEnvironmentVariable("VELU_SCREENSHOT");
}

inline bool Bildschirmfoto(std::initializer_list<QWidget*> fenster, const QString& datei) {
    QRect bereich;
    for (QWidget* w : fenster)
        if (w && w->isVisible()) bereich = bereich.united(w->frameGeometry());
    QScreen* screen = QGuiApplication::primaryScreen();
    if (bereich.isEmpty() || !screen) return false;
    bereich = bereich.adjusted(-16, -16, 16, 16).intersected(screen->geometry());
    QDir().mkpath(QFileInfo(datei).absolutePath());
    return screen->grabWindow(0, bereich.x(), bereich.y(), bereich.width(), bereich.height()).save(datei);
}

} // namespace velu::test
