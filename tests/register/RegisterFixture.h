#pragma once
// A fresh project database per test, created as the program creates one, with helpers to add calculations.
#include "core/DatabaseSetup.h"
#include "core/Money.h"
#include "platform/db/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

class ProjektFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        folder_ = std::filesystem::temp_directory_path() /
                  ("velu_register_" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(folder_);
        std::string error;
        db_ = velu::DatabaseSetup::CreateProjektDB(folder_ / "Velupro32.mdb", &error);
        ASSERT_TRUE(db_) << error;
    }
    void TearDown() override {
        db_.reset();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    // A calculation as the new-calculation dialog adds it: its own group unless ursprung is given.
    int64_t AddBerechnung(const std::string& typ, const std::string& name, int inputType = 0,
                          int64_t ursprung = 0, const std::string& gruppe = "Gruppe") {
        db_->Execute(
            "INSERT INTO BeReList (ReBezeichnung, REType, Gruppenbezeichnung, INPUTType, DisplayType, "
            "MwstPro, Modif) VALUES (?, ?, ?, ?, ?, ?, 0)",
            velu::db::Params()
                .Add(name)
                .Add(typ)
                .Add(gruppe)
                .Add(int64_t{inputType})
                .Add(int64_t{inputType})
                .Add(velu::Currency::FromUnits(16).Raw()));
        int64_t lfnr = db_->LastInsertId();
        db_->Execute("UPDATE BeReList SET Ursprung = ? WHERE LfNr = ?",
                     velu::db::Params().Add(ursprung ? ursprung : lfnr).Add(lfnr));
        return lfnr;
    }

    void SetCY(int64_t lfnr, const std::string& feld, const char* betrag) {
        db_->Execute("UPDATE BeReList SET " + feld + " = ? WHERE LfNr = ?",
                     velu::db::Params().Add(velu::Currency::FromString(betrag).Raw()).Add(lfnr));
    }
    velu::Currency GetCY(int64_t lfnr, const std::string& feld) {
        auto rs = db_->OpenRecordset("SELECT " + feld + " FROM BeReList WHERE LfNr = ?",
                                     velu::db::Params().Add(lfnr));
        return velu::GetCY(rs, feld);
    }
    velu::db::Value Get(int64_t lfnr, const std::string& feld) {
        auto rs = db_->OpenRecordset("SELECT " + feld + " FROM BeReList WHERE LfNr = ?",
                                     velu::db::Params().Add(lfnr));
        return rs.Get(feld);
    }

    std::filesystem::path folder_;
    std::unique_ptr<velu::db::Database> db_;
};
