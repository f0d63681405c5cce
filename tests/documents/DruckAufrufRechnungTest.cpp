// The print dialog of offers and invoices: its set-up per document kind, its tools, the summary over
// several runs and what a failed run leaves.
#include "documents/DruckAufrufRechnung.h"
#include "DruckProgrammFixture.h"
#include "GridEnter.h"
#include "documents/CRModul.h"
#include "documents/PrintRechnung.h"
#include "platform/forms/ToolBand.h"
#include "platform/richtext/ScribantView.h"

#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>

using namespace velu;
using namespace velu::documents;

namespace {

class DruckAufrufTest : public DruckProgrammFixture {
protected:
    int64_t Rechnung(const char* nummer, int waehrung, const char* end, const char* aldisp) {
        const int64_t l = Neu('R', std::string("Rechnung ") + nummer, waehrung);
        projekt_->Execute(
            "UPDATE BeReList SET ReNummer = ?, Endbetrag = ?, AlDispEndbetrag = ? WHERE LfNr = ?",
            db::Params()
                .Add(std::string(nummer))
                .Add(Currency::FromString(end).Raw())
                .Add(Currency::FromString(aldisp).Raw())
                .Add(l));
        return l;
    }

    CRModul cr_;
};

TEST_F(DruckAufrufTest, EachKindListsItsTemplatesUnderItsCaption) {
    const char* titel[] = {"Angebote",
                           "Rechnungen",
                           "örtliche Bauleitung",
                           "Zusammenstellung",
                           "Stundenlohnrechnung",
                           "Vergleichsangebote",
                           "Vergleichsrechnungen"};
    for (int art = 1; art <= 7; ++art) {
        DruckAufrufRechnung d(cr_);
        d.Makeconection(art, "", EUR, art % 2, 1);
        EXPECT_EQ(d.SSDBGrid1()->horizontalHeaderItem(0)->text(), QString::fromUtf8(titel[art - 1]));
        ASSERT_EQ(d.SSDBGrid1()->rowCount(), 1) << art;
        EXPECT_EQ(d.SSDBGrid1()->currentRow(), 0);
        EXPECT_EQ(d.ActiveBar1().Checked("Band1", "DM"), art % 2 == 0);
        EXPECT_EQ(d.ActiveBar1().Checked("Band1", "EUR"), art % 2 == 1);
        EXPECT_EQ(d.DTPicker1()->date(), QDate::currentDate());
    }
}

TEST_F(DruckAufrufTest, DateCopiesAndCurrencyTools) {
    DruckAufrufRechnung d(cr_);
    d.Makeconection(2, "24.12.2026", DM, DM, 1);
    EXPECT_EQ(d.DTPicker1()->date(), QDate(2026, 12, 24));
    EXPECT_EQ(d.XtraText1()->minimum(), 1);
    EXPECT_EQ(d.XtraText1()->maximum(), 99);
    d.ActiveBar1().Click("Band1", "EUR");
    EXPECT_FALSE(d.ActiveBar1().Checked("Band1", "DM"));
    EXPECT_TRUE(d.ActiveBar1().Checked("Band1", "EUR"));
    d.ActiveBar1().Click("Band1", "DM");
    EXPECT_TRUE(d.ActiveBar1().Checked("Band1", "DM"));
    EXPECT_FALSE(d.ActiveBar1().Checked("Band1", "EUR"));
    d.show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&d, &esc);
    EXPECT_FALSE(d.isVisible());
}

