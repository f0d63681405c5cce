#pragma once
// The preview window of a report: its pages one below the other, zoom, print and save as PDF. It lives as a
// separate top-level window above its owner and is closed by whoever owns the report.
#include "platform/report/DisplayList.h"

#include <QWidget>

class QComboBox;
class QScrollArea;

namespace velu::report {

class Seitenansicht;

class VorschauFenster : public QWidget {
    Q_OBJECT
public:
    VorschauFenster(DisplayList dl, const QString& titel, QWidget* owner = nullptr);

    const DisplayList& Seiten() const { return dl_; }
    double Zoom() const;
    void SetZoom(double faktor);
    // Prints through the print dialog; false when cancelled or failed.
    bool Drucken();
    // Asks for a file name and writes a PDF; false when cancelled or failed.
    bool AlsPdf();

private:
    DisplayList dl_;
    QString titel_;
    Seitenansicht* ansicht_;
    QComboBox* zoom_;
    QScrollArea* bereich_;
};

} // namespace velu::report
