#include "GridEnter.h"
#include "KalenderTippen.h"
#include "RegisterFixture.h"
#include "TestApp.h"
#include "Zeilenfelder.h"
#include "core/CurrencyPrint.h"
#include "core/MoneyFormat.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/Eingabemeldungen.h"
#include "platform/forms/EinzeiligeFelder.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "register/BerAnlage.h"
#include "register/BerAuswahl.h"
#include "register/ZahlungenTab.h"
#include "ui/DatePicSSDB.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

using velu::Currency;
using velu::db::Params;
using velu::forms::MessageBoxScript;
using velu::forms::MsgResult;
using namespace velu::reg;

namespace {
Currency C(const char* s) {
    return Currency::FromString(s);
}

struct DruckProtokoll : DruckAufruf {
    struct Aufruf {
        std::string was;
        int art = 0;
        std::vector<int64_t> liste;
        int64_t lfnr = 0;
        int64_t ursprung = 0;
        QString text;
    };
    std::vector<Aufruf> aufrufe;
    void Bericht(int index, const QString& caption, int64_t lfnr, const QString& nummer,
                 int64_t ursprung) override {
        aufrufe.push_back({"Bericht", index, {}, lfnr, ursprung, caption + "|" + nummer});
    }
    void Rechnung(int art, const QString& datum, int, int, int64_t lfnr) override {
        aufrufe.push_back({"Rechnung", art, {}, lfnr, 0, datum});
    }
    void Zusammenstellung(const std::vector<int64_t>& liste, const QString&, int, int,
                          int64_t lfnr) override {
        aufrufe.push_back({"Zusammenstellung", DokumentZusammenstellung, liste, lfnr, 0, {}});
    }
};

struct KeinEditor : BerechnungEditor {
    EditorErgebnis EditGrunddaten(int64_t, int, int, int, const std::string&) override {
        return EditorErgebnis::Geschlossen;
    }
    EditorErgebnis EditStdRech(int64_t, int, int, const std::string&) override {
        return EditorErgebnis::Geschlossen;
    }
    EditorErgebnis EditParag57(int64_t, Parag57Daten&, int, int) override {
        return EditorErgebnis::Geschlossen;
    }
};

struct OpsHost : RegisterHost {
    velu::db::Database* db;
    DruckProtokoll* druck;
    KeinEditor editor;
    OpsHost(velu::db::Database* d, DruckProtokoll* p) : db(d), druck(p) {}
    velu::db::Database* ProjektDB() override { return db; }
    QString ProjektText() override { return "P-1"; }
    uint32_t AktRechte() override { return 8191; }
    BerechnungEditor& Editor() override { return editor; }
    DruckAufruf& Drucken() override { return druck ? *druck : RegisterHost::Drucken(); }
    Currency MwStSatz() override { return C("19"); }
    std::function<void()> projektWechsel;
    void CallShowHoai(bool& gewechselt) override {
        gewechselt = false;
        if (projektWechsel) projektWechsel();
    }
};
} // namespace

class RegisterOpsTest : public ProjektFixture {
protected:
    void SetUp() override {
        testApp();
        ProjektFixture::SetUp();
    }
    std::unique_ptr<BerAuswahl> Fenster(bool eigenerDruck = true) {
        return std::make_unique<BerAuswahl>(
            std::make_unique<OpsHost>(db_.get(), eigenerDruck ? &druck : nullptr));
    }
    QTreeWidgetItem* Knoten(BerAuswahl& w, const QString& key) {
        QTreeWidgetItemIterator it(w.TreeView1());
        for (; *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toString() == key) return *it;
        return nullptr;
    }
    QTreeWidgetItem* Berechnung(BerAuswahl& w, int64_t nr) { return Knoten(w, "@" + QString::number(nr)); }
    QString Aktuell(BerAuswahl& w) { return w.TreeView1()->currentItem()->data(0, Qt::UserRole).toString(); }
    int64_t Zaehle(const std::string& sql, int64_t nr) {
        return db_->OpenRecordset(sql, Params().Add(nr)).GetInt("n");
    }
    void Zahlung(int64_t nr, int64_t ursprung, const char* betrag, const char* alDisp) {
        db_->Execute(
            "INSERT INTO Zahlung (LfNrBeReList, Ursprung, Zahlung, AlDispZahlung) VALUES (?, ?, ?, ?)",
            Params().Add(nr).Add(ursprung).Add(C(betrag).Raw()).Add(C(alDisp).Raw()));
    }
    DruckProtokoll druck;
};

TEST_F(RegisterOpsTest, AddThroughTheDialogSelectsTheNewCalculation) {
    AddBerechnung("A", "Angebot", 0, 0, "Neubau");
    auto w = Fenster();
    bool gefunden = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<BerAnlage*>(QApplication::activeModalWidget());
        if (!d) {
            if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
            return;
        }
        gefunden = true;
        EXPECT_EQ(d->findChild<QLineEdit*>("XtraText1(0)")->text(), "Gruppe 2");
        d->findChild<QLineEdit*>("XtraText1(1)")->setText("7");
        d->findChild<QLineEdit*>("XtraText1(2)")->setText("Stunden");
        d->findChild<QRadioButton*>("Option1(2)")->setChecked(true);
        d->ActiveBar1().Click("Band1", "OK");
    });
    w->ActiveBar1().Click("Band1", "ADD");
    ASSERT_TRUE(gefunden);
    QTreeWidgetItem* n = w->TreeView1()->currentItem();
    ASSERT_TRUE(n);
    EXPECT_EQ(n->text(0), "Stunden");
    const int64_t nr = Aktuell(*w).mid(1).toLongLong();
    EXPECT_EQ(n->parent()->data(0, Qt::UserRole).toString(), "*" + QString::number(nr));
    EXPECT_EQ(n->parent()->text(0), "Gruppe 2");
    EXPECT_EQ(GetCY(nr, "MwstPro"), C("19"));
    EXPECT_EQ(w->Register()->CurrentLfNr(), nr);
    // An hourly-rate invoice has payments: the grid is bound to it.
    EXPECT_EQ(w->Zahlungen()->LfNr(), nr);
}

