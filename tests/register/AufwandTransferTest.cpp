// Expenses recorded in the expense window, billed with one command of the hourly-rate invoice opened from
// the register: the invoice totals the transferred positions, the records are marked, nothing twice.
#include "ProgrammFixture.h"
#include "expenses/Aufwand.h"
#include "expenses/StdRech.h"
#include "expenses/ZeilenModell.h"
#include "register/CalculationRegister.h"
#include "register/ProgrammEditor.h"

using velu::Currency;
using velu::expenses::Aufwand;
using velu::expenses::StdRech;
using namespace velu::reg;

namespace {

class AufwandTransferTest : public ProgrammFixture {
protected:
    int64_t Offen() {
        velu::db::Recordset rs = projekt_->OpenRecordset(
            "SELECT Count(*) AS n FROM Projektaufwand WHERE Coalesce(SchonVerbucht, 0) = 0");
        return rs.GetInt("n");
    }
    ProgrammEditor editor_{nullptr};
};

TEST_F(AufwandTransferTest, RecordsTypedInAufwandAreBilledOnceThroughTransel) {
    // Two records in a project that has none yet: the currency question answered with DM.
    {
        ModalDriver<QDialog> frage([](QDialog& d) { d.done(QDialog::Accepted); });
        Aufwand w(*projekt_, *velu::App().StammDB(), *settings_, nullptr, "2,00 DM");
        ASSERT_TRUE(frage.Ran());
        velu::forms::BoundGridModel* m = w.Positionen();
        const struct {
            const char *numm, *menge, *satz;
        } eintraege[] = {{"1", "4", "85,00"}, {"2", "2,5", "60,00"}};
        for (const auto& e : eintraege) {
            const int row = m->rowCount() - 1;
            ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Numm")), e.numm));
            ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Menge")), e.menge));
            ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Satz")), e.satz));
            ASSERT_TRUE(m->Commit());
        }
        ASSERT_TRUE(w.ActiveBar1().Click("Band1", "OK"));
    }
    ASSERT_EQ(Offen(), 2);

    const int64_t s = Neu('S', "Stunden Bauleitung", velu::DM);
    CalculationRegister reg(*projekt_);
    reg.Open();
    ASSERT_TRUE(reg.FindBerechnung(s));
    int zweiteTransel = -1;
    ModalDriver<StdRech> drv([&](StdRech& f) {
        ASSERT_TRUE(f.ActiveBar1().Click("Band1", "TRANSEL"));
        EXPECT_EQ(f.Positionen()->StoredRows(), 2);
        const size_t vorher = boxen_.Shown().size();
        ASSERT_TRUE(f.ActiveBar1().Click("Band1", "TRANSEL"));
        zweiteTransel = f.Positionen()->StoredRows();
        EXPECT_EQ(boxen_.Shown().size(), vorher + 1);
        EXPECT_EQ(boxen_.LastText(), "Es sind keine neuen Daten vorhanden");
        f.ActiveBar1().Click("Band1", "OK");
    });
    EXPECT_EQ(reg.EDITRe(editor_, "2026-002", "Stunden Bauleitung"), EditorErgebnis::Geschlossen);
    ASSERT_TRUE(drv.Ran());
    EXPECT_FALSE(drv.LeftOpen());
    EXPECT_EQ(zweiteTransel, 2);
    // 4 × 85 + 2,5 × 60
    EXPECT_EQ(Betrag(s, "BerNetto"), Currency::FromUnits(490));
    EXPECT_EQ(Betrag(s, "Endbetrag"), Currency::FromString("583.1"));
    EXPECT_EQ(Offen(), 0);
}

} // namespace
