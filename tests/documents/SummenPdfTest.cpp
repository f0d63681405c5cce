// Offers and invoices as a client reads them: each case is computed through EDIT of the register, printed
// through PRINTRE with the delivered templates into a PDF, and a reader of the `pdftotext -layout` lines adds
// the printed figures up itself: the phase column to the statement's net fee, the totals from the net fee
// step by step to the final amount. The sums are compared with the printed totals and with the register's
// stored values. With VELU_SUMMEN_PDF_ORDNER the PDFs are kept in that folder.
#include "DruckProgrammFixture.h"
#include "DruckRegisterHost.h"
#include "RegisterEingabe.h"
#include "core/MoneyFormat.h"
#include "documents/CRModul.h"
#include "documents/DruckAufrufRechnung.h"
#include "documents/PrintRechnung.h"
#include "documents/RechnungDruckAufruf.h"
#include "expenses/StdRech.h"
#include "expenses/ZeilenModell.h"
#include "fee/Parag57.h"
#include "platform/outside/Prodat.h"
#include "platform/report/Ausgabe.h"
#include "platform/richtext/PdfWorte.h"
#include "platform/richtext/ScribantView.h"
#include "register/BerAuswahl.h"
#include "register/ProgrammEditor.h"

#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <QDate>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>

#include <cstdlib>
#include <optional>

using namespace velu;
using namespace velu::reg;

