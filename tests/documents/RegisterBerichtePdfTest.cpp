// The register's four reports about one calculation (eligible costs, payments, partial invoices, surcharges
// per phase) printed through the reports dialog in the currency chosen there, for a calculation entered in
// DM and for the same one entered in euro, read back from the PDF.
#include "DruckRegisterHost.h"
#include "DruckausgabeFixture.h"
#include "RegisterEingabe.h"
#include "documents/PrintFormKO.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QRadioButton>
#include <QRegularExpression>
#include <QToolButton>
#include <array>
#include <map>

using namespace velu;
using namespace berichte;

namespace {

// The euro twins of the fixture's amounts, stored as the program stores them (four places).
void Zwillinge(db::Database& d) {
    // The VAT the partial invoices hold (19 %): 79,83 DM and 159,66 DM.
    d.Execute("UPDATE BeReList SET Mwstenthalten = 798300, AlDispMwstenthalten = 408164 WHERE LfNr = 41");
    d.Execute("UPDATE BeReList SET Mwstenthalten = 1596600, AlDispMwstenthalten = 816329 WHERE LfNr = 42");
    d.Execute(
        "UPDATE Grunddaten SET AlDispGrundLDM1 = 1431617, AlDispZuDM1 = 102258 WHERE LfNrBeReList = 42");
    d.Execute(
        "UPDATE AnrechenbareKosten SET AlDispEigenleistung = 2556459406, AlDispFremdLeistung = 102258376 "
        "WHERE Kostenstellennr = '300' AND LfNrBeReList = 42");
    d.Execute("UPDATE AnrechenbareKosten SET AlDispEigenleistung = 766937822, AlDispFremdLeistung = 0 "
              "WHERE Kostenstellennr = '400'");
}

// The same calculations entered in the other currency: amount and twin change places.
void Umstellen(db::Database& d) {
    d.Execute("UPDATE BeReList SET Endbetrag = AlDispEndbetrag, AlDispEndbetrag = Endbetrag, "
              "Mwstenthalten = AlDispMwstenthalten, AlDispMwstenthalten = Mwstenthalten, INPUTType = 1 - "
              "INPUTType");
    d.Execute("UPDATE Zahlung SET Zahlung = AlDispZahlung, AlDispZahlung = Zahlung");
    d.Execute("UPDATE Grunddaten SET GrundLDM1 = AlDispGrundLDM1, AlDispGrundLDM1 = GrundLDM1, ZuDM1 = "
              "AlDispZuDM1, "
              "AlDispZuDM1 = ZuDM1, TotalDMLP1 = AlDispTotalDMLP1, AlDispTotalDMLP1 = TotalDMLP1, "
              "TotalDMLP2 = AlDispTotalDMLP2, AlDispTotalDMLP2 = TotalDMLP2");
    d.Execute("UPDATE AnrechenbareKosten SET Eigenleistung = AlDispEigenleistung, AlDispEigenleistung = "
              "Eigenleistung, FremdLeistung = AlDispFremdLeistung, AlDispFremdLeistung = FremdLeistung");
}

// The open items of every project printed through the reports dialog, as text.
QString OffenePostenText(DruckausgabeFixture& t) {
    CRModul cr{report::Umfeld{}};
    const QString pdf = QString::fromStdString((t.dir / "offen.pdf").string());
    cr.SetDruckDatei(pdf);
    PrintFormKO d(cr, t.Quellen(), GelieferteBerichte());
    d.show();
    d.findChild<QRadioButton*>("Option1(4)")->click();
    forms::MessageBoxScript meldungen;
    EXPECT_TRUE(d.ActiveBar1().Click("Band1", "PRINT"));
    EXPECT_TRUE(meldungen.Shown().empty()) << meldungen.LastText().toStdString();
    return PdfText(pdf);
}

// German amount text to cents.
int64_t Cent(QString s) {
    s.remove('.').replace(',', '.');
    return std::llround(s.toDouble() * 100);
}

} // namespace

