// The fee engine on tables and profiles the editors changed: what a calculation reads must stay usable.
#include "core/Money.h"
#include "fee/FeeCalculation.h"
#include "masterdata/ProfilStore.h"
#include "masterdata/TafelStore.h"

#include "fee/FeeTestDb.h"
#include "fee/FeeTestSupport.h"

#include <gtest/gtest.h>

using namespace velu;
using namespace velu::masterdata;

namespace {

// Minimum, maximum and base fee of a euro calculation at the given costs, zone and rate.
struct Euro {
    Currency min, max, honorar;
};

Euro Rechnen(fee::test::FeeDbs& dbs, int32_t tafel, const char* kosten, int zone, const char* satz) {
    fee::test::CaptureSink sink;
    fee::FeeCalculation calc(*dbs.projekt, *dbs.stamm, sink);
    fee::test::Profil p;
    p.tafel = tafel;
    dbs.projekt->Execute("DELETE FROM Leistungsbild");
    dbs.projekt->Execute("DELETE FROM Grunddaten");
    const int32_t lb = fee::test::AddProfil(*dbs.projekt, p);
    fee::test::AddGrunddaten(*dbs.projekt, lb, 1, zone, satz, "0");
    calc.BereListNr(1);
    calc.SetBerechnungswaehrung(EUR);
    EXPECT_TRUE(calc.OpenGrunddaten());
    EXPECT_TRUE(calc.ConectLeistungsbild(lb));
    db::Recordset& g = calc.Grunddaten();
    g.Edit();
    SetCY(g, "SummAnreKostAB1", Currency::FromString(kosten));
    g.Update();
    fee::Abschnitte<Currency> s{};
    fee::Abschnitte<int16_t> st{};
    calc.CallGrundHonorar(s, st);
    EXPECT_EQ(st[1], 0);
    EXPECT_TRUE(sink.shown.empty());
    return {GetCY(g, "HonorarMinAB1"), GetCY(g, "HonorarMaxAB1"), GetCY(g, "GrHonorarAb1")};
}

} // namespace

TEST(FeeOnCopy, EditedCopyOf35KeepsThePublishedFeeAtAnUntouchedRow) {
    fee::test::FeeDbs dbs;
    TafelStore store(*dbs.stamm);
    const auto r = store.CopyAufr(fee::test::Tafel35);
    ASSERT_TRUE(std::holds_alternative<int64_t>(r));
    const int64_t kopie = std::get<int64_t>(r);
    // Other rows edited as the grid writes them: checked, then only the changed cell.
    db::Recordset rs = store.Zeilen(kopie);
    for (; !rs.EOF_(); rs.MoveNext()) {
        if (GetCY(rs, "AKosten") == RundCY(DMEuroUmrechnung(Currency::FromUnits(500000), 0))) continue;
        TafelZeile z;
        z.lfnr = rs.GetInt("LfNr");
        z.akosten = GetCY(rs, "AKosten");
        z.s[4] = GetCY(rs, "S5") + Currency::FromUnits(1);
        ASSERT_EQ(store.ZeilePruefen(kopie, z), std::nullopt);
        rs.Edit();
        SetCY(rs, "S5", *z.s[4]);
        rs.Update();
    }
    ASSERT_EQ(store.SaveStuff(kopie, "K35", "Kopie"), std::nullopt);

    const Euro e = Rechnen(dbs, int32_t(kopie), "500000", 3, "0");
    EXPECT_EQ(e.min, Currency::FromString("62900.00"));
    EXPECT_EQ(e.honorar, Currency::FromString("62900.00"));
    EXPECT_EQ(e.max, Currency::FromString("78449.00"));
}

TEST(FeeOnCopy, DeletingATemplateLeavesCalculationsAsTheyWere) {
    fee::test::FeeDbs dbs;
    ProfilStore profile(*dbs.stamm);
    auto rs = dbs.stamm->OpenRecordset("SELECT Min(LfNr) AS n FROM Leistungsbilder");
    const auto kopie = profile.CopyLBild(rs.GetInt("n"));
    ASSERT_TRUE(std::holds_alternative<int64_t>(kopie));
    const Euro vorher = Rechnen(dbs, fee::test::Tafel35, "750000", 3, "50");
    ASSERT_EQ(profile.Loeschen(std::get<int64_t>(kopie)), std::nullopt);
    const Euro nachher = Rechnen(dbs, fee::test::Tafel35, "750000", 3, "50");
    EXPECT_EQ(nachher.honorar, vorher.honorar);
    EXPECT_GT(nachher.honorar, Currency());
}
