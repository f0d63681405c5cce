#include "register/CalculationSet.h"
#include "RegisterFixture.h"
#include "core/CurrencyPrint.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "register/Payments.h"

#include <gtest/gtest.h>

#include <functional>

using velu::Currency;
using velu::db::Params;
using namespace velu::reg;

namespace {
Currency C(const char* s) {
    return Currency::FromString(s);
}

// Every child table with the column that carries the calculation's number.
const std::pair<const char*, const char*> kKinder[] = {
    {"Grunddaten", "LfNrBeReList"}, {"ZuBerNetto", "LfNrBeReList"},    {"ZuBrutto", "LfNrBeReList"},
    {"ZuLP", "LfNrBeReList"},       {"ZuNetto", "LfNrBeReList"},       {"Zahlung", "LfNrBeReList"},
    {"PunkteTab", "LfNrBeReList"},  {"Leistungsbild", "LfNrBeReList"}, {"AnrechenbareKosten", "LfNrBeReList"},
    {"StdRePos", "REZuordnung"},
};
} // namespace

class CalculationSetTest : public ProjektFixture {
protected:
    int64_t Zaehle(const std::string& tabelle, const std::string& spalte, int64_t nr) {
        auto rs = db_->OpenRecordset("SELECT Count(*) AS n FROM " + tabelle + " WHERE " + spalte + " = ?",
                                     Params().Add(nr));
        return rs.GetInt("n");
    }
    int64_t Anzahl(const std::string& tabelle) {
        return db_->OpenRecordset("SELECT Count(*) AS n FROM " + tabelle).GetInt("n");
    }
    // One row in every child table, two plant groups with their profiles linked.
    void FuelleKinder(int64_t nr) {
        const Params p = Params().Add(nr);
        for (int grp : {1, 2})
            db_->Execute("INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe, HonorarBerNetto) VALUES (?, " +
                             std::to_string(grp) + ", 10000000)",
                         p);
        for (int grp : {1, 2})
            db_->Execute("INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp, LeistungsbildBez) VALUES "
                         "(?, " +
                             std::to_string(grp) + ", 'Gebäude')",
                         p);
        for (const char* t : {"ZuBerNetto", "ZuBrutto", "ZuNetto", "ZuLP", "PunkteTab", "AnrechenbareKosten"})
            db_->Execute(std::string("INSERT INTO ") + t + " (LfNrBeReList) VALUES (?)", p);
        db_->Execute("INSERT INTO Zahlung (LfNrBeReList, Zahlung) VALUES (?, 1000000)", p);
        db_->Execute("INSERT INTO StdRePos (REZuordnung, Leistung) VALUES (?, 'Planung')", p);
    }
    std::string Text(int64_t nr, const char* feld) { return std::get<std::string>(Get(nr, feld)); }
};

TEST_F(CalculationSetTest, NewCalculationOpensItsOwnGroup) {
    CalculationSet set(*db_);
    NeueBerechnungDaten d{"Neubau", "R-7", "Entwurf", 'S', 1, C("19"), "2026-12-08"};
    const int64_t a = set.NeueBerechnung(d);
    const int64_t b = set.NeueBerechnung({"Umbau", "1", "x", 'A', 0, C("16"), "2026-12-09"});
    EXPECT_EQ(std::get<int64_t>(Get(a, "Ursprung")), a);
    EXPECT_EQ(std::get<int64_t>(Get(b, "Ursprung")), b);
    EXPECT_EQ(GetCY(a, "MwstPro"), C("19"));
    EXPECT_EQ(std::get<int64_t>(Get(a, "INPUTType")), 1);
    EXPECT_EQ(std::get<int64_t>(Get(a, "DisplayType")), 1);
    EXPECT_EQ(std::get<int64_t>(Get(b, "DisplayType")), 0);
    EXPECT_EQ(Text(a, "REType"), "S");
    EXPECT_EQ(Text(a, "ReNummer"), "R-7");
    EXPECT_EQ(Text(a, "ReBezeichnung"), "Entwurf");
    EXPECT_EQ(Text(a, "Gruppenbezeichnung"), "Neubau");
    EXPECT_EQ(Text(a, "Redatum"), "2026-12-08");
    EXPECT_EQ(set.GruppenAnzahl(), 2);
}

