#include "FeeTestSupport.h"
#include "GridEnter.h"
#include "GrunddatTestSupport.h"

#include "core/MoneyFormat.h"
#include "fee/FeeCalculation.h"
#include "fee/KostenSpalten.h"
#include "platform/forms/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <map>
#include <sqlite3.h>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

using namespace velu;
using namespace velu::fee;
using velu::fee::test::C;
using velu::forms::MessageBoxScript;

namespace {

struct GrunddatForm : ::testing::Test, test::FormFixture {
    // Every box of a test is recorded; none may wait for a click.
    MessageBoxScript script;
    size_t mark = 0;
    void markieren() { mark = script.Shown().size(); }
    std::vector<QString> neue() const {
        std::vector<QString> t;
        for (size_t i = mark; i < script.Shown().size(); ++i)
            t.push_back(script.Shown()[i].text);
        return t;
    }
    // Invoice in DM with 500 000 DM own costs in section 1, zone 3, rate 50, confirmed with OK.
    void gerechnet(int16_t display = 0) {
        ASSERT_TRUE(open(1, display, 0, 0));
        tabs()->setCurrentIndex(1);
        ASSERT_TRUE(kostenEingeben(0, display ? "AlDispEigenleistung" : "Eigenleistung", "500.000,00"));
        tabs()->setCurrentIndex(0);
        text(1)->setText("3");
        text(2)->setText("50");
        form->ToolClick("OK");
    }
};

} // namespace

TEST_F(GrunddatForm, NewCalculationGetsItsRowsWithTheStandardProfile) {
    struct Case {
        int16_t art;
        int32_t lastUsed; // template marked as last used, 0 = none
        int32_t erwartet;
        const char* phTX1;
    } cases[] = {{0, 0, test::Gebaeude, "1 - 9"},
                 {1, 0, test::Gebaeude, "1 - 9"},
                 {0, 3, 3, "1 - 9"},
                 // A 1991 template marked last used is never the standard profile.
                 {0, test::Gebaeude1991, test::Gebaeude, "1 - 9"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastUsed);
        test::FormFixture f;
        f.dbs.stamm->Execute("UPDATE Leistungsbilder SET LastUsed = CASE WHEN LfNr = ? THEN -1 ELSE 0 END",
                             db::Params().Add(int64_t{c.lastUsed}));
        ASSERT_TRUE(f.open(1, 0, 0, c.art));
        EXPECT_EQ(f.form->StandardProfil(), c.erwartet);
        db::Recordset g = f.grunddaten();
        ASSERT_EQ(g.RecordCount(), 1);
        EXPECT_EQ(g.GetInt("ReType"), c.art);
        EXPECT_EQ(g.GetText("PhTX1"), c.phTX1);
        db::Recordset p = f.leistungsbild();
        ASSERT_EQ(p.RecordCount(), 1);
        EXPECT_EQ(p.GetInt("LeistungsbildLFNR"), c.erwartet);
        EXPECT_EQ(g.GetInt("ZuordnungLBTabelle"), p.GetInt("LfNr"));
        EXPECT_EQ(f.text(0)->text().toStdString(), p.GetText("LeistungsbildPara"));
        EXPECT_TRUE(f.form->Bar().Checked("Leistungsphasen", QString("PX%1").arg(c.erwartet)));
        // The 1991 template stands in its submenu only.
        const QString alt = QString("PX%1").arg(test::Gebaeude1991);
        EXPECT_NE(f.form->Bar().Tool("Leistungsphasen1991", alt), nullptr);
        EXPECT_EQ(f.form->Bar().Tool("Leistungsphasen", alt), nullptr);
        EXPECT_EQ(f.form->Bar().Definition("Leistungsphasen", "VE")->subBand, "Leistungsphasen1991");
    }
}

TEST_F(GrunddatForm, OfferShowsOneSectionForPhasesOneToNine) {
    ASSERT_TRUE(open(1, 0, 0, 1));
    form->ToolClick(QString("PX%1").arg(test::Gebaeude1991)); // three sections as an invoice
    EXPECT_TRUE(tabs()->isTabEnabled(1));
    EXPECT_FALSE(tabs()->isTabEnabled(2));
    EXPECT_FALSE(tabs()->isTabEnabled(3));
    EXPECT_EQ(tabs()->tabText(1), "Kosten Lp 1 - 9");
    db::Recordset g = grunddaten();
    EXPECT_EQ(g.GetText("PhTX1"), "1 - 9");
    EXPECT_EQ(g.GetText("PhTX2"), "");

    test::FormFixture rechnung;
    ASSERT_TRUE(rechnung.open(1, 0, 0, 0));
    rechnung.form->ToolClick(QString("PX%1").arg(test::Gebaeude1991));
    EXPECT_EQ(rechnung.tabs()->tabText(2), "Kosten Lp 5 - 7");
    EXPECT_EQ(rechnung.tabs()->tabText(3), "Kosten Lp 8 - 9");
    EXPECT_EQ(rechnung.grunddaten().GetText("PhTX3"), "8 - 9");

    // A line typed on the second cost tab belongs to section 2 of this calculation and group.
    rechnung.tabs()->setCurrentIndex(2);
    EXPECT_TRUE(rechnung.form->Bar().Enabled("Band1", "KTNP"));
    ASSERT_TRUE(rechnung.kostenEingeben(0, "Eigenleistung", "1000"));
    EXPECT_FALSE(rechnung.form->Bar().Enabled("Band1", "KTNP"));
    EXPECT_EQ(rechnung.count("SELECT Count(*) FROM AnrechenbareKosten WHERE Phase = 2 AND LfNrBeReList = 1 "
                             "AND ZuordnungAnlGrp = 1"),
              1);
}

TEST_F(GrunddatForm, TypedCostsAndZoneStoreTheFeeTheEngineComputes) {
    markieren();
    gerechnet();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_TRUE(neue().empty()) << script.LastText().toStdString();

    db::Recordset g = grunddaten();
    EXPECT_EQ(GetCY(g, "SummAnreKostAB1"), C("500000"));
    EXPECT_EQ(g.GetInt("Honorarzone"), 3);
    EXPECT_EQ(GetCY(g, "SatzUemin1"), C("50"));
    const Currency netto = GetCY(g, "HonrarNetto");
    EXPECT_GT(netto, C("10000"));

    // The engine on its own, from the stored rows, comes to the same fee.
    test::CaptureSink sink;
    FeeCalculation calc(*dbs.projekt, *dbs.stamm, sink);
    calc.BereListNr(1);
    ASSERT_TRUE(calc.OpenGrunddaten());
    ASSERT_TRUE(calc.ConectLeistungsbild(static_cast<int32_t>(g.GetInt("ZuordnungLBTabelle"))));
    calc.SetCostsChanged();
    calc.CheckCalcGrDaten();
    EXPECT_EQ(GetCY(calc.Grunddaten(), "HonrarNetto"), netto);
    EXPECT_EQ(feld("NettoHonorar_4")->text().toStdString(), FormatBetrag(netto, DM));
}

