// EDITRe through the program's own editors: the basic-data form and the site-supervision dialog run
// modally, driven as the user would, and the register stores what they computed.
#include "register/ProgrammEditor.h"
#include "ProgrammFixture.h"
#include "register/CalculationRegister.h"

#include <QLabel>

using velu::Currency;
using namespace velu::reg;

namespace {

Currency C(const char* s) {
    return Currency::FromString(s);
}

class ProgrammEditorTest : public ProgrammFixture {
protected:
    CalculationRegister& Register(int64_t lfnr) {
        reg_ = std::make_unique<CalculationRegister>(*projekt_);
        reg_->Open();
        EXPECT_TRUE(reg_->FindBerechnung(lfnr));
        return *reg_;
    }
    bool HatFensterPosition(const char* form) {
        return !settings_->GetSetting(QString("WindowPos ") + form, "Width").isEmpty();
    }
    ProgrammEditor editor_{nullptr};
    std::unique_ptr<CalculationRegister> reg_;
};

TEST_F(ProgrammEditorTest, OfferThroughGrunddatStoresTheFeeAndTheTotals) {
    const int64_t a = Neu('A', "Angebot Kita", velu::DM);
    QString titel;
    ModalDriver<velu::fee::Grunddat> drv([&](velu::fee::Grunddat& f) {
        titel = f.windowTitle();
        GrunddatAusfuellen(f, {"200.000,00", "3", "50"});
    });
    EXPECT_EQ(Register(a).EDITRe(editor_, "2026-001", "Angebot Kita"), EditorErgebnis::Geschlossen);
    ASSERT_TRUE(drv.Ran());
    EXPECT_FALSE(drv.LeftOpen()) << boxen_.LastText().toStdString();
    EXPECT_EQ(titel, "Grunddaten 2026-001 Angebot Kita");

    const Currency netto = Grunddaten(a, "HonorarBerNetto");
    EXPECT_GT(netto, C("10000"));
    EXPECT_EQ(Betrag(a, "BerNetto"), netto);
    EXPECT_EQ(Betrag(a, "AlDispBerNetto"), velu::RundCY(velu::DMEuroUmrechnung(netto, 1)));
    const Currency mwst = velu::RundCY(velu::ProzentVon(netto, C("19")));
    EXPECT_EQ(Betrag(a, "ZwSumm"), netto);
    EXPECT_EQ(Betrag(a, "MwstDM"), mwst);
    EXPECT_EQ(Betrag(a, "Endbetrag"), netto + mwst);
    EXPECT_EQ(std::get<int64_t>(Wert(a, "Modif")), -1);
}

TEST_F(ProgrammEditorTest, SiteSupervisionTakesTheDialogsDataOnOkOnly) {
    struct Case {
        const char* name;
        Parag57Eingabe eingabe;
        bool ok;
        const char *kost57, *satz, *fertig, *pausch, *netto, *alDispNetto;
    } cases[] = {
        // 100 000 DM × 2,5 % × 80 %
        {"fee", {"100.000,00", "2,5", "80", ""}, true, "100000", "2.5", "80", "0", "2000", "1022.58"},
        {"lump sum",
         {"100.000,00", "2,5", "80", "1.500,00"},
         true,
         "100000",
         "2.5",
         "80",
         "1500",
         "1500",
         "766.9378"},
        // Esc: nothing of the dialog reaches the row, the cost line it wrote stays in its table.
        {"cancel", {"100.000,00", "2,5", "80", ""}, false, "0", nullptr, nullptr, "0", "0", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int64_t b = Neu('B', "Bauüberwachung", velu::DM);
        QString angeboteneFertigstellung;
        ModalDriver<velu::fee::Parag57> drv([&](velu::fee::Parag57& d) {
            angeboteneFertigstellung = d.findChild<QLineEdit*>("XtraText1_1")->text();
            Parag57Ausfuellen(d, c.eingabe);
            if (c.ok)
                d.ActiveBar().Click("OK");
            else
                d.reject();
        });
        EXPECT_EQ(Register(b).EDITRe(editor_, "", ""),
                  c.ok ? EditorErgebnis::Bestaetigt : EditorErgebnis::Geschlossen);
        ASSERT_TRUE(drv.Ran());
        EXPECT_FALSE(drv.LeftOpen()) << boxen_.LastText().toStdString();
        EXPECT_EQ(angeboteneFertigstellung, "100,00"); // never stored: offered as 100
        EXPECT_EQ(Betrag(b, "KOST57"), C(c.kost57));
        if (c.satz) {
            EXPECT_EQ(Betrag(b, "PSatz57"), C(c.satz));
            EXPECT_EQ(Betrag(b, "Fertigstell57"), C(c.fertig));
        } else {
            EXPECT_TRUE(std::holds_alternative<std::monostate>(Wert(b, "PSatz57")));
        }
        EXPECT_EQ(Betrag(b, "Pausch57"), C(c.pausch));
        EXPECT_EQ(Betrag(b, "BerNetto"), C(c.netto));
        EXPECT_EQ(Betrag(b, "AlDispBerNetto"), C(c.alDispNetto));
        // The chain ran on what was stored, also after Cancel.
        EXPECT_EQ(Betrag(b, "Endbetrag"), velu::RundCY(C(c.netto) + velu::ProzentVon(C(c.netto), C("19"))));
        EXPECT_EQ(std::get<int64_t>(Wert(b, "Modif")), -1);
        EXPECT_TRUE(HatFensterPosition("Parag57"));
    }
}

TEST_F(ProgrammEditorTest, SiteSupervisionOpensOnTheStoredValues) {
    const int64_t b = Neu('B', "Bauüberwachung", velu::EUR);
    projekt_->Execute("UPDATE BeReList SET KOST57 = ?, PSatz57 = 0, Fertigstell57 = ? WHERE LfNr = ?",
                      velu::db::Params().Add(C("40000").Raw()).Add(C("50").Raw()).Add(b));
    QString satz, fertig;
    ModalDriver<velu::fee::Parag57> drv([&](velu::fee::Parag57& d) {
        satz = d.findChild<QLineEdit*>("XtraText1_0")->text();
        fertig = d.findChild<QLineEdit*>("XtraText1_1")->text();
        d.findChild<QLineEdit*>("XtraText1_0")->setText("3");
        d.ActiveBar().Click("OK");
    });
    EXPECT_EQ(Register(b).EDITRe(editor_, "", ""), EditorErgebnis::Bestaetigt);
    ASSERT_TRUE(drv.Ran());
    EXPECT_EQ(satz, "0,00"); // a stored 0 is a rate, not a missing one
    EXPECT_EQ(fertig, "50,00");
    // 40 000 € × 3 % × 50 %
    EXPECT_EQ(Betrag(b, "BerNetto"), C("600"));
    EXPECT_EQ(Betrag(b, "AlDispBerNetto"), velu::RundCY(velu::DMEuroUmrechnung(C("600"), 0)));
    EXPECT_EQ(Betrag(b, "Endbetrag"), C("714"));
}

TEST_F(ProgrammEditorTest, SiteSupervisionGetsEntryAndDisplayCurrencyApart) {
    // Entered in DM, shown in euro: the dialog must not swap the two.
    const int64_t b = Neu('B', "Bauüberwachung", velu::DM);
    projekt_->Execute("UPDATE BeReList SET DisplayType = 1 WHERE LfNr = ?", velu::db::Params().Add(b));
    QString caption;
    bool eur = false, dm = true;
    ModalDriver<velu::fee::Parag57> drv([&](velu::fee::Parag57& d) {
        caption = d.findChild<QLabel*>("GridCaption")->text();
        eur = d.ActiveBar().Checked("Band1", "EUR");
        dm = d.ActiveBar().Checked("Band1", "DM");
        d.reject();
    });
    EXPECT_EQ(Register(b).EDITRe(editor_, "", ""), EditorErgebnis::Geschlossen);
    ASSERT_TRUE(drv.Ran());
    EXPECT_EQ(caption, QString::fromUtf8("Berechnungswährung DM"));
    EXPECT_TRUE(eur);
    EXPECT_FALSE(dm);
}

} // namespace
