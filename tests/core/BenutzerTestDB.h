#pragma once
// A new master database (as the program creates it: "SUPERVISOR" alone, passwords off) in a fresh temporary
// folder.
#include "core/Benutzer.h"
#include "core/DatabaseSetup.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace velu::test {

class BenutzerDB {
public:
    BenutzerDB() {
        std::string fehler;
        db_ = DatabaseSetup::CreateStammDB(std::filesystem::path(dir_.path().toStdString()) / "VELUDAT32.MDB",
                                           &fehler);
        if (!db_) throw std::runtime_error("Testdatenbank nicht angelegt: " + fehler);
    }

    db::Database& DB() { return *db_; }

    // Adds a user with a stored password value of any kind (default: none set).
    void Benutzer(const std::string& name, int32_t rechte, const std::string& passwort = KeinPasswortMarke) {
        db_->Execute(
            "INSERT INTO Zugriff (Benutzername, Passwort, OhnePasswort, Rechte) VALUES (:n, :p, 0, :r)",
            db::Params().Set("n", name).Set("p", passwort).Set("r", int64_t(rechte)));
    }

    std::string Gespeichert(const std::string& name) {
        auto rs = db_->OpenRecordset("SELECT Passwort FROM Zugriff WHERE upper(Benutzername) = upper(:n)",
                                     db::Params().Set("n", name));
        return rs.Empty() ? std::string("<fehlt>") : rs.GetText("Passwort");
    }

    int64_t Rechte(const std::string& name) {
        auto rs = db_->OpenRecordset("SELECT Rechte FROM Zugriff WHERE upper(Benutzername) = upper(:n)",
                                     db::Params().Set("n", name));
        return rs.Empty() ? -1 : rs.GetInt("Rechte");
    }

    int64_t Anzahl() {
        auto rs = db_->OpenRecordset("SELECT COUNT(*) AS n FROM Zugriff");
        return rs.GetInt("n");
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<db::Database> db_;
};

} // namespace velu::test
