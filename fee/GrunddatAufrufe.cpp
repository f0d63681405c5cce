// The dialogs the basic-data form opens: lump sums, points catalogue, surcharges.
#include "fee/Grunddat.h"

#include "platform/forms/MessageBox.h"

namespace velu::fee {

namespace {

void nochNichtVerfuegbar(QWidget* owner) {
    forms::MsgBox(owner, "Dieser Dialog ist noch nicht verfügbar.", forms::MsgButtons::OK,
                  forms::MsgIcon::Information);
}

} // namespace

void Grunddat::PauschalAufruf() {
    nochNichtVerfuegbar(this);
}

void Grunddat::punktekataufruf() {
    nochNichtVerfuegbar(this);
}

void Grunddat::ZuschlaegeAufruf() {
    nochNichtVerfuegbar(this);
    // The surcharge rows as they are stored go into the phase fees.
    ZuschlaegeUebernehmen();
}

} // namespace velu::fee