TEST_F(GrunddatForm, TypedTextThatIsNoNumberChangesNothing) {
    markieren();
    ASSERT_TRUE(open());
    tabs()->setCurrentIndex(1);
    EXPECT_FALSE(kostenEingeben(0, "Eigenleistung", "12a"));
    EXPECT_EQ(script.LastText(), "Die Eingabe muss nummerisch sein");
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten"), 0);
    ASSERT_TRUE(kostenEingeben(0, "Eigenleistung", "1.234,5"));
    EXPECT_EQ(count("SELECT Eigenleistung FROM AnrechenbareKosten"), C("1234.5").Raw());
    // An amount whose twin the currency cannot hold is refused as too large, the line keeps its value.
    for (const char* zuGross : {"10.000.000.000.000", "-900000000000000"}) {
        EXPECT_FALSE(kostenEingeben(0, "Eigenleistung", zuGross));
        EXPECT_EQ(script.LastText(), "Die Eingabe muss nummerisch sein \roder\rdie Zahl ist zu groß");
        EXPECT_EQ(count("SELECT Eigenleistung FROM AnrechenbareKosten"), C("1234.5").Raw());
    }
    EXPECT_FALSE(kostenEingeben(0, "Eigenleistung", "1,2,3"));
    EXPECT_EQ(script.LastText(), "Die Eingabe muss nummerisch sein");
    ASSERT_TRUE(kostenEingeben(0, "Eigenleistung", "9.999.999.999.999"));
    EXPECT_EQ(count("SELECT Eigenleistung FROM AnrechenbareKosten"), C("9999999999999").Raw());
    {
        // The same in the twin column, where the conversion would overflow.
        test::FormFixture euro;
        ASSERT_TRUE(euro.open(1, 1, 0, 0));
        euro.tabs()->setCurrentIndex(1);
        EXPECT_FALSE(euro.kostenEingeben(0, "AlDispEigenleistung", "900000000000000"));
        EXPECT_EQ(script.LastText(), "Die Eingabe muss nummerisch sein \roder\rdie Zahl ist zu groß");
        EXPECT_EQ(euro.count("SELECT Count(*) FROM AnrechenbareKosten"), 0);
    }

    tabs()->setCurrentIndex(0);
    form->show();
    const size_t vorher = script.Shown().size();
    text(2)->setText("zehn");
    form->ToolClick("OK");
    ASSERT_EQ(script.Shown().size(), vorher + 1);
    EXPECT_EQ(script.LastText(), "Die Eingabe muss nummerisch sein");
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->focusWidget(), text(2));
    EXPECT_EQ(GetCY(grunddaten(), "SatzUemin1"), Currency{});
}

TEST_F(GrunddatForm, OkWithAnInputErrorStaysOnTheFieldAndShowsTheMessageOnce) {
    struct Case {
        const char* zone;
        const char* satz;
        const char* meldung;
        int fokus;
    } cases[] = {{"3", "120", "Satz über Minimum kann nicht größer 100 sein", 2},
                 {"0", "10", "Die Honorarzone muß größer 0 sein", 1},
                 {"6", "10", "Die angegebene Honorarzone existiert nicht", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.meldung);
        test::FormFixture f;
        ASSERT_TRUE(f.open());
        f.form->show();
        f.tabs()->setCurrentIndex(4);
        f.text(1)->setText(c.zone);
        f.text(2)->setText(c.satz);
        markieren();
        f.form->ToolClick("OK");
        ASSERT_EQ(neue().size(), 1u);
        EXPECT_EQ(script.LastText(), c.meldung);
        EXPECT_TRUE(f.form->isVisible());
        EXPECT_EQ(f.tabs()->currentIndex(), 0);
        EXPECT_EQ(f.form->focusWidget(), f.text(c.fokus));
        // Back on the inputs, their tools apply again.
        EXPECT_TRUE(f.form->Bar().Enabled("Band1", "LPHBTN"));
        EXPECT_TRUE(f.form->Bar().Enabled("Band1", "PUNKTEKAT"));
    }
    {
        // Without a profile the check stops there: the other fields are not examined.
        test::FormFixture f;
        ASSERT_TRUE(f.open());
        f.form->show();
        f.text(0)->setText("");
        f.text(2)->setText("zehn");
        markieren();
        f.form->ToolClick("OK");
        EXPECT_EQ(neue(), std::vector<QString>{"Es fehlt das Leistungsbild"});
        EXPECT_TRUE(f.form->isVisible());
    }
}

TEST_F(GrunddatForm, ARefusedZoneOrRateIsNotWrittenAndTheStoredFeeStays) {
    struct Case {
        const char* zone;
        const char* satz;
        const char* meldung;
    } cases[] = {{"7", "25", "Die angegebene Honorarzone existiert nicht"},
                 {"0", "25", "Die Honorarzone muß größer 0 sein"},
                 {"4", "101", "Satz über Minimum kann nicht größer 100 sein"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        gerechnet(); // zone 3, rate 50, fee computed and stored
        const db::Recordset vorher = grunddaten();
        const Currency honorar = GetCY(vorher, "HonrarNetto");
        ASSERT_NE(honorar, Currency{});
        form->show();
        QApplication::setActiveWindow(form.get());
        for (const auto& [feld, getippt] : {std::pair{1, c.zone}, std::pair{2, c.satz}}) {
            text(feld)->setFocus();
            eingabe::Taste(*form, Qt::Key_A, Qt::ControlModifier);
            eingabe::Tasten(*form, getippt);
        }
        markieren();
        form->ToolClick("OK");
        EXPECT_EQ(neue(), std::vector<QString>{c.meldung});
        EXPECT_TRUE(form->isVisible());
        const db::Recordset nachher = grunddaten();
        EXPECT_EQ(nachher.GetInt("Honorarzone"), 3);
        EXPECT_EQ(GetCY(nachher, "SatzUemin1"), C("50"));
        EXPECT_EQ(GetCY(nachher, "HonrarNetto"), honorar);
        form = std::make_unique<Grunddat>(*dbs.projekt, *dbs.stamm);
    }
}

TEST_F(GrunddatForm, CloseBoxStoresAndRecomputesLikeOk) {
    ASSERT_TRUE(open());
    form->show();
    text(1)->setText("4");
    text(2)->setText("25");
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(grunddaten().GetInt("Honorarzone"), 4);
    EXPECT_EQ(GetCY(grunddaten(), "SatzUemin1"), C("25"));

    // Esc acts as OK.
    test::FormFixture f;
    ASSERT_TRUE(f.open());
    f.form->show();
    f.text(1)->setText("2");
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(f.form.get(), &esc);
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.grunddaten().GetInt("Honorarzone"), 2);
}

