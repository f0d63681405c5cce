#pragma once
// Fakes of the project environment and the outside programs, and database fixtures, for the start-up and
// main-window tests.
#include "TestApp.h"
#include "core/AppState.h"
#include "core/Benutzer.h"
#include "core/DatabaseSetup.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/outside/AussenProgramme.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <vector>

namespace testing_velu {

inline void app() {
    testApp();
}

inline std::filesystem::path Fs(const QString& p) {
    return std::filesystem::path(p.toStdString());
}

struct FakeUmgebung : velu::outside::ProjektUmgebung {
    QString projekte;
    QString nummer, name;
    std::map<QString, QString> pfade;
    std::map<QString, QString> namen; // number -> name, for choices

    QString ProjekteOrdner() override { return projekte; }
    bool DateiExistiert(const QString& p) override { return QFileInfo(p).isFile(); }
    QString ProjektOrdner() override { return projekte + nummer + ".PRO"; }
    QString PfadVonEinstellung(const QString& n, const QString& standard) override {
        auto it = pfade.find(n);
        return it == pfade.end() ? standard : it->second;
    }
    void AktProjekt(QString& a, QString& b, QString& c, QString& d, QString& e) override {
        a = nummer;
        b = ProjektOrdner();
        c = name;
        d.clear();
        e.clear();
    }
    using ProjektUmgebung::AktProjekt;
    bool SetAktProjekt(const QString& n, const QString& nm) override {
        nummer = n;
        name = nm;
        return true;
    }
};

// Everything the fakes are asked to do, in order ("ShowHoai 00000001", "About 17", ...).
struct Protokoll {
    QStringList log;
    // Answers of the project program, one per ShowHoai: a number chooses it, nullopt cancels.
    std::vector<std::optional<QString>> wahl;
    bool ohneProgramme = false;
    std::function<void()> beiReorg;
};

struct FakeZentrix : velu::outside::ProjektVerwaltung {
    Protokoll& p;
    FakeUmgebung& u;
    FakeZentrix(Protokoll& p, FakeUmgebung& u) : p(p), u(u) {}
    void SetPxEntry(int v) override { p.log << QString("PxEntry %1").arg(v); }
    int ShowHoai(QString& nr, const QString&, int, int, int&) override {
        p.log << "ShowHoai " + nr;
        if (p.wahl.empty()) return 0;
        auto w = p.wahl.front();
        p.wahl.erase(p.wahl.begin());
        if (!w) return 0;
        u.SetAktProjekt(*w, u.namen[*w]);
        return 1;
    }
    void ShowProdat(int m) override { p.log << QString("ShowProdat %1").arg(m); }
};

struct FakeProgramme : velu::outside::AussenProgramme {
    Protokoll& p;
    FakeUmgebung& u;
    FakeProgramme(Protokoll& p, FakeUmgebung& u) : p(p), u(u) {}

