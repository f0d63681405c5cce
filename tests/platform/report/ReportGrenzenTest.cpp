// Hostile templates: formulas nested far beyond any report, wrong kinds of values where lists and objects
// belong, and runs that would make more than a report may have.
#include "ReportFixture.h"
#include "platform/report/Expression.h"
#include "platform/report/ReportFehler.h"

#include <sys/resource.h>

using namespace velu::report;

namespace {

QString Wiederhole(const QString& s, int n) {
    QString out;
    out.reserve(s.size() * n);
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

// n levels of each kind of nesting, around the value 1.
QString Verschachtelt(const QString& art, int n) {
    if (art == "Klammern") return Wiederhole("(", n) + "1" + Wiederhole(")", n);
    if (art == "Minus") return Wiederhole("-", n) + "1";
    if (art == "Plus") return Wiederhole("+", n) + "1";
    if (art == "if") return Wiederhole("if true then ", n) + "1" + Wiederhole(" else 0", n);
    if (art == "else-if") return Wiederhole("if false then 0 else ", n) + "1";
    if (art == "not") return Wiederhole("not ", n) + "true";
    if (art == "Kette") return "1" + Wiederhole(" + 1", n);
    if (art == "Funktion") return Wiederhole("Trim(", n) + "'x'" + Wiederhole(")", n);
    return {};
}

class Nichts : public AuswertungsKontext {
public:
    RValue Feld(const QString&, const QString&, int pos) override {
        throw AuswertungsFehler{pos, "kein Feld"};
    }
    // Without a limit of its own: a formula that calls itself runs until evaluation stops it.
    RValue Formel(const QString&, int) override { return selbst.Eval(*this); }
    const Formate& Formats() override { return f; }
    Expression selbst;
    Formate f = Formate::Standard();
};

TEST(FormelTiefe, DeepNestingIsRefusedAtParseShallowNestingWorks) {
    for (const QString art : {"Klammern", "Minus", "Plus", "if", "else-if", "not", "Kette", "Funktion"}) {
        SCOPED_TRACE(art.toStdString());
        for (int n : {10000, 50000}) {
            ParseFehler pf;
            const Expression e = Expression::Parse(Verschachtelt(art, n), &pf);
            EXPECT_TRUE(e.Empty());
            EXPECT_GT(pf.position, 0);
            EXPECT_TRUE(pf.text.contains("zu tief verschachtelt")) << pf.text.toStdString();
        }
        ParseFehler pf;
        const Expression e = Expression::Parse(Verschachtelt(art, 100), &pf);
        ASSERT_EQ(pf.position, 0) << pf.text.toStdString();
        Nichts k;
        const RValue v = e.Eval(k);
        EXPECT_TRUE(IstWahr(v) || v.AsDouble() == 1 || v.AsDouble() == 101 || v.text == "x")
            << art.toStdString();
    }
}

TEST(FormelTiefe, FormulasCallingFormulasStopWithAnError) {
    Nichts k;
    ParseFehler pf;
    k.selbst = Expression::Parse("{@Selbst} + 1", &pf);
    ASSERT_EQ(pf.position, 0);
    try {
        k.selbst.Eval(k);
        ADD_FAILURE() << "no error";
    } catch (const AuswertungsFehler& f) {
        EXPECT_TRUE(f.text.contains("zu tief verschachtelt")) << f.text.toStdString();
        EXPECT_GT(f.position, 0);
    }
    // Evaluation counts per thread and forgets a stopped run: the next formula evaluates normally.
    k.selbst = Expression::Parse(Verschachtelt("Klammern", 200), &pf);
    EXPECT_EQ(k.selbst.Eval(k).AsDouble(), 1);
}

// The template as a user's file: a deep band formula is refused at open, a deep named formula or selection
// when the report runs.
TEST(ReportGrenzen, DeepFormulasInATemplateGiveTheirCodes) {
    ReportFixture f;
    f.Rechnung(1, "R", 1, 10000, "R-1");
    const QString tief = Verschachtelt("Klammern", 10000);
    std::unique_ptr<Report> r;
    EXPECT_EQ(
        Report::Oeffne(
            f.Vorlage("band.rpt",
                      QString(R"({"bands": {"details": {"items": [{"type": "field", "value": "%1"}]}}})")
                          .arg(tief)),
            r),
        VorlageDefekt);
    const QString tabelle = R"("tables": [{"alias": "B", "table": "BeReList"}])";
    for (
        const QString& json :
        {QString(R"({%1, "selection": "%2 = 1"})").arg(tabelle, tief),
         QString(
             R"({%1, "formulas": [{"name": "T", "text": "%2"}], "bands": {"details": {"items": [{"type": "formula", "name": "T"}]}}})")
             .arg(tabelle, Verschachtelt("if", 10000))}) {
        auto l = f.Oeffne(f.Vorlage("lauf.rpt", json));
        ASSERT_TRUE(l);
        DisplayList dl;
        QString fehler;
        EXPECT_EQ(l->Erzeuge(Umfeld{}, dl, &fehler), FormelFehler);
        EXPECT_TRUE(fehler.contains("zu tief verschachtelt")) << fehler.toStdString();
    }
}

TEST(ReportGrenzen, WrongKindsAreRefusedAtOpen) {
    ReportFixture f;
    const std::pair<const char*, int> vorlagen[] = {
        {R"({"bands": "x"})", VorlageDefekt},
        {R"({"bands": []})", VorlageDefekt},
        {R"({"bands": 5})", VorlageDefekt},
        {R"({"tables": "x"})", VorlageDefekt},
        {R"({"tables": {"alias": "B", "table": "BeReList"}})", VorlageDefekt},
        {R"({"tables": [1]})", VorlageDefekt},
        {R"({"tables": [{"alias": "B", "table": "BeReList"}, {"alias": "G", "table": "Grunddaten", "links": "B.LfNr"}]})",
         VorlageDefekt},
        {R"({"formulas": "x"})", VorlageDefekt},
        {R"({"formulas": ["{@x}"]})", VorlageDefekt},
        {R"({"sort": "x"})", VorlageDefekt},
        {R"({"groups": {"value": "1"}})", VorlageDefekt},
        {R"({"page": "A4"})", VorlageDefekt},
        {R"({"page": {"margins": [1, 2]}})", VorlageDefekt},
        // Absent or null is empty, as before.
        {R"({"bands": null, "tables": null})", Ok},
        {R"({})", Ok},
    };
    for (const auto& [json, code] : vorlagen) {
        std::unique_ptr<Report> r;
        QString fehler;
        EXPECT_EQ(Report::Oeffne(f.Vorlage("x.rpt", json), r, &fehler), code) << json;
        if (code != Ok) {
            EXPECT_FALSE(fehler.isEmpty()) << json;
        }
    }
}

long MaxRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// 5 000 items over 400 rows would be two million items: the run stops at its limit with the code and a
// German reason, having used memory for the items up to the limit only.
TEST(ReportGrenzen, ARunOverTheCapsStopsWithAnError) {
    ReportFixture f;
    f.db->Execute("BEGIN");
    for (int i = 1; i <= 400; ++i)
        f.Rechnung(i, "R", i, 10000 * i, QString("R-%1").arg(i));
    f.db->Execute("COMMIT");
    QString items;
    for (int i = 0; i < 5000; ++i)
        items += QString(R"(%1{"type": "text", "text": "t%2", "x": 0, "y": 0, "width": 10})")
                     .arg(i ? "," : "")
                     .arg(i);
    const long vorher = MaxRssKb();
    auto r = f.Oeffne(f.Vorlage(
        "gross.rpt",
        QString(
            R"({"tables": [{"alias": "B", "table": "BeReList"}], "bands": {"details": {"height": 5, "items": [%1]}}})")
            .arg(items)));
    ASSERT_TRUE(r);
    DisplayList dl;
    QString fehler;
    EXPECT_EQ(r->Erzeuge(Umfeld{}, dl, &fehler), BerichtZuGross);
    EXPECT_EQ(fehler, "Der Bericht ist zu groß: mehr als 500.000 Elemente. Bitte die Auswahl einschränken.");
    EXPECT_TRUE(dl.seiten.empty());
    EXPECT_LT(MaxRssKb() - vorher, 1024L * 1024) << "KiB more at the peak";

    // One row per page: 5 001 pages.
    f.db->Execute("BEGIN");
    for (int i = 401; i <= MaxSeitenJeLauf + 1; ++i)
        f.Rechnung(i, "R", i);
    f.db->Execute("COMMIT");
    auto s = f.Oeffne(f.Vorlage("seiten.rpt", R"({"tables": [{"alias": "B", "table": "BeReList"}],
        "bands": {"details": {"height": 200, "items": [{"type": "field", "value": "{B.LfNr}", "width": 20}]}}})"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Erzeuge(Umfeld{}, dl, &fehler), BerichtZuGross);
    EXPECT_EQ(fehler, "Der Bericht ist zu groß: mehr als 5.000 Seiten. Bitte die Auswahl einschränken.");

    // Up to the limit the same report runs.
    f.db->Execute("DELETE FROM BeReList WHERE LfNr > 4000");
    EXPECT_EQ(s->Erzeuge(Umfeld{}, dl, &fehler), Ok) << fehler.toStdString();
    EXPECT_EQ(dl.seiten.size(), 4000u);
}

} // namespace

// Forty formulas each using the next one twice (2^40 uses of the last): a sum comes out once per row, each
// formula evaluated once; a text doubled level by level stops at its length limit instead of filling the
// memory.
TEST(ReportGrenzen, FormulasUsingTheNextOneTwiceRunOncePerRow) {
    ReportFixture f;
    for (int i = 1; i <= 3; ++i)
        f.Rechnung(i, "R", i);
    auto vorlage = [&](const QString& name, const QString& op, const QString& letzte) {
        QStringList formeln;
        for (int i = 0; i < 40; ++i)
            formeln << QString(R"({"name": "f%1", "text": "{@f%2} %3 {@f%2}"})").arg(i).arg(i + 1).arg(op);
        formeln << QString(R"({"name": "f40", "text": "%1"})").arg(letzte);
        return f.Oeffne(f.Vorlage(name, QString(R"({"tables": [{"alias": "B", "table": "BeReList"}],
            "formulas": [%1], "bands": {"details": {"height": 5,
            "items": [{"type": "formula", "name": "f0", "width": 60}]}}})")
                                            .arg(formeln.join(", "))));
    };
    auto summe = vorlage("summe.rpt", "+", "{B.LfNr} * 1000 / 1099511627776");
    ASSERT_TRUE(summe);
    DisplayList dl;
    QString fehler;
    ASSERT_EQ(summe->Erzeuge(Umfeld{}, dl, &fehler), Ok) << fehler.toStdString();
    ASSERT_EQ(dl.seiten.size(), 1u);
    EXPECT_EQ(Texte(dl)[0], (QStringList{"1000", "2000", "3000"}));

