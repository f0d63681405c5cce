#include "register/CalculationRegister.h"

#include "core/Money.h"
#include "platform/db/DbError.h"

#include <cctype>
#include <cmath>

namespace velu::reg {

namespace {

// One row written as a whole: on any failure the edit is dropped, so the row stays as stored.
template <class Setzen> void ZeileAendern(db::Recordset& rs, Setzen setzen) {
    rs.Edit();
    try {
        setzen();
        rs.Update();
    } catch (...) {
        if (rs.Editing()) rs.CancelUpdate();
        throw;
    }
}

constexpr const char* kTypen = "ARSEVB";

bool IstCurrencySpalte(const db::Recordset& rs, std::string_view feld) {
    std::string t = rs.DeclType(feld);
    for (auto& c : t)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return t == "CURRENCY";
}

// Writes a percentage in the storage its column uses.
void SetProzent(db::Recordset& rs, std::string_view feld, Currency prozent) {
    if (IstCurrencySpalte(rs, feld) || rs.DeclType(feld).empty())
        SetCY(rs, feld, prozent);
    else
        rs.Set(feld, prozent.ToDouble());
}

const std::string& ErstesFeld(const db::Recordset& rs) {
    if (rs.FieldNames().empty()) throw db::DbError("Abfrage ohne Felder");
    return rs.FieldNames().front();
}

const std::string& ZweitesFeld(const db::Recordset& rs) {
    if (rs.FieldNames().size() < 2) throw db::DbError("Abfrage mit zu wenigen Feldern");
    return rs.FieldNames()[1];
}

Currency AndereWährung(Currency betrag, int inputType) {
    Currency wert, altWert;
    WährungsWert(1, betrag, static_cast<WaehrungCode>(inputType), wert, altWert);
    return altWert;
}

} // namespace

std::string KuerzeBezeichnung(std::string_view text) {
    // Count UTF-8 characters so an umlaut is never split.
    size_t zeichen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (zeichen == MaxBezeichnungLaenge) return std::string(text.substr(0, i));
            ++zeichen;
        }
    }
    return std::string(text);
}

char TypBuchstabe(int optionIndex) {
    return optionIndex >= 0 && optionIndex < 6 ? kTypen[optionIndex] : '\0';
}

int TypOption(std::string_view reType) {
    if (reType.size() != 1) return -1;
    for (int i = 0; i < 6; ++i)
        if (kTypen[i] == reType[0]) return i;
    return -1;
}

Currency ReadBetrag(const db::Recordset& rs, std::string_view feld) {
    return GetCY(rs, feld);
}

Currency ReadProzent(const db::Recordset& rs, std::string_view feld) {
    db::Value v = rs.Get(feld);
    if (auto* i = std::get_if<int64_t>(&v)) {
        if (IstCurrencySpalte(rs, feld) || rs.DeclType(feld).empty()) return Currency::FromRaw(*i);
        return Currency::FromUnits(*i);
    }
    if (auto* d = std::get_if<double>(&v)) return Currency::FromDouble(*d);
    if (std::holds_alternative<std::string>(v)) return GetCY(rs, feld);
    return {};
}

CalculationRegister::CalculationRegister(db::Database& projektDB) : db_(projektDB) {}

void CalculationRegister::Open() {
    auto q = db_.GetQueryDef("Rechnungsübersicht");
    if (!q) throw db::DbError("Die Abfrage Rechnungsübersicht fehlt in der Projektdatenbank.");
    overview_ = q->OpenRecordset();
    open_ = true;
    current_.reset();
}

std::vector<TreeRow> CalculationRegister::TreeRows() {
    auto q = db_.GetQueryDef("Rechnungsübersicht");
    if (!q) throw db::DbError("Die Abfrage Rechnungsübersicht fehlt in der Projektdatenbank.");
    db::Recordset rs = q->OpenRecordset();
    std::vector<TreeRow> rows;
    for (; !rs.EOF_(); rs.MoveNext())
        rows.push_back({rs.GetInt("Ursprung"), rs.GetText("ReBezeichnung"), rs.GetText("Gruppenbezeichnung"),
                        rs.GetInt("LfNr")});
    return rows;
}

int CalculationRegister::RecordCount() const {
    return open_ ? overview_.RecordCount() : 0;
}