TEST_F(RegisterOpsTest, CopyAndDeleteThroughTheTools) {
    const int64_t a = AddBerechnung("A", "Angebot", 0, 0, "Neubau");
    auto w = Fenster();
    w->ActiveBar1().Click("Band1", "COPY");
    const int64_t kopie = Aktuell(*w).mid(1).toLongLong();
    ASSERT_NE(kopie, a);
    EXPECT_EQ(w->TreeView1()->currentItem()->text(0), "Kopie Angebot");
    EXPECT_EQ(w->TreeView1()->currentItem()->parent()->data(0, Qt::UserRole).toString(),
              "*" + QString::number(a));
    EXPECT_EQ(w->Register()->ReType(), "R");

    {
        MessageBoxScript script({MsgResult::No});
        w->ActiveBar1().Click("Band1", "DEL");
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, "Soll diese Berechnung wirklich gelöscht werden");
        EXPECT_EQ(script.Shown()[0].defaultButton, 1);
        EXPECT_EQ(script.Shown()[0].buttons, velu::forms::MsgButtons::YesNo);
    }
    EXPECT_EQ(Zaehle("SELECT Count(*) AS n FROM BeReList WHERE LfNr = ?", kopie), 1);
    {
        MessageBoxScript script({MsgResult::Yes});
        w->ActiveBar1().Click("Band1", "DEL");
    }
    EXPECT_EQ(Zaehle("SELECT Count(*) AS n FROM BeReList WHERE LfNr = ?", kopie), 0);
    EXPECT_EQ(Aktuell(*w), "@" + QString::number(a));
    {
        // The group node: nothing is asked, nothing deleted.
        MessageBoxScript script({MsgResult::Yes});
        w->TreeView1()->setCurrentItem(Knoten(*w, "*" + QString::number(a)));
        w->KillBerechnung();
        w->CopyBerechnung();
        EXPECT_TRUE(script.Shown().empty());
    }
    w->TreeView1()->setCurrentItem(Berechnung(*w, a));
    {
        MessageBoxScript script({MsgResult::Yes});
        w->ActiveBar1().Click("Band1", "DEL");
    }
    // The only calculation deleted: the root is selected.
    EXPECT_EQ(Aktuell(*w), "+");
    EXPECT_EQ(w->findChild<QLabel*>("Label7")->text(), "Projet P-1  ");
}

