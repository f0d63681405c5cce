#include "register/BerAuswahl.h"
#include "RegisterFixture.h"
#include "TestApp.h"
#include "core/CurrencyPrint.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "ui/avbSplitter.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

#include <sqlite3.h>

using velu::Currency;
using velu::forms::MessageBoxScript;
using namespace velu::reg;

namespace {
Currency C(const char* s) {
    return Currency::FromString(s);
}

QApplication& app() {
    return testApp();
}

struct TestEditor : BerechnungEditor {
    std::function<void(int64_t)> speichern;
    Parag57Daten zurueck;
    int aufrufe = 0;
    EditorErgebnis EditGrunddaten(int64_t l, int, int, int, const std::string&) override {
        ++aufrufe;
        if (speichern) speichern(l);
        return EditorErgebnis::Geschlossen;
    }
    EditorErgebnis EditStdRech(int64_t, int, int, const std::string&) override {
        ++aufrufe;
        return EditorErgebnis::NichtVerfuegbar;
    }
    EditorErgebnis EditParag57(int64_t, Parag57Daten& d, int, int) override {
        ++aufrufe;
        d = zurueck;
        return EditorErgebnis::Bestaetigt;
    }
};

struct TestHost : RegisterHost {
    velu::db::Database* db;
    uint32_t rechte;
    TestEditor* editor;
    int hoaiAufrufe = 0;
    TestHost(velu::db::Database* d, uint32_t r, TestEditor* e) : db(d), rechte(r), editor(e) {}
    velu::db::Database* ProjektDB() override { return db; }
    QString ProjektText() override { return "P-1"; }
    uint32_t AktRechte() override { return rechte; }
    BerechnungEditor& Editor() override { return *editor; }
    void CallShowHoai(bool& g) override {
        ++hoaiAufrufe;
        g = false;
    }
};
} // namespace

class BerAuswahlWindowTest : public ProjektFixture {
protected:
    void SetUp() override {
        app();
        ProjektFixture::SetUp();
    }
    std::unique_ptr<BerAuswahl> Fenster(uint32_t rechte = 8191) {
        auto host = std::make_unique<TestHost>(db_.get(), rechte, &editor);
        this->host = host.get();
        return std::make_unique<BerAuswahl>(std::move(host));
    }
    // The window as laid out on the screen.
    std::unique_ptr<BerAuswahl> Gezeigt() {
        auto w = Fenster();
        w->resize(1000, 600);
        w->show();
        QApplication::processEvents();
        return w;
    }
    QLineEdit* Feld(BerAuswahl& w, int i) { return w.findChild<QLineEdit*>(QString("XtraText2(%1)").arg(i)); }
    // Types text into a field and leaves it, as the user does.
    void Tippe(BerAuswahl& w, int i, const QString& text) {
        QLineEdit* f = Feld(w, i);
        f->setText(text);
        emit f->textEdited(text);
        w.Convert2NormWährung(i);
    }
    QTreeWidgetItem* Knoten(BerAuswahl& w, const QString& key) {
        QTreeWidgetItemIterator it(w.TreeView1());
        for (; *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toString() == key) return *it;
        return nullptr;
    }
    TestEditor editor;
    TestHost* host = nullptr;
};

TEST_F(BerAuswahlWindowTest, TreeByGroup) {
    const int64_t a = AddBerechnung("A", "Angebot", 0, 0, "Neubau");
    AddBerechnung("R", "Rechnung 1", 0, a, "Neubau");
    const int64_t c = AddBerechnung("S", "Stunden", 1, 0, "Umbau");
    auto w = Fenster();
    QTreeWidget* t = w->TreeView1();
    ASSERT_EQ(t->topLevelItemCount(), 1);
    QTreeWidgetItem* root = t->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Projekt P-1");
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), "Neubau");
    EXPECT_EQ(root->child(0)->data(0, Qt::UserRole).toString(), "*" + QString::number(a));
    EXPECT_EQ(root->child(0)->childCount(), 2);
    EXPECT_EQ(root->child(1)->child(0)->data(0, Qt::UserRole).toString(), "@" + QString::number(c));
    // The first calculation is current at once.
    EXPECT_EQ(t->currentItem()->data(0, Qt::UserRole).toString(), "@" + QString::number(a));
    EXPECT_TRUE(w->ActiveBar1().Enabled("Band1", "EDIT"));
    EXPECT_TRUE(w->findChild<QRadioButton*>("Option1(0)")->isChecked());

    w->NodeClick(root->child(1));
    EXPECT_EQ(w->findChild<QLabel*>("Label7")->text(), "Gruppe Umbau");
    EXPECT_FALSE(w->ActiveBar1().Enabled("Band1", "EDIT"));
    // Collapsing the root does not stay collapsed.
    root->setExpanded(false);
    EXPECT_TRUE(root->isExpanded());
}

