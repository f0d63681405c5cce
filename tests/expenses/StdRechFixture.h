#pragma once
// The hourly-rate invoice form over a fresh project database and a master database with two employees and a
// small catalogue of basic services, with a settings store of the test's own. Message boxes are recorded.
#include "TestApp.h"
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "core/Money.h"
#include "expenses/PositionsPanel.h"
#include "expenses/StdRech.h"
#include "expenses/ZeilenModell.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/settings/SettingsStore.h"
#include "ui/DatePicSSDB.h"
#include "ui/avbSplitter.h"

#include <QDate>

#include <gtest/gtest.h>

#include <memory>
#include <string>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

class StdRechFixture : public ::testing::Test {
protected:
    static constexpr int32_t Rechnung = 7;

    void SetUp() override {
        testApp();
        std::string error;
        stamm_ = velu::DatabaseSetup::CreateStammDB(dir_ / "VELUDAT32.MDB", &error);
        ASSERT_TRUE(stamm_) << error;
        projekt_ = velu::DatabaseSetup::CreateProjektDB(dir_ / "Velupro32.mdb", &error);
        ASSERT_TRUE(projekt_) << error;
        settings_ = std::make_unique<velu::settings::SettingsStore>(
            QString::fromStdString((dir_ / "velunta.ini").string()));
        Mitarbeiter("Meier", "120", "70");
        Mitarbeiter("Schulz", "80");
        Katalog("1.1", "Bauleitung", "Std", "100", "51.1292");
        Katalog("1.2", "Zeichnen", "Std", "60", "0"); // a DM rate only
        Katalog("2.0", "Kopien", "Stk", "0", "5");
    }

    void Mitarbeiter(const char* name, const char* dm, const char* intern = "0") {
        const velu::Currency satz = velu::Currency::FromString(dm), in = velu::Currency::FromString(intern);
        stamm_->Execute("INSERT INTO Mitarbeiter (Mitarbeiter, Stundensatzext, AlDispStundensatzext, "
                        "StundensatzInt, AlDispStundensatzInt) VALUES (?, ?, ?, ?, ?)",
                        velu::db::Params()
                            .Add(std::string(name))
                            .Add(satz.Raw())
                            .Add(velu::DMEuroUmrechnung(satz, 1).Raw())
                            .Add(in.Raw())
                            .Add(velu::DMEuroUmrechnung(in, 1).Raw()));
    }
    void Katalog(const char* nr, const char* text, const char* einheit, const char* dm, const char* euro) {
        stamm_->Execute("INSERT INTO AufwandVerz (Positionsnummer, Leistung, Einheit, zuordnung, Satz, "
                        "AlDispSatz, interSatz, AlDispinterSatz) VALUES (?, ?, ?, 0, ?, ?, ?, ?)",
                        velu::db::Params()
                            .Add(std::string(nr))
                            .Add(std::string(text))
                            .Add(std::string(einheit))
                            .Add(velu::Currency::FromString(dm).Raw())
                            .Add(velu::Currency::FromString(euro).Raw())
                            // Internal rate: half the external one.
                            .Add(velu::Currency::FromRaw(velu::Currency::FromString(dm).Raw() / 2).Raw())
                            .Add(velu::Currency::FromRaw(velu::Currency::FromString(euro).Raw() / 2).Raw()));
    }
    // A stored position of the invoice.
    void Position(const char* nr, const char* menge, const char* satz, const char* datum = "2026-12-01") {
        const velu::Currency m = velu::Currency::FromString(menge), s = velu::Currency::FromString(satz);
        const velu::Currency summ = velu::RundCY(velu::Currency::FromDouble(m.ToDouble() * s.ToDouble()));
        projekt_->Execute(
            "INSERT INTO StdRePos (REZuordnung, PosNr, Leistung, Menge, Satz, AlDispSatz, Summ, "
            "AlDispSumm, Datum) VALUES (?, ?, 'Planung', ?, ?, ?, ?, ?, ?)",
            velu::db::Params()
                .Add(int64_t{Rechnung})
                .Add(std::string(nr))
                .Add(m.Raw())
                .Add(s.Raw())
                .Add(velu::DMEuroUmrechnung(s, 1).Raw())
                .Add(summ.Raw())
                .Add(velu::DMEuroUmrechnung(summ, 1).Raw())
                .Add(std::string(datum)));
    }