namespace {

using druckhost::DruckHost;
using eingabe::Edit;
using eingabe::Knoten;

// One printed amount: "-1.234,56 €" with an ordinary or a non-breaking blank before the sign.
const QRegularExpression
    BetragAmEnde(QString::fromUtf8("(-?\\d{1,3}(?:\\.\\d{3})*,\\d{2})[ \u00A0](€|DM)\\s*$"));

std::optional<Currency> BetragAm(const QString& zeile) {
    const auto m = BetragAmEnde.match(zeile);
    if (!m.hasMatch()) return std::nullopt;
    return ParseBetrag(m.captured(1).toStdString());
}

Currency Zahl(const QString& text) {
    const auto b = ParseBetrag(text.toStdString());
    EXPECT_TRUE(b) << text.toStdString();
    return b.value_or(Currency());
}

// What the reader found in one document.
struct Gelesen {
    Currency phasen, phasenSumme, statementNetto, netto, endbetrag, abschlag;
    int phasenZeilen = 0;
    bool statement = false, summen = false;
    QStringList fehler;
};

// Adds the document up as a client would and notes every line that does not follow from the ones above.
Gelesen Lies(const QString& text) {
    Gelesen g;
    const QStringList zeilen = text.split(QLatin1Char('\n'));
    enum { Vorher, Phasen, NachPhasen, VorSummen, Summen, Fertig } teil = Vorher;
    Currency laufend, statementSumme;
    const QRegularExpression phase("^\\s*[1-9] \\S");
    for (const QString& roh : zeilen) {
        const QString z = roh.trimmed();
        const auto betrag = BetragAm(z);
        // The totals go on from the statement's net fee, perhaps on the next page.
        if (teil == VorSummen && betrag) teil = Summen;
        if (teil == VorSummen) {
            continue;
        } else if (teil == Vorher && z.startsWith("Leistungsphase")) {
            teil = Phasen;
            g.statement = true;
        } else if (teil == Phasen && phase.match(roh).hasMatch() && betrag) {
            g.phasen += *betrag;
            ++g.phasenZeilen;
        } else if (teil == Phasen && z.startsWith("Summe der Leistungsphasen") && betrag) {
            g.phasenSumme = *betrag;
            statementSumme = *betrag;
            teil = NachPhasen;
        } else if (teil == NachPhasen && betrag) {
            if (z.startsWith("Honorar netto")) {
                g.statementNetto = *betrag;
                if (statementSumme != *betrag)
                    g.fehler << "Honorar netto der Honorarermittlung folgt nicht aus den Zeilen darüber: " +
                                    z;
                // The statement's net fee is where the totals start: the line stands once.
                teil = VorSummen;
                g.summen = true;
                g.netto = laufend = *betrag;
            } else {
                statementSumme += *betrag;
            }
        } else if ((teil == Vorher || teil == NachPhasen) && z.startsWith("Honorar netto") && betrag) {
            teil = Summen;
            g.summen = true;
            g.netto = laufend = *betrag;
        } else if (teil == Summen) {
            if (z.startsWith("(")) {
                static const QRegularExpression az(
                    QString::fromUtf8("Abschlagszahlungen netto (\\S+)[ \u00A0](?:€|DM) zuzüglich "
                                      "(\\S+)[ \u00A0]% Mehrwertsteuer (\\S+)[ \u00A0](?:€|DM)"));
                static const QRegularExpression enthalten(QString::fromUtf8(
                    "im Endbetrag enthaltene Mehrwertsteuer (\\S+)[ \u00A0]%: (\\S+)[ \u00A0]"));
                if (const auto m = enthalten.match(z); m.hasMatch()) {
                    const double satz = Zahl(m.captured(1)).ToDouble();
                    const Currency soll =
                        RundCY(g.endbetrag - Currency::FromDouble(g.endbetrag.ToDouble() / (1 + satz / 100)));
                    if (Zahl(m.captured(2)) != soll) g.fehler << "enthaltene Mehrwertsteuer falsch: " + z;
                }
                // The payments' net and VAT parts add up to the payments deducted, at the invoice's rate.
                if (const auto m = az.match(z); m.hasMatch()) {
                    const Currency netto = Zahl(m.captured(1)), mwst = Zahl(m.captured(3));
                    const double satz = Zahl(m.captured(2)).ToDouble();
                    if (netto + mwst != g.abschlag) g.fehler << "Abschlagszahlungen netto und MwSt.: " + z;
                    if (netto != RundCY(Currency::FromDouble(g.abschlag.ToDouble() / (1 + satz / 100))))
                        g.fehler << "Nettoanteil der Abschlagszahlungen: " + z;
                }
                continue;
            }
            if (!betrag) {
                if (!z.isEmpty()) teil = Fertig;
                continue;
            }
            const bool summe = z.startsWith("Zwischensumme") || z.startsWith("Bruttobetrag") ||
                               z.startsWith("Zahlbetrag ohne Skonto") || z.startsWith("Endbetrag");
            if (summe) {
                if (*betrag != laufend)
                    g.fehler << QString::fromStdString("Summe " + FormatBetrag(laufend, EUR) + " statt: ") +
                                    z;
                laufend = *betrag;
                if (z.startsWith("Endbetrag")) g.endbetrag = *betrag;
            } else if (z.startsWith(QString::fromUtf8("abzüglich")) ||
                       z.contains(QString::fromUtf8(" abzüglich "))) {
                if (betrag->Raw() < 0) g.fehler << "doppelt negativ: " + z;
                laufend -= *betrag;
                if (z.contains("Abschlagszahlungen")) g.abschlag = *betrag;
            } else {
                laufend += *betrag;
            }
        }
    }
    return g;
}

// No amount is split from its sign, and every amount is in the amount format.
QStringList Getrennt(const QString& text) {
    QStringList f;
    const QRegularExpression zahlAmEnde("\\d,\\d\\d\\s*$");
    const QRegularExpression zeichenAmAnfang(QString::fromUtf8("^\\s*(€|DM)\\b"));
    for (const QString& z : text.split(QLatin1Char('\n'))) {
        if (zahlAmEnde.match(z).hasMatch() && !z.contains(QLatin1Char('%'))) f << "Zahl ohne Zeichen: " + z;
        if (zeichenAmAnfang.match(z).hasMatch()) f << "Zeichen ohne Zahl: " + z;
    }
    return f;
}

// Empty gaps in the fee statement: from its heading to its net fee no two empty lines follow each other, and
// between the sum of the phases and the net fee only the rule above the net fee leaves one.
QStringList Luecken(const QString& text) {
    QStringList f;
    const QStringList zeilen = text.split(QLatin1Char('\n'));
    int ab = -1, summe = -1;
    for (int i = 0; i < zeilen.size(); ++i) {
        const QString z = zeilen[i].trimmed();
        if (z == "Honorarermittlung") ab = i;
        if (ab < 0) continue;
        if (z.startsWith("Summe der Leistungsphasen")) summe = i;
        if (summe >= 0 && z.startsWith("Honorar netto")) {
            int leer = 0;
            for (int k = summe + 1; k < i; ++k)
                leer += zeilen[k].trimmed().isEmpty();
            if (leer > 1) f << QString("%1 leere Zeilen vor: ").arg(leer) + z;
            break;
        }
        if (i > ab + 1 && z.isEmpty() && zeilen[i - 1].trimmed().isEmpty())
            f << "Lücke nach: " + zeilen[i - 2].trimmed();
    }
    return f;
}

// The greeting is on the page of the letter's last sentence before it, never alone at the top of a page.
bool GrussBeimText(const QString& text) {
    for (const QString& seite : text.split(QChar('\f')))
        if (seite.contains(QString::fromUtf8("Mit freundlichen Grüßen")))
            return seite.contains("Wir freuen uns") || seite.contains(QString::fromUtf8("Bitte überweisen"));
    return false;
}

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class SummenPdf : public DruckProgrammFixture {
protected:
    void TearDown() override {
        documents::DruckAufrufHook() = nullptr;
        DruckProgrammFixture::TearDown();
    }
    void Drucke(BerAuswahl& w, const QString& pdf, bool dm) {
        bool lief = false;
        documents::DruckAufrufHook() = [&](documents::DruckAufrufRechnung& d) {
            d.SetDruckDatei(pdf);
            QTimer::singleShot(0, &d, [&, dm] {
                lief = true;
                d.ActiveBar1().Click("Band1", dm ? "DM" : "EUR");
                d.ActiveBar1().Click("Band1", "PRINT");
                d.ActiveBar1().Click("Band1", "EXIT");
            });
        };
        ASSERT_TRUE(w.ActiveBar1().Click("PopupBand1", "PRINTRE"));
        EXPECT_TRUE(lief);
        EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();
    }
};

struct Fall {
    const char* name;
    char typ;
    int eingabe;  // currency entered
    bool druckDM; // currency printed
    const char* kosten;
    std::string vorher;          // SQL on the calculation (:n its number) before the second computation
    const char* parag = nullptr; // service profile, else the form's default (§ 34 Gebäude)
};

TEST_F(SummenPdf, PrintedTotalsAddUpAndMatchTheRegister) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    const std::string zuNetto =
        "INSERT INTO ZuNetto (LfNrBeReList, ZuordnungAnlGrp, Bezeichnung, ZuAbPro, ZuAbDM) "
        "VALUES (:n, 1, 'Umbauzuschlag', 150000, 0);"
        "UPDATE Grunddaten SET SummZuNettoPro = 150000, SummZuNettoDM = 0 "
        "WHERE LfNrBeReList = :n;";
    // Two rows whose percentages rounded one by one differ by a cent from their sum rounded once.
    const std::string zuNettoZwei =
        "INSERT INTO ZuNetto (LfNrBeReList, ZuordnungAnlGrp, Bezeichnung, ZuAbPro, ZuAbDM) "
        "VALUES (:n, 1, 'Umbauzuschlag', 150000, 0);"
        "INSERT INTO ZuNetto (LfNrBeReList, ZuordnungAnlGrp, Bezeichnung, ZuAbPro, ZuAbDM) "
        "VALUES (:n, 1, 'Erschwernis Bestand', 33333, 10000000);"
        "UPDATE Grunddaten SET SummZuNettoPro = 183333, SummZuNettoDM = 10000000 WHERE LfNrBeReList = :n;";
    const std::string zuPhase = "UPDATE Grunddaten SET SummZu3 = 100000 WHERE LfNrBeReList = :n;";
    const std::string teil = "UPDATE Grunddaten SET TeilleistPro8 = 500000 WHERE LfNrBeReList = :n;";
    const std::string zuBerNetto =
        "INSERT INTO ZuBerNetto (LfNrBeReList, Bezeichnung, ZuAbPro, ZuAbDM, AlDispZuAbDM) "
        "VALUES (:n, 'Nebenkosten pauschal', 50000, 0, 0);";
    const std::string zuBrutto =
        "INSERT INTO ZuBrutto (LfNrBeReList, Bezeichnung, ZuAbPro, ZuAbDM, AlDispZuAbDM) "
        "VALUES (:n, 'Nachlass', -30000, -1000000, -1955830);";
    const std::string skonto = "UPDATE BeReList SET SkontoPro = 20000 WHERE LfNr = :n;";
    const std::string zahlung =
        "UPDATE BeReList SET SummAz = 490000000, AlDispSummAz = 958356700 WHERE LfNr = :n;";
    const Fall faelle[] = {
        {"Angebot in Euro", 'A', EUR, false, "500.000,00", ""},
        {"Angebot mit Zuschlag auf das Grundhonorar", 'A', EUR, false, "500.000,00", zuNetto},
        {"Rechnung mit Zuschlag auf eine Phase und Teilleistung", 'R', EUR, false, "750.000,00",
         zuPhase + teil},
        {"Rechnung mit Zuschlägen auf netto und brutto", 'R', EUR, false, "500.000,00",
         zuBerNetto + zuBrutto},
        {"Schlussrechnung mit Abschlagszahlungen und Skonto", 'R', EUR, false, "500.000,00",
         zuNetto + zuBerNetto + zahlung + skonto},
        {"Rechnung in DM", 'R', DM, true, "977.915,00", zuNetto + zuPhase + skonto},
        {"Rechnung in DM als Euro gedruckt", 'R', DM, false, "977.915,00", zuNetto + zuPhase},
        {"Angebot in Euro als DM gedruckt", 'A', EUR, true, "488.957,52", zuNetto + zuBerNetto},
        {"Vergleichsangebot", 'E', EUR, false, "300.000,00", skonto},
        {"Freianlagen", 'R', EUR, false, "400.000,00", zuPhase + skonto, "§ 39"},
        {"Ingenieurbauwerke", 'R', EUR, false, "2.000.000,00", zuNetto + zahlung, "§ 43"},
        {"Technische Ausrüstung", 'A', EUR, false, "750.000,00", teil + zuBerNetto, "§ 55"},
        {"Gebäude nach der Tafel von 1996 in DM", 'R', DM, true, "1.500.000,00", zuNetto + zuBrutto, "§ 15"},
        {"Schlussrechnung mit Anschrift", 'R', EUR, false, "750.000,00",
         zuNetto + zuBerNetto + zahlung + skonto},
        {"Rechnung mit zwei Zuschlägen auf das Grundhonorar", 'R', EUR, false, "512.345,67", zuNettoZwei},
        {"Zwei Zuschläge auf das Grundhonorar in DM als Euro", 'R', DM, false, "1.002.030,00", zuNettoZwei},
        // A percentage on the base fee without rows of its own still gets its line.
        {"Zuschlag auf das Grundhonorar ohne Zeilen", 'R', EUR, false, "500.000,00",
         "UPDATE Grunddaten SET SummZuNettoPro = 150000 WHERE LfNrBeReList = :n;"},
    };
    // The client's address fills the address window as in an office's project.
    ASSERT_TRUE(outside::SchreibeProdatFelder(
        umgebung_->ordner + "/Prodat",
        {{4, "Gemeinde Musterhausen"}, {5, "Rathausplatz 3"}, {6, "12345 Musterhausen"}}));
    const char* behalten = std::getenv("VELU_SUMMEN_PDF_ORDNER");
    int nr = 0;
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        projekt_->Execute("DELETE FROM BeReList");
        const int64_t r = Neu(f.typ, f.name, f.eingabe, "Neubau Kita");
        BerAuswahl w(std::make_unique<DruckHost>());
        w.show();
        Edit(w, {f.kosten, "3", "0"}, true, f.parag);
        if (!f.vorher.empty()) {
            QString sql = QString::fromStdString(f.vorher).replace(":n", QString::number(r));
            for (const QString& s : sql.split(';', Qt::SkipEmptyParts))
                projekt_->Execute(s.toStdString());
            Edit(w, {f.kosten, "3", "0"}, true);
        }
        const QString pdf =
            QString::fromStdString((dir_ / ("fall" + std::to_string(++nr) + ".pdf")).string());
        Drucke(w, pdf, f.druckDM);
        if (behalten)
            QFile::copy(pdf, QString::fromUtf8(behalten) + "/" + QString::fromUtf8(f.name) + ".pdf");
        const QString text = PdfText(pdf);
        const Gelesen g = Lies(text);
        const bool andere = (f.druckDM ? DM : EUR) != f.eingabe;
        const std::string p = andere ? "AlDisp" : "";
        EXPECT_TRUE(g.fehler.isEmpty()) << g.fehler.join("\n").toStdString() << "\n" << text.toStdString();
        EXPECT_TRUE(Getrennt(text).isEmpty()) << Getrennt(text).join("\n").toStdString();
        EXPECT_TRUE(Luecken(text).isEmpty()) << Luecken(text).join("\n").toStdString() << "\n"
                                             << text.toStdString();
        EXPECT_TRUE(GrussBeimText(text)) << text.toStdString();
        ASSERT_TRUE(g.statement && g.summen) << text.toStdString();
        // Each surcharge row on the base fee is a line of the statement with its own text and percentage.
        db::Recordset zu = projekt_->OpenRecordset(
            "SELECT Bezeichnung, ZuAbPro FROM ZuNetto WHERE LfNrBeReList = ? ORDER BY LfNr",
            db::Params().Add(r));
        for (; !zu.Empty() && !zu.EOF_(); zu.MoveNext()) {
            const QString name = QString::fromStdString(zu.GetText("Bezeichnung"));
            const QString pro = QString::fromStdString(FormatBetrag(GetCY(zu, "ZuAbPro"), DM)).chopped(3);
            int zeilen = 0;
            for (const QString& z : text.split('\n'))
                if (z.trimmed().startsWith(name) && BetragAm(z.trimmed())) {
                    ++zeilen;
                    EXPECT_TRUE(
                        z.contains(QRegularExpression(QRegularExpression::escape(pro) + "[ \u00A0]%")))
                        << z.toStdString();
                }
            EXPECT_EQ(zeilen, 1) << name.toStdString() << "\n" << text.toStdString();
        }
        EXPECT_EQ(g.phasenZeilen, 9);
        EXPECT_EQ(g.phasen, g.phasenSumme) << text.toStdString();
        // The net fee stands once where the statement and the totals meet.
        EXPECT_EQ(text.split('\n').filter(QRegularExpression("^\\s*Honorar netto\\s")).size(), 1)
            << text.toStdString();
        // One net fee in the whole document, the one stored for the printed currency.
        EXPECT_EQ(g.statementNetto, RundCY(Betrag(r, p + "BerNetto")));
        EXPECT_EQ(g.netto, RundCY(Betrag(r, p + "BerNetto")));
        EXPECT_EQ(g.endbetrag, RundCY(Betrag(r, p + "Endbetrag")));
        const bool angebot = f.typ == 'A' || f.typ == 'E';
        EXPECT_EQ(text.contains("Abschlagszahlungen"), Betrag(r, "SummAz") != Currency());
        EXPECT_EQ(text.contains("Skonto"), Betrag(r, "SkontoDM") != Currency());
        if (angebot) {
            EXPECT_FALSE(text.contains("enthaltene Mehrwertsteuer")) << text.toStdString();
        }
        const QRegularExpression andereWaehrung(
            QString::fromUtf8(f.druckDM ? "\\d[ \u00A0]€" : "\\d[ \u00A0]DM"));
        EXPECT_FALSE(andereWaehrung.match(text).hasMatch()) << text.toStdString();
        EXPECT_TRUE(text.contains("Seite 1 von ")) << text.toStdString();
        if (f.parag) {
            EXPECT_TRUE(text.contains(QString::fromUtf8(f.parag))) << f.parag << "\n" << text.toStdString();
        }
    }
}

