// Running templates against a project database: selection, sorting, sums, pages, locations, subreports and
// the error codes of broken templates.
#include "ReportFixture.h"
#include "platform/report/ReportFehler.h"

using namespace velu::report;

namespace {

std::vector<QStringList> Lauf(ReportFixture& f, Report& r, int* code = nullptr) {
    DisplayList dl;
    QString fehler;
    const int rc = r.Erzeuge(Umfeld{}, dl, &fehler);
    if (code)
        *code = rc;
    else
        EXPECT_EQ(rc, 0) << fehler.toStdString();
    (void)f;
    return Texte(dl);
}

// The first column of the detail lines: the numbers of the rows printed.
QStringList Nummern(const std::vector<QStringList>& seiten) {
    QStringList n;
    for (const QStringList& s : seiten)
        for (int i = 0; i + 2 < s.size(); ++i)
            if (s[i].toInt() > 0 && (s[i + 1].size() <= 1)) n << s[i];
    return n;
}

} // namespace

TEST(ReportTest, SelectionPicksExactlyTheRowsItDescribes) {
    ReportFixture f;
    // LfNr, type, group: only 42 and below, not A or V, group 40.
    f.Rechnung(1, "R", 40);
    f.Rechnung(2, "A", 40);
    f.Rechnung(3, "V", 40);
    f.Rechnung(4, "S", 40);
    f.Rechnung(5, "R", 41);
    f.Rechnung(6, nullptr, 40); // no type: the selection cannot say yes
    f.Rechnung(42, "B", 40);
    f.Rechnung(43, "R", 40);
    f.Rechnung(7, "a", 40); // letter case counts
    auto r = f.Oeffne(f.Vorlage("liste.rpt", ListenVorlage()));
    ASSERT_TRUE(r);
    r->SetzeAuswahl(
        "{BeReList.LfNr}<= 42 and not ({BeReList.REType} in ['A', 'V']) and {BeReList.Ursprung} = 40");
    EXPECT_EQ(Nummern(Lauf(f, *r)), QStringList({"1", "4", "7", "42"}));

    r->SetzeAuswahl("{BeReList.LfNr}= 5");
    EXPECT_EQ(Nummern(Lauf(f, *r)), QStringList({"5"}));
    r->SetzeAuswahl("");
    EXPECT_EQ(Nummern(Lauf(f, *r)).size(), 9);
}

TEST(ReportTest, EveryPageHasItsHeaderAndFooterAndTheSumIsExact) {
    ReportFixture f;
    for (int i = 1; i <= 3; ++i)
        f.Rechnung(i, "R", 1, 100050); // 10,0050 each
    auto r = f.Oeffne(f.Vorlage("liste.rpt", ListenVorlage()));
    ASSERT_TRUE(r);
    const auto seiten = Lauf(f, *r);
    ASSERT_EQ(seiten.size(), 1u);
    // Each row rounds to 10,01, the exact sum 30,0150 to 30,02.
    EXPECT_EQ(seiten[0], QStringList({"Liste", "1", "R", "10,01", "2", "R", "10,01", "3", "R", "10,01",
                                      "Summe", "30,02", "3", "Seite 1 von 1"}));

    // Enough rows for several pages: header and footer on each, the sum once at the end.
    ReportFixture g;
    for (int i = 1; i <= 60; ++i)
        g.Rechnung(i, "R", 1, 10000);
    auto lang = g.Oeffne(g.Vorlage("liste.rpt", ListenVorlage({}, 10)));
    const auto viele = Lauf(g, *lang);
    ASSERT_GE(viele.size(), 3u);
    int zeilen = 0;
    for (size_t s = 0; s < viele.size(); ++s) {
        EXPECT_EQ(viele[s].first(), "Liste") << s;
        EXPECT_EQ(viele[s].last(), QString("Seite %1 von %2").arg(s + 1).arg(viele.size())) << s;
        EXPECT_EQ(viele[s].contains("Summe"), s + 1 == viele.size()) << s;
        zeilen += int(viele[s].count("R"));
    }
    EXPECT_EQ(zeilen, 60);
    EXPECT_TRUE(viele.back().contains("60,00"));
}

