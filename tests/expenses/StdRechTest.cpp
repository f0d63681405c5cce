// The hourly-rate invoice form, headless: rows typed into the positions grid, the employee drop-down, the
// catalogue, the display settings and the ways the form closes.
#include "StdRechFixture.h"

#include "platform/help/Hilfe.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QTextBrowser>

using namespace velu::expenses;
using velu::forms::MsgIcon;

namespace {

class StdRechTest : public StdRechFixture {};

TEST_F(StdRechTest, InvoiceWithoutPositionsShowsOnlyTheNewRowLine) {
    Position("1", "1", "10"); // another invoice's position is not shown
    projekt_->Execute("UPDATE StdRePos SET REZuordnung = 8");
    auto f = Oeffnen(0, 0);
    EXPECT_EQ(f->Positionen()->rowCount(), 1);
    EXPECT_TRUE(f->Positionen()->IsNewRowLine(0));
}

TEST_F(StdRechTest, TypedRowsAreComputedAndStoredInEachMode) {
    struct Case {
        const char* name;
        int anzeige, eingabe;
        const char* satzSpalte; // the rate column the mode shows
        const char *menge, *satz;
        const char *eSatz, *eAlDispSatz, *eSumm, *eAlDispSumm;
        const char* gezeigt; // the rate as the grid shows it
    } cases[] = {
        {"mode 1", 0, 0, "Satz", "2,5", "100,00", "100", "51.1292", "250", "127.823", "100,00\u00a0DM"},
        {"mode 2", 1, 0, "AlDispSatz", "", "10,00", "19.5583", "10", "0", "0", "10,00\u00a0\xE2\x82\xAC"},
        {"mode 3", 0, 1, "AlDispSatz", "3", "100,00", "51.1292", "100", "153.39", "300", "100,00\u00a0DM"},
        {"mode 4", 1, 1, "Satz", "1,5", "50,00", "50", "97.7915", "75", "146.6873",
         "50,00\u00a0\xE2\x82\xAC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        projekt_->Execute("DELETE FROM StdRePos");
        auto f = Oeffnen(c.anzeige, c.eingabe);
        velu::forms::BoundGridView* grid = f->Panel().SSDBGrid1();
        EXPECT_FALSE(grid->isColumnHidden(f->Positionen()->ColumnOf(c.satzSpalte)));
        const bool haupt = std::string(c.satzSpalte) == "Satz";
        EXPECT_EQ(grid->isColumnHidden(f->Positionen()->ColumnOf("AlDispSatz")), haupt);
        EXPECT_EQ(grid->isColumnHidden(f->Positionen()->ColumnOf("Summ")), !haupt);
        ASSERT_TRUE(Tippen(*f, 0, "Leistung", "Planung"));
        if (*c.menge) {
            ASSERT_TRUE(Tippen(*f, 0, "Menge", c.menge));
        }
        ASSERT_TRUE(Tippen(*f, 0, c.satzSpalte, c.satz));
        EXPECT_EQ(Zelle(*f, 0, c.satzSpalte), QString::fromUtf8(c.gezeigt));
        ASSERT_TRUE(f->ActiveBar1().Click("Band1", "OK"));
        EXPECT_EQ(Betrag(0, "Satz"), C(c.eSatz));
        EXPECT_EQ(Betrag(0, "AlDispSatz"), C(c.eAlDispSatz));
        EXPECT_EQ(Betrag(0, "Summ"), C(c.eSumm));
        EXPECT_EQ(Betrag(0, "AlDispSumm"), C(c.eAlDispSumm));
        EXPECT_EQ(std::get<int64_t>(Gespeichert(0, "REZuordnung")), Rechnung);
        EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();
    }
}

TEST_F(StdRechTest, QuantityEditKeepsBothRates) {
    // A pair as another program left it: the rates are not brought into line by a quantity.
    Position("1", "1", "20");
    projekt_->Execute("UPDATE StdRePos SET AlDispSatz = ?", velu::db::Params().Add(C("10").Raw()));
    auto f = Oeffnen(1, 0);
    ASSERT_TRUE(Tippen(*f, 0, "Menge", "4"));
    ASSERT_TRUE(f->Positionen()->Commit());
    EXPECT_EQ(Betrag(0, "Satz"), C("20"));
    EXPECT_EQ(Betrag(0, "AlDispSatz"), C("10"));
    EXPECT_EQ(Betrag(0, "Summ"), C("80"));
    EXPECT_EQ(Betrag(0, "AlDispSumm"), C("40")); // the sum the user sees: 4 x 10 euro
}

TEST_F(StdRechTest, BadInputIsRefusedAndChangesNothing) {
    struct Case {
        const char* name;
        const char* feld;
        const char* text;
        const char* meldung;
    } cases[] = {
        {"quantity not a number", "Menge", "zwei", "Die Eingabe muss nummerisch sein"},
        {"rate not a number", "Satz", "12a", "Die Eingabe muss nummerisch sein"},
        {"twin not a number", "AlDispSatz", "1,2,3", "Die Eingabe muss nummerisch sein"},
        {"quantity beyond the money range", "Menge", "999999999", "Der Betrag ist zu groß."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        projekt_->Execute("DELETE FROM StdRePos");
        Position("1", "2", "999999999");
        auto f = Oeffnen(0, 0);
        const size_t vorher = boxen_.Shown().size();
        EXPECT_FALSE(Tippen(*f, 0, c.feld, c.text));
        ASSERT_EQ(boxen_.Shown().size(), vorher + 1);
        EXPECT_EQ(boxen_.Shown().back().text, QString::fromUtf8(c.meldung));
        EXPECT_EQ(boxen_.Shown().back().icon, MsgIcon::Critical);
        EXPECT_EQ(boxen_.Shown().back().title, "Stundenlohnrechnung 2026-001 Planung");
        // The cell and its row show what they had, and nothing else is written.
        EXPECT_EQ(Zelle(*f, 0, "Menge"), "2,00 ");
        EXPECT_EQ(Zelle(*f, 0, "Satz"), "999.999.999,00\u00a0DM");
        ASSERT_TRUE(f->ActiveBar1().Click("Band1", "OK"));
        EXPECT_EQ(Betrag(0, "Menge"), C("2"));
        EXPECT_EQ(Betrag(0, "Satz"), C("999999999"));
        EXPECT_EQ(Betrag(0, "Summ"), C("1999999998"));
        EXPECT_EQ(std::get<std::string>(Gespeichert(0, "Datum")), "2026-12-01");
    }
}

TEST_F(StdRechTest, EmptyDateBecomesTodayUnlessTheDateIsTyped) {
    struct Case {
        const char* name;
        const char* feld;
        const char* text;
        std::string datum;
    } cases[] = {
        {"text typed", "Leistung", "Bauleitung", Heute()},
        {"quantity typed", "Menge", "3", Heute()},
        {"date typed", "Datum", "1.2.2026", "2026-02-01"},
        // Refused with a message instead of becoming today's date; nothing is written.
        {"unreadable date", "Datum", "31.02.2026", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        projekt_->Execute("DELETE FROM StdRePos");
        Position("1", "1", "10");
        projekt_->Execute("UPDATE StdRePos SET Datum = NULL");
        auto f = Oeffnen(0, 0);
        const size_t vorher = boxen_.Shown().size();
        ASSERT_EQ(Tippen(*f, 0, c.feld, c.text), !c.datum.empty());
        ASSERT_TRUE(f->Positionen()->Commit());
        if (c.datum.empty()) {
            EXPECT_TRUE(velu::db::IsNull(Gespeichert(0, "Datum")));
            ASSERT_EQ(boxen_.Shown().size(), vorher + 1);
            EXPECT_EQ(boxen_.Shown().back().text,
                      QString::fromUtf8("Datum:\n„31.02.2026“ ist kein Datum. Bitte "
                                        "geben Sie das Datum als TT.MM.JJJJ ein."));
        } else {
            EXPECT_EQ(std::get<std::string>(Gespeichert(0, "Datum")), c.datum);
        }
    }
    // A row with a date keeps it.
    projekt_->Execute("DELETE FROM StdRePos");
    Position("1", "1", "10", "2026-11-30");
    auto f = Oeffnen(0, 0);
    ASSERT_TRUE(Tippen(*f, 0, "Leistung", "Bauleitung"));
    ASSERT_TRUE(f->Positionen()->Commit());
    EXPECT_EQ(std::get<std::string>(Gespeichert(0, "Datum")), "2026-11-30");
}

TEST_F(StdRechTest, EmployeeGivesTheRateOnlyToARowWithout) {
    struct Case {
        const char* name;
        int anzeige, eingabe;
        const char* satz; // the row's rate before, empty for none
        const char *eSatz, *eAlDispSatz;
    } cases[] = {
        {"mode 2, no rate", 1, 0, "", "120", "61.355"},
        {"mode 1, no rate", 0, 0, "", "120", "61.355"},
        {"mode 2, a rate", 1, 0, "90", "90", "46.0163"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        projekt_->Execute("DELETE FROM StdRePos");
        Position("1", "2", *c.satz ? c.satz : "0");
        if (!*c.satz) projekt_->Execute("UPDATE StdRePos SET Satz = NULL, AlDispSatz = NULL");
        auto f = Oeffnen(c.anzeige, c.eingabe);
        ASSERT_TRUE(Tippen(*f, 0, "Mitarbeiter", "Meier"));
        // Committed at once.
        EXPECT_FALSE(f->Positionen()->HasPending());
        EXPECT_EQ(std::get<std::string>(Gespeichert(0, "Mitarbeiter")), "Meier");
        EXPECT_EQ(Betrag(0, "Satz"), C(c.eSatz));
        EXPECT_EQ(Betrag(0, "AlDispSatz"), C(c.eAlDispSatz));
        EXPECT_EQ(Betrag(0, "Summ"), velu::RundCY(C(c.eSatz) * 2));
    }
    // A name that is no employee is only text.
    auto f = Oeffnen(0, 0);
    ASSERT_TRUE(Tippen(*f, 1, "Mitarbeiter", "Gast"));
    EXPECT_TRUE(f->Positionen()->HasPending());
}

TEST_F(StdRechTest, CatalogueDoubleClickFillsTheCurrentPosition) {
    Position("9", "2", "40");
    auto f = Oeffnen(1, 0); // mode 2: the catalogue's DM rate, shown in euro
    velu::forms::BoundGridModel* katalog = f->Panel().Katalog();
    ASSERT_TRUE(katalog);
    ASSERT_EQ(katalog->StoredRows(), 3);
    f->Panel().SSDBGrid1()->SetCurrentRow(0);
    f->KatalogUebernehmen(0); // 1.1 Bauleitung, Std, 100 DM
    EXPECT_FALSE(f->Positionen()->HasPending());
    EXPECT_EQ(std::get<std::string>(Gespeichert(0, "PosNr")), "1.1");
    EXPECT_EQ(std::get<std::string>(Gespeichert(0, "Leistung")), "Bauleitung");
    EXPECT_EQ(std::get<std::string>(Gespeichert(0, "Einheit")), "Std");
    EXPECT_EQ(Betrag(0, "Menge"), C("2"));
    EXPECT_EQ(Betrag(0, "Satz"), C("100"));
    EXPECT_EQ(Betrag(0, "AlDispSatz"), C("51.1292"));
    EXPECT_EQ(Betrag(0, "Summ"), C("200"));

    // On the new-row line it adds a position of the invoice, with an empty quantity.
    f->Panel().SSDBGrid1()->SetCurrentRow(1);
    f->KatalogUebernehmen(2); // 2.0 Kopien, no DM rate
    ASSERT_EQ(Positionen(), 2);
    EXPECT_EQ(std::get<std::string>(Gespeichert(1, "PosNr")), "2.0");
    EXPECT_EQ(std::get<int64_t>(Gespeichert(1, "REZuordnung")), Rechnung);
    EXPECT_EQ(Betrag(1, "Summ"), C("0"));
    EXPECT_EQ(f->Positionen()->rowCount(), 3);
}

TEST_F(StdRechTest, CatalogueFilterFollowsTheEntryCurrency) {
    struct Case {
        const char* name;
        int eingabe;
        const char* aufwanz;
        int zeilen;
        const char* zweiteNr;
    } cases[] = {
        {"all", 1, "0", 3, "1.2"},
        {"euro rates only", 1, "1", 2, "2.0"},
        {"DM rates only", 0, "1", 2, "1.2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings_->SaveSetting("STDRECHNUNG", "AUFWANZ", c.aufwanz);
        auto f = Oeffnen(c.eingabe, c.eingabe);
        velu::forms::BoundGridModel* katalog = f->Panel().Katalog();
        ASSERT_EQ(katalog->StoredRows(), c.zeilen);
        EXPECT_EQ(std::get<std::string>(katalog->Value(1, "Positionsnummer")), c.zweiteNr);
        EXPECT_EQ(f->ActiveBar1().Checked("Band1", "OHNENUL"), std::string(c.aufwanz) == "1");
        // The rate column of the entry currency.
        velu::forms::BoundGridView* g2 = f->Panel().SSDBGrid2();
        EXPECT_EQ(g2->isColumnHidden(katalog->ColumnOf("Satz")), c.eingabe != 0);
        EXPECT_EQ(g2->isColumnHidden(katalog->ColumnOf("AlDispSatz")), c.eingabe == 0);
    }
    // The tool switches the filter and stores it.
    auto f = Oeffnen(1, 1);
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "OHNENUL"));
    EXPECT_EQ(f->Panel().Katalog()->StoredRows(), 3);
    EXPECT_FALSE(f->ActiveBar1().Checked("Band1", "OHNENUL"));
    EXPECT_EQ(settings_->GetSetting("STDRECHNUNG", "AUFWANZ"), "0");
}

TEST_F(StdRechTest, CataloguePaneHiddenByTheStoredSetting) {
    settings_->SaveSetting("STDRECHNUNG", "LKDISP", "0");
    auto f = Oeffnen(0, 0);
    f->resize(800, 500);
    f->show();
    QApplication::processEvents();
    EXPECT_TRUE(f->ActiveBar1().Checked("Band1", "SWITCHLK"));
    EXPECT_EQ(f->Panel().SplitterV().MinBottom(), 0);
    velu::forms::BoundGridView* g2 = f->Panel().SSDBGrid2();
    EXPECT_TRUE(!g2->isVisible() || g2->height() <= 0);

    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "SWITCHLK"));
    QApplication::processEvents();
    EXPECT_FALSE(f->ActiveBar1().Checked("Band1", "SWITCHLK"));
    EXPECT_EQ(f->Panel().SplitterV().MinBottom(), 100);
    EXPECT_TRUE(g2->isVisible());
    EXPECT_GE(g2->height(), 100);
    EXPECT_EQ(settings_->GetSetting("STDRECHNUNG", "LKDISP"), "1");
    f->hide();
}

TEST_F(StdRechTest, EntryCurrencyOnTheCaptionLine) {
    auto dm = Oeffnen(0, 0);
    EXPECT_EQ(dm->Panel().GridCaption()->text(), QString::fromUtf8("Berechnungswährung DM"));
    auto eur = Oeffnen(0, 1);
    QLabel* caption = eur->Panel().GridCaption();
    EXPECT_EQ(caption->text(), QString::fromUtf8("Berechnungswährung €"));
    EXPECT_EQ(caption->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_EQ(caption->palette().color(QPalette::Window), QColor(0, 0, 255));
    // Display tools: exactly the display currency checked.
    EXPECT_TRUE(eur->ActiveBar1().Checked("Band1", "DM"));
    ASSERT_TRUE(eur->ActiveBar1().Click("Band1", "EUR"));
    EXPECT_TRUE(eur->ActiveBar1().Checked("Band1", "EUR"));
    EXPECT_FALSE(eur->ActiveBar1().Checked("Band1", "DM"));
    EXPECT_EQ(eur->Modus(), 4);
}

TEST_F(StdRechTest, InvoiceNumberIsNeitherShownNorTyped) {
    Position("1", "1", "10");
    auto f = Oeffnen(0, 0);
    velu::forms::BoundGridModel* m = f->Positionen();
    const int spalte = m->ColumnOf("REZuordnung");
    EXPECT_TRUE(f->Panel().SSDBGrid1()->isColumnHidden(spalte));
    EXPECT_FALSE(m->flags(m->index(0, spalte)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m->setData(m->index(0, spalte), "8"));
    EXPECT_EQ(std::get<int64_t>(Gespeichert(0, "REZuordnung")), Rechnung);
    // Sums are computed, not typed.
    EXPECT_FALSE(m->flags(m->index(0, m->ColumnOf("Summ"))) & Qt::ItemIsEditable);
}

TEST_F(StdRechTest, PositionsAreDeletedWithoutAQuestion) {
    Position("1", "1", "10");
    Position("2", "1", "20");
    auto f = Oeffnen(0, 0);
    EXPECT_TRUE(f->Positionen()->DeleteRow(0));
    EXPECT_TRUE(boxen_.Shown().empty());
    EXPECT_EQ(Positionen(), 1);
    EXPECT_EQ(std::get<std::string>(Gespeichert(0, "PosNr")), "2");
}

TEST_F(StdRechTest, EveryWayOfClosingStoresThePendingRowAsOk) {
    struct Case {
        const char* name;
        std::function<void(StdRech&)> schliessen;
    } cases[] = {
        {"OK", [](StdRech& f) { f.ActiveBar1().Click("Band1", "OK"); }},
        {"EXIT", [](StdRech& f) { f.ActiveBar1().Click("Band1", "EXIT"); }},
        {"Esc",
         [](StdRech& f) {
             QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&f, &esc);
         }},
        {"close box", [](StdRech& f) { f.close(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        projekt_->Execute("DELETE FROM StdRePos");
        auto f = Oeffnen(0, 0);
        f->show();
        ASSERT_TRUE(Tippen(*f, 0, "Menge", "2"));
        ASSERT_TRUE(Tippen(*f, 0, "Satz", "55"));
        EXPECT_EQ(Positionen(), 0);
        c.schliessen(*f);
        EXPECT_FALSE(f->isVisible());
        EXPECT_EQ(f->result(), QDialog::Accepted);
        EXPECT_EQ(f->ActiveBar1().Tag(), "X");
        ASSERT_EQ(Positionen(), 1);
        EXPECT_EQ(Betrag(0, "Summ"), C("110"));
    }
}

TEST_F(StdRechTest, F1OpensItsHelpPage) {
    ASSERT_TRUE(velu::help::HatThema("StdRech"));
    auto f = Oeffnen(0, 0);
    velu::help::CloseHandbuch();
    QShortcut* f1 = nullptr;
    for (QShortcut* sc : f->findChildren<QShortcut*>())
        if (sc->key() == QKeySequence(Qt::Key_F1)) f1 = sc;
    ASSERT_TRUE(f1);
    emit f1->activated();
    ASSERT_TRUE(velu::help::Handbuch());
    EXPECT_TRUE(velu::help::Handbuch()->source().toString().contains("StdRech.html"));
    velu::help::CloseHandbuch();
}

} // namespace

namespace {

TEST_F(StdRechTest, TranselTakesTheUnbilledRecordsOverOnce) {
    Position("1", "1", "10");
    Erfassen({"A1", 1, "2.5", "10", "25", "19.5583", "48.8957"});
    auto f = Oeffnen(0, 0);
    ASSERT_TRUE(Tippen(*f, 0, "Menge", "2")); // pending: written before the transfer
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "TRANSEL"));
    EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();
    ASSERT_EQ(f->Positionen()->StoredRows(), 2);
    EXPECT_EQ(Betrag(0, "Summ"), C("20"));
    EXPECT_EQ(f->Positionen()->data(f->Positionen()->index(1, 0)).toString(), "A1");
    EXPECT_EQ(Betrag(1, "Summ"), C("48.9"));

    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "TRANSEL"));
    ASSERT_EQ(boxen_.Shown().size(), 1u);
    EXPECT_EQ(boxen_.Shown()[0].text, "Es sind keine neuen Daten vorhanden");
    EXPECT_EQ(boxen_.Shown()[0].icon, MsgIcon::Information);
    EXPECT_EQ(boxen_.Shown()[0].title, QApplication::applicationDisplayName());
    EXPECT_EQ(Positionen(), 2);
}

TEST_F(StdRechTest, FailedTransferIsShownAndChangesNothing) {
    const int64_t a = Erfassen({"A1", 0, "1", "10", "10", "5.1129", "5.1129"});
    projekt_->Execute("CREATE TRIGGER Storung BEFORE INSERT ON StdRePos "
                      "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END");
    auto f = Oeffnen(0, 0);
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "TRANSEL"));
    ASSERT_EQ(boxen_.Shown().size(), 1u);
    EXPECT_TRUE(boxen_.Shown()[0].text.contains(QString::fromUtf8("Datenträger voll")));
    EXPECT_EQ(boxen_.Shown()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(Positionen(), 0);
    EXPECT_FALSE(Verbucht(a));
    EXPECT_EQ(f->Positionen()->rowCount(), 1);
}

} // namespace

