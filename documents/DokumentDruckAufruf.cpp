#include "documents/DokumentDruckAufruf.h"

#include "core/AppState.h"
#include "documents/PrintFormKO.h"
#include "documents/RechnungDruckAufruf.h"
#include "platform/forms/FormTag.h"
#include "platform/forms/WindowPos.h"

namespace velu {

DokumentDruckAufruf::DokumentDruckAufruf(CRModul& cr, QWidget* owner, Zeigen zeigen)
    : cr_(cr), owner_(owner), zeigen_(std::move(zeigen)) {}

void DokumentDruckAufruf::Bericht(int berichtIndex, const QString& caption, int64_t lfnr,
                                  const QString& nummer, int64_t ursprung) {
    PrintFormKO f(cr_, owner_);
    // The tag keeps the register's window position apart from the main window's.
    forms::SetFormTag(f, "T2");
    f.setWindowTitle(caption);
    forms::LoadWindowPos(f, App().Einstellungen());
    f.PrintMode2(berichtIndex, lfnr, nummer, ursprung);
    if (zeigen_)
        zeigen_(f);
    else
        f.exec();
}

void DokumentDruckAufruf::Rechnung(int art, const QString& datum, int inputType, int displayType, int64_t lfnr) {
    documents::CallREPRINT(cr_, art, datum, inputType, displayType, lfnr, owner_);
}

void DokumentDruckAufruf::Zusammenstellung(const std::vector<int64_t>& liste, const QString& datum,
                                           int inputType, int displayType, int64_t lfnr) {
    documents::CallReZusammenstellung(cr_, liste, datum, inputType, displayType, lfnr, owner_);
}

reg::DruckAufrufFabrik DokumentDruckAufruf::Fabrik(CRModul& cr) {
    return [&cr](QWidget* owner) -> std::unique_ptr<reg::DruckAufruf> {
        return std::make_unique<DokumentDruckAufruf>(cr, owner);
    };
}

} // namespace velu
