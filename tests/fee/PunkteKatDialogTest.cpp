#include "FeeTestDb.h"
#include "TestApp.h"
#include "fee/PunkteKat.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QHeaderView>

#include <gtest/gtest.h>

namespace velu::fee::test {
namespace {

constexpr int32_t Nr = 3;

class PunkteKatDialog : public ::testing::Test {
protected:
    int32_t Gebaeude() {
        db::Recordset rs =
            dbs.stamm->OpenRecordset("SELECT LfNr FROM PunkteVerzeichnis WHERE Bezeichnung = '§ 35 Gebäude'");
        return static_cast<int32_t>(rs.GetInt("LfNr"));
    }
    int64_t Gespeichert(int row) {
        db::Recordset rs = dbs.projekt->OpenRecordset(
            "SELECT VergebenePunkte FROM PunkteTab WHERE LfNrBeReList = :nr AND ZuordnungAnlGrp = 2 "
            "ORDER BY LfNr LIMIT 1 OFFSET :o",
            db::Params().Set("nr", int64_t{Nr}).Set("o", int64_t{row}));
        return rs.GetInt("VergebenePunkte", -1);
    }
    bool Tippen(forms::BoundGridModel& m, int row, const QString& text) {
        return m.setData(m.index(row, 2), text, Qt::EditRole);
    }

    QApplication& app = testApp(); // before any widget
    FeeDbs dbs;
    PunkteKat dlg{*dbs.projekt, *dbs.stamm};
};

TEST_F(PunkteKatDialog, AwardsPointsAndGivesTheZone) {
    forms::MessageBoxScript script;
    dlg.LoadPunktekat(Gebaeude(), 2, Nr);
    EXPECT_FALSE(dlg.KeineKriterien());
    EXPECT_EQ(dlg.windowTitle(), "Punktekatalog");
    auto* grid = dlg.findChild<forms::BoundGridView*>("SSDBGrid1");
    ASSERT_TRUE(grid);
    ASSERT_TRUE(dlg.findChild<QWidget*>("Picture1"));
    forms::BoundGridModel& m = *grid->BoundModel();
    ASSERT_EQ(m.rowCount(), 6); // no new-row line: the criteria are the catalogue's
    EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), "Bezeichnung");
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "Maximal");
    EXPECT_EQ(m.headerData(2, Qt::Horizontal).toString(), "Punkte");
    EXPECT_FALSE(m.flags(m.index(0, 1)) & Qt::ItemIsEditable);

    // Criterion 1 allows 6 points: 7 is refused and nothing is stored.
    ASSERT_TRUE(Tippen(m, 0, "7"));
    EXPECT_FALSE(grid->Commit());
    EXPECT_EQ(script.LastText(), "Diese Position kann mit höchstens 6 Punkten bewertet werden");
    EXPECT_EQ(Gespeichert(0), 0);
    // 6 is accepted, an empty cell is stored as 0.
    ASSERT_TRUE(Tippen(m, 0, "6"));
    ASSERT_TRUE(Tippen(m, 1, "5"));
    ASSERT_TRUE(Tippen(m, 2, ""));
    EXPECT_TRUE(grid->Commit());
    EXPECT_EQ(Gespeichert(0), 6);
    EXPECT_EQ(Gespeichert(1), 5);
    EXPECT_EQ(Gespeichert(2), 0);

    // OK writes the cell still being typed and hides the dialog; 6 + 5 + 8 = 19 is zone III.
    dlg.show();
    // A refused entry keeps the dialog open.
    ASSERT_TRUE(Tippen(m, 5, "9"));
    EXPECT_TRUE(dlg.Toolband().Click("OK"));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(script.LastText(), "Diese Position kann mit höchstens 6 Punkten bewertet werden");
    EXPECT_EQ(Gespeichert(5), 0);
    ASSERT_TRUE(Tippen(m, 3, "6"));
    ASSERT_TRUE(Tippen(m, 4, "2"));
    const size_t vorher = script.Shown().size();
    EXPECT_TRUE(dlg.Toolband().Click("OK"));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(script.Shown().size(), vorher); // a zone was found: nothing to tell
    EXPECT_EQ(dlg.HOAIZone(), 3);
    EXPECT_EQ(dlg.HOAIZone(), 3);
    EXPECT_EQ(dlg.HOAIZoneGrund(), ZonenErgebnis::Zone);

    // Opening again shows the stored points.
    PunkteKat wieder(*dbs.projekt, *dbs.stamm);
    wieder.LoadPunktekat(Gebaeude(), 2, Nr);
    EXPECT_EQ(wieder.Grid().BoundModel()->rowCount(), 6);
    EXPECT_EQ(wieder.Grid().BoundModel()->data(wieder.Grid().BoundModel()->index(0, 2)).toString(), "6");
}

TEST_F(PunkteKatDialog, NoCriteriaLeavesTheMarkW) {
    forms::MessageBoxScript script;
    dlg.LoadPunktekat(999, 1, Nr);
    EXPECT_TRUE(dlg.KeineKriterien());
    EXPECT_EQ(dlg.Tag(), "W");
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "Ein Punktekatalog ist nich verfügbar");
    EXPECT_EQ(script.Shown()[0].icon, forms::MsgIcon::Critical);
    EXPECT_EQ(dlg.HOAIZone(), 0);
    EXPECT_EQ(dlg.HOAIZoneGrund(), ZonenErgebnis::KeinePunkte);
}

TEST_F(PunkteKatDialog, TotalInNoRangeIsToldAndKept) {
    // Zone 1 ends at 10, zone 2 begins at 20.
    dbs.stamm->Execute("INSERT INTO PunkteVerzeichnis (Bezeichnung, Hzone1VonPunkt, Hzone1BisPunkt, "
                       "Hzone2VonPunkt, Hzone2BisPunkt) VALUES ('Lücke', 0, 10, 20, 30)");
    const auto kat = static_cast<int32_t>(dbs.stamm->LastInsertId());
    dbs.stamm->Execute("INSERT INTO Punkte (LFNRPUNKTVERZ, Text, MaxPunkte) VALUES (:k, 'Einziges', 40)",
                       db::Params().Set("k", int64_t{kat}));
    forms::MessageBoxScript script;
    dlg.LoadPunktekat(kat, 2, Nr);
    dlg.show();
    ASSERT_TRUE(Tippen(*dlg.Model(), 0, "15"));
    dlg.close(); // the close box hides like OK
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(script.LastText(), "Die Punktesumme 15 liegt in keiner Honorarzone des Punktekatalogs. Die "
                                 "Honorarzone bleibt unverändert.");
    EXPECT_EQ(dlg.HOAIZone(), 0);
    EXPECT_EQ(dlg.HOAIZoneGrund(), ZonenErgebnis::KeinBereich);
    EXPECT_EQ(Gespeichert(0), 15); // the points stay for the next try
}

} // namespace
} // namespace velu::fee::test
