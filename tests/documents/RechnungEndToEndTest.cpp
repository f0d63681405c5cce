// An invoice from its creation to the PDF: added as the new-calculation dialog adds it, computed through
// EDIT of the register on the delivered fee table, printed through PRINTRE with the delivered invoice
// template and its fee statement, in euro and in DM. With VELU_RECHNUNG_SCREENSHOT the page view of the
// invoice, with VELU_DRUCKAUFRUF_SCREENSHOT the print dialog is saved as a PNG.
#include "DruckProgrammFixture.h"
#include "DruckRegisterHost.h"
#include "documents/CRModul.h"
#include "documents/DruckAufrufRechnung.h"
#include "documents/PrintRechnung.h"
#include "documents/RechnungDruckAufruf.h"
#include "platform/outside/AdressMaske.h"
#include "platform/richtext/ScribantView.h"
#include "register/BerAuswahl.h"
#include "register/ProgrammEditor.h"

#include <QDir>
#include <QLineEdit>
#include <QTableWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeWidget>

#include <cstdlib>

using namespace velu;
using namespace velu::reg;

namespace {

using druckhost::DruckHost;

QString PdfText(const QString& pdf, int seite = 0) {
    QStringList args = {"-layout"};
    if (seite > 0) args << "-f" << QString::number(seite) << "-l" << QString::number(seite);
    QProcess p;
    p.start("pdftotext", args << pdf << "-");
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).replace(QChar(0x00A0), QLatin1Char(' '));
}

void Speichere(QWidget& w, const char* variable) {
    if (const char* ziel = std::getenv(variable)) {
        QApplication::processEvents();
        QDir().mkpath(QFileInfo(ziel).absolutePath());
        EXPECT_TRUE(w.grab().save(ziel));
    }
}

class RechnungEndToEnd : public DruckProgrammFixture {
protected:
    void TearDown() override {
        documents::DruckAufrufHook() = nullptr;
        DruckProgrammFixture::TearDown();
    }
    // Prints the current calculation through PRINTRE into pdf; dm checks the DM tool first.
    void Drucke(BerAuswahl& w, const QString& pdf, bool dm, int kopien = 1) {
        bool lief = false;
        documents::DruckAufrufHook() = [&](documents::DruckAufrufRechnung& d) {
            d.SetDruckDatei(pdf);
            QTimer::singleShot(0, &d, [&, dm, kopien] {
                lief = true;
                if (dm) d.ActiveBar1().Click("Band1", "DM");
                d.XtraText1()->setValue(kopien);
                if (!dm) Speichere(d, "VELU_DRUCKAUFRUF_SCREENSHOT");
                d.ActiveBar1().Click("Band1", "PRINT");
                d.ActiveBar1().Click("Band1", "EXIT");
            });
        };
        ASSERT_TRUE(w.ActiveBar1().Click("PopupBand1", "PRINTRE"));
        EXPECT_TRUE(lief);
        EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();
    }
};

TEST_F(RechnungEndToEnd, InvoiceThroughEditAndPrintreToPdf) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    const int64_t r = Neu('R', "Honorarrechnung Neubau Kita", EUR, "Neubau Kita");
    BerAuswahl w(std::make_unique<DruckHost>());
    w.resize(1000, 600);
    w.show();
    ModalDriver<fee::Grunddat> drv([](fee::Grunddat& f) { GrunddatAusfuellen(f, {"500.000,00", "3", "0"}); });
    ASSERT_TRUE(w.ActiveBar1().Click("Band1", "EDIT"));
    ASSERT_TRUE(drv.Ran());
    ASSERT_EQ(Betrag(r, "Endbetrag"), Currency::FromUnits(74851));

    const QString euro = QString::fromStdString((dir_ / "rechnung-euro.pdf").string());
    Drucke(w, euro, false);
    const QString t = PdfText(euro);
    for (const char* soll : {"500.000,00 €", "62.900,00 €", "78.449,00 €", "20.128,00 €", "11.951,00 €",
                             "74.851,00 €", "Honorarrechnung Nr. 2026-001", "Honorarermittlung"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(soll))) << soll << "\n" << t.toStdString();

    const QString dm = QString::fromStdString((dir_ / "rechnung-dm.pdf").string());
    Drucke(w, dm, true);
    const QString tdm = PdfText(dm);
    for (const char* soll : {"977.915,00 DM", "146.395,83 DM"})
        EXPECT_TRUE(tdm.contains(QString::fromUtf8(soll))) << soll << "\n" << tdm.toStdString();
    EXPECT_FALSE(tdm.contains(QString::fromUtf8("€"))) << tdm.toStdString();

    // Every amount in the amount format.
    const QRegularExpression betrag(QString::fromUtf8("(\\S+) (€|DM)(?!\\w)"));
    const QRegularExpression format("^-?\\d{1,3}(\\.\\d{3})*,\\d{2}$");
    int anzahl = 0;
    for (const QString& text : {t, tdm})
        for (auto it = betrag.globalMatch(text); it.hasNext();) {
            const QString zahl = it.next().captured(1);
            ++anzahl;
            EXPECT_TRUE(format.match(zahl).hasMatch()) << zahl.toStdString();
        }
    EXPECT_GT(anzahl, 20);
    EXPECT_EQ(Wert(r, "Redatum"), db::Value(std::string("2026-12-09")));
}