TEST(ReportTest, GroupsSortAndSumPerGroup) {
    ReportFixture f;
    f.Rechnung(1, "R", 2, 10000);
    f.Rechnung(2, "R", 1, 20000);
    f.Rechnung(3, "S", 2, 30000);
    f.Rechnung(4, "R", 1, 40000);
    auto r = f.Oeffne(f.Vorlage("gruppen.rpt", R"({
      "tables": [{"alias": "B", "table": "BeReList"}],
      "sort": [{"value": "{B.LfNr}", "descending": true}],
      "groups": [{"value": "{B.Ursprung}",
        "header": {"height": 6, "items": [{"type": "field", "value": "'Gruppe ' & {B.Ursprung}", "width": 50}]},
        "footer": {"height": 6, "items": [{"type": "sum", "value": "{B.Endbetrag}", "group": 1, "format": "amount", "width": 30},
                                          {"type": "count", "group": 1, "x": 40, "width": 10},
                                          {"type": "sum", "value": "{B.Endbetrag}", "format": "amount", "x": 60, "width": 30}]}}],
      "bands": {"details": {"height": 5, "items": [{"type": "field", "value": "{B.LfNr}", "width": 10}]}}
    })"));
    ASSERT_TRUE(r);
    const auto seiten = Lauf(f, *r);
    ASSERT_EQ(seiten.size(), 1u);
    EXPECT_EQ(seiten[0], QStringList({"Gruppe 1", "4", "2", "6,00", "2", "10,00", "Gruppe 2", "3", "1",
                                      "4,00", "2", "10,00"}));
}

TEST(ReportTest, AnUnsetLocationTakesTheFirstOneSet) {
    ReportFixture f;
    f.Rechnung(1, "R", 1);
    f.Grunddaten(10, 1, 1);
    f.Grunddaten(11, 1, 2);
    // A second table linked to the first; only the first table's location is set.
    auto r = f.Oeffne(f.Vorlage("zwei.rpt", R"({
      "tables": [{"alias": "BeReList", "table": "BeReList"},
                 {"alias": "G", "table": "Grunddaten", "links": [{"from": "BeReList.LfNr", "to": "LfNrBeReList"}]}],
      "bands": {"details": {"height": 5, "items": [{"type": "field", "value": "{BeReList.LfNr} & '/' & {G.AnlageGruppe}", "width": 30}]}}
    })"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->OrtVon("G"), f.projekt);
    EXPECT_EQ(Lauf(f, *r)[0], QStringList({"1/1", "1/2"}));

    // Nothing set: no database to read.
    auto leer =
        f.Oeffne(f.Vorlage("zwei.rpt", R"({"tables": [{"alias": "B", "table": "BeReList"}]})"), false);
    int code = 0;
    Lauf(f, *leer, &code);
    EXPECT_EQ(code, DatenbankFehlt);
}

TEST(ReportTest, ALinkedSubreportShowsOnlyItsRows) {
    ReportFixture f;
    f.Rechnung(1, "R", 1);
    f.Rechnung(2, "R", 1);
    f.Rechnung(3, "R", 1);
    f.Grunddaten(10, 1, 1);
    f.Grunddaten(11, 2, 5);
    f.Grunddaten(12, 1, 3);
    f.Vorlage("Unter.rpt", R"({
      "tables": [{"alias": "Grunddaten", "table": "Grunddaten"}],
      "sort": [{"value": "{Grunddaten.AnlageGruppe}"}],
      "bands": {"details": {"height": 4, "items": [{"type": "field", "value": "'AG ' & {Grunddaten.AnlageGruppe}", "width": 30}]}}
    })");
    auto r = f.Oeffne(f.Vorlage("haupt.rpt", R"({
      "tables": [{"alias": "BeReList", "table": "BeReList"}],
      "sort": [{"value": "{BeReList.LfNr}"}],
      "bands": {"details": {"height": 5, "items": [
        {"type": "field", "value": "'R ' & {BeReList.LfNr}", "width": 30},
        {"type": "subreport", "file": "UNTER.RPT", "x": 10, "links": [{"from": "{BeReList.LfNr}", "to": "Grunddaten.LfNrBeReList"}]}]}}
    })"));
    ASSERT_TRUE(r);
    // The subreport's table is not set: it takes the main report's location.
    EXPECT_EQ(Lauf(f, *r)[0], QStringList({"R 1", "AG 1", "AG 3", "R 2", "AG 5", "R 3"}));
    EXPECT_EQ(r->SetzeUnterberichtOrt("unter.rpt", "Grunddaten", f.projekt), 0);
    EXPECT_EQ(r->SetzeUnterberichtOrt("fehlt.rpt", "Grunddaten", f.projekt), UnterberichtFehlt);
    EXPECT_EQ(r->SetzeUnterberichtOrt("unter.rpt", "BeReList", f.projekt), TabelleUnbekannt);
}

