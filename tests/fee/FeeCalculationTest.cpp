#include "fee/FeeCalculation.h"

#include "core/Money.h"
#include "FeeTestDb.h"
#include "FeeTestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

using namespace velu;
using namespace velu::fee;
using velu::fee::test::C;

namespace {

using Fields = std::initializer_list<std::pair<const char*, db::Value>>;

void setFields(db::Recordset& rs, Fields fields) {
    rs.Edit();
    for (const auto& [name, v] : fields) rs.Set(name, v);
    rs.Update();
}

db::Value cy(const char* s) { return C(s).Raw(); }

struct Calc : ::testing::Test {
    test::FeeDbs dbs;
    test::CaptureSink sink;
    FeeCalculation calc{*dbs.projekt, *dbs.stamm, sink};

    // One calculation without plant groups, DM, table § 35, zone 3, rate 0.
    int32_t open(const test::Profil& p = {}, int16_t waehrung = DM, int16_t gruppe = 1) {
        const int32_t lb = test::AddProfil(*dbs.projekt, p, gruppe);
        test::AddGrunddaten(*dbs.projekt, lb, gruppe, 3, "0", "0");
        connect(lb, waehrung, gruppe);
        return lb;
    }
    void connect(int32_t lb, int16_t waehrung, int16_t gruppe) {
        calc.BereListNr(1);
        calc.SetBerechnungswaehrung(waehrung);
        calc.SetAnlageGruppe(gruppe);
        calc.SetCaption("HOAI - Berechnung");
        ASSERT_TRUE(calc.OpenGrunddaten());
        ASSERT_TRUE(calc.ConectLeistungsbild(lb));
    }
    Currency get(const char* field) { return GetCY(calc.Grunddaten(), field); }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& m : sink.shown) t.push_back(m.text);
        return t;
    }
    // The check after the inputs profile "§ 34" and the given zone were typed.
    int16_t checkTyped(const char* zone = "3") {
        GrunddatenEingabe e;
        e.leistungsbild = "§ 34";
        e.honorarzone = zone;
        calc.SetEingabe(e);
        calc.SetInputsChanged();
        return calc.CheckCalcGrDaten();
    }
    void addCosts(int phase, const char* eigen, const char* fremd, int gruppe = 1) {
        db::Params p;
        p.Add(int64_t{gruppe}).Add(int64_t{phase}).Add(C(eigen).Raw()).Add(C(fremd).Raw());
        dbs.projekt->Execute("INSERT INTO AnrechenbareKosten (LfNrBeReList, ZuordnungAnlGrp, Phase, Eigenleistung, "
                             "FremdLeistung) VALUES (1, ?, ?, ?, ?)",
                             p);
    }
};

const std::string frei = "\rund können somit frei vereinbart werden";

} // namespace

