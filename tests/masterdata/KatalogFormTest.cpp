#include "GridEnter.h"
#include "StammFixture.h"
#include "TestApp.h"
#include "masterdata/Grundleistung.h"
#include "masterdata/Mitarbeiter.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QApplication>
#include <QHeaderView>
#include <QScreen>

using namespace velu;
using namespace velu::masterdata;
using forms::MessageBoxScript;
using forms::MsgResult;

namespace {

class KatalogFormTest : public StammFixture {
public:
    void SetUp() override {
        testApp();
        StammFixture::SetUp();
    }
    // Types into a cell of the grid as the user does.
    static void Tippe(StammGridDialog& f, int row, const char* feld, const char* text) {
        forms::BoundGridModel* m = f.Model();
        ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf(feld)), text)) << feld << " " << text;
    }
    static int64_t Wert(StammGridDialog& f, int row, const char* feld) {
        const db::Value v = f.Model()->Value(row, feld);
        const auto* i = std::get_if<int64_t>(&v);
        return i ? *i : -1;
    }
};

} // namespace

TEST_F(KatalogFormTest, RatesFillTheirTwinsWhileZero) {
    MessageBoxScript boxen;
    struct Fall {
        const char* name;
        bool mitarbeiter;
        const char* feld;
        const char* text;
        const char* zwilling;
        int64_t erwartet;
    } faelle[] = {
        {"external DM", false, "Satz", "100", "AlDispSatz", 511300},
        {"internal euro", false, "AlDispinterSatz", "50", "interSatz", 977900},
        {"employee external DM", true, "Stundensatzext", "120", "AlDispStundensatzext", 613600},
        {"employee internal euro", true, "AlDispStundensatzInt", "40", "StundensatzInt", 782300},
    };
    for (const auto& fall : faelle) {
        std::unique_ptr<StammGridDialog> f;
        if (fall.mitarbeiter)
            f = std::make_unique<Mitarbeiter>(*stamm_);
        else
            f = std::make_unique<Grundleistung>(*stamm_);
        const int neu = f->Model()->StoredRows();
        Tippe(*f, neu, fall.feld, fall.text);
        EXPECT_EQ(Wert(*f, neu, fall.zwilling), fall.erwartet) << fall.name;
        Tippe(*f, neu, fall.feld, "60");
        EXPECT_EQ(Wert(*f, neu, fall.zwilling), fall.erwartet) << fall.name << ": twin kept";
        ASSERT_TRUE(f->ActiveBar1().Click("Band1", "EXIT"));
        const std::string table = fall.mitarbeiter ? "Mitarbeiter" : "AufwandVerz";
        EXPECT_EQ(Zahl("SELECT Count(*) FROM " + table + " WHERE " + fall.zwilling + " = ?",
                       db::Params().Add(fall.erwartet)),
                  1)
            << fall.name;
    }
    EXPECT_TRUE(boxen.Shown().empty());
}

TEST_F(KatalogFormTest, EmployeeRatesAreNeverNegativeAndFillBothCurrencies) {
    Mitarbeiter f(*stamm_);
    f.show();
    forms::BoundGridView& grid = f.SSDBGrid1();
    forms::BoundGridModel* m = f.Model();
    const auto zelle = [&](const char* feld) { return m->index(m->StoredRows(), m->ColumnOf(feld)); };
    const auto negativ = [](const char* spalte) {
        return QString::fromUtf8(spalte) + QString::fromUtf8(":\nEin Stundensatz kann nicht negativ sein.");
    };
    EXPECT_TRUE(eingabe::MitEnterEingeben(grid, zelle("Mitarbeiter"), "Schulz").empty());
    struct Fall {
        const char* feld;
        const char* text;
        std::vector<QString> meldungen;
    } faelle[] = {
        // A refused rate stays in its cell to be corrected there.
        {"Stundensatzext", "-80", {negativ("Stundensatz extern DM")}},
        {"Stundensatzext", "80", {}},
        {"AlDispStundensatzInt", "-0,01", {negativ("Stundensatz intern €")}},
        {"AlDispStundensatzInt", "", {}},
        {"StundensatzInt", "8o", {"Stundensatz intern DM:\n" + forms::BoundGridModel::NumerischMeldung}},
        {"StundensatzInt", "-1.000", {negativ("Stundensatz intern DM")}},
        {"StundensatzInt", "50", {}},
    };
    for (const Fall& c : faelle)
        EXPECT_EQ(eingabe::MitEnterEingeben(grid, zelle(c.feld), c.text), c.meldungen)
            << c.feld << " " << c.text;
    EXPECT_TRUE(grid.Commit());
    db::Recordset rs = stamm_->OpenRecordset(
        "SELECT StundensatzInt, Stundensatzext, AlDispStundensatzInt, AlDispStundensatzext FROM Mitarbeiter "
        "WHERE Mitarbeiter = 'Schulz'");
    ASSERT_FALSE(rs.Empty());
    EXPECT_EQ(GetCY(rs, "StundensatzInt"), Currency::FromUnits(50));
    EXPECT_EQ(GetCY(rs, "Stundensatzext"), Currency::FromUnits(80));
    EXPECT_EQ(GetCY(rs, "AlDispStundensatzInt"), Currency::FromString("25.56"));
    EXPECT_EQ(GetCY(rs, "AlDispStundensatzext"), Currency::FromString("40.9"));
}

