// The fields of an invoice document as the formatters write them from the print tables.
#include "RechnungFixture.h"
#include "documents/RechnungsDruck.h"
#include "platform/outside/Prodat.h"

using namespace velu;
using namespace velu::documents;

namespace {

class RechnungsTextTest : public RechnungFixture {
protected:
    // Fills the print tables of calculation 1 and builds its fields for kind art in currency 0 (DM) or 1.
    FeldProtokoll Baue(int art, int waehrung = DM, int eingabe = DM) {
        FeldProtokoll f;
        const QString zeichen = TransDM(*projekt_, 1, eingabe, waehrung);
        RechnungsText t(*projekt_, f, umgebung_);
        t.Setze(1, zeichen, art);
        EXPECT_TRUE(t.BaueRechnungsText("09.12.2026"));
        return f;
    }
};

TEST_F(RechnungsTextTest, TableAWritesAmountsPercentagesAndTheOtherCurrency) {
    Rechnung(1, "R", DM,
             {{"InZuSchBerNettoProDM", Cy("12.345")},
              {"InZuSchBerNettoDM", Cy("100.005")},
              {"SummAz", Cy("5000")},
              {"SkontoPro", Cy("3")},
              {"MwstPro", Cy("19")},
              {"Endbetrag", Cy("1000")},
              {"AlDispEndbetrag", Cy("511.2919")},
              {"BerNetto", Cy("1234567.891")}});
    const FeldProtokoll f = Baue(2);
    const std::vector<std::pair<int, const char*>> soll = {{3040, "112,36 DM"},
                                                           {3311, "-5.000,00 DM"},
                                                           {3046, "-5.000,00 DM"},
                                                           {3312, "3,00 %"},
                                                           {3047, "3,00 %"},
                                                           {3307, "19,00 %"},
                                                           {3059, "511,29 €"},
                                                           {3315, "1.000,00 DM"},
                                                           {3007, "1.000,00 DM"},
                                                           {3304, "1.234.567,89 DM"},
                                                           {3301, "R-1"},
                                                           {3008, "R-1"},
                                                           {3002, "Rechnung 1"},
                                                           {3303, "01.12.2026"},
                                                           {3305, "0,00 DM"},
                                                           {90, "09.12.2026"},
                                                           {100, "Kita Sonnenhof"},
                                                           {101, "2026-17"},
                                                           {91, "0"},
                                                           {92, "1"},
                                                           {3317, "0,00 DM"},
                                                           {3319, "0,00 %"}};
    for (const auto& [n, text] : soll)
        EXPECT_EQ(f[n], QString::fromUtf8(text)) << n;
}

TEST_F(RechnungsTextTest, AnEuroInvoicePrintedInEuroNamesDmAsTheOtherCurrency) {
    Rechnung(1, "R", EUR, {{"Endbetrag", Cy("500")}, {"AlDispEndbetrag", Cy("977.915")}});
    const FeldProtokoll f = Baue(2, EUR, EUR);
    EXPECT_EQ(f[3315], QString::fromUtf8("500,00 €"));
    EXPECT_EQ(f[3059], "977,92 DM");
}

TEST_F(RechnungsTextTest, TableBShowsTheBaseFeeOrTheLumpSumPerSection) {
    struct Fall {
        const char* pauschal;
        const char* honorar;
        const char* feld3060;
    };
    for (const Fall& c : {Fall{"0", "10.000,00 DM", " "}, Fall{"8000", "8.000,00 DM", "Pauschal"}}) {
        projekt_->Execute("DELETE FROM BeReList");
        projekt_->Execute("DELETE FROM Grunddaten");
        Rechnung(1, "R", DM);
        Gruppe(1, 1,
               {{"PHonorarAB1", Cy(c.pauschal)},
                {"GrHonorarAb1", Cy("10000")},
                {"GrHonorarAb2", Cy("7")},
                {"Honorarzone", int64_t(3)},
                {"SatzUemin1", Cy("12.5")},
                {"TeilleistPro1", Cy("2")},
                {"TeilleistPro2", Cy("0")},
                {"TeilleistPro3", Cy("3")},
                {"TeilleistDM8", Cy("20128")},
                {"SummZuNettoProDM", Cy("0.005")},
                {"SummZuNettoDM", Cy("1")}});
        for (int i = 4; i <= 9; ++i)
            projekt_->Execute("UPDATE Grunddaten SET TeilleistPro" + std::to_string(i) + " = 0");
        Profil(1, 1, false);
        const FeldProtokoll f = Baue(2);
        EXPECT_EQ(f[3019], c.honorar);
        EXPECT_EQ(f[3060], c.feld3060);
        // Sections without a lump sum show their base fee and leave their mark blank.
        EXPECT_EQ(f[3025], "7,00 DM");
        EXPECT_EQ(f[3061], " ");
        EXPECT_EQ(f[3062], " ");
        EXPECT_EQ(f[3004], "3");
        EXPECT_EQ(f[3017], "12,50 %");
        EXPECT_EQ(f[3035], "2,00 %\r\n\r\n3,00 %\r\n\r\n\r\n\r\n\r\n\r\n");
        EXPECT_EQ(f[3036], "\r\n\r\n\r\n\r\n\r\n\r\n\r\n20.128,00 DM\r\n");
        EXPECT_EQ(f[3038], "1,01 DM");
        // Table C from the profile.
        EXPECT_EQ(f[3003], QString::fromUtf8("§ 34 Gebäude und Innenräume"));
        EXPECT_EQ(f[3013], QString::fromUtf8("§ 35 Honorartafel Gebäude"));
        EXPECT_TRUE(f[3032].startsWith("1 Grundlagenermittlung\r\n2 \r\n")) << f[3032].toStdString();
        EXPECT_EQ(f[3032].count("\r\n"), 8);
        EXPECT_EQ(f[3033], "2,00 %\r\n\r\n\r\n\r\n\r\n\r\n\r\n32,00 %\r\n");
    }
}

TEST_F(RechnungsTextTest, ProjectDataFillFieldsFromProdatOrBlanks) {
    Rechnung(1, "R", DM);
    FeldProtokoll ohne = Baue(2);
    for (int n = 1000; n <= 1199; ++n)
        ASSERT_EQ(ohne[n], " ") << n;
    ASSERT_TRUE(outside::SchreibeProdatFelder(umgebung_.ordner + "/Prodat",
                                              {{0, "  Schule Nord "}, {4, QString::fromUtf8("Müller")}}));
    FeldProtokoll mit = Baue(2);
    EXPECT_EQ(mit[1000], "Schule Nord");
    EXPECT_EQ(mit[1004], QString::fromUtf8("Müller"));
    EXPECT_EQ(mit[1001], " ");
}

TEST_F(RechnungsTextTest, KindDecidesWhichTablesAreWritten) {
    Rechnung(1, "S", DM, {{"Endbetrag", Cy("10")}});
    Gruppe(1, 1, {{"GrHonorarAb1", Cy("10000")}});
    Profil(1, 1, false);
    struct Fall {
        int art;
        bool tabelleB;
    };
    for (const Fall& c : {Fall{5, false}, Fall{3, false}, Fall{2, true}, Fall{1, true}}) {
        const FeldProtokoll f = Baue(c.art);
        EXPECT_EQ(f[3315], "10,00 DM") << c.art;
        // Blanked fields stay blank unless table B or C writes them.
        EXPECT_EQ(f[3019] != " ", c.tabelleB) << c.art;
        EXPECT_EQ(f[3003] != " ", c.tabelleB) << c.art;
    }
}

TEST_F(RechnungsTextTest, WithoutPrintRowTheBuildReportsIt) {
    Rechnung(1, "R", DM);
    TransDM(*projekt_, 1, DM, DM);
    FeldProtokoll f;
    RechnungsText t(*projekt_, f, umgebung_);
    t.Setze(2, " DM", 2);
    EXPECT_FALSE(t.BaueRechnungsText("09.12.2026"));
}

TEST_F(RechnungsTextTest, SummaryListsInvoicesInTheDisplayCurrency) {
    Rechnung(1, "R", DM,
             {{"Endbetrag", Cy("1160")},
              {"AlDispEndbetrag", Cy("593.0984")},
              {"Mwstenthalten", Cy("160")},
              {"AlDispMwstenthalten", Cy("81.8067")}});
    Rechnung(2, "R", EUR,
             {{"Endbetrag", Cy("500")},
              {"AlDispEndbetrag", Cy("977.9150")},
              {"Mwstenthalten", Cy("79.8319")},
              {"AlDispMwstenthalten", Cy("156.1375")}});
    Rechnung(3, "B", DM, {{"Endbetrag", Cy("1")}});
    Profil(2, 1, false);
    struct Fall {
        std::vector<int64_t> liste;
        const char* nummern;
        const char* betraege;
        const char* summe;
        const char* art;
    };
    const Fall faelle[] = {
        {{1, 2}, "R-1\r\nR-2", "1.160,00 DM\r\n977,92 DM", "2.137,92 DM", "\r\n§ 34 Gebäude und Innenräume"},
        {{2}, "R-2", "977,92 DM", "977,92 DM", "§ 34 Gebäude und Innenräume"},
        // A calculation deleted meanwhile is left out; tree order is kept.
        {{3, 9, 1},
         "R-3\r\nR-1",
         "1,00 DM\r\n1.160,00 DM",
         "1.161,00 DM",
         "§ 57 örtliche Bauüberwachung\r\n"},
    };
    for (const Fall& c : faelle) {
        FeldProtokoll f;
        RechnungsText t(*projekt_, f, umgebung_);
        t.Setze(1, " DM", 4);
        t.ZusammTrans(c.liste);
        EXPECT_TRUE(t.BaueRechnungsText("09.12.2026"));
        EXPECT_EQ(f[3052], c.nummern);
        EXPECT_EQ(f[3055], c.betraege);
        EXPECT_EQ(f[3056], c.summe);
        EXPECT_EQ(f[3057], QString::fromUtf8(c.art));
        // Table A is not written in summary mode: its own fields keep the template's text.
        EXPECT_EQ(f[3301], "<nicht gesetzt>");
        EXPECT_EQ(f[3319], "<nicht gesetzt>");
        EXPECT_EQ(f[3315], "<nicht gesetzt>");
        EXPECT_EQ(f[3007], " ");
        EXPECT_EQ(t.Fehlend(), c.liste.size() == 3 ? std::vector<int64_t>{9} : std::vector<int64_t>{});
    }
}

TEST_F(RechnungsTextTest, PageFieldsRestartWithEveryCopy) {
    FeldProtokoll f;
    RechnungsText t(*projekt_, f, umgebung_);
    t.NeueSeite(3);
    EXPECT_EQ(f[91], "3");
    EXPECT_EQ(f[92], "4");
    t.SetSeiteAufNull();
    EXPECT_EQ(t.Seitenzaehler(), 0);
    EXPECT_EQ(f[91], "0");
    EXPECT_EQ(f[92], "1");
}

} // namespace