TEST_F(CalculationSetTest, GroupNamesTrimmedAndComparedWithoutCase) {
    CalculationSet set(*db_);
    EXPECT_EQ(set.GruppenVorschlag(), "Gruppe 1");
    const int64_t a = AddBerechnung("A", "a", 0, 0, "Äußere Anlagen");
    AddBerechnung("R", "b", 0, a, "Äußere Anlagen");
    AddBerechnung("A", "c", 0, 0, " gruppe 3 ");
    AddBerechnung("A", "d", 0, 0, "O'Brien");
    // Three groups: 4 is proposed; with "Gruppe 4" taken, 5.
    EXPECT_EQ(set.GruppenVorschlag(), "Gruppe 4");
    AddBerechnung("A", "e", 0, 0, "Gruppe 4");
    EXPECT_EQ(set.GruppenVorschlag(), "Gruppe 5");
    struct {
        const char* name;
        bool vorhanden;
    } faelle[] = {
        {"äußere anlagen", true},      {"  ÄUßERE Anlagen ", true}, {"Gruppe 3", true}, {"O'Brien", true},
        {"o'brien' OR '1'='1", false}, {"Äußere", false},           {"Gruppe", false},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(set.GruppeVorhanden(f.name), f.vorhanden) << f.name;
    EXPECT_EQ(BereinigterName("  " + std::string(29, 'x') + " yz "), std::string(29, 'x'));
}

TEST_F(CalculationSetTest, CopyOfAnOfferIsAnInvoiceWithItsOwnRows) {
    const int64_t a = AddBerechnung("A", "Angebot für das Gemeindezentrum", 1, 0, "Neubau");
    SetCY(a, "Endbetrag", "1160");
    db_->Execute("UPDATE BeReList SET ReNummer = 'A-1', Modif = -1 WHERE LfNr = ?", Params().Add(a));
    FuelleKinder(a);
    CalculationSet set(*db_);
    const KopieErgebnis k = set.CopyBerechnung(a, "2026-12-08");
    EXPECT_EQ(k.quelle, a);
    EXPECT_EQ(k.typ, 'R');
    EXPECT_EQ(Text(k.neu, "ReBezeichnung"), "Kopie Angebot für das Gemeinde");
    EXPECT_EQ(Text(k.neu, "REType"), "R");
    EXPECT_EQ(Text(k.neu, "ReNummer"), std::to_string(k.neu));
    EXPECT_EQ(Text(k.neu, "Redatum"), "2026-12-08");
    EXPECT_EQ(Text(k.neu, "Gruppenbezeichnung"), "Neubau");
    EXPECT_EQ(std::get<int64_t>(Get(k.neu, "Ursprung")), a);
    EXPECT_EQ(std::get<int64_t>(Get(k.neu, "INPUTType")), 1);
    EXPECT_EQ(GetCY(k.neu, "Endbetrag"), C("1160"));
    EXPECT_EQ(GetCY(k.neu, "MwstPro"), C("16"));
    // Fee rows come along, payments and hourly positions do not.
    for (const auto& [t, s] : kKinder) {
        const int64_t erwartet = std::string(t) == "Zahlung" || std::string(t) == "StdRePos"           ? 0
                                 : std::string(t) == "Grunddaten" || std::string(t) == "Leistungsbild" ? 2
                                                                                                       : 1;
        EXPECT_EQ(Zaehle(t, s, k.neu), erwartet) << t;
        EXPECT_EQ(Zaehle(t, s, a),
                  std::string(t) == "Grunddaten" || std::string(t) == "Leistungsbild" ? 2 : 1)
            << t;
    }
    // Each plant group of the copy is linked to the copy's own profile row of that group.
    auto rs = db_->OpenRecordset(
        "SELECT g.AnlageGruppe, l.LfNrBeReList, l.ZuordnungAnlGrp FROM Grunddaten g "
        "JOIN Leistungsbild l ON l.LfNr = g.ZuordnungLBTabelle WHERE g.LfNrBeReList = ? ORDER BY 1",
        Params().Add(k.neu));
    ASSERT_EQ(rs.RecordCount(), 2);
    for (; !rs.EOF_(); rs.MoveNext()) {
        EXPECT_EQ(rs.GetInt("LfNrBeReList"), k.neu);
        EXPECT_EQ(rs.GetInt("ZuordnungAnlGrp"), rs.GetInt("AnlageGruppe"));
    }
}

TEST_F(CalculationSetTest, CopyKeepsOrMapsTheStoredType) {
    struct {
        const char* typ;
        const char* kopie;
        bool stunden;
    } faelle[] = {{"A", "R", false}, {"E", "V", false}, {"R", "R", false},
                  {"V", "V", false}, {"S", "S", true},  {"B", "B", false}};
    CalculationSet set(*db_);
    for (const auto& f : faelle) {
        const int64_t a = AddBerechnung(f.typ, "x");
        FuelleKinder(a);
        const KopieErgebnis k = set.CopyBerechnung(a, "2026-12-08");
        EXPECT_EQ(Text(k.neu, "REType"), f.kopie) << f.typ;
        EXPECT_EQ(Zaehle("StdRePos", "REZuordnung", k.neu), f.stunden ? 1 : 0) << f.typ;
        EXPECT_EQ(Zaehle("Grunddaten", "LfNrBeReList", k.neu), f.stunden ? 0 : 2) << f.typ;
    }
}

TEST_F(CalculationSetTest, LBConnectReplacesLinksToTheSourcesProfiles) {
    const int64_t a = AddBerechnung("A", "a");
    const int64_t b = AddBerechnung("R", "b", 0, a);
    FuelleKinder(a);
    // The copy's profile rows first, then basic data still linked to the source's rows.
    for (int grp : {1, 2})
        db_->Execute("INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp) VALUES (?, ?)",
                     Params().Add(b).Add(int64_t{grp}));
    db_->Execute("INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe, ZuordnungLBTabelle) "
                 "SELECT ?, AnlageGruppe, ZuordnungLBTabelle FROM Grunddaten WHERE LfNrBeReList = ?",
                 Params().Add(b).Add(a));
    CalculationSet(*db_).LBConnect(b);
    auto rs = db_->OpenRecordset("SELECT l.LfNrBeReList FROM Grunddaten g JOIN Leistungsbild l "
                                 "ON l.LfNr = g.ZuordnungLBTabelle AND l.ZuordnungAnlGrp = g.AnlageGruppe "
                                 "WHERE g.LfNrBeReList = ?",
                                 Params().Add(b));
    ASSERT_EQ(rs.RecordCount(), 2);
    for (; !rs.EOF_(); rs.MoveNext())
        EXPECT_EQ(rs.GetInt("LfNrBeReList"), b);
}

TEST_F(CalculationSetTest, FailureInTheMiddleChangesNothing) {
    const int64_t a = AddBerechnung("A", "a");
    const int64_t s = AddBerechnung("S", "s");
    FuelleKinder(a);
    FuelleKinder(s);
    auto zustand = [&] {
        std::vector<int64_t> n{Anzahl("BeReList")};
        for (const auto& [t, sp] : kKinder)
            n.push_back(Anzahl(t));
        return n;
    };
    const auto vorher = zustand();
    CalculationSet set(*db_);
    struct {
        const char* trigger;
        std::function<void()> befehl;
    } faelle[] = {
        // Copy: fails after BeReList and four child tables were written.
        {"BEFORE INSERT ON PunkteTab", [&] { set.CopyBerechnung(a, "2026-12-08"); }},
        {"BEFORE UPDATE ON Grunddaten", [&] { set.CopyBerechnung(a, "2026-12-08"); }},
        {"BEFORE INSERT ON StdRePos", [&] { set.CopyBerechnung(s, "2026-12-08"); }},
        // Delete: fails after five child tables were emptied.
        {"BEFORE DELETE ON PunkteTab", [&] { set.KillBerechnung(a); }},
        {"BEFORE DELETE ON BeReList", [&] { set.KillBerechnung(s); }},
        // New calculation: fails on setting its group.
        {"BEFORE UPDATE ON BeReList",
         [&] {
             set.NeueBerechnung({"g", "1", "n", 'A', 0, C("16"), "2026-12-08"});
         }},
    };
    for (const auto& f : faelle) {
        db_->Execute(std::string("CREATE TEMP TRIGGER Fehler ") + f.trigger +
                     " BEGIN SELECT RAISE(ABORT, 'Testfehler'); END");
        EXPECT_THROW(f.befehl(), velu::db::DbError) << f.trigger;
        db_->Execute("DROP TRIGGER Fehler");
        EXPECT_EQ(zustand(), vorher) << f.trigger;
    }
}

TEST_F(CalculationSetTest, DeleteRemovesEveryChildTableWhateverTheType) {
    const int64_t a = AddBerechnung("A", "a");
    const int64_t b = AddBerechnung("R", "b", 0, a);
    FuelleKinder(a);
    FuelleKinder(b);
    CalculationSet set(*db_);
    EXPECT_TRUE(set.KillBerechnung(a));
    EXPECT_FALSE(set.KillBerechnung(a));
    EXPECT_EQ(Zaehle("BeReList", "LfNr", a), 0);
    for (const auto& [t, s] : kKinder) {
        EXPECT_EQ(Zaehle(t, s, a), 0) << t;
        EXPECT_GT(Zaehle(t, s, b), 0) << t;
    }
}

TEST_F(CalculationSetTest, EarlierPaymentsSummedInTheEntryCurrency) {
    const int64_t dm = AddBerechnung("R", "1. Rechnung", 0, 0, "Neubau");
    const int64_t eur = AddBerechnung("R", "2. Rechnung", 1, dm, "Neubau");
    const int64_t jetzt = AddBerechnung("R", "3. Rechnung", 0, dm, "Neubau");
    const int64_t spaeter = AddBerechnung("R", "4. Rechnung", 0, dm, "Neubau");
    const int64_t andere = AddBerechnung("R", "fremd", 0, 0, "Umbau");
    auto zahlung = [&](int64_t nr, int64_t ursprung, const char* betrag, const char* alDisp) {
        db_->Execute(
            "INSERT INTO Zahlung (LfNrBeReList, Ursprung, Zahlung, AlDispZahlung) VALUES (?, ?, ?, ?)",
            Params().Add(nr).Add(ursprung).Add(C(betrag).Raw()).Add(C(alDisp).Raw()));
    };
    zahlung(dm, dm, "100", "51.1292");
    zahlung(eur, dm, "50", "97.7915");
    zahlung(spaeter, dm, "1000", "511.2918");
    zahlung(andere, andere, "1000", "511.2918");
    Currency other, summe;
    GetVorZahlungen(*db_, jetzt, dm, 0, other, summe);
    EXPECT_EQ(summe, C("197.79"));
    EXPECT_EQ(other, velu::DMEuroUmrechnung(C("197.79"), 1));
    // The same group seen from a euro calculation: the DM payment counts with its euro twin.
    GetVorZahlungen(*db_, jetzt, dm, 1, other, summe);
    EXPECT_EQ(summe, C("101.13"));
    GetVorZahlungen(*db_, dm, dm, 0, other, summe);
    EXPECT_EQ(summe, Currency{});
    EXPECT_EQ(other, Currency{});
}