// The positions of an hourly invoice's statement add up to their printed sum, which is the net fee the
// totals start from; its surcharge on the net fee and its discount are lines of their own.
TEST_F(SummenPdf, HourlyInvoiceAddsUpFromItsPositions) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    const int64_t s = Neu('S', "Stunden Bauleitung", EUR, "Neubau Kita");
    projekt_->Execute("UPDATE BeReList SET StdReNetZuAbPro = 50000, SkontoPro = 30000 WHERE LfNr = ?",
                      db::Params().Add(s));
    BerAuswahl w(std::make_unique<DruckHost>());
    w.show();
    eingabe::Stunden(w, {{"2,5", "100,00"}, {"3", "80,00"}, {"1", "0,62"}});
    const QString pdf = QString::fromStdString((dir_ / "stunden.pdf").string());
    Drucke(w, pdf, false);
    const QString text = PdfText(pdf);
    // The statement: positions up to their sum.
    Currency positionen, summe;
    bool inPositionen = false;
    // Each position with the date the grid gave it.
    const QString heute = QDate::currentDate().toString("dd.MM.yyyy");
    int datiert = 0;
    for (const QString& z : text.split('\n')) {
        const auto b = BetragAm(z.trimmed());
        if (z.trimmed().startsWith("Pos.")) {
            inPositionen = true;
            EXPECT_TRUE(z.contains("Datum")) << z.toStdString();
        } else if (inPositionen && z.trimmed().startsWith("Summe der Positionen") && b) {
            summe = *b;
            inPositionen = false;
        } else if (inPositionen && b) {
            positionen += *b;
            datiert += z.contains(heute);
        }
    }
    EXPECT_EQ(datiert, 3) << text.toStdString();
    EXPECT_EQ(positionen, Currency::FromString("490.62")) << text.toStdString();
    EXPECT_EQ(summe, positionen);
    const Gelesen g = Lies(text);
    EXPECT_TRUE(g.fehler.isEmpty()) << g.fehler.join("\n").toStdString() << "\n" << text.toStdString();
    EXPECT_TRUE(Getrennt(text).isEmpty()) << Getrennt(text).join("\n").toStdString();
    EXPECT_EQ(g.netto, summe);
    EXPECT_EQ(g.endbetrag, RundCY(Betrag(s, "Endbetrag")));
    for (const char* zeile : {"Zu- und Abschläge auf das Nettohonorar 5,00", "abzüglich 3,00", "Skonto"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(zeile))) << zeile << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("0,00 % Skonto")) << text.toStdString();
}