TEST(ReportTest, FormulasCheckTheirNames) {
    ReportFixture f;
    auto r = f.Oeffne(f.Vorlage("liste.rpt", ListenVorlage()));
    ASSERT_TRUE(r);
    const std::pair<const char*, int> faelle[] = {
        {"'Müller''s Haus'", 0},
        {"'O'Brien'", FormelFehler},
        {"{BeReList.LfNr} & ''", 0},
        {"{Fremd.LfNr}", FormelFehler},
        {"{@Titel}", 0},
        {"{@Fehlt}", FormelFehler},
        {"", 0},
    };
    for (const auto& [text, code] : faelle)
        EXPECT_EQ(r->SetzeFormel("titel", text), code) << text;
    EXPECT_EQ(r->SetzeFormel("Unbekannt", "1"), FormelUnbekannt);

    ASSERT_EQ(r->SetzeFormel("Titel", "'Müller''s Haus'"), 0);
    f.Rechnung(1, "R", 1);
    EXPECT_EQ(Lauf(f, *r)[0].first(), "Müller's Haus");
}

TEST(ReportTest, BrokenTemplatesAndMissingNamesGiveCodes) {
    ReportFixture f;
    std::unique_ptr<Report> r;
    EXPECT_EQ(Report::Oeffne(QString::fromStdString((f.dir / "fehlt.rpt").string()), r), VorlageFehlt);
    const std::pair<const char*, int> vorlagen[] = {
        {"kein json", VorlageDefekt},
        {"[1, 2]", VorlageDefekt},
        {R"({"bands": {"details": {"items": [{"type": "kreis"}]}}})", VorlageDefekt},
        {R"({"bands": {"details": {"items": [{"type": "field", "value": "1 +"}]}}})", VorlageDefekt},
        {R"({"bands": {"details": {"items": [{"type": "field"}]}}})", VorlageDefekt},
        {R"({"bands": {"details": {"items": [{"type": "text", "x": "links"}]}}})", VorlageDefekt},
        {R"({"bands": {"details": {"items": [{"type": "subreport", "file": "nicht.rpt"}]}}})",
         UnterberichtFehlt},
        {R"({"tables": [{"alias": "A", "table": "BeReList"}, {"alias": "B", "table": "Grunddaten"}]})",
         VorlageDefekt},
        {R"({"page": {"paper": "Letter"}})", VorlageDefekt},
        {R"({"page": {"margins": {"top": 200, "bottom": 100}}})", VorlageDefekt},
        {R"({"bands": {"pageHeader": {"height": 150}, "pageFooter": {"height": 150}}})", VorlageDefekt},
        {R"({"bands": {"details": {"items": "keine Liste"}}})", 0},
        {R"({"bands": {"reportFooter": {"items": [{"type": "sum", "value": "1", "group": 1}]}}})",
         VorlageDefekt},
    };
    for (const auto& [json, code] : vorlagen) {
        r.reset();
        EXPECT_EQ(Report::Oeffne(f.Vorlage("x.rpt", json), r), code) << json;
    }

    // Names are checked against the database when the report runs.
    const std::pair<const char*, int> laeufe[] = {
        {R"({"tables": [{"alias": "B", "table": "GibtEsNicht"}]})", TabelleUnbekannt},
        {R"({"tables": [{"alias": "B", "table": "BeReList"}], "bands": {"details": {"items": [{"type": "field", "value": "{B.Fehlt}"}]}}})",
         SpalteUnbekannt},
        {R"({"tables": [{"alias": "B", "table": "BeReList"}], "selection": "{B.LfNr} = "})", FormelFehler},
        {R"({"tables": [{"alias": "B", "table": "BeReList"}], "selection": "{B.Nix} = 1"})", SpalteUnbekannt},
        {R"({"tables": [{"alias": "B", "table": "BeReList"}], "formulas": [{"name": "S", "text": "{@S} + 1"}],
             "bands": {"details": {"items": [{"type": "formula", "name": "S"}]}}})",
         FehlerBeimAuswerten},
        {R"({"tables": [{"alias": "B", "table": "BeReList"}], "bands": {"details": {"items": [{"type": "field", "value": "{B.ReNummer} * 2"}]}}})",
         FehlerBeimAuswerten},
        {R"({"tables": [{"alias": "B", "table": "BeReList"}, {"alias": "G", "table": "Grunddaten", "links": [{"from": "B.LfNr", "to": "Nix"}]}]})",
         SpalteUnbekannt},
    };
    f.Rechnung(1, "R", 1, 0, "R-1");
    for (const auto& [json, code] : laeufe) {
        auto l = f.Oeffne(f.Vorlage("y.rpt", json));
        ASSERT_TRUE(l) << json;
        int rc = 0;
        Lauf(f, *l, &rc);
        EXPECT_EQ(rc, code) << json;
    }
    // A file that is no database.
    auto l = f.Oeffne(f.Vorlage("z.rpt", R"({"tables": [{"alias": "B", "table": "BeReList"}]})"), false);
    l->SetzeTabellenOrt("b", f.Vorlage("kein.mdb", "Text"));
    int rc = 0;
    Lauf(f, *l, &rc);
    EXPECT_EQ(rc, DatenbankFehlt);
    EXPECT_EQ(l->SetzeTabellenOrt("Fremd", f.projekt), TabelleUnbekannt);
}