TEST_F(GrunddatForm, TabChangeWithAnInvalidZoneStaysAndChecksOnce) {
    ASSERT_TRUE(open());
    tabs()->setCurrentIndex(1);
    text(1)->setText("9");
    markieren();
    tabs()->setCurrentIndex(2);
    EXPECT_EQ(tabs()->currentIndex(), 1);
    ASSERT_EQ(neue().size(), 1u);
    EXPECT_EQ(script.LastText(), "Die angegebene Honorarzone existiert nicht");
    EXPECT_EQ(form->focusWidget(), text(1));

    // Costs above the fee table: recomputed and reported, and the first attempt to leave stays as well.
    test::FormFixture f;
    ASSERT_TRUE(f.open());
    f.tabs()->setCurrentIndex(1);
    ASSERT_TRUE(f.kostenEingeben(0, "Eigenleistung", "900.000.000"));
    markieren();
    f.tabs()->setCurrentIndex(2);
    EXPECT_EQ(f.tabs()->currentIndex(), 1);
    ASSERT_EQ(neue().size(), 1u);
    EXPECT_TRUE(script.LastText().startsWith("Die anrechenbaren Kosten sind  größer als "));
    EXPECT_EQ(GetCY(f.grunddaten(), "SummAnreKostAB1"), C("900000000"));
    f.tabs()->setCurrentIndex(2);
    EXPECT_EQ(f.tabs()->currentIndex(), 2);
    EXPECT_EQ(neue().size(), 1u);

    // The phase tab runs no check, neither on leaving it nor on going to the inputs.
    f.tabs()->setCurrentIndex(4);
    f.text(1)->setText("9");
    markieren();
    f.tabs()->setCurrentIndex(0);
    EXPECT_EQ(f.tabs()->currentIndex(), 0);
    EXPECT_TRUE(neue().empty());
}

TEST_F(GrunddatForm, DisplayCurrencyShowsTheTwinFields) {
    markieren();
    ASSERT_TRUE(open(1, 1, 0, 0)); // DM calculation shown in euro: mode 2
    tabs()->setCurrentIndex(1);
    forms::BoundGridModel* m = kostenModel();
    EXPECT_FALSE(m->Columns()[m->ColumnOf("Eigenleistung")].visible);
    EXPECT_TRUE(m->Columns()[m->ColumnOf("AlDispEigenleistung")].visible);
    ASSERT_TRUE(kostenEingeben(0, "AlDispEigenleistung", "100"));
    db::Recordset k = dbs.projekt->OpenRecordset("SELECT * FROM AnrechenbareKosten");
    k.MoveFirst();
    EXPECT_EQ(GetCY(k, "Eigenleistung"), C("195.58"));
    EXPECT_EQ(GetCY(k, "AlDispEigenleistung"), DMEuroUmrechnung(C("195.58"), 1));
    const int spalte = kostenModel()->ColumnOf("AlDispEigenleistung");
    EXPECT_TRUE(kostenModel()->data(kostenModel()->index(0, spalte)).toString().endsWith("€"));
    EXPECT_TRUE(feld("NettoHonorar_4")->text().endsWith("€"));

    form->ToolClick("DM");
    EXPECT_TRUE(form->Bar().Checked("Band1", "DM"));
    EXPECT_FALSE(form->Bar().Checked("Band1", "EUR"));
    EXPECT_EQ(form->WaehrungsModusAktuell(), 1);
    m = kostenModel();
    EXPECT_TRUE(m->Columns()[m->ColumnOf("Eigenleistung")].visible);
    EXPECT_EQ(m->data(m->index(0, m->ColumnOf("Eigenleistung"))).toString(), "195,58\u00a0DM");
    EXPECT_TRUE(feld("NettoHonorar_4")->text().endsWith("DM"));

    // The tool of the currency shown changes nothing.
    form->ToolClick("DM");
    EXPECT_EQ(form->WaehrungsModusAktuell(), 1);
    EXPECT_TRUE(form->Bar().Checked("Band1", "DM"));
    form->ToolClick("EUR");
    EXPECT_EQ(form->WaehrungsModusAktuell(), 2);
    EXPECT_EQ(form->findChild<QLabel*>("SSDBGrid1Caption")->text(), "Berechnungswährung DM");
}

TEST_F(GrunddatForm, AmountTypedInTheDisplayCurrencySetsItsTwin) {
    // Typed in the main column the amount stays as typed; typed in the twin the main field gets cents and
    // the twin is converted back from them.
    struct Case {
        int16_t eingabe, anzeige;
        const char *e, *aE, *f, *aF;
    } cases[] = {{0, 0, "100.123", "51.1921", "100", "51.1292"},
                 {0, 1, "195.82", "100.1212", "195.58", "99.9985"},
                 {1, 0, "51.19", "100.1189", "51.13", "100.0016"},
                 {1, 1, "100.123", "195.8236", "100", "195.583"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.eingabe << c.anzeige);
        test::FormFixture f;
        f.dbs.stamm->Execute("UPDATE Leistungsbilder SET Integrationspl = -1");
        ASSERT_TRUE(f.open(1, c.anzeige, c.eingabe, 0));
        f.tabs()->setCurrentIndex(1);
        const bool zwilling = c.eingabe != c.anzeige;
        ASSERT_TRUE(f.kostenEingeben(0, zwilling ? "AlDispEigenleistung" : "Eigenleistung", "100,123"));
        ASSERT_TRUE(f.kostenEingeben(0, zwilling ? "AlDispFremdLeistung" : "FremdLeistung", "100"));
        db::Recordset k = f.dbs.projekt->OpenRecordset("SELECT * FROM AnrechenbareKosten");
        ASSERT_EQ(k.RecordCount(), 1);
        EXPECT_EQ(GetCY(k, "Eigenleistung"), C(c.e));
        EXPECT_EQ(GetCY(k, "AlDispEigenleistung"), C(c.aE));
        EXPECT_EQ(GetCY(k, "FremdLeistung"), C(c.f));
        EXPECT_EQ(GetCY(k, "AlDispFremdLeistung"), C(c.aF));
    }
}

