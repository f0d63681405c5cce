#pragma once
// A project database with one calculation and its basic data, made current in the process-wide state so
// that the report engine reads the print tables through the program's connection; a project environment
// over a test folder; a field target that records what was set.
#include "TestApp.h"
#include "TestDir.h"
#include "core/AppState.h"
#include "core/DatabaseSetup.h"
#include "core/Money.h"
#include "documents/RechnungsText.h"
#include "platform/db/Database.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TestUmgebung : public velu::outside::ProjektUmgebung {
public:
    QString ordner, nummer = "2026-17", name = "Kita Sonnenhof";
    QString ProjekteOrdner() override { return ordner + "/"; }
    bool DateiExistiert(const QString& p) override { return QFileInfo::exists(p); }
    QString ProjektOrdner() override { return ordner; }
    QString PfadVonEinstellung(const QString&, const QString& standard) override { return standard; }
    void AktProjekt(QString& a, QString& b, QString& c, QString&, QString&) override {
        a = nummer;
        b = ordner;
        c = name;
    }
    bool SetAktProjekt(const QString&, const QString&) override { return true; }
};

struct FeldProtokoll : velu::documents::FeldZiel {
    std::map<int, QString> felder;
    // The template's own texts of fields, as the document control reads them before the run.
    std::map<int, QString> vorlage;
    void SetzeFeld(int n, const QString& t) override { felder[n] = t; }
    QString Feldtext(int n) const override {
        auto it = vorlage.find(n);
        return it == vorlage.end() ? QString() : it->second;
    }
    QString operator[](int n) const {
        auto it = felder.find(n);
        // Amount and sign are joined by a non-breaking blank; the cases compare the text as read.
        return it == felder.end() ? QStringLiteral("<nicht gesetzt>")
                                  : QString(it->second).replace(QChar(0x00A0), QLatin1Char(' '));
    }
};

using Spalten = std::vector<std::pair<std::string, velu::db::Value>>;

// Amount or percent as stored: ten-thousandths from a decimal literal.
inline velu::db::Value Cy(const char* s) {
    return velu::Currency::FromString(s).Raw();
}

class RechnungFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        std::string error;
        pfad_ = QString::fromStdString((dir_ / "Velupro32.mdb").string());
        projekt_ = velu::DatabaseSetup::CreateProjektDB(dir_ / "Velupro32.mdb", &error);
        ASSERT_TRUE(projekt_) << error;
        velu::App().SetProjekt(projekt_, pfad_);
        umgebung_.ordner = QString::fromStdString(dir_.Path().string());
    }
    void TearDown() override { velu::App().SetProjekt(nullptr, {}); }

    void Zeile(const std::string& tabelle, const Spalten& spalten) {
        std::string namen, fragen;
        velu::db::Params p;
        for (const auto& [n, v] : spalten) {
            namen += (namen.empty() ? "" : ", ") + n;
            fragen += fragen.empty() ? "?" : ", ?";
            p.Add(v);
        }
        projekt_->Execute("INSERT INTO " + tabelle + " (" + namen + ") VALUES (" + fragen + ")", p);
    }
    // A calculation entered in the given currency (0 DM, 1 euro).
    void Rechnung(int64_t lfnr, const char* typ, int eingabe, Spalten mehr = {}) {
        Spalten s = {{"LfNr", lfnr},
                     {"REType", std::string(typ)},
                     {"INPUTType", int64_t(eingabe)},
                     {"ReNummer", "R-" + std::to_string(lfnr)},
                     {"ReBezeichnung", std::string("Rechnung ") + std::to_string(lfnr)},
                     {"Redatum", std::string("2026-12-01")},
                     {"Ursprung", int64_t(1)}};
        s.insert(s.end(), mehr.begin(), mehr.end());
        Zeile("BeReList", s);
    }
    void Gruppe(int64_t lfnr, int64_t gruppe, Spalten mehr = {}) {
        Spalten s = {{"LfNrBeReList", lfnr}, {"AnlageGruppe", gruppe}, {"ZuordnungAnlGrp", gruppe}};
        s.insert(s.end(), mehr.begin(), mehr.end());
        Zeile("Grunddaten", s);
    }
    void Profil(int64_t lfnr, int64_t gruppe, bool mitGruppen) {
        Zeile("Leistungsbild", {{"LfNrBeReList", lfnr},
                                {"ZuordnungAnlGrp", gruppe},
                                {"MitAnLageGrp", int64_t(mitGruppen ? -1 : 0)},
                                {"LeistungsbildPara", std::string("§ 34 ")},
                                {"LeistungsbildBez", std::string("Gebäude und Innenräume")},
                                {"HoaiTafel", std::string("§ 35")},
                                {"HoaiTafelBez", std::string("Honorartafel Gebäude")},
                                {"LiTX01", std::string(" Grundlagenermittlung ")},
                                {"proz01", Cy("2")},
                                {"proz08", Cy("32")}});
    }
    int64_t Anzahl(const std::string& sql) {
        velu::db::Recordset rs = projekt_->OpenRecordset(sql);
        return rs.GetInt(rs.FieldNames().front());
    }

    TestDir dir_;
    QString pfad_;
    std::shared_ptr<velu::db::Database> projekt_;
    TestUmgebung umgebung_;
};
