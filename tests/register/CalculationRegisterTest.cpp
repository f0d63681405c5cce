#include "register/CalculationRegister.h"
#include "RegisterFixture.h"
#include "core/CurrencyPrint.h"
#include "platform/db/DbError.h"

#include <gtest/gtest.h>

#include <functional>

using velu::Currency;
using namespace velu::reg;

namespace {
Currency C(const char* s) {
    return Currency::FromString(s);
}

// Stands in for the editors: records the call and stores rows as the fee engine would.
struct FakeEditor : BerechnungEditor {
    EditorErgebnis ergebnis = EditorErgebnis::Geschlossen;
    std::function<void(int64_t)> speichern;
    int64_t lfnr = 0;
    int display = -1, input = -1, rechnungsart = -1;
    std::string caption;
    Parag57Daten angeboten, zurueck;
    int aufrufe = 0;

    EditorErgebnis EditGrunddaten(int64_t l, int d, int i, int art, const std::string& c) override {
        ++aufrufe;
        lfnr = l, display = d, input = i, rechnungsart = art, caption = c;
        if (speichern) speichern(l);
        return ergebnis;
    }
    EditorErgebnis EditStdRech(int64_t l, int d, int i, const std::string& c) override {
        ++aufrufe;
        lfnr = l, display = d, input = i, caption = c;
        if (speichern) speichern(l);
        return ergebnis;
    }
    EditorErgebnis EditParag57(int64_t l, Parag57Daten& daten, int i, int d) override {
        ++aufrufe;
        lfnr = l, display = d, input = i;
        angeboten = daten;
        if (ergebnis == EditorErgebnis::Bestaetigt) daten = zurueck;
        return ergebnis;
    }
};
} // namespace

class RegisterTest : public ProjektFixture {};

TEST_F(RegisterTest, ChainStoredInBothCurrencies) {
    const int64_t a = AddBerechnung("R", "Rechnung 1");
    SetCY(a, "BerNetto", "1000");
    SetCY(a, "AlDispBerNetto", "511.29");
    SetCY(a, "InZuSchBerNettoPro", "10");
    SetCY(a, "InZuSchBerNettoDM", "50");
    SetCY(a, "AlDispInZuSchBerNettoDM", "25.5646");
    SetCY(a, "SummAz", "200");
    SetCY(a, "AlDispSummAz", "102.2583");
    SetCY(a, "SkontoPro", "2");
    CalculationRegister reg(*db_);
    reg.Open();
    ASSERT_TRUE(reg.FindBerechnung(a));
    reg.CalcRechnung(0);
    reg.CalcRechnung(1);
    struct {
        const char* feld;
        const char* dm;
        const char* eur;
    } erwartet[] = {
        {"InZuSchBerNettoProDM", "100", "51.13"},
        {"ZuAbBrNetto", "150", "76.69"},
        {"ZwSumm", "1150", "587.98"},
        {"MwstDM", "184", "94.08"},
        {"Brutto", "1334", "682.06"},
        {"ZuAbBrutto", "0", "0"},
        {"Skontofaehig", "1134", "579.8017"},
        {"SkontoDM", "-22.68", "-11.6"},
        {"Endbetrag", "1111.32", "568.2"},
        {"Mwstenthalten", "153.29", "78.37"},
        {"StdReNetZuAbProDM", "0", "0"},
    };
    for (const auto& e : erwartet) {
        EXPECT_EQ(GetCY(a, e.feld), C(e.dm)) << e.feld;
        EXPECT_EQ(GetCY(a, std::string("AlDisp") + e.feld), C(e.eur)) << e.feld;
    }
    // The percentages are inputs of both runs and stay as they were.
    EXPECT_EQ(GetCY(a, "InZuSchBerNettoPro"), C("10"));
}

TEST_F(RegisterTest, FindBerechnungThatFindsNothingMakesNothingCurrent) {
    const int64_t a = AddBerechnung("A", "Angebot", 1);
    SetCY(a, "BerNetto", "100");
    CalculationRegister reg(*db_);
    reg.Open();
    ASSERT_TRUE(reg.FindBerechnung(a));
    EXPECT_EQ(reg.InputType(), 1);
    EXPECT_EQ(reg.ReType(), "A");
    EXPECT_FALSE(reg.FindBerechnung(a + 100));
    EXPECT_FALSE(reg.HasCurrent());
    EXPECT_THROW(reg.CalcRechnung(0), velu::db::DbError);
    EXPECT_EQ(GetCY(a, "ZwSumm"), C("0")); // nothing was written to the row that was current before
}