TEST_F(DruckAufrufTest, EveryRunOfTheDialogPrintsTheSummary) {
    const int64_t r1 = Rechnung("R-1", DM, "1160", "593.0984");
    const int64_t r2 = Rechnung("R-2", EUR, "500", "977.915");
    DruckAufrufRechnung d(cr_);
    d.ZusammTrans({r1, r2});
    d.Makeconection(4, "09.12.2026", EUR, DM, r2);
    // A changed date is not written into the register's current calculation.
    d.DTPicker1()->setDate(QDate(2027, 1, 15));
    int laeufe = 0;
    d.SetVorschauHook([&](PrintRechnung& p) {
        ++laeufe;
        // The control keeps the lines of a field apart by line separators.
        auto feld = [&p](int n) {
            return p.Scribant1()
                .Control()
                .FieldText(n)
                .replace(QChar::LineSeparator, QStringLiteral("\r\n"))
                .replace(QChar(0x00A0), QLatin1Char(' '));
        };
        // One table row per invoice: number and amount of each in order.
        richtext::ScribantPro& c = p.Scribant1().Control();
        c.SetContext(richtext::ScribantPro::Body);
        const QString body = c.Text().replace(QChar(0x00A0), QLatin1Char(' '));
        const auto r1 = body.indexOf("R-1"), b1 = body.indexOf("1.160,00 DM"), r2 = body.indexOf("R-2"),
                   b2 = body.indexOf("977,92 DM");
        EXPECT_TRUE(r1 >= 0 && r1 < b1 && b1 < r2 && r2 < b2) << body.toStdString();
        EXPECT_EQ(feld(3056), "2.137,92 DM");
        EXPECT_EQ(feld(90), "15.01.2027");
        p.ActiveBar1().Click("Band1", "EXIT");
    });
    EXPECT_TRUE(d.StarteDruck(1));
    EXPECT_TRUE(d.StarteDruck(1));
    EXPECT_EQ(laeufe, 2);
    EXPECT_EQ(Wert(r2, "Redatum"), db::Value(std::string("2026-12-09")));
    EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();

    // A marked calculation deleted meanwhile is left out and named.
    projekt_->Execute("DELETE FROM BeReList WHERE LfNr = ?", db::Params().Add(r1));
    d.SetVorschauHook([](PrintRechnung& p) { p.ActiveBar1().Click("Band1", "EXIT"); });
    EXPECT_TRUE(d.StarteDruck(1));
    EXPECT_TRUE(boxen_.LastText().endsWith(": " + QString::number(r1))) << boxen_.LastText().toStdString();
}

// The date typed over the one shown, as a clerk does before printing: the document carries what was typed,
// or the dialog refuses it, keeps it for correction and prints nothing.
TEST_F(DruckAufrufTest, ATypedDateIsPrintedWholeOrRefusedAndKept) {
    using velu::eingabe::Taste;
    using velu::eingabe::Tasten;
    const int64_t r = Rechnung("R-1", EUR, "10", "19.5583");
    enum Weg { StrgA, Pos1, ZurueckVonExemplaren };
    struct Fall {
        const char* name;
        Weg weg;
        const char* getippt;
        const char* gedruckt; // empty: refused
        const char* imFeld;
    } faelle[] = {
        {"Ctrl+A", StrgA, "15.03.2026", "15.03.2026", "15.03.2026"},
        {"Ctrl+A, impossible date", StrgA, "31.02.2026", "", "31.02.2026"},
        {"Home", Pos1, "15.03.2026", "", "15.03.202609.12.2026"},
        {"Shift+Tab from the copies", ZurueckVonExemplaren, "30.11.2026", "30.11.2026", "30.11.2026"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        DruckAufrufRechnung d(cr_);
        d.Makeconection(4, "09.12.2026", EUR, EUR, r);
        d.ZusammTrans({r});
        d.show();
        d.activateWindow();
        QApplication::processEvents();
        QLineEdit* datum = d.DTPicker1();
        if (f.weg == ZurueckVonExemplaren) {
            d.XtraText1()->setFocus();
            Taste(d, Qt::Key_Backtab, Qt::ShiftModifier);
            ASSERT_EQ(d.focusWidget(), datum);
        } else {
            velu::eingabe::Klicken(*datum);
            Taste(d, f.weg == StrgA ? Qt::Key_A : Qt::Key_Home,
                  f.weg == StrgA ? Qt::ControlModifier : Qt::NoModifier);
        }
        Tasten(d, QString::fromUtf8(f.getippt));
        QString gedruckt;
        d.SetVorschauHook([&](PrintRechnung& p) {
            gedruckt = p.Scribant1().Control().FieldText(90);
            p.ActiveBar1().Click("Band1", "EXIT");
        });
        const size_t vorher = boxen_.Shown().size();
        EXPECT_EQ(d.StarteDruck(1), *f.gedruckt != 0);
        EXPECT_EQ(gedruckt, QString::fromUtf8(f.gedruckt));
        EXPECT_EQ(datum->text(), QString::fromUtf8(f.imFeld));
        if (*f.gedruckt) {
            EXPECT_EQ(boxen_.Shown().size(), vorher);
        } else {
            ASSERT_EQ(boxen_.Shown().size(), vorher + 1);
            EXPECT_EQ(boxen_.LastText(), QString::fromUtf8("Datum:\n„") + QString::fromUtf8(f.imFeld) +
                                             QString::fromUtf8("“ ist kein Datum. Bitte geben Sie das Datum "
                                                               "als TT.MM.JJJJ ein."));
            EXPECT_EQ(d.focusWidget(), datum);
        }
        EXPECT_EQ(Wert(r, "Redatum"), db::Value(std::string("2026-12-09")));
    }
}

TEST_F(DruckAufrufTest, AFailedRunIsShownAndChangesNothing) {
    const int64_t r = Rechnung("R-1", EUR, "10", "19.5583");
    struct Fall {
        int64_t lfnr;
        QString ordner;
        QString meldung;
    };
    const QString leer = QString::fromStdString(dir_.Path().string());
    for (const Fall& c :
         {Fall{r + 7, App().ReportPfad(), KeinDrucksatz}, Fall{r, leer, "Fehler bei ReportOpen #53"}}) {
        projekt_->Execute("INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe) VALUES (?, 1)",
                          db::Params().Add(r));
        App().SetPfade(c.ordner, {}, {});
        DruckAufrufRechnung d(cr_);
        d.Makeconection(2, "09.12.2026", EUR, EUR, c.lfnr);
        d.DTPicker1()->setDate(QDate(2027, 1, 15));
        const QString pdf = QString::fromStdString((dir_ / "fehler.pdf").string());
        d.SetDruckDatei(pdf);
        d.show();
        EXPECT_FALSE(d.StarteDruck(0));
        EXPECT_EQ(boxen_.LastText(), c.meldung);
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(QFileInfo::exists(pdf));
        EXPECT_EQ(Wert(r, "Redatum"), db::Value(std::string("2026-12-09")));
        EXPECT_FALSE(projekt_->InTransaction());
        EXPECT_TRUE(d.findChildren<PrintRechnung*>().isEmpty());
    }
}

} // namespace