TEST_F(Calc, InputCheckCodesAndWhatIsStored) {
    struct Case {
        const char* name;
        const char* profil;
        const char* zone;
        std::array<const char*, 3> satz;
        int16_t code;
        int64_t storedZone;
    } cases[] = {
        {"valid", "§ 34", "2", {"100", "0", "50"}, 0, 2},
        {"zone above the table", "§ 34", "6", {"0", "0", "0"}, 2, 6},
        {"rate checked last", "§ 34", "0", {"120", "0", "0"}, 16, 0},
        {"rate just below 0", "§ 34", "1", {"0", "0", "-0.01"}, 8, 1},
        {"rate just above 100", "§ 34", "1", {"100.01", "0", "0"}, 16, 1},
        {"beyond a 16-bit zone", "§ 34", "40000", {"0", "0", "0"}, 2, 3},
        {"no number at all", "§ 34", "abc", {"0", "0", "0"}, 4, 3},
        {"half goes to even", "§ 34", "2.5", {"0", "0", "0"}, 0, 2},
    };
    open();
    for (const auto& c : cases) {
        setFields(calc.Grunddaten(), {{"Honorarzone", int64_t{3}}});
        GrunddatenEingabe e;
        e.leistungsbild = c.profil;
        e.honorarzone = c.zone;
        e.anlageGrBez = "Halle";
        for (int k = 1; k <= 3; ++k) e.satzUemin[k] = C(c.satz[k - 1]);
        calc.SetEingabe(e);
        EXPECT_EQ(calc.CheckGrDatenInput(), c.code) << c.name;
        EXPECT_EQ(calc.Grunddaten().GetInt("Honorarzone"), c.storedZone) << c.name;
        EXPECT_EQ(get("SatzUemin1"), C(c.satz[0])) << c.name;
        // Without plant groups the group is 1 and has no name.
        EXPECT_EQ(calc.Grunddaten().GetInt("AnlageGruppe"), 1);
        EXPECT_EQ(calc.Grunddaten().GetText("AnlageGrBez"), "");
    }
    EXPECT_TRUE(sink.shown.empty());

    // No profile: nothing else is looked at or stored.
    GrunddatenEingabe e;
    e.honorarzone = "1";
    e.satzUemin[1] = C("77");
    calc.SetEingabe(e);
    EXPECT_EQ(calc.CheckGrDatenInput(), FehltLeistungsbild);
    EXPECT_NE(get("SatzUemin1"), C("77"));
}

TEST_F(Calc, InputErrorMessages) {
    open();
    const std::pair<int16_t, const char*> cases[] = {
        {1, "Es fehlt das Leistungsbild"},
        {2, "Die angegebene Honorarzone existiert nicht"},
        {4, "Die Honorarzone muß größer 0 sein"},
        {8, "Satz über Minimum kann nicht kleiner 0 sein"},
        {16, "Satz über Minimum kann nicht größer 100 sein"},
        {3, ""},
    };
    for (const auto& [code, text] : cases) {
        sink.shown.clear();
        calc.DisplayErrMsgGrDaten(code);
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].text, text);
        EXPECT_EQ(sink.shown[0].caption, "HOAI - Berechnung");
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Error);
    }
    sink.shown.clear();
    calc.DisplayErrMsgGrDaten(0);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Calc, OutOfTableMessages) {
    struct Case {
        const char* name;
        int16_t waehrung;
        int einheit;
        Abschnitte<int16_t> status;
        int16_t result;
        std::vector<std::string> texts;
    } cases[] = {
        {"euro, money axis", EUR, 1, {0, 2, 0, 0}, -1,
         {"Die anrechenbaren Kosten sind  kleiner als  255.6459\u00a0EUR " + frei}},
        {"DM above, once for two sections", DM, 1, {0, 3, 3, 0}, -1,
         {"Die anrechenbaren Kosten sind  größer als  500\u00a0DM " + frei}},
        {"area axis has no currency word", EUR, 2, {0, 0, 0, 3}, -1,
         {"Die anrechenbaren Kosten sind  größer als  500" + frei}},
        {"no table once", DM, 1, {0, 1, 0, 1}, -2, {"Es wurde keine entsprechende HOAI-Tafel gefunden"}},
        {"both, in section order", DM, 1, {0, 2, 1, 0}, -2,
         {"Die anrechenbaren Kosten sind  kleiner als  500\u00a0DM " + frei,
          "Es wurde keine entsprechende HOAI-Tafel gefunden"}},
    };
    for (const auto& c : cases) {
        test::FeeDbs dbs2;
        test::CaptureSink sink2;
        FeeCalculation calc2(*dbs2.projekt, *dbs2.stamm, sink2);
        test::Profil p;
        p.einheit = c.einheit;
        p.minWert = C("500");
        p.maxWert = C("500");
        const int32_t lb = test::AddProfil(*dbs2.projekt, p);
        calc2.SetBerechnungswaehrung(c.waehrung);
        ASSERT_TRUE(calc2.ConectLeistungsbild(lb));
        int16_t result = 0;
        calc2.FehlerCalcGPreis(c.status, result);
        EXPECT_EQ(result, c.result) << c.name;
        std::vector<std::string> got;
        for (const auto& m : sink2.shown) {
            got.push_back(m.text);
            EXPECT_EQ(m.caption, "");
        }
        EXPECT_EQ(got, c.texts) << c.name;
        if (c.result == -1) {
            // Shown once while the form is loaded; the result still says that the costs lie outside.
            sink2.shown.clear();
            int16_t again = 0;
            calc2.FehlerCalcGPreis(c.status, again);
            EXPECT_TRUE(sink2.shown.empty()) << c.name;
            EXPECT_EQ(again, KostenAusserhalbTafel) << c.name;
        }
    }
}

