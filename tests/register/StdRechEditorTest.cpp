// An hourly-rate invoice through the register's own editor: EDIT opens its positions modally, the user types
// them, and the register totals the invoice from what was stored.
#include "ProgrammFixture.h"
#include "expenses/StdRech.h"
#include "expenses/ZeilenModell.h"
#include "register/CalculationRegister.h"
#include "register/ProgrammEditor.h"

using velu::Currency;
using velu::expenses::StdRech;
using namespace velu::reg;

namespace {

Currency C(const char* s) {
    return Currency::FromString(s);
}

class StdRechEditorTest : public ProgrammFixture {
protected:
    // EDIT on the calculation, with fill driving the positions form.
    void Bearbeiten(int64_t lfnr, std::function<void(StdRech&)> fill, QString* titel = nullptr) {
        CalculationRegister reg(*projekt_);
        reg.Open();
        ASSERT_TRUE(reg.FindBerechnung(lfnr));
        ModalDriver<StdRech> drv([&](StdRech& f) {
            if (titel) *titel = f.windowTitle();
            fill(f);
        });
        EXPECT_EQ(reg.EDITRe(editor_, "2026-001", "Stunden Bauleitung"), EditorErgebnis::Geschlossen);
        ASSERT_TRUE(drv.Ran());
        EXPECT_FALSE(drv.LeftOpen()) << boxen_.LastText().toStdString();
    }
    static void Zeile(StdRech& f, const char* menge, const char* satz) {
        velu::forms::BoundGridModel* m = f.Positionen();
        const int row = m->rowCount() - 1; // the new-row line
        ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Menge")), menge));
        ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Satz")), satz));
        ASSERT_TRUE(m->Commit());
    }
    ProgrammEditor editor_{nullptr};
};

TEST_F(StdRechEditorTest, PositionsTypedInTheFormMakeTheInvoiceTotals) {
    const int64_t s = Neu('S', "Stunden Bauleitung", velu::DM);
    QString titel;
    Bearbeiten(
        s,
        [](StdRech& f) {
            EXPECT_EQ(f.Positionen()->rowCount(), 1);
            Zeile(f, "2,5", "100,00");
            Zeile(f, "3", "80,00");
            f.ActiveBar1().Click("Band1", "OK");
        },
        &titel);
    EXPECT_EQ(titel, "Stundenlohnrechnung 2026-001 Stunden Bauleitung");
    EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();
    struct Feld {
        const char* name;
        const char* wert;
    } erwartet[] = {
        {"BerNetto", "490"},           {"MwstDM", "93.1"},
        {"Endbetrag", "583.1"},        {"AlDispBerNetto", "250.53"},
        {"AlDispEndbetrag", "298.13"},
    };
    for (const Feld& e : erwartet)
        EXPECT_EQ(Betrag(s, e.name), C(e.wert)) << e.name;
    EXPECT_EQ(std::get<std::string>(Wert(s, "ZuPara")), "XXX");
    EXPECT_EQ(std::get<int64_t>(Wert(s, "Modif")), -1);
    EXPECT_FALSE(settings_->GetSetting("WindowPos StdRech", "Width").isEmpty());

    // A second EDIT deletes the first position: the totals follow.
    Bearbeiten(s, [](StdRech& f) {
        ASSERT_EQ(f.Positionen()->StoredRows(), 2);
        EXPECT_TRUE(f.Positionen()->DeleteRow(0));
        f.ActiveBar1().Click("Band1", "OK");
    });
    EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();
    EXPECT_EQ(Betrag(s, "BerNetto"), C("240"));
    EXPECT_EQ(Betrag(s, "Endbetrag"), C("285.6"));
}

TEST_F(StdRechEditorTest, InvoiceWithoutPositionsTotalsToZero) {
    const int64_t s = Neu('S', "Stunden Bauleitung", velu::EUR);
    Bearbeiten(s, [](StdRech& f) { f.close(); });
    EXPECT_EQ(Betrag(s, "BerNetto"), Currency{});
    EXPECT_EQ(Betrag(s, "Endbetrag"), Currency{});
    EXPECT_EQ(std::get<std::string>(Wert(s, "ZuPara")), "XXX");
}

} // namespace