// The delivered offer and invoice as they go out: the client's lines and the sender line in the window of a
// form B envelope (45-90 mm from the top, at least 20 mm from the left), an invoice's service period below
// its subject and its payment term below the totals; with a cash discount the amount due without it is
// named and the discount's line states its condition. The totals still add up line by line.
TEST_F(SummenPdf, DeliveredDocumentsAreReadyToSend) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    const std::string skonto = "UPDATE BeReList SET SkontoPro = 20000 WHERE LfNr = :n;";
    const std::string zahlung =
        "UPDATE BeReList SET SummAz = 490000000, AlDispSummAz = 958356700 WHERE LfNr = :n;";
    struct Dokument {
        const char* name;
        char typ;
        std::string vorher;
        bool skonto;
    } dokumente[] = {
        {"Angebot", 'A', "", false},
        {"Rechnung ohne Skonto", 'R', "", false},
        {"Schlussrechnung mit Skonto", 'R', zahlung + skonto, true},
        {"Rechnung mit Skonto ohne Abschlag", 'R', skonto, true},
    };
    const QStringList bauherr = {"Gemeinde Musterhausen", "Rathausplatz 3", "12345 Musterhausen"};
    ASSERT_TRUE(outside::SchreibeProdatFelder(
        umgebung_->ordner + "/Prodat",
        {{4, bauherr[0]}, {5, bauherr[1]}, {6, bauherr[2]}, {163, "01.03.2026"}}));
    for (const Dokument& d : dokumente) {
        SCOPED_TRACE(d.name);
        projekt_->Execute("DELETE FROM BeReList");
        const int64_t r = Neu(d.typ, d.name, EUR, "Neubau Kita");
        BerAuswahl w(std::make_unique<DruckHost>());
        w.show();
        Edit(w, {"500.000,00", "3", "0"}, true);
        if (!d.vorher.empty()) {
            for (const QString& sql : QString::fromStdString(d.vorher)
                                          .replace(":n", QString::number(r))
                                          .split(';', Qt::SkipEmptyParts))
                projekt_->Execute(sql.toStdString());
            Edit(w, {"500.000,00", "3", "0"}, true);
        }
        const QString pdf = QString::fromStdString((dir_ / "versand.pdf").string());
        Drucke(w, pdf, false);
        const QList<PdfWort> worte = PdfWorte(pdf, 1);
        const auto absender = PdfZeile(worte, QString::fromUtf8("Ingenieurbüro Muster · Musterstraße 1"));
        ASSERT_TRUE(absender);
        double oben = absender->unten;
        for (const QString& zeile : bauherr) {
            const auto box = PdfZeile(worte, zeile);
            ASSERT_TRUE(box) << zeile.toStdString();
            EXPECT_GE(box->oben, oben) << zeile.toStdString();
            EXPECT_LE(box->unten, 90.0) << zeile.toStdString();
            EXPECT_GE(box->links, 20.0) << zeile.toStdString();
            oben = box->unten;
        }
        EXPECT_GE(absender->oben, 45.0);
        EXPECT_GE(absender->links, 20.0);

        const QString text = PdfText(pdf);
        const Gelesen g = Lies(text);
        EXPECT_TRUE(g.fehler.isEmpty()) << g.fehler.join("\n").toStdString() << "\n" << text.toStdString();
        EXPECT_EQ(g.endbetrag, RundCY(Betrag(r, "Endbetrag")));
        const bool rechnung = d.typ == 'R';
        // The payment term: without a discount as the template words it; with one it names the amount due
        // within 30 days and the final amount due within 14.
        QString zahlbar; // its lines up to the sentence's full stop
        for (const QString& z : text.split('\n'))
            if ((zahlbar.isEmpty() && z.trimmed().startsWith("Zahlbar")) ||
                (!zahlbar.isEmpty() && !zahlbar.endsWith('.')))
                zahlbar = (zahlbar + " " + z).simplified();
        EXPECT_EQ(!zahlbar.isEmpty(), rechnung) << text.toStdString();
        if (rechnung && !d.skonto)
            EXPECT_EQ(zahlbar.toStdString(), "Zahlbar innerhalb von 30 Tagen ohne Abzug.");
        // The period below the subject, from the start of planning to the invoice date.
        const auto betreff = PdfZeile(worte, "Betreff:");
        const auto zeitraum = PdfZeile(worte, "Leistungszeitraum: 01.03.2026 bis");
        EXPECT_EQ(bool(zeitraum), rechnung) << text.toStdString();
        if (zeitraum && betreff) EXPECT_GT(zeitraum->oben, betreff->oben);
        // With a discount: the amount without it, then the discount on its condition, then the final amount.
        QString ohne, mit;
        for (const QString& roh : text.split('\n')) {
            const QString z = roh.simplified();
            if (z.startsWith("Zahlbetrag ohne Skonto")) ohne = z;
            if (z.contains("Skonto") && z.contains(QString::fromUtf8("abzüglich"))) mit = z;
        }
        EXPECT_EQ(!mit.isEmpty(), d.skonto) << text.toStdString();
        if (!d.skonto) continue;
        EXPECT_TRUE(
            mit.startsWith(QString::fromUtf8("bei Zahlung innerhalb von 14 Tagen abzüglich 2,00 % Skonto")))
            << mit.toStdString();
        ASSERT_TRUE(BetragAm(ohne)) << text.toStdString();
        EXPECT_EQ(*BetragAm(ohne), RundCY(Betrag(r, "Skontofaehig")));
        ASSERT_TRUE(BetragAm(mit));
        EXPECT_EQ(*BetragAm(ohne) - *BetragAm(mit), g.endbetrag);
        EXPECT_EQ(zahlbar,
                  QString::fromStdString("Zahlbar innerhalb von 30 Tagen ohne Abzug: der Zahlbetrag ohne "
                                         "Skonto (" +
                                         FormatBetrag(*BetragAm(ohne), EUR) +
                                         "); bei Zahlung innerhalb von 14 Tagen der Endbetrag (" +
                                         FormatBetrag(g.endbetrag, EUR) + ").")
                      .simplified());
        // The condition stands on the discount's line and in the payment term, nowhere else.
        EXPECT_EQ(text.count(QString::fromUtf8("innerhalb von 14 Tagen")), 2) << text.toStdString();
    }
}