TEST_F(RegisterOpsTest, FailedCopyOrDeleteIsShownAndLeavesTheTree) {
    const int64_t a = AddBerechnung("A", "Angebot", 0, 0, "Neubau");
    db_->Execute("INSERT INTO ZuLP (LfNrBeReList) VALUES (?)", Params().Add(a));
    auto w = Fenster();
    db_->Execute("CREATE TEMP TRIGGER Fehler BEFORE INSERT ON ZuLP BEGIN SELECT RAISE(ABORT, 'voll'); END");
    db_->Execute(
        "CREATE TEMP TRIGGER Fehler2 BEFORE DELETE ON ZuLP BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    MessageBoxScript script;
    w->ActiveBar1().Click("Band1", "COPY");
    EXPECT_TRUE(script.LastText().startsWith("Die Berechnung konnte nicht kopiert werden: "))
        << script.LastText().toStdString();
    script.Answer(MsgResult::Yes);
    w->ActiveBar1().Click("Band1", "DEL");
    EXPECT_TRUE(script.LastText().startsWith("Die Berechnung konnte nicht gelöscht werden: "));
    EXPECT_EQ(Zaehle("SELECT Count(*) AS n FROM BeReList WHERE LfNr >= ?", a), 1);
    EXPECT_EQ(Zaehle("SELECT Count(*) AS n FROM ZuLP WHERE LfNrBeReList = ?", a), 1);
    EXPECT_EQ(Aktuell(*w), "@" + QString::number(a));
    EXPECT_EQ(w->TreeView1()->topLevelItem(0)->child(0)->childCount(), 1);
}

TEST_F(RegisterOpsTest, GroupRenameTrimmedAndEmptyNameRefused) {
    const int64_t a = AddBerechnung("R", "a", 0, 0, "Neubau");
    const int64_t b = AddBerechnung("R", "b", 0, a, "Neubau");
    auto w = Fenster();
    MessageBoxScript script;
    Knoten(*w, "*" + QString::number(a))->setText(0, "  Neubau Nord  ");
    EXPECT_EQ(std::get<std::string>(Get(b, "Gruppenbezeichnung")), "Neubau Nord");
    EXPECT_EQ(Knoten(*w, "*" + QString::number(a))->text(0), "Neubau Nord");
    Knoten(*w, "*" + QString::number(a))->setText(0, "   ");
    EXPECT_EQ(script.LastText(), "Es wird eine Eingabe erwartet für „Gruppenbezeichnung“.");
    EXPECT_EQ(std::get<std::string>(Get(b, "Gruppenbezeichnung")), "Neubau Nord");
    EXPECT_EQ(Knoten(*w, "*" + QString::number(a))->text(0), "Neubau Nord");
}

TEST_F(RegisterOpsTest, PaymentsGridBoundToTheCurrentCalculationOnly) {
    const int64_t r1 = AddBerechnung("R", "Rechnung 1", 0, 0, "Neubau");
    db_->Execute("UPDATE BeReList SET DisplayType = 1 WHERE LfNr = ?", Params().Add(r1));
    const int64_t r2 = AddBerechnung("R", "Rechnung 2", 0, r1, "Neubau");
    const int64_t o = AddBerechnung("A", "Angebot", 0, 0, "Umbau");
    Zahlung(r2, r1, "10", "5.1129");
    auto w = Fenster();
    ZahlungenTab* z = w->Zahlungen();
    w->NodeClick(Berechnung(*w, r1));
    ASSERT_EQ(z->LfNr(), r1);
    auto* grid = z->SSDBGrid1();
    EXPECT_TRUE(grid->isColumnHidden(ZahlungenTab::Betrag));
    EXPECT_FALSE(grid->isColumnHidden(ZahlungenTab::AlDispBetrag));
    velu::forms::BoundGridModel* m = z->Model();
    ASSERT_EQ(m->StoredRows(), 0);

    MessageBoxScript script;
    // 100 typed in euro into a DM calculation.
    ASSERT_TRUE(m->setData(m->index(0, ZahlungenTab::AlDispBetrag), "100"));
    ASSERT_TRUE(m->Commit());
    auto rs = db_->OpenRecordset("SELECT * FROM Zahlung WHERE LfNrBeReList = ?", Params().Add(r1));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(velu::GetCY(rs, "Zahlung"), C("195.58"));
    EXPECT_EQ(velu::GetCY(rs, "AlDispZahlung"), C("99.9985"));
    EXPECT_EQ(rs.GetInt("Ursprung"), r1);
    EXPECT_EQ(m->data(m->index(0, ZahlungenTab::AlDispBetrag)).toString(), "100,00\u00a0€");
    EXPECT_FALSE(m->setData(m->index(0, ZahlungenTab::AlDispBetrag), "12a"));
    EXPECT_EQ(script.LastText(), "Die Eingabe muss nummerisch sein");

    // Shown in DM: the main column, typed as it stands.
    w->ActiveBar1().Click("Band1", "DM");
    EXPECT_FALSE(grid->isColumnHidden(ZahlungenTab::Betrag));
    EXPECT_TRUE(grid->isColumnHidden(ZahlungenTab::AlDispBetrag));

    // A row typed but not yet stored goes to the calculation it was typed for.
    w->NodeClick(Berechnung(*w, r2));
    ASSERT_EQ(z->LfNr(), r2);
    m = z->Model();
    EXPECT_EQ(m->StoredRows(), 1);
    ASSERT_TRUE(m->setData(m->index(1, ZahlungenTab::Bemerkung), "Rate 2"));
    w->NodeClick(Berechnung(*w, r1));
    EXPECT_EQ(Zaehle("SELECT Count(*) AS n FROM Zahlung WHERE LfNrBeReList = ?", r2), 2);
    EXPECT_EQ(Zaehle("SELECT Count(*) AS n FROM Zahlung WHERE LfNrBeReList = ?", r1), 1);

    // An offer has no payments: the grid is unbound, not left on the invoice's rows.
    w->NodeClick(Berechnung(*w, o));
    auto* tab = w->findChild<QTabWidget*>("SSTab1");
    EXPECT_FALSE(tab->isTabEnabled(1));
    EXPECT_FALSE(z->Bound());
    // Turned into an invoice before its first edit: bound to its own (no) payments.
    w->findChild<QRadioButton*>("Option1(1)")->click();
    EXPECT_TRUE(tab->isTabEnabled(1));
    EXPECT_EQ(z->LfNr(), o);
    EXPECT_EQ(z->Model()->StoredRows(), 0);
}

TEST_F(RegisterOpsTest, PaymentDeletionAsksWithNoAsDefaultAndDatesComeFromThePicker) {
    const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    Zahlung(r, r, "10", "5.1129");
    auto w = Fenster();
    ZahlungenTab* z = w->Zahlungen();
    velu::forms::BoundGridModel* m = z->Model();
    ASSERT_TRUE(m);

    z->SSDBGrid1()->setCurrentIndex(m->index(0, ZahlungenTab::Datum));
    z->DatumKnopf();
    EXPECT_TRUE(z->PickerOffen());
    emit z->DatePicSSDB1()->DateAction("24.12.2026", velu::DatePicSSDB::ActionClicked);
    EXPECT_FALSE(z->PickerOffen());
    ASSERT_TRUE(z->Commit());
    auto rs = db_->OpenRecordset("SELECT Datum FROM Zahlung WHERE LfNrBeReList = ?", Params().Add(r));
    EXPECT_EQ(rs.GetText("Datum"), "2026-12-24");
    // A date that is none is refused; the stored date stays.
    {
        MessageBoxScript script;
        EXPECT_FALSE(m->setData(m->index(0, ZahlungenTab::Datum), "31.02.2026"));
        EXPECT_EQ(script.LastText(), "Datum:\n„31.02.2026“ ist kein Datum. Bitte geben Sie das Datum als "
                                     "TT.MM.JJJJ ein.");
    }
    ASSERT_TRUE(z->Commit());
    rs.Requery();
    EXPECT_EQ(rs.GetText("Datum"), "2026-12-24");

    for (MsgResult antwort : {MsgResult::No, MsgResult::Yes}) {
        MessageBoxScript script({antwort});
        EXPECT_EQ(m->DeleteRow(0), antwort == MsgResult::Yes);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text,
                  "Soll(en) die markierte(n) Zahlung(en) gelöscht werden\n\n24.12.2026   10,00\u00a0DM");
        EXPECT_EQ(script.Shown()[0].defaultButton, 1);
    }
    EXPECT_EQ(Zaehle("SELECT Count(*) AS n FROM Zahlung WHERE LfNrBeReList = ?", r), 0);
}

// A date typed into the calendar of a payment's date is stored whole, or refused aloud while the stored date
// stays.
TEST_F(RegisterOpsTest, DateTypedIntoThePaymentsCalendar) {
    const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    Zahlung(r, r, "10", "5.1129");
    auto w = Fenster();
    w->resize(1100, 650);
    w->show();
    w->NodeClick(Berechnung(*w, r));
    w->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
    ZahlungenTab* z = w->Zahlungen();
    auto rs = db_->OpenRecordset("SELECT Datum FROM Zahlung WHERE LfNrBeReList = ?", Params().Add(r));
    for (const QString getippt : {"01.02.2026", "20.03.26", "200326"}) {
        SCOPED_TRACE(getippt.toStdString());
        const auto meldungen = velu::eingabe::DatumImKalender(
            *z->SSDBGrid1(), z->Model()->index(0, ZahlungenTab::Datum), *z->DatePicSSDB1(), getippt);
        EXPECT_EQ(meldungen.size(), getippt.size() == 10 ? 0u : 1u);
        if (!meldungen.empty()) {
            EXPECT_EQ(meldungen[0], velu::forms::KeinDatumMeldung(getippt));
        }
        EXPECT_FALSE(z->PickerOffen());
        ASSERT_TRUE(z->Commit());
        rs.Requery();
        EXPECT_EQ(rs.GetText("Datum"), "2026-02-01");
    }
}