TEST_F(Calc, PhaseFeesFromALumpSumWithTheTwinRunOnItsOwn) {
    test::Profil p;
    p.koZU = "1,4,0,0,0,0,0,0,0,1";
    p.proz = "11,50,0,0,0,0,0,0,0,50";
    open(p);
    setFields(calc.Grunddaten(), {{"PHonorarAB1", cy("10000")}, {"AlDispPHonorarAB1", cy("5112.92")},
                                  {"SummZu1", cy("10")}, {"TeilleistPro1", cy("50")}, {"SummZuNettoPro", cy("5")},
                                  {"SummZuNettoDM", cy("100")}, {"AlDispSummZuNettoDM", cy("51.13")}});
    calc.CalcLeistungsbild(1);
    calc.CalcLeistungsbild(0);
    struct Case {
        const char* field;
        const char* want;
    } cases[] = {
        {"GrundLDM1", "1100.00"}, {"VollZuschlagant1", "110.00"}, {"TeilleistDM1", "550.00"},
        {"ZuDM1", "55.00"}, {"TotalDMLP1", "605.00"}, {"HonrarNettoAB1", "605.00"}, {"HonrarNetto", "605.00"},
        {"SumGrundHonorar", "550.00"}, {"SummZuNettoProDM", "30.25"}, {"HonorarBerNetto", "735.25"},
        // Phase 2 belongs to no existing section, phase 10 never counts.
        {"TotalDMLP2", "0"}, {"GrundLDM2", "0"}, {"HonrarNettoAB2", "0"},
        // The twin run from its own lump sum: G 562.42, V 56.24, T 281.21, Z 28.12.
        {"AlDispGrundLDM1", "562.42"}, {"AlDispVollZuschlagant1", "56.24"}, {"AlDispTeilleistDM1", "281.21"},
        {"AlDispZuDM1", "28.12"}, {"AlDispTotalDMLP1", "309.33"}, {"AlDispHonrarNetto", "309.33"},
        {"AlDispSummZuNettoProDM", "15.47"}, {"AlDispHonorarBerNetto", "375.93"},
    };
    for (const auto& c : cases) EXPECT_EQ(get(c.field), C(c.want)) << c.field;

    // Net fee 10000.00 with 5 % and 100.00.
    Currency zu, ber;
    calc.CalcBerNetto(C("10000.00"), zu, ber, "");
    EXPECT_EQ(zu, C("500.00"));
    EXPECT_EQ(ber, C("10600.00"));

    Currency n, a, t;
    EXPECT_FALSE(calc.CalcNettoHonorarPosi(0, "2", C("50"), C("100"), n, a, t));
    EXPECT_FALSE(calc.CalcNettoHonorarPosi(0, "x", C("50"), C("100"), n, a, t));
    EXPECT_FALSE(calc.CalcNettoHonorarPosi(0, "10", C("50"), C("100"), n, a, t));
}

