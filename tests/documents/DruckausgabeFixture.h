#pragma once
// Two projects with expenses in both currencies, an offer, invoices with payments, an hourly-rate invoice,
// site supervision, basic data, eligible costs and Prodat; employees and catalogue in the master database;
// and the report routines over them with the delivered templates.
#include "BerichtFixture.h"
#include "core/AppState.h"
#include "documents/CRModul.h"
#include "documents/Druckausgabe.h"
#include "platform/settings/SettingsStore.h"

#include <QTemporaryDir>

namespace berichte {

inline QString GelieferteBerichte() {
    return QString::fromUtf8(qgetenv("VELU_BINARY_DIR")) + "/data/reports/HOAI";
}

struct DruckausgabeFixture : BerichtFixture {
    std::unique_ptr<velu::db::Database> projekt;
    QString projektPfad;
    QStringList meldungen;

    DruckausgabeFixture() {
        projekt = Projekt("00000001", "Kita Stadtpark");
        projektPfad = ProjektPfad("00000001");
        EXPECT_TRUE(velu::outside::SchreibeProdatFelder(
            umgebung.projekte + "00000001.PRO/Prodat",
            {{0, "Neubau Kita"}, {4, "Stadt Neustadt"}, {163, "01.02.2024"}}));
        velu::db::Database& d = *projekt;
        struct Aufwand {
            const char *datum, *numm, *leistung, *mitarbeiter;
            int phase, typ;
            const char *summ, *alSumm, *inter, *alInter;
        };
        const Aufwand aufwand[] = {
            {"2024-01-10", "1.01", "Grundlagenermittlung", "Meier", 1, 0, "800", "409.0335", "500",
             "255.6459"},
            {"2024-01-12", "2.01", "Vorentwurf", "Schulz", 2, 1, "300", "586.749", "200", "391.166"},
            {"2024-02-01", "8.01", "Bauüberwachung", "Meier", 0, 0, "240", "122.7101", "150", "76.6938"},
            {"2024-02-03", "S.01", "Stundenlohn", "Schulz", 10, 0, "160", "81.8067", "100", "51.1292"},
        };
        for (const Aufwand& a : aufwand)
            d.Execute(
                "INSERT INTO Projektaufwand (Datum, Numm, Leistung, Mitarbeiter, Menge, PHzuordnung, "
                "INPUTType, "
                "Summ, AlDispSumm, interSumm, AlDispinterSumm) VALUES (?, ?, ?, ?, 20000, ?, ?, ?, ?, ?, ?)",
                velu::db::Params()
                    .Add(std::string(a.datum))
                    .Add(std::string(a.numm))
                    .Add(std::string(a.leistung))
                    .Add(std::string(a.mitarbeiter))
                    .Add(int64_t(a.phase))
                    .Add(int64_t(a.typ))
                    .Add(Cy(a.summ))
                    .Add(Cy(a.alSumm))
                    .Add(Cy(a.inter))
                    .Add(Cy(a.alInter)));
        Berechnung(d, 1, "A", 40, "7777", "3976.2658", 0, "Angebot 1");
        Berechnung(d, 41, "R", 40, "500", "255.6459", 0, "R 2001/05");
        Berechnung(d, 42, "R", 40, "1000", "511.2919", 0, "R 2001/07");
        Berechnung(d, 50, "S", 50, "116", "226.8763", 1, "S 2001/01", "100", "195.583");
        Berechnung(d, 60, "B", 60, "58", "29.6549", 0, "B 2001/01", "50", "25.5646");
        Zahlung(d, 42, "400", "204.5168");
        d.Execute(
            "INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe, AnlageGrBez, GrundLDM1, SummZu1, ZuDM1, "
            "TotalDMLP1, AlDispTotalDMLP1, TotalDMLP2, AlDispTotalDMLP2) "
            "VALUES (42, 1, 'Gebäude', 2800000, 71400, 200000, 3000000, 1533876, 2000000, 1022584)");
        d.Execute("INSERT INTO AnrechenbareKosten (LfNrBeReList, ZuordnungAnlGrp, Phase, Kostenstellennr, "
                  "Bezeichnung, "
                  "Eigenleistung, FremdLeistung) VALUES (42, 1, 1, '300', 'Bauwerk', 5000000000, 200000000), "
                  "(42, 1, 1, '400', 'Technische Anlagen', 1500000000, 0), "
                  "(41, 1, 1, '300', 'frühere Kosten', 9990000, 0)");

        auto schule = Projekt("00000002", "Schule Nord");
        Berechnung(*schule, 7, "R", 10, "2000", "1022.5838", 0, "R 2002/01");

        stamm->Execute(
            "INSERT INTO Mitarbeiter (Mitarbeiter, StundensatzInt, Stundensatzext, AlDispStundensatzInt, "
            "AlDispStundensatzext) VALUES ('Meier', 800000, 1200000, 409034, 613550)");
        stamm->Execute(
            "INSERT INTO AufwandVerz (Positionsnummer, Leistung, Einheit, interSatz, Satz, AlDispSatz) "
            "VALUES ('1.01', 'Besprechung', 'Std', 500000, 900000, 460163)");
    }

    velu::Druckausgabe::Quellen Quellen() {
        velu::Druckausgabe::Quellen q;
        q.projekt = projekt.get();
        q.projektPfad = projektPfad;
        q.stamm = stamm.get();
        q.stammPfad = stammPfad;
        q.umgebung = &umgebung;
        return q;
    }

    // The routines as the dialog sets them up, printing into pdf.
    std::unique_ptr<velu::Druckausgabe> Routinen(velu::CRModul& cr, bool dm = true) {
        auto r = std::make_unique<velu::Druckausgabe>(cr, Quellen());
        r->Laden(GelieferteBerichte());
        auto& f = r->Fenster();
        f.melden = [this](const QString& t) { meldungen << t; };
        f.kopien = "1";
        f.datum = "24.12.2024";
        f.dm = dm;
        f.caption = "Druckausgabe";
        return r;
    }
};

// Window positions and the environment of the program state point into the test's folder.
struct ProgrammZustand {
    QTemporaryDir ordner;
    explicit ProgrammZustand(DruckausgabeFixture& t) {
        velu::App().SetEinstellungen(
            std::make_shared<velu::settings::SettingsStore>(ordner.path() + "/e.ini"));
        velu::App().SetUmgebung(std::make_shared<Umgebung>(t.umgebung));
        velu::App().SetPfade(GelieferteBerichte(), {}, {});
    }
    ~ProgrammZustand() {
        velu::App().SetEinstellungen(nullptr);
        velu::App().SetUmgebung(nullptr);
        velu::App().SetPfade({}, {}, {});
    }
};

} // namespace berichte