TEST_F(RegisterOpsTest, EarlierPaymentsTakenOverAsPaymentsOnAccount) {
    const int64_t r1 = AddBerechnung("R", "1.", 0, 0, "Neubau");
    const int64_t r2 = AddBerechnung("R", "2.", 1, r1, "Neubau");
    const int64_t r3 = AddBerechnung("R", "3.", 0, r1, "Neubau");
    Zahlung(r1, r1, "100", "51.1292");
    Zahlung(r2, r1, "50", "97.7915");
    Zahlung(r3, r1, "999", "510.7806");
    auto w = Fenster();
    w->NodeClick(Berechnung(*w, r3));
    w->findChild<QToolButton*>("Command1")->click();
    EXPECT_EQ(GetCY(r3, "SummAz"), C("197.79"));
    EXPECT_EQ(GetCY(r3, "AlDispSummAz"), velu::DMEuroUmrechnung(C("197.79"), 1));
    EXPECT_EQ(GetCY(r3, "Endbetrag"), C("-197.79"));
    EXPECT_EQ(w->findChild<QLineEdit*>("XtraText2(9)")->text(), "197,79\u00a0DM");
}

TEST_F(RegisterOpsTest, MarksAndTheSummary) {
    const int64_t a = AddBerechnung("R", "a", 0, 0, "Neubau");
    const int64_t b = AddBerechnung("R", "b", 0, 0, "Umbau");
    const int64_t c = AddBerechnung("R", "c", 0, a, "Neubau");
    auto w = Fenster();
    QTreeWidgetItem* gruppe = Knoten(*w, "*" + QString::number(a));
    w->TreeView1()->setCurrentItem(gruppe);
    w->ToolClick("MARK");
    EXPECT_TRUE(w->MarkModus());
    EXPECT_TRUE(w->ActiveBar1().Enabled("POPUPLINKS", "UNMARK"));
    EXPECT_EQ(gruppe->checkState(0), Qt::Unchecked);
    // The user's mark on a group is taken back at once.
    gruppe->setCheckState(0, Qt::Checked);
    EXPECT_EQ(gruppe->checkState(0), Qt::Unchecked);

    MessageBoxScript script;
    Berechnung(*w, b)->setCheckState(0, Qt::Checked);
    w->CallReZusammenstellung();
    EXPECT_EQ(script.LastText(), "Es sind nicht genügent Rechnungen angewählt");
    EXPECT_TRUE(druck.aufrufe.empty());
    // Marked in the order b, c; listed in tree order (group Neubau first).
    w->TreeView1()->setCurrentItem(Berechnung(*w, c));
    w->ToolClick("MARK");
    w->NodeClick(Berechnung(*w, b));
    w->CallReZusammenstellung();
    ASSERT_EQ(druck.aufrufe.size(), 1u);
    EXPECT_EQ(druck.aufrufe[0].art, 4);
    EXPECT_EQ(druck.aufrufe[0].liste, (std::vector<int64_t>{c, b}));
    EXPECT_EQ(druck.aufrufe[0].lfnr, b);

    w->ToolClick("UNMARK");
    EXPECT_FALSE(w->MarkModus());
    EXPECT_FALSE(w->ActiveBar1().Enabled("POPUPLINKS", "UNMARK"));
    EXPECT_FALSE(Berechnung(*w, c)->data(0, Qt::CheckStateRole).isValid());
    w->CallReZusammenstellung();
    EXPECT_EQ(druck.aufrufe.size(), 1u);
}

TEST_F(RegisterOpsTest, PrintCallsPassTheDocumentKindOfTheStoredType) {
    struct {
        const char* typ;
        int art; // 0: no call
    } faelle[] = {{"A", 1}, {"R", 2}, {"B", 3}, {"S", 5}, {"E", 6}, {"V", 7}, {"X", 0}, {"", 0}};
    for (const auto& f : faelle)
        AddBerechnung(f.typ, f.typ);
    auto w = Fenster();
    int64_t nr = 0;
    for (const auto& f : faelle) {
        ++nr;
        druck.aufrufe.clear();
        w->NodeClick(Berechnung(*w, nr));
        w->CallREPRINT(1);
        if (f.art == 0) {
            EXPECT_TRUE(druck.aufrufe.empty()) << f.typ;
            continue;
        }
        ASSERT_EQ(druck.aufrufe.size(), 1u) << f.typ;
        EXPECT_EQ(druck.aufrufe[0].art, f.art) << f.typ;
        EXPECT_EQ(druck.aufrufe[0].lfnr, nr);
    }
    druck.aufrufe.clear();
    w->CallREPRINT(0);
    ASSERT_EQ(druck.aufrufe.size(), 1u);
    EXPECT_EQ(druck.aufrufe[0].art, 4);

    // The report tools after the first edit, with the tool's caption and the calculation's group.
    db_->Execute("UPDATE BeReList SET Modif = -1, ReNummer = 'R-9' WHERE LfNr = 2");
    w->RefreshConection();
    w->NodeClick(Berechnung(*w, 2));
    druck.aufrufe.clear();
    ASSERT_TRUE(w->ActiveBar1().Click("PopupBand1", "PRINTZULP"));
    ASSERT_TRUE(w->ActiveBar1().Click("PopupBand1", "PRINTRE"));
    ASSERT_EQ(druck.aufrufe.size(), 2u);
    EXPECT_EQ(druck.aufrufe[0].was, "Bericht");
    EXPECT_EQ(druck.aufrufe[0].art, 14);
    EXPECT_EQ(druck.aufrufe[0].text, "Zuschläge je Leistungsphase|R-9");
    EXPECT_EQ(druck.aufrufe[0].ursprung, 2);
    EXPECT_EQ(druck.aufrufe[1].art, 2);
}

TEST_F(RegisterOpsTest, PrintingSaysItComesLater) {
    AddBerechnung("R", "r");
    auto w = Fenster(false);
    MessageBoxScript script;
    w->CallREPRINT(1);
    EXPECT_EQ(script.LastText(), "Das Drucken ist noch nicht verfügbar.");
}