TEST_F(Calc, EditedPhaseChangesTheNetFeesByItsChange) {
    open();
    setFields(calc.Grunddaten(), {{"PHonorarAB1", cy("20000")}, {"AlDispPHonorarAB1", cy("10225.84")}});
    calc.CalcLeistungsbild(1);
    calc.CalcLeistungsbild(0);
    const Currency netto = get("HonrarNetto"), abschnitt = get("HonrarNettoAB1"), alt = get("TotalDMLP5");
    EXPECT_EQ(alt, C("5000.00")); // 25 % of 20000, full partial service by default
    Currency n, a, t;
    ASSERT_TRUE(calc.CalcNettoHonorarPosi(0, "5", C("25"), C("50"), n, a, t));
    EXPECT_EQ(t, C("2500.00"));
    EXPECT_EQ(n, netto - C("2500.00"));
    EXPECT_EQ(a, abschnitt - C("2500.00"));
    EXPECT_EQ(get("HonrarNetto"), n);
    EXPECT_EQ(get("HonorarBerNetto"), n);
    EXPECT_EQ(get("TeilleistPro5"), C("50"));
    // The twin run leaves the main fields alone.
    ASSERT_TRUE(calc.CalcNettoHonorarPosi(1, "5", C("25"), C("50"), n, a, t));
    EXPECT_EQ(t, C("1278.23")); // G 2556.46, T 1278.23
    EXPECT_EQ(get("TotalDMLP5"), C("2500.00"));
}

TEST_F(Calc, EligibleCostsOfTheSectionsInUse) {
    test::Profil p;
    p.koZU = "1,1,1,1,2,2,2,2,2,0";
    open(p);
    setFields(calc.Grunddaten(), {{"SummAnreKostAB3", cy("7")}});
    addCosts(1, "60", "30");
    addCosts(1, "40", "10");
    addCosts(2, "100", "20");
    addCosts(3, "999", "0");
    addCosts(1, "5000", "0", 2); // another plant group
    calc.CalcAnreKostAB();
    EXPECT_EQ(get("AnreKostAB1"), C("100"));
    EXPECT_EQ(get("AnreKostFremdAB1"), C("40"));
    EXPECT_EQ(get("SummAnreKostAB1"), C("132.50"));
    EXPECT_EQ(calc.Grunddaten().GetInt("FremdKoModAB1"), 2);
    EXPECT_EQ(get("SummAnreKostAB2"), C("120.00"));
    EXPECT_EQ(calc.Grunddaten().GetInt("FremdKoModAB2"), 1);
    EXPECT_EQ(get("SummAnreKostAB3"), C("7")); // section 3 is not in use

    // Costs of others not counted by the profile.
    setFields(calc.Leistungsbild(), {{"Integrationspl", int64_t{0}}});
    calc.CalcAnreKostAB();
    EXPECT_EQ(get("AnreKostFremdAB1"), Currency{});
    EXPECT_EQ(get("SummAnreKostAB1"), C("100"));
    EXPECT_EQ(calc.Grunddaten().GetInt("FremdKoModAB1"), 0);
}

TEST_F(Calc, CheckRecomputesAndReportsCostsAboveTheTableOnce) {
    open();
    addCosts(1, "60000000", "0");
    GrunddatenEingabe e;
    e.leistungsbild = "§ 34";
    e.honorarzone = "3";
    calc.SetEingabe(e);
    calc.SetInputsChanged();
    EXPECT_EQ(calc.CheckCalcGrDaten(), KostenAusserhalbTafel);
    EXPECT_EQ(texts(), std::vector<std::string>{"Die anrechenbaren Kosten sind  größer als  48895750\u00a0DM " + frei});
    EXPECT_EQ(get("GrHonorarAb1"), Currency{});
    EXPECT_FALSE(calc.InputsChanged());
    EXPECT_FALSE(calc.CostsChanged());

    // A second check with the costs still outside computes no fee either: it says so without a second box.
    sink.shown.clear();
    calc.SetCostsChanged();
    EXPECT_EQ(calc.CheckCalcGrDaten(), KostenAusserhalbTafel);
    EXPECT_TRUE(sink.shown.empty());
    calc.SetInputsChanged();
    EXPECT_EQ(calc.CheckCalcGrDaten(), KostenAusserhalbTafel);
    EXPECT_TRUE(sink.shown.empty());
    // Nothing changed: nothing to do.
    EXPECT_EQ(calc.CheckCalcGrDaten(), 0);

    // A wrong input stops before anything is recomputed.
    e.honorarzone = "9";
    calc.SetEingabe(e);
    calc.SetInputsChanged();
    EXPECT_EQ(calc.CheckCalcGrDaten(), ZoneZuGross);
    EXPECT_EQ(texts(), std::vector<std::string>{"Die angegebene Honorarzone existiert nicht"});
    EXPECT_TRUE(calc.InputsChanged());
}