// The line below an invoice's subject names a period only with both its ends: a fee invoice runs from the
// planning start of the project data to the invoice date, or names the invoice date alone when no start is
// known; an hourly-rate invoice runs over its positions' dates, whatever the planning start.
TEST_F(SummenPdf, TheServicePeriodIsNeverHalfALine) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    struct Fall {
        const char* name;
        char typ;
        const char* planungsbeginn;
        std::vector<const char*> positionen; // dates of the hourly positions
        const char* zeile;
    } faelle[] = {
        {"fee invoice without a planning start", 'R', "", {}, "Leistungsdatum: 09.12.2026"},
        {"fee invoice, a start that is no date", 'R', "demnächst", {}, "Leistungsdatum: 09.12.2026"},
        {"fee invoice with a planning start",
         'R',
         "1.2.2026",
         {},
         "Leistungszeitraum: 01.02.2026 bis 09.12.2026"},
        {"site supervision without a start", 'B', "", {}, "Leistungsdatum: 09.12.2026"},
        {"hourly invoice",
         'S',
         "01.02.2026",
         {"2026-11-17", "2026-11-03", "2026-11-10"},
         "Leistungszeitraum: 03.11.2026 bis 17.11.2026"},
        {"hourly invoice of one day",
         'S',
         "01.02.2026",
         {"2026-11-03", "2026-11-03"},
         "Leistungsdatum: 03.11.2026"},
        {"hourly invoice with undated positions", 'S', "", {"", ""}, "Leistungsdatum: 09.12.2026"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        ASSERT_TRUE(outside::SchreibeProdatFelder(umgebung_->ordner + "/Prodat", {{163, f.planungsbeginn}}));
        projekt_->Execute("DELETE FROM BeReList");
        const int64_t r = Neu(f.typ, f.name, EUR, "Neubau Kita");
        BerAuswahl w(std::make_unique<DruckHost>());
        w.show();
        if (f.typ == 'R') {
            Edit(w, {"500.000,00", "3", "0"}, true);
        } else if (f.typ == 'B') {
            eingabe::Bauueberwachung(w, {"1.000.000,00", "2,5", "80", ""});
        } else {
            ModalDriver<expenses::StdRech> drv([&](expenses::StdRech& d) {
                auto* m = d.Positionen();
                for (size_t i = 0; i < f.positionen.size(); ++i) {
                    const int row = m->rowCount() - 1;
                    ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Menge")), "2"));
                    ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Satz")), "80,00"));
                    ASSERT_TRUE(m->Commit());
                }
                d.ActiveBar1().Click("Band1", "OK");
            });
            ASSERT_TRUE(w.ActiveBar1().Click("Band1", "EDIT"));
            ASSERT_TRUE(drv.Ran());
            // The dates the clerk gave the positions.
            db::Recordset pos = projekt_->OpenRecordset(
                "SELECT LfNr FROM StdRePos WHERE REZuordnung = ? ORDER BY LfNr", db::Params().Add(r));
            ASSERT_EQ(pos.RecordCount(), int(f.positionen.size()));
            for (int i = 0; i < pos.RecordCount(); ++i) {
                pos.SetAbsolutePosition(i);
                const char* datum = f.positionen[size_t(i)];
                projekt_->Execute("UPDATE StdRePos SET Datum = ? WHERE LfNr = ?",
                                  db::Params()
                                      .Add(*datum ? db::Value(std::string(datum)) : db::Value())
                                      .Add(pos.GetInt("LfNr")));
            }
        }
        const QString pdf = QString::fromStdString((dir_ / "zeitraum.pdf").string());
        Drucke(w, pdf, false);
        const QStringList zeilen =
            PdfText(pdf).split('\n').filter(QRegularExpression("Leistungs(zeitraum|datum)"));
        ASSERT_EQ(zeilen.size(), 1) << zeilen.join('\n').toStdString();
        EXPECT_EQ(zeilen[0].simplified().toStdString(), f.zeile);
    }
}

// An invoice for site supervision has no fee statement: its data and its totals, with a surcharge on the net
// fee, payments and discount, add up from the net fee to the final amount.
TEST_F(SummenPdf, SiteSupervisionInvoiceAddsUp) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    const int64_t b = Neu('B', "Bauüberwachung Neubau Kita", EUR, "Neubau Kita");
    projekt_->Execute(
        "UPDATE BeReList SET StdReNetZuAbPro = 30000, StdReNetZuAbDM = 500000, SkontoPro = 20000, "
        "SummAz = 10000000, AlDispSummAz = 19558300 WHERE LfNr = ?",
        db::Params().Add(b));
    BerAuswahl w(std::make_unique<DruckHost>());
    w.show();
    eingabe::Bauueberwachung(w, {"1.000.000,00", "2,5", "80", ""});
    ASSERT_EQ(Betrag(b, "BerNetto"), Currency::FromUnits(20000));
    const QString pdf = QString::fromStdString((dir_ / "bauueberwachung.pdf").string());
    Drucke(w, pdf, false);
    const QString text = PdfText(pdf);
    const Gelesen g = Lies(text);
    EXPECT_TRUE(g.fehler.isEmpty()) << g.fehler.join("\n").toStdString() << "\n" << text.toStdString();
    EXPECT_TRUE(Getrennt(text).isEmpty()) << Getrennt(text).join("\n").toStdString();
    EXPECT_EQ(g.netto, Currency::FromUnits(20000));
    EXPECT_EQ(g.endbetrag, RundCY(Betrag(b, "Endbetrag")));
    for (const char* zeile : {"1.000.000,00", "2,50", "80,00", "Zu- und Abschläge auf das Nettohonorar 3,00",
                              "abzüglich geleistete Abschlagszahlungen", "abzüglich 2,00"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(zeile))) << zeile << "\n" << text.toStdString();
}

