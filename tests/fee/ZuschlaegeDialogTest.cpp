#include "FeeTestDb.h"
#include "FeeTestSupport.h"
#include "TestApp.h"
#include "fee/Zuschlaege.h"
#include "fee/ZuschlaegeListen.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QLabel>
#include <QTabBar>

#include <gtest/gtest.h>

namespace velu::fee::test {
namespace {

constexpr int32_t Nr = 4;
constexpr int16_t Gruppe = 2;

class ZuschlaegeDialog : public ::testing::Test {
protected:
    void Oeffnen(int16_t berechnung, int16_t anzeige) {
        dlg.WährungsInput(berechnung);
        dlg.Makeconection(anzeige, Gruppe, Nr);
    }
    // Types into the grid's new-row line; the field names the column.
    void Neu(forms::BoundGridModel& m, std::initializer_list<std::pair<const char*, const char*>> zellen) {
        const int row = m.StoredRows();
        for (auto [feld, text] : zellen) {
            const int col = m.ColumnOf(feld);
            ASSERT_GE(col, 0) << feld;
            ASSERT_TRUE(m.setData(m.index(row, col), QString::fromUtf8(text), Qt::EditRole)) << feld;
        }
        ASSERT_TRUE(m.Commit());
    }
    db::Recordset Zeilen(const char* tabelle) {
        return dbs.projekt->OpenRecordset(std::string("SELECT * FROM ") + tabelle + " ORDER BY LfNr");
    }

    QApplication& app = testApp(); // before any widget
    FeeDbs dbs;
    Zuschlaege dlg{*dbs.projekt, *dbs.stamm};
};

TEST_F(ZuschlaegeDialog, DMCalculationShownInEuro) {
    Oeffnen(DM, EUR);
    EXPECT_EQ(dlg.Modus(), 2);
    EXPECT_EQ(dlg.AktuellerTab(), 0);
    EXPECT_EQ(dlg.windowTitle(), "Zuschläge zum Grundhonorar");
    EXPECT_EQ(dlg.findChild<QLabel*>("GridCaption")->text(), "Berechnungswährung DM");
    EXPECT_TRUE(dlg.Toolband().Checked("Band1", "EUR"));
    EXPECT_FALSE(dlg.Toolband().Checked("Band1", "DM"));
    auto* grid = dlg.findChild<forms::BoundGridView*>("SSDBGrid1");
    ASSERT_TRUE(grid);
    forms::BoundGridModel& m = *grid->BoundModel();
    const int twin = m.ColumnOf("AlDispZuAbDM"), haupt = m.ColumnOf("ZuAbDM");
    EXPECT_FALSE(grid->isColumnHidden(twin));
    EXPECT_TRUE(grid->isColumnHidden(haupt));
    EXPECT_EQ(m.headerData(twin, Qt::Horizontal).toString(), "Zuschlag €");

    Neu(m, {{"Bezeichnung", "Erschwernis"}, {"ZuAbPro", "2,5"}, {"AlDispZuAbDM", "100"}});
    db::Recordset rs = Zeilen("ZuNetto");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.GetText("Bezeichnung"), "Erschwernis");
    EXPECT_EQ(rs.GetInt("ZuAbPro"), C("2.5").Raw());
    EXPECT_EQ(rs.GetInt("ZuAbDM"), C("195.58").Raw());
    EXPECT_EQ(rs.GetInt("AlDispZuAbDM"), C("99.9985").Raw());
    EXPECT_EQ(rs.GetInt("LfNrBeReList"), Nr);
    EXPECT_EQ(rs.GetInt("ZuordnungAnlGrp"), Gruppe);
    EXPECT_EQ(m.data(m.index(0, twin)).toString(), "100,00\u00a0€");

