#pragma once
// Painting a display list: one page onto any painter, all pages into a PDF file or onto a printer.
#include "platform/report/DisplayList.h"

#include <QSizeF>
#include <QString>

#include <functional>

class QPainter;
class QPrinter;

namespace velu::report {

// Paints page `seite` (from 0) with pxProMm device pixels per millimetre, the page's top left at (0, 0).
void MaleSeite(QPainter& p, const DisplayList& dl, int seite, double pxProMm);

// Called while painting for every text that does not fit its field (the item and the size in mm it would
// need); unset in the program. Tests set it to show that no report cuts text off.
std::function<void(const DisplayItem&, const QSizeF&)>& AbschneideMelder();

// 0 or SchreibFehler.
int SchreibePdf(const DisplayList& dl, const QString& pfad, const QString& titel = {});

// Prints every page on the printer as set up (copies included); 0 or KeinDrucker.
int Drucke(const DisplayList& dl, QPrinter& drucker);

} // namespace velu::report