TEST(ReportTest, TheReportHeaderPrintsAboveTheFirstPageHeaderOnly) {
    ReportFixture f;
    for (int i = 1; i <= 30; ++i)
        f.Rechnung(i, "R", 1);
    auto r = f.Oeffne(f.Vorlage("kopf.rpt", R"({
      "tables": [{"alias": "B", "table": "BeReList"}],
      "bands": {"reportHeader": {"height": 20, "items": [{"type": "text", "text": "Bericht", "width": 50}]},
                "pageHeader": {"height": 10, "items": [{"type": "text", "text": "Kopf", "width": 50}]},
                "details": {"height": 10, "items": [{"type": "field", "value": "{B.LfNr}", "width": 20}]}}
    })"));
    ASSERT_TRUE(r);
    const auto seiten = Lauf(f, *r);
    ASSERT_EQ(seiten.size(), 2u);
    EXPECT_EQ(seiten[0].mid(0, 3), QStringList({"Bericht", "Kopf", "1"}));
    EXPECT_EQ(seiten[1].mid(0, 2), QStringList({"Kopf", "24"}));
    EXPECT_FALSE(seiten[1].contains("Bericht"));
}

namespace {

// Invoices with their payments, one group per invoice; the pieces fill its bands.
QString ZahlungsVorlage(const QString& kopf, const QString& fuss, const QString& details, const QString& ende,
                        const QString& sonst = {}) {
    return QString(R"({
      "tables": [{"alias": "B", "table": "BeReList"},
                 {"alias": "Z", "table": "Zahlung", "links": [{"from": "B.LfNr", "to": "LfNrBeReList"}]}],
      "sort": [{"value": "{Z.Zahlung}"}], @SONST@
      "groups": [{"value": "{B.LfNr}",
                  "header": {"height": 5, "items": [@KOPF@]}, "footer": {"height": 5, "items": [@FUSS@]}}],
      "bands": {"details": {"height": 5, "items": [@DETAILS@]}, "reportFooter": {"height": 5, "items": [@ENDE@]}}
    })")
        .replace("@KOPF@", kopf)
        .replace("@FUSS@", fuss)
        .replace("@DETAILS@", details)
        .replace("@ENDE@", ende)
        .replace("@SONST@", sonst);
}

QString Item(const char* typ, const char* wert, const char* mehr = "") {
    return QString(R"({"type": "%1", "value": "%2", "format": "amount", "width": 30 %3})")
        .arg(typ, wert, mehr);
}

} // namespace