TEST_F(Calc, NegativeCostsOfASectionAreRefusedAndNothingIsRecomputed) {
    open();
    addCosts(1, "100000", "0");
    ASSERT_EQ(checkTyped(), 0);
    // A deduction line is allowed as long as the section keeps costs.
    addCosts(1, "-20000", "0");
    calc.SetCostsChanged();
    ASSERT_EQ(calc.CheckCalcGrDaten(), 0);
    EXPECT_EQ(get("SummAnreKostAB1"), C("80000"));
    const Currency fee = get("GrHonorarAb1");
    ASSERT_GT(fee, Currency{});

    addCosts(1, "-90000", "0");
    calc.SetCostsChanged();
    EXPECT_EQ(calc.CheckCalcGrDaten(), KostenNegativ);
    ASSERT_EQ(texts(), std::vector<std::string>{"Negative Beträge sind hier nicht zulässig."});
    EXPECT_EQ(sink.shown.back().caption, "HOAI - Berechnung");
    EXPECT_EQ(get("SummAnreKostAB1"), C("80000"));
    EXPECT_EQ(get("GrHonorarAb1"), fee);
    EXPECT_TRUE(calc.CostsChanged());
    // The same through a changed input: the costs are checked before anything is recomputed.
    EXPECT_EQ(checkTyped(), KostenNegativ);
    EXPECT_EQ(get("GrHonorarAb1"), fee);

    dbs.projekt->Execute("DELETE FROM AnrechenbareKosten WHERE Eigenleistung = ?",
                         db::Params().Add(C("-90000").Raw()));
    EXPECT_EQ(calc.CheckCalcGrDaten(), 0);
    EXPECT_EQ(get("GrHonorarAb1"), fee);
    EXPECT_FALSE(calc.CostsChanged());
}

TEST_F(Calc, OldRegulationComputesSectionThreeFromItsOwnCosts) {
    test::Profil p;
    p.koZU = "1,1,1,2,2,2,3,3,3,0";
    p.hoaiAlt = true;
    open(p);
    setFields(calc.Grunddaten(), {{"SummAnreKostAB1", cy("100000")}, {"SummAnreKostAB2", cy("100000")},
                                  {"SummAnreKostAB3", cy("100000")}});
    EXPECT_EQ(calc.CalcAllGrunddaten(), 0);
    EXPECT_GT(get("GrHonorarAb2"), Currency{});
    EXPECT_EQ(get("GrHonorarAb3"), get("GrHonorarAb2"));
    EXPECT_EQ(get("SumHOMax3"), get("SumHOMax2"));
    EXPECT_EQ(get("SumAnrechenbareKosten3"), C("100000"));
    EXPECT_GT(get("HonrarNettoAB3"), Currency{});
}