TEST(RegisterBerichtePdfTest, EachReportPrintsInTheCurrencyChosenWhateverTheCalculationsCurrency) {
    if (!HatPdftotext()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    struct Fall {
        int preset;
        const char* taste; // "DM" or "EUR"
        // Lines in print order, each a pattern of one whole line ("ff" may come out as its ligature).
        std::vector<const char*> zeilen;
    };
    const Fall faelle[] = {
        {11,
         "DM",
         // The column heads may wrap their currency onto a line of their own.
         {R"(Bezeichnung +(Eigenleistung DM +Fremdleistung DM|Eigenleistung +Fremdleistung\s+DM +DM) *$)",
          R"(^ *300 +Bauwerk +500\.000,00 +20\.000,00 *$)",
          R"(^ *400 +Technische Anlagen +150\.000,00 +0,00 *$)", R"(^ *Gesamt +650\.000,00 +20\.000,00 *$)"}},
        {11,
         "EUR",
         {R"(Bezeichnung +(Eigenleistung € +Fremdleistung €|Eigenleistung +Fremdleistung\s+€ +€) *$)",
          R"(^ *300 +Bauwerk +255\.645,94 +10\.225,84 *$)",
          R"(^ *400 +Technische Anlagen +76\.693,78 +0,00 *$)", R"(^ *Gesamt +332\.339,72 +10\.225,84 *$)"}},
        {12,
         "DM",
         {R"(darin MwSt DM +Endbetrag DM *$)", R"(^ *R 2001/05 +15\.03\.2024 +Rechnung +79,83 +500,00 *$)",
          R"(^ *R 2001/07 +15\.03\.2024 +Rechnung +159,66 +1\.000,00 *$)",
          R"(^ *2 +Rechnungen +239,49 +1\.500,00 *$)"}},
        {12,
         "EUR",
         {R"(darin MwSt € +Endbetrag € *$)", R"(^ *R 2001/05 +15\.03\.2024 +Rechnung +40,82 +255,65 *$)",
          R"(^ *R 2001/07 +15\.03\.2024 +Rechnung +81,63 +511,29 *$)",
          R"(^ *2 +Rechnungen +122,45 +766,94 *$)"}},
        {13,
         "DM",
         {R"(Angebot 1 .*Endbetrag +7\.777,00 DM *$)", R"(^ *O(ff|ﬀ)en +0,00 DM *$)",
          R"(R 2001/05 .*Endbetrag +500,00 DM *$)", R"(^ *O(ff|ﬀ)en +500,00 DM *$)",
          R"(R 2001/07 .*Endbetrag +1\.000,00 DM *$)", R"(Überweisung +400,00 DM *$)",
          R"(^ *Zahlungen +400,00 DM *$)", R"(^ *O(ff|ﬀ)en +600,00 DM *$)",
          R"(S 2001/01 .*Endbetrag +226,88 DM *$)", R"(^ *O(ff|ﬀ)en +226,88 DM *$)",
          R"(B 2001/01 .*Endbetrag +58,00 DM *$)", R"(^ *O(ff|ﬀ)en +58,00 DM *$)",
          R"(^ *Summe aller Zahlungen +400,00 DM *$)", R"(^ *O(ff|ﬀ)en gesamt +1\.384,88 DM *$)"}},
        {13,
         "EUR",
         {R"(Angebot 1 .*Endbetrag +3\.976,27 € *$)", R"(^ *O(ff|ﬀ)en +0,00 € *$)",
          R"(R 2001/05 .*Endbetrag +255,65 € *$)", R"(^ *O(ff|ﬀ)en +255,65 € *$)",
          R"(R 2001/07 .*Endbetrag +511,29 € *$)", R"(Überweisung +204,52 € *$)",
          R"(^ *Zahlungen +204,52 € *$)",
          // 600,00 DM owed converted once, as the open items owe it (not 511,29 - 204,52 as printed)
          R"(^ *O(ff|ﬀ)en +306,78 € *$)", R"(S 2001/01 .*Endbetrag +116,00 € *$)",
          R"(^ *O(ff|ﬀ)en +116,00 € *$)", R"(B 2001/01 .*Endbetrag +29,66 € *$)",
          R"(^ *O(ff|ﬀ)en +29,66 € *$)", R"(^ *Summe aller Zahlungen +204,52 € *$)",
          R"(^ *O(ff|ﬀ)en gesamt +708,09 € *$)"}},
        {14,
         "DM",
         {R"(Grundleistung DM +Zuschlag % +Zuschlag DM +Gesamt DM *$)",
          R"(^ *Leistungsphase 1 +280,00 +7,14 +20,00 +300,00 *$)", R"(^ *Leistungsphase 2 .* 200,00 *$)",
          R"(^ *Summe +280,00 +20,00 +500,00 *$)", R"(^ *Gesamt +280,00 +20,00 +500,00 *$)"}},
        {14,
         "EUR",
         {R"(Grundleistung € +Zuschlag % +Zuschlag € +Gesamt € *$)",
          R"(^ *Leistungsphase 1 +143,16 +7,14 +10,23 +153,39 *$)", R"(^ *Leistungsphase 2 .* 102,26 *$)",
          R"(^ *Summe +143,16 +10,23 +255,65 *$)", R"(^ *Gesamt +143,16 +10,23 +255,65 *$)"}},
    };
    DruckausgabeFixture t;
    ProgrammZustand z(t);
    Zwillinge(*t.projekt);
    for (const bool inEuro : {false, true}) {
        if (inEuro) Umstellen(*t.projekt);
        for (const Fall& f : faelle) {
            const std::string name =
                std::to_string(f.preset) + " " + f.taste + (inEuro ? ", in euro" : ", in DM");
            SCOPED_TRACE(name);
            CRModul cr{report::Umfeld{}};
            const QString pdf = QString::fromStdString((t.dir / "register.pdf").string());
            QFile::remove(pdf);
            cr.SetDruckDatei(pdf);
            PrintFormKO d(cr, t.Quellen(), GelieferteBerichte());
            d.PrintMode2(f.preset, 42, "R 2001/07", 40);
            d.show();
            forms::MessageBoxScript meldungen;
            ASSERT_TRUE(d.ActiveBar1().Click("Band1", f.taste));
            ASSERT_TRUE(d.ActiveBar1().Click("Band1", "PRINT"));
            EXPECT_TRUE(meldungen.Shown().empty()) << meldungen.LastText().toStdString();
            const QString text = PdfText(pdf);
            qsizetype ab = 0;
            for (const char* zeile : f.zeilen) {
                const QRegularExpression muster(QString::fromUtf8(zeile),
                                                QRegularExpression::MultilineOption);
                const auto treffer = muster.match(text, ab);
                ASSERT_TRUE(treffer.hasMatch()) << zeile << "\n" << text.toStdString() << "\nEND";
                ab = treffer.capturedEnd();
            }
            // Only the currency chosen is printed.
            EXPECT_FALSE(text.contains(QString::fromUtf8(std::string_view(f.taste) == "DM" ? "€" : " DM")))
                << text.toStdString();
            if (f.preset == 13) {
                // The open amounts printed add up to the printed total.
                const QRegularExpression offen(QString::fromUtf8(R"(^ *O(ff|ﬀ)en +(-?[\d.]+,\d\d) )"),
                                               QRegularExpression::MultilineOption);
                const QRegularExpression gesamt(QString::fromUtf8(R"(O(ff|ﬀ)en gesamt +([\d.]+,\d\d) )"));
                int64_t summe = 0;
                for (auto it = offen.globalMatch(text); it.hasNext();)
                    summe += Cent(it.next().captured(2));
                const auto g = gesamt.match(text);
                ASSERT_TRUE(g.hasMatch());
                EXPECT_EQ(summe, Cent(g.captured(2)));
                EXPECT_EQ(text.count(QRegularExpression(QString::fromUtf8("O(ff|ﬀ)en gesamt"))), 1);
            }
        }
    }
}

TEST(RegisterBerichtePdfTest, OpenItemsListEveryInvoiceThatAsksForPaymentAndAddUp) {
    if (!HatPdftotext()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    DruckausgabeFixture t;
    ProgrammZustand z(t);
    const QString text = OffenePostenText(t);

    // Every row of project 00000001 with its open amounts in DM and euro, then the project's sum.
    const QRegularExpression zeile(
        QString::fromUtf8(R"(^ *(\S+ \S+) +Rechnung +15\.03\.2024 +([\d.]+,\d\d) +([\d.]+,\d\d) *$)"),
        QRegularExpression::MultilineOption);
    const auto kita = text.indexOf("Projekt 00000001");
    const auto schule = text.indexOf("Projekt 00000002");
    ASSERT_GE(kita, 0);
    ASSERT_GT(schule, kita) << text.toStdString();
    std::vector<std::tuple<QString, int64_t, int64_t>> zeilen;
    for (auto it = zeile.globalMatch(text.mid(kita, schule - kita)); it.hasNext();) {
        const auto m = it.next();
        zeilen.emplace_back(m.captured(1), Cent(m.captured(2)), Cent(m.captured(3)));
    }
    // The unpaid site-supervision invoice (58 DM) stands beside the invoice and the hourly-rate invoice.
    // R 2001/07 did not take the payments of R 2001/05 over: both ask for payment.
    const std::vector<std::tuple<QString, int64_t, int64_t>> soll = {{"R 2001/05", 50000, 25565},
                                                                     {"R 2001/07", 60000, 30678},
                                                                     {"S 2001/01", 22688, 11600},
                                                                     {"B 2001/01", 5800, 2966}};
    EXPECT_EQ(zeilen, soll) << text.toStdString();
    const QRegularExpression summe(QString::fromUtf8(R"(Summe Projekt +([\d.]+,\d\d) +([\d.]+,\d\d))"));
    const auto s = summe.match(text, kita);
    ASSERT_TRUE(s.hasMatch());
    int64_t dm = 0, euro = 0;
    for (const auto& [nr, d, e] : zeilen) {
        dm += d;
        euro += e;
    }
    EXPECT_EQ(Cent(s.captured(1)), dm);
    EXPECT_EQ(Cent(s.captured(2)), euro);
    EXPECT_TRUE(QRegularExpression(QString::fromUtf8(R"(Gesamt o(ff|ﬀ)en +3\.384,88 +1\.730,67)"))
                    .match(text)
                    .hasMatch())
        << text.toStdString();
}

namespace {

// The figures of the payment overview by invoice number, and its two totals.
struct Uebersicht {
    std::map<QString, std::array<int64_t, 3>> rechnungen; // final amount, payments, open
    int64_t zahlungen = 0, offen = 0;
    int64_t zeilenZahlungen = 0, zeilenOffen = 0; // the invoices' lines added up
};
Uebersicht LiesUebersicht(const QString& text) {
    Uebersicht u;
    const QString betrag = QString::fromUtf8(R"( +(-?[\d.]+,\d\d) (?:€|DM) *$)");
    const QRegularExpression kopf("^ *(\\S+) .*Endbetrag" + betrag), zahlungen("^ *Zahlungen" + betrag),
        offen(QString::fromUtf8("^ *O(?:ff|ﬀ)en") + betrag), alle("^ *Summe aller Zahlungen" + betrag),
        gesamt(QString::fromUtf8("^ *O(?:ff|ﬀ)en gesamt") + betrag);
    QString nummer;
    for (const QString& z : text.split('\n')) {
        if (auto m = kopf.match(z); m.hasMatch()) {
            nummer = m.captured(1);
            u.rechnungen[nummer] = {Cent(m.captured(2)), 0, 0};
        } else if (auto m = zahlungen.match(z); m.hasMatch()) {
            u.rechnungen[nummer][1] = Cent(m.captured(1));
            u.zeilenZahlungen += Cent(m.captured(1));
        } else if (auto m = offen.match(z); m.hasMatch()) {
            u.rechnungen[nummer][2] = Cent(m.captured(1));
            u.zeilenOffen += Cent(m.captured(1));
        } else if (auto m = alle.match(z); m.hasMatch()) {
            u.zahlungen = Cent(m.captured(1));
        } else if (auto m = gesamt.match(z); m.hasMatch()) {
            u.offen = Cent(m.captured(1));
        }
    }
    return u;
}

int64_t Cent(Currency c) {
    return RundCY(c).Raw() / 100;
}

// Amount text as the grids take it.
QString Eingetippt(Currency c) {
    return QString::number(RundCY(c).ToDouble(), 'f', 2).replace('.', ',');
}

} // namespace

// A project entered as a clerk enters it: a chain that takes a short payment over, one that takes an
// overpayment over in DM, two hourly-rate invoices copied one from the other, a comparison invoice and site
// supervision in DM. Every figure of the payment overview (in DM and in euro), the open items, "Honorar /
// Aufwand" and the partial-invoices list equals the test's own ledger over the stored amounts and payments,
// and the overview's "Offen gesamt" the open items' sum of every project in both currencies.
TEST(RegisterBerichtePdfTest, PaymentOverviewOwesWhatTheLedgerSaysAndWhatTheOpenItemsList) {
    if (!HatPdftotext()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    DruckausgabeFixture t;
    ProgrammZustand zustand(t);
    std::shared_ptr<db::Database> p = t.Projekt("00000003", "Rathaus");
    std::string fehler;
    std::shared_ptr<db::Database> hoai = DatabaseSetup::CreateStammDB((t.dir / "HOAI.MDB").string(), &fehler);
    ASSERT_TRUE(hoai) << fehler;
    MasterDataLoader::Load(*hoai, HoaiDatenOrdner());
    App().SetStammDB(hoai);
    App().SetProjekt(p, t.ProjektPfad("00000003"));
    struct Zurueck {
        ~Zurueck() {
            App().SetProjekt(nullptr, {});
            App().SetStammDB(nullptr);
        }
    } zurueck;

    // Each invoice as the clerk makes it: new, or a copy of the one before (typ 0); its entry (eligible
    // costs, hourly positions or site supervision); the discount; the payments of the earlier ones taken
    // over with "…"; then paid its final amount less weniger (nullptr: not paid).
    struct Beleg {
        const char* nummer;
        char typ;
        int eingabe;
        const char* kosten; // fee invoices
        std::vector<std::pair<const char*, const char*>> stunden;
        const char* skonto;
        bool uebernehmen;
        const char* weniger;
    };
    const Beleg belege[] = {
        {"R-101-1", 'R', EUR, "500.000,00", {}, nullptr, false, "0"},
        {"R-101-2", 0, EUR, "750.000,00", {}, nullptr, true, "500"},
        {"R-101-3", 0, EUR, "1.000.000,00", {}, "2", true, "0"},
        {"R-201-1", 'R', DM, "977.915,00", {}, nullptr, false, "-100"},
        {"R-201-2", 0, DM, "1.466.872,50", {}, nullptr, true, "0"},
        {"S-301", 'S', EUR, nullptr, {{"12,5", "95,00"}, {"4", "71,50"}}, nullptr, false, nullptr},
        {"S-302", 0, EUR, nullptr, {{"7", "95,00"}}, nullptr, false, nullptr},
        {"V-8", 'V', EUR, "1.000.000,00", {}, nullptr, false, nullptr},
        {"B-9", 'B', DM, nullptr, {}, nullptr, false, "800"},
    };
    std::map<QString, int64_t> lfnr;
    std::map<QString, QString> kette;  // the first invoice of each one's chain
    std::map<QString, bool> abgeloest; // a later invoice of its chain took its payments over
    {
        // The first of each chain through the new-calculation dialog's path, then the register.
        for (const Beleg& b : belege)
            if (b.typ) {
                reg::NeueBerechnungDaten d;
                d.gruppe = b.nummer;
                d.nummer = b.nummer;
                d.bezeichnung = "Rechnung";
                d.typ = b.typ;
                d.waehrung = b.eingabe;
                d.mwstPro = Currency::FromUnits(19);
                d.datum = "2026-03-15";
                lfnr[b.nummer] = reg::CalculationSet(*p).NeueBerechnung(d);
            }
        forms::MessageBoxScript boxen;
        reg::BerAuswahl w(std::make_unique<druckhost::DruckHost>());
        w.show();
        QString erste;
        for (const Beleg& b : belege) {
            SCOPED_TRACE(b.nummer);
            if (b.typ) {
                erste = b.nummer;
                w.TreeView1()->setCurrentItem(eingabe::Knoten(w, lfnr[b.nummer]));
            } else {
                ASSERT_TRUE(w.ActiveBar1().Click("Band1", "COPY"));
                lfnr[b.nummer] = w.Register()->CurrentLfNr();
                if (b.uebernehmen)
                    for (const auto& [nr, k] : kette)
                        if (k == erste) abgeloest[nr] = true;
            }
            kette[b.nummer] = erste;
            ASSERT_EQ(w.Register()->CurrentLfNr(), lfnr[b.nummer]);
            ASSERT_TRUE(w.ActiveBar1().Click("Band1", b.eingabe == DM ? "DM" : "EUR"));
            eingabe::Nummer(w, b.nummer);
            if (b.kosten)
                eingabe::Edit(w, {b.kosten, "3", "0"}, true);
            else if (!b.stunden.empty())
                eingabe::Stunden(w, b.stunden);
            else
                eingabe::Bauueberwachung(w, {"1.000.000,00", "2,5", "80", ""});
            if (b.skonto) eingabe::Tippe(w, 10, b.skonto);
            if (b.uebernehmen) w.findChild<QToolButton*>("Command1")->click();
            if (b.weniger) {
                const Currency ende = GetCY(p->OpenRecordset("SELECT Endbetrag FROM BeReList WHERE LfNr = ?",
                                                             db::Params().Add(lfnr[b.nummer])),
                                            "Endbetrag");
                eingabe::Zahle(w, Eingetippt(ende - Currency::FromString(b.weniger)));
            }
            ASSERT_TRUE(boxen.Shown().empty()) << boxen.LastText().toStdString();
        }
    }

    // The ledger: each invoice's stored amounts and payments in DM [0] and euro [1], what it owes of its own
    // in its entry currency (nothing when taken over, nothing for a comparison), and that in the other
    // currency converted once.
    struct Posten {
        int64_t lfnr;
        int eingabe;
        char typ;
        Currency ende[2], mwst[2], offen[2];
        int64_t bezahlt[2] = {0, 0}; // each payment as printed
    };
    std::map<QString, Posten> ledger;
    for (const Beleg& b : belege) {
        Posten& l = ledger[b.nummer];
        l.lfnr = lfnr[b.nummer];
        l.eingabe = b.eingabe;
        db::Recordset r = p->OpenRecordset("SELECT * FROM BeReList WHERE LfNr = ?", db::Params().Add(l.lfnr));
        ASSERT_FALSE(r.Empty());
        l.typ = r.GetText("REType")[0];
        ASSERT_EQ(r.GetText("ReNummer"), b.nummer);
        const int e = b.eingabe == DM ? 0 : 1;
        l.ende[e] = GetCY(r, "Endbetrag");
        l.ende[1 - e] = GetCY(r, "AlDispEndbetrag");
        l.mwst[e] = GetCY(r, "Mwstenthalten");
        l.mwst[1 - e] = GetCY(r, "AlDispMwstenthalten");
        Currency bezahlt;
        db::Recordset z = p->OpenRecordset(
            "SELECT Zahlung, AlDispZahlung FROM Zahlung WHERE LfNrBeReList = ?", db::Params().Add(l.lfnr));
        for (; !z.Empty() && !z.EOF_(); z.MoveNext()) {
            bezahlt += GetCY(z, "Zahlung");
            l.bezahlt[e] += Cent(GetCY(z, "Zahlung"));
            l.bezahlt[1 - e] += Cent(GetCY(z, "AlDispZahlung"));
        }
        if (b.weniger) {
            EXPECT_EQ(bezahlt, RundCY(l.ende[e] - Currency::FromString(b.weniger)));
        }
        const Currency offen = abgeloest[b.nummer] || l.typ == 'V' ? Currency{} : l.ende[e] - bezahlt;
        l.offen[e] = RundCY(offen);
        l.offen[1 - e] = RundCY(DMEuroUmrechnung(offen, e == 0 ? 1 : 0));
    }
    // What the project owes: the two chains are settled, the hourly-rate invoices unpaid, site supervision
    // 800,00 DM short.
    EXPECT_EQ(ledger["R-101-3"].offen[1], Currency{});
    EXPECT_EQ(ledger["R-201-2"].offen[0], Currency{});
    EXPECT_EQ(ledger["B-9"].offen[0], Currency::FromUnits(800));
    EXPECT_EQ(ledger["S-301"].offen[1], RundCY(ledger["S-301"].ende[1]));

    // The open items of every project, by project: the sums in DM and euro; project 00000003's rows.
    std::map<QString, std::pair<int64_t, int64_t>> projektSumme;
    std::map<QString, std::pair<int64_t, int64_t>> posten;
    {
        const QRegularExpression projekt(R"(Projekt (\d{8}))"),
            zeile(R"(^ *(\S+) .*\d\d\.\d\d\.\d{4} +(-?[\d.]+,\d\d) +(-?[\d.]+,\d\d) *$)"),
            summe(QString::fromUtf8(R"(Summe Projekt +(-?[\d.]+,\d\d) +(-?[\d.]+,\d\d))")),
            gesamt(QString::fromUtf8(R"(Gesamt o(?:ff|ﬀ)en +(-?[\d.]+,\d\d) +(-?[\d.]+,\d\d))"));
        QString nummer;
        std::map<QString, std::pair<int64_t, int64_t>> zeilenSumme;
        std::pair<int64_t, int64_t> alle{0, 0}, gedrucktAlle{-1, -1};
        for (const QString& z : OffenePostenText(t).split('\n')) {
            if (auto m = projekt.match(z); m.hasMatch()) nummer = m.captured(1);
            if (auto m = zeile.match(z); m.hasMatch()) {
                if (nummer == "00000003") posten[m.captured(1)] = {Cent(m.captured(2)), Cent(m.captured(3))};
                zeilenSumme[nummer].first += Cent(m.captured(2));
                zeilenSumme[nummer].second += Cent(m.captured(3));
            }
            if (auto m = summe.match(z); m.hasMatch()) {
                projektSumme[nummer] = {Cent(m.captured(1)), Cent(m.captured(2))};
                alle.first += Cent(m.captured(1));
                alle.second += Cent(m.captured(2));
            }
            if (auto m = gesamt.match(z); m.hasMatch())
                gedrucktAlle = {Cent(m.captured(1)), Cent(m.captured(2))};
        }
        // The printed rows add up to the printed sum of their project, those to the printed total.
        EXPECT_EQ(zeilenSumme, projektSumme);
        EXPECT_EQ(projektSumme.size(), 3u);
        EXPECT_EQ(gedrucktAlle, alle);
    }
    std::map<QString, std::pair<int64_t, int64_t>> sollPosten;
    for (const auto& [nr, l] : ledger)
        if (l.offen[0] != Currency{}) sollPosten[nr] = {Cent(l.offen[0]), Cent(l.offen[1])};
    EXPECT_EQ(posten, sollPosten);

    for (const char* n : {"00000001", "00000002", "00000003"}) {
        const QString nummer = n;
        t.umgebung.aktuell = nummer;
        auto db = db::Database::Open(t.ProjektPfad(nummer).toStdString(), db::OpenMode::Shared);
        ASSERT_TRUE(db);
        auto q = t.Quellen();
        q.projekt = db.get();
        q.projektPfad = t.ProjektPfad(nummer);
        for (const int waehrung : {DM, EUR}) {
            SCOPED_TRACE(nummer.toStdString() + (waehrung == DM ? " DM" : " EUR"));
            CRModul cr{report::Umfeld{}};
            const QString pdf = QString::fromStdString((t.dir / "zahlungen.pdf").string());
            QFile::remove(pdf);
            cr.SetDruckDatei(pdf);
            PrintFormKO d(cr, q, GelieferteBerichte());
            d.PrintMode2(13, 1, "1", 1);
            d.show();
            ASSERT_TRUE(d.ActiveBar1().Click("Band1", waehrung == DM ? "DM" : "EUR"));
            ASSERT_TRUE(d.ActiveBar1().Click("Band1", "PRINT"));
            const Uebersicht u = LiesUebersicht(PdfText(pdf));
            // What the project owes is one amount in both reports.
            const auto s = projektSumme[nummer];
            EXPECT_EQ(u.offen, waehrung == DM ? s.first : s.second);
            // The invoices' lines add up to the printed totals.
            EXPECT_EQ(u.zahlungen, u.zeilenZahlungen);
            EXPECT_EQ(u.offen, u.zeilenOffen);
            if (nummer != "00000003") continue;
            const int w = waehrung == DM ? 0 : 1;
            std::map<QString, std::array<int64_t, 3>> soll;
            for (const auto& [nr, l] : ledger)
                soll[nr] = {Cent(l.ende[w]), l.bezahlt[w], Cent(l.offen[w])};
            EXPECT_EQ(u.rechnungen, soll);
        }
    }

    auto q = t.Quellen();
    q.projekt = p.get();
    q.projektPfad = t.ProjektPfad("00000003");
    // The fees invoiced, in euro: every invoice once, the chains by their last invoice's phases.
    {
        std::map<QString, int64_t> soll = {{"Keine Zuordnung", 0}, {"Stundenlohnarbeiten", 0}, {"Gesamt", 0}};
        for (int i = 1; i <= 9; ++i)
            soll[QString("Leistungsphase %1").arg(i)] = 0;
        for (const auto& [nr, l] : ledger) {
            if (abgeloest[nr] || l.typ == 'V') continue;
            const std::string a = l.eingabe == EUR ? "" : "AlDisp";
            auto bucht = [&](const QString& zeile, Currency c) {
                soll[zeile] += Cent(c);
                soll["Gesamt"] += Cent(c);
            };
            if (l.typ == 'R') {
                for (int i = 1; i <= 9; ++i) {
                    const std::string f = a + "TotalDMLP" + std::to_string(i);
                    bucht(QString("Leistungsphase %1").arg(i),
                          GetCY(p->OpenRecordset("SELECT Sum(" + f +
                                                     ") AS s FROM Grunddaten WHERE "
                                                     "LfNrBeReList = ?",
                                                 db::Params().Add(l.lfnr)),
                                "s"));
                }
            } else {
                bucht(l.typ == 'S' ? "Stundenlohnarbeiten" : "Keine Zuordnung",
                      GetCY(p->OpenRecordset("SELECT " + a + "BerNetto AS n FROM BeReList WHERE LfNr = ?",
                                             db::Params().Add(l.lfnr)),
                            "n"));
            }
        }
        CRModul cr{report::Umfeld{}};
        const QString pdf = QString::fromStdString((t.dir / "honorar.pdf").string());
        cr.SetDruckDatei(pdf);
        PrintFormKO d(cr, q, GelieferteBerichte());
        d.show();
        d.findChild<QRadioButton*>("Option1(5)")->click();
        ASSERT_TRUE(d.ActiveBar1().Click("Band1", "EUR"));
        ASSERT_TRUE(d.ActiveBar1().Click("Band1", "PRINT"));
        const QRegularExpression zeile(QString::fromUtf8(
            R"(^ *(Keine Zuordnung|Stundenlohnarbeiten|Leistungsphase \d|Gesamt) +(-?[\d.]+,\d\d) +)"));
        std::map<QString, int64_t> honorar;
        for (const QString& z : PdfText(pdf).split('\n'))
            if (auto m = zeile.match(z); m.hasMatch()) honorar[m.captured(1)] = Cent(m.captured(2));
        EXPECT_EQ(honorar, soll);
    }
    // The partial-invoices list of each chain's last invoice, in euro: each invoice's VAT and final amount,
    // and their sums.
    for (const auto& [letzte, erste] : {std::pair{"R-101-3", "R-101-1"}, {"R-201-2", "R-201-1"}}) {
        SCOPED_TRACE(letzte);
        CRModul cr{report::Umfeld{}};
        const QString pdf = QString::fromStdString((t.dir / "abschlag.pdf").string());
        QFile::remove(pdf);
        cr.SetDruckDatei(pdf);
        PrintFormKO d(cr, q, GelieferteBerichte());
        d.PrintMode2(12, ledger[letzte].lfnr, letzte, ledger[erste].lfnr);
        d.show();
        ASSERT_TRUE(d.ActiveBar1().Click("Band1", "EUR"));
        ASSERT_TRUE(d.ActiveBar1().Click("Band1", "PRINT"));
        const QString text = PdfText(pdf);
        const QRegularExpression zeile(R"(^ *(\S+) +\d\d\.\d\d\.\d{4} .*?([\d.]+,\d\d) +([\d.]+,\d\d) *$)"),
            summe(R"(^ *(\d+) +Rechnungen +([\d.]+,\d\d) +([\d.]+,\d\d) *$)");
        std::map<QString, std::pair<int64_t, int64_t>> gedruckt, soll;
        std::array<int64_t, 3> summen{}, sollSummen{};
        for (const QString& z : text.split('\n')) {
            if (auto m = zeile.match(z); m.hasMatch())
                gedruckt[m.captured(1)] = {Cent(m.captured(2)), Cent(m.captured(3))};
            if (auto m = summe.match(z); m.hasMatch())
                summen = {m.captured(1).toInt(), Cent(m.captured(2)), Cent(m.captured(3))};
        }
        for (const auto& [nr, k] : kette)
            if (k == erste) {
                soll[nr] = {Cent(ledger[nr].mwst[1]), Cent(ledger[nr].ende[1])};
                sollSummen = {sollSummen[0] + 1, sollSummen[1] + soll[nr].first,
                              sollSummen[2] + soll[nr].second};
            }
        EXPECT_EQ(gedruckt, soll) << text.toStdString();
        EXPECT_EQ(summen, sollSummen) << text.toStdString();
    }
}