// The fee statements painted as pages (as the report engine prints them) cut no text off: printed once after
// an invoice with surcharges on a phase and on the base fee, once after an hourly invoice.
TEST_F(SummenPdf, StatementsCutNoTextOff) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    QStringList abgeschnitten;
    report::AbschneideMelder() = [&](const report::DisplayItem& it, const QSizeF& noetig) {
        abgeschnitten << QStringLiteral("\"%1\" braucht %2 x %3 mm in %4 x %5 mm")
                             .arg(it.text)
                             .arg(noetig.width())
                             .arg(noetig.height())
                             .arg(it.rect.width())
                             .arg(it.rect.height());
    };
    const QString ort = QString::fromStdString(projekt_->Path().string());
    const QString ordner = QString::fromUtf8(VELU_BINARY_DIR) + "/data/reports/HOAI/";
    auto drucke = [&](const QString& bericht, const NamenUndWerte& unter, const NamenUndWerte& formeln) {
        CRModul cr;
        QString datei = ordner + bericht;
        ASSERT_EQ(cr.CROpenReport(datei), 0) << bericht.toStdString();
        ASSERT_EQ(cr.CRSetTableLocations({{"BeRelist", ort}}), 0);
        for (auto [u, t] : unter)
            ASSERT_EQ(cr.CRSetTableLocation(u, t, ort), 0) << u.toStdString();
        ASSERT_EQ(cr.CRSetFormula(formeln), 0);
        const QString pdf = QString::fromStdString((dir_ / "bericht.pdf").string());
        cr.SetDruckDatei(pdf);
        int kopien = 1;
        EXPECT_EQ(cr.CRPrintOut(0, 0, kopien), 0) << cr.Fehlertext().toStdString();
        EXPECT_FALSE(PdfText(pdf).trimmed().isEmpty()) << bericht.toStdString();
        cr.CRRelease();
    };
    const NamenUndWerte zeichen = {{QStringLiteral("_WährungsZeichen"), QString::fromUtf8("'\u00A0€'")}};

    const int64_t r = Neu('R', "Honorarrechnung Umbau Kita mit einer langen Bezeichnung", EUR, "Neubau Kita");
    {
        BerAuswahl w(std::make_unique<DruckHost>());
        w.show();
        Edit(w, {"2.500.000,00", "4", "50"}, true);
        projekt_->Execute(
            "UPDATE Grunddaten SET SummZu3 = 100000, SummZuNettoPro = 150000, TeilleistPro8 = 500000 "
            "WHERE LfNrBeReList = ?",
            db::Params().Add(r));
        Edit(w, {"2.500.000,00", "4", "50"}, true);
        Drucke(w, QString::fromStdString((dir_ / "rechnung.pdf").string()), false);
    }
    NamenUndWerte formeln = zeichen;
    formeln.push_back({"_Anlagegruppenanzahl", "'1'"});
    drucke("VELUNTA4035.rpt",
           {{"VELUNTA401006.rpt", "PunkteTab"},
            {"VELUNTA401007.rpt", "Grunddaten"},
            {"VELUNTA401002.rpt", "BeRelist"},
            {"VELUNTA401003.rpt", "BeRelist"},
            {"VELUNTA401004.rpt", "BeRelist"},
            {"Velunta401005.rpt", "BeRelist"}},
           formeln);
    drucke("VELUNTA4036.rpt",
           {{"VELUNTA401007a.rpt", "Grunddaten"},
            {"VELUNTA401004.rpt", "BeRelist"},
            {"Velunta401005.rpt", "BeRelist"}},
           formeln);

    // The register opens on its first calculation: the hourly invoice is the only one.
    projekt_->Execute("DELETE FROM BeReList");
    const int64_t s = Neu('S', "Stunden", EUR, "Neubau Kita");
    {
        BerAuswahl w(std::make_unique<DruckHost>());
        w.show();
        ModalDriver<expenses::StdRech> drv([](expenses::StdRech& f) {
            auto* m = f.Positionen();
            const int row = m->rowCount() - 1;
            ASSERT_TRUE(
                m->setData(m->index(row, m->ColumnOf("Leistung")),
                           QString::fromUtf8("Örtliche Bauüberwachung und Abstimmung mit den Fachplanern "
                                             "auf der Baustelle")));
            ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Menge")), "12,5"));
            ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Satz")), "1.234,50"));
            ASSERT_TRUE(m->Commit());
            f.ActiveBar1().Click("Band1", "OK");
        });
        ASSERT_TRUE(w.ActiveBar1().Click("Band1", "EDIT"));
        ASSERT_TRUE(drv.Ran());
        Drucke(w, QString::fromStdString((dir_ / "stunden.pdf").string()), false);
    }
    drucke("VELUNTA4037.rpt", {}, zeichen);
    report::AbschneideMelder() = nullptr;
    EXPECT_TRUE(abgeschnitten.isEmpty()) << abgeschnitten.join("\n").toStdString();
    (void)s;
}

// The summary of marked invoices: one line per invoice even where a long description wraps, the amounts
// add up to the printed sum, and each amount is the one the register stored for the printed currency.
TEST_F(SummenPdf, SummaryLinesStayTogetherAndAddUp) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    struct Re {
        const char* nummer;
        const char* text;
        int waehrung;
        const char* endbetrag;
        const char* andere;
    } rechnungen[] = {
        {"2026-101",
         "Abschlagsrechnung 1 Leistungsphasen 1 bis 4 Neubau der Kindertagesstätte am Sonnenhof "
         "mit Außenanlagen",
         EUR, "11951.00", "23374.12"},
        {"2026-102", "Abschlagsrechnung 2", DM, "4000.00", "2045.17"},
        {"2026-103", "Schlussrechnung", EUR, "1234.56", "2414.57"},
    };
    std::vector<int64_t> liste;
    Currency soll;
    for (const Re& r : rechnungen) {
        const int64_t n = Neu('R', r.text, r.waehrung, "Neubau Kita");
        projekt_->Execute("UPDATE BeReList SET ReNummer = ?, Endbetrag = ?, AlDispEndbetrag = ?, "
                          "Mwstenthalten = 0, AlDispMwstenthalten = 0 WHERE LfNr = ?",
                          db::Params()
                              .Add(std::string(r.nummer))
                              .Add(Currency::FromString(r.endbetrag).Raw())
                              .Add(Currency::FromString(r.andere).Raw())
                              .Add(n));
        liste.push_back(n);
        soll += Currency::FromString(r.waehrung == EUR ? r.endbetrag : r.andere);
    }
    const QString pdf = QString::fromStdString((dir_ / "zusammenstellung.pdf").string());
    documents::DruckAufrufHook() = [&](documents::DruckAufrufRechnung& d) {
        d.SetDruckDatei(pdf);
        QTimer::singleShot(0, &d, [&d] {
            d.ActiveBar1().Click("Band1", "EUR");
            d.ActiveBar1().Click("Band1", "PRINT");
            d.ActiveBar1().Click("Band1", "EXIT");
        });
    };
    CRModul cr;
    documents::CallReZusammenstellung(cr, liste, "09.12.2026", EUR, EUR, liste.front());
    const QString text = PdfText(pdf);
    // Each invoice's number, its amount and nothing of another invoice on one line.
    Currency zeilen;
    for (const Re& r : rechnungen) {
        const QString nr = QString::fromUtf8(r.nummer);
        bool gefunden = false;
        for (const QString& z : text.split('\n'))
            if (z.trimmed().startsWith(nr)) {
                gefunden = true;
                const auto b = BetragAm(z.trimmed());
                ASSERT_TRUE(b) << z.toStdString() << "\n" << text.toStdString();
                // Its own description, not the wrapped rest of the one above.
                EXPECT_TRUE(z.contains(QString::fromUtf8(r.text).left(18))) << z.toStdString() << "\n"
                                                                            << text.toStdString();
                EXPECT_EQ(*b, Currency::FromString(r.waehrung == EUR ? r.endbetrag : r.andere))
                    << nr.toStdString();
                zeilen += *b;
            }
        EXPECT_TRUE(gefunden) << r.nummer << "\n" << text.toStdString();
    }
    Currency summe;
    for (const QString& z : text.split('\n'))
        if (z.trimmed().startsWith("Summe")) summe = BetragAm(z.trimmed()).value_or(Currency());
    EXPECT_EQ(zeilen, soll);
    EXPECT_EQ(summe, soll) << text.toStdString();
    EXPECT_TRUE(Getrennt(text).isEmpty()) << Getrennt(text).join("\n").toStdString();
    // No heading of a single invoice without its values.
    EXPECT_FALSE(text.contains("Betreff")) << text.toStdString();
    EXPECT_FALSE(QRegularExpression("Nr\\.\\s*$", QRegularExpression::MultilineOption).match(text).hasMatch())
        << text.toStdString();
}