TEST_F(RegisterOpsTest, MessagesInsideTheMdiAreaBearTheRegistersCaption) {
    const int64_t a = AddBerechnung("R", "a", 0, 0, "Neubau");
    AddBerechnung("R", "b", 0, a, "Neubau");
    Zahlung(a, a, "10", "5.1129");
    QMainWindow haupt;
    haupt.setWindowTitle("Velunta 4.0");
    auto* mdi = new QMdiArea(&haupt);
    haupt.setCentralWidget(mdi);
    BerAuswahl* w = Fenster().release();
    mdi->addSubWindow(w);
    w->NodeClick(Berechnung(*w, a));
    velu::forms::BoundGridModel* m = w->Zahlungen()->Model();
    ASSERT_TRUE(m);
    struct {
        const char* text;
        std::function<void()> aktion;
    } faelle[] = {
        {"Soll diese Berechnung wirklich gelöscht werden", [&] { w->KillBerechnung(); }},
        {"Es sind nicht genügent Rechnungen angewählt",
         [&] {
             w->Mark();
             w->CallReZusammenstellung();
         }},
        {"Soll(en) die markierte(n) Zahlung(en) gelöscht werden", [&] { m->DeleteRow(0); }},
        {"Die Eingabe muss nummerisch sein", [&] { m->setData(m->index(0, ZahlungenTab::Betrag), "zehn"); }},
    };
    for (const auto& f : faelle) {
        MessageBoxScript script({MsgResult::No});
        f.aktion();
        ASSERT_EQ(script.Shown().size(), 1u) << f.text;
        // The payment question goes on with the payment it names.
        EXPECT_TRUE(script.Shown()[0].text.startsWith(QString::fromUtf8(f.text)))
            << script.Shown()[0].text.toStdString();
        EXPECT_EQ(script.Shown()[0].title, "HOAI Berechnungen") << f.text;
    }
    EXPECT_EQ(Zaehle("SELECT Count(*) AS n FROM Zahlung WHERE LfNrBeReList = ?", a), 1);
}

TEST_F(RegisterOpsTest, PendingPaymentWrittenBeforeTheRootsProjectSwitch) {
    const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    auto host = std::make_unique<OpsHost>(db_.get(), &druck);
    OpsHost* h = host.get();
    auto w = std::make_unique<BerAuswahl>(std::move(host));
    int64_t beimWechsel = -1;
    h->projektWechsel = [&] {
        beimWechsel = Zaehle("SELECT Count(*) AS n FROM Zahlung WHERE LfNrBeReList = ?", r);
    };
    w->NodeClick(Berechnung(*w, r));
    velu::forms::BoundGridModel* m = w->Zahlungen()->Model();
    ASSERT_TRUE(m->setData(m->index(0, ZahlungenTab::Bemerkung), "Rate 1"));
    emit w->TreeView1()->itemDoubleClicked(w->TreeView1()->topLevelItem(0), 0);
    EXPECT_EQ(beimWechsel, 1);
}

TEST_F(RegisterOpsTest, PaymentsGridStoresNoRowNothingWasTypedIntoAndShowsItsTexts) {
    const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    const int64_t leer = AddBerechnung("R", "Rechnung 2", 0, 0, "Neubau");
    Zahlung(r, r, "30000000", "15338756.4");
    db_->Execute("UPDATE Zahlung SET Bemerkung = '1. Abschlagszahlung', Datum = '2026-03-01'");
    auto w = Fenster();
    w->resize(1200, 700);
    w->show();
    ZahlungenTab* z = w->Zahlungen();
    w->NodeClick(Berechnung(*w, r));
    auto* grid = z->SSDBGrid1();
    velu::forms::BoundGridModel* m = z->Model();
    ASSERT_EQ(m->StoredRows(), 1);

    MessageBoxScript script;
    // Tab from cell to cell through the new-row line, then a click on the stored payment.
    for (int spalte : {ZahlungenTab::Bemerkung, ZahlungenTab::Datum, ZahlungenTab::Betrag}) {
        grid->setCurrentIndex(m->index(1, spalte));
        grid->edit(m->index(1, spalte));
        grid->CommitEditor();
    }
    grid->setCurrentIndex(m->index(0, ZahlungenTab::Bemerkung));
    EXPECT_EQ(Zaehle("SELECT Count(*) AS n FROM Zahlung WHERE LfNrBeReList = ?", r), 1);
    EXPECT_TRUE(script.Shown().empty());

    // The remark, the date and the largest amounts are shown whole, on one line.
    const QFontMetrics fm(grid->font());
    for (int spalte : {ZahlungenTab::Bemerkung, ZahlungenTab::Datum, ZahlungenTab::Betrag}) {
        const QString text = m->data(m->index(0, spalte)).toString();
        SCOPED_TRACE(text.toStdString());
        EXPECT_GT(grid->columnWidth(spalte), fm.horizontalAdvance(text));
    }
    EXPECT_FALSE(grid->wordWrap());

    // Without payments yet, a date typed into the new-row line fits too.
    w->NodeClick(Berechnung(*w, leer));
    ASSERT_EQ(z->Model()->StoredRows(), 0);
    EXPECT_GT(grid->columnWidth(ZahlungenTab::Datum), fm.horizontalAdvance("01.12.2026"));
}

TEST_F(RegisterOpsTest, PaymentsGridEnterAfterARefusedAmountKeepsTheOldValueAndTheCursor) {
    const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    Zahlung(r, r, "100", "51.129");
    auto w = Fenster();
    w->show();
    ZahlungenTab* z = w->Zahlungen();
    w->NodeClick(Berechnung(*w, r));
    w->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
    auto* grid = z->SSDBGrid1();
    velu::forms::BoundGridModel* m = z->Model();
    // The amount column of the display currency is the one shown.
    const int betrag =
        grid->isColumnHidden(ZahlungenTab::Betrag) ? ZahlungenTab::AlDispBetrag : ZahlungenTab::Betrag;
    struct Fall {
        int row;
        const char* text;
        bool refused;
    } faelle[] = {{0, "12a", true}, {1, "x1", true}, {0, "250", false}};
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.text);
        const QModelIndex zelle = m->index(f.row, betrag);
        const QString vorher = m->data(zelle).toString();
        const auto gezeigt = velu::eingabe::MitEnterEingeben(*grid, zelle, f.text);
        EXPECT_EQ(gezeigt, f.refused ? std::vector<QString>{"Die Eingabe muss nummerisch sein"}
                                     : std::vector<QString>{});
        if (f.refused) {
            EXPECT_EQ(m->data(zelle).toString(), vorher);
        }
        EXPECT_EQ(grid->currentIndex(), zelle);
        EXPECT_EQ(grid->window()->focusWidget(), grid);
        ASSERT_TRUE(z->Commit());
    }
    EXPECT_EQ(Zaehle("SELECT Count(*) AS n FROM Zahlung WHERE LfNrBeReList = ?", r), 1);
    EXPECT_TRUE(m->data(m->index(0, betrag)).toString().startsWith("250,00"));
}

