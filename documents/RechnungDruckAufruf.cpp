#include "documents/RechnungDruckAufruf.h"

#include "documents/DruckAufrufRechnung.h"

namespace velu::documents {

namespace {
void Zeige(DruckAufrufRechnung& d) {
    if (auto& hook = DruckAufrufHook()) hook(d);
    d.exec();
}
} // namespace

std::function<void(DruckAufrufRechnung&)>& DruckAufrufHook() {
    static std::function<void(DruckAufrufRechnung&)> hook;
    return hook;
}

void CallREPRINT(CRModul& cr, int art, const QString& datum, int eingabe, int anzeige, int64_t lfnr,
                 QWidget* owner) {
    DruckAufrufRechnung d(cr, owner);
    d.Makeconection(art, datum, eingabe, anzeige, lfnr);
    Zeige(d);
}

void CallReZusammenstellung(CRModul& cr, const std::vector<int64_t>& liste, const QString& datum, int eingabe,
                            int anzeige, int64_t lfnr, QWidget* owner) {
    DruckAufrufRechnung d(cr, owner);
    d.ZusammTrans(liste);
    d.Makeconection(4, datum, eingabe, anzeige, lfnr);
    Zeige(d);
}

} // namespace velu::documents
