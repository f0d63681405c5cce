// The expense window, headless: its currency, both rate pairs, the employee and catalogue rules, the
// totals window and the main window's band.
#include "GridEnter.h"
#include "KalenderTippen.h"
#include "StdRechFixture.h"

#include "core/AppState.h"
#include "core/MDIVelunta.h"
#include "expenses/Aufwand.h"
#include "expenses/BerechWaehrungAusw.h"
#include "expenses/SummAufwand.h"
#include "platform/forms/Eingabemeldungen.h"
#include "ui/DatePicSSDB.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>

using namespace velu::expenses;
using velu::eingabe::Warten;

namespace {

class AufwandTest : public StdRechFixture {
protected:
    // The window; a project without records is asked for its currency, answered by waehlen (-1: not asked
    // expected, the question fails the test).
    std::unique_ptr<Aufwand> Oeffnen(int waehlen = -1, const QString& system = "2,00 DM",
                                     QString* vorgewaehlt = nullptr) {
        bool gefragt = false;
        QTimer t;
        t.setInterval(5);
        QObject::connect(&t, &QTimer::timeout, [&] {
            auto* d = dynamic_cast<BerechWährungAusw*>(QApplication::activeModalWidget());
            if (!d) return;
            t.stop();
            gefragt = true;
            if (vorgewaehlt) *vorgewaehlt = d->Option2(0)->isChecked() ? "DM" : "ERU";
            if (waehlen >= 0) d->Option2(waehlen)->setChecked(true);
            d->ActiveBar1().Click("Band1", "OK");
        });
        t.start();
        auto f = std::make_unique<Aufwand>(*projekt_, *stamm_, *settings_, nullptr, system);
        EXPECT_EQ(gefragt, waehlen >= 0);
        return f;
    }
    static bool Tippen(Aufwand& f, int row, const char* feld, const QString& text) {
        velu::forms::BoundGridModel* m = f.Positionen();
        return m->setData(m->index(row, m->ColumnOf(feld)), text, Qt::EditRole);
    }
    velu::Currency AufwandBetrag(const char* numm, const std::string& feld) {
        velu::db::Recordset rs =
            projekt_->OpenRecordset("SELECT " + feld + " FROM Projektaufwand WHERE Numm = ?",
                                    velu::db::Params().Add(std::string(numm)));
        const velu::db::Value v = rs.Get(feld);
        return velu::Currency::FromRaw(std::holds_alternative<int64_t>(v) ? std::get<int64_t>(v) : 0);
    }
    int64_t AufwandInt(const char* numm, const std::string& feld) {
        velu::db::Recordset rs =
            projekt_->OpenRecordset("SELECT " + feld + " FROM Projektaufwand WHERE Numm = ?",
                                    velu::db::Params().Add(std::string(numm)));
        return rs.GetInt(feld, -99);
    }
};

TEST_F(AufwandTest, EntryCurrencyFromTheFirstRecordOrAsked) {
    struct Case {
        const char* name;
        int ersterEintrag; // -1: no record
        int waehlen;
        const char* system;
        int eingabe;
        const char* vorgewaehlt;
    } cases[] = {
        {"first record in euro", 1, -1, "2,00 DM", 1, nullptr},
        {"first record in DM", 0, -1, "2,00 \xE2\x82\xAC", 0, nullptr},
        {"empty project, system in DM", -1, 0, "2,00 DM", 0, "DM"},
        {"empty project, system in euro", -1, 1, "2,00 \xE2\x82\xAC", 1, "ERU"},
        {"empty project, euro chosen against DM", -1, 1, "DM 2,00", 1, "DM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        projekt_->Execute("DELETE FROM Projektaufwand");
        // An auxiliary row of the report does not decide.
        Erfassen(
            {"H", 1 - std::max(c.ersterEintrag, 0), "1", "1", "1", "1", "1", "2026-11-01", 0, false, true});
        if (c.ersterEintrag >= 0) Erfassen({"A1", c.ersterEintrag, "1", "10", "10", "5.1129", "5.1129"});
        QString vorgewaehlt;
        auto f = Oeffnen(c.waehlen, QString::fromUtf8(c.system), &vorgewaehlt);
        if (c.vorgewaehlt) {
            EXPECT_EQ(vorgewaehlt, c.vorgewaehlt);
        }
        EXPECT_EQ(f->Panel().Eingabe(), c.eingabe);
        // Shown in the currency the records are kept in: what is typed is what is stored.
        EXPECT_EQ(f->Panel().Anzeige(), c.eingabe);
        EXPECT_EQ(f->Modus(), c.eingabe == 1 ? 4 : 1);
        EXPECT_EQ(f->ActiveBar1().Checked("Band1", "EUR"), c.eingabe == 1);
        EXPECT_EQ(f->ActiveBar1().Checked("Band1", "DM"), c.eingabe == 0);
        EXPECT_EQ(f->Positionen()->StoredRows(), c.ersterEintrag >= 0 ? 1 : 0);
        EXPECT_TRUE(f->Panel().SSDBGrid1()->isColumnHidden(f->Positionen()->ColumnOf("AlDispinterSatz")));
    }
}

TEST_F(AufwandTest, BothRatePairsAndBothSums) {
    Erfassen({"A1", 0, "0", "0", "0", "0", "0"});
    auto f = Oeffnen();
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "EUR")); // mode 2
    ASSERT_EQ(f->Modus(), 2);
    ASSERT_TRUE(Tippen(*f, 0, "Menge", "3"));
    ASSERT_TRUE(Tippen(*f, 0, "AlDispinterSatz", "10,00"));
    ASSERT_TRUE(Tippen(*f, 0, "AlDispSatz", "20,00"));
    ASSERT_TRUE(f->Positionen()->Commit());
    // The euro rates stay as typed; the DM rates keep four places, so that 3 x 20 euro is 117.35 DM.
    EXPECT_EQ(AufwandBetrag("A1", "interSatz"), C("19.5583"));
    EXPECT_EQ(AufwandBetrag("A1", "AlDispinterSatz"), C("10"));
    EXPECT_EQ(AufwandBetrag("A1", "interSumm"), C("58.68")); // RundCY: 58.6749 + 0.0001
    EXPECT_EQ(AufwandBetrag("A1", "AlDispinterSumm"), C("30"));
    EXPECT_EQ(AufwandBetrag("A1", "Satz"), C("39.1166"));
    EXPECT_EQ(AufwandBetrag("A1", "AlDispSatz"), C("20"));
    EXPECT_EQ(AufwandBetrag("A1", "Summ"), C("117.35"));
    EXPECT_EQ(AufwandInt("A1", "INPUTType"), 0);
    // A quantity changes both sums and no rate.
    ASSERT_TRUE(Tippen(*f, 0, "Menge", "1"));
    ASSERT_TRUE(f->Positionen()->Commit());
    EXPECT_EQ(AufwandBetrag("A1", "interSumm"), C("19.56"));
    EXPECT_EQ(AufwandBetrag("A1", "Summ"), C("39.12"));
    EXPECT_EQ(AufwandBetrag("A1", "AlDispinterSatz"), C("10"));
    // Beyond the money range: refused, the row keeps its values.
    EXPECT_FALSE(Tippen(*f, 0, "AlDispinterSatz", "900000000000000"));
    EXPECT_EQ(boxen_.LastText(), QString::fromUtf8("Der Betrag ist zu groß."));
    EXPECT_FALSE(Tippen(*f, 0, "interSatz", "zehn"));
    EXPECT_EQ(boxen_.LastText(), "Die Eingabe muss nummerisch sein");
    ASSERT_TRUE(f->Positionen()->Commit());
    EXPECT_EQ(AufwandBetrag("A1", "Menge"), C("1"));
    EXPECT_EQ(AufwandBetrag("A1", "interSatz"), C("19.5583"));
}