TEST(GrunddatKostenSpalten, ColumnsByModeUnitAndCostsOfOthers) {
    struct Case {
        int16_t modus, einheit;
        bool fremd;
        std::array<bool, 4> sichtbar;
        const char* titel0;
        const char* einheitText;
    } cases[] = {
        {1, 1, true, {true, true, false, false}, "Kosten", "DM"},
        {2, 1, true, {false, false, true, true}, "Kosten", "€"},
        {3, 1, false, {false, false, true, false}, "Kosten", "DM"},
        {4, 1, false, {true, false, false, false}, "Kosten", "€"},
        {2, 2, true, {true, false, false, false}, "Fläche ha", "ha"},
        {3, 3, true, {true, false, false, false}, "Verr. Einheiten VE", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.modus << "/" << c.einheit);
        KostenSpalten s;
        ConfigGrid(c.modus, c.einheit, c.fremd, s);
        EXPECT_EQ(s.sichtbar, c.sichtbar);
        EXPECT_EQ(s.titel[0], c.titel0);
        EXPECT_EQ(s.einheit, c.einheitText);
    }
    EXPECT_EQ(WaehrungsModus(1, 0), 3);
}

TEST_F(GrunddatForm, PartialServiceEditLowersTheNetFeeByThatPhase) {
    // Phase 2 belongs to no section, so the grid's second row is phase 3.
    const int32_t v = vorlage(5, "1,0,1,1,1,1,1,1,1,0");
    ASSERT_TRUE(open());
    form->ToolClick(QString("PX%1").arg(v));
    gerechnet();
    const Currency netto = GetCY(grunddaten(), "HonrarNetto");
    const Currency phase3 = GetCY(grunddaten(), "TotalDMLP3");
    ASSERT_GT(phase3, Currency{});

    tabs()->setCurrentIndex(4);
    QTableWidget* g = phasen();
    ASSERT_EQ(g->rowCount(), 8);
    EXPECT_EQ(g->item(1, 0)->data(Qt::UserRole).toInt(), 3);
    g->item(1, 3)->setText("50");

    db::Recordset r = grunddaten();
    const Currency neu3 = GetCY(r, "TotalDMLP3");
    EXPECT_EQ(GetCY(r, "TeilleistPro3"), C("50"));
    EXPECT_EQ(GetCY(r, "TotalDMLP2"), Currency{});
    EXPECT_LT(neu3, phase3);
    EXPECT_EQ(GetCY(r, "HonrarNetto"), netto - (phase3 - neu3));
    EXPECT_EQ(GetCY(leistungsbild(), "proz03"), C("15"));
    EXPECT_EQ(g->item(1, 4)->text().toStdString(), FormatBetrag(neu3, DM));

    // A partial service is a share of the phase: 0 to 100 %.
    for (const char* falsch : {"120", "-1", "100,01"}) {
        markieren();
        g->item(1, 3)->setText(falsch);
        EXPECT_EQ(neue(), std::vector<QString>{"Die Eingabe muss zwischen 0 und 100 liegen."}) << falsch;
        EXPECT_EQ(GetCY(grunddaten(), "TeilleistPro3"), C("50"));
        EXPECT_EQ(GetCY(grunddaten(), "TotalDMLP3"), neu3);
        EXPECT_EQ(g->item(1, 3)->text(), "50,00");
    }

    markieren();
    g->item(1, 1)->setText("viel");
    EXPECT_EQ(script.LastText(), "Die Eingabe muss nummerisch sein");
    EXPECT_EQ(GetCY(leistungsbild(), "proz03"), C("15"));
    EXPECT_EQ(g->item(1, 1)->text(), "15,00");

    // A phase listed with a number that is no cost section keeps what is stored, and shows it.
    dbs.projekt->Execute("UPDATE Leistungsbild SET KoZU04 = 4");
    ASSERT_TRUE(form->Calc().ConectLeistungsbild(static_cast<int32_t>(leistungsbild().GetInt("LfNr"))));
    form->fillLeistungsbildGrid();
    const db::Value teil4 = grunddaten().Get("TeilleistPro4");
    ASSERT_EQ(g->item(2, 0)->data(Qt::UserRole).toInt(), 4);
    g->item(2, 3)->setText("10");
    EXPECT_EQ(g->item(2, 3)->text(), "100,00");
    EXPECT_EQ(grunddaten().Get("TeilleistPro4"), teil4);
}

TEST_F(GrunddatForm, PlantGroupsSwitchRowsAndProfiles) {
    markieren();
    ASSERT_TRUE(open());
    form->ToolClick(QString("PX%1").arg(test::TechnischeAusruestung));
    auto* frame = form->findChild<QGroupBox*>("Frame1");
    EXPECT_FALSE(frame->isHidden());
    text(5)->setText("Lüftung");
    form->findChild<QRadioButton*>("Option1_1")->click();
    EXPECT_EQ(form->AnlageGruppe(), 2);
    EXPECT_EQ(grunddaten(1).GetText("AnlageGrBez"), "Lüftung");
    db::Recordset g2 = grunddaten(2);
    ASSERT_EQ(g2.RecordCount(), 1);
    EXPECT_EQ(leistungsbild(2).GetInt("LeistungsbildLFNR"), test::TechnischeAusruestung);
    EXPECT_FALSE(text(0)->isEnabled());
    EXPECT_FALSE(form->Bar().Enabled("Band1", "LPHBTN"));

    // Templates are chosen in plant group 1 only.
    form->ToolClick(QString("PX%1").arg(test::Gebaeude));
    EXPECT_EQ(leistungsbild(2).GetInt("LeistungsbildLFNR"), test::TechnischeAusruestung);

    const int64_t lb1 = leistungsbild(1).GetInt("LfNr");
    form->findChild<QRadioButton*>("Option1_0")->click();
    EXPECT_EQ(form->AnlageGruppe(), 1);
    EXPECT_EQ(text(5)->text(), "Lüftung");
    EXPECT_EQ(leistungsbild(1).GetInt("LfNr"), lb1);
    EXPECT_EQ(count("SELECT Count(*) FROM Grunddaten"), 2);
    EXPECT_TRUE(neue().empty()) << script.LastText().toStdString();

    // A group switch that fails the input check keeps the group shown, with the focus on the zone.
    form->show();
    text(1)->setText("0");
    form->findChild<QRadioButton*>("Option1_2")->click();
    EXPECT_EQ(form->AnlageGruppe(), 1);
    EXPECT_TRUE(form->findChild<QRadioButton*>("Option1_0")->isChecked());
    EXPECT_EQ(script.LastText(), "Die Honorarzone muß größer 0 sein");
    EXPECT_EQ(form->focusWidget(), text(1));
    EXPECT_EQ(grunddaten(3).RecordCount(), 0);
}