TEST_F(BerAuswahlWindowTest, EmptyProject) {
    auto w = Fenster();
    QTreeWidget* t = w->TreeView1();
    ASSERT_EQ(t->topLevelItemCount(), 1);
    EXPECT_EQ(t->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(w->findChild<QLabel*>("Label7")->text(), "Projet P-1  ");
    EXPECT_TRUE(w->findChild<QTabWidget*>("SSTab1")->isHidden());
    for (const char* k : {"EDIT", "DEL", "COPY", "PRINT"})
        EXPECT_FALSE(w->ActiveBar1().Enabled("Band1", k)) << k;
    EXPECT_FALSE(w->ActiveBar1().Enabled("POPUPLINKS", "MARK"));
    // DM and EUR act only on a selected calculation.
    w->ToolClick("EUR");
    EXPECT_TRUE(w->ActiveBar1().Checked("Band1", "DM"));
}

// The tree and tabs follow right below the tool band, with no empty band between.
TEST_F(BerAuswahlWindowTest, TreeStartsRightBelowTheToolBand) {
    AddBerechnung("A", "Angebot", 0, 0, "Neubau");
    auto w = Gezeigt();
    auto* band = w->findChild<QToolBar*>("Band1");
    QWidget* container = w->findChild<QWidget*>("picSplitterHContainer");
    ASSERT_TRUE(band && container);
    EXPECT_EQ(band->mapTo(w.get(), QPoint(0, 0)).y(), 0);
    const int abstand = container->mapTo(w.get(), QPoint(0, 0)).y() - band->height();
    EXPECT_GE(abstand, 0);
    EXPECT_LE(abstand, 8);
}

// An hourly-rate invoice shows its surcharge percentages with the "%" behind the field, not over it.
TEST_F(BerAuswahlWindowTest, PercentSignStandsBesideItsField) {
    AddBerechnung("S", "Stunden", 1, 0, "Umbau");
    auto w = Gezeigt();
    for (int i : {2, 3}) {
        SCOPED_TRACE(i);
        auto* zeichen = w->findChild<QLabel*>(QString("Label2(%1)").arg(i));
        auto* feld = Feld(*w, i == 2 ? 11 : 12);
        ASSERT_TRUE(zeichen && feld);
        ASSERT_TRUE(zeichen->isVisible() && feld->isVisible());
        EXPECT_FALSE(zeichen->geometry().intersects(feld->geometry()));
        EXPECT_GE(zeichen->geometry().left(), feld->geometry().right());
        EXPECT_EQ(zeichen->geometry().center().y(), feld->geometry().center().y());
    }
}

TEST_F(BerAuswahlWindowTest, LabelsCutToThirtyAndGroupsRenamedByTheirNode) {
    const int64_t a = AddBerechnung("A", "Angebot", 0, 0, "Neubau");
    const int64_t b = AddBerechnung("R", "Rechnung", 0, a, "Neubau");
    const int64_t c = AddBerechnung("R", "Andere", 0, 0, "Umbau");
    auto w = Fenster();
    MessageBoxScript script;
    Knoten(*w, "@" + QString::number(a))->setText(0, QString(31, 'x'));
    EXPECT_EQ(std::get<std::string>(Get(a, "ReBezeichnung")), std::string(30, 'x'));
    EXPECT_EQ(Knoten(*w, "@" + QString::number(a))->text(0), QString(30, 'x'));
    // Not cut without a word.
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.LastText(), "Der Name hat mehr als 30 Zeichen und wurde gekürzt auf\n„" +
                                     QString(30, 'x') + "“.\nMit „Umbenennen“ können Sie ihn ändern.");
    Knoten(*w, "@" + QString::number(a))->setText(0, QString(30, 'y'));
    EXPECT_EQ(script.Shown().size(), 1u);
    // The current calculation is c; the group edited is a's.
    w->NodeClick(Knoten(*w, "@" + QString::number(c)));
    Knoten(*w, "*" + QString::number(a))->setText(0, "Neubau Süd");
    EXPECT_EQ(std::get<std::string>(Get(b, "Gruppenbezeichnung")), "Neubau Süd");
    EXPECT_EQ(std::get<std::string>(Get(c, "Gruppenbezeichnung")), "Umbau");
    EXPECT_EQ(w->findChild<QLabel*>("Label7")->text(), "Gruppe Neubau Süd");
}