TEST_F(AufwandTest, EmployeeRatesOnlyForARowWithoutExternalRate) {
    struct Case {
        const char* name;
        const char* satz;
        const char *eSatz, *eInterSatz;
    } cases[] = {
        {"no rate: both from the employee", "0", "120", "70"},
        {"external rate, no internal one: both kept", "90", "90", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        projekt_->Execute("DELETE FROM Projektaufwand");
        Erfassen({"A1", 0, "2", c.satz, "0", "0", "0"});
        auto f = Oeffnen();
        ASSERT_TRUE(Tippen(*f, 0, "Mitarbeiter", "Meier"));
        EXPECT_FALSE(f->Positionen()->HasPending());
        EXPECT_EQ(AufwandBetrag("A1", "Satz"), C(c.eSatz));
        EXPECT_EQ(AufwandBetrag("A1", "interSatz"), C(c.eInterSatz));
    }
}

TEST_F(AufwandTest, CatalogueKeepsThePhaseAndWaitsForTheRowToBeLeft) {
    Erfassen({"A1", 0, "2", "0", "0", "0", "0", "2026-11-01", 4});
    auto f = Oeffnen();
    f->Panel().SSDBGrid1()->SetCurrentRow(0);
    f->KatalogUebernehmen(0); // 1.1 Bauleitung, 100 DM, internal 50 DM
    EXPECT_TRUE(f->Positionen()->HasPending());
    EXPECT_EQ(AufwandBetrag("A1", "Satz"), C("0"));
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "DM"));
    EXPECT_EQ(std::get<std::string>(projekt_->OpenRecordset("SELECT Numm FROM Projektaufwand").Get("Numm")),
              "1.1");
    EXPECT_EQ(AufwandBetrag("1.1", "Satz"), C("100"));
    EXPECT_EQ(AufwandBetrag("1.1", "Summ"), C("200"));
    EXPECT_EQ(AufwandBetrag("1.1", "interSatz"), C("50"));
    EXPECT_EQ(AufwandBetrag("1.1", "interSumm"), C("100"));
    EXPECT_EQ(AufwandInt("1.1", "Phzuordnung"), 4);
    // The catalogue shows the internal rate of the entry currency.
    velu::forms::BoundGridModel* k = f->Panel().Katalog();
    EXPECT_FALSE(f->Panel().SSDBGrid2()->isColumnHidden(k->ColumnOf("interSatz")));
    EXPECT_TRUE(f->Panel().SSDBGrid2()->isColumnHidden(k->ColumnOf("AlDispinterSatz")));
}