TEST_F(KatalogFormTest, AssignmentFromTheDropDown) {
    MessageBoxScript boxen;
    Grundleistung f(*stamm_);
    EXPECT_EQ(Grundleistung::ZuordnungText(0), "Keine Zuordnung");
    EXPECT_EQ(Grundleistung::ZuordnungText(3), "Leistungsphase 3");
    EXPECT_EQ(Grundleistung::ZuordnungWert("Leistungsphase 9"), 9);
    EXPECT_EQ(Grundleistung::ZuordnungWert("11"), std::nullopt);
    Tippe(f, 0, "Leistung", "Stunden");
    Tippe(f, 0, "zuordnung", "Stundenlohnarbeiten");
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
    EXPECT_EQ(Zahl("SELECT zuordnung FROM AufwandVerz WHERE Leistung = 'Stunden'"), 10);
}

TEST_F(KatalogFormTest, EqualRowsAreWrittenByTheirKeyAndNoKeepsARow) {
    stamm_->Execute("INSERT INTO Mitarbeiter (Mitarbeiter, Stundensatzext) VALUES ('Meier', 1000000), "
                    "('Meier', 1000000)");
    stamm_->Execute("INSERT INTO AufwandVerz (Leistung, Satz) VALUES ('Kopie', 10000), ('Kopie', 10000)");
    struct Fall {
        bool mitarbeiter;
        const char* feld;
        const char* frage;
        std::string table;
    } faelle[] = {
        {true, "Mitarbeiter", "Soll dieser Mitarbeiter gelöscht werden", "Mitarbeiter"},
        {false, "Leistung", "Soll diese Zeile gelöscht werden", "AufwandVerz"},
    };
    for (const auto& fall : faelle) {
        MessageBoxScript boxen({MsgResult::No, MsgResult::Yes});
        std::unique_ptr<StammGridDialog> f;
        if (fall.mitarbeiter)
            f = std::make_unique<Mitarbeiter>(*stamm_);
        else
            f = std::make_unique<Grundleistung>(*stamm_);
        Tippe(*f, 1, fall.feld, "Schulz");
        ASSERT_TRUE(f->Model()->Commit());
        EXPECT_EQ(Zahl("SELECT Count(*) FROM " + fall.table + " WHERE " + fall.feld + " = 'Schulz'"), 1);
        EXPECT_EQ(Zahl("SELECT Min(LfNr) FROM " + fall.table + " WHERE " + fall.feld + " = 'Schulz'"),
                  Zahl("SELECT Max(LfNr) FROM " + fall.table));
        EXPECT_FALSE(f->Model()->DeleteRow(0));
        ASSERT_EQ(boxen.Shown().size(), 1u);
        EXPECT_EQ(boxen.Shown()[0].text, fall.frage);
        EXPECT_EQ(boxen.Shown()[0].defaultButton, 1);
        EXPECT_EQ(Zahl("SELECT Count(*) FROM " + fall.table), 2);
        EXPECT_TRUE(f->Model()->DeleteRow(0));
        EXPECT_EQ(Zahl("SELECT Count(*) FROM " + fall.table), 1);
    }
}

TEST_F(KatalogFormTest, EveryColumnIsShownWholeTheLastOneToo) {
    MessageBoxScript boxen;
    std::unique_ptr<StammGridDialog> formen[] = {std::make_unique<Grundleistung>(*stamm_),
                                                 std::make_unique<Mitarbeiter>(*stamm_)};
    for (auto& f : formen) {
        SCOPED_TRACE(f->windowTitle().toStdString());
        f->show();
        QApplication::processEvents();
        const forms::BoundGridView* grid = f->findChild<forms::BoundGridView*>("SSDBGrid1");
        ASSERT_TRUE(grid);
        const QHeaderView* kopf = grid->horizontalHeader();
        int letzte = -1;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (!grid->isColumnHidden(c)) letzte = c;
        ASSERT_GE(letzte, 0);
        // A screen narrower than the columns leaves the scroll bar to reach the last one.
        int noetig = 0;
        for (int c = 0; c <= letzte; ++c)
            if (!grid->isColumnHidden(c)) noetig += kopf->sectionSizeHint(c);
        if (noetig > f->screen()->availableGeometry().width() - 100) continue;
        EXPECT_LE(kopf->sectionViewportPosition(letzte) + kopf->sectionSize(letzte),
                  grid->viewport()->width());
        // Each caption fits its column.
        for (int c = 0; c <= letzte; ++c)
            if (!grid->isColumnHidden(c))
                EXPECT_GE(kopf->sectionSize(c), kopf->fontMetrics().horizontalAdvance(
                                                    grid->model()->headerData(c, Qt::Horizontal).toString()))
                    << c;
        f->hide();
    }
    EXPECT_TRUE(boxen.Shown().empty());
}

// A text of full length does not widen the window to the screen's edge (where the window's frame would push
// the last column beyond it): the text column takes the room the others leave and wraps its text there.
TEST_F(KatalogFormTest, ALongTextLeavesTheWindowInsideTheScreen) {
    MessageBoxScript boxen;
    auto breite = [&] {
        Grundleistung f(*stamm_);
        return f.width();
    };
    const int kurz = breite();
    stamm_->Execute(
        "INSERT INTO AufwandVerz (Positionsnummer, Leistung, Einheit, zuordnung) VALUES ('3.01', ?, "
        "'Std', 10)",
        db::Params().Add(std::string(255, 'x')));
    const int lang = breite();
    Grundleistung f(*stamm_);
    EXPECT_LE(lang, f.screen()->availableGeometry().width() - 40);
    EXPECT_LE(lang, std::max(kurz, 900) + 400);
    EXPECT_TRUE(boxen.Shown().empty());
}