// Without a printer "Drucken" says so at once and offers a PDF file instead; declined, nothing is written and
// no failure is reported. The document window's own "Drucken" does the same.
TEST_F(DruckAufrufTest, WithoutAPrinterPrintingOffersAPdfFile) {
    const int64_t r = Rechnung("R-7", EUR, "1190", "2327.44");
    const QString pdf = QString::fromStdString((dir_ / "ohne-drucker.pdf").string());
    auto& vorhanden = richtext::ScribantView::DruckerVorhanden();
    auto& waehlen = richtext::ScribantView::PdfDateiWaehlen();
    const auto alt = std::pair(vorhanden, waehlen);
    vorhanden = [] { return false; };
    int gefragt = 0;
    waehlen = [&](QWidget*) {
        ++gefragt;
        return pdf;
    };
    for (const forms::MsgResult antwort : {forms::MsgResult::No, forms::MsgResult::Yes}) {
        forms::MessageBoxScript boxen({antwort});
        DruckAufrufRechnung d(cr_);
        d.Makeconection(2, "09.12.2026", EUR, EUR, r);
        d.XtraText1()->setValue(2);
        const bool ok = d.StarteDruck(0);
        // Accepted, the second message says where the file was written.
        ASSERT_EQ(boxen.Shown().size(), antwort == forms::MsgResult::Yes ? 2u : 1u);
        EXPECT_TRUE(boxen.Shown()[0].text.startsWith("Es ist kein Drucker eingerichtet."));
        EXPECT_EQ(boxen.Shown()[0].buttons, forms::MsgButtons::YesNo);
        if (antwort == forms::MsgResult::Yes)
            EXPECT_EQ(boxen.Shown()[1].text,
                      "Das Dokument wurde als PDF-Datei gespeichert:\n" + QDir::toNativeSeparators(pdf));
        EXPECT_EQ(ok, antwort == forms::MsgResult::Yes);
        EXPECT_EQ(QFileInfo::exists(pdf), antwort == forms::MsgResult::Yes);
    }
    EXPECT_EQ(gefragt, 1);
    // Both copies are in the file, each numbered from its first page.
    QProcess p;
    p.start("pdfinfo", {pdf});
    p.waitForFinished(30000);
    if (p.exitCode() == 0) {
        const QString info = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(info.contains(QRegularExpression("Pages: +(2|4)\\b"))) << info.toStdString();
    }

    // In the document window.
    richtext::ScribantView v;
    v.Control().PasteData("<velu-doc version=\"1\"><p>Text</p></velu-doc>", "velu-doc", 100);
    QFile::remove(pdf);
    forms::MessageBoxScript boxen({forms::MsgResult::Yes});
    EXPECT_TRUE(v.PrintDialog());
    EXPECT_TRUE(QFileInfo::exists(pdf));
    vorhanden = alt.first;
    waehlen = alt.second;
}