// A date typed into the calendar of an expense's date is stored whole, or refused aloud while the stored
// date stays.
TEST_F(AufwandTest, DateTypedIntoTheCalendar) {
    Erfassen({"A1", 0, "2", "0", "0", "0", "0", "2026-11-01", 4});
    auto f = Oeffnen();
    f->resize(1000, 600);
    f->show();
    velu::forms::BoundGridModel* m = f->Positionen();
    struct Fall {
        QString getippt;
        const char* gespeichert;
    } const faelle[] = {{"20.03.26", "2026-11-01"}, {"200326", "2026-11-01"}, {"01.02.2026", "2026-02-01"}};
    for (const Fall& c : faelle) {
        SCOPED_TRACE(c.getippt.toStdString());
        const auto meldungen =
            velu::eingabe::DatumImKalender(*f->Panel().SSDBGrid1(), m->index(0, m->ColumnOf("Datum")),
                                           *f->Panel().DatePicSSDB1(), c.getippt);
        const bool abgelehnt = c.getippt.size() != 10;
        EXPECT_EQ(meldungen,
                  abgelehnt ? std::vector{velu::forms::KeinDatumMeldung(c.getippt)} : std::vector<QString>{});
        ASSERT_TRUE(m->Commit());
        EXPECT_EQ(projekt_->OpenRecordset("SELECT Datum FROM Projektaufwand").GetText("Datum"),
                  c.gespeichert);
    }
}

TEST_F(AufwandTest, EditOfARecordTransferredMeanwhileLeavesItMarked) {
    const int64_t a = Erfassen({"A1", 0, "1", "10", "10", "5.1129", "5.1129"});
    auto f = Oeffnen();
    projekt_->Execute("UPDATE Projektaufwand SET SchonVerbucht = -1 WHERE LfNr = ?",
                      velu::db::Params().Add(a));
    ASSERT_TRUE(Tippen(*f, 0, "Leistung", "Bauleitung Rohbau"));
    ASSERT_TRUE(f->Positionen()->Commit());
    EXPECT_TRUE(Verbucht(a));
    // The mark can be put right by hand; the currency cannot be typed.
    ASSERT_TRUE(Tippen(*f, 0, "SchonVerbucht", "Nein"));
    ASSERT_TRUE(f->Positionen()->Commit());
    EXPECT_FALSE(Verbucht(a));
    velu::forms::BoundGridModel* m = f->Positionen();
    EXPECT_FALSE(m->flags(m->index(0, m->ColumnOf("INPUTType"))) & Qt::ItemIsEditable);
}