TEST_F(RegisterTest, EditOfferStoresNetFeeSurchargesAndTotals) {
    const int64_t a = AddBerechnung("A", "Angebot Neubau");
    FakeEditor ed;
    ed.speichern = [this](int64_t l) {
        db_->Execute("INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe, HonorarBerNetto) VALUES (?, 1, ?)",
                     velu::db::Params().Add(l).Add(C("1000").Raw()));
        db_->Execute("INSERT INTO ZuBerNetto (LfNrBeReList, ZuAbPro, ZuAbDM) VALUES (?, ?, ?)",
                     velu::db::Params().Add(l).Add(C("10").Raw()).Add(C("50").Raw()));
        db_->Execute("INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp, LeistungsbildPara) "
                     "VALUES (?, 1, '§ 15')",
                     velu::db::Params().Add(l));
    };
    CalculationRegister reg(*db_);
    reg.Open();
    ASSERT_TRUE(reg.FindBerechnung(a));
    EXPECT_EQ(reg.EDITRe(ed, "R-7", "Angebot Neubau"), EditorErgebnis::Geschlossen);
    EXPECT_EQ(ed.rechnungsart, 1);
    EXPECT_EQ(ed.caption, "Grunddaten R-7 Angebot Neubau");
    EXPECT_EQ(GetCY(a, "BerNetto"), C("1000"));
    EXPECT_EQ(GetCY(a, "AlDispBerNetto"), C("511.29"));
    EXPECT_EQ(GetCY(a, "AlDispInZuSchBerNettoDM"), C("25.5646"));
    EXPECT_EQ(std::get<std::string>(Get(a, "ZuPara")), "§ 15");
    EXPECT_EQ(GetCY(a, "Endbetrag"), C("1334"));
    EXPECT_EQ(GetCY(a, "Mwstenthalten"), C("184"));
    EXPECT_TRUE(reg.Modif());
    EXPECT_EQ(reg.CurrentLfNr(), a);
}

TEST_F(RegisterTest, EditOfferFlagByType) {
    struct {
        const char* typ;
        int art;
    } cases[] = {{"A", 1}, {"E", 1}, {"R", 0}, {"V", 0}};
    CalculationRegister reg(*db_);
    for (const auto& c : cases) {
        const int64_t l = AddBerechnung(c.typ, "x");
        reg.Open();
        ASSERT_TRUE(reg.FindBerechnung(l));
        FakeEditor ed;
        reg.EDITRe(ed, "", "x");
        EXPECT_EQ(ed.rechnungsart, c.art) << c.typ;
        // No basic data: surcharge queries give Null, which counts as 0.
        EXPECT_EQ(GetCY(l, "InZuSchBruttoPro"), C("0")) << c.typ;
    }
}

TEST_F(RegisterTest, EditSiteSupervision) {
    struct {
        const char* name;
        EditorErgebnis ergebnis;
        const char* pausch;
        const char* netto;
        const char* alDispNetto;
    } cases[] = {
        {"Pauschale 0: berechnetes Honorar", EditorErgebnis::Bestaetigt, "0", "2000", "1022.59"},
        {"Pauschale", EditorErgebnis::Bestaetigt, "-300", "-300", "-153.3876"},
        {"Abbruch", EditorErgebnis::Geschlossen, "0", "5", "5"},
    };
    for (const auto& c : cases) {
        const int64_t b = AddBerechnung("B", "Bauüberwachung");
        SetCY(b, "BerNetto", "5");
        SetCY(b, "AlDispBerNetto", "5");
        CalculationRegister reg(*db_);
        reg.Open();
        ASSERT_TRUE(reg.FindBerechnung(b));
        FakeEditor ed;
        ed.ergebnis = c.ergebnis;
        ed.zurueck = {
            C("100000"), C("2.1"),      C("50"), C(c.pausch), velu::DMEuroUmrechnung(C(c.pausch), 1),
            C("2000"),   C("1022.5868")};
        reg.EDITRe(ed, "", "");
        EXPECT_EQ(ed.angeboten.fertigstell57, C("100")) << c.name; // never stored: offered as 100
        EXPECT_FALSE(ed.angeboten.pSatz57.has_value()) << c.name; // no rate stored: offered empty
        EXPECT_EQ(GetCY(b, "BerNetto"), C(c.netto)) << c.name;
        EXPECT_EQ(GetCY(b, "AlDispBerNetto"), C(c.alDispNetto)) << c.name;
        EXPECT_TRUE(reg.Modif()) << c.name;
        EXPECT_EQ(GetCY(b, "ZwSumm"), C(c.netto)) << c.name;
    }
}

TEST_F(RegisterTest, SiteSupervisionRateOfZeroIsOfferedAsStored) {
    const int64_t b = AddBerechnung("B", "Bauüberwachung");
    SetCY(b, "PSatz57", "0");
    CalculationRegister reg(*db_);
    reg.Open();
    ASSERT_TRUE(reg.FindBerechnung(b));
    FakeEditor ed;
    ed.ergebnis = EditorErgebnis::Bestaetigt;
    ed.zurueck = {C("1000"), C("0"), C("100"), C("0"), C("0"), C("0"), C("0")};
    reg.EDITRe(ed, "", "");
    ASSERT_TRUE(ed.angeboten.pSatz57.has_value());
    EXPECT_EQ(*ed.angeboten.pSatz57, C("0"));
    EXPECT_EQ(GetCY(b, "PSatz57"), C("0"));
    EXPECT_EQ(GetCY(b, "KOST57"), C("1000"));
}