TEST_F(BerAuswahlWindowTest, EditOfferAndSiteSupervisionStoreTotals) {
    const int64_t a = AddBerechnung("A", "Angebot");
    const int64_t b = AddBerechnung("B", "Bauüberwachung");
    editor.speichern = [this](int64_t l) {
        db_->Execute("INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe, HonorarBerNetto) VALUES (?, 1, ?)",
                     velu::db::Params().Add(l).Add(C("1000").Raw()));
    };
    editor.zurueck = {C("50000"), C("2.1"), C("100"), C("0"), C("0"), C("1050"), C("536.8565")};
    auto w = Fenster();
    w->NodeClick(Knoten(*w, "@" + QString::number(a)));
    w->ActiveBar1().Click("Band1", "EDIT");
    EXPECT_EQ(GetCY(a, "Endbetrag"), C("1160"));
    EXPECT_EQ(Feld(*w, 7)->text(), "1.160,00\u00a0DM");
    // Edited: the type is fixed, the print tools open.
    EXPECT_FALSE(w->findChild<QGroupBox*>("Frame1")->isEnabled());
    EXPECT_TRUE(w->ActiveBar1().Enabled("PopupBand1", "PRINTRE"));
    EXPECT_FALSE(w->ActiveBar1().Enabled("PopupBand1", "PRINTAZ"));

    w->NodeClick(Knoten(*w, "@" + QString::number(b)));
    w->ActiveBar1().Click("Band1", "EDIT");
    EXPECT_EQ(GetCY(b, "KOST57"), C("50000"));
    EXPECT_EQ(GetCY(b, "BerNetto"), C("1050"));
    EXPECT_EQ(GetCY(b, "AlDispBerNetto"), C("536.86"));
    EXPECT_EQ(GetCY(b, "Endbetrag"), C("1218"));
    EXPECT_EQ(GetCY(b, "AlDispEndbetrag"), C("622.76"));
}

TEST_F(BerAuswahlWindowTest, DisplaySwitchChangesOnlyDisplayType) {
    const int64_t a = AddBerechnung("R", "Rechnung");
    SetCY(a, "Endbetrag", "1160");
    SetCY(a, "AlDispEndbetrag", "593.1");
    auto w = Fenster();
    EXPECT_EQ(Feld(*w, 7)->text(), "1.160,00\u00a0DM");
    w->ActiveBar1().Click("Band1", "EUR");
    EXPECT_EQ(std::get<int64_t>(Get(a, "DisplayType")), 1);
    EXPECT_EQ(Feld(*w, 7)->text(), "593,10\u00a0€");
    EXPECT_EQ(GetCY(a, "Endbetrag"), C("1160"));
    EXPECT_TRUE(w->ActiveBar1().Checked("Band1", "EUR"));
    EXPECT_FALSE(w->ActiveBar1().Checked("Band1", "DM"));
    EXPECT_EQ(w->findChild<QLabel*>("Label5")->text(), "Berechnungswährung DM");
    w->ActiveBar1().Click("Band1", "DM");
    EXPECT_EQ(std::get<int64_t>(Get(a, "DisplayType")), 0);
}

