#include "FeeTestSupport.h"
#include "GrunddatTestSupport.h"

#include "core/MoneyFormat.h"
#include "fee/Pauschal.h"
#include "fee/PunkteKat.h"
#include "fee/Zuschlaege.h"
#include "platform/forms/MessageBox.h"

#include <QLabel>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

using namespace velu;
using namespace velu::fee;
using velu::fee::test::C;
using velu::forms::MessageBoxScript;

namespace {

struct GrunddatAufrufe : ::testing::Test, test::FormFixture {
    MessageBoxScript script;
    test::ModalerDialog modal;

    GrunddatAufrufe() { test::FensterPositionenImTestordner(); }

    // Invoice in DM, 500 000 DM own costs in section 1, zone 3, rate 50, recomputed.
    void gerechnet() {
        ASSERT_TRUE(open());
        tabs()->setCurrentIndex(1);
        ASSERT_TRUE(kostenEingeben(0, "Eigenleistung", "500.000,00"));
        tabs()->setCurrentIndex(0);
        text(1)->setText("3");
        text(2)->setText("50");
        form->ToolClick("OK");
    }
    int64_t punkteZeilen() const { return count("SELECT Count(*) FROM PunkteTab WHERE LfNrBeReList = 1"); }
};

TEST_F(GrunddatAufrufe, LumpSumOfTheOneSectionGoesIntoAllThreeOnlyOnOk) {
    struct Case {
        const char* tool;
        bool gespeichert;
    } cases[] = {{"OK", true}, {"EXIT", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        test::FormFixture f;
        test::ModalerDialog m;
        ASSERT_TRUE(f.open());
        f.tabs()->setCurrentIndex(1);
        ASSERT_TRUE(f.kostenEingeben(0, "Eigenleistung", "500.000,00"));
        f.tabs()->setCurrentIndex(4);
        f.form->ToolClick("OK");
        const Currency netto = GetCY(f.grunddaten(), "HonrarNetto");
        ASSERT_NE(netto, C("20000"));

        m.Naechster<Pauschal>([&](Pauschal& d) {
            EXPECT_EQ(d.findChild<QLabel*>("Label2_0")->text(), "Pauschalhonorar Kosten Lp 1 - 9");
            EXPECT_TRUE(d.findChild<QLineEdit*>("XtraText2_1")->isHidden());
            d.findChild<QLineEdit*>("XtraText2_0")->setText("20.000");
            d.ActiveBar().Click(c.tool);
        });
        f.form->ToolClick("PSCH");
        ASSERT_EQ(m.Gesehen(), 1);
        EXPECT_FALSE(
            test::FensterPositionenImTestordner().GetSetting("WindowPos Pauschal", "Width").isEmpty());

        db::Recordset g = f.grunddaten();
        const Currency pausch = c.gespeichert ? C("20000") : Currency{};
        const Currency twin = c.gespeichert ? DMEuroUmrechnung(C("20000"), 1) : Currency{};
        for (int k = 1; k <= 3; ++k) {
            EXPECT_EQ(GetCY(g, "PHonorarAB" + std::to_string(k)), pausch) << k;
            EXPECT_EQ(GetCY(g, "AlDispPHonorarAB" + std::to_string(k)), twin) << k;
        }
        // The phases of the one section add up to 100 %, so the net fee is the lump sum itself.
        const Currency neu = GetCY(g, "HonrarNetto");
        EXPECT_EQ(neu, c.gespeichert ? C("20000") : netto);
        if (c.gespeichert) {
            const Currency twinNetto = GetCY(g, "AlDispHonrarNetto");
            EXPECT_TRUE(twinNetto >= twin - C("0.05") && twinNetto <= twin + C("0.05"));
            EXPECT_EQ(f.feld("NettoHonorar_4")->text().toStdString(), FormatBetrag(C("20000"), DM));
            EXPECT_EQ(f.phasen()->item(4, 4)->text().toStdString(), FormatBetrag(C("5000"), DM));
        }
    }
}

TEST_F(GrunddatAufrufe, ProfileWithoutCatalogueShowsNoDialog) {
    ASSERT_TRUE(open());
    form->ToolClick("PX3"); // Freianlagen: no points catalogue
    modal.Naechster<PunkteKat>([](PunkteKat& d) { d.reject(); });
    form->ToolClick("PUNKTEKAT");
    QApplication::processEvents();
    EXPECT_EQ(modal.Gesehen(), 0);
    ASSERT_FALSE(script.Shown().empty());
    EXPECT_EQ(script.LastText(), "Ein Punktekatalog ist nicht verfügbar");
    EXPECT_EQ(script.Shown().back().icon, forms::MsgIcon::Critical);
    EXPECT_EQ(punkteZeilen(), 0);
}

TEST_F(GrunddatAufrufe, PointsSetTheZoneOrLeaveTheTypedOne) {
    struct Case {
        const char* name;
        const char* stamm;              // change of the delivered catalogue, or nullptr
        std::array<const char*, 3> pkt; // points of the first three criteria
        const char* zone;               // zone field afterwards
        bool gesperrt;
        int64_t zeilen; // points rows left
    } cases[] = {
        {"zone III", nullptr, {"6", "5", "8"}, "3", true, 6},
        {"nothing awarded", nullptr, {"0", "0", "0"}, "4", false, 0},
        // 19 points lie in no range: the points and the typed zone stay.
        {"no range", "UPDATE PunkteVerzeichnis SET Hzone3VonPunkt = 20", {"6", "5", "8"}, "4", false, 6},
        {"no zone bounds", "DELETE FROM PunkteVerzeichnis", {"6", "5", "8"}, "4", false, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FormFixture f;
        test::ModalerDialog m;
        if (c.stamm) f.dbs.stamm->Execute(c.stamm);
        ASSERT_TRUE(f.open());
        f.text(1)->setText("4");
        f.form->SetZoneAusPunktekat(!c.gesperrt); // the call is to change the lock either way

        m.Naechster<PunkteKat>([&](PunkteKat& d) {
            forms::BoundGridModel& g = *d.Model();
            ASSERT_EQ(g.rowCount(), 6);
            for (int r = 0; r < 3; ++r)
                ASSERT_TRUE(g.setData(g.index(r, 2), c.pkt[static_cast<size_t>(r)], Qt::EditRole));
            d.Toolband().Click("OK");
        });
        f.form->ToolClick("PUNKTEKAT");
        ASSERT_EQ(m.Gesehen(), 1);

        EXPECT_EQ(f.text(1)->text(), c.zone);
        EXPECT_EQ(f.form->ZoneAusPunktekat(), c.gesperrt);
        EXPECT_EQ(f.text(1)->isReadOnly(), c.gesperrt);
        EXPECT_EQ(f.form->findChild<QWidget*>("UpDown1")->isEnabled(), !c.gesperrt);
        EXPECT_EQ(f.grunddaten().GetBool("PunktekatUsed"), c.gesperrt);
        EXPECT_EQ(f.count("SELECT Count(*) FROM PunkteTab WHERE LfNrBeReList = 1"), c.zeilen);
        // The next check stores the zone shown.
        f.form->ToolClick("OK");
        EXPECT_EQ(QString::number(f.grunddaten().GetInt("Honorarzone")), c.zone);
    }
}

// Leaving the catalogue without points, by Esc or by the close box, changes neither the zone nor the fee, and
// the fee shown is the fee stored.
TEST_F(GrunddatAufrufe, CatalogueLeftWithoutPointsKeepsZoneAndFee) {
    gerechnet();
    const Currency netto = GetCY(grunddaten(), "HonrarNetto");
    ASSERT_GT(netto, Currency{});
    for (const char* weg : {"Esc", "close box"}) {
        SCOPED_TRACE(weg);
        modal.Naechster<PunkteKat>([&](PunkteKat& d) {
            if (std::string(weg) == "Esc")
                QTest::keyClick(&d.Grid(), Qt::Key_Escape);
            else
                d.close();
            EXPECT_FALSE(d.isVisible());
        });
        form->ToolClick("PUNKTEKAT");
        EXPECT_EQ(text(1)->text(), "3");
        EXPECT_EQ(feld("NettoHonorar_4")->text().toStdString(), FormatBetrag(netto, DM));
    }
    form->ToolClick("OK");
    EXPECT_EQ(modal.Gesehen(), 2);
    EXPECT_EQ(grunddaten().GetInt("Honorarzone"), 3);
    EXPECT_EQ(GetCY(grunddaten(), "HonrarNetto"), netto);
}

// Points that give a new zone show its fee at once: the fee shown is the one stored when the form is left.
TEST_F(GrunddatAufrufe, ZoneFromPointsShowsTheFeeItStores) {
    gerechnet();
    text(1)->setText("4");
    form->ToolClick("OK");
    const Currency vorher = GetCY(grunddaten(), "HonrarNetto");
    modal.Naechster<PunkteKat>([](PunkteKat& d) {
        forms::BoundGridModel& g = *d.Model();
        for (int r = 0; r < 3; ++r)
            ASSERT_TRUE(g.setData(g.index(r, 2), std::array{"6", "5", "8"}[size_t(r)], Qt::EditRole));
        d.Toolband().Click("OK");
    });
    form->ToolClick("PUNKTEKAT");
    ASSERT_EQ(text(1)->text(), "3");
    const QString gezeigt = feld("NettoHonorar_4")->text();
    form->ToolClick("OK");
    EXPECT_EQ(QString::number(grunddaten().GetInt("Honorarzone")), text(1)->text());
    EXPECT_NE(GetCY(grunddaten(), "HonrarNetto"), vorher);
    EXPECT_EQ(gezeigt.toStdString(), FormatBetrag(GetCY(grunddaten(), "HonrarNetto"), DM));
}

TEST_F(GrunddatAufrufe, SurchargesOfTheDialogGoIntoThePhaseFees) {
    gerechnet();
    const db::Recordset vorher = grunddaten();
    const Currency lp5 = GetCY(vorher, "TotalDMLP5");
    const Currency netto = GetCY(vorher, "HonrarNetto");
    const Currency twin5 = GetCY(vorher, "AlDispTotalDMLP5");

    modal.Naechster<Zuschlaege>([](Zuschlaege& d) {
        d.Tabs().setCurrentIndex(3);
        forms::BoundGridModel& m = *d.Model2();
        const int row = m.StoredRows();
        ASSERT_TRUE(m.setData(m.index(row, m.ColumnOf("ZuAb")), "10", Qt::EditRole));
        ASSERT_TRUE(m.setData(m.index(row, m.ColumnOf("LP")), "Leistungsphase 5", Qt::EditRole));
        d.Toolband().Click("Band1", "OK");
    });
    form->ToolClick("ZUSCH");
    ASSERT_EQ(modal.Gesehen(), 1);

    db::Recordset g = grunddaten();
    EXPECT_EQ(GetCY(g, "SummZu5"), C("10"));
    for (int i : {1, 4, 6, 9})
        EXPECT_EQ(GetCY(g, "SummZu" + std::to_string(i)), Currency{}) << i;
    const Currency neu5 = GetCY(g, "TotalDMLP5");
    EXPECT_GT(neu5, lp5);
    EXPECT_EQ(GetCY(g, "HonrarNetto"), netto + (neu5 - lp5));
    EXPECT_GT(GetCY(g, "AlDispTotalDMLP5"), twin5);
}

} // namespace

namespace {

// "Honorar" and "Honorar Netto" are the net fees of the phases: a phase surcharge changes them at once, a
// surcharge on the basic fee only the calculated net fee that the register shows.
TEST(GrunddatZuschlaege, AmountFieldsShowTheFeeAsRecomputedAfterTheDialog) {
    test::FensterPositionenImTestordner();
    struct Case {
        const char* name;
        int tab;          // -1: the dialog is left by Esc without an entry
        const char* feld; // the percent column of that tab
        bool nettoNeu;    // "Honorar Netto" changes
        bool berNettoNeu; // the calculated net fee changes
    } cases[] = {
        {"Zuschlag je Leistungsphase", 3, "ZuAb", true, true},
        {"Zuschlag auf das Grundhonorar", 0, "ZuAbPro", false, true},
        {"ohne Eingabe geschlossen", -1, nullptr, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxScript script;
        test::FormFixture f;
        test::ModalerDialog modal;
        ASSERT_TRUE(f.open());
        f.tabs()->setCurrentIndex(1);
        ASSERT_TRUE(f.kostenEingeben(0, "Eigenleistung", "500.000,00"));
        f.tabs()->setCurrentIndex(0);
        f.form->ToolClick("OK");
        const Currency netto = GetCY(f.grunddaten(), "HonrarNetto");
        const QString vorher = f.feld("NettoHonorar_4")->text();
        ASSERT_EQ(vorher.toStdString(), FormatBetrag(RundCY(netto), DM));

        modal.Naechster<Zuschlaege>([&c](Zuschlaege& d) {
            if (c.tab < 0) return; // the helper rejects the dialog, as Esc does
            d.Tabs().setCurrentIndex(c.tab);
            forms::BoundGridModel& m = c.tab == 3 ? *d.Model2() : *d.Model1();
            for (int lp = 1; lp <= (c.tab == 3 ? 9 : 1); ++lp) {
                const int row = m.StoredRows();
                ASSERT_TRUE(m.setData(m.index(row, m.ColumnOf(c.feld)), "20", Qt::EditRole));
                if (c.tab == 3)
                    ASSERT_TRUE(m.setData(m.index(row, m.ColumnOf("LP")), QString::number(lp), Qt::EditRole));
                ASSERT_TRUE(m.Commit());
            }
            d.Toolband().Click("Band1", "OK");
        });
        f.form->ToolClick("ZUSCH");
        ASSERT_EQ(modal.Gesehen(), 1);

        const db::Recordset g = f.grunddaten();
        for (int k = 1; k <= 4; ++k) {
            const std::string name = "NettoHonorar_" + std::to_string(k);
            const Currency soll =
                RundCY(GetCY(g, k == 4 ? "HonrarNetto" : "HonrarNettoAB" + std::to_string(k)));
            EXPECT_EQ(f.feld(name.c_str())->text().toStdString(), FormatBetrag(soll, DM)) << name;
        }
        EXPECT_EQ(f.feld("NettoHonorar_4")->text() != vorher, c.nettoNeu);
        const Currency berNetto = GetCY(g, "HonorarBerNetto");
        EXPECT_EQ(berNetto != netto, c.berNettoNeu);
        if (c.berNettoNeu) EXPECT_NEAR(berNetto.ToDouble(), netto.ToDouble() * 1.2, 0.1);
    }
}

} // namespace
