#include "fee/FeeCalculation.h"

#include "core/Money.h"
#include "core/MoneyFormat.h"
#include "fee/FeeTableLookup.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <utility>

namespace velu::fee {

namespace {

// Field names of the indexed families, built once.
struct Names {
    std::array<std::string, 11> koZU, proz; // slots 1 to 10
    std::array<std::string, 10> summZu, teilleistPro, teilleistDM, zuDM, totalDMLP, grundLDM, vollZu; // 1-9
    Abschnitte<std::string> satzUemin, summAnreKost, anreKost, anreKostFremd, fremdKoMod, honorarMin,
        honorarMax, grHonorar, sumHOMax, sumHOMin, sumAnrechenbar, pHonorar, honrarNetto;
    Names() {
        for (int i = 1; i <= 10; ++i) {
            const std::string s = i < 10 ? "0" + std::to_string(i) : std::to_string(i);
            koZU[i] = "KoZU" + s;
            proz[i] = "proz" + s;
        }
        for (int i = 1; i <= 9; ++i) {
            const std::string s = std::to_string(i);
            summZu[i] = "SummZu" + s;
            teilleistPro[i] = "TeilleistPro" + s;
            teilleistDM[i] = "TeilleistDM" + s;
            zuDM[i] = "ZuDM" + s;
            totalDMLP[i] = "TotalDMLP" + s;
            grundLDM[i] = "GrundLDM" + s;
            vollZu[i] = "VollZuschlagant" + s;
        }
        for (int k = 1; k <= 3; ++k) {
            const std::string s = std::to_string(k);
            satzUemin[k] = "SatzUemin" + s;
            summAnreKost[k] = "SummAnreKostAB" + s;
            anreKost[k] = "AnreKostAB" + s;
            anreKostFremd[k] = "AnreKostFremdAB" + s;
            fremdKoMod[k] = "FremdKoModAB" + s;
            honorarMin[k] = "HonorarMinAB" + s;
            honorarMax[k] = "HonorarMaxAB" + s;
            grHonorar[k] = "GrHonorarAb" + s;
            sumHOMax[k] = "SumHOMax" + s;
            sumHOMin[k] = "SumHOMin" + s;
            sumAnrechenbar[k] = "SumAnrechenbareKosten" + s;
            pHonorar[k] = "PHonorarAB" + s;
            honrarNetto[k] = "HonrarNettoAB" + s;
        }
    }
};

const Names& names() {
    static const Names n;
    return n;
}

// A field name with the twin prefix, put together on the stack: the pass names hundreds of fields.
class TwinName {
public:
    TwinName(std::string_view prefix, std::string_view stem) {
        const size_t n = prefix.size() + stem.size();
        if (n <= sizeof buf_) {
            prefix.copy(buf_, prefix.size());
            stem.copy(buf_ + prefix.size(), stem.size());
            view_ = std::string_view(buf_, n);
        } else {
            long_.append(prefix).append(stem);
            view_ = long_;
        }
    }
    TwinName(const TwinName&) = delete;
    TwinName& operator=(const TwinName&) = delete;
    operator std::string_view() const { return view_; }

private:
    char buf_[64];
    std::string long_;
    std::string_view view_;
};

TwinName twin(std::string_view prefix, std::string_view stem) {
    return TwinName(prefix, stem);
}

// Percentages are stored like amounts (ten-thousandths) and computed with as such.
Currency getPercent(const db::Recordset& rs, std::string_view field, Currency def = {}) {
    return GetCY(rs, field, def);
}

void setPercent(db::Recordset& rs, std::string_view field, Currency c) {
    SetCY(rs, field, c);
}

int64_t getInt(const db::Recordset& rs, std::string_view field, int64_t def = 0) {
    if (rs.Empty() || rs.EOF_() || rs.BOF()) return def;
    return rs.GetInt(field, def);
}

// Joins an edit already open on the row (one write per plant group in a pass), else opens and writes its own.
class EditScope {
public:
    explicit EditScope(db::Recordset& rs) : rs_(rs), own_(!rs.Editing()) {
        if (own_) rs_.Edit();
    }
    ~EditScope() {
        if (own_ && rs_.Editing()) rs_.CancelUpdate();
    }
    void Done() {
        if (own_) rs_.Update();
    }

private:
    db::Recordset& rs_;
    bool own_;
};

const char* const ausserhalbText = "Die anrechenbaren Kosten sind ";
const char* const frei = "und können somit frei vereinbart werden";

const char* eingabeMeldung(int16_t code) {
    switch (code) {
    case FehltLeistungsbild:
        return "Es fehlt das Leistungsbild";
    case ZoneZuGross:
        return "Die angegebene Honorarzone existiert nicht";
    case ZoneNichtPositiv:
        return "Die Honorarzone muß größer 0 sein";
    case SatzNegativ:
        return "Satz über Minimum kann nicht kleiner 0 sein";
    case SatzUeber100:
        return "Satz über Minimum kann nicht größer 100 sein";
    default:
        return "";
    }
}

} // namespace

FeeCalculation::FeeCalculation(db::Database& projektDB, db::Database& stammDB, MessageSink& messages)
    : projektDB_(projektDB), stammDB_(stammDB), messages_(messages) {}

void FeeCalculation::show(const std::string& text, const std::string& caption, MessageIcon icon) {
    if (still_) return;
    if (deferMessages_)
        pending_.push_back({text, caption, icon});
    else
        messages_.Show(text, caption, icon);
}

void FeeCalculation::openGrunddaten(int32_t berListNr, int16_t gruppe) {
    auto qd = projektDB_.GetQueryDef("GetGrunddaten");
    if (!qd) throw db::DbError("Abfrage GetGrunddaten fehlt");
    qd->SetParameter("LfNrBeReListx", int64_t{berListNr});
    qd->SetParameter("AnlageGruppex", int64_t{gruppe});
    grunddaten_ = qd->OpenRecordset();
    if (!grunddaten_.Empty()) grunddaten_.MoveFirst();
}

bool FeeCalculation::OpenGrunddaten() {
    openGrunddaten(berListNr_, anlageGruppe_);
    return !grunddaten_.Empty();
}

bool FeeCalculation::ConectLeistungsbild(int32_t lfnr) {
    auto qd = projektDB_.GetQueryDef("GetLeistungsbild");
    if (!qd) throw db::DbError("Abfrage GetLeistungsbild fehlt");
    qd->SetParameter(1, int64_t{lfnr});
    leistungsbild_ = qd->OpenRecordset();
    if (leistungsbild_.Empty()) return false;
    leistungsbild_.MoveFirst();
    return true;
}

int16_t FeeCalculation::Einheit() const {
    return static_cast<int16_t>(getInt(leistungsbild_, "Einheit"));
}

bool FeeCalculation::FremdleistungZaehlt() const {
    return getInt(leistungsbild_, "Integrationspl") != 0;
}

bool FeeCalculation::MitAnlageGruppen() const {
    return getInt(leistungsbild_, "MitAnLageGrp") != 0;
}

PhasenBereiche FeeCalculation::Bereiche() const {
    std::array<int16_t, 11> koZU{};
    if (rechnungsart_ != 1)
        for (int i = 1; i <= 10; ++i)
            koZU[i] = static_cast<int16_t>(getInt(leistungsbild_, names().koZU[i]));
    return BerechnePhasenBereiche(rechnungsart_, koZU);
}

// ---- check and recalculation
// -------------------------------------------------------------------------------

int16_t FeeCalculation::CheckCalcGrDaten() {
    if (!inputsChanged_ && !costsChanged_) return PruefungOk;
    const auto profil = static_cast<int32_t>(getInt(leistungsbild_, "LfNr"));
    // Inputs, costs and the fee pass are written as one: a pass that fails leaves no new costs beside old
    // fees. The flags are cleared only once it is stored, and the messages wait for that.
    pending_.clear();
    deferMessages_ = true;
    struct Restore {
        bool& flag;
        ~Restore() { flag = false; }
    } restore{deferMessages_};
    const bool inputs = inputsChanged_;
    int16_t result = PruefungOk;
    bool speichern = true, eingabeFehler = false;
    try {
        // The write lock first, then the rows as they stand under it: another user's change between the
        // opening and now is computed with, not overwritten by rows read before.
        db::Transaction tx(projektDB_);
        if (!grunddaten_.Empty()) grunddaten_.Requery();
        if (!leistungsbild_.Empty()) leistungsbild_.Requery();
        if (inputs) {
            const int16_t code = CheckGrDatenInput();
            if (code != PruefungOk) {
                // Refused inputs are not stored (another pass would compute with a zone the table does not
                // have): the rollback takes them back and nothing is recomputed.
                result = code;
                eingabeFehler = true;
                speichern = false;
            }
        }
        const auto kosten = berechneAnreKosten();
        // A deduction line is fine; a section that takes off more than it has is no cost an office means.
        for (int k = 1; k <= 3 && speichern; ++k)
            if (kosten[k] && kosten[k]->summe < Currency{}) {
                show("Negative Beträge sind hier nicht zulässig.", caption_, MessageIcon::Error);
                result = KostenNegativ;
                speichern = false;
            }
        if (speichern) {
            schreibeAnreKosten(kosten);
            result = CalcAllGrunddaten();
            tx.Commit();
            inputsChanged_ = false;
            costsChanged_ = false;
        }
    } catch (...) {
        pending_.clear();
        nachRollback(profil);
        throw;
    }
    // Refused: the rollback took back the inputs too, so the rows are read again.
    if (!speichern) nachRollback(profil);
    zeigeZurueckgestellte();
    if (eingabeFehler) DisplayErrMsgGrDaten(result);
    return result;
}

void FeeCalculation::nachRollback(int32_t profil) {
    try {
        openGrunddaten(berListNr_, anlageGruppe_);
        if (profil != 0) ConectLeistungsbild(profil);
    } catch (...) {
    }
}

int16_t FeeCalculation::CheckGrDatenInput() {
    if (eingabe_.leistungsbild.empty()) return FehltLeistungsbild;

    const std::optional<double> zahl = LeadingNumber(eingabe_.honorarzone);
    // A zone is a whole number; halves go to the even one.
    const double zone = zahl ? std::nearbyint(*zahl) : 0.0;
    const int64_t maxZone = getInt(leistungsbild_, "TafelMaxZone");
    const int16_t code = PruefeZoneUndSaetze(zone, maxZone, eingabe_.satzUemin);

    std::string bez;
    if (MitAnlageGruppen())
        bez = eingabe_.anlageGrBez;
    else
        anlageGruppe_ = 1;

    const Names& n = names();
    grunddaten_.Edit();
    for (int k = 1; k <= 3; ++k)
        setPercent(grunddaten_, n.satzUemin[k], eingabe_.satzUemin[k]);
    // Text that is no zone number, or one beyond a 16-bit zone, leaves the stored zone as it was.
    if (zahl && zone >= INT16_MIN && zone <= INT16_MAX)
        grunddaten_.Set("Honorarzone", static_cast<int64_t>(zone));
    grunddaten_.SetBool("PunktekatUsed", eingabe_.punktekatUsed);
    grunddaten_.Set("AnlageGruppe", int64_t{anlageGruppe_});
    grunddaten_.Set("AnlageGrBez", bez);
    grunddaten_.Update();
    return code;
}

void FeeCalculation::DisplayErrMsgGrDaten(int16_t code) {
    if (code == PruefungOk) return;
    show(eingabeMeldung(code), caption_, MessageIcon::Error);
}

int16_t FeeCalculation::pruefeGespeicherteWerte() {
    if (leistungsbild_.Empty()) return FehltLeistungsbild;
    Abschnitte<Currency> satz{};
    for (int k = 1; k <= 3; ++k)
        satz[k] = getPercent(grunddaten_, names().satzUemin[k]);
    const double zone = static_cast<double>(getInt(grunddaten_, "Honorarzone"));
    return PruefeZoneUndSaetze(zone, getInt(leistungsbild_, "TafelMaxZone"), satz);
}

int16_t FeeCalculation::CalcAllGrunddaten() {
    const auto berList = static_cast<int32_t>(getInt(grunddaten_, "LfNrBeReList", berListNr_));
    const auto gruppe = static_cast<int16_t>(getInt(grunddaten_, "AnlageGruppe", anlageGruppe_));
    const int32_t profil = static_cast<int32_t>(getInt(grunddaten_, "ZuordnungLBTabelle"));
    try {
        return calcAll();
    } catch (...) {
        // The pass was rolled back; the form keeps showing the current group's rows.
        pending_.clear();
        try {
            openGrunddaten(berList, gruppe);
            ConectLeistungsbild(profil);
        } catch (...) {
        }
        throw;
    }
}

int16_t FeeCalculation::calcAll() {
    fehlerGruppe_ = 0;
    int16_t result = PruefungOk;
    // Inside the check the messages wait for the check's own commit.
    const bool aussen = deferMessages_;
    if (!aussen) pending_.clear();
    deferMessages_ = true;
    struct Restore {
        bool& flag;
        bool alt;
        ~Restore() { flag = alt; }
    } restore{deferMessages_, aussen};

    db::Transaction tx(projektDB_);
    // A fee table is read once per pass; it does not change while the pass runs.
    std::map<int32_t, TafelDaten> tafeln;
    tafelCache_ = &tafeln;
    struct ClearCache {
        std::map<int32_t, TafelDaten>*& cache;
        ~ClearCache() { cache = nullptr; }
    } clearCache{tafelCache_};
    Abschnitte<Currency> summen{};
    Abschnitte<int16_t> status{};

    if (!MitAnlageGruppen()) {
        if (const int16_t code = pruefeGespeicherteWerte(); code != PruefungOk) {
            fehlerGruppe_ = anlageGruppe_;
            DisplayErrMsgGrDaten(code);
            if (!aussen) zeigeZurueckgestellte();
            return code;
        }
        grunddaten_.Edit();
        CallGrundHonorar(summen, status);
        FehlerCalcGPreis(status, result);
        CalcLeistungsbild(1);
        CalcLeistungsbild(0);
        grunddaten_.Update();
    } else {
        const int16_t gruppe = static_cast<int16_t>(getInt(grunddaten_, "AnlageGruppe"));
        const int32_t berList = static_cast<int32_t>(getInt(grunddaten_, "LfNrBeReList"));
        const int32_t profil = static_cast<int32_t>(getInt(grunddaten_, "ZuordnungLBTabelle"));
        const int64_t aktuellerKey = grunddaten_.Key();

        // No row from the sums query means no costs in any plant group.
        Abschnitte<Currency> gesamt{};
        auto sumsQd = projektDB_.GetQueryDef("SumAnreBareKostenAnlageGrp");
        if (!sumsQd) throw db::DbError("Abfrage SumAnreBareKostenAnlageGrp fehlt");
        sumsQd->SetParameter("BerListNr", int64_t{berListNr_});
        {
            db::Recordset sums = sumsQd->OpenRecordset();
            if (!sums.Empty()) {
                sums.MoveFirst();
                const auto& f = sums.FieldNames();
                for (int k = 1; k <= 3 && k <= static_cast<int>(f.size()); ++k)
                    gesamt[k] = GetCY(sums, f[k - 1]);
            }
        }

        auto qd = projektDB_.GetQueryDef("GetALLGrunddaten");
        if (!qd) throw db::DbError("Abfrage GetALLGrunddaten fehlt");
        qd->SetParameter("LfNrBeReListx", int64_t{berList});
        grunddaten_ = qd->OpenRecordset();

        // Every group's stored zone and rates are checked against its own profile before anything is written.
        std::map<int32_t, db::Recordset> profile;
        auto profilVon = [&](int32_t key) {
            auto it = profile.find(key);
            if (it == profile.end()) {
                ConectLeistungsbild(key);
                it = profile.emplace(key, std::move(leistungsbild_)).first;
            }
            return &it->second;
        };
        int16_t code = PruefungOk;
        for (grunddaten_.MoveFirst(); !grunddaten_.EOF_() && code == PruefungOk; grunddaten_.MoveNext()) {
            leistungsbild_ =
                std::move(*profilVon(static_cast<int32_t>(getInt(grunddaten_, "ZuordnungLBTabelle"))));
            code = pruefeGespeicherteWerte();
            profile[static_cast<int32_t>(getInt(grunddaten_, "ZuordnungLBTabelle"))] =
                std::move(leistungsbild_);
            if (code != PruefungOk) fehlerGruppe_ = static_cast<int16_t>(getInt(grunddaten_, "AnlageGruppe"));
        }

        bool aktuellerGerechnet = false;
        if (code == PruefungOk) {
            for (grunddaten_.MoveFirst(); !grunddaten_.EOF_(); grunddaten_.MoveNext()) {
                const auto key = static_cast<int32_t>(getInt(grunddaten_, "ZuordnungLBTabelle"));
                leistungsbild_ = std::move(*profilVon(key));
                summen = gesamt;
                status = {};
                grunddaten_.Edit();
                CallGrundHonorar(summen, status);
                FehlerCalcGPreis(status, result);
                const PhasenEingaben pe = readPhasenEingaben();
                calcLeistungsbild(1, pe);
                calcLeistungsbild(0, pe);
                grunddaten_.Update();
                profile[key] = std::move(leistungsbild_);
                if (grunddaten_.Key() == aktuellerKey) aktuellerGerechnet = true;
            }
        }

        openGrunddaten(berList, gruppe);
        if (auto it = profile.find(profil); it != profile.end() && !it->second.Empty())
            leistungsbild_ = std::move(it->second);
        else
            ConectLeistungsbild(profil);
        if (code != PruefungOk) {
            DisplayErrMsgGrDaten(code);
            if (!aussen) zeigeZurueckgestellte();
            return code;
        }
        // The group on display was computed from the same rows in the pass; only a row outside it needs it.
        if (!aktuellerGerechnet) {
            grunddaten_.Edit();
            CalcLeistungsbild(1);
            CalcLeistungsbild(0);
            grunddaten_.Update();
        }
    }
    tx.Commit();
    if (!aussen) zeigeZurueckgestellte();
    return result;
}

void FeeCalculation::zeigeZurueckgestellte() {
    deferMessages_ = false;
    const std::vector<Pending> p = std::exchange(pending_, {});
    if (still_) return;
    for (const Pending& m : p)
        messages_.Show(m.text, m.caption, m.icon);
}

int16_t FeeCalculation::CheckCalcGrDatenStill() {
    struct Zurueck {
        FeeCalculation& c;
        bool eingaben, kosten, unter, ueber;
        ~Zurueck() {
            c.still_ = false;
            c.inputsChanged_ = c.inputsChanged_ || eingaben;
            c.costsChanged_ = c.costsChanged_ || kosten;
            c.unterTafelGezeigt_ = unter;
            c.ueberTafelGezeigt_ = ueber;
        }
    } zurueck{*this, inputsChanged_, costsChanged_, unterTafelGezeigt_, ueberTafelGezeigt_};
    still_ = true;
    return CheckCalcGrDaten();
}

void FeeCalculation::FehlerCalcGPreis(const Abschnitte<int16_t>& status, int16_t& result) {
    const std::string zweiter = std::string("\r") + frei;
    const int16_t einheit = Einheit();
    bool keineGezeigt = false, unterGezeigt = false, ueberGezeigt = false;
    std::string waehrungsWort;

    auto grenze = [&](std::string_view feld, const char* vergleich) {
        Currency wert = GetCY(leistungsbild_, feld);
        if (einheit == 1) {
            if (waehrung_ == 1) {
                wert = DMEuroUmrechnung(wert, 1);
                waehrungsWort = std::string(FormatBetragTrenner) + "EUR ";
            } else {
                waehrungsWort = std::string(FormatBetragTrenner) + "DM ";
            }
        }
        show(ausserhalbText + std::string(vergleich) + StrZahl(wert) + waehrungsWort + zweiter, "",
             MessageIcon::Warning);
    };

    for (int k = 1; k <= 3; ++k) {
        switch (status[k]) {
        // The result says what the fee lacks every time; only the box is shown once.
        case TafelOhneZeilen:
            if (!keineGezeigt) {
                show("Es wurde keine entsprechende HOAI-Tafel gefunden", "", MessageIcon::Error);
                keineGezeigt = true;
            }
            result = KeineTafel;
            break;
        case TafelUnterhalb:
            result = KostenAusserhalbTafel;
            if (!unterGezeigt && !unterTafelGezeigt_) {
                grenze("TafelMinWert", " kleiner als ");
                unterTafelGezeigt_ = true;
                unterGezeigt = true;
            }
            break;
        case TafelOberhalb:
            result = KostenAusserhalbTafel;
            if (!ueberGezeigt && !ueberTafelGezeigt_) {
                grenze("TafelMaxWert", " größer als ");
                ueberTafelGezeigt_ = true;
                ueberGezeigt = true;
            }
            break;
        default:
            break;
        }
    }
}

// ---- eligible costs and base fee
// ---------------------------------------------------------------------------

void FeeCalculation::CalcAnreKostAB() {
    schreibeAnreKosten(berechneAnreKosten());
}

Abschnitte<std::optional<AnreKosten>> FeeCalculation::berechneAnreKosten() {
    const int16_t inBenutzung = AnzahlAbschnitte();
    const bool fremdZaehlt = FremdleistungZaehlt();
    auto qd = projektDB_.GetQueryDef("GetAnrechenbareKosten");
    if (!qd) throw db::DbError("Abfrage GetAnrechenbareKosten fehlt");
    Abschnitte<std::optional<AnreKosten>> kosten{};
    for (int16_t k = 1; k <= 3 && k <= inBenutzung; ++k) {
        qd->SetParameter("PhaseAktiv", int64_t{k});
        qd->SetParameter("AnlageGrNr", int64_t{anlageGruppe_});
        qd->SetParameter("LfNrBeReList", int64_t{berListNr_});
        Currency eigen, fremd;
        db::Recordset rs = qd->OpenRecordset();
        if (!rs.Empty()) {
            rs.MoveFirst();
            const auto& f = rs.FieldNames();
            eigen = RundCY(GetCY(rs, f.at(0)));
            fremd = RundCY(GetCY(rs, f.at(1)));
        }
        kosten[k] = BerechneAnreKosten(eigen, fremd, fremdZaehlt);
    }
    return kosten;
}

void FeeCalculation::schreibeAnreKosten(const Abschnitte<std::optional<AnreKosten>>& kosten) {
    const Names& n = names();
    for (int k = 1; k <= 3; ++k) {
        if (!kosten[k]) continue;
        const AnreKosten& r = *kosten[k];
        grunddaten_.Edit();
        SetCY(grunddaten_, n.anreKost[k], r.eigen);
        SetCY(grunddaten_, n.anreKostFremd[k], r.fremd);
        SetCY(grunddaten_, n.summAnreKost[k], r.summe);
        grunddaten_.Set(n.fremdKoMod[k], int64_t{r.modus});
        grunddaten_.Update();
    }
}

void FeeCalculation::CallGrundHonorar(Abschnitte<Currency>& summen, Abschnitte<int16_t>& status) {
    const Names& n = names();
    const int16_t inBenutzung = AnzahlAbschnitte();
    Abschnitte<Currency> eigen{}, satz{};
    if (inBenutzung >= 1 && inBenutzung <= 3)
        for (int k = 1; k <= inBenutzung; ++k)
            eigen[k] = GetCY(grunddaten_, n.summAnreKost[k]);
    for (int k = 1; k <= 3; ++k)
        satz[k] = getPercent(grunddaten_, n.satzUemin[k]);
    const bool angebot = rechnungsart_ == 1;
    const bool euro = waehrung_ == 1;
    const int16_t einheit = Einheit();

    Abschnitte<Currency> lookupKosten{};
    for (int k = 1; k <= 3; ++k)
        lookupKosten[k] = std::max(summen[k], eigen[k]);
    if (angebot) {
        lookupKosten[2] = summen[2];
        lookupKosten[3] = summen[3];
    }

    Abschnitte<Currency> s = summen, a = eigen;
    if (einheit == 1 && euro) {
        // The table's money axis is in DM.
        for (int k = 1; k <= 3; ++k) {
            s[k] = DMEuroUmrechnung(summen[k], 0);
            a[k] = DMEuroUmrechnung(eigen[k], 0);
        }
    }
    const int32_t tafel = static_cast<int32_t>(getInt(leistungsbild_, "HoaiTafelZuordnung"));
    const int16_t zone = static_cast<int16_t>(getInt(grunddaten_, "Honorarzone"));

    MinMaxAbschnitte anteil{};
    Abschnitte<Currency> honorar{}, tafelMin{}, tafelMax{};
    const TafelLookup lookup = [this](Currency kosten, int32_t t, int16_t z, TafelErgebnis& e, int16_t& st) {
        if (!tafelCache_) {
            GetTafelWerte(stammDB_, kosten, t, z, e, st);
            return;
        }
        auto it = tafelCache_->find(t);
        if (it == tafelCache_->end()) it = tafelCache_->emplace(t, LoadTafel(stammDB_, t)).first;
        SucheTafelWerte(it->second, kosten, z, e, st);
    };
    // Under the old regulation too section 3 bills its phases on its own eligible costs (the final cost
    // figure); stopping it would leave phases 8 and 9 of an invoice without a fee.
    CalcTafelHonorar(lookup, s, status, angebot, tafel, zone, a, satz, /*dritterStop=*/false, anteil, honorar,
                     tafelMin, tafelMax);

    if (euro) {
        auto toEuro = [](Currency& x) { x = RundCY(DMEuroUmrechnung(x, 1)); };
        for (int k = 1; k <= 3; ++k) {
            toEuro(anteil[k][0]);
            toEuro(anteil[k][1]);
            toEuro(honorar[k]);
            toEuro(tafelMax[k]);
            toEuro(tafelMin[k]);
        }
    }
    const int richtung = euro ? 0 : 1;
    auto mitTwin = [&](const std::string& feld, Currency wert) {
        SetCY(grunddaten_, feld, wert);
        SetCY(grunddaten_, twin("AlDisp", feld), DMEuroUmrechnung(wert, richtung));
    };
    EditScope edit(grunddaten_);
    for (int k = 1; k <= 3; ++k) {
        mitTwin(n.honorarMin[k], anteil[k][0]);
        mitTwin(n.honorarMax[k], anteil[k][1]);
        mitTwin(n.grHonorar[k], honorar[k]);
        mitTwin(n.sumHOMax[k], tafelMax[k]);
        mitTwin(n.sumHOMin[k], tafelMin[k]);
        SetCY(grunddaten_, n.sumAnrechenbar[k], lookupKosten[k]);
        // An area or a number of units is the same in both currencies.
        SetCY(grunddaten_, twin("AlDisp", n.sumAnrechenbar[k]),
              einheit == 1 ? DMEuroUmrechnung(lookupKosten[k], richtung) : lookupKosten[k]);
    }
    edit.Done();
}

Currency FeeCalculation::GetAnGezGrHonorar(int16_t k, std::string_view prefix) const {
    if (k < 1 || k > 3) return Currency{};
    const Currency pauschal = GetCY(grunddaten_, twin(prefix, names().pHonorar[k]));
    if (pauschal != Currency{}) return pauschal;
    return GetCY(grunddaten_, twin(prefix, names().grHonorar[k]));
}

Currency FeeCalculation::GetHonrarNetto(int16_t k, std::string_view prefix) const {
    if (k < 1 || k > 3) return Currency{};
    return GetCY(grunddaten_, twin(prefix, names().honrarNetto[k]));
}

// ---- phase fees and net fee
// --------------------------------------------------------------------------------

void FeeCalculation::CalcBerNetto(Currency netto, Currency& zuschlag, Currency& berNetto,
                                  std::string_view prefix) const {
    const Currency pro = getPercent(grunddaten_, "SummZuNettoPro");
    const Currency betrag = GetCY(grunddaten_, twin(prefix, "SummZuNettoDM"));
    const BerNettoWerte w = BerechneBerNetto(netto, pro, betrag);
    zuschlag = w.zuschlagAusProzent;
    berNetto = w.berNetto;
}

FeeCalculation::PhasenEingaben FeeCalculation::readPhasenEingaben() const {
    const Names& n = names();
    PhasenEingaben e;
    for (int i = 1; i <= 9; ++i) {
        const int64_t k = getInt(leistungsbild_, n.koZU[i]);
        // Only sections 1 to 3 exist; any other number leaves the phase at 0.
        if (k < 1 || k > 3) continue;
        e.abschnitt[i] = static_cast<int16_t>(k);
        e.anteil[i] = getPercent(leistungsbild_, n.proz[i]);
        e.zuschlag[i] = getPercent(grunddaten_, n.summZu[i]);
        e.teilleistung[i] = getPercent(grunddaten_, n.teilleistPro[i], Currency::FromUnits(100));
    }
    return e;
}

void FeeCalculation::CalcLeistungsbild(int16_t twinRun) {
    calcLeistungsbild(twinRun, readPhasenEingaben());
}

void FeeCalculation::calcLeistungsbild(int16_t twinRun, const PhasenEingaben& e) {
    const Names& n = names();
    const std::string_view prefix = twinRun != 0 ? "AlDisp" : "";
    std::array<PhasenWerte, 10> phase{};
    Abschnitte<Currency> abschnitt{}, basis{};
    Abschnitte<bool> basisGelesen{};
    Currency netto, summeGrund;
    for (int i = 1; i <= 9; ++i) {
        const int16_t k = e.abschnitt[i];
        if (k == 0) continue;
        if (!basisGelesen[k]) {
            basis[k] = GetAnGezGrHonorar(k, prefix);
            basisGelesen[k] = true;
        }
        phase[i] = BerechnePhase(basis[k], e.anteil[i], e.zuschlag[i], e.teilleistung[i]);
        summeGrund += phase[i].teilleistung;
        netto += phase[i].total;
        abschnitt[k] += phase[i].total;
    }
    Currency zuschlag, berNetto;
    CalcBerNetto(netto, zuschlag, berNetto, prefix);

    EditScope edit(grunddaten_);
    for (int i = 1; i <= 9; ++i) {
        SetCY(grunddaten_, twin(prefix, n.teilleistDM[i]), phase[i].teilleistung);
        SetCY(grunddaten_, twin(prefix, n.zuDM[i]), phase[i].zuschlag);
        SetCY(grunddaten_, twin(prefix, n.totalDMLP[i]), phase[i].total);
        SetCY(grunddaten_, twin(prefix, n.grundLDM[i]), phase[i].grundL);
        SetCY(grunddaten_, twin(prefix, n.vollZu[i]), phase[i].vollZuschlag);
    }
    SetCY(grunddaten_, twin(prefix, "HonrarNetto"), netto);
    for (int k = 1; k <= 3; ++k)
        SetCY(grunddaten_, twin(prefix, n.honrarNetto[k]), abschnitt[k]);
    SetCY(grunddaten_, twin(prefix, "SummZuNettoProDM"), zuschlag);
    SetCY(grunddaten_, twin(prefix, "HonorarBerNetto"), berNetto);
    SetCY(grunddaten_, twin(prefix, "SumGrundHonorar"), summeGrund);
    edit.Done();
}

bool FeeCalculation::PhaseGeaendert(int i, Currency anteil, Currency teilleistPro) {
    if (i < 1 || i > 9) return false;
    const Names& n = names();
    const int64_t k = getInt(leistungsbild_, n.koZU[i]);
    if (k < 1 || k > 3) return false;
    const int64_t lb = leistungsbild_.Key();
    try {
        db::Transaction tx(projektDB_);
        // Under the write lock, from the rows as they stand now.
        if (!grunddaten_.Empty()) grunddaten_.Requery();
        leistungsbild_.Requery();
        leistungsbild_.Edit();
        setPercent(leistungsbild_, n.proz[i], anteil);
        leistungsbild_.Update();
        grunddaten_.Edit();
        setPercent(grunddaten_, n.teilleistPro[i], teilleistPro);
        grunddaten_.Update();
        // The full run: the one-phase shortcut would round the surcharge and leave the basic shares stale.
        const PhasenEingaben pe = readPhasenEingaben();
        grunddaten_.Edit();
        calcLeistungsbild(1, pe);
        calcLeistungsbild(0, pe);
        grunddaten_.Update();
        tx.Commit();
    } catch (...) {
        // The rows read back what the rollback kept.
        try {
            openGrunddaten(berListNr_, anlageGruppe_);
            ConectLeistungsbild(static_cast<int32_t>(lb));
        } catch (...) {
        }
        throw;
    }
    return true;
}

bool FeeCalculation::CalcNettoHonorarPosi(int16_t mode, std::string_view phaseText, Currency anteil,
                                          Currency teilleistPro, Currency& netto, Currency& abschnittNetto,
                                          Currency& total) {
    if (phaseText.size() != 1 || phaseText[0] < '1' || phaseText[0] > '9') return false;
    const int i = phaseText[0] - '0';
    const Names& n = names();
    const int64_t k64 = getInt(leistungsbild_, n.koZU[i]);
    if (k64 < 1 || k64 > 3) return false;
    const auto k = static_cast<int16_t>(k64);
    const std::string_view prefix = mode == 1 ? "AlDisp" : "";

    const Currency basis = GetAnGezGrHonorar(k, prefix);
    const Currency alt = RundCY(GetCY(grunddaten_, twin(prefix, n.totalDMLP[i])));
    // The phase surcharge is taken to cents here.
    const Currency z = RundCY(getPercent(grunddaten_, n.summZu[i]));
    Currency N = RundCY(GetCY(grunddaten_, twin(prefix, "HonrarNetto")));

    const PhasenWerte w = BerechnePhase(basis, anteil, z, teilleistPro);
    N = N + (w.total - alt);
    const Currency abschnitt = (w.total - alt) + GetHonrarNetto(k, prefix);
    Currency zuschlag, berNetto;
    CalcBerNetto(N, zuschlag, berNetto, prefix);

    grunddaten_.Edit();
    SetCY(grunddaten_, twin(prefix, n.honrarNetto[k]), abschnitt);
    SetCY(grunddaten_, twin(prefix, n.teilleistDM[i]), w.teilleistung);
    SetCY(grunddaten_, twin(prefix, n.zuDM[i]), w.zuschlag);
    SetCY(grunddaten_, twin(prefix, n.totalDMLP[i]), w.total);
    setPercent(grunddaten_, n.teilleistPro[i], teilleistPro);
    SetCY(grunddaten_, twin(prefix, "HonrarNetto"), N);
    SetCY(grunddaten_, twin(prefix, "SummZuNettoProDM"), zuschlag);
    SetCY(grunddaten_, twin(prefix, "HonorarBerNetto"), berNetto);
    grunddaten_.Update();
    netto = N;
    abschnittNetto = abschnitt;
    total = w.total;
    return true;
}

} // namespace velu::fee