// Pages of an offer and of a final invoice as a client receives them, side by side in one picture: the
// client's address from the project data, surcharges, discount and payments. With VELU_SCREENSHOT (offer)
// and VELU_SCREENSHOT_RECHNUNG (invoice) the pictures are saved.
class SummenSeiten : public SummenPdf {
protected:
    void Seiten(BerAuswahl& w, const char* variable, const QStringList& soll) {
        QList<QImage> seiten;
        documents::DruckAufrufHook() = [&](documents::DruckAufrufRechnung& d) {
            d.SetVorschauHook([&](documents::PrintRechnung& p) {
                seiten = p.Scribant1().Control().RenderPages(1.0);
                p.ActiveBar1().Click("Band1", "EXIT");
            });
            QTimer::singleShot(0, &d, [&d] {
                d.ActiveBar1().Click("Band1", "PREVIEW");
                d.ActiveBar1().Click("Band1", "EXIT");
            });
        };
        ASSERT_TRUE(w.ActiveBar1().Click("PopupBand1", "PRINTRE"));
        ASSERT_FALSE(seiten.isEmpty());
        QImage bild(seiten[0].width() * int(seiten.size()) + 10 * int(seiten.size() - 1), seiten[0].height(),
                    QImage::Format_RGB32);
        bild.fill(Qt::darkGray);
        QPainter p(&bild);
        for (int i = 0; i < seiten.size(); ++i)
            p.drawImage(i * (seiten[0].width() + 10), 0, seiten[i]);
        p.end();
        if (const char* ziel = std::getenv(variable)) {
            QDir().mkpath(QFileInfo(ziel).absolutePath());
            EXPECT_TRUE(bild.save(ziel));
        }
        // What the pictures must show, read back from the same document printed to PDF.
        const QString pdf = QString::fromStdString((dir_ / "seiten.pdf").string());
        Drucke(w, pdf, false);
        const QString text = PdfText(pdf);
        for (const QString& z : soll)
            EXPECT_TRUE(text.contains(z)) << z.toStdString() << "\n" << text.toStdString();
        const Gelesen g = Lies(text);
        EXPECT_TRUE(g.fehler.isEmpty()) << g.fehler.join("\n").toStdString();
        EXPECT_TRUE(GrussBeimText(text)) << text.toStdString();
    }
    void Bauherr() {
        ASSERT_TRUE(outside::SchreibeProdatFelder(umgebung_->ordner + "/Prodat",
                                                  {{0, "Neubau Kita Sonnenhof"},
                                                   {4, QString::fromUtf8("Gemeinde Musterhausen")},
                                                   {5, QString::fromUtf8("Rathausplatz 3")},
                                                   {6, QString::fromUtf8("12345 Musterhausen")}}));
    }
};

TEST_F(SummenSeiten, OfferScreenshot) {
    Bauherr();
    const int64_t r = Neu('A', "Neubau Kita Sonnenhof", EUR, "Neubau Kita");
    BerAuswahl w(std::make_unique<DruckHost>());
    w.show();
    Edit(w, {"500.000,00", "3", "25"}, true);
    projekt_->Execute("INSERT INTO ZuNetto (LfNrBeReList, ZuordnungAnlGrp, Bezeichnung, ZuAbPro, ZuAbDM) "
                      "VALUES (?, 1, 'Umbauzuschlag', 150000, 0)",
                      db::Params().Add(r));
    projekt_->Execute("UPDATE Grunddaten SET SummZuNettoPro = 150000, SummZu8 = 50000 WHERE LfNrBeReList = ?",
                      db::Params().Add(r));
    projekt_->Execute("INSERT INTO ZuBerNetto (LfNrBeReList, Bezeichnung, ZuAbPro, ZuAbDM, AlDispZuAbDM) "
                      "VALUES (?, 'Nebenkosten pauschal', 50000, 0, 0)",
                      db::Params().Add(r));
    Edit(w, {"500.000,00", "3", "25"}, true);
    Seiten(w, "VELU_SCREENSHOT",
           {"Gemeinde Musterhausen", "Rathausplatz 3", "12345 Musterhausen", "Honorarangebot Nr. 2026-001",
            "Umbauzuschlag", "Nebenkosten pauschal 5,00", "Seite 1 von"});
}

TEST_F(SummenSeiten, FinalInvoiceScreenshot) {
    Bauherr();
    const int64_t r = Neu('R', "Schlussrechnung Neubau Kita Sonnenhof", EUR, "Neubau Kita");
    BerAuswahl w(std::make_unique<DruckHost>());
    w.show();
    Edit(w, {"500.000,00", "3", "25"}, true);
    projekt_->Execute("INSERT INTO ZuBerNetto (LfNrBeReList, Bezeichnung, ZuAbPro, ZuAbDM, AlDispZuAbDM) "
                      "VALUES (?, 'Nebenkosten pauschal', 50000, 0, 0)",
                      db::Params().Add(r));
    projekt_->Execute("UPDATE BeReList SET SkontoPro = 20000, SummAz = 490000000, AlDispSummAz = 958356700 "
                      "WHERE LfNr = ?",
                      db::Params().Add(r));
    Edit(w, {"500.000,00", "3", "25"}, true);
    Seiten(w, "VELU_SCREENSHOT_RECHNUNG",
           {"Gemeinde Musterhausen", "Honorarrechnung Nr. 2026-001", "Nebenkosten pauschal 5,00",
            QString::fromUtf8("abzüglich geleistete Abschlagszahlungen"), "Abschlagszahlungen netto",
            QString::fromUtf8("abzüglich 2,00"), "im Endbetrag enthaltene Mehrwertsteuer", "Steuernummer",
            "IBAN"});
}

} // namespace

// A 1991 invoice bills its phases on three cost sections; the statement gives each section's table values,
// so that the client can recompute every section's base fee from the lines printed.
TEST_F(SummenPdf, InvoiceOf1991ShowsTheTableValuesOfEverySection) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    const int64_t r = Neu('R', "Rechnung 1991", DM, "Neubau Kita");
    BerAuswahl w(std::make_unique<DruckHost>());
    w.show();
    Edit(w, {"1.500.000,00", "3", "50"}, true, "§ 15");
    projekt_->Execute(
        "INSERT INTO AnrechenbareKosten (LfNrBeReList, ZuordnungAnlGrp, Phase, Kostenstellennr, Bezeichnung, "
        "Eigenleistung, AlDispEigenleistung) VALUES (?1, 1, 2, '300', 'Kostenanschlag', 17000000000, 0), "
        "(?1, 1, 3, '300', 'Kostenfeststellung', 18000000000, 0)",
        db::Params().Add(r));
    projekt_->Execute("UPDATE Grunddaten SET SatzUemin2 = 250000, SatzUemin3 = 750000 WHERE LfNrBeReList = ?",
                      db::Params().Add(r));
    Edit(w, {"1.500.000,00", "3", "50"}, true);
    const QString pdf = QString::fromStdString((dir_ / "hoai1991.pdf").string());
    Drucke(w, pdf, true);
    const QString text = PdfText(pdf);
    EXPECT_TRUE(Lies(text).fehler.isEmpty()) << text.toStdString();

    // The value of a line of the statement that begins with label (and continues with an amount or a rate).
    const auto wert = [&](const QString& label) -> std::optional<Currency> {
        for (const QString& roh : text.split('\n')) {
            const QString z = roh.simplified();
            if (!z.startsWith(label + " ")) continue;
            const QString rest = z.mid(label.size() + 1);
            static const QRegularExpression zahl(QString::fromUtf8("^(-?[\\d.]+,\\d\\d)[ \u00A0](DM|%)$"));
            const auto m = zahl.match(rest);
            if (m.hasMatch()) return ParseBetrag(m.captured(1).toStdString());
        }
        return std::nullopt;
    };
    db::Recordset g =
        projekt_->OpenRecordset("SELECT * FROM Grunddaten WHERE LfNrBeReList = ?", db::Params().Add(r));
    for (int k = 1; k <= 3; ++k) {
        SCOPED_TRACE(k);
        const QString ab = k == 1 ? QString() : QString(" Abschnitt %1").arg(k);
        const std::string n = std::to_string(k);
        const auto min = wert("Tafelwert Mindestsatz" + ab);
        const auto max = wert(QString::fromUtf8("Tafelwert Höchstsatz") + ab);
        const auto satz = wert(QString::fromUtf8("Honorarsatz über Mindestsatz") + ab);
        const auto grund = wert("Grundhonorar" + ab);
        ASSERT_TRUE(min && max && satz && grund) << text.toStdString();
        EXPECT_EQ(*min, RundCY(GetCY(g, "HonorarMinAB" + n)));
        EXPECT_EQ(*max, RundCY(GetCY(g, "HonorarMaxAB" + n)));
        EXPECT_EQ(*satz, GetCY(g, "SatzUemin" + n));
        EXPECT_LT(*min, *max);
        // Recomputed from the printed lines alone: minimum plus the rate's share of the span.
        EXPECT_EQ(*grund,
                  RundCY(*min + Currency::FromDouble((*max - *min).ToDouble() * satz->ToDouble() / 100)))
            << text.toStdString();
    }
    // Each section looks up its own costs in the table.
    EXPECT_NE(wert("Tafelwert Mindestsatz Abschnitt 2"), wert("Tafelwert Mindestsatz Abschnitt 3"));
}