TEST_F(GrunddatForm, OkStoppedByTheStoredRateOfAnotherGroupShowsThatGroup) {
    ASSERT_TRUE(open());
    form->ToolClick(QString("PX%1").arg(test::TechnischeAusruestung));
    form->findChild<QRadioButton*>("Option1_1")->click();
    ASSERT_EQ(form->AnlageGruppe(), 2);
    dbs.projekt->Execute("UPDATE Grunddaten SET SatzUemin1 = ? WHERE AnlageGruppe = 1",
                         db::Params().Add(C("120").Raw()));
    form->show();
    markieren();
    form->ToolClick("OK");
    EXPECT_EQ(neue(), std::vector<QString>{"Satz über Minimum kann nicht größer 100 sein"});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->AnlageGruppe(), 1);
    EXPECT_TRUE(form->findChild<QRadioButton*>("Option1_0")->isChecked());
    EXPECT_EQ(text(2)->text(), "120,00");
    EXPECT_EQ(form->focusWidget(), text(2));

    // Corrected there, OK closes.
    text(2)->setText("20");
    form->ToolClick("OK");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(GetCY(grunddaten(1), "SatzUemin1"), C("20"));
}

TEST_F(GrunddatForm, TemplateMenuChecksOnlyTheTemplateOfTheGroupShown) {
    dbs.stamm->Execute("UPDATE Leistungsbilder SET Anlagegruppen = -1");
    ASSERT_TRUE(open());
    form->findChild<QRadioButton*>("Option1_1")->click(); // group 2 under Gebäude
    ASSERT_EQ(form->AnlageGruppe(), 2);
    form->findChild<QRadioButton*>("Option1_0")->click();
    form->ToolClick("PX3"); // group 1 under Freianlagen
    auto geprueft = [&] {
        std::vector<QString> t;
        for (QAction* a : form->Bar().Popup("Leistungsphasen")->actions())
            if (a->isChecked()) t.push_back(a->text());
        return t;
    };
    const QString freianlagen = form->Bar().Caption("Leistungsphasen", "PX3");
    const QString gebaeude = form->Bar().Caption("Leistungsphasen", QString("PX%1").arg(test::Gebaeude));
    EXPECT_EQ(geprueft(), std::vector<QString>{freianlagen});
    form->findChild<QRadioButton*>("Option1_1")->click();
    ASSERT_EQ(form->AnlageGruppe(), 2);
    EXPECT_EQ(geprueft(), std::vector<QString>{gebaeude});
    form->findChild<QRadioButton*>("Option1_0")->click();
    EXPECT_EQ(geprueft(), std::vector<QString>{freianlagen});
}

TEST_F(GrunddatForm, ZoneAboveTheNewTableIsLoweredOnce) {
    const int32_t vier = vorlage(4);
    ASSERT_TRUE(open());
    text(1)->setText("3");
    form->ToolClick("OK");
    {
        markieren();
        form->ToolClick(QString("PX%1").arg(vier));
        EXPECT_TRUE(neue().empty());
        EXPECT_EQ(text(1)->text(), "3");
    }
    form->ToolClick(QString("PX%1").arg(test::Gebaeude));
    text(1)->setText("5");
    markieren();
    form->ToolClick(QString("PX%1").arg(vier));
    ASSERT_EQ(neue().size(), 1u);
    EXPECT_EQ(script.LastText(), "Die angegebene Honorarzone existiert nicht\rZone wurde angepasst");
    EXPECT_EQ(text(1)->text(), "4");
    EXPECT_EQ(grunddaten().GetInt("Honorarzone"), 4);
}

TEST_F(GrunddatForm, PhaseEditGivesTheSameFieldsAsTheFullRunOnOk) {
    gerechnet();
    ASSERT_TRUE(open());
    // A surcharge with three decimals, as the surcharge list sums it up.
    dbs.projekt->Execute("UPDATE Grunddaten SET SummZu3 = ?", db::Params().Add(C("2.125").Raw()));
    ASSERT_TRUE(form->Calc().OpenGrunddaten());
    tabs()->setCurrentIndex(4);
    phasen()->item(2, 3)->setText("50");
    ASSERT_EQ(GetCY(grunddaten(), "TeilleistPro3"), C("50"));

    std::vector<std::string> felder = {"HonrarNetto", "SummZuNettoProDM", "HonorarBerNetto",
                                       "SumGrundHonorar"};
    for (int k = 1; k <= 3; ++k)
        felder.push_back("HonrarNettoAB" + std::to_string(k));
    for (int i = 1; i <= 9; ++i)
        for (const char* f : {"GrundLDM", "VollZuschlagant", "TeilleistDM", "ZuDM", "TotalDMLP"})
            felder.push_back(f + std::to_string(i));
    auto stand = [&] {
        std::map<std::string, Currency> m;
        db::Recordset r = grunddaten();
        for (const std::string& f : felder)
            for (const char* prefix : {"", "AlDisp"})
                m[prefix + f] = GetCY(r, prefix + f);
        return m;
    };
    const auto nachEingabe = stand();
    ASSERT_GT(nachEingabe.at("VollZuschlagant3"), Currency{});
    form->ToolClick("OK");
    const auto nachOk = stand();
    for (const auto& [feld, wert] : nachOk)
        EXPECT_EQ(nachEingabe.at(feld), wert) << feld;
}

TEST_F(GrunddatForm, TemplateInForceChangesNothingAnotherIsMarkedLastUsed) {
    ASSERT_TRUE(open());
    const int64_t lb = leistungsbild().GetInt("LfNr");
    form->ToolClick(QString("PX%1").arg(test::Gebaeude));
    EXPECT_EQ(leistungsbild().GetInt("LfNr"), lb);
    EXPECT_TRUE(form->Bar().Checked("Leistungsphasen", QString("PX%1").arg(test::Gebaeude)));

    form->ToolClick("PX3");
    db::Recordset p = leistungsbild();
    ASSERT_EQ(p.RecordCount(), 1);
    EXPECT_NE(p.GetInt("LfNr"), lb);
    EXPECT_EQ(p.GetInt("LeistungsbildLFNR"), 3);
    EXPECT_EQ(grunddaten().GetInt("ZuordnungLBTabelle"), p.GetInt("LfNr"));
    EXPECT_FALSE(form->Bar().Checked("Leistungsphasen", QString("PX%1").arg(test::Gebaeude)));
    EXPECT_TRUE(form->Bar().Checked("Leistungsphasen", "PX3"));
    db::Recordset last = dbs.stamm->OpenRecordset("SELECT LfNr FROM Leistungsbilder WHERE LastUsed <> 0");
    ASSERT_EQ(last.RecordCount(), 1);
    EXPECT_EQ(last.GetInt("LfNr"), 3);
}