bool CalculationRegister::FindBerechnung(int64_t lfnr) {
    current_.reset();
    inputType_ = displayType_ = 0;
    reType_.clear();
    if (!open_ || overview_.Empty()) return false;
    if (!overview_.FindFirst("Lfnr = " + std::to_string(lfnr))) return false;
    current_ = lfnr;
    inputType_ = static_cast<int>(overview_.GetInt("INPUTType"));
    displayType_ = static_cast<int>(overview_.GetInt("DisplayType"));
    reType_ = overview_.GetText("REType");
    return true;
}

db::Recordset& CalculationRegister::row() {
    if (!current_) throw db::DbError("Keine Berechnung ausgewählt.");
    if (overview_.EOF_() || overview_.BOF() || overview_.Key() != *current_) {
        if (!overview_.FindFirst("Lfnr = " + std::to_string(*current_)))
            throw db::DbError("Die Berechnung " + std::to_string(*current_) + " ist nicht mehr vorhanden.");
    }
    return overview_;
}

const db::Recordset& CalculationRegister::Row() {
    return row();
}

bool CalculationRegister::Modif() {
    return row().GetBool("Modif");
}

Currency CalculationRegister::Betrag(std::string_view feld) {
    return ReadBetrag(row(), feld);
}

Currency CalculationRegister::Prozent(std::string_view feld) {
    return ReadProzent(row(), feld);
}

RechnungsEingaben CalculationRegister::ReadEingaben(const std::string& prefix) {
    const db::Recordset& rs = row();
    auto betrag = [&](const char* name) { return ReadBetrag(rs, prefix + name); };
    auto prozent = [&](const char* name) { return ReadProzent(rs, name); };
    RechnungsEingaben e;
    e.berNetto = betrag("BerNetto");
    e.mwstPro = prozent("MwstPro");
    e.skontoPro = prozent("SkontoPro");
    e.summAz = betrag("SummAz");
    e.inZuSchBerNettoPro = prozent("InZuSchBerNettoPro");
    e.inZuSchBerNettoDM = betrag("InZuSchBerNettoDM");
    e.inZuSchBruttoPro = prozent("InZuSchBruttoPro");
    e.inZuSchBruttoDM = betrag("InZuSchBruttoDM");
    e.stdReNetZuAbPro = prozent("StdReNetZuAbPro");
    e.stdReNetZuAbDM = betrag("StdReNetZuAbDM");
    e.stdReBrZuAbPro = prozent("StdReBrZuAbPro");
    e.stdReBrZuAbDM = betrag("StdReBrZuAbDM");
    return e;
}

void CalculationRegister::CalcRechnung(int mode) {
    const std::string prefix = mode == 0 ? "" : "AlDisp";
    const bool std = reType_.size() == 1 && NutztStdReZuschlaege(reType_[0]);
    WriteBerechnung(prefix, BerechneRechnung(ReadEingaben(prefix), std));
}

void CalculationRegister::WriteBerechnung(const std::string& prefix, const RechnungsErgebnis& r) {
    db::Recordset& rs = row();
    ZeileAendern(rs, [&] {
        SetCY(rs, prefix + "StdReNetZuAbProDM", r.stdReNetZuAbProDM);
        SetCY(rs, prefix + "StdReBrZuAbProDM", r.stdReBrZuAbProDM);
        SetCY(rs, prefix + "InZuSchBerNettoProDM", r.inZuSchBerNettoProDM);
        SetCY(rs, prefix + "ZuAbBrNetto", r.zuAbBrNetto);
        SetCY(rs, prefix + "ZwSumm", r.zwSumm);
        SetCY(rs, prefix + "MwstDM", r.mwstDM);
        SetCY(rs, prefix + "Brutto", r.brutto);
        SetCY(rs, prefix + "InZuSchBruttoProDM", r.inZuSchBruttoProDM);
        SetCY(rs, prefix + "ZuAbBrutto", r.zuAbBrutto);
        SetCY(rs, prefix + "Skontofaehig", r.skontofaehig);
        SetCY(rs, prefix + "SkontoDM", r.skontoDM);
        SetCY(rs, prefix + "Endbetrag", r.endbetrag);
        SetCY(rs, prefix + "Mwstenthalten", r.mwstenthalten);
    });
}

db::Recordset CalculationRegister::RunQuery(std::string_view name, int64_t berListNr) {
    auto q = db_.StoredQuery(name);
    q.SetParameter("BerListNr", static_cast<double>(berListNr));
    return q.OpenRecordset();
}

