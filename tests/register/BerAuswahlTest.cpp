#include "register/BerAuswahl.h"

#include "BeReListTestDB.h"
#include "TestApp.h"
#include "core/Money.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/db/TempFolder.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

using velu::BerAuswahl;
using velu::Currency;
namespace db = velu::db;
namespace forms = velu::forms;

namespace {

class BerAuswahlTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        db_ = std::shared_ptr<db::Database>(db::Database::Create(dir_ / "Velupro32.mdb"));
        ASSERT_TRUE(db_);
        BeReListAnlegen(*db_, "CURRENCY");
        db_->SetQueryDef("Rechnungsübersicht", "SELECT * FROM BeReList ORDER BY Ursprung, LfNr");
    }

    // A calculation row; amounts in units as text, Null where not given.
    int64_t Rechnung(const char* name, int64_t ursprung, const char* gruppe, const char* typ,
                     std::initializer_list<std::pair<const char*, const char*>> betraege = {}, int input = 0,
                     int display = 0) {
        auto rs = db_->OpenRecordset("SELECT * FROM BeReList");
        rs.AddNew();
        rs.Set("ReBezeichnung", std::string(name));
        rs.Set("Ursprung", ursprung);
        rs.Set("Gruppenbezeichnung", std::string(gruppe));
        rs.Set("REType", std::string(typ));
        rs.Set("INPUTType", int64_t{input});
        rs.Set("DisplayType", int64_t{display});
        for (const auto& [feld, wert] : betraege)
            velu::SetCY(rs, feld, Currency::FromString(wert));
        rs.Update();
        return rs.Key();
    }

    template <class T> T* Control(BerAuswahl& f, const QString& name) {
        T* c = f.findChild<T*>(name);
        EXPECT_TRUE(c) << name.toStdString();
        return c;
    }
    QString Feld(BerAuswahl& f, int i) {
        return Control<QLineEdit>(f, QStringLiteral("XtraText2_%1").arg(i))->text();
    }

    bool ToolsAn(BerAuswahl& f, bool an) {
        bool ok = true;
        for (const char* key : {"EDIT", "DEL", "COPY", "PRINT"})
            ok = ok && f.ActiveBar().Enabled("Band1", key) == an;
        return ok && f.ActiveBar().Enabled("POPUPLINKS", "MARK") == an;
    }

    TempFolder dir_;
    std::shared_ptr<db::Database> db_;
};

} // namespace

TEST_F(BerAuswahlTest, EmptyProjectShowsRootOnly) {
    BerAuswahl f(db_, "Demo");
    auto* tree = Control<QTreeWidget>(f, "TreeView1");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Projekt Demo");
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(Control<QLabel>(f, "Label7")->text(), "Projet Demo  ");
    EXPECT_TRUE(Control<QTabWidget>(f, "SSTab1")->isHidden());
    EXPECT_TRUE(ToolsAn(f, false));
    EXPECT_FALSE(f.ActiveBar().Enabled("POPUPLINKS", "UNMARK"));
}