TEST_F(AufwandTest, FlagAndCurrencyColumnsShowWordsNotNumbers) {
    struct Fall {
        const char* numm;
        int inputType;
        bool verbucht;
        QString waehrung, flag;
    } faelle[] = {{"A1", 0, false, "DM", "Nein"}, {"A2", 1, true, "EUR", "Ja"}};
    for (const auto& f : faelle) {
        Eintrag e{f.numm, f.inputType, "1", "10", "10", "5.1129", "5.1129"};
        e.verbucht = f.verbucht;
        Erfassen(e);
    }
    auto f = Oeffnen();
    velu::forms::BoundGridModel* m = f->Positionen();
    for (int r = 0; r < 2; ++r) {
        SCOPED_TRACE(faelle[r].numm);
        EXPECT_EQ(m->data(m->index(r, m->ColumnOf("INPUTType"))).toString(), faelle[r].waehrung);
        EXPECT_EQ(m->data(m->index(r, m->ColumnOf("SchonVerbucht"))).toString(), faelle[r].flag);
    }
    // The new-row line shows neither.
    const int neu = m->StoredRows();
    EXPECT_EQ(m->data(m->index(neu, m->ColumnOf("INPUTType"))).toString(), "");
    EXPECT_EQ(m->data(m->index(neu, m->ColumnOf("SchonVerbucht"))).toString(), "");
    // The catalogue names the phase of its entries; its rates line up on the right.
    velu::forms::BoundGridModel* k = f->Panel().Katalog();
    stamm_->Execute("UPDATE AufwandVerz SET zuordnung = 10 WHERE Positionsnummer = '1.2'");
    k->Requery();
    EXPECT_EQ(k->data(k->index(0, k->ColumnOf("zuordnung"))).toString(), "Keine Zuordnung");
    EXPECT_EQ(k->data(k->index(1, k->ColumnOf("zuordnung"))).toString(), "Stundenlohnarbeiten");
    EXPECT_EQ(k->data(k->index(0, k->ColumnOf("Satz")), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
}

TEST_F(AufwandTest, PhaseColumnShowsTheAssignmentTexts) {
    Erfassen({"A1", 0, "1", "10", "10", "5.1129", "5.1129", "2026-11-01", 10});
    auto f = Oeffnen();
    velu::forms::BoundGridModel* m = f->Positionen();
    const int spalte = m->ColumnOf("Phzuordnung");
    EXPECT_EQ(m->data(m->index(0, spalte)).toString(), "Stundenlohnarbeiten");
    ASSERT_TRUE(Tippen(*f, 0, "Phzuordnung", "Leistungsphase 3"));
    EXPECT_EQ(m->data(m->index(0, spalte)).toString(), "Leistungsphase 3");
    EXPECT_FALSE(Tippen(*f, 0, "Phzuordnung", "11"));
    ASSERT_TRUE(m->Commit());
    EXPECT_EQ(AufwandInt("A1", "Phzuordnung"), 3);
}

TEST_F(AufwandTest, TotalsWindowPerPhaseAndCurrency) {
    Erfassen({"A1", 0, "1", "10", "10", "5.1129", "5.1129", "2026-11-01", 0});
    Erfassen({"A2", 0, "1", "30", "30", "15.3388", "15.3388", "2026-11-01", 3, false, false, "12", "6.1355"});
    Erfassen({"A3", 0, "1", "7", "7", "3.5791", "3.5791", "2026-11-01", 10});
    auto f = Oeffnen();
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "EUR"));
    QStringList felder, intern, dm;
    f->summenGeoeffnet = [&](QWidget& w) {
        auto& s = dynamic_cast<SummAufwand&>(w);
        for (int k = 0; k < 12; ++k)
            felder << s.XtraText1(k)->text();
        s.SSTab1()->setCurrentIndex(1);
        intern << s.XtraText1(3)->text() << s.XtraText1(11)->text();
        s.ActiveBar1().Click("Band1", "DM");
        dm << s.XtraText1(3)->text();
        EXPECT_EQ(s.windowTitle(), "Summen ");
    };
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "SUMMEN"));
    ASSERT_EQ(felder.size(), 12);
    const QString euro = QString::fromUtf8("\u00a0€");
    EXPECT_EQ(felder[0], "5,11" + euro);
    EXPECT_EQ(felder[3], "15,34" + euro);
    EXPECT_EQ(felder[10], "3,58" + euro);
    EXPECT_EQ(felder[11], "24,03" + euro);
    for (int k : {1, 2, 4, 5, 6, 7, 8, 9})
        EXPECT_EQ(felder[k], "0,00" + euro) << k;
    EXPECT_EQ(intern, QStringList({"6,14" + euro, "6,14" + euro}));
    EXPECT_EQ(dm, QStringList({"12,00\u00a0DM"}));
}

