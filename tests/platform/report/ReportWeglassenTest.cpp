// Items marked suppressBlank that print nothing: their line is left out and what follows moves up, on the page
// and in the export, unless something printed shares the line; a blank item without the mark keeps its gap.
#include "ReportFixture.h"

#include <QRegularExpression>

using namespace velu::report;

namespace {

struct Zeilen {
    double a1 = -1, b1 = -1, linie1 = -1, a2 = -1, b2 = -1;
};

// Tops of the first (LfNr 1) and second row's items "A" and "B" and of the first row's line.
Zeilen Lage(const DisplayList& dl) {
    Zeilen z;
    for (const auto& it : dl.seiten.at(0).items) {
        if (it.art == DisplayItem::Art::Linie) {
            if (z.linie1 < 0) z.linie1 = it.rect.top();
            continue;
        }
        double* ziel = it.text == "A" ? (z.a1 < 0 ? &z.a1 : &z.a2) : it.text == "B" ? (z.b1 < 0 ? &z.b1 : &z.b2)
                                                                                       : nullptr;
        if (ziel) *ziel = it.rect.top();
    }
    return z;
}

} // namespace

TEST(ReportWeglassen, ABlankMarkedLineGivesItsHeightToWhatFollows) {
    ReportFixture f;
    f.Rechnung(1, "R", 1);
    f.Rechnung(2, "R", 1);
    // The middle line is blank for row 1 only; neben is what stands beside it on the same line.
    struct Fall {
        const char* name;
        const char* markiert; // "suppressBlank" of the middle line's items
        const char* neben;    // value of a second item on the middle line
        double hoch;          // how far B and the line of row 1 move up
        bool leereZeile;      // the export shows a line of empty cells
    } faelle[] = {
        {"marked and alone", "true", "''", 6, false},
        {"marked but a printed item beside it", "true", "'daneben'", 0, false},
        {"not marked", "false", "''", 0, true},
        {"marked, the item beside it a blank without the mark", "true", "' '", 0, false},
    };
    for (const Fall& c : faelle) {
        SCOPED_TRACE(c.name);
        const QString json = QStringLiteral(R"({
          "tables": [{"alias": "BeReList", "table": "BeReList"}],
          "sort": [{"value": "{BeReList.LfNr}"}],
          "bands": {"details": {"height": 20, "items": [
            {"type": "text", "text": "A", "x": 0, "y": 0, "width": 50},
            {"type": "field", "value": "if {BeReList.LfNr} = 1 then '' else 'Mitte'", "x": 0, "y": 5,
             "width": 50, "height": 6, "suppressBlank": %1},
            {"type": "field", "value": "%2", "x": 100, "y": 5, "width": 50, "suppressBlank": %3},
            {"type": "text", "text": "B", "x": 0, "y": 11, "width": 50},
            {"type": "line", "x": 0, "y": 16, "width": 175}
          ]}}})")
                                 .arg(QLatin1String(c.markiert), QLatin1String(c.neben),
                                      QLatin1String(QByteArray(c.neben) == "' '" ? "false" : c.markiert));
        auto r = f.Oeffne(f.Vorlage("weglassen.rpt", json));
        ASSERT_TRUE(r);
        DisplayList dl;
        QString fehler;
        ASSERT_EQ(r->Erzeuge(Umfeld{}, dl, &fehler), 0) << fehler.toStdString();
        const Zeilen z = Lage(dl);
        EXPECT_DOUBLE_EQ(z.b1 - z.a1, 11 - c.hoch);
        EXPECT_DOUBLE_EQ(z.linie1 - z.a1, 16 - c.hoch);
        // The band of row 1 is shorter by as much; row 2 prints its middle line and keeps every gap.
        EXPECT_DOUBLE_EQ(z.a2 - z.a1, 20 - c.hoch);
        EXPECT_DOUBLE_EQ(z.b2 - z.a2, 11);

        // The export has no line of empty cells where the blank line was left out.
        QString html;
        ASSERT_EQ(r->ErzeugeHtml(Umfeld{}, html), 0);
        const QRegularExpression leereZeile("<tr>(<td[^>]*>(<span[^>]*></span>)?</td>)+</tr>");
        EXPECT_EQ(leereZeile.match(html).hasMatch(), c.leereZeile)
            << html.toStdString();
    }
}
