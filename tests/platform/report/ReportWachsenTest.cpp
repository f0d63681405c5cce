// Texts that do not fit their fields: the field wraps and its row grows, the row's other fields grow with it,
// what stands below moves down, a field running past the right margin ends there, and nothing painted is cut
// off (the engine's clipping report stays empty).
#include "ReportFixture.h"
#include "platform/report/Ausgabe.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

using namespace velu::report;

namespace {

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}

const DisplayItem* Item(const DisplayList& dl, const QString& text) {
    for (const auto& s : dl.seiten)
        for (const auto& it : s.items)
            if (it.text == text) return &it;
    return nullptr;
}

// The texts the painter reports as cut off when the list is written to a PDF.
QStringList Abgeschnitten(const DisplayList& dl) {
    QStringList abgeschnitten;
    AbschneideMelder() = [&](const DisplayItem& it, const QSizeF&) { abgeschnitten << it.text; };
    TestDir d;
    EXPECT_EQ(SchreibePdf(dl, QString::fromStdString((d / "w.pdf").string())), 0);
    AbschneideMelder() = nullptr;
    return abgeschnitten;
}

} // namespace

TEST(ReportWachsen, RowsGrowTogetherAndNothingIsCutOff) {
    App();
    ReportFixture f;
    f.Rechnung(1, "R", 1);
    f.Rechnung(2, "R", 1);
    const QString lang = "Objektüberwachung – Bauüberwachung und Dokumentation {BeReList.LfNr}";
    auto r = f.Oeffne(f.Vorlage("wachsen.rpt", QString::fromUtf8(R"({
      "tables": [{"alias": "BeReList", "table": "BeReList"}],
      "sort": [{"value": "{BeReList.LfNr}"}],
      "bands": {"details": {"height": 10, "items": [
        {"type": "field", "value": "'Objektüberwachung – Bauüberwachung und Dokumentation ' & {BeReList.LfNr}",
         "x": 0, "y": 0, "width": 30},
        {"type": "field", "value": "'1.234,56 €'", "x": 40, "y": 0, "width": 30, "align": "right"},
        {"type": "field", "value": "'darunter ' & {BeReList.LfNr}", "x": 0, "y": 5, "width": 60},
        {"type": "field", "value": "'Honorarermittlungsgrundlagen'", "x": 80, "y": 0, "width": 8},
        {"type": "text", "text": "bezugsfertig", "x": 170, "y": 5, "width": 20}
      ]}}})")));
    ASSERT_TRUE(r);
    DisplayList dl;
    QString fehler;
    ASSERT_EQ(r->Erzeuge(Umfeld{}, dl, &fehler), 0) << fehler.toStdString();
    const DisplayItem* text1 = Item(dl, QString(lang).replace("{BeReList.LfNr}", "1"));
    const DisplayItem* text2 = Item(dl, QString(lang).replace("{BeReList.LfNr}", "2"));
    const DisplayItem* unter1 = Item(dl, "darunter 1");
    ASSERT_TRUE(text1 && text2 && unter1);
    // The wrapped text's row grows; the amount beside it grows with it and keeps its top.
    EXPECT_GT(text1->rect.height(), 5);
    std::vector<const DisplayItem*> betraege;
    for (const auto& it : dl.seiten[0].items)
        if (it.text == QString::fromUtf8("1.234,56 €")) betraege.push_back(&it);
    ASSERT_EQ(betraege.size(), 2u);
    EXPECT_DOUBLE_EQ(betraege[0]->rect.height(), text1->rect.height());
    EXPECT_DOUBLE_EQ(betraege[0]->rect.top(), text1->rect.top());
    // The line below and the next row move down by as much.
    EXPECT_GE(unter1->rect.top(), text1->rect.bottom() - 0.01);
    EXPECT_GE(text2->rect.top(), unter1->rect.bottom() - 0.01);
    // The field past the margin (175 mm wide here) ends at it.
    const DisplayItem* rand = Item(dl, "bezugsfertig");
    ASSERT_TRUE(rand);
    EXPECT_LE(rand->rect.right(), 175 + 20 + 0.01); // left margin 20

    EXPECT_EQ(Abgeschnitten(dl), QStringList());

    // Painted into fields as the template gives them, the same texts are reported.
    DisplayList fest;
    fest.seiten.emplace_back();
    DisplayItem eng;
    eng.rect = QRectF(20, 20, 30, 5);
    eng.text = QString::fromUtf8("Objektüberwachung – Bauüberwachung und Dokumentation");
    fest.seiten[0].items.push_back(eng);
    EXPECT_EQ(Abgeschnitten(fest), QStringList({eng.text}));
}

// A right-aligned field too narrow for its amount grows to the left where its row is free, so that the amount
// stays on one line with its sign; with a text right beside it, it wraps and grows down instead. Nothing is
// cut off either way.
TEST(ReportWachsen, ANarrowAmountGrowsLeftRatherThanBreak) {
    App();
    ReportFixture f;
    f.Rechnung(1, "R", 1);
    const QString betrag = QString::fromUtf8("30.000.000,00\u00A0€");
    struct Fall {
        const char* name;
        double nachbarBreite; // width of the label at x 0; the field stands at x 40
        bool eineZeile;
    } faelle[] = {{"room on the left", 20, true}, {"label right beside it", 40, false}};
    for (const Fall& c : faelle) {
        SCOPED_TRACE(c.name);
        auto r = f.Oeffne(f.Vorlage("schmal.rpt", QString::fromUtf8(R"({
          "tables": [{"alias": "BeReList", "table": "BeReList"}],
          "bands": {"details": {"height": 5, "items": [
            {"type": "text", "text": "Honorar", "x": 0, "y": 0, "width": %1},
            {"type": "field", "value": "'30.000.000,00' & '\u00a0€'", "x": 40, "y": 0, "width": 12,
             "align": "right"}
          ]}}})").arg(c.nachbarBreite)));
        ASSERT_TRUE(r);
        DisplayList dl;
        QString fehler;
        ASSERT_EQ(r->Erzeuge(Umfeld{}, dl, &fehler), 0) << fehler.toStdString();
        const DisplayItem* it = Item(dl, betrag);
        ASSERT_TRUE(it);
        EXPECT_EQ(it->rect.height() <= 5.01, c.eineZeile) << it->rect.height();
        EXPECT_NEAR(it->rect.right(), 20 + 52, 0.01); // the right edge stays (left margin 20)
        if (c.eineZeile) {
            EXPECT_LT(it->rect.left(), 20 + 40);
            EXPECT_GE(it->rect.left(), 20 + c.nachbarBreite);
        }
        EXPECT_EQ(Abgeschnitten(dl), QStringList());
    }
}
