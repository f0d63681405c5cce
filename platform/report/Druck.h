#pragma once
// A print job of a laid-out report: on the default printer, or through the print dialog (which also offers
// a PDF file). A PDF file set as the target replaces the printer without any dialog, so tests need no
// printer.
#include "platform/report/DisplayList.h"

#include <QString>

class QWidget;

namespace velu::report {

struct DruckAuftrag {
    bool fragen = false; // show the print dialog
    int kopien = 1;
    QString titel;
    QWidget* owner = nullptr;
    QString pdfDatei; // when set: every copy goes into this file
};

// 0, DruckAbgebrochen (dialog cancelled), KeinDrucker or SchreibFehler.
int Drucke(const DisplayList& dl, const DruckAuftrag& a);

} // namespace velu::report
