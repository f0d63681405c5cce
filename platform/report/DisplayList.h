#pragma once
// The laid-out report: pages of positioned texts, lines and boxes in millimetres from the page's top left
// corner. Painted to the preview, a printer or a PDF file.
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

namespace velu::report {

struct Schrift {
    double punkt = 9;
    bool fett = false;
    bool kursiv = false;
};

struct DisplayItem {
    enum class Art { Text, Linie, Rahmen };
    Art art = Art::Text;
    QRectF rect; // a line runs from topLeft to bottomRight
    QString text;
    int ausrichtung = 0x0001; // Qt::AlignLeft
    Schrift schrift;
    double linienBreite = 0.3;
};

struct DisplayPage {
    std::vector<DisplayItem> items;
};

struct DisplayList {
    QSizeF seite{210, 297};
    std::vector<DisplayPage> seiten;
};

} // namespace velu::report
