#include "register/BerAnlage.h"
#include "GridEnter.h"
#include "RegisterFixture.h"
#include "TestApp.h"
#include "platform/forms/FormTag.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QApplication>
#include <QDate>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextBrowser>

#include <gtest/gtest.h>

using velu::Currency;
using velu::forms::MessageBoxScript;
using namespace velu::reg;

class BerAnlageTest : public ProjektFixture {
protected:
    void SetUp() override {
        testApp();
        ProjektFixture::SetUp();
    }
    QLineEdit* Feld(BerAnlage& d, int i) { return d.findChild<QLineEdit*>(QString("XtraText1(%1)").arg(i)); }
    void Fuelle(BerAnlage& d, const QString& gruppe, const QString& nummer, const QString& name) {
        Feld(d, 0)->setText(gruppe);
        Feld(d, 1)->setText(nummer);
        Feld(d, 2)->setText(name);
    }
    int64_t Anzahl() { return db_->OpenRecordset("SELECT Count(*) AS n FROM BeReList").GetInt("n"); }
};

TEST_F(BerAnlageTest, ProposesTheNextGroupNumber) {
    {
        BerAnlage d(*db_, Currency::FromUnits(16));
        d.Setdatabasename();
        EXPECT_EQ(Feld(d, 0)->text(), "Gruppe 1");
        EXPECT_TRUE(Feld(d, 1)->text().isEmpty());
        EXPECT_TRUE(Feld(d, 2)->text().isEmpty());
        EXPECT_TRUE(d.findChild<QRadioButton*>("Option1(0)")->isChecked());
    }
    const int64_t a = AddBerechnung("A", "a", 0, 0, "Neubau");
    AddBerechnung("R", "b", 0, a, "Neubau");
    AddBerechnung("A", "c", 0, 0, "Umbau");
    BerAnlage d(*db_, Currency::FromUnits(16));
    d.Setdatabasename();
    EXPECT_EQ(Feld(d, 0)->text(), "Gruppe 3");
}

TEST_F(BerAnlageTest, RefusesEmptyInputAndAGroupInUse) {
    AddBerechnung("A", "a", 0, 0, "Neubau");
    struct {
        const char *gruppe, *nummer, *name, *meldung;
    } faelle[] = {
        {"  ", "1", "n", "Es wird eine Eingabe erwartet für „Berechnungsgruppe“."},
        {"G", "", "n", "Es wird eine Eingabe erwartet für „Berechnungsnummer“."},
        {"G", "1", "   ", "Es wird eine Eingabe erwartet für „Berechnungsbezeichnung“."},
        {" neubau ", "1", "n",
         "Diese Gruppenbezeichning ist schon vorhanden, Bitte wählen Sie eine ander Bezeichnung"},
    };
    for (const auto& f : faelle) {
        BerAnlage d(*db_, Currency::FromUnits(16));
        Fuelle(d, f.gruppe, f.nummer, f.name);
        MessageBoxScript script;
        d.ActiveBar1().Click("Band1", "OK");
        EXPECT_EQ(script.LastText(), f.meldung) << f.gruppe << "|" << f.nummer << "|" << f.name;
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_EQ(d.NeueLfNr(), 0);
        EXPECT_NE(d.ActiveBar1().Tag(), "X");
    }
    EXPECT_EQ(Anzahl(), 1);
}

TEST_F(BerAnlageTest, OkWritesTheCalculationAndAccepts) {
    BerAnlage d(*db_, Currency::FromString("19"));
    d.Setdatabasename();
    Fuelle(d, "  Neubau Kita ", " R-1", "Entwurf ");
    d.findChild<QRadioButton*>("Option1(4)")->setChecked(true);
    d.findChild<QRadioButton*>("Option2(1)")->setChecked(true);
    MessageBoxScript script;
    d.ActiveBar1().Click("Band1", "OK");
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const int64_t n = d.NeueLfNr();
    ASSERT_GT(n, 0);
    EXPECT_EQ(d.ActiveBar1().Tag(), "X");
    EXPECT_EQ(velu::forms::FormTag(*d.findChild<QGroupBox*>("Frame1")), QString::number(n));
    EXPECT_EQ(std::get<int64_t>(Get(n, "Ursprung")), n);
    EXPECT_EQ(std::get<std::string>(Get(n, "REType")), "V");
    EXPECT_EQ(std::get<std::string>(Get(n, "Gruppenbezeichnung")), "Neubau Kita");
    EXPECT_EQ(std::get<std::string>(Get(n, "ReNummer")), "R-1");
    EXPECT_EQ(std::get<std::string>(Get(n, "ReBezeichnung")), "Entwurf");
    EXPECT_EQ(std::get<std::string>(Get(n, "Redatum")),
              QDate::currentDate().toString(Qt::ISODate).toStdString());
    EXPECT_EQ(std::get<int64_t>(Get(n, "INPUTType")), 1);
    EXPECT_EQ(std::get<int64_t>(Get(n, "DisplayType")), 1);
    EXPECT_EQ(GetCY(n, "MwstPro"), Currency::FromString("19"));
}