// The payments tab as a clerk works it: the window shown, the payments tab chosen, keys and clicks.
class ZahlungenTippen : public RegisterOpsTest {
protected:
    std::unique_ptr<BerAuswahl> Gezeigt(int64_t nr) {
        auto w = Fenster();
        w->resize(1100, 650);
        w->show();
        w->NodeClick(Berechnung(*w, nr));
        w->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
        QApplication::processEvents();
        grid = w->Zahlungen()->SSDBGrid1();
        grid->setFocus();
        return w;
    }
    // The cell chosen with the keyboard's focus on the grid.
    void Zelle(int row, int column) {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
    }
    std::vector<std::string> Gespeichert(int64_t nr) {
        auto rs = db_->OpenRecordset("SELECT Datum, Zahlung, Bemerkung FROM Zahlung WHERE LfNrBeReList = ? "
                                     "ORDER BY LfNr",
                                     Params().Add(nr));
        std::vector<std::string> zeilen;
        for (int i = 0; i < rs.RecordCount(); ++i) {
            rs.SetAbsolutePosition(i);
            zeilen.push_back(rs.GetText("Datum") + " " + velu::GetCY(rs, "Zahlung").ToString() + " " +
                             rs.GetText("Bemerkung"));
        }
        return zeilen;
    }
    velu::forms::BoundGridView* grid = nullptr;
};

TEST_F(ZahlungenTippen, EscapeDropsTheUnfinishedPaymentAndLeavesTheRegisterOpen) {
    using velu::eingabe::Taste;
    using velu::eingabe::Tasten;
    const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    Zahlung(r, r, "1000", "511.2919");
    struct Fall {
        const char* name;
        int row; // 1: the new-row line
        int escapes;
        bool offen;
        std::vector<std::string> danach;
    } faelle[] = {
        // Text, Tab into the date (its editor opens), Escape closes that editor, Escape drops the row.
        {"new row, two escapes", 1, 2, true, {" 1000.0000 "}},
        {"new row, a third escape closes the register", 1, 3, false, {" 1000.0000 "}},
        // A changed remark of a stored payment goes back to what is stored.
        {"stored row", 0, 2, true, {" 1000.0000 "}},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        MessageBoxScript script;
        auto w = Gezeigt(r);
        Zelle(f.row, ZahlungenTab::Bemerkung);
        Tasten(*grid, "Anzahlung");
        Taste(*grid, Qt::Key_Tab);
        ASSERT_TRUE(w->Zahlungen()->Model()->HasPending());
        for (int i = 0; i < f.escapes; ++i)
            Taste(*grid, Qt::Key_Escape);
        EXPECT_EQ(w->isVisible(), f.offen);
        EXPECT_FALSE(w->Zahlungen()->Model() && w->Zahlungen()->Model()->HasPending());
        w->close();
        EXPECT_EQ(Gespeichert(r), f.danach);
        EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();
    }
}

TEST_F(ZahlungenTippen, ARowHeaderClickChoosesThePaymentThatDeleteRemoves) {
    const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    Zahlung(r, r, "87640.21", "44810.15");
    Zahlung(r, r, "1200", "613.55");
    db_->Execute("UPDATE Zahlung SET Datum = '2026-03-12' WHERE Zahlung = ?", Params().Add(C("1200").Raw()));
    auto w = Gezeigt(r);
    Zelle(0, ZahlungenTab::Bemerkung);
    velu::eingabe::ZeilenkopfKlicken(*grid, 1);
    EXPECT_EQ(grid->CurrentRow(), 1);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(1, {}));
    for (MsgResult antwort : {MsgResult::No, MsgResult::Yes}) {
        MessageBoxScript script({antwort});
        velu::eingabe::Taste(*grid, Qt::Key_Delete);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text,
                  "Soll(en) die markierte(n) Zahlung(en) gelöscht werden\n\n12.03.2026   1.200,00\u00a0DM");
    }
    EXPECT_EQ(Gespeichert(r), std::vector<std::string>{" 87640.2100 "});
    // A payment without a date says so.
    velu::eingabe::ZeilenkopfKlicken(*grid, 0);
    MessageBoxScript script({MsgResult::No});
    velu::eingabe::Taste(*grid, Qt::Key_Delete);
    EXPECT_EQ(script.LastText(),
              "Soll(en) die markierte(n) Zahlung(en) gelöscht werden\n\nohne Datum   87.640,21\u00a0DM");
    EXPECT_EQ(Gespeichert(r).size(), 1u);
}

TEST_F(ZahlungenTippen, ADateThatIsNoneIsRefusedAndStaysTypedForCorrection) {
    using velu::eingabe::Taste;
    using velu::eingabe::Tasten;
    const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    auto w = Gezeigt(r);
    MessageBoxScript script;
    Zelle(0, ZahlungenTab::Bemerkung);
    Tasten(*grid, "Abschlag 1");
    Taste(*grid, Qt::Key_Tab);
    for (const char* falsch : {"31.02.2026", "demnächst"}) {
        SCOPED_TRACE(falsch);
        QLineEdit* e = velu::eingabe::ZellEditor(*grid);
        ASSERT_TRUE(e);
        e->selectAll();
        Tasten(*grid, QString::fromUtf8(falsch));
        Taste(*grid, Qt::Key_Return);
        EXPECT_EQ(script.LastText(), QString::fromUtf8("Datum:\n„") + QString::fromUtf8(falsch) +
                                         QString::fromUtf8("“ ist kein Datum. Bitte geben Sie das Datum als "
                                                           "TT.MM.JJJJ ein."));
        e = velu::eingabe::ZellEditor(*grid);
        ASSERT_TRUE(e) << "the editor stays open";
        EXPECT_EQ(e->text(), QString::fromUtf8(falsch));
        EXPECT_EQ(grid->currentIndex().column(), int(ZahlungenTab::Datum));
    }
    EXPECT_EQ(script.Shown().size(), 2u);
    velu::eingabe::ZellEditor(*grid)->selectAll();
    Tasten(*grid, "28.02.2026");
    Taste(*grid, Qt::Key_Tab);
    Tasten(*grid, "5000");
    Taste(*grid, Qt::Key_Return);
    ASSERT_TRUE(w->Zahlungen()->Commit());
    EXPECT_EQ(Gespeichert(r), std::vector<std::string>{"2026-02-28 5000.0000 Abschlag 1"});
    EXPECT_EQ(script.Shown().size(), 2u);
}