TEST_F(AufwandTest, NoRecordsAllTotalsZero) {
    SummAufwand s(*projekt_);
    s.MakeConections(0, 0);
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(s.XtraText1(k)->text(), "0,00\u00a0DM") << k;
    EXPECT_EQ(s.findChild<QLabel*>("Label1(0)")->text(), "keine Zuordnung");
    EXPECT_EQ(s.findChild<QLabel*>("Label1(11)")->text(), "Summe ");
}

TEST_F(AufwandTest, OpenedFromTheMainWindowAndGivingItsBandBack) {
    velu::App().SetStammDB(stamm_);
    velu::App().SetProjekt(projekt_, QString::fromStdString((dir_ / "Velupro32.mdb").string()));
    velu::App().SetEinstellungen(std::shared_ptr<velu::settings::SettingsStore>(
        settings_.get(), [](velu::settings::SettingsStore*) {}));
    velu::App().SetBenutzer("SUPERVISOR", 8191);
    Erfassen({"A1", 0, "1", "10", "10", "5.1129", "5.1129"});
    velu::App().Formen().Clear();
    RegisterAufwand(velu::App().Formen());
    {
        velu::MDIVelunta w;
        w.show();
        ASSERT_TRUE(w.ActiveBar1().Click("Band1", "PROAUF"));
        ASSERT_EQ(w.MdiArea()->subWindowList().size(), 1);
        QMdiSubWindow* sub = w.MdiArea()->subWindowList().front();
        auto* f = dynamic_cast<Aufwand*>(sub->widget());
        ASSERT_TRUE(f);
        EXPECT_EQ(f->windowTitle(), "Erbrachte Leistungen");
        EXPECT_TRUE(sub->isMaximized());
        sub->showNormal(); // it does not stay so
        QApplication::processEvents();
        EXPECT_TRUE(sub->isMaximized());
        EXPECT_FALSE(w.ActiveBar1().BandVisible("Band1"));
        emit f->ActiveBar1().ToolEnter("SUMMEN", "Summen je Leistungsphase anzeigen");
        EXPECT_EQ(w.Panel(1)->text(), "Summen je Leistungsphase anzeigen");
        ASSERT_TRUE(Tippen(*f, 0, "Menge", "4"));
        sub->close(); // the close box
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        EXPECT_TRUE(w.MdiArea()->subWindowList().isEmpty());
        EXPECT_TRUE(w.ActiveBar1().BandVisible("Band1"));
        EXPECT_EQ(AufwandBetrag("A1", "Summ"), C("40"));

        // Esc runs "EXIT".
        ASSERT_TRUE(w.ActiveBar1().Click("Band1", "PROAUF"));
        ASSERT_EQ(w.MdiArea()->subWindowList().size(), 1);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w.MdiArea()->subWindowList().front()->widget(), &esc);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        EXPECT_TRUE(w.MdiArea()->subWindowList().isEmpty());
        EXPECT_TRUE(w.ActiveBar1().BandVisible("Band1"));
    }
    velu::App().Formen().Clear();
    velu::App().SetProjekt(nullptr, {});
    velu::App().SetStammDB(nullptr);
    velu::App().SetEinstellungen(nullptr);
}

} // namespace