TEST_F(BerAuswahlWindowTest, TypedAmountsTakenOverInBothCurrencies) {
    const int64_t a = AddBerechnung("R", "Rechnung");
    db_->Execute("UPDATE BeReList SET DisplayType = 1 WHERE LfNr = ?", velu::db::Params().Add(a));
    auto w = Fenster();
    MessageBoxScript script;
    Tippe(*w, 9, "100");
    EXPECT_EQ(GetCY(a, "SummAz"), C("195.58"));
    EXPECT_EQ(GetCY(a, "AlDispSummAz"), C("99.9985"));
    EXPECT_EQ(Feld(*w, 9)->text(), "100,00\u00a0€");
    EXPECT_EQ(GetCY(a, "Endbetrag"), C("-195.58")); // the chain ran
    EXPECT_TRUE(script.Shown().empty());

    struct {
        int feld;
        const char* text;
        const char* meldung;
    } refused[] = {
        {9, "12a", "Die Eingabe muss nummerisch sein"},
        {10, "", "Die Eingabe muss nummerisch sein"},
        {8, "-100", "Der Mehrwertsteuersatz muss größer als -100 sein."},
        // A negative cash discount would raise the amount due.
        {10, "-2", "Die Eingabe muss zwischen 0 und 100 liegen."},
        {10, "101", "Die Eingabe muss zwischen 0 und 100 liegen."},
    };
    for (const auto& r : refused) {
        Tippe(*w, r.feld, r.text);
        EXPECT_EQ(script.LastText(), r.meldung) << r.text;
    }
    EXPECT_EQ(GetCY(a, "SummAz"), C("195.58"));
    EXPECT_EQ(GetCY(a, "SkontoPro"), C("0"));
    EXPECT_EQ(GetCY(a, "MwstPro"), C("16"));
    // Amount fields of the surcharges take input only on hourly-rate and site-supervision invoices.
    EXPECT_TRUE(Feld(*w, 1)->isReadOnly());
    Tippe(*w, 11, "-5");
    EXPECT_EQ(GetCY(a, "StdReNetZuAbPro"), C("-5"));
    for (const char* grenze : {"0", "100"}) {
        Tippe(*w, 10, grenze);
        EXPECT_EQ(GetCY(a, "SkontoPro"), C(grenze));
    }
}

TEST_F(BerAuswahlWindowTest, RightsGovernPrintAndProjectChange) {
    AddBerechnung("R", "Rechnung");
    auto w = Fenster(0);
    EXPECT_FALSE(w->ActiveBar1().Enabled("Band1", "PRINT"));
    w->NodeClick(w->TreeView1()->currentItem());
    EXPECT_FALSE(w->ActiveBar1().Enabled("Band1", "PRINT"));
    emit w->TreeView1()->itemDoubleClicked(w->TreeView1()->topLevelItem(0), 0);
    EXPECT_EQ(host->hoaiAufrufe, 0);

    auto v = Fenster(8191);
    emit v->TreeView1()->itemDoubleClicked(v->TreeView1()->topLevelItem(0), 0);
    EXPECT_EQ(host->hoaiAufrufe, 1);
    EXPECT_TRUE(v->ActiveBar1().Enabled("Band1", "PRINT"));
}

TEST_F(BerAuswahlWindowTest, FindBerechnungThatFindsNothingShowsNothing) {
    const int64_t a = AddBerechnung("R", "Rechnung");
    SetCY(a, "Endbetrag", "10");
    auto w = Fenster();
    EXPECT_FALSE(Feld(*w, 7)->text().isEmpty());
    w->FindBerechnung(QString::number(a + 50));
    EXPECT_TRUE(Feld(*w, 7)->text().isEmpty());
    EXPECT_FALSE(w->ActiveBar1().Enabled("Band1", "EDIT"));
    w->EDITRe();
    EXPECT_EQ(editor.aufrufe, 0);
}

