// The delivered invoice template filled from the print tables of a one-group invoice, its fee statement
// exported by the report engine and inserted, the document written as PDF.
#include "BenchAnwendung.h"
#include "TestDir.h"
#include "core/AppState.h"
#include "core/DatabaseSetup.h"
#include "core/GelieferteDruckvorlagen.h"
#include "documents/CRModul.h"
#include "documents/RechnungsDruck.h"
#include "platform/db/Database.h"
#include "platform/outside/ProjektUmgebung.h"
#include "platform/richtext/ScribantPro.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace velu;

namespace {

class Umgebung : public outside::ProjektUmgebung {
public:
    QString ordner;
    QString ProjekteOrdner() override { return ordner + "/"; }
    bool DateiExistiert(const QString&) override { return false; }
    QString ProjektOrdner() override { return ordner; }
    QString PfadVonEinstellung(const QString&, const QString& s) override { return s; }
    void AktProjekt(QString& a, QString& b, QString& c, QString&, QString&) override {
        a = "2026-17";
        b = ordner;
        c = "Kita Sonnenhof";
    }
    bool SetAktProjekt(const QString&, const QString&) override { return true; }
};

void BM_RechnungMitHonorarermittlungAlsPdf(benchmark::State& state) {
    Anwendung();
    TestDir dir;
    std::shared_ptr<db::Database> db = DatabaseSetup::CreateProjektDB(dir / "Velupro32.mdb");
    App().SetProjekt(db, QString::fromStdString((dir / "Velupro32.mdb").string()));
    auto cy = [](int64_t units) { return units * 10000; };
    db->Execute("INSERT INTO BeReList (LfNr, REType, ReNummer, ReBezeichnung, Redatum, INPUTType, BerNetto, "
                "ZwSumm, MwstPro, MwstDM, Brutto, Endbetrag, Mwstenthalten) VALUES (1, 'R', '2026-001', "
                "'Neubau Kita', '2026-12-09', 1, ?, ?, ?, ?, ?, ?, ?)",
                db::Params()
                    .Add(cy(62900))
                    .Add(cy(62900))
                    .Add(cy(19))
                    .Add(cy(11951))
                    .Add(cy(74851))
                    .Add(cy(74851))
                    .Add(cy(11951)));
    db->Execute("INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe, ZuordnungAnlGrp, Honorarzone, "
                "SummAnreKostAB1, HonorarMinAB1, HonorarMaxAB1, GrHonorarAb1, HonrarNetto, TeilleistDM8) "
                "VALUES (1, 1, 1, 3, ?, ?, ?, ?, ?, ?)",
                db::Params()
                    .Add(cy(500000))
                    .Add(cy(62900))
                    .Add(cy(78449))
                    .Add(cy(62900))
                    .Add(cy(62900))
                    .Add(cy(20128)));
    db->Execute(
        "INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp, LeistungsbildPara, LiTX01, proz01) "
        "VALUES (1, 1, '§ 34', 'Grundlagenermittlung', 20000)");
    documents::TransDM(*db, 1, 1, 1);

    Umgebung u;
    u.ordner = QString::fromStdString(dir.Path().string());
    CRModul cr;
    const QString ordner = QString::fromUtf8(VELU_BINARY_DIR) + "/data/reports/HOAI";
    const QString pdf = QString::fromStdString((dir / "rechnung.pdf").string());
    const GelieferteDruckvorlage& vorlage = GelieferteDruckvorlagen().at(1);
    const QString text = QString::fromStdString(vorlage.text);
    for (auto _ : state) {
        richtext::ScribantPro c;
        c.PasteData(text, "velu-doc", int(text.size()));
        documents::RechnungsDokument dok(c, *db, cr, u, ordner);
        try {
            dok.TriggerBaueText(1, QStringLiteral(" €"), 2, QStringLiteral("09.12.2026"));
        } catch (const documents::DruckFehler& e) {
            state.SkipWithError(e.what());
            break;
        }
        if (dok.Bericht().isEmpty() || !c.SavePdf(pdf)) {
            state.SkipWithError("no statement or no PDF");
            break;
        }
    }
    App().SetProjekt(nullptr, {});
}
BENCHMARK(BM_RechnungMitHonorarermittlungAlsPdf)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
