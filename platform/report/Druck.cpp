#include "platform/report/Druck.h"

#include "platform/report/Ausgabe.h"
#include "platform/report/ReportFehler.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace velu::report {

int Drucke(const DisplayList& dl, const DruckAuftrag& a) {
    const int kopien = std::max(1, a.kopien);
    if (!a.pdfDatei.isEmpty()) {
        DisplayList alle = dl;
        alle.seiten.clear();
        for (int k = 0; k < kopien; ++k)
            alle.seiten.insert(alle.seiten.end(), dl.seiten.begin(), dl.seiten.end());
        return SchreibePdf(alle, a.pdfDatei, a.titel);
    }
    QPrinter drucker(QPrinter::HighResolution);
    drucker.setDocName(a.titel);
    drucker.setCopyCount(kopien);
    const bool standard = !QPrinterInfo::defaultPrinter().isNull();
    if (a.fragen || !standard) {
        QPrintDialog dlg(&drucker, a.owner);
        if (dlg.exec() != QDialog::Accepted) return DruckAbgebrochen;
    } else {
        drucker.setPrinterName(QPrinterInfo::defaultPrinterName());
    }
    return Drucke(dl, drucker);
}

} // namespace velu::report