TEST_F(GrunddatForm, TemplateWithoutFeeTableLeavesNothingWithoutAProfile) {
    const int32_t ohne = vorlage(5, "1,1,1,1,1,1,1,1,1,0", false);
    {
        // A new calculation whose standard template has no fee table: no rows are left behind.
        markieren();
        test::FormFixture f;
        f.dbs.stamm->Execute("DELETE FROM TafelVerzeichnis WHERE LfNr = 1");
        EXPECT_FALSE(f.open());
        EXPECT_EQ(script.LastText(), "Es wurde keine entsprechende HOAI-Tafel gefunden");
        EXPECT_EQ(f.count("SELECT Count(*) FROM Grunddaten"), 0);
        EXPECT_EQ(f.count("SELECT Count(*) FROM Leistungsbild"), 0);
    }
    {
        // No template at all.
        markieren();
        test::FormFixture f;
        f.dbs.stamm->Execute("DELETE FROM Leistungsbilder");
        EXPECT_FALSE(f.open());
        EXPECT_EQ(neue(), std::vector<QString>{"Es fehlt das Leistungsbild"});
        EXPECT_EQ(f.count("SELECT Count(*) FROM Grunddaten"), 0);
    }
    // A switch: the profile in force stays.
    ASSERT_TRUE(open(2));
    const int64_t lb = leistungsbild(1, 2).GetInt("LfNr");
    markieren();
    form->ToolClick(QString("PX%1").arg(ohne));
    EXPECT_EQ(script.LastText(), "Es wurde keine entsprechende HOAI-Tafel gefunden");
    EXPECT_EQ(leistungsbild(1, 2).GetInt("LfNr"), lb);
    EXPECT_TRUE(form->Bar().Checked("Leistungsphasen", QString("PX%1").arg(ohne)) == false);
}

TEST_F(GrunddatForm, CostPlanImportAndEmptyLines) {
    ASSERT_TRUE(open());
    tabs()->setCurrentIndex(2 - 1);
    EXPECT_TRUE(form->Bar().Enabled("Band1", "KTNP"));
    const int64_t plan = [&] {
        db::Recordset r = dbs.stamm->OpenRecordset("SELECT Count(*) AS n FROM KONTENPL WHERE LfNrVerz = 1");
        r.MoveFirst();
        return r.GetInt("n");
    }();
    ASSERT_GT(plan, 0);
    form->ToolClick("KX1");
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten WHERE Phase = 1 AND LfNrBeReList = 1"), plan);
    EXPECT_EQ(kostenModel()->StoredRows(), plan);
    EXPECT_FALSE(form->Bar().Enabled("Band1", "KTNP"));
    // A section that has lines takes no second plan.
    form->ToolClick("KX1");
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten"), plan);
    EXPECT_EQ(kostenModel()->StoredRows(), plan);
    ASSERT_TRUE(kostenEingeben(0, "Eigenleistung", "1000"));
    form->ToolClick("DEL0");
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten"), 1);
    // One line is left, so no plan can be imported.
    EXPECT_FALSE(form->Bar().Enabled("Band1", "KTNP"));
    form->ToolClick("KX1");
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten"), 1);

    // "DEL" asks once with No as the default; Yes deletes the marked line.
    ASSERT_TRUE(kostenEingeben(1, "Eigenleistung", "500"));
    kosten()->selectRow(0);
    markieren();
    form->ToolClick("DEL");
    ASSERT_EQ(neue(), std::vector<QString>{"Soll diese Zeile gelöscht werden"});
    EXPECT_EQ(script.Shown().back().defaultButton, 1);
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten"), 2);
    script.Answer(forms::MsgResult::Yes);
    kosten()->selectRow(0);
    form->ToolClick("DEL");
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten"), 1);
    EXPECT_EQ(kostenModel()->StoredRows(), 1);
    // Once the section is empty again, "DEL0" offers the import again and a plan goes in once.
    kosten()->selectRow(0);
    script.Answer(forms::MsgResult::Yes);
    form->ToolClick("DEL");
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten"), 0);
    form->ToolClick("DEL0");
    EXPECT_TRUE(form->Bar().Enabled("Band1", "KTNP"));
    form->ToolClick("KX1");
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten"), plan);
}

TEST_F(GrunddatForm, PointsAreDiscardedOnlyWhenTheFeeTableChanges) {
    ASSERT_TRUE(open());
    for (int gruppe : {1, 2})
        dbs.projekt->Execute(
            "INSERT INTO PunkteTab (LfNrBeReList, ZuordnungAnlGrp, VergebenePunkte) VALUES (1, ?, 5)",
            db::Params().Add(int64_t{gruppe}));
    form->SetZoneAusPunktekat(true);
    text(1)->setText("3");
    form->ToolClick("PX2"); // Innenräume: the same fee table as Gebäude
    EXPECT_TRUE(form->ZoneAusPunktekat());
    EXPECT_NE(grunddaten().GetInt("PunktekatUsed"), 0);
    EXPECT_EQ(count("SELECT Count(*) FROM PunkteTab"), 2);

    form->ToolClick("PX3"); // Freianlagen: another table
    EXPECT_FALSE(form->ZoneAusPunktekat());
    EXPECT_FALSE(text(1)->isReadOnly());
    EXPECT_EQ(grunddaten().GetInt("PunktekatUsed"), 0);
    EXPECT_EQ(count("SELECT Count(*) FROM PunkteTab WHERE ZuordnungAnlGrp = 1"), 0);
    EXPECT_EQ(count("SELECT Count(*) FROM PunkteTab WHERE ZuordnungAnlGrp = 2"), 1);
}

TEST_F(GrunddatForm, EuroCalculationShownInDmShowsTheTwinsInThePhaseGrid) {
    ASSERT_TRUE(open(1, 0, 1, 0)); // mode 3
    EXPECT_EQ(form->WaehrungsModusAktuell(), 3);
    EXPECT_EQ(form->findChild<QLabel*>("SSDBGrid2Caption")->text(), "Berechnungswährung €");
    tabs()->setCurrentIndex(1);
    ASSERT_TRUE(kostenEingeben(0, "AlDispEigenleistung", "1.000.000"));
    tabs()->setCurrentIndex(4);
    db::Recordset g = grunddaten();
    ASSERT_GT(GetCY(g, "AlDispTotalDMLP5"), Currency{});
    EXPECT_EQ(phasen()->item(4, 4)->text().toStdString(),
              FormatBetrag(RundCY(GetCY(g, "AlDispTotalDMLP5")), DM));
    EXPECT_EQ(GetCY(g, "SummAnreKostAB1"), RundCY(DMEuroUmrechnung(C("1000000"), 1)));
}