// A payment's date typed over the stored one with the keys of a hurried clerk: taken whole, or refused with
// the message and kept in the cell, never left as it was without a word.
TEST_F(ZahlungenTippen, ADateTypedOverTheStoredOneIsTakenWholeOrRefused) {
    using velu::eingabe::Taste;
    using velu::eingabe::Tasten;
    enum Weg { StrgA, Pos1, VonBemerkung };
    struct Fall {
        const char* name;
        Weg weg;
        const char* gespeichert;
        const char* meldung; // the text refused, empty: taken
    } faelle[] = {
        {"Ctrl+A", StrgA, "2026-03-15", ""},
        {"Home", Pos1, "2026-12-09", "15.03.202609.12.2026"},
        {"Tab from the remark", VonBemerkung, "2026-03-15", ""},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        db_->Execute("DELETE FROM BeReList");
        db_->Execute("DELETE FROM Zahlung");
        const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
        Zahlung(r, r, "1000", "511.2919");
        db_->Execute("UPDATE Zahlung SET Datum = '2026-12-09', Bemerkung = 'Abschlag'");
        auto w = Gezeigt(r);
        velu::eingabe::MeldungenBestaetigen meldungen;
        if (f.weg == VonBemerkung) {
            Zelle(0, ZahlungenTab::Bemerkung);
            Taste(*grid, Qt::Key_F2);
            Taste(*grid, Qt::Key_Tab);
        } else {
            Zelle(0, ZahlungenTab::Datum);
            Taste(*grid, Qt::Key_F2);
            Taste(*grid, f.weg == StrgA ? Qt::Key_A : Qt::Key_Home,
                  f.weg == StrgA ? Qt::ControlModifier : Qt::NoModifier);
        }
        ASSERT_TRUE(velu::eingabe::ZellEditor(*grid));
        Tasten(*grid, "15.03.2026");
        Taste(*grid, Qt::Key_Return);
        velu::eingabe::Warten();
        if (*f.meldung) {
            ASSERT_EQ(meldungen.Texte().size(), 1u);
            EXPECT_EQ(meldungen.Texte()[0],
                      QString::fromUtf8("Datum:\n„") + QString::fromUtf8(f.meldung) +
                          QString::fromUtf8("“ ist kein Datum. Bitte geben Sie das Datum "
                                            "als TT.MM.JJJJ ein."));
            QLineEdit* e = velu::eingabe::ZellEditor(*grid);
            ASSERT_TRUE(e) << "the editor stays open";
            EXPECT_EQ(e->text(), QString::fromUtf8(f.meldung));
            Taste(*grid, Qt::Key_Escape);
        } else {
            EXPECT_TRUE(meldungen.Texte().empty());
        }
        ASSERT_TRUE(w->Zahlungen()->Commit());
        EXPECT_EQ(Gespeichert(r),
                  std::vector<std::string>{std::string(f.gespeichert) + " 1000.0000 Abschlag"});
    }
}

// "Rechnungsdatum" in the details as a hurried clerk types it over the date shown: what is typed is stored
// whole, or refused with a message and kept in the field for correction, never mixed with the old date.
TEST_F(RegisterOpsTest, ATypedInvoiceDateIsStoredWholeOrRefusedAndKept) {
    using velu::eingabe::Taste;
    using velu::eingabe::Tasten;
    enum Weg { StrgA, Pos1, VonNummer, Kalender };
    struct Fall {
        const char* name;
        Weg weg;
        const char* getippt;
        const char* gespeichert;
        const char* imFeld; // after the Tab; empty: the stored date
    } faelle[] = {
        {"Ctrl+A", StrgA, "15.03.2026", "2026-03-15", ""},
        {"Ctrl+A, another month", StrgA, "30.11.2026", "2026-11-30", ""},
        {"Ctrl+A, no leading zeros", StrgA, "1.2.2027", "2027-02-01", ""},
        {"Ctrl+A, impossible date", StrgA, "31.02.2026", "2026-12-09", "31.02.2026"},
        {"Ctrl+A, no date", StrgA, "demnächst", "2026-12-09", "demnächst"},
        {"Home, typed in front of the date", Pos1, "15.03.2026", "2026-12-09", "15.03.202609.12.2026"},
        {"Tab from the invoice number", VonNummer, "15.03.2026", "2026-03-15", ""},
        {"typed into the calendar", Kalender, "15.03.2026", "2026-03-15", ""},
        {"typed into the calendar, no date", Kalender, "200326", "2026-12-09", "200326"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        db_->Execute("DELETE FROM BeReList");
        const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
        db_->Execute("UPDATE BeReList SET Redatum = '2026-12-09' WHERE LfNr = ?", Params().Add(r));
        auto w = Fenster();
        w->resize(1100, 650);
        w->show();
        w->NodeClick(Berechnung(*w, r));
        QApplication::processEvents();
        auto* nummer = w->findChild<QLineEdit*>("XtraText1");
        auto* datum = w->findChild<QLineEdit*>("DTPicker1");
        ASSERT_TRUE(nummer && datum);
        ASSERT_EQ(datum->text(), "09.12.2026");
        MessageBoxScript script;
        if (f.weg == VonNummer) {
            nummer->setFocus();
            Taste(*nummer, Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), datum);
        } else if (f.weg == Kalender) {
            datum->findChild<QAction*>("Kalender")->trigger();
            auto* k = datum->findChild<QCalendarWidget*>("DatumsFeldKalender");
            ASSERT_TRUE(k && k->isVisible());
            velu::eingabe::Warten(); // the window system activates the calendar
            velu::eingabe::KalenderTippen(*k, QString::fromUtf8(f.getippt));
            EXPECT_FALSE(k->isVisible());
            EXPECT_EQ(datum->text(), QString::fromUtf8(f.getippt));
        } else {
            velu::eingabe::Klicken(*datum);
            ASSERT_EQ(w->window()->focusWidget(), datum);
            if (f.weg == StrgA)
                Taste(*datum, Qt::Key_A, Qt::ControlModifier);
            else
                Taste(*datum, Qt::Key_Home);
        }
        if (f.weg != Kalender) Tasten(*datum, QString::fromUtf8(f.getippt));
        Taste(*datum, Qt::Key_Tab);
        EXPECT_EQ(std::get<std::string>(Get(r, "Redatum")), f.gespeichert);
        if (*f.imFeld) {
            ASSERT_EQ(script.Shown().size(), 1u);
            EXPECT_EQ(script.LastText(),
                      QString::fromUtf8("Rechnungsdatum:\n„") + QString::fromUtf8(f.imFeld) +
                          QString::fromUtf8("“ ist kein Datum. Bitte geben Sie das Datum als "
                                            "TT.MM.JJJJ ein."));
            EXPECT_EQ(datum->text(), QString::fromUtf8(f.imFeld));
            EXPECT_EQ(w->window()->focusWidget(), datum);
            // Corrected, it is taken; nothing else was stored meanwhile.
            Taste(*datum, Qt::Key_A, Qt::ControlModifier);
            Tasten(*datum, "28.02.2026");
            Taste(*datum, Qt::Key_Tab);
            EXPECT_EQ(std::get<std::string>(Get(r, "Redatum")), "2026-02-28");
            EXPECT_EQ(script.Shown().size(), 1u);
        } else {
            EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();
            EXPECT_EQ(datum->text(), QString::fromStdString(*velu::FormatDatum(f.gespeichert)));
        }
    }
}