namespace {

class SummenblockTest : public RechnungsTextTest {
protected:
    QStringList Zeilen(int art, const QString& skontobedingung = {}) {
        FeldProtokoll f;
        if (!skontobedingung.isNull()) f.vorlage[SkontobedingungFeld] = skontobedingung;
        const QString zeichen = TransDM(*projekt_, 1, EUR, EUR);
        RechnungsText t(*projekt_, f, umgebung_);
        t.Setze(1, zeichen, art);
        EXPECT_TRUE(t.BaueRechnungsText("09.12.2026"));
        roh_ = f.felder[SummenFeld];
        return f[SummenFeld].split("\r\n");
    }
    QString roh_;
};

TEST_F(SummenblockTest, LabelsNameTheParagraphOnce) {
    struct Fall {
        const char *para, *bez, *soll;
    } faelle[] = {
        {"34", "Gebäude", "§ 34 Gebäude"},
        {"§ 34 ", "Gebäude", "§ 34 Gebäude"},
        {"35", "§ 35 Gebäude und Innenräume (2021)", "§ 35 Gebäude und Innenräume (2021)"},
        {"35", "§ 3 Begriffe", "§ 35 § 3 Begriffe"},
        {"", "Gebäude", "Gebäude"},
    };
    Rechnung(1, "R", EUR);
    Gruppe(1, 1);
    for (const Fall& c : faelle) {
        projekt_->Execute("DELETE FROM Leistungsbild");
        Zeile("Leistungsbild", {{"LfNrBeReList", int64_t(1)},
                                {"ZuordnungAnlGrp", int64_t(1)},
                                {"LeistungsbildPara", std::string(c.para)},
                                {"LeistungsbildBez", std::string(c.bez)},
                                {"HoaiTafel", std::string(c.para)},
                                {"HoaiTafelBez", std::string(c.bez)}});
        const FeldProtokoll f = Baue(2, EUR, EUR);
        EXPECT_EQ(f[3003], QString::fromUtf8(c.soll)) << c.para << " " << c.bez;
        EXPECT_EQ(f[3013], QString::fromUtf8(c.soll)) << c.para << " " << c.bez;
    }
}

TEST_F(SummenblockTest, SurchargeRowsAddUpToTheChainAndOffersLeaveOutInvoiceLines) {
    // Three rows of 1/3 % on 100,00 € each round to 0,33 €; the chain rounds their sum once to 1,00 €.
    Rechnung(1, "R", EUR,
             {{"BerNetto", Cy("100")},
              {"InZuSchBerNettoPro", Cy("1")},
              {"ZuAbBrNetto", Cy("1")},
              {"ZwSumm", Cy("101")},
              {"MwstPro", Cy("19")},
              {"MWSTDM", Cy("19.19")},
              {"Brutto", Cy("120.19")},
              {"Skontofaehig", Cy("120.19")},
              {"Endbetrag", Cy("120.19")},
              {"Mwstenthalten", Cy("19.19")}});
    for (int i = 0; i < 3; ++i)
        Zeile("ZuBerNetto", {{"LfNrBeReList", int64_t(1)},
                             {"Bezeichnung", "Zuschlag " + std::to_string(i + 1)},
                             {"ZuAbPro", Cy("0.3333")}});
    const QStringList rechnung = Zeilen(2);
    EXPECT_EQ(rechnung, QStringList({QString::fromUtf8("Honorar netto\t100,00 €"),
                                     QString::fromUtf8("Zuschlag 1 0,33 %\t0,33 €"),
                                     QString::fromUtf8("Zuschlag 2 0,33 %\t0,33 €"),
                                     QString::fromUtf8("Zuschlag 3 0,33 %\t0,34 €"),
                                     QString::fromUtf8("Zwischensumme\t101,00 €"),
                                     QString::fromUtf8("zuzüglich 19,00 % Mehrwertsteuer\t19,19 €"),
                                     QString::fromUtf8("Bruttobetrag\t120,19 €"),
                                     QString::fromUtf8("Endbetrag\t120,19 €")}));
    // Amount and sign, percentage and its sign never part at a line end.
    EXPECT_TRUE(roh_.contains(QString::fromUtf8("100,00\u00A0€")));
    EXPECT_TRUE(roh_.contains(QString::fromUtf8("19,00\u00A0%")));
    EXPECT_FALSE(roh_.contains(QString::fromUtf8(" €")));

    // Payments, discount and the VAT of the final amount on an invoice; no empty or zero lines.
    projekt_->Execute("UPDATE BeReList SET SummAz = 500000, SkontoPro = 20000, Skontofaehig = 701900, "
                      "SkontoDM = -14038, Endbetrag = 687862, Mwstenthalten = 109826 WHERE LfNr = 1");
    const QStringList schluss = Zeilen(2);
    EXPECT_TRUE(schluss.contains(QString::fromUtf8("abzüglich geleistete Abschlagszahlungen\t50,00 €")));
    EXPECT_TRUE(schluss.contains(
        QString::fromUtf8("(Abschlagszahlungen netto 42,02 € zuzüglich 19,00 % Mehrwertsteuer 7,98 €)")));
    // The amount due without discount is named; the discount's line leads with the template's condition.
    EXPECT_TRUE(schluss.contains(QString::fromUtf8("Zahlbetrag ohne Skonto\t70,19 €")));
    EXPECT_TRUE(schluss.contains(QString::fromUtf8("abzüglich 2,00 % Skonto\t1,40 €")));
    EXPECT_TRUE(Zeilen(2, QString::fromUtf8(" bei Zahlung\r\ninnerhalb von 10 Tagen "))
                    .contains(QString::fromUtf8(
                        "bei Zahlung innerhalb von 10 Tagen abzüglich 2,00 % Skonto\t1,40 €")));
    // Without payments the amount before the discount is the gross amount, named once more as what is due.
    projekt_->Execute("UPDATE BeReList SET SummAz = 0, Skontofaehig = 1201900, SkontoDM = -24000, "
                      "Endbetrag = 1177900 WHERE LfNr = 1");
    const QStringList ohneAbschlag = Zeilen(2, QStringLiteral("bei Zahlung innerhalb von 14 Tagen"));
    const qsizetype brutto = ohneAbschlag.indexOf(QString::fromUtf8("Bruttobetrag\t120,19 €"));
    ASSERT_GE(brutto, 0) << ohneAbschlag.join('\n').toStdString();
    EXPECT_EQ(
        ohneAbschlag.mid(brutto + 1, 3),
        QStringList({QString::fromUtf8("Zahlbetrag ohne Skonto\t120,19 €"),
                     QString::fromUtf8("bei Zahlung innerhalb von 14 Tagen abzüglich 2,00 % Skonto\t2,40 €"),
                     QString::fromUtf8("Endbetrag\t117,79 €")}));
    EXPECT_TRUE(schluss.contains(QString::fromUtf8("(im Endbetrag enthaltene Mehrwertsteuer 19,00 %: 10,98 €)")));
    for (const QString& z : schluss)
        EXPECT_FALSE(z.trimmed().isEmpty() || z.endsWith(QString::fromUtf8("\t0,00 €"))) << z.toStdString();
    // An offer prints neither the payments' VAT nor the VAT of the final amount.
    const QStringList angebot = Zeilen(1);
    EXPECT_FALSE(angebot.join("\n").contains("enthaltene Mehrwertsteuer"));
}

// The print copy of the base-fee surcharges holds the statement's lines: per plant group, rows whose
// percentages round one by one to more than the chain charged give the cent back on the last row, fixed
// amounts and reductions count, a surcharge without rows gets one, and the stored rows stay as entered.
TEST_F(RechnungsTextTest, BaseFeeSurchargeRowsOfThePrintCopyAddUpPerPlantGroup) {
    Rechnung(1, "R", EUR);
    // Group 1: three rows of 1/3 % on 100,00 € round to 0,33 € each, the chain charged 1,00 € for them.
    Gruppe(1, 1, {{"HonrarNetto", Cy("100")}, {"HonorarBerNetto", Cy("101")}, {"SummZuNettoPro", Cy("1")}});
    for (int i = 0; i < 3; ++i)
        Zeile("ZuNetto", {{"LfNrBeReList", int64_t(1)},
                          {"ZuordnungAnlGrp", int64_t(1)},
                          {"Bezeichnung", "Zuschlag " + std::to_string(i + 1)},
                          {"ZuAbPro", Cy("0.3333")}});
    // Group 2: a reduction of 10 % and a fixed 50,00 € on 1.234,56 €; group 3: 5 % without rows.
    Gruppe(1, 2, {{"HonrarNetto", Cy("1234.56")}, {"HonorarBerNetto", Cy("1161.10")}});
    Zeile("ZuNetto", {{"LfNrBeReList", int64_t(1)}, {"ZuordnungAnlGrp", int64_t(2)},
                      {"Bezeichnung", std::string("Abschlag")}, {"ZuAbPro", Cy("-10")}});
    Zeile("ZuNetto", {{"LfNrBeReList", int64_t(1)}, {"ZuordnungAnlGrp", int64_t(2)},
                      {"Bezeichnung", std::string("Pauschale")}, {"ZuAbDM", Cy("50")}});
    Gruppe(1, 3, {{"HonrarNetto", Cy("200")}, {"HonorarBerNetto", Cy("210")}, {"SummZuNettoPro", Cy("5")}});
    TransDM(*projekt_, 1, EUR, EUR);
    struct Soll {
        int gruppe;
        std::vector<std::pair<std::string, const char*>> zeilen; // text, amount
    } soll[] = {
        {1, {{"Zuschlag 1", "0.33"}, {"Zuschlag 2", "0.33"}, {"Zuschlag 3", "0.34"}}},
        {2, {{"Abschlag", "-123.46"}, {"Pauschale", "50"}}},
        {3, {{"", "10"}}},
    };
    for (const Soll& g : soll) {
        SCOPED_TRACE(g.gruppe);
        db::Recordset rs = projekt_->OpenRecordset(
            "SELECT Bezeichnung, ZuAbPro, ZuAbDM FROM ZuNettoPrint WHERE ZuordnungAnlGrp = ? ORDER BY LfNr",
            db::Params().Add(int64_t(g.gruppe)));
        std::vector<std::pair<std::string, Currency>> ist;
        for (; !rs.Empty() && !rs.EOF_(); rs.MoveNext())
            ist.emplace_back(rs.GetText("Bezeichnung"), GetCY(rs, "ZuAbDM"));
        ASSERT_EQ(ist.size(), g.zeilen.size());
        for (size_t i = 0; i < ist.size(); ++i) {
            EXPECT_EQ(ist[i].first, g.zeilen[i].first);
            EXPECT_EQ(ist[i].second, Currency::FromString(g.zeilen[i].second)) << ist[i].first;
        }
    }
    EXPECT_EQ(Anzahl("SELECT Count(*) FROM ZuNetto WHERE ZuAbDM <> 0"), 1); // only the fixed 50,00 €
    EXPECT_EQ(Anzahl("SELECT Count(*) FROM ZuNettoPrint WHERE ZuordnungAnlGrp = 3 AND ZuAbPro = 50000"), 1);
}

} // namespace
