// An offer from its creation to its final amount: added as the new-calculation dialog adds it, opened with
// EDIT in the register window, computed by the basic-data form on the delivered fee table, totalled by the
// register. With VELU_REGISTER_SCREENSHOT set the window is saved as a PNG (scripts/screenshot register).
#include "ProgrammFixture.h"
#include "register/BerAuswahl.h"
#include "register/ProgrammEditor.h"

#include "platform/forms/ToolBand.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

#include <cstdlib>

using velu::Currency;
using namespace velu::reg;

namespace {

Currency C(const char* s) {
    return Currency::FromString(s);
}

struct ProgrammHost : RegisterHost {
    ProgrammEditor editor{nullptr};
    velu::db::Database* ProjektDB() override { return velu::App().ProjektDB(); }
    QString ProjektText() override { return "2026-17 Kita Sonnenhof"; }
    uint32_t AktRechte() override { return 8191; }
    BerechnungEditor& Editor() override { return editor; }
    Currency MwStSatz() override { return Currency::FromUnits(19); }
};

// Fee of the delivered § 35 table at a row's eligible costs, zone (1 to 5), lower (von) or upper (bis) value.
Currency TafelWert(int64_t kostenEuro, int zone, bool bis) {
    const auto rows =
        velu::MasterDataLoader::ReadCsv(HoaiDatenOrdner() / "honorartafel-2021-p35-gebaeude-innenraeume.csv");
    for (const auto& r : rows)
        if (std::stoll(r.at(0)) == kostenEuro) return Currency::FromString(r.at(size_t(2 * zone - 1 + bis)));
    ADD_FAILURE() << "no table row at " << kostenEuro;
    return {};
}

// Sum of the phase percentages of the delivered § 34 profile.
Currency Leistungsanteil34() {
    for (const auto& r : velu::MasterDataLoader::ReadCsv(HoaiDatenOrdner() / "leistungsbilder.csv"))
        if (r.at(0) == "§ 34") {
            Currency s;
            for (size_t i = 4; i < r.size(); ++i)
                s = s + Currency::FromString(r[i]);
            return s;
        }
    ADD_FAILURE() << "no § 34 profile";
    return {};
}

class RegisterEndToEnd : public ProgrammFixture {
protected:
    QLineEdit* Feld(BerAuswahl& w, int i) { return w.findChild<QLineEdit*>(QString("XtraText2(%1)").arg(i)); }
};

TEST_F(RegisterEndToEnd, OfferOnTheDeliveredTableEndsInNetFeePlusVat) {
    const int64_t a = Neu('A', "Angebot Neubau Kita", velu::EUR, "Neubau Kita");
    BerAuswahl w(std::make_unique<ProgrammHost>());
    w.resize(1000, 600);
    w.show();
    ASSERT_EQ(w.TreeView1()->currentItem()->data(0, Qt::UserRole).toString(), "@" + QString::number(a));

    // 500 000 € in zone III at the minimum rate, the standard profile with all its phases.
    ModalDriver<velu::fee::Grunddat> drv([](velu::fee::Grunddat& f) {
        GrunddatAusfuellen(f, {"500.000,00", "3", "0"});
    });
    ASSERT_TRUE(w.ActiveBar1().Click("Band1", "EDIT"));
    ASSERT_TRUE(drv.Ran());
    ASSERT_FALSE(drv.LeftOpen()) << boxen_.LastText().toStdString();
    EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();

    // The fee engine's net fee is the table's lower value of zone III at 500 000 €, all phases (100 %).
    ASSERT_EQ(Leistungsanteil34(), C("100"));
    const Currency tafel = TafelWert(500000, 3, false);
    EXPECT_EQ(tafel, C("62900"));
    const Currency honrarNetto = Grunddaten(a, "HonrarNetto");
    EXPECT_EQ(honrarNetto, tafel);
    EXPECT_EQ(Betrag(a, "BerNetto"), honrarNetto);

    const Currency mwst = velu::RundCY(velu::ProzentVon(honrarNetto, Currency::FromUnits(19)));
    EXPECT_EQ(mwst, C("11951"));
    EXPECT_EQ(Betrag(a, "MwstDM"), mwst);
    EXPECT_EQ(Betrag(a, "Brutto"), honrarNetto + mwst);
    EXPECT_EQ(Betrag(a, "Endbetrag"), honrarNetto + mwst);
    EXPECT_EQ(Betrag(a, "Endbetrag"), C("74851"));
    EXPECT_EQ(Betrag(a, "Mwstenthalten"), mwst);
    // The twins in DM.
    EXPECT_EQ(Betrag(a, "AlDispBerNetto"), velu::RundCY(velu::DMEuroUmrechnung(honrarNetto, 0)));

    // The register shows what it stored and the offer can now be printed.
    EXPECT_EQ(Feld(w, 0)->text(), QString::fromUtf8("62.900,00\u00a0€"));
    EXPECT_EQ(Feld(w, 2)->text(), QString::fromUtf8("11.951,00\u00a0€"));
    EXPECT_EQ(Feld(w, 7)->text(), QString::fromUtf8("74.851,00\u00a0€"));
    EXPECT_TRUE(w.ActiveBar1().Enabled("PopupBand1", "PRINTRE"));

    if (const char* ziel = std::getenv("VELU_REGISTER_SCREENSHOT")) {
        QApplication::processEvents();
        QDir().mkpath(QFileInfo(ziel).absolutePath());
        ASSERT_TRUE(w.grab().save(ziel));
        EXPECT_GT(QFileInfo(ziel).size(), 1000);
    }
}

} // namespace
