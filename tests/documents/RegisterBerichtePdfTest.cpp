// The register's four reports about one calculation (eligible costs, payments, partial invoices, surcharges
// per phase) printed through the reports dialog in the currency chosen there, for a calculation entered in
// DM and for the same one entered in euro, read back from the PDF.
#include "DruckausgabeFixture.h"
#include "documents/PrintFormKO.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QRadioButton>
#include <QRegularExpression>
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
          // 511,29 - 204,52 as printed, not the unrounded twins' 306,7751
          R"(^ *O(ff|ﬀ)en +306,77 € *$)", R"(S 2001/01 .*Endbetrag +116,00 € *$)",
          R"(^ *O(ff|ﬀ)en +116,00 € *$)", R"(B 2001/01 .*Endbetrag +29,66 € *$)",
          R"(^ *O(ff|ﬀ)en +29,66 € *$)", R"(^ *Summe aller Zahlungen +204,52 € *$)",
          R"(^ *O(ff|ﬀ)en gesamt +708,08 € *$)"}},
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
        } else if (auto m = offen.match(z); m.hasMatch()) {
            u.rechnungen[nummer][2] = Cent(m.captured(1));
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

} // namespace

// A project with chains that take short and over payments over, hourly invoices copied one from the other, a
// comparison invoice and site supervision in both currencies: the payment overview printed in DM and in euro
// owes what the test's own ledger says, and its total what the open items list for the project.
TEST(RegisterBerichtePdfTest, PaymentOverviewOwesWhatTheLedgerSaysAndWhatTheOpenItemsList) {
    if (!HatPdftotext()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    DruckausgabeFixture t;
    ProgrammZustand zustand(t);
    auto p = t.Projekt("00000003", "Rathaus");
    struct Beleg {
        int lfnr, ursprung;
        const char* typ;
        int eingabe;
        const char *ende, *az;
        std::vector<const char*> zahlungen;
        const char* offen; // the ledger: what the invoice owes of its own, in its entry currency
    };
    const Beleg belege[] = {
        {1, 1, "R", EUR, "11900", "0", {"11900"}, "0"},
        // 500,00 short, billed again by the final invoice (2 % discount), which is paid in full.
        {2, 1, "R", EUR, "11900", "11900", {"6000", "5400"}, "0"},
        {3, 1, "R", EUR, "12152", "23300", {"12152"}, "0"},
        // 100,00 paid over, taken over by the next invoice.
        {4, 4, "R", DM, "1000", "0", {"1100"}, "0"},
        {5, 4, "R", DM, "900", "1100", {"900"}, "0"},
        {6, 6, "S", EUR, "1889.87", "0", {}, "1889.87"},
        {7, 6, "S", EUR, "1181.07", "0", {}, "1181.07"},
        {8, 8, "V", EUR, "83771.86", "0", {}, "0"},
        {9, 9, "B", DM, "5800", "0", {"5000"}, "800"},
    };
    for (const Beleg& b : belege) {
        const Currency e = Currency::FromString(b.ende), a = Currency::FromString(b.az);
        const int zumAndern = b.eingabe == DM ? 1 : 0;
        p->Execute(
            "INSERT INTO BeReList (LfNr, Ursprung, REType, INPUTType, ReNummer, ReBezeichnung, Redatum, "
            "Endbetrag, AlDispEndbetrag, SummAz, AlDispSummAz) VALUES (?, ?, ?, ?, ?, 'Rechnung', "
            "'2026-03-15', ?, ?, ?, ?)",
            db::Params()
                .Add(int64_t(b.lfnr))
                .Add(int64_t(b.ursprung))
                .Add(std::string(b.typ))
                .Add(int64_t(b.eingabe))
                .Add(std::string(b.typ) + "-" + std::to_string(b.lfnr))
                .Add(e.Raw())
                .Add(DMEuroUmrechnung(e, zumAndern).Raw())
                .Add(a.Raw())
                .Add(DMEuroUmrechnung(a, zumAndern).Raw()));
        for (const char* z : b.zahlungen) {
            const Currency c = Currency::FromString(z);
            p->Execute("INSERT INTO Zahlung (LfNrBeReList, Ursprung, Datum, Zahlung, AlDispZahlung) "
                       "VALUES (?, ?, '2026-04-01', ?, ?)",
                       db::Params()
                           .Add(int64_t(b.lfnr))
                           .Add(int64_t(b.ursprung))
                           .Add(c.Raw())
                           .Add(DMEuroUmrechnung(c, zumAndern).Raw()));
        }
    }

    // Fees: the hourly invoices and site supervision by their net fee, invoices by their phases; those
    // taken over are billed again by the invoice that stands for them.
    p->Execute("UPDATE BeReList SET BerNetto = 15881300, AlDispBerNetto = 31061001 WHERE LfNr = 6");
    p->Execute("UPDATE BeReList SET BerNetto = 9925000, AlDispBerNetto = 19411612 WHERE LfNr = 7");
    p->Execute("UPDATE BeReList SET BerNetto = 50000000, AlDispBerNetto = 25564594 WHERE LfNr = 9");
    p->Execute("INSERT INTO Grunddaten (LfNrBeReList, TotalDMLP2, TotalDMLP3, TotalDMLP5) VALUES "
               "(1, 100000000, 0, 0), (2, 100000000, 100000000, 0), (3, 100000000, 200000000, 0), "
               "(4, 0, 0, 5000000), (5, 0, 0, 10000000)");
    p->Execute(
        "UPDATE Grunddaten SET AlDispTotalDMLP2 = TotalDMLP2 * 1.95583, AlDispTotalDMLP3 = TotalDMLP3 * "
        "1.95583 WHERE LfNrBeReList <= 3");
    p->Execute("UPDATE Grunddaten SET AlDispTotalDMLP5 = 5112919 WHERE LfNrBeReList = 5");
    p->Execute("UPDATE Grunddaten SET AlDispTotalDMLP5 = 2556459 WHERE LfNrBeReList = 4");

    // The open items of every project, by project: the sums in DM and euro.
    std::map<QString, std::pair<int64_t, int64_t>> projektSumme;
    {
        const QRegularExpression projekt(R"(Projekt (\d{8}))"),
            summe(QString::fromUtf8(R"(Summe Projekt +(-?[\d.]+,\d\d) +(-?[\d.]+,\d\d))"));
        QString nummer;
        for (const QString& z : OffenePostenText(t).split('\n')) {
            if (auto m = projekt.match(z); m.hasMatch()) nummer = m.captured(1);
            if (auto m = summe.match(z); m.hasMatch())
                projektSumme[nummer] = {Cent(m.captured(1)), Cent(m.captured(2))};
        }
    }
    for (const QString& nummer : {"00000001", "00000002", "00000003"}) {
        t.umgebung.aktuell = nummer;
        auto db = db::Database::Open(t.ProjektPfad(nummer).toStdString(), db::OpenMode::Shared);
        ASSERT_TRUE(db);
        auto q = t.Quellen();
        q.projekt = db.get();
        q.projektPfad = t.ProjektPfad(nummer);
        for (const char* taste : {"DM", "EUR"}) {
            SCOPED_TRACE(nummer.toStdString() + " " + taste);
            const int waehrung = std::string_view(taste) == "DM" ? DM : EUR;
            CRModul cr{report::Umfeld{}};
            const QString pdf = QString::fromStdString((t.dir / "zahlungen.pdf").string());
            QFile::remove(pdf);
            cr.SetDruckDatei(pdf);
            PrintFormKO d(cr, q, GelieferteBerichte());
            d.PrintMode2(13, 1, "1", 1);
            d.show();
            ASSERT_TRUE(d.ActiveBar1().Click("Band1", taste));
            ASSERT_TRUE(d.ActiveBar1().Click("Band1", "PRINT"));
            const Uebersicht u = LiesUebersicht(PdfText(pdf));
            // The open items round each invoice's open twin, the overview each printed twin: in the other
            // currency the two may part by a cent.
            const auto s = projektSumme[nummer];
            EXPECT_LE(std::abs(u.offen - (waehrung == DM ? s.first : s.second)), 1);
            if (nummer != "00000003") continue;
            // Every figure against the ledger, each amount in the printed currency rounded as printed.
            int64_t alle = 0, offen = 0;
            for (const Beleg& b : belege) {
                const int zumAndern = b.eingabe == DM ? 1 : 0;
                auto gedruckt = [&](const char* betrag) {
                    const Currency c = Currency::FromString(betrag);
                    return Cent(b.eingabe == waehrung ? c : DMEuroUmrechnung(c, zumAndern));
                };
                int64_t bezahlt = 0;
                for (const char* z : b.zahlungen)
                    bezahlt += gedruckt(z);
                // Owing nothing of its own is owing nothing in either currency.
                const int64_t soll = std::string_view(b.offen) == "0" ? 0 : gedruckt(b.ende) - bezahlt;
                const auto& ist = u.rechnungen.at(QString("%1-%2").arg(b.typ).arg(b.lfnr));
                EXPECT_EQ(ist, (std::array<int64_t, 3>{gedruckt(b.ende), bezahlt, soll})) << b.lfnr;
                if (b.eingabe == waehrung) EXPECT_EQ(soll, gedruckt(b.offen)) << b.lfnr;
                alle += bezahlt;
                offen += soll;
            }
            EXPECT_EQ(u.zahlungen, alle);
            EXPECT_EQ(u.offen, offen);
            EXPECT_EQ(u.offen, waehrung == DM ? s.first : s.second);
        }
    }

    {
        auto q = t.Quellen();
        q.projekt = p.get();
        q.projektPfad = t.ProjektPfad("00000003");
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
        const std::map<QString, int64_t> soll = {
            {"Keine Zuordnung", 255646},   {"Leistungsphase 1", 0},         {"Leistungsphase 2", 1000000},
            {"Leistungsphase 3", 2000000}, {"Leistungsphase 4", 0},         {"Leistungsphase 5", 51129},
            {"Leistungsphase 6", 0},       {"Leistungsphase 7", 0},         {"Leistungsphase 8", 0},
            {"Leistungsphase 9", 0},       {"Stundenlohnarbeiten", 258063}, {"Gesamt", 3564838}};
        EXPECT_EQ(honorar, soll);
    }
}