TEST_F(RechnungEndToEnd, EveryCopyNumbersItsPagesFromOne) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    const int64_t r = Neu('R', "Honorarrechnung Neubau Kita", EUR, "Neubau Kita");
    // A template of three pages; the delivered footer shows the page number.
    App().StammDB()->Execute(
        "UPDATE DruckVorlagen SET TextVorlagen = '<velu-doc version=\"1\"><p>Eins <field n=\"3001\"> "
        "</field></p>"
        "<pagebreak/><p>Zwei</p><pagebreak/><p>Drei</p></velu-doc>' WHERE Dokumentart = 2");
    projekt_->Execute("UPDATE BeReList SET Modif = -1");
    BerAuswahl w(std::make_unique<DruckHost>());
    w.show();
    const QString pdf = QString::fromStdString((dir_ / "kopien.pdf").string());
    Drucke(w, pdf, false, 2);
    for (int s = 1; s <= 6; ++s)
        EXPECT_TRUE(PdfText(pdf, s).contains("Seite " + QString::number((s - 1) % 3 + 1)))
            << s << "\n"
            << PdfText(pdf, s).toStdString();
    EXPECT_TRUE(PdfText(pdf, 7).trimmed().isEmpty());
    (void)r;
}

TEST_F(RechnungEndToEnd, PreviewShowsTheInvoicePages) {
    const int64_t r = Neu('R', "Honorarrechnung Neubau Kita", EUR, "Neubau Kita");
    BerAuswahl w(std::make_unique<DruckHost>());
    w.show();
    ModalDriver<fee::Grunddat> drv([](fee::Grunddat& f) { GrunddatAusfuellen(f, {"500.000,00", "3", "0"}); });
    ASSERT_TRUE(w.ActiveBar1().Click("Band1", "EDIT"));
    bool gezeigt = false;
    documents::DruckAufrufHook() = [&](documents::DruckAufrufRechnung& d) {
        d.SetVorschauHook([&](documents::PrintRechnung& p) {
            gezeigt = true;
            EXPECT_TRUE(p.Scribant1().Control().PageView());
            EXPECT_TRUE(p.ActiveBar1().Checked("Band1", "PREVIEW"));
            EXPECT_FALSE(p.ActiveBar1().Enabled("Band1", "PAGINIRUNG"));
            p.resize(900, 1000);
            Speichere(p, "VELU_RECHNUNG_SCREENSHOT");
            p.ActiveBar1().Click("Band1", "EXIT");
        });
        QTimer::singleShot(0, &d, [&d] {
            d.ActiveBar1().Click("Band1", "PREVIEW");
            d.ActiveBar1().Click("Band1", "EXIT");
        });
    };
    ASSERT_TRUE(w.ActiveBar1().Click("PopupBand1", "PRINTRE"));
    EXPECT_TRUE(gezeigt);
    EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();
    (void)r;
}

TEST_F(RechnungEndToEnd, TheClientPickedInTheAddressBookHeadsTheNextInvoice) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    const int64_t r = Neu('R', "Honorarrechnung Neubau Kita", EUR, "Neubau Kita");
    {
        auto buch = outside::Adressbuch::Oeffnen(QString::fromStdString((dir_ / "ZADRESS32.MDB").string()));
        ASSERT_TRUE(buch);
        for (auto [name, strasse, plz, ort] :
             {std::array<const char*, 4>{"Stadt Neustadt", "Markt 1", "54321", "Neustadt"},
              std::array<const char*, 4>{"Gemeinde Müllheim", "Rathausplatz 7", "79379", "Müllheim"}}) {
            outside::Adresse a;
            a.name = QString::fromUtf8(name);
            a.strasse = strasse;
            a.plz = plz;
            a.ort = QString::fromUtf8(ort);
            ASSERT_TRUE(buch->Speichern(a));
        }
        const outside::ProjektInfo p = static_cast<outside::ProjektUmgebung&>(*umgebung_).AktProjekt();
        outside::AdressMaske m(*buch, outside::AdressMaske::Projekt{p, umgebung_->ProjektOrdner() + "/Prodat"});
        m.findChild<QLineEdit*>("Suche")->setText(QString::fromUtf8("müll"));
        ASSERT_EQ(m.Liste()->rowCount(), 1);
        m.Liste()->setCurrentCell(0, 0);
        ASSERT_TRUE(m.AlsBauherr()) << boxen_.LastText().toStdString();
    }
    projekt_->Execute("UPDATE BeReList SET Modif = -1");
    BerAuswahl w(std::make_unique<DruckHost>());
    w.show();
    const QString pdf = QString::fromStdString((dir_ / "rechnung-bauherr.pdf").string());
    Drucke(w, pdf, false);
    // The address block: the three client lines one under the other, before the invoice's heading. The
    // letter's data (date, numbers) stands beside the address window, so each line's left column is read.
    QStringList zeilen;
    for (const QString& z : PdfText(pdf, 1).split('\n'))
        if (!z.trimmed().isEmpty()) zeilen << z.trimmed().split(QRegularExpression("\\s{3,}")).front();
    const qsizetype i = zeilen.indexOf(QString::fromUtf8("Gemeinde Müllheim"));
    ASSERT_GE(i, 0) << zeilen.join('\n').toStdString();
    ASSERT_LT(i + 2, zeilen.size());
    EXPECT_EQ(zeilen[i + 1], "Rathausplatz 7");
    EXPECT_EQ(zeilen[i + 2], QString::fromUtf8("79379 Müllheim"));
    const qsizetype titel = zeilen.indexOf(QRegularExpression("^Honorarrechnung Nr\\..*"));
    EXPECT_GT(titel, i + 2) << zeilen.join('\n').toStdString();
    EXPECT_FALSE(zeilen.join('\n').contains("Neustadt"));
    (void)r;
}

} // namespace