TEST_F(GrunddatForm, ACheckThatFailsStoresNothingAndKeepsTheInput) {
    gerechnet();
    ASSERT_TRUE(open());
    auto stand = [&] {
        db::Recordset r = grunddaten();
        std::vector<Currency> v;
        for (const char* f :
             {"SatzUemin1", "SummAnreKostAB1", "GrHonorarAb1", "HonrarNetto", "AlDispHonrarNetto"})
            v.push_back(GetCY(r, f));
        return v;
    };
    const auto vorher = stand();
    // The fee pass cannot store its fees: the inputs and costs written before it go back with it.
    dbs.projekt->Execute(
        "CREATE TRIGGER kaputt BEFORE UPDATE OF HonrarNetto ON Grunddaten "
        "WHEN NEW.HonrarNetto IS NOT OLD.HonrarNetto BEGIN SELECT RAISE(ABORT, 'Schreibfehler'); END");
    form->show();
    tabs()->setCurrentIndex(1);
    ASSERT_TRUE(kostenEingeben(1, "Eigenleistung", "100.000,00"));
    tabs()->setCurrentIndex(0);
    text(2)->setText("60");
    markieren();
    form->ToolClick("OK");
    ASSERT_EQ(neue().size(), 1u);
    EXPECT_NE(neue().front().indexOf("Schreibfehler"), -1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(stand(), vorher);
    EXPECT_EQ(text(2)->text(), "60");
    EXPECT_TRUE(form->Calc().InputsChanged());

    dbs.projekt->Execute("DROP TRIGGER kaputt");
    form->ToolClick("OK");
    EXPECT_FALSE(form->isVisible());
    const auto nachher = stand();
    EXPECT_EQ(nachher[0], C("60"));
    EXPECT_EQ(nachher[1], C("600000"));
    EXPECT_GT(nachher[3], vorher[3]);
}

TEST_F(GrunddatForm, DataHeldByAnotherUserIsReportedInGermanAndTheFormKeepsItsInput) {
    gerechnet();
    ASSERT_TRUE(open());
    auto anderer = db::Database::Open(dbs.projekt->Path());
    ASSERT_TRUE(anderer);
    sqlite3_busy_timeout(dbs.projekt->Handle(), 50);
    const QString belegt =
        "Die Daten werden gerade von einem anderen Benutzer geändert. Bitte versuchen Sie es noch einmal.";
    form->show();
    {
        db::Transaction halten(*anderer);
        text(1)->setText("4");
        markieren();
        form->ToolClick("OK");
        EXPECT_EQ(neue(), std::vector<QString>{belegt});
        EXPECT_TRUE(form->isVisible());
        // The close box does not drop what was typed either.
        form->close();
        EXPECT_EQ(script.LastText(), belegt);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(text(1)->text(), "4");
        EXPECT_EQ(grunddaten().GetInt("Honorarzone"), 3);
    }
    form->ToolClick("OK");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(grunddaten().GetInt("Honorarzone"), 4);
}

TEST_F(GrunddatForm, MarkedCostLinesAreDeletedTogetherOrNotAtAll) {
    ASSERT_TRUE(open());
    tabs()->setCurrentIndex(1);
    ASSERT_TRUE(kostenEingeben(0, "Eigenleistung", "100000"));
    ASSERT_TRUE(kostenEingeben(1, "Eigenleistung", "50000"));
    // The second deletion fails (the lines go from the bottom up).
    dbs.projekt->Execute(
        "CREATE TRIGGER kaputt BEFORE DELETE ON AnrechenbareKosten WHEN OLD.Eigenleistung = " +
        std::to_string(C("100000").Raw()) + " BEGIN SELECT RAISE(ABORT, 'Schreibfehler'); END");
    kosten()->selectAll();
    script.Answer(forms::MsgResult::Yes);
    markieren();
    form->ToolClick("DEL");
    ASSERT_EQ(neue().size(), 2u);
    EXPECT_EQ(neue()[0], "Soll diese Zeile gelöscht werden");
    EXPECT_NE(neue()[1].indexOf("Schreibfehler"), -1);
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten"), 2);
    EXPECT_EQ(kostenModel()->StoredRows(), 2);

    dbs.projekt->Execute("DROP TRIGGER kaputt");
    kosten()->selectAll();
    script.Answer(forms::MsgResult::Yes);
    form->ToolClick("DEL");
    EXPECT_EQ(count("SELECT Count(*) FROM AnrechenbareKosten"), 0);
    EXPECT_EQ(kostenModel()->StoredRows(), 0);
}

TEST_F(GrunddatForm, TheLastUsedMarkMovesAsOne) {
    ASSERT_TRUE(open());
    form->ToolClick("PX3");
    // Marking the new template fails after the old mark was cleared.
    dbs.stamm->Execute("CREATE TRIGGER kaputt BEFORE UPDATE OF LastUsed ON Leistungsbilder "
                       "WHEN NEW.LastUsed <> 0 BEGIN SELECT RAISE(ABORT, 'Schreibfehler'); END");
    form->ToolClick(QString("PX%1").arg(test::Gebaeude));
    db::Recordset last = dbs.stamm->OpenRecordset("SELECT LfNr FROM Leistungsbilder WHERE LastUsed <> 0");
    ASSERT_EQ(last.RecordCount(), 1);
    EXPECT_EQ(last.GetInt("LfNr"), 3);
}

TEST(GrunddatPhasenEnter, EnterAfterARefusedValueKeepsTheOldValueAndTheCursorInTheGrid) {
    // Real message boxes: the refusal runs its own event loop while the cell editor is being committed.
    test::FormFixture f;
    ASSERT_TRUE(f.open());
    {
        MessageBoxScript still;
        f.tabs()->setCurrentIndex(1);
        ASSERT_TRUE(f.kostenEingeben(0, "Eigenleistung", "500.000,00"));
        f.tabs()->setCurrentIndex(0);
        f.text(1)->setText("3");
        f.text(2)->setText("50");
        f.form->ToolClick("OK");
    }
    f.form->show();
    f.tabs()->setCurrentIndex(4);
    QTableWidget* g = f.phasen();
    ASSERT_GE(g->rowCount(), 3);
    const int letzte = g->rowCount() - 1;
    // The surcharge column is read only and says where surcharges are entered.
    for (int r = 0; r <= letzte; ++r) {
        EXPECT_FALSE(g->item(r, 2)->flags() & Qt::ItemIsEditable);
        EXPECT_TRUE(g->item(r, 2)->toolTip().contains("„Zuschläge“"));
    }
    EXPECT_EQ(g->horizontalHeaderItem(2)->toolTip(), g->item(0, 2)->toolTip());
    const QString zwischen = "Die Eingabe muss zwischen 0 und 100 liegen.";
    struct Case {
        int row, column;
        const char* text;
        std::vector<QString> meldungen;
        const char* proz02; // stored share of phase 2
        const char* teil2;  // stored partial service of phase 2
        int cursorRow;      // where Enter leaves the cursor
    } cases[] = {
        {1, 3, "150", {zwischen}, "7", "100", 1},
        {1, 1, "150", {zwischen}, "7", "100", 1},
        {1, 1, "-0,5", {zwischen}, "7", "100", 1},
        {1, 3, "2x", {"Die Eingabe muss nummerisch sein"}, "7", "100", 1},
        // Accepted values are stored and Enter moves one row down, from the last row nowhere.
        {1, 3, "80", {}, "7", "80", 2},
        {1, 1, "100", {}, "100", "80", 2},
        {letzte, 3, "150", {zwischen}, "100", "80", letzte},
        {letzte, 3, "90", {}, "100", "80", letzte},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "/" << c.column << " " << c.text);
        const QString vorher = g->item(c.row, c.column)->text();
        const std::vector<QString> gezeigt =
            eingabe::MitEnterEingeben(*g, g->model()->index(c.row, c.column), c.text);
        EXPECT_EQ(gezeigt, c.meldungen);
        ASSERT_TRUE(g->isVisible());
        EXPECT_EQ(g->currentRow(), c.cursorRow);
        EXPECT_EQ(g->currentColumn(), c.column);
        EXPECT_EQ(eingabe::ZellEditor(*g), nullptr);
        EXPECT_EQ(f.form->focusWidget(), g);
        if (!c.meldungen.empty()) {
            EXPECT_EQ(g->item(c.row, c.column)->text(), vorher);
        }
        EXPECT_EQ(GetCY(f.leistungsbild(), "proz02"), C(c.proz02));
        EXPECT_EQ(GetCY(f.grunddaten(), "TeilleistPro2", Currency::FromUnits(100)), C(c.teil2));
    }
    f.form->hide();
}