    // To DM: the grid is bound again and shows the main amount.
    dlg.Toolband().Click("Band1", "DM");
    EXPECT_EQ(dlg.Modus(), 1);
    forms::BoundGridModel* dm = dlg.Model1();
    EXPECT_NE(dm, &m);
    EXPECT_FALSE(grid->isColumnHidden(dm->ColumnOf("ZuAbDM")));
    EXPECT_TRUE(grid->isColumnHidden(dm->ColumnOf("AlDispZuAbDM")));
    EXPECT_EQ(dm->data(dm->index(0, dm->ColumnOf("ZuAbDM"))).toString(), "195,58\u00a0DM");
    Neu(*dm, {{"ZuAbDM", "100"}});
    rs = Zeilen("ZuNetto");
    rs.MoveLast();
    EXPECT_EQ(rs.GetInt("ZuAbDM"), C("100").Raw());
    EXPECT_EQ(rs.GetInt("AlDispZuAbDM"), C("51.1292").Raw());
    // Clicking the tool already checked does not bind again.
    dlg.Toolband().Click("Band1", "DM");
    EXPECT_EQ(dlg.Model1(), dm);

    const ZuschlagSumme s = SummZuNetto(*dbs.projekt, Nr, Gruppe);
    EXPECT_EQ(s.prozent, C("2.5"));
    EXPECT_EQ(s.betrag, C("295.58"));
}

TEST_F(ZuschlaegeDialog, InvoiceListsFeedTheRegistersTotals) {
    Oeffnen(EUR, EUR);
    EXPECT_EQ(dlg.findChild<QLabel*>("GridCaption")->text(), "Berechnungswährung €");
    auto* tabs = dlg.findChild<QTabBar*>("SSTab1");
    ASSERT_TRUE(tabs);
    ASSERT_EQ(tabs->count(), 4);
    tabs->setCurrentIndex(1);
    EXPECT_EQ(dlg.windowTitle(), "Zuschläge zum bereinigtes Grundhonorar");
    Neu(*dlg.Model1(), {{"Bezeichnung", "Nebenkosten"}, {"ZuAbPro", "5"}, {"ZuAbDM", "1.000,00"}});
    Neu(*dlg.Model1(), {{"Bezeichnung", "Nachlass"}, {"ZuAbPro", "-1,5"}, {"ZuAbDM", "-200"}});
    tabs->setCurrentIndex(2);
    EXPECT_EQ(dlg.windowTitle(), "Zuschläge zum Bruttohonorar");
    Neu(*dlg.Model1(), {{"Bezeichnung", "Skonto"}, {"ZuAbPro", "-3"}, {"ZuAbDM", "0"}});

    db::Recordset rs = Zeilen("ZuBerNetto");
    ASSERT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.GetInt("LfNrBeReList"), Nr); // the calculation key only
    EXPECT_EQ(rs.GetInt("AlDispZuAbDM"), C("1955.83").Raw());
    const ZuschlagSumme ber = SummZuBerNetto(*dbs.projekt, Nr);
    EXPECT_EQ(ber.prozent, C("3.5"));
    EXPECT_EQ(ber.betrag, C("800"));
    EXPECT_EQ(ber.alDispBetrag, C("1564.664"));
    const ZuschlagSumme brutto = SummZuBrutto(*dbs.projekt, Nr);
    EXPECT_EQ(brutto.prozent, C("-3"));
    EXPECT_EQ(brutto.betrag, Currency{});
    EXPECT_EQ(SummZuNetto(*dbs.projekt, Nr, Gruppe).prozent, Currency{});
}