namespace {

TEST_F(AufwandTest, EmployeeListShowsBothRatesInBothCurrencies) {
    Erfassen({"A1", 0, "1", "0", "0", "0", "0"});
    auto f = Oeffnen();
    velu::forms::BoundGridView* grid = f->Panel().SSDBGrid1();
    velu::forms::BoundGridModel* m = f->Positionen();
    const QModelIndex zelle = m->index(0, m->ColumnOf("Mitarbeiter"));
    QWidget* editor = grid->itemDelegateForIndex(zelle)->createEditor(grid->viewport(), {}, zelle);
    auto* liste = editor->findChild<QAbstractItemModel*>();
    ASSERT_TRUE(liste);
    EXPECT_EQ(editor->objectName(), "SSDBDropDown1");
    ASSERT_EQ(liste->columnCount(), 5);
    EXPECT_EQ(liste->data(liste->index(0, 0)).toString(), "Meier");
    EXPECT_EQ(liste->data(liste->index(0, 1)).toString(), "70,00\u00a0DM");
    EXPECT_EQ(liste->data(liste->index(0, 2)).toString(), "120,00\u00a0DM");
    EXPECT_EQ(liste->data(liste->index(0, 4)).toString(), QString::fromUtf8("61,36\u00a0€"));
    // Headed as the employee editor heads its columns, never by the field names.
    QStringList koepfe;
    for (int c = 0; c < liste->columnCount(); ++c)
        koepfe << liste->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(koepfe, QStringList({"Mitarbeiter", "Stundensatz intern DM", "Stundensatz extern DM",
                                   QString::fromUtf8("Stundensatz intern €"),
                                   QString::fromUtf8("Stundensatz extern €")}));
    delete editor;
}

} // namespace

TEST_F(AufwandTest, CaptionsOfTheNarrowAmountColumnsAreNotCut) {
    Erfassen({"A1", 0, "1", "10", "10", "5.1129", "5.1129", "2026-11-01", 10});
    auto f = Oeffnen();
    f->show();
    QApplication::processEvents();
    for (const char* name : {"SSDBGrid1", "SSDBGrid2"}) {
        SCOPED_TRACE(name);
        auto* grid = f->findChild<velu::forms::BoundGridView*>(name);
        ASSERT_TRUE(grid);
        const QFontMetrics fm = grid->horizontalHeader()->fontMetrics();
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            if (grid->isColumnHidden(c)) continue;
            const QString text = grid->model()->headerData(c, Qt::Horizontal).toString();
            if (text != "interner Satz") continue;
            EXPECT_GT(grid->columnWidth(c), fm.horizontalAdvance(text)) << text.toStdString();
        }
    }
    f->close();
}

TEST_F(AufwandTest, EmployeeAndPhaseListsOpenOnAClickOrDoubleClick) {
    Erfassen({"A1", 0, "1", "10", "10", "5.1129", "5.1129", "2026-11-01", 10});
    auto f = Oeffnen();
    f->resize(1200, 700);
    f->show();
    velu::forms::BoundGridView* grid = f->Panel().SSDBGrid1();
    velu::forms::BoundGridModel* m = f->Positionen();
    struct Case {
        const char* feld;
        const char* liste;
        QEvent::Type klick;
    } cases[] = {
        {"Mitarbeiter", "SSDBDropDown1", QEvent::MouseButtonPress},
        {"Phzuordnung", "SSDBDropDown2", QEvent::MouseButtonPress},
        {"Mitarbeiter", "SSDBDropDown1", QEvent::MouseButtonDblClick},
        {"Phzuordnung", "SSDBDropDown2", QEvent::MouseButtonDblClick},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.feld << " " << int(c.klick));
        grid->setCurrentIndex(m->index(0, 0));
        const QModelIndex zelle = m->index(0, m->ColumnOf(c.feld));
        const QPoint p = grid->visualRect(zelle).center();
        const auto maus = [&](QEvent::Type t) {
            QMouseEvent e(t, p, grid->viewport()->mapToGlobal(p), Qt::LeftButton,
                          t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(grid->viewport(), &e);
        };
        maus(QEvent::MouseButtonPress);
        maus(QEvent::MouseButtonRelease);
        if (c.klick == QEvent::MouseButtonDblClick) {
            maus(QEvent::MouseButtonDblClick);
            maus(QEvent::MouseButtonRelease);
        } else {
            // A single click opens the list once no second click follows.
            EXPECT_EQ(grid->viewport()->findChild<QComboBox*>(c.liste), nullptr);
        }
        Warten(QApplication::doubleClickInterval() + 50);
        auto* box = grid->viewport()->findChild<QComboBox*>(c.liste);
        ASSERT_TRUE(box);
        EXPECT_TRUE(box->view()->isVisible());
        box->hidePopup();
        grid->CommitEditor();
        Warten(QApplication::doubleClickInterval() + 50);
    }
    EXPECT_EQ(AufwandInt("A1", "Phzuordnung"), 10);
}