TEST_F(GrunddatForm, CostGridStoresNoLineNothingWasTypedIntoAndShowsLargeAmountsWhole) {
    ASSERT_TRUE(open());
    form->resize(1200, 800);
    form->show();
    tabs()->setCurrentIndex(1);
    ASSERT_TRUE(kostenEingeben(0, "Eigenleistung", "30.000.000,00"));
    forms::BoundGridView* g = kosten();
    forms::BoundGridModel* m = kostenModel();
    ASSERT_EQ(m->StoredRows(), 1);
    const std::string zaehlen = "SELECT Count(*) FROM AnrechenbareKosten";
    const int64_t vorher = count(zaehlen);

    // Tab through every cell of the new-row line and past its last one, then a click on the stored line.
    for (int spalte = 0; spalte < m->columnCount(); ++spalte) {
        if (g->isColumnHidden(spalte) || !(m->flags(m->index(1, spalte)) & Qt::ItemIsEditable)) continue;
        g->setCurrentIndex(m->index(1, spalte));
        g->edit(m->index(1, spalte));
        g->CommitEditor();
    }
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(g, &tab);
    g->setCurrentIndex(m->index(0, 1));
    EXPECT_EQ(count(zaehlen), vorher);
    EXPECT_EQ(m->StoredRows(), 1);
    EXPECT_TRUE(script.Shown().empty());

    const int spalte = m->ColumnOf("Eigenleistung");
    const QString betrag = m->data(m->index(0, spalte)).toString();
    EXPECT_TRUE(betrag.startsWith("30.000.000,00")) << betrag.toStdString();
    EXPECT_GT(g->columnWidth(spalte), QFontMetrics(g->font()).horizontalAdvance(betrag));
    EXPECT_FALSE(g->wordWrap());
    form->hide();
}

TEST(GrunddatKostenEnter, EnterAfterARefusedAmountKeepsTheOldValueAndTheCursorInTheGrid) {
    test::FormFixture f;
    ASSERT_TRUE(f.open());
    f.form->show();
    f.tabs()->setCurrentIndex(1);
    {
        MessageBoxScript still;
        ASSERT_TRUE(f.kostenEingeben(0, "Eigenleistung", "500.000,00"));
    }
    forms::BoundGridView* g = f.kosten();
    forms::BoundGridModel* m = f.kostenModel();
    const int spalte = m->ColumnOf("Eigenleistung");
    struct Case {
        int row;
        const char* text;
        bool refused;
    } cases[] = {{0, "5x", true}, {1, "viel", true}, {0, "600.000", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QModelIndex zelle = m->index(c.row, spalte);
        const QString vorher = m->data(zelle).toString();
        const std::vector<QString> gezeigt = eingabe::MitEnterEingeben(*g, zelle, c.text);
        ASSERT_EQ(gezeigt.size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_TRUE(gezeigt[0].startsWith("Die Eingabe muss nummerisch sein"))
                << gezeigt[0].toStdString();
            EXPECT_EQ(m->data(zelle).toString(), vorher);
        }
        EXPECT_EQ(g->currentIndex(), zelle);
        EXPECT_EQ(f.form->focusWidget(), g);
        ASSERT_TRUE(g->Commit());
    }
    EXPECT_EQ(f.count("SELECT Count(*) FROM AnrechenbareKosten"), 1);
    EXPECT_EQ(
        GetCY(f.dbs.projekt->OpenRecordset("SELECT Eigenleistung FROM AnrechenbareKosten"), "Eigenleistung"),
        C("600000"));
    f.form->hide();
}

// The fee at the foot follows the costs as they are typed on the costs tab, and keeps its value on every tab.
TEST_F(GrunddatForm, FeeFootFollowsTheCostsOnTheCostsTab) {
    ASSERT_TRUE(open(1, 0, 0, 0));
    text(1)->setText("3");
    text(2)->setText("50");
    tabs()->setCurrentIndex(1);
    const QString null = QString::fromStdString(FormatBetrag(Currency(), DM));
    ASSERT_TRUE(kostenEingeben(0, "Eigenleistung", "500.000,00"));
    const QString netto = feld("NettoHonorar_4")->text();
    EXPECT_NE(netto, null);
    EXPECT_EQ(netto.toStdString(), FormatBetrag(GetCY(grunddaten(), "HonrarNetto"), DM));
    for (int tab : {0, 4, 1, 2, 0}) {
        tabs()->setCurrentIndex(tab);
        EXPECT_EQ(feld("NettoHonorar_4")->text(), netto) << tab;
    }
}
