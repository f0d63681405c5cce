// Running a grouped report of 15 pages (read, select, sort, group, lay out) and writing it as PDF.
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "platform/report/Ausgabe.h"
#include "platform/report/Report.h"

#include <QFile>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace velu;

namespace {

constexpr const char* Vorlage = R"json({
  "tables": [{"alias": "B", "table": "BeReList"}],
  "selection": "{B.LfNr} <= 100000 and not ({B.REType} in ['A', 'V'])",
  "sort": [{"value": "{B.LfNr}"}],
  "groups": [{"value": "{B.Ursprung}",
    "header": {"height": 9, "items": [{"type": "field", "value": "'Gruppe ' & {B.Ursprung}", "width": 80, "bold": true, "size": 11}]},
    "footer": {"height": 8, "items": [
      {"type": "line", "x": 110, "y": 0.5, "width": 65},
      {"type": "count", "group": 1, "x": 0, "y": 1.5, "width": 20},
      {"type": "sum", "value": "{B.Endbetrag}", "group": 1, "format": "amount", "x": 140, "y": 1.5, "width": 35, "align": "right", "bold": true}]}}],
  "bands": {
    "pageHeader": {"height": 10, "items": [{"type": "text", "text": "Rechnungen nach Gruppen", "width": 120, "size": 12, "bold": true},
                                           {"type": "printDate", "x": 140, "width": 35, "align": "right"}]},
    "details": {"height": 5, "items": [
      {"type": "field", "value": "{B.LfNr}", "width": 15},
      {"type": "field", "value": "Trim({B.ReNummer})", "x": 17, "width": 30},
      {"type": "field", "value": "{B.Redatum}", "format": "date", "x": 50, "width": 25},
      {"type": "field", "value": "if {B.REType} = 'S' then 'Stundenlohn' else 'Honorar'", "x": 78, "width": 30},
      {"type": "field", "value": "{B.Mwstenthalten}", "format": "amount", "x": 110, "width": 28, "align": "right"},
      {"type": "field", "value": "{B.Endbetrag}", "format": "amount", "x": 140, "width": 35, "align": "right"}]},
    "reportFooter": {"height": 8, "items": [{"type": "sum", "value": "{B.Endbetrag}", "format": "amount", "x": 140, "width": 35, "align": "right", "bold": true}]},
    "pageFooter": {"height": 8, "items": [{"type": "pageNumber", "text": "Seite %1 von %2", "x": 115, "y": 2, "width": 60, "align": "right"}]}
  }
})json";

struct Daten {
    TestDir dir;
    QString projekt = QString::fromStdString((dir / "Velupro32.mdb").string());
    QString vorlage = QString::fromStdString((dir / "bench.rpt").string());
    QString pdf = QString::fromStdString((dir / "bench.pdf").string());
    std::unique_ptr<report::Report> r;

    Daten() {
        auto db = DatabaseSetup::CreateProjektDB(projekt.toStdString());
        db::Transaction t(*db);
        // 12 groups of invoices; one row in eleven is an offer and not printed.
        for (int i = 1; i <= 760; ++i) {
            db::Params p;
            p.Add(int64_t(i))
                .Add(std::string(i % 11 == 0  ? "A"
                                 : i % 7 == 0 ? "S"
                                              : "R"))
                .Add(int64_t(i % 12))
                .Add(int64_t(i) * 1234567)
                .Add(int64_t(i) * 197117)
                .Add("AR-" + std::to_string(i))
                .Add(std::string("2024-") + (i % 12 < 9 ? "0" : "") + std::to_string(i % 12 + 1) + "-15");
            db->Execute(
                "INSERT INTO BeReList (LfNr, REType, Ursprung, Endbetrag, Mwstenthalten, ReNummer, Redatum) "
                "VALUES (?, ?, ?, ?, ?, ?, ?)",
                p);
        }
        t.Commit();
        QFile f(vorlage);
        if (f.open(QIODevice::WriteOnly)) f.write(Vorlage);
        f.close();
        report::Report::Oeffne(vorlage, r);
        if (r) {
            r->SetzeTabellenOrt("B", projekt);
            r->SetzeDatum("24.12.2024");
        }
    }
};

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static auto* app = new QGuiApplication(argc, argv);
    return *app;
}