TEST_F(AufwandTest, EnterAfterARefusedQuantityKeepsTheOldValueAndTheCursor) {
    Erfassen({"A1", 0, "1", "10", "10", "5.1129", "5.1129", "2026-11-01", 10});
    auto f = Oeffnen();
    f->show();
    velu::forms::BoundGridView* grid = f->Panel().SSDBGrid1();
    velu::forms::BoundGridModel* m = f->Positionen();
    const int menge = m->ColumnOf("Menge");
    struct Case {
        int row;
        const char* text;
        bool refused;
    } cases[] = {{0, "abc", true}, {0, "3", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QModelIndex zelle = m->index(c.row, menge);
        const QString vorher = m->data(zelle).toString();
        // The fixture answers the messages itself; they are counted there.
        const size_t vorherGezeigt = boxen_.Shown().size();
        EXPECT_TRUE(velu::eingabe::MitEnterEingeben(*grid, zelle, c.text).empty());
        EXPECT_EQ(boxen_.Shown().size() - vorherGezeigt, c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_EQ(m->data(zelle).toString(), vorher);
        }
        EXPECT_EQ(grid->currentIndex(), zelle);
        EXPECT_EQ(grid->window()->focusWidget(), grid);
        ASSERT_TRUE(f->Panel().Commit());
    }
    EXPECT_EQ(AufwandBetrag("A1", "Menge"), velu::Currency::FromUnits(3));
}

// Typed as a clerk types: the window shown, the cell chosen, keys.
class AufwandTippen : public AufwandTest {
protected:
    void Zeigen(Aufwand& f) {
        f.resize(1400, 700);
        f.show();
        QApplication::processEvents();
        grid = f.Panel().SSDBGrid1();
        grid->setFocus();
    }
    // A row typed cell by cell from Numm on, Tab between the cells; the last cell ends with Enter.
    void Zeile(Aufwand& f, int row, const QStringList& zellen) {
        grid->setFocus();
        grid->setCurrentIndex(f.Positionen()->index(row, f.Positionen()->ColumnOf("Numm")));
        for (int i = 0; i < zellen.size(); ++i) {
            velu::eingabe::Tasten(*grid, zellen[i]);
            velu::eingabe::Taste(*grid, i + 1 < zellen.size() ? Qt::Key_Tab : Qt::Key_Return);
        }
    }
    QString Zelle(Aufwand& f, int row, const char* feld) {
        return f.Positionen()->data(f.Positionen()->index(row, f.Positionen()->ColumnOf(feld))).toString();
    }
    velu::forms::BoundGridView* grid = nullptr;
};

TEST_F(AufwandTippen, EuroChosenOpensInEuroAndADmAmountComesBackAsTyped) {
    auto f = Oeffnen(1);
    Zeigen(*f);
    ASSERT_EQ(f->Modus(), 4);
    EXPECT_EQ(f->Panel().GridCaption()->text(), QString::fromUtf8("Berechnungswährung €"));
    Zeile(*f, 0, {"E1", "Aufmaß", "1", "h", "18"});
    ASSERT_TRUE(f->Panel().Commit());
    EXPECT_EQ(AufwandBetrag("E1", "Satz"), C("18"));
    EXPECT_EQ(AufwandBetrag("E1", "Summ"), C("18"));
    EXPECT_EQ(AufwandInt("E1", "INPUTType"), 1);
    EXPECT_EQ(Zelle(*f, 0, "Satz"), "18,00\u00a0€");

    // Shown in DM: 18 DM typed is 18 DM again, stored in euro to four places.
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "DM"));
    ASSERT_EQ(f->Modus(), 3);
    Zeile(*f, 1, {"D1", "Fahrt", "1", "km", "18"});
    ASSERT_TRUE(f->Panel().Commit());
    EXPECT_EQ(AufwandBetrag("D1", "AlDispSatz"), C("18"));
    EXPECT_EQ(AufwandBetrag("D1", "Satz"), C("9.2033"));
    EXPECT_EQ(AufwandBetrag("D1", "Summ"), C("9.2"));
    EXPECT_EQ(AufwandBetrag("D1", "AlDispSumm"), C("18"));
    EXPECT_EQ(Zelle(*f, 1, "AlDispSatz"), "18,00\u00a0DM");
    EXPECT_EQ(Zelle(*f, 1, "AlDispSumm"), "18,00\u00a0DM");
    // Back in euro the same row reads 9,20 euro.
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "EUR"));
    EXPECT_EQ(Zelle(*f, 1, "Satz"), "9,20\u00a0€");
    EXPECT_EQ(Zelle(*f, 1, "Summ"), "9,20\u00a0€");
    EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();

    // Every column a clerk sees has a German caption, not a field name.
    for (int c = 0; c < f->Positionen()->columnCount(); ++c) {
        const QString caption = f->Positionen()->headerData(c, Qt::Horizontal).toString();
        for (const char* technisch : {"LeistNr", "SchonVerbucht", "INPUTType", "Phzuordnung"})
            EXPECT_NE(caption, technisch);
        if (!grid->isColumnHidden(c)) {
            EXPECT_GT(grid->columnWidth(c),
                      grid->horizontalHeader()->fontMetrics().horizontalAdvance(caption))
                << caption.toStdString() << " is not cut";
        }
    }
}