    auto text = vorlage("text.rpt", "&", "'x'");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->Erzeuge(Umfeld{}, dl, &fehler), FehlerBeimAuswerten);
    EXPECT_TRUE(fehler.startsWith("Der Text ist zu lang (mehr als 1.048.576 Zeichen)"))
        << fehler.toStdString();
}

namespace {
// Templates L<level>_<i>.rpt, breite per level, each naming all of the next level as subreports, under a main
// template that names all of level 0.
QString Stufen(ReportFixture& f, int breite, int stufen) {
    auto name = [](int l, int i) { return QStringLiteral("L%1_%2.rpt").arg(l).arg(i); };
    auto nennt = [&](int l) {
        QStringList items;
        for (int i = 0; l < stufen && i < breite; ++i)
            items << QStringLiteral(R"({"type": "subreport", "file": "%1"})").arg(name(l, i));
        return QStringLiteral(R"({"bands": {"details": {"items": [%1]}}})").arg(items.join(", "));
    };
    for (int l = 0; l < stufen; ++l)
        for (int i = 0; i < breite; ++i)
            f.Vorlage(name(l, i), nennt(l + 1));
    return f.Vorlage("Haupt.rpt", nennt(0));
}
} // namespace

// Six templates per level, each naming all six of the next, made 6^8 subreports: refused at once now.
TEST(ReportGrenzen, SubreportsMultiplyingLevelByLevelAreRefusedAndEachFileIsReadOnce) {
    for (const auto [breite, stufen] : {std::pair{3, 7}, std::pair{6, 8}}) {
        ReportFixture f;
        const QString haupt = Stufen(f, breite, stufen);
        std::unique_ptr<Report> r;
        QString fehler;
        ASSERT_EQ(Report::Oeffne(haupt, r, &fehler), UnterberichtFehlt) << breite << "x" << stufen;
        EXPECT_TRUE(fehler.contains("Der Bericht nennt zu viele Unterberichte (mehr als 100)"))
            << fehler.toStdString();
        EXPECT_FALSE(r);
    }
    // Within the limit (2 + 4 + ... + 32 = 62 subreports) the tree opens, and a template that several
    // reports name is read once for all of them.
    ReportFixture f;
    std::unique_ptr<Report> r;
    QString fehler;
    ASSERT_EQ(Report::Oeffne(Stufen(f, 2, 5), r, &fehler), 0) << fehler.toStdString();
    const Report* a = r->Unterbericht("L0_0.rpt")->Unterbericht("L1_1.rpt");
    const Report* b = r->Unterbericht("L0_1.rpt")->Unterbericht("L1_1.rpt");
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b) << "each place of the tree keeps its own locations and formulas";
    EXPECT_EQ(&a->Vorl(), &b->Vorl());
    EXPECT_EQ(a->Eltern(), r->Unterbericht("L0_0.rpt"));
}