namespace {

TEST_F(StdRechTest, RefusedInputOnTheNewRowLineStoresNoEmptyRow) {
    auto f = Oeffnen(1, 0);
    EXPECT_FALSE(Tippen(*f, 0, "AlDispSatz", "900000000000000"));
    EXPECT_EQ(boxen_.LastText(), StdRech::ZuGrossMeldung);
    EXPECT_FALSE(f->Positionen()->HasPending());
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "OK"));
    EXPECT_EQ(Positionen(), 0);
}

TEST_F(StdRechTest, DatePickerWritesTheChosenDate) {
    Position("1", "1", "10", "2026-11-30");
    auto f = Oeffnen(0, 0);
    f->show();
    velu::forms::BoundGridView* grid = f->Panel().SSDBGrid1();
    grid->setCurrentIndex(f->Positionen()->index(0, f->Positionen()->ColumnOf("Datum")));
    f->Panel().DatumKnopf();
    EXPECT_TRUE(f->Panel().PickerOffen());
    EXPECT_TRUE(f->Panel().DatePicSSDB1()->isVisible());
    emit f->Panel().DatePicSSDB1()->DateAction("05.12.2026", velu::DatePicSSDB::ActionClicked);
    EXPECT_FALSE(f->Panel().DatePicSSDB1()->isVisible());
    ASSERT_TRUE(f->ActiveBar1().Click("Band1", "OK"));
    EXPECT_EQ(std::get<std::string>(Gespeichert(0, "Datum")), "2026-12-05");
}

} // namespace

TEST_F(StdRechTest, ShownFormSplitsPositionsAndCatalogueInHalves) {
    auto f = Oeffnen(0, 0);
    f->resize(760, 520);
    f->show();
    QApplication::processEvents();
    auto* container = f->findChild<QWidget*>("picSplitterVContainer");
    ASSERT_TRUE(container);
    const int oben = f->findChild<velu::forms::BoundGridView*>("SSDBGrid1")->height();
    EXPECT_GT(oben, container->height() / 2 - 10);
    EXPECT_LT(oben, container->height() / 2 + 10);
    f->resize(1200, 900); // maximised
    QApplication::processEvents();
    const int gross = f->findChild<velu::forms::BoundGridView*>("SSDBGrid1")->height();
    EXPECT_GT(gross, container->height() / 2 - 10);
    EXPECT_LT(gross, container->height() / 2 + 10);
    f->close();
}
