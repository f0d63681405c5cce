#pragma once
// A master database with the delivered HOAI data in a fresh temporary folder, and small readers for the
// assertions.
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "core/MasterDataLoader.h"
#include "core/Money.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

inline std::filesystem::path HoaiDaten() {
    return std::filesystem::path(VELU_SOURCE_DIR) / "data" / "hoai";
}

// A master database without the delivered data.
inline std::unique_ptr<velu::db::Database> LeereStammDB(const TestDir& dir) {
    std::string error;
    auto db = velu::DatabaseSetup::CreateStammDB(dir / "VELUDAT32.MDB", &error);
    EXPECT_TRUE(db) << error;
    return db;
}

class StammFixture : public ::testing::Test {
public:
    void SetUp() override {
        std::string error;
        stamm_ = velu::DatabaseSetup::CreateStammDB(dir_ / "VELUDAT32.MDB", &error);
        ASSERT_TRUE(stamm_) << error;
        velu::MasterDataLoader::Load(*stamm_, HoaiDaten());
    }

    // Header number of the delivered table with that short name.
    int64_t Tafel(const std::string& kurz) {
        auto rs = stamm_->OpenRecordset("SELECT LfNr FROM TafelVerzeichnis WHERE HoaiPara = ?",
                                        velu::db::Params().Add(kurz));
        return rs.Empty() ? 0 : rs.GetInt("LfNr");
    }
    int64_t Zahl(const std::string& sql, const velu::db::Params& p = {}) {
        auto rs = stamm_->OpenRecordset(sql, p);
        return rs.GetInt(rs.FieldNames().at(0));
    }
    velu::db::Value Feld(const std::string& table, int64_t lfnr, const std::string& feld) {
        auto rs = stamm_->OpenRecordset("SELECT " + feld + " FROM " + table + " WHERE LfNr = ?",
                                        velu::db::Params().Add(lfnr));
        return rs.Empty() ? velu::db::Value() : rs.Get(feld);
    }
    std::string Text(const std::string& table, int64_t lfnr, const std::string& feld) {
        const velu::db::Value v = Feld(table, lfnr, feld);
        const auto* s = std::get_if<std::string>(&v);
        return s ? *s : std::string();
    }
    // Every row of a table as text, in the order of the axis, for comparing two tables.
    std::string Zeilen(int64_t tafel) {
        auto rs = stamm_->OpenRecordset(
            "SELECT AKosten, S1, S2, S3, S4, S5, S6, S7, S8, S9, S10 FROM Tafel WHERE LfNrTafel = ? "
            "ORDER BY AKosten",
            velu::db::Params().Add(tafel));
        std::string out;
        for (; !rs.EOF_(); rs.MoveNext()) {
            for (const auto& f : rs.FieldNames())
                out += (rs.IsNull(f) ? std::string("-") : std::to_string(rs.GetInt(f))) + ",";
            out += ";";
        }
        return out;
    }

    TestDir dir_;
    std::shared_ptr<velu::db::Database> stamm_;
};

inline velu::Currency CY(const char* s) {
    return velu::Currency::FromString(s);
}