// A comparison invoice is not due: its document asks for no payment, and its totals add up as an invoice's.
TEST_F(SummenPdf, ComparisonInvoiceAsksForNoPayment) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    for (const char typ : {'V', 'R'}) {
        SCOPED_TRACE(typ);
        projekt_->Execute("DELETE FROM BeReList");
        const int64_t r = Neu(typ, "Vergleich", EUR, "Neubau Kita");
        BerAuswahl w(std::make_unique<DruckHost>());
        w.show();
        Edit(w, {"500.000,00", "3", "0"}, true);
        const QString pdf = QString::fromStdString((dir_ / "vergleich.pdf").string());
        Drucke(w, pdf, false);
        const QString text = PdfText(pdf);
        const Gelesen g = Lies(text);
        EXPECT_TRUE(g.fehler.isEmpty()) << g.fehler.join("\n").toStdString();
        EXPECT_EQ(g.endbetrag, RundCY(Betrag(r, "Endbetrag")));
        EXPECT_NE(g.endbetrag, Currency{});
        const bool faellig = typ == 'R';
        EXPECT_EQ(text.contains(QString::fromUtf8("Zahlbar innerhalb von 30 Tagen")), faellig)
            << text.toStdString();
        EXPECT_EQ(text.contains(QString::fromUtf8("Bitte überweisen Sie den Betrag")), faellig)
            << text.toStdString();
        EXPECT_TRUE(text.contains(typ == 'V' ? "Vergleichsrechnung" : "Honorarrechnung"));
        EXPECT_TRUE(text.contains(QString::fromUtf8("Mit freundlichen Grüßen")));
    }
}

// A chain of partial invoices across changes of the VAT rate as the clerk makes it: the first computed
// through EDIT, each next one a copy with its fee and rate and the payments taken over with "…", each paid
// in full. Printed, each invoice splits its payments on account per rate as the list of partial invoices
// holds their VAT, and the lines add up to the payments deducted.
TEST_F(SummenPdf, PaymentsOnAccountAcrossAChangeOfTheVatRateSplitAtTheRatesTheyWerePaidAt) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    struct Fall {
        int eingabe;
        std::vector<std::pair<const char*, const char*>> teile; // eligible costs, VAT rate
    };
    const Fall faelle[] = {{EUR, {{"500.000,00", "19"}, {"750.000,00", "16"}, {"1.000.000,00", "19"}}},
                           {DM, {{"977.915,00", "15"}, {"1.466.872,50", "16"}, {"1.955.830,00", "16"}}}};
    const QRegularExpression split(QString::fromUtf8(
        R"(\(Abschlagszahlungen[\s\x{00A0}]+netto[\s\x{00A0}]+(\S+)[\s\x{00A0}]+(?:€|DM)[\s\x{00A0}]+zuzüglich)"
        R"([\s\x{00A0}]+(\S+)[\s\x{00A0}]+%[\s\x{00A0}]+Mehrwertsteuer[\s\x{00A0}]+(\S+)[\s\x{00A0}]+(?:€|DM)\))"));
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.eingabe == DM ? "DM" : "Euro");
        projekt_->Execute("DELETE FROM BeReList");
        projekt_->Execute("DELETE FROM Zahlung");
        Neu('R', "Abschlagsrechnung", f.eingabe, "Neubau Kita");
        BerAuswahl w(std::make_unique<DruckHost>());
        w.show();
        std::vector<int64_t> kette;
        for (const auto& [kosten, satz] : f.teile) {
            if (!kette.empty()) ASSERT_TRUE(w.ActiveBar1().Click("Band1", "COPY"));
            kette.push_back(w.Register()->CurrentLfNr());
            Edit(w, {kosten, "3", "0"}, true);
            eingabe::Tippe(w, 8, satz);
            if (kette.size() > 1) w.findChild<QToolButton*>("Command1")->click();
            projekt_->Execute("INSERT INTO Zahlung (LfNrBeReList, Ursprung, Datum, Zahlung, AlDispZahlung) "
                              "SELECT LfNr, Ursprung, '2026-12-09', Endbetrag, AlDispEndbetrag FROM BeReList "
                              "WHERE LfNr = ?",
                              db::Params().Add(kette.back()));
        }
        for (size_t i = 1; i < kette.size(); ++i) {
            SCOPED_TRACE(i);
            // The list of partial invoices: the VAT each earlier invoice holds, by its rate.
            std::map<Currency, std::pair<Currency, Currency>> liste, gedruckt;
            db::Recordset rs = projekt_->OpenRecordset(
                "SELECT MwstPro, Endbetrag, Mwstenthalten FROM BeReList WHERE LfNr < ?",
                db::Params().Add(kette[i]));
            for (; !rs.EOF_(); rs.MoveNext()) {
                auto& [netto, mwst] = liste[GetCY(rs, "MwstPro")];
                netto += GetCY(rs, "Endbetrag") - GetCY(rs, "Mwstenthalten");
                mwst += GetCY(rs, "Mwstenthalten");
            }
            w.NodeClick(Knoten(w, kette[i]));
            const QString pdf = QString::fromStdString((dir_ / "abschlag.pdf").string());
            QFile::remove(pdf);
            Drucke(w, pdf, f.eingabe == DM);
            const QString text = PdfText(pdf);
            for (auto it = split.globalMatch(text); it.hasNext();) {
                const auto m = it.next();
                gedruckt[Zahl(m.captured(2))] = {Zahl(m.captured(1)), Zahl(m.captured(3))};
            }
            EXPECT_EQ(gedruckt, liste) << text.toStdString();
            EXPECT_EQ(gedruckt.size(), i == 1 ? 1u : 2u);
            EXPECT_EQ(Lies(text).abschlag, RundCY(Betrag(kette[i], "SummAz")));
            // Printed in the other currency the lines still add up to the payments deducted.
            Drucke(w, pdf, f.eingabe != DM);
            const QString anders = PdfText(pdf);
            Currency summe;
            for (auto it = split.globalMatch(anders); it.hasNext();) {
                const auto m = it.next();
                summe += Zahl(m.captured(1)) + Zahl(m.captured(3));
            }
            EXPECT_EQ(summe, Lies(anders).abschlag) << anders.toStdString();
            EXPECT_EQ(Lies(anders).abschlag, RundCY(Betrag(kette[i], "AlDispSummAz")));
        }
    }
}