void CalculationRegister::CalcHonorarBerNetto(int64_t lfnr) {
    db::Value zuPara;
    {
        db::Recordset rs = RunQuery("GetLeistungsbildPara", lfnr);
        if (!rs.Empty()) zuPara = rs.Get(ErstesFeld(rs));
    }
    Currency f, p1, a1, p2, a2;
    {
        db::Recordset rs = RunQuery("GETHonorarBerNetto", lfnr);
        if (!rs.Empty()) f = ReadBetrag(rs, ErstesFeld(rs));
    }
    {
        db::Recordset rs = RunQuery("GetZuBerNetto", lfnr);
        if (!rs.Empty()) {
            p1 = ReadProzent(rs, ErstesFeld(rs));
            a1 = ReadBetrag(rs, ZweitesFeld(rs));
        }
    }
    {
        db::Recordset rs = RunQuery("GetZuBrutto", lfnr);
        if (!rs.Empty()) {
            p2 = ReadProzent(rs, ErstesFeld(rs));
            a2 = ReadBetrag(rs, ZweitesFeld(rs));
        }
    }
    if (!current_ || *current_ != lfnr) {
        if (!FindBerechnung(lfnr)) throw db::DbError("Die Berechnung " + std::to_string(lfnr) + " fehlt.");
    }
    db::Recordset& rs = row();
    ZeileAendern(rs, [&] {
        SetCY(rs, "BerNetto", f);
        SetCY(rs, "AlDispBerNetto", RundCY(AndereWährung(f, inputType_)));
        SetProzent(rs, "InZuSchBerNettoPro", p1);
        SetCY(rs, "InZuSchBerNettoDM", a1);
        SetCY(rs, "AlDispInZuSchBerNettoDM", AndereWährung(a1, inputType_));
        SetProzent(rs, "InZuSchBruttoPro", p2);
        SetCY(rs, "InZuSchBruttoDM", a2);
        SetCY(rs, "AlDispInZuSchBruttoDM", AndereWährung(a2, inputType_));
        rs.Set("ZuPara", zuPara);
    });
}

void CalculationRegister::CalcStdReNetto(int64_t lfnr) {
    Currency s;
    {
        db::Recordset rs = RunQuery("GetStdRePos", lfnr);
        if (!rs.Empty()) s = ReadBetrag(rs, ErstesFeld(rs));
    }
    if (!current_ || *current_ != lfnr) {
        if (!FindBerechnung(lfnr)) throw db::DbError("Die Berechnung " + std::to_string(lfnr) + " fehlt.");
    }
    db::Recordset& rs = row();
    ZeileAendern(rs, [&] {
        SetCY(rs, "BerNetto", s);
        SetCY(rs, "AlDispBerNetto", RundCY(AndereWährung(s, inputType_)));
        rs.Set("ZuPara", std::string("XXX"));
    });
}

EditorErgebnis CalculationRegister::EDITRe(BerechnungEditor& editor, const std::string& nummerText,
                                           const std::string& knotenText) {
    db::Recordset& rs = row();
    const int64_t lfnr = *current_;
    const std::string typ = rs.GetText("REType");
    EditorErgebnis ergebnis = EditorErgebnis::Geschlossen;
    enum { Keine, Honorar, Stunden, Bauueberwachung } nachlauf = Keine;
    Parag57Daten daten;

    if (typ == "A" || typ == "R" || typ == "E" || typ == "V") {
        const int rechnungsart = (typ == "A" || typ == "E") ? 1 : 0;
        ergebnis = editor.EditGrunddaten(lfnr, displayType_, inputType_, rechnungsart,
                                         "Grunddaten " + nummerText + " " + knotenText);
        nachlauf = Honorar;
    } else if (typ == "S") {
        ergebnis = editor.EditStdRech(lfnr, displayType_, inputType_,
                                      "Stundenlohnrechnung " + nummerText + " " + knotenText);
        nachlauf = Stunden;
    } else if (typ == "B") {
        if (!rs.IsNull("PSatz57")) daten.pSatz57 = ReadProzent(rs, "PSatz57");
        daten.fertigstell57 =
            rs.IsNull("Fertigstell57") ? Currency::FromUnits(100) : ReadProzent(rs, "Fertigstell57");
        daten.pausch57 = ReadBetrag(rs, "Pausch57");
        daten.alDispPausch57 = ReadBetrag(rs, "AlDispPausch57");
        daten.kost57 = ReadBetrag(rs, "KOST57");
        ergebnis = editor.EditParag57(lfnr, daten, inputType_, displayType_);
        nachlauf = Bauueberwachung;
    }
    if (ergebnis == EditorErgebnis::NichtVerfuegbar) return ergebnis;

    // The editor has stored its rows; what follows derives the register row from them and is written as one
    // unit, so a failure leaves the old totals in place.
    uebernehmen(lfnr, [&] {
        if (nachlauf == Honorar) CalcHonorarBerNetto(lfnr);
        if (nachlauf == Stunden) CalcStdReNetto(lfnr);
        if (nachlauf == Bauueberwachung && ergebnis == EditorErgebnis::Bestaetigt) {
            db::Recordset& r = row();
            ZeileAendern(r, [&] {
                SetCY(r, "KOST57", daten.kost57);
                if (daten.pSatz57) SetProzent(r, "PSatz57", *daten.pSatz57);
                SetProzent(r, "Fertigstell57", daten.fertigstell57);
                SetCY(r, "Pausch57", daten.pausch57);
                SetCY(r, "AlDispPausch57", daten.alDispPausch57);
                if (daten.pausch57 != Currency{}) {
                    SetCY(r, "BerNetto", daten.pausch57);
                    SetCY(r, "AlDispBerNetto", daten.alDispPausch57);
                } else {
                    SetCY(r, "BerNetto", daten.honorar);
                    SetCY(r, "AlDispBerNetto", RundCY(daten.alDispHonorar));
                }
            });
        }
        SetModif(true);
    });
    FindBerechnung(lfnr);
    return ergebnis;
}

