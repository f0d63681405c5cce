// The open items of 200 projects printed with the delivered template: the work table rebuilt from every
// project database, then the report written as PDF.
#include "BenchAnwendung.h"
#include "TestDir.h"
#include "core/AppState.h"
#include "core/DatabaseSetup.h"
#include "documents/BerichtsTabellen.h"
#include "platform/db/Database.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/ProjektUmgebung.h"
#include "platform/report/Ausgabe.h"
#include "platform/report/Report.h"

#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>

using namespace velu;

namespace {

class Umgebung : public outside::ProjektUmgebung {
public:
    QString ordner;
    QString ProjekteOrdner() override { return ordner; }
    bool DateiExistiert(const QString& p) override { return QFileInfo::exists(p); }
    QString ProjektOrdner() override { return ordner; }
    QString PfadVonEinstellung(const QString&, const QString& s) override { return s; }
    void AktProjekt(QString&, QString&, QString&, QString&, QString&) override {}
    bool SetAktProjekt(const QString&, const QString&) override { return true; }
};

// Per project a chain of three partial invoices taking the payments over, the last one paid short, and two
// hourly-rate invoices, one of them unpaid.
void Projekt(const QString& pfad) {
    auto db = DatabaseSetup::CreateProjektDB(pfad.toStdString());
    db::Transaction t(*db);
    auto cy = [](int64_t euro) { return euro * 10000; };
    struct Zeile {
        int lfnr;
        const char* typ;
        int ursprung;
        int64_t ende, az, bezahlt;
    };
    const Zeile zeilen[] = {{1, "R", 1, 11900, 0, 11900},
                            {2, "R", 1, 11900, 11900, 11900},
                            {3, "R", 1, 5950, 23800, 5000},
                            {4, "S", 4, 1190, 0, 1190},
                            {5, "S", 4, 2380, 0, 0}};
    for (const Zeile& z : zeilen) {
        db->Execute(
            "INSERT INTO BeReList (LfNr, REType, Ursprung, ReNummer, ReBezeichnung, Redatum, INPUTType, "
            "MwstPro, SummAz, AlDispSummAz, Endbetrag, AlDispEndbetrag) "
            "VALUES (?, ?, ?, ?, 'Rechnung', '2026-03-15', 1, 190000, ?, ?, ?, ?)",
            db::Params()
                .Add(int64_t(z.lfnr))
                .Add(std::string(z.typ))
                .Add(int64_t(z.ursprung))
                .Add("R-" + std::to_string(z.lfnr))
                .Add(cy(z.az))
                .Add(cy(z.az) * 195583 / 100000)
                .Add(cy(z.ende))
                .Add(cy(z.ende) * 195583 / 100000));
        if (z.bezahlt)
            db->Execute(
                "INSERT INTO Zahlung (LfNrBeReList, Ursprung, Datum, Bemerkung, Zahlung, AlDispZahlung) "
                "VALUES (?, ?, '2026-04-01', 'Überweisung', ?, ?)",
                db::Params()
                    .Add(int64_t(z.lfnr))
                    .Add(int64_t(z.ursprung))
                    .Add(cy(z.bezahlt))
                    .Add(cy(z.bezahlt) * 195583 / 100000));
    }
    t.Commit();
}

void BM_OffenePosten200Projekte(benchmark::State& state) {
    Anwendung();
    App();
    TestDir dir;
    Umgebung u;
    u.ordner = QString::fromStdString((dir / "Projekte").string()) + "/";
    QDir().mkpath(u.ordner);
    outside::ProjektListe liste(u.ordner);
    liste.Anlegen();
    for (int i = 1; i <= 200; ++i) {
        const QString nummer = QString("%1").arg(i, 8, 10, QChar('0'));
        liste.Eintragen(nummer, QString("Projekt %1").arg(i));
        QDir().mkpath(u.ordner + nummer + ".PRO");
        Projekt(u.ordner + nummer + ".PRO/Velupro32.mdb");
    }
    const QString stammPfad = QString::fromStdString((dir / "VELUDAT32.MDB").string());
    auto stamm = DatabaseSetup::CreateStammDB(stammPfad.toStdString());
    const QString pdf = QString::fromStdString((dir / "offen.pdf").string());
    size_t seiten = 0;
    for (auto _ : state) {
        BerichtsTabellen t(*stamm, u);
        if (!t.OffenepostenBagger().ok) {
            state.SkipWithError("work table not rebuilt");
            return;
        }
        std::unique_ptr<report::Report> r;
        if (report::Report::Oeffne(QStringLiteral(VELU_SOURCE_DIR "/data/reports/VELUNTA4015.rpt"), r) != 0) {
            state.SkipWithError("template does not open");
            return;
        }
        r->SetzeTabellenOrt("Offeneposten", stammPfad);
        r->SetzeDatum("24.12.2026");
        report::DisplayList dl;
        if (r->Erzeuge(report::Umfeld{}, dl) != 0 || report::SchreibePdf(dl, pdf) != 0) {
            state.SkipWithError("report failed");
            return;
        }
        seiten = dl.seiten.size();
    }
    state.counters["pages"] = double(seiten);
}
BENCHMARK(BM_OffenePosten200Projekte)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