TEST_F(AufwandTippen, AnOverlongTextIsRefusedWithItsLimitAndStaysTyped) {
    Erfassen({"A1", 0, "1", "10", "10", "5.1129", "5.1129", "2026-11-01"});
    projekt_->Execute("UPDATE Projektaufwand SET Leistung = 'Bauleitung'");
    auto f = Oeffnen();
    Zeigen(*f);
    const int spalte = f->Positionen()->ColumnOf("Leistung");
    grid->setCurrentIndex(f->Positionen()->index(0, spalte));
    // 256 characters: a description pasted from a letter, one too many.
    const QString lang = QString("Ortstermin mit dem Bauherrn, ").repeated(9).left(256);
    velu::eingabe::Taste(*grid, Qt::Key_F2);
    velu::eingabe::ZellEditor(*grid)->selectAll();
    velu::eingabe::Tasten(*grid, lang);
    velu::eingabe::Taste(*grid, Qt::Key_Return);
    EXPECT_EQ(boxen_.LastText(),
              "Leistung:\nDer Text ist 256 Zeichen lang; höchstens 255 Zeichen sind möglich.");
    QLineEdit* e = velu::eingabe::ZellEditor(*grid);
    ASSERT_TRUE(e) << "the text stays in its cell for correction";
    EXPECT_EQ(e->text(), lang);
    EXPECT_EQ(
        std::get<std::string>(projekt_->OpenRecordset("SELECT Leistung FROM Projektaufwand").Get("Leistung")),
        "Bauleitung");
    // One character less is taken as typed.
    velu::eingabe::Taste(*f->Panel().SSDBGrid1(), Qt::Key_Backspace);
    velu::eingabe::Taste(*grid, Qt::Key_Return);
    ASSERT_TRUE(f->Panel().Commit());
    EXPECT_EQ(
        std::get<std::string>(projekt_->OpenRecordset("SELECT Leistung FROM Projektaufwand").Get("Leistung")),
        lang.left(255).toStdString());
}