void CalculationRegister::Uebernehmen(const std::function<void()>& schreiben) {
    uebernehmen(CurrentLfNr(), schreiben);
}

void CalculationRegister::uebernehmen(int64_t lfnr, const std::function<void()>& schreiben) {
    try {
        db::Transaction t(db_);
        if (schreiben) schreiben();
        CalcRechnung(0);
        CalcRechnung(1);
        t.Commit();
    } catch (...) {
        // The recordset holds what the rollback took back.
        overview_.Requery();
        FindBerechnung(lfnr);
        throw;
    }
}

void CalculationRegister::PutWährungsDaten(Currency wert, Currency altWert, std::string_view spalte,
                                           std::string_view altSpalte) {
    db::Recordset& rs = row();
    ZeileAendern(rs, [&] {
        SetCY(rs, spalte, wert);
        SetCY(rs, altSpalte, altWert);
    });
}

void CalculationRegister::PutProzent(std::string_view spalte, Currency prozent) {
    db::Recordset& rs = row();
    ZeileAendern(rs, [&] { SetProzent(rs, spalte, prozent); });
}

void CalculationRegister::PutText(std::string_view spalte, const std::string& text) {
    db::Recordset& rs = row();
    ZeileAendern(rs, [&] { rs.Set(spalte, text); });
}

void CalculationRegister::PutDatum(const std::string& iso) {
    PutText("Redatum", iso);
}

void CalculationRegister::SetReType(char typ) {
    PutText("REType", std::string(1, typ));
    reType_ = std::string(1, typ);
}

void CalculationRegister::SetDisplayType(int displayType) {
    db::Recordset& rs = row();
    ZeileAendern(rs, [&] { rs.Set("DisplayType", int64_t{displayType}); });
    displayType_ = displayType;
}

void CalculationRegister::SetModif(bool modif) {
    db::Recordset& rs = row();
    ZeileAendern(rs, [&] { rs.SetBool("Modif", modif); });
}

void CalculationRegister::Updategruppe(int64_t ursprung, const std::string& name) {
    db_.Execute("UPDATE BeReList SET Gruppenbezeichnung = :Name WHERE Ursprung = :Ursprung",
                db::Params().Set("Name", name).Set("Ursprung", ursprung));
    if (open_) {
        overview_.Requery();
        if (current_) FindBerechnung(*current_);
    }
}

std::optional<Currency> CalculationRegister::RepairMwstPro() {
    db::Recordset& rs = row();
    if (!rs.IsNull("MwstPro")) return std::nullopt;
    const Currency mwst = ReadBetrag(rs, "MwstDM");
    const Currency zwSumm = ReadBetrag(rs, "ZwSumm");
    if (mwst == Currency{}) return std::nullopt;
    const Currency hundertstel = Currency::FromDouble(zwSumm.ToDouble() / 100.0);
    if (hundertstel == Currency{}) return std::nullopt;
    const Currency satz =
        Currency::FromUnits(static_cast<int64_t>(std::nearbyint(mwst.ToDouble() / hundertstel.ToDouble())));
    PutProzent("MwstPro", satz);
    return satz;
}

} // namespace velu::reg