// "Zusammenstellung" before any invoice was marked says how to mark them and prints nothing.
TEST_F(RegisterOpsTest, ASummaryWithoutMarksSaysHowToMarkInvoices) {
    const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    auto w = Fenster();
    w->NodeClick(Berechnung(*w, r));
    MessageBoxScript script;
    w->ToolClick("PRINTZUSAMMEN");
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(
        script.LastText(),
        QString::fromUtf8("Für die Zusammenstellung markieren Sie zuerst die Rechnungen: im Baum mit der "
                          "rechten Maustaste auf eine Rechnung klicken, „Markieren“ wählen und die weiteren "
                          "Rechnungen anhaken."));
    EXPECT_TRUE(druck.aufrufe.empty());
}

// The register's one-line fields and the cells of its payments take a name pasted from a letter as one
// line; a new calculation's name is stored so.
TEST_F(RegisterOpsTest, EveryFieldOfTheRegisterTakesAPastedNameAsOneLine) {
    velu::forms::EinzeiligeFelderEinrichten();
    const int64_t r = AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    auto w = Fenster();
    w->resize(1100, 650);
    w->show();
    w->NodeClick(Berechnung(*w, r));
    for (int tab : {0, 1}) {
        SCOPED_TRACE(tab);
        w->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(tab);
        QApplication::processEvents();
        MessageBoxScript boxen;
        EXPECT_EQ(velu::eingabe::ZeilenfelderPruefen(*w).join("\n").toStdString(), "");
    }

    BerAnlage d(*db_, Currency::FromUnits(16));
    d.Setdatabasename();
    d.show();
    EXPECT_EQ(velu::eingabe::ZeilenfelderPruefen(d).join("\n").toStdString(), "");
    auto* name = d.findChild<QLineEdit*>("XtraText1(2)");
    name->setFocus();
    velu::eingabe::Einfuegen(*name, "Abschlag\nBauteil B");
    d.findChild<QLineEdit*>("XtraText1(1)")->setText("R-2");
    MessageBoxScript boxen;
    d.ActiveBar1().Click("Band1", "OK");
    EXPECT_TRUE(boxen.Shown().empty()) << boxen.LastText().toStdString();
    EXPECT_EQ(std::get<std::string>(Get(d.NeueLfNr(), "ReBezeichnung")), "Abschlag Bauteil B");
}

TEST_F(RegisterOpsTest, ACopyWhoseNameMustBeShortenedSaysSo) {
    struct Fall {
        const char* name;
        const char* kopie;
        bool meldung;
    } faelle[] = {
        {"Angebot Objektplanung Gebäude", "Kopie Angebot Objektplanung Ge", true},
        {"Angebot Objektplanung 2026", "Kopie Angebot Objektplanung 20", true},
        {"Angebot Planung Hof 2026", "Kopie Angebot Planung Hof 2026", false}, // 30 exactly
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        db_->Execute("DELETE FROM BeReList");
        AddBerechnung("A", f.name, 0, 0, "Neubau");
        auto w = Fenster();
        MessageBoxScript script;
        w->ActiveBar1().Click("Band1", "COPY");
        const int64_t kopie = Aktuell(*w).mid(1).toLongLong();
        EXPECT_EQ(std::get<std::string>(Get(kopie, "ReBezeichnung")), f.kopie);
        if (f.meldung) {
            ASSERT_EQ(script.Shown().size(), 1u);
            EXPECT_EQ(script.LastText(),
                      QString::fromUtf8("Der Name der Kopie hat mehr als 30 Zeichen und wurde "
                                        "gekürzt auf\n„") +
                          QString::fromUtf8(f.kopie) +
                          QString::fromUtf8("“.\nMit „Umbenennen“ können Sie ihn ändern."));
            EXPECT_EQ(script.Shown()[0].title, "HOAI Berechnungen");
        } else {
            EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();
        }
    }
}

TEST_F(RegisterOpsTest, TheProjectLabelIsShownWhenTheRegisterOpensOnACalculation) {
    AddBerechnung("R", "Rechnung", 0, 0, "Neubau");
    for (int geoeffnet = 0; geoeffnet < 2; ++geoeffnet) {
        SCOPED_TRACE(geoeffnet);
        auto w = Fenster();
        ASSERT_TRUE(Aktuell(*w).startsWith('@'));
        EXPECT_EQ(w->findChild<QLabel*>("Label7")->text(), "Projet P-1  ");
        w->close();
    }
}