void BM_GroupedReportToPdf(benchmark::State& state) {
    App();
    Daten d;
    if (!d.r) {
        state.SkipWithError("template does not open");
        return;
    }
    size_t seiten = 0;
    for (auto _ : state) {
        report::DisplayList dl;
        if (d.r->Erzeuge(report::Umfeld{}, dl) != 0 || report::SchreibePdf(dl, d.pdf) != 0) {
            state.SkipWithError("report failed");
            return;
        }
        seiten = dl.seiten.size();
    }
    state.counters["pages"] = double(seiten);
    if (seiten != 15) state.SkipWithError("the data no longer fill 15 pages");
}
BENCHMARK(BM_GroupedReportToPdf)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The delivered expense report by service phase over 800 expense rows in both currencies.
void BM_ExpenseReportByPhaseToPdf(benchmark::State& state) {
    App();
    TestDir dir;
    const QString projekt = QString::fromStdString((dir / "Velupro32.mdb").string());
    const QString pdf = QString::fromStdString((dir / "aufwand.pdf").string());
    {
        auto db = DatabaseSetup::CreateProjektDB(projekt.toStdString());
        db::Transaction t(*db);
        const char* leistungen[] = {"Besprechung Bauherr", "Bestandsaufnahme", "Variantenstudie",
                                    "Kostenschätzung", "Ausschreibung"};
        for (int i = 1; i <= 800; ++i) {
            db::Params p;
            p.Add(std::string("2024-") + (i % 12 < 9 ? "0" : "") + std::to_string(i % 12 + 1) + "-" +
                  std::to_string(i % 28 + 10).substr(0, 2))
                .Add(std::to_string(i % 9 + 1) + "." + std::to_string(i % 40))
                .Add(std::string(leistungen[i % 5]))
                .Add(std::string(i % 3 ? "Meier" : "Schulz"))
                .Add(int64_t(i % 8 + 1) * 10000)
                .Add(int64_t(i % 11))
                .Add(int64_t(i % 2))
                .Add(int64_t(i) * 95000)
                .Add(int64_t(i) * 48572)
                .Add(int64_t(i) * 60000)
                .Add(int64_t(i) * 30677);
            db->Execute("INSERT INTO Projektaufwand (Datum, Numm, Leistung, Mitarbeiter, Menge, PHzuordnung, "
                        "INPUTType, Summ, AlDispSumm, interSumm, AlDispinterSumm) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                        p);
        }
        t.Commit();
    }
    std::unique_ptr<report::Report> r;
    if (report::Report::Oeffne(QStringLiteral(VELU_SOURCE_DIR "/data/reports/VELUNTA4011.rpt"), r) != 0) {
        state.SkipWithError("template does not open");
        return;
    }
    r->SetzeTabellenOrt("Projektaufwand", projekt);
    r->SetzeDatum("24.12.2024");
    r->SetzeFormel("_InWaehrung", "0");
    r->SetzeFormel("Projektnummer", "'00000001'");
    r->SetzeFormel("Projektbezeichnung", "'Kita Stadtpark'");
    size_t seiten = 0;
    for (auto _ : state) {
        report::DisplayList dl;
        if (r->Erzeuge(report::Umfeld{}, dl) != 0 || report::SchreibePdf(dl, pdf) != 0) {
            state.SkipWithError("report failed");
            return;
        }
        seiten = dl.seiten.size();
    }
    state.counters["pages"] = double(seiten);
    if (seiten < 15) state.SkipWithError("the data no longer fill 15 pages");
}
BENCHMARK(BM_ExpenseReportByPhaseToPdf)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