TEST(ReportTest, SumReadsTheGroupOfItsRow) {
    ReportFixture f;
    f.Rechnung(1, "R", 1, 10000000);
    f.Rechnung(2, "R", 1, 3000000);
    f.db->Execute("INSERT INTO Zahlung (LfNrBeReList, Zahlung) VALUES (1, 4000000), (1, 1000000)");
    const char* offen = "{B.Endbetrag} - Sum({Z.Zahlung}, 1)";
    struct Fall {
        QString kopf, fuss, details, ende;
        QStringList soll;
    };
    const Fall faelle[] = {
        // invoice less its payments; one without payments keeps its amount
        {{}, Item("field", offen), {}, {}, {"500,00", "300,00"}},
        {Item("field", "Sum({Z.Zahlung}, 1)"), {}, {}, {}, {"500,00", "0,00"}},
        {{}, {}, Item("field", "Sum({Z.Zahlung}, 1)"), {}, {"500,00", "500,00", "0,00"}},
        {{}, {}, {}, Item("field", "Sum({Z.Zahlung})"), {"500,00"}},
        // once per group: the invoices' open amounts and their number, not once per payment
        {{}, {}, {}, Item("sum", offen, R"(, "per": 1)"), {"800,00"}},
        {{}, {}, {}, Item("sum", "{B.Endbetrag}", R"(, "per": 1)"), {"1.300,00"}},
        {{}, {}, {}, R"({"type": "count", "per": 1, "width": 10})", {"2"}},
        {{}, {}, {}, Item("sum", "{B.Endbetrag}"), {"2.300,00"}},
    };
    for (const Fall& c : faelle) {
        const QString json = ZahlungsVorlage(c.kopf, c.fuss, c.details, c.ende);
        auto r = f.Oeffne(f.Vorlage("summe.rpt", json));
        ASSERT_TRUE(r) << json.toStdString();
        const auto seiten = Lauf(f, *r);
        ASSERT_EQ(seiten.size(), 1u) << json.toStdString();
        EXPECT_EQ(seiten[0], c.soll) << json.toStdString();
    }
}

TEST(ReportTest, SumOfAnUnknownGroupOrInTheWrongPlaceIsRefused) {
    ReportFixture f;
    f.Rechnung(1, "R", 1, 10000000);
    const QString zwei = Item("field", "Sum({Z.Zahlung}, 2)");
    const QString eins = Item("field", "Sum({Z.Zahlung}, 1)");
    // Bands are checked when the template is read.
    const QString vorlagen[] = {
        // unknown group
        ZahlungsVorlage({}, zwei, {}, {}),
        ZahlungsVorlage({}, {}, zwei, {}),
        ZahlungsVorlage({}, {}, {}, Item("sum", "{Z.Zahlung}", R"(, "per": 2)")),
        // a group the band does not read
        ZahlungsVorlage({}, {}, {}, eins),
        ZahlungsVorlage({}, {}, {}, Item("sum", "Sum({Z.Zahlung}, 1)")),
        ZahlungsVorlage({}, {}, {}, Item("count", "Sum({Z.Zahlung})")),
        ZahlungsVorlage({}, {}, {}, Item("sum", "Sum(Sum({Z.Zahlung}, 1), 1)", R"(, "per": 1)")),
        ZahlungsVorlage({}, {}, Item("field", "Sum(Sum({Z.Zahlung}))"), {}),
        ZahlungsVorlage({}, {}, {}, {})
            .replace(R"j("value": "{Z.Zahlung}")j", R"j("value": "Sum({Z.Zahlung})")j"),
        ZahlungsVorlage({}, {}, {}, {}).replace(R"j("value": "{B.LfNr}")j", R"j("value": "Sum({B.LfNr})")j"),
        // an outer group's footer cannot read the inner group
        ZahlungsVorlage({}, {}, {}, {})
            .replace(
                R"("groups": [)",
                QString(R"("groups": [{"value": "{B.Ursprung}", "footer": {"items": [%1]}},)").arg(zwei)),
    };
    for (const QString& json : vorlagen) {
        std::unique_ptr<Report> r;
        EXPECT_EQ(Report::Oeffne(f.Vorlage("falsch.rpt", json), r), VorlageDefekt) << json.toStdString();
    }
    // Formulas and the selection are read row by row: checked when the report runs.
    const QString laeufe[] = {
        ZahlungsVorlage({}, {}, {}, {}, R"j("selection": "Sum({Z.Zahlung}) > 0",)j"),
        ZahlungsVorlage(
            {}, {}, {}, R"({"type": "formula", "name": "Offen"})",
            R"j("formulas": [{"name": "Offen", "text": "{B.Endbetrag} - Sum({Z.Zahlung}, 1)"}],)j"),
    };
    for (const QString& json : laeufe) {
        auto r = f.Oeffne(f.Vorlage("lauf.rpt", json));
        ASSERT_TRUE(r) << json.toStdString();
        int rc = 0;
        Lauf(f, *r, &rc);
        EXPECT_EQ(rc, FormelFehler) << json.toStdString();
    }
}