namespace {
void Maus(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
} // namespace

TEST_F(BerAuswahlWindowTest, SplitterDividesTreeAndTabsAndKeepsTheDraggedPosition) {
    AddBerechnung("A", "Angebot", 0, 0, "Neubau");
    auto w = Fenster();
    w->resize(1000, 600);
    w->show();
    QApplication::processEvents();
    velu::avbSplitterH& s = w->SplitterH();
    QWidget* container = w->findChild<QWidget*>("picSplitterHContainer");
    QWidget* bar = w->findChild<QWidget*>("picSplitterHBar");
    ASSERT_TRUE(container && bar);
    EXPECT_EQ(s.Name(), "SplitterH");
    EXPECT_EQ(s.ControlLeft(), w->TreeView1());
    EXPECT_EQ(s.ControlRight()->objectName(), "SSTab1");
    EXPECT_EQ(s.MinLeft(), 100);
    EXPECT_EQ(s.MinRight(), 100);
    EXPECT_EQ(s.SplitPos(), 272);
    EXPECT_EQ(w->TreeView1()->width(), 271);
    EXPECT_EQ(bar->geometry().left(), 271);
    EXPECT_EQ(bar->width(), 3);

    struct Zug {
        int nach;     // where the mouse is released, in container pixels
        int splitPos; // where the bar stands then
    };
    const int breite = container->contentsRect().width();
    for (const Zug& z : {Zug{400, 400}, Zug{20, 100}, Zug{breite + 50, breite - 101}}) {
        SCOPED_TRACE(z.nach);
        Maus(bar, QEvent::MouseButtonPress, {1, 10}, Qt::LeftButton, Qt::LeftButton);
        EXPECT_EQ(s.Mode(), 1);
        EXPECT_TRUE(w->TreeView1()->isEnabled()); // both panes stay usable while dragging
        Maus(container, QEvent::MouseMove, {z.nach, 10}, Qt::NoButton, Qt::LeftButton);
        Maus(container, QEvent::MouseButtonRelease, {z.nach, 10}, Qt::LeftButton, Qt::NoButton);
        EXPECT_EQ(s.Mode(), 0);
        EXPECT_EQ(s.SplitPos(), z.splitPos);
        EXPECT_EQ(w->TreeView1()->width(), z.splitPos - 1);
        EXPECT_EQ(s.ControlRight()->geometry().left(), z.splitPos + 2);
    }
    // The dragged position stays when the window changes its size.
    Maus(bar, QEvent::MouseButtonPress, {1, 10}, Qt::LeftButton, Qt::LeftButton);
    Maus(container, QEvent::MouseMove, {350, 10}, Qt::NoButton, Qt::LeftButton);
    Maus(container, QEvent::MouseButtonRelease, {350, 10}, Qt::LeftButton, Qt::NoButton);
    w->resize(1200, 700);
    QApplication::processEvents();
    EXPECT_EQ(s.SplitPos(), 350);
    EXPECT_EQ(w->TreeView1()->width(), 349);
    EXPECT_EQ(s.ControlRight()->geometry().right(), container->contentsRect().right());
}

TEST_F(BerAuswahlWindowTest, TypedTotalAndItsChainAreStoredTogetherOrNotAtAll) {
    const int64_t a = AddBerechnung("R", "Rechnung");
    auto w = Fenster();
    MessageBoxScript script;
    // The chain fails after the typed amount was written.
    db_->Execute("CREATE TRIGGER kaputt BEFORE UPDATE OF Endbetrag ON BeReList "
                 "WHEN NEW.Endbetrag IS NOT OLD.Endbetrag BEGIN SELECT RAISE(ABORT, 'Schreibfehler'); END");
    Tippe(*w, 9, "100");
    EXPECT_NE(script.LastText().indexOf("Schreibfehler"), -1);
    EXPECT_EQ(GetCY(a, "SummAz"), C("0"));
    EXPECT_EQ(GetCY(a, "Endbetrag"), C("0"));
    // The typed amount is kept and taken over once the database writes again.
    EXPECT_EQ(Feld(*w, 9)->text(), "100");
    db_->Execute("DROP TRIGGER kaputt");
    EXPECT_TRUE(w->Convert2NormWährung(9));
    EXPECT_EQ(GetCY(a, "SummAz"), C("100"));
    EXPECT_EQ(GetCY(a, "Endbetrag"), C("-100"));
}

TEST_F(BerAuswahlWindowTest, DataHeldByAnotherUserIsReportedInGermanAndTheInputKept) {
    const int64_t a = AddBerechnung("R", "Rechnung");
    auto w = Fenster();
    MessageBoxScript script;
    auto anderer = velu::db::Database::Open(db_->Path());
    ASSERT_TRUE(anderer);
    sqlite3_busy_timeout(db_->Handle(), 50);
    {
        velu::db::Transaction halten(*anderer);
        Tippe(*w, 10, "3");
        EXPECT_EQ(script.LastText(),
                  "Die Daten werden gerade von einem anderen Benutzer geändert. Bitte versuchen "
                  "Sie es noch einmal.");
        EXPECT_EQ(Feld(*w, 10)->text(), "3");
        EXPECT_EQ(GetCY(a, "SkontoPro"), C("0"));
    }
    EXPECT_TRUE(w->Convert2NormWährung(10));
    EXPECT_EQ(GetCY(a, "SkontoPro"), C("3"));
}