    std::unique_ptr<velu::outside::ProjektVerwaltung> CreateProjektVerwaltung() override {
        if (p.ohneProgramme) return nullptr;
        return std::make_unique<FakeZentrix>(p, u);
    }
    std::unique_ptr<velu::outside::AdressProgramm> CreateAdressProgramm() override {
        struct A : velu::outside::AdressProgramm {
            Protokoll& p;
            explicit A(Protokoll& p) : p(p) {}
            void SetPxEntry(int) override {}
            void ShowAdressMask(const QString& m, int, QStringList&, int&) override {
                p.log << "Adress " + m;
            }
        };
        return std::make_unique<A>(p);
    }
    std::unique_ptr<velu::outside::SerienbriefProgramm> CreateSerienbriefProgramm() override {
        struct S : velu::outside::SerienbriefProgramm {
            Protokoll& p;
            explicit S(Protokoll& p) : p(p) {}
            void SetPxEntry(int) override {}
            void showSerie(QWidget*& f) override {
                f = nullptr;
                p.log << "Serie";
            }
        };
        return std::make_unique<S>(p);
    }
    std::unique_ptr<velu::outside::KopfUndFussProgramm> CreateKopfUndFussProgramm() override {
        struct K : velu::outside::KopfUndFussProgramm {
            Protokoll& p;
            explicit K(Protokoll& p) : p(p) {}
            void SetPxEntry(int) override {}
            void ShowKopfUndFuss(int m) override { p.log << QString("KopfUndFuss %1").arg(m); }
        };
        return std::make_unique<K>(p);
    }
    std::unique_ptr<velu::outside::Reorganisation>
    CreateReorganisation(const std::vector<QString>& d) override {
        struct R : velu::outside::Reorganisation {
            Protokoll& p;
            std::vector<QString> d;
            R(Protokoll& p, std::vector<QString> d) : p(p), d(std::move(d)) {}
            void SetPxEntry(int) override {}
            void showREORGVELU() override {
                p.log << QString("Reorg %1 offen=%2").arg(d.size()).arg(velu::App().StammDB() ? 1 : 0);
                if (p.beiReorg) p.beiReorg();
            }
        };
        return std::make_unique<R>(p, d);
    }
    std::unique_ptr<velu::outside::AboutBox> CreateAboutBox() override {
        if (p.ohneProgramme) return nullptr;
        struct B : velu::outside::AboutBox {
            Protokoll& p;
            QString titel, version;
            explicit B(Protokoll& p) : p(p) {}
            void SetPictureIn(const QPixmap&) override {}
            void SetPosLeft(int) override {}
            void SetPosTop(int) override {}
            void SetAppTitel(const QString& t) override { titel = t; }
            void SetVersion(const QString& v) override { version = v; }
            void SetProduktName(const QString&) override {}
            void Action(int c) override { p.log << QString("About %1 %2 %3").arg(c).arg(titel, version); }
        };
        return std::make_unique<B>(p);
    }
};

// The master database as the program makes it, with the users and switches a test needs: benutzer rows
// (the first "SUPERVISOR" with supervisorRechte, none when nullopt), the password switch.
inline void MachStammDB(const QString& pfad, int benutzer, int mitPasswort,
                        std::optional<int> supervisorRechte) {
    std::string err;
    auto db = velu::DatabaseSetup::CreateStammDB(Fs(pfad), &err);
    ASSERT_TRUE(db) << err;
    if (supervisorRechte)
        db->Execute("UPDATE Zugriff SET Rechte = ? WHERE Benutzername = 'SUPERVISOR'",
                    velu::db::Params().Add(int64_t(*supervisorRechte)));
    else
        db->Execute("DELETE FROM Zugriff");
    for (int i = supervisorRechte ? 1 : 0; i < benutzer; ++i)
        db->Execute("INSERT INTO Zugriff (Benutzername, Passwort, OhnePasswort, Rechte) VALUES (?, '', 0, 0)",
                    velu::db::Params().Add(QString("BENUTZER%1").arg(i).toStdString()));
    velu::SetMitPasswort(*db, mitPasswort != 0);
}

// A project database (or template) as the program makes it, marked with art so a test can tell which file
// the program opened.
inline void MachLeereDB(const QString& pfad, const char* art = "Vorlage") {
    QDir().mkpath(QFileInfo(pfad).absolutePath());
    std::string err;
    auto db = velu::DatabaseSetup::CreateProjektDB(Fs(pfad), &err);
    ASSERT_TRUE(db) << err;
    db->Execute("INSERT INTO _Meta (Key, Value) VALUES ('Test', ?)",
                velu::db::Params().Add(std::string(art)));
}

inline std::string ArtVon(velu::db::Database* db) {
    if (!db) return "(keine)";
    auto rs = db->OpenRecordset("SELECT Value FROM _Meta WHERE Key = 'Test'");
    return rs.Empty() ? "" : rs.GetText("Value");
}

// An office folder with master and template databases and the projects 00000001 and 00000002 (both with
// their database and in the project list), a fake environment on 00000001 and fake outside programs.
struct Buero {
    QTemporaryDir tmp;
    QString buero = tmp.path() + "/buero";
    QString sys = buero + "/STD_SYS";
    QString projekte = buero + "/Projekte/";
    std::shared_ptr<FakeUmgebung> umgebung = std::make_shared<FakeUmgebung>();
    Protokoll protokoll;

    explicit Buero(int benutzer = 0, int mitPasswort = 0, std::optional<int> rechte = 8191) {
        app();
        velu::App().Reset();
        QDir().mkpath(sys);
        MachStammDB(sys + "/VELUDAT32.MDB", benutzer, mitPasswort, rechte);
        MachLeereDB(sys + "/VELUVOR32.MDB", "Vorlage");
        MachLeereDB(ProjektDB("00000001"), "Projekt 1");
        MachLeereDB(ProjektDB("00000002"), "Projekt 2");
        umgebung->projekte = projekte;
        umgebung->nummer = "00000001";
        umgebung->name = "Erstes";
        umgebung->namen = {{"00000001", "Erstes"}, {"00000002", "Zweites"}, {"00000003", "Drittes"}};
        Liste("00000001");
        Liste("00000002");
        velu::App().SetUmgebung(umgebung);
        velu::App().SetProgramme(std::make_shared<FakeProgramme>(protokoll, *umgebung));
        velu::App().SetPfade(buero + "/reports/HOAI", sys, "");
        velu::App().SetStammDBPfad(sys + "/VELUDAT32.MDB");
    }
    ~Buero() { velu::App().Reset(); }

    // Adds the project to the project list.
    void Liste(const QString& nr) {
        velu::outside::ProjektListe liste(projekte);
        EXPECT_TRUE(liste.Anlegen() && liste.Eintragen(nr, umgebung->namen[nr]));
    }
    QString Ordner(const QString& nr) const { return projekte + nr + ".PRO"; }
    QString ProjektDB(const QString& nr) const { return Ordner(nr) + "/Velupro32.mdb"; }
};

} // namespace testing_velu