TEST_F(BerAuswahlTest, TreeByGroupAndClicks) {
    const int64_t a =
        Rechnung("Angebot 1", 1, "Neubau", "A", {{"BerNetto", "1000"}, {"Endbetrag", "1111.32"}});
    const int64_t r = Rechnung("Rechnung 1", 1, "Neubau", "R");
    const int64_t s = Rechnung("Stunden", 3, "Umbau", "S");
    BerAuswahl f(db_, "Demo");

    struct Case {
        int index;
        QString key, text;
    } cases[] = {
        {1, "+", "Projekt Demo"},
        {2, "*1", "Neubau"},
        {3, "@" + QString::number(a), "Angebot 1"},
        {4, "@" + QString::number(r), "Rechnung 1"},
        {5, "*3", "Umbau"},
        {6, "@" + QString::number(s), "Stunden"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(f.Node(c.index)) << c.index;
        EXPECT_EQ(BerAuswahl::NodeKey(f.Node(c.index)), c.key) << c.index;
        EXPECT_EQ(f.Node(c.index)->text(0), c.text) << c.index;
    }
    EXPECT_EQ(f.Node(6)->parent(), f.Node(5));

    // Load selects the first calculation.
    EXPECT_EQ(Control<QTreeWidget>(f, "TreeView1")->currentItem(), f.Node(3));
    EXPECT_FALSE(Control<QTabWidget>(f, "SSTab1")->isHidden());
    EXPECT_TRUE(ToolsAn(f, true));
    EXPECT_EQ(f.TypLetter(), "A");
    EXPECT_TRUE(Control<QRadioButton>(f, "Option1_0")->isChecked());
    EXPECT_EQ(Feld(f, 0), "1.000,00 DM");
    EXPECT_EQ(Feld(f, 7), "1.111,32 DM");
    EXPECT_EQ(Feld(f, 2), "") << "Null shows empty";

    f.NodeClick(f.Node(5));
    EXPECT_EQ(Control<QLabel>(f, "Label7")->text(), "Gruppe Umbau");
    EXPECT_TRUE(Control<QTabWidget>(f, "SSTab1")->isHidden());
    EXPECT_TRUE(ToolsAn(f, false));

    f.NodeClick(f.Node(6));
    EXPECT_EQ(f.TypLetter(), "S");
    EXPECT_EQ(f.ReStatus(), "S");
    EXPECT_FALSE(Control<QRadioButton>(f, "Option1_0")->isChecked());

    // The root does not stay collapsed.
    f.Node(1)->setExpanded(false);
    EXPECT_TRUE(f.Node(1)->isExpanded());
}

TEST_F(BerAuswahlTest, DetailsByTypeAndDisplayCurrency) {
    const std::initializer_list<std::pair<const char*, const char*>> werte = {
        {"BerNetto", "800"},  {"AlDispBerNetto", "409.03"}, {"StdReNetZuAbDM", "20"},  {"ZuAbBrNetto", "-20"},
        {"ZuAbBrutto", "8"},  {"StdReBrZuAbDM", "-1.05"},   {"StdReNetZuAbPro", "-5"}, {"MwstPro", "16"},
        {"SkontoPro", "2.5"}, {"AlDispEndbetrag", "466.71"}};
    const int64_t s = Rechnung("Stunden", 1, "G", "S", werte);
    const int64_t r = Rechnung("Rechnung", 1, "G", "R", werte, 0, 1);
    BerAuswahl f(db_, "Demo");

    f.FindBerechnung(QString::number(s));
    EXPECT_EQ(Feld(f, 1), "20,00 DM") << "S shows the entered amount";
    EXPECT_EQ(Feld(f, 4), "-1,05 DM");
    EXPECT_EQ(Feld(f, 11), "-5");
    EXPECT_EQ(Feld(f, 12), "");
    EXPECT_EQ(Feld(f, 8), "16");
    EXPECT_EQ(Feld(f, 10), "2,5");
    EXPECT_EQ(Control<QDateEdit>(f, "DTPicker1")->date(), QDate::currentDate()) << "no invoice date";

    // Entered in DM, shown in euro: the twins.
    f.FindBerechnung(QString::number(r));
    EXPECT_EQ(Feld(f, 0), "409,03 €");
    EXPECT_EQ(Feld(f, 7), "466,71 €");
    EXPECT_EQ(Feld(f, 1), "") << "R shows the computed total, here its twin (Null)";
    EXPECT_EQ(Feld(f, 11), "0");
    EXPECT_EQ(Feld(f, 12), "0");
    EXPECT_EQ(Control<QLabel>(f, "Label5")->text(), "Berechnungswährung DM");
}

TEST_F(BerAuswahlTest, OldRowGetsItsRateFromTheSubtotal) {
    const int64_t r =
        Rechnung("Alt", 1, "G", "R", {{"BerNetto", "1000"}, {"ZwSumm", "1150"}, {"MwstDM", "184"}});
    BerAuswahl f(db_, "Demo");
    EXPECT_EQ(Feld(f, 8), "16");
    db::Params p;
    p.Set("nr", r);
    auto g = db_->OpenRecordset("SELECT MwstPro FROM BeReList WHERE LfNr = :nr", p);
    EXPECT_EQ(velu::GetCY(g, "MwstPro"), Currency::FromUnits(16));
}

TEST_F(BerAuswahlTest, MissingOverviewQueryIsShownAndLeavesTheRoot) {
    Rechnung("R", 1, "G", "R");
    db_->Execute("DELETE FROM _QueryDefs");
    forms::MessageBoxScript script({forms::MsgResult::Retry, forms::MsgResult::Abort});
    BerAuswahl f(db_, "Demo");
    ASSERT_EQ(script.Shown().size(), 2u) << "Retry reads again";
    EXPECT_EQ(script.Shown()[0].text, "Die Abfrage Rechnungsübersicht fehlt in der Projektdatenbank. # 0");
    EXPECT_EQ(script.Shown()[0].buttons, forms::MsgButtons::AbortRetryIgnore);
    EXPECT_EQ(script.Shown()[0].title, "HOAI Berechnungen");
    EXPECT_EQ(f.Node(2), nullptr);
    EXPECT_TRUE(ToolsAn(f, false));
}

TEST_F(BerAuswahlTest, RenamedCalculationIsStoredByItsKey) {
    const int64_t a = Rechnung("Erste", 1, "G", "R");
    const int64_t b = Rechnung("Zweite", 1, "G", "R");
    BerAuswahl f(db_, "Demo");
    auto gespeichert = [&](int64_t nr) {
        db::Params p;
        p.Set("nr", nr);
        auto rs = db_->OpenRecordset("SELECT ReBezeichnung FROM BeReList WHERE LfNr = :nr", p);
        return QString::fromStdString(rs.GetText("ReBezeichnung"));
    };
    ASSERT_EQ(BerAuswahl::NodeKey(f.Node(4)), "@" + QString::number(b));
    // The first calculation is current; the second one is renamed.
    f.Node(4)->setText(0, QString(31, 'x'));
    EXPECT_EQ(gespeichert(b), QString(30, 'x'));
    EXPECT_EQ(f.Node(4)->text(0), QString(30, 'x'));
    EXPECT_EQ(gespeichert(a), "Erste");
    EXPECT_FALSE(f.Node(1)->flags() & Qt::ItemIsEditable) << "the root keeps its label";

    db_->Execute(
        "CREATE TRIGGER Sperre BEFORE UPDATE ON BeReList BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    forms::MessageBoxScript script;
    f.Node(3)->setText(0, "Neu");
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.LastText().startsWith("Der Name konnte nicht gespeichert werden:"));
    EXPECT_EQ(f.Node(3)->text(0), "Erste");
    EXPECT_EQ(gespeichert(a), "Erste");
}