TEST_F(BerAnlageTest, EscapeAndExitCreateNothing) {
    for (int weg = 0; weg < 2; ++weg) {
        BerAnlage d(*db_, Currency::FromUnits(16));
        d.Setdatabasename();
        Fuelle(d, "Neu", "1", "n");
        d.open();
        if (weg == 0) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&d, &esc);
        } else {
            d.ActiveBar1().Click("Band1", "EXIT");
        }
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
    EXPECT_EQ(Anzahl(), 0);
}

TEST(BerAnlageWaehrung, PreselectedFromTheRegionalCurrencyFormat) {
    struct {
        const char* format;
        int waehrung;
    } faelle[] = {{"2,00 DM", 0}, {"DM 2.00", 0}, {"2,00 €", 1}, {"$2.00", 1}, {"", 1}};
    for (const auto& f : faelle)
        EXPECT_EQ(BerAnlage::WaehrungAusFormat(QString::fromUtf8(f.format)), f.waehrung) << f.format;
}

TEST_F(BerAnlageTest, F1OpensTheDialogsHelpPage) {
    velu::help::CloseHandbuch();
    BerAnlage d(*db_, Currency::FromUnits(16));
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&d, &f1);
    ASSERT_NE(velu::help::Handbuch(), nullptr);
    EXPECT_EQ(velu::help::Handbuch()->source().fileName(), "BerAnlage.html");
    velu::help::CloseHandbuch();
}

TEST_F(BerAnlageTest, ATooLongNameIsRefusedWithItsLimitAndStaysTyped) {
    struct Fall {
        int feld;
        QString text;
        const char* meldung;
    } faelle[] = {
        {2, "Angebot Objektplanung Gebäude 1", // 31 characters
         "Berechnungsbezeichnung:\nDer Text ist 31 Zeichen lang; höchstens 30 Zeichen sind möglich."},
        {1, "2026-0815-000001",
         "Berechnungsnummer:\nDer Text ist 16 Zeichen lang; höchstens 15 Zeichen sind möglich."},
        {0, "Neubau Kindertagesstätte Nord 2", // 31
         "Berechnungsgruppe:\nDer Text ist 31 Zeichen lang; höchstens 30 Zeichen sind möglich."},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.meldung);
        BerAnlage d(*db_, Currency::FromUnits(16));
        d.Setdatabasename();
        d.show();
        Fuelle(d, "Neubau", "7", "Angebot");
        Feld(d, f.feld)->setFocus();
        Feld(d, f.feld)->selectAll();
        velu::eingabe::Tasten(*Feld(d, f.feld), f.text);
        EXPECT_EQ(Feld(d, f.feld)->text(), f.text) << "every typed character is taken";
        MessageBoxScript script;
        d.ActiveBar1().Click("Band1", "OK");
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.LastText(), QString::fromUtf8(f.meldung));
        EXPECT_EQ(Anzahl(), 0);
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_EQ(Feld(d, f.feld)->text(), f.text);
        EXPECT_EQ(d.focusWidget(), Feld(d, f.feld));
        // Shortened by one, it is taken.
        velu::eingabe::Taste(*Feld(d, f.feld), Qt::Key_Backspace);
        d.ActiveBar1().Click("Band1", "OK");
        EXPECT_EQ(script.Shown().size(), 1u) << script.LastText().toStdString();
        EXPECT_EQ(Anzahl(), 1);
        db_->Execute("DELETE FROM BeReList");
    }
}