TEST_F(ZuschlaegeDialog, PhaseListAndDeletion) {
    forms::MessageBoxScript script;
    Oeffnen(DM, DM);
    dlg.findChild<QTabBar*>("SSTab1")->setCurrentIndex(3);
    EXPECT_EQ(dlg.windowTitle(), "Zuschläge zu den Leistungsphasen");
    auto* grid2 = dlg.findChild<forms::BoundGridView*>("SSDBGrid2");
    ASSERT_TRUE(grid2);
    EXPECT_FALSE(grid2->isHidden());
    EXPECT_TRUE(dlg.Grid1().isHidden());
    forms::BoundGridModel& m = *grid2->BoundModel();
    EXPECT_EQ(m.headerData(m.ColumnOf("LP"), Qt::Horizontal).toString(), "Leistugsphase");

    Neu(m, {{"Bezeichnung", "ohne Phase"}, {"ZuAb", "2"}}); // gets phase 1
    Neu(m, {{"ZuAb", "1,5"}, {"LP", "Leistungsphase 8"}});
    // A phase outside 1 to 9 is refused with a message; the row keeps its phase.
    ASSERT_TRUE(m.setData(m.index(1, m.ColumnOf("LP")), "12", Qt::EditRole));
    EXPECT_EQ(script.LastText(), "Die Leistungsphase muss zwischen 1 und 9 liegen");
    EXPECT_TRUE(m.Commit());
    db::Recordset rs = Zeilen("ZuLP");
    ASSERT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.GetInt("LP"), 1);
    EXPECT_EQ(rs.GetInt("ZuordnungAnlGrp"), Gruppe);
    rs.MoveNext();
    EXPECT_EQ(rs.GetInt("LP"), 8);
    const auto lp = SummZuLP(*dbs.projekt, Nr, Gruppe);
    EXPECT_EQ(lp[0], C("2"));
    EXPECT_EQ(lp[7], C("1.5"));
    EXPECT_EQ(lp[8], Currency{});

    // The currency switch on the phase tab changes only the toolbar and the members.
    forms::BoundGridModel* vorher = dlg.Model1();
    dlg.Toolband().Click("Band1", "EUR");
    EXPECT_EQ(dlg.Modus(), 2);
    EXPECT_TRUE(dlg.Toolband().Checked("Band1", "EUR"));
    EXPECT_EQ(dlg.Model1(), vorher);

    // Deletion asks with No as default; No keeps the row, Yes deletes it.
    script.Answer(forms::MsgResult::No);
    EXPECT_FALSE(m.DeleteRow(0));
    EXPECT_EQ(script.LastText(), "Soll diese Zeile gelöscht werden");
    EXPECT_EQ(script.Shown().back().defaultButton, 1);
    EXPECT_EQ(script.Shown().back().buttons, forms::MsgButtons::YesNo);
    script.Answer(forms::MsgResult::Yes);
    EXPECT_TRUE(m.DeleteRow(0));
    EXPECT_EQ(Zeilen("ZuLP").RecordCount(), 1);

    // OK hides the dialog as accepted.
    dlg.show();
    dlg.Toolband().Click("Band1", "OK");
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

} // namespace
} // namespace velu::fee::test

namespace velu::fee::test {
namespace {

TEST_F(ZuschlaegeDialog, NumbersAlignRightTextLeft) {
    struct Case {
        int tab;
        const char* feld;
        bool rechts;
    } cases[] = {
        {0, "Bezeichnung", false}, {0, "ZuAbPro", true}, {0, "ZuAbDM", true},       {0, "AlDispZuAbDM", true},
        {1, "ZuAbPro", true},      {2, "ZuAbDM", true},  {3, "Bezeichnung", false}, {3, "ZuAb", true},
    };
    Oeffnen(EUR, EUR);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.tab) + " " + c.feld);
        dlg.findChild<QTabBar*>("SSTab1")->setCurrentIndex(c.tab);
        forms::BoundGridModel& m = c.tab == 3 ? *dlg.Model2() : *dlg.Model1();
        const int col = m.ColumnOf(c.feld);
        ASSERT_GE(col, 0);
        const int ausrichtung = m.data(m.index(0, col), Qt::TextAlignmentRole).toInt();
        EXPECT_EQ((ausrichtung & Qt::AlignRight) != 0, c.rechts);
    }
}

// Writes a PNG of the list of surcharges on the basic fee when VELU_SCREENSHOT names the file
// (scripts/screenshot zuschlaege).
TEST_F(ZuschlaegeDialog, Screenshot) {
    const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (datei.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
    Oeffnen(EUR, EUR);
    Neu(*dlg.Model1(), {{"Bezeichnung", "Umbauzuschlag"}, {"ZuAbPro", "20"}});
    Neu(*dlg.Model1(), {{"Bezeichnung", "Nachlass"}, {"ZuAbPro", "-2,5"}, {"ZuAbDM", "-1.250,00"}});
    dlg.resize(640, 320);
    dlg.show();
    QApplication::processEvents();
    ASSERT_TRUE(dlg.grab().save(datei));
}

} // namespace
} // namespace velu::fee::test