    // An expense record as the expense window stores it; returns its key.
    struct Eintrag {
        const char* numm;
        int inputType;
        const char *menge, *satz, *summ, *alDispSatz, *alDispSumm;
        const char* datum = "2026-11-02";
        int phase = 0;
        bool verbucht = false;
        bool hide = false;
        const char* interSumm = "0";
        const char* alDispInterSumm = "0";
    };
    int64_t Erfassen(const Eintrag& a) {
        const auto c = [](const char* s) { return velu::Currency::FromString(s).Raw(); };
        projekt_->Execute(
            "INSERT INTO Projektaufwand (Numm, Leistung, Einheit, Menge, Satz, Summ, AlDispSatz, AlDispSumm, "
            "Mitarbeiter, Datum, Phzuordnung, INPUTType, SchonVerbucht, HIDE, interSumm, AlDispinterSumm) "
            "VALUES (?, 'Bauleitung', 'Std', ?, ?, ?, ?, ?, 'Meier', ?, ?, ?, ?, ?, ?, ?)",
            velu::db::Params()
                .Add(std::string(a.numm))
                .Add(c(a.menge))
                .Add(c(a.satz))
                .Add(c(a.summ))
                .Add(c(a.alDispSatz))
                .Add(c(a.alDispSumm))
                .Add(std::string(a.datum))
                .Add(int64_t{a.phase})
                .Add(int64_t{a.inputType})
                .Add(int64_t{a.verbucht ? -1 : 0})
                .Add(int64_t{a.hide ? -1 : 0})
                .Add(c(a.interSumm))
                .Add(c(a.alDispInterSumm)));
        return projekt_->LastInsertId();
    }
    bool Verbucht(int64_t lfnr) {
        velu::db::Recordset rs = projekt_->OpenRecordset(
            "SELECT Coalesce(SchonVerbucht, 0) AS v FROM Projektaufwand WHERE LfNr = ?",
            velu::db::Params().Add(lfnr));
        return rs.GetInt("v") != 0;
    }

    std::unique_ptr<velu::expenses::StdRech> Oeffnen(int anzeige, int eingabe) {
        auto f = std::make_unique<velu::expenses::StdRech>(*projekt_, *stamm_, *settings_);
        f->setWindowTitle("Stundenlohnrechnung 2026-001 Planung");
        f->Makeconection(Rechnung, int16_t(anzeige), int16_t(eingabe));
        return f;
    }
    // Typed into a cell of the positions grid, as the grid's editor hands it over.
    static bool Tippen(velu::expenses::StdRech& f, int row, const char* feld, const QString& text) {
        velu::forms::BoundGridModel* m = f.Positionen();
        return m->setData(m->index(row, m->ColumnOf(feld)), text, Qt::EditRole);
    }
    static QString Zelle(velu::expenses::StdRech& f, int row, const char* feld) {
        velu::forms::BoundGridModel* m = f.Positionen();
        return m->data(m->index(row, m->ColumnOf(feld))).toString();
    }

    // A stored field of the invoice's positions in entry order.
    velu::db::Value Gespeichert(int row, const std::string& feld) {
        velu::db::Recordset rs =
            projekt_->OpenRecordset("SELECT " + feld + " FROM StdRePos WHERE REZuordnung = ? ORDER BY LfNr",
                                    velu::db::Params().Add(int64_t{Rechnung}));
        if (row >= rs.RecordCount()) return {};
        rs.SetAbsolutePosition(row);
        return rs.Get(feld);
    }
    velu::Currency Betrag(int row, const std::string& feld) {
        const velu::db::Value v = Gespeichert(row, feld);
        return velu::Currency::FromRaw(std::holds_alternative<int64_t>(v) ? std::get<int64_t>(v) : 0);
    }
    int Positionen() {
        velu::db::Recordset rs = projekt_->OpenRecordset("SELECT Count(*) AS n FROM StdRePos");
        return int(rs.GetInt("n"));
    }
    static std::string Heute() { return QDate::currentDate().toString(Qt::ISODate).toStdString(); }

    TestDir dir_;
    std::shared_ptr<velu::db::Database> stamm_;
    std::shared_ptr<velu::db::Database> projekt_;
    std::unique_ptr<velu::settings::SettingsStore> settings_;
    velu::forms::MessageBoxScript boxen_;
};

inline velu::Currency C(const char* s) {
    return velu::Currency::FromString(s);
}
