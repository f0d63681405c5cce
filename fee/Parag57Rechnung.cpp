#include "fee/Parag57Rechnung.h"

#include "core/MoneyFormat.h"
#include "fee/PauschalRechnung.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"

namespace velu::fee {

Currency Honorar57(Currency kosten, Currency satz, Currency fertig) {
    return ProzentVon(ProzentVon(kosten, satz), fertig);
}

std::string FormatZahl2(Currency wert) {
    std::string s = FormatBetrag(wert, DM);
    s.erase(s.rfind(FormatBetragTrenner)); // without its sign
    return s;
}

Parag57Rechnung::Parag57Rechnung(db::Database& projektDB) : db_(projektDB) {}

void Parag57Rechnung::MakeConnection(int32_t key, Currency kosten, std::optional<Currency> satz,
                                     Currency fertig, Currency pausch, Currency alDispPausch,
                                     WaehrungCode berechnung, WaehrungCode anzeige) {
    key_ = key;
    berechnung_ = berechnung;
    SwitchWährung(anzeige);
    kosten_ = kosten;
    satz_ = satz.value_or(Parag57StandardSatz);
    fertig_ = fertig;
    pausch_ = pausch;
    alDispPausch_ = alDispPausch;
    kostenGeaendert_ = false;
    CalcHonorar57();
}

void Parag57Rechnung::SwitchWährung(WaehrungCode anzeige) {
    anzeige_ = anzeige;
    modus_ = WährungsModus(berechnung_, anzeige_);
}

void Parag57Rechnung::CalcHonorar57() {
    honorar_ = Honorar57(kosten_, satz_, fertig_);
    if (modus_ == 1 || modus_ == 2)
        alDispHonorar_ = DMEuroUmrechnung(honorar_, 1);
    else if (modus_ == 3 || modus_ == 4)
        alDispHonorar_ = DMEuroUmrechnung(honorar_, 0);
}

void Parag57Rechnung::SumKostenEX() {
    if (!kostenGeaendert_) return;
    auto q = db_.GetQueryDef("SumKostenPara57");
    if (!q) throw db::DbError("Die Abfrage SumKostenPara57 fehlt.");
    q->SetParameter("LfNrBeReList", int64_t{key_});
    db::Recordset rs = q->OpenRecordset();
    kosten_ = rs.Empty() ? Currency{} : GetCY(rs, rs.FieldNames().front());
    kostenGeaendert_ = false;
}

void Parag57Rechnung::SetSatzUndFertig(Currency satz, Currency fertig) {
    satz_ = satz;
    fertig_ = fertig;
    CalcHonorar57();
}

bool Parag57Rechnung::SetPausch(Currency getippt) {
    const auto paar = GetippterBetrag(modus_, getippt);
    if (!paar) return false;
    pausch_ = paar->wert;
    alDispPausch_ = paar->altWert;
    return modus_ == 2 || modus_ == 3;
}

Parag57Werte Parag57Rechnung::GetDaten() {
    SumKostenEX();
    CalcHonorar57();
    return {kosten_, satz_, fertig_, pausch_, alDispPausch_, honorar_, alDispHonorar_};
}

std::optional<Currency> Parag57Rechnung::AnzeigeHonorar() const {
    if (modus_ == 1 || modus_ == 4) return honorar_;
    if (modus_ == 2 || modus_ == 3) return alDispHonorar_;
    return std::nullopt;
}

std::optional<Currency> Parag57Rechnung::AnzeigePausch() const {
    if (modus_ == 1 || modus_ == 4) return pausch_;
    if (modus_ == 2 || modus_ == 3) return alDispPausch_;
    return std::nullopt;
}

} // namespace velu::fee