// The delivered § 15 profile on its § 16 table, 500 000 euro in each section, zone III at the minimum rate:
// the table's minimum fee at 500 000 euro is 44 243 euro, and all nine phases share 100 %.
TEST_F(Calc, OldRegulationInvoiceBillsPhasesEightAndNineOnSectionThree) {
    struct Case {
        const char* name;
        int16_t rechnungsart;
        const char* costs3;
        const char *grHonorar3, *honrarNetto3, *netto;
    } cases[] = {
        {"invoice", 0, "500000", "44243", "15042.62", "44243"},
        // Section 3 at its own costs: 100 000 euro give the table's own minimum there.
        {"invoice, own costs of section 3", 0, "100000", "11311", "3845.74", "33046.12"},
        // An offer prices every section like the first, whatever their costs.
        {"offer", 1, "100000", "44243", nullptr, "44243"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::FeeDbs d;
        test::CaptureSink s;
        FeeCalculation fc(*d.projekt, *d.stamm, s);
        const test::Profil p = test::DeliveredProfil(*d.stamm, "15");
        ASSERT_TRUE(p.hoaiAlt);
        ASSERT_EQ(p.koZU, "1,1,1,1,2,2,2,3,3,0");
        const int32_t lb = test::AddProfil(*d.projekt, p);
        test::AddGrunddaten(*d.projekt, lb, 1, 3, "0", "500000");
        fc.BereListNr(1);
        fc.SetBerechnungswaehrung(EUR);
        fc.SetRechnungsart(c.rechnungsart);
        ASSERT_TRUE(fc.OpenGrunddaten());
        ASSERT_TRUE(fc.ConectLeistungsbild(lb));
        setFields(
            fc.Grunddaten(),
            {{"HOAIALT", int64_t{-1}}, {"SummAnreKostAB2", cy("500000")}, {"SummAnreKostAB3", cy(c.costs3)}});
        EXPECT_EQ(fc.CalcAllGrunddaten(), 0);
        EXPECT_TRUE(s.shown.empty());
        auto v = [&](const char* f) { return GetCY(fc.Grunddaten(), f); };
        EXPECT_EQ(v("GrHonorarAb1"), C("44243"));
        EXPECT_EQ(v("GrHonorarAb3"), C(c.grHonorar3));
        if (c.rechnungsart == 0) {
            // Phase 8 (31 %) and phase 9 (3 %) take their share of section 3's fee.
            EXPECT_EQ(v("GrundLDM8"), RundCY(Currency::FromDouble(C(c.grHonorar3).ToDouble() * 0.31)));
            EXPECT_EQ(v("TotalDMLP9"), RundCY(Currency::FromDouble(C(c.grHonorar3).ToDouble() * 0.03)));
            EXPECT_EQ(v("HonrarNettoAB3"), C(c.honrarNetto3));
        }
        EXPECT_EQ(v("HonrarNetto"), C(c.netto));
        EXPECT_EQ(v("HonorarBerNetto"), C(c.netto));
    }
}

namespace {

// Plant groups 1 and 2 of calculation 1, each with its own profile; group 2 is on display.
struct Groups : Calc {
    int32_t lb1 = 0, lb2 = 0;
    void build(const test::Profil& p1, const test::Profil& p2, const char* k1, const char* k2, int zone1 = 3) {
        lb1 = test::AddProfil(*dbs.projekt, p1, 1);
        lb2 = test::AddProfil(*dbs.projekt, p2, 2);
        test::AddGrunddaten(*dbs.projekt, lb1, 1, zone1, "50", k1);
        test::AddGrunddaten(*dbs.projekt, lb2, 2, 3, "50", k2);
    }
    static test::Profil groups(const char* koZU = "1,1,1,1,1,1,1,1,1,0") {
        test::Profil p;
        p.mitAnlageGrp = true;
        p.koZU = koZU;
        return p;
    }
    Currency of(int gruppe, const char* field) {
        calc.SetAnlageGruppe(static_cast<int16_t>(gruppe));
        EXPECT_TRUE(calc.OpenGrunddaten());
        return get(field);
    }
};

} // namespace

TEST_F(Groups, EachGroupGetsItsShareOfTheFeeAtTheTotalCosts) {
    build(groups(), groups(), "300000", "100000");
    connect(lb2, DM, 2);
    EXPECT_EQ(calc.CalcAllGrunddaten(), 0);
    // Back on group 2 with group 2's profile.
    EXPECT_EQ(calc.Grunddaten().GetInt("AnlageGruppe"), 2);
    EXPECT_EQ(calc.Leistungsbild().GetInt("LfNr"), lb2);
    const Currency min = of(1, "SumHOMin1"), max = of(1, "SumHOMax1");
    EXPECT_GT(min, Currency{});
    EXPECT_EQ(of(2, "SumHOMin1"), min);
    EXPECT_EQ(of(2, "SumAnrechenbareKosten1"), C("400000"));
    auto share = [](Currency v, double f) { return RundCY(Currency::FromDouble(v.ToDouble() * f)); };
    EXPECT_EQ(of(1, "HonorarMinAB1"), share(min, 0.75));
    EXPECT_EQ(of(1, "HonorarMaxAB1"), share(max, 0.75));
    EXPECT_EQ(of(2, "HonorarMinAB1"), share(min, 0.25));
    EXPECT_EQ(of(2, "HonorarMaxAB1"), share(max, 0.25));
    EXPECT_GT(of(2, "HonrarNetto"), Currency{});
}

TEST_F(Groups, EachGroupUsesItsOwnProfilesSectionsAndUnit) {
    test::Profil p2 = groups("1,1,1,1,2,2,2,2,2,0");
    p2.einheit = 2;
    build(groups(), p2, "300000", "100000");
    connect(lb2, EUR, 2);
    setFields(calc.Grunddaten(), {{"SummAnreKostAB2", cy("200000")}});
    connect(lb1, EUR, 1);
    EXPECT_EQ(calc.CalcAllGrunddaten(), 0);
    EXPECT_GT(of(2, "GrHonorarAb2"), Currency{});
    // An axis of units is not converted, whatever the group on display uses.
    EXPECT_EQ(of(2, "AlDispSumAnrechenbareKosten1"), of(2, "SumAnrechenbareKosten1"));
    EXPECT_NE(of(1, "AlDispSumAnrechenbareKosten1"), of(1, "SumAnrechenbareKosten1"));
}

TEST_F(Groups, AnInvalidStoredGroupIsReportedAndNothingIsComputed) {
    build(groups(), groups(), "300000", "100000", /*zone1=*/0);
    connect(lb2, DM, 2);
    EXPECT_EQ(calc.CalcAllGrunddaten(), ZoneNichtPositiv);
    EXPECT_EQ(calc.FehlerAnlageGruppe(), 1);
    EXPECT_EQ(texts(), std::vector<std::string>{"Die Honorarzone muß größer 0 sein"});
    EXPECT_EQ(calc.Grunddaten().GetInt("AnlageGruppe"), 2);
    EXPECT_EQ(get("GrHonorarAb1"), Currency{});
    EXPECT_EQ(of(1, "GrHonorarAb1"), Currency{});
}

TEST_F(Groups, NoRowOfTheCostSumsMeansOwnCostsOnly) {
    build(groups(), groups(), "300000", "100000");
    dbs.projekt->SetQueryDef("SumAnreBareKostenAnlageGrp",
                             "SELECT SummAnreKostAB1, SummAnreKostAB2, SummAnreKostAB3 FROM Grunddaten "
                             "WHERE LfNrBeReList = :BerListNr AND 0");
    connect(lb2, DM, 2);
    EXPECT_EQ(calc.CalcAllGrunddaten(), 0);
    EXPECT_EQ(of(1, "SumAnrechenbareKosten1"), C("300000"));
    EXPECT_EQ(of(2, "SumAnrechenbareKosten1"), C("100000"));
}

TEST_F(Calc, BaseFeeCurrenciesUnitsAndOffers) {
    struct Case {
        const char* name;
        int16_t waehrung;
        int einheit;
        int16_t rechnungsart;
        const char* koZU;
    } cases[] = {
        {"DM, money axis", DM, 1, 0, "1,1,1,1,2,2,2,3,3,0"},
        {"euro, money axis", EUR, 1, 0, "1,1,1,1,2,2,2,3,3,0"},
        {"euro, area axis", EUR, 2, 0, "1,1,1,1,2,2,2,3,3,0"},
        {"offer", DM, 1, 1, "1,1,1,1,2,2,2,3,3,0"},
        {"one section in use", DM, 1, 0, "1,1,1,1,1,1,1,1,1,0"},
    };
    for (const auto& c : cases) {
        test::FeeDbs d;
        test::CaptureSink s;
        FeeCalculation fc(*d.projekt, *d.stamm, s);
        test::Profil p;
        p.einheit = c.einheit;
        p.koZU = c.koZU;
        const int32_t lb = test::AddProfil(*d.projekt, p);
        test::AddGrunddaten(*d.projekt, lb, 1, 3, "50", "100000");
        fc.BereListNr(1);
        fc.SetBerechnungswaehrung(c.waehrung);
        fc.SetRechnungsart(c.rechnungsart);
        ASSERT_TRUE(fc.OpenGrunddaten());
        ASSERT_TRUE(fc.ConectLeistungsbild(lb));
        setFields(fc.Grunddaten(), {{"SummAnreKostAB2", cy("200000")}, {"SummAnreKostAB3", cy("300000")}});
        Abschnitte<Currency> sums{};
        Abschnitte<int16_t> st{};
        fc.CallGrundHonorar(sums, st);
        db::Recordset& g = fc.Grunddaten();
        auto v = [&](const std::string& f) { return GetCY(g, f); };
        const bool euro = c.waehrung == EUR;
        SCOPED_TRACE(c.name);
        for (int k = 1; k <= 3; ++k) {
            const std::string K = std::to_string(k);
            // Each twin is the other currency to four places.
            for (const char* f : {"HonorarMinAB", "HonorarMaxAB", "GrHonorarAb", "SumHOMin", "SumHOMax"})
                EXPECT_EQ(v(std::string("AlDisp") + f + K), DMEuroUmrechnung(v(f + K), euro ? 0 : 1)) << f << k;
            if (c.einheit == 1)
                EXPECT_EQ(v("AlDispSumAnrechenbareKosten" + K),
                          DMEuroUmrechnung(v("SumAnrechenbareKosten" + K), euro ? 0 : 1));
            else
                EXPECT_EQ(v("AlDispSumAnrechenbareKosten" + K), v("SumAnrechenbareKosten" + K));
        }
        const Currency fee1 = v("GrHonorarAb1");
        EXPECT_GT(fee1, Currency{});
        EXPECT_EQ(v("SumAnrechenbareKosten1"), C("100000"));
        // 100 000 euro are looked up as 195 583 DM: the published zone III values; an area is not converted.
        if (euro) {
            EXPECT_EQ(v("SumHOMin1") == C("15005"), c.einheit == 1);
        }
        if (c.rechnungsart == 1) {
            // Sections 2 and 3 carry section 1's fee, their lookup costs the sums as passed.
            EXPECT_EQ(v("GrHonorarAb2"), fee1);
            EXPECT_EQ(v("SumHOMax3"), v("SumHOMax1"));
            EXPECT_EQ(v("SumAnrechenbareKosten2"), Currency{});
        } else if (std::string(c.koZU).find('2') == std::string::npos) {
            EXPECT_EQ(v("GrHonorarAb2"), Currency{});
            EXPECT_EQ(v("SumAnrechenbareKosten3"), Currency{});
        } else {
            EXPECT_GT(v("GrHonorarAb3"), v("GrHonorarAb2"));
            EXPECT_EQ(v("SumAnrechenbareKosten3"), C("300000"));
        }
    }
}