TEST_F(RegisterTest, EditHourlyInvoiceWithoutPositions) {
    const int64_t s = AddBerechnung("S", "Stunden");
    CalculationRegister reg(*db_);
    reg.Open();
    ASSERT_TRUE(reg.FindBerechnung(s));
    FakeEditor ed;
    reg.EDITRe(ed, "12", "Stunden");
    EXPECT_EQ(ed.caption, "Stundenlohnrechnung 12 Stunden");
    EXPECT_EQ(GetCY(s, "BerNetto"), C("0"));
    EXPECT_EQ(std::get<std::string>(Get(s, "ZuPara")), "XXX");
}

TEST_F(RegisterTest, EditorNotAvailableChangesNothing) {
    const int64_t s = AddBerechnung("S", "Stunden");
    CalculationRegister reg(*db_);
    reg.Open();
    ASSERT_TRUE(reg.FindBerechnung(s));
    FakeEditor ed;
    ed.ergebnis = EditorErgebnis::NichtVerfuegbar;
    EXPECT_EQ(reg.EDITRe(ed, "", ""), EditorErgebnis::NichtVerfuegbar);
    EXPECT_FALSE(reg.Modif());
    EXPECT_TRUE(velu::db::IsNull(Get(s, "ZuPara")));
}

TEST_F(RegisterTest, RenameGroupByItsOwnKey) {
    const int64_t a = AddBerechnung("A", "a", 0, 0, "Alt");
    const int64_t b = AddBerechnung("R", "b", 0, a, "Alt");
    const int64_t c = AddBerechnung("R", "c", 0, 0, "Andere");
    CalculationRegister reg(*db_);
    reg.Open();
    ASSERT_TRUE(reg.FindBerechnung(c)); // the current row belongs to another group
    reg.Updategruppe(a, "Neu ' mit Apostroph");
    EXPECT_EQ(std::get<std::string>(Get(a, "Gruppenbezeichnung")), "Neu ' mit Apostroph");
    EXPECT_EQ(std::get<std::string>(Get(b, "Gruppenbezeichnung")), "Neu ' mit Apostroph");
    EXPECT_EQ(std::get<std::string>(Get(c, "Gruppenbezeichnung")), "Andere");
    EXPECT_EQ(reg.CurrentLfNr(), c);
    auto rows = reg.TreeRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].lfNr, a);
    EXPECT_EQ(rows[1].lfNr, b);
    EXPECT_EQ(rows[2].lfNr, c);
}

TEST_F(RegisterTest, RepairOfVatRateWorksFromSubtotal) {
    const int64_t a = AddBerechnung("R", "alt");
    db_->Execute("UPDATE BeReList SET MwstPro = NULL WHERE LfNr = ?", velu::db::Params().Add(a));
    SetCY(a, "BerNetto", "1000");
    SetCY(a, "ZwSumm", "1150");
    SetCY(a, "MwstDM", "184");
    const int64_t z = AddBerechnung("R", "null");
    db_->Execute("UPDATE BeReList SET MwstPro = NULL WHERE LfNr = ?", velu::db::Params().Add(z));
    SetCY(z, "MwstDM", "5");
    CalculationRegister reg(*db_);
    reg.Open();
    ASSERT_TRUE(reg.FindBerechnung(a));
    EXPECT_EQ(reg.RepairMwstPro(), C("16"));
    EXPECT_EQ(GetCY(a, "MwstPro"), C("16"));
    ASSERT_TRUE(reg.FindBerechnung(z));
    EXPECT_EQ(reg.RepairMwstPro(), std::nullopt); // subtotal 0: left empty
    EXPECT_TRUE(velu::db::IsNull(Get(z, "MwstPro")));
}

TEST(KuerzeBezeichnung, ThirtyCharactersNotBytes) {
    EXPECT_EQ(KuerzeBezeichnung(std::string(31, 'x')), std::string(30, 'x'));
    EXPECT_EQ(KuerzeBezeichnung(std::string(30, 'x')), std::string(30, 'x'));
    std::string umlaute;
    for (int i = 0; i < 31; ++i)
        umlaute += "ä";
    std::string dreissig;
    for (int i = 0; i < 30; ++i)
        dreissig += "ä";
    EXPECT_EQ(KuerzeBezeichnung(umlaute), dreissig);
    EXPECT_EQ(KuerzeBezeichnung(""), "");
}
