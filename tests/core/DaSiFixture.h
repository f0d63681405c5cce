#pragma once
// A small office for backup and restore tests: a projects folder with Projekte.mdb and project 00000007,
// and a system folder with the master and template databases.
#include "TestApp.h"
#include "core/DatabaseSetup.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace dasi_test {

namespace fs = std::filesystem;

class TestUmgebung : public velu::outside::ProjektUmgebung {
public:
    QString projekte, aktuell, nummer = "00000007", name = "Neubau Kita";
    std::map<QString, QString> pfade;
    QString ProjekteOrdner() override { return projekte; }
    bool DateiExistiert(const QString& p) override { return QFileInfo::exists(p); }
    QString ProjektOrdner() override { return aktuell; }
    QString PfadVonEinstellung(const QString& n, const QString& standard) override {
        auto it = pfade.find(n);
        return it == pfade.end() ? standard : it->second;
    }
    void AktProjekt(QString& a, QString& b, QString& c, QString&, QString&) override {
        a = nummer;
        b = aktuell;
        c = name;
    }
    bool SetAktProjekt(const QString&, const QString&) override { return true; }
};

// A database of the program's kind, made by the program's own code, with one table of data added.
inline void MakeDb(const fs::path& file, const std::string& kind, int rows) {
    fs::create_directories(file.parent_path());
    auto db = kind == "Stamm" ? velu::DatabaseSetup::CreateStammDB(file)
                              : velu::DatabaseSetup::CreateProjektDB(file);
    ASSERT_TRUE(db);
    db->Execute("CREATE TABLE Daten (Lfnr INTEGER PRIMARY KEY AUTOINCREMENT, Text TEXT, Betrag CURRENCY)");
    for (int i = 0; i < rows; ++i) {
        const velu::db::Value text = kind + " Zeile " + std::to_string(i);
        const velu::db::Value betrag = int64_t{i * 12345};
        db->Execute("INSERT INTO Daten (Text, Betrag) VALUES (?, ?)",
                    velu::db::Params().Add(text).Add(betrag));
    }
}

// Every table's rows as text, in key order, for comparing databases by content.
inline std::string Dump(const fs::path& file) {
    auto db = velu::db::Database::Open(file);
    if (!db) return "<fehlt>";
    std::string out;
    auto tables = db->OpenRecordset("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
    std::vector<std::string> names;
    for (tables.MoveFirst(); !tables.EOF_(); tables.MoveNext())
        names.push_back(tables.GetText("name"));
    for (const auto& t : names) {
        out += "[" + t + "]\n";
        auto rs = db->OpenRecordset("SELECT * FROM \"" + t + "\" ORDER BY rowid");
        for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
            for (const auto& f : rs.FieldNames())
                out += rs.GetText(f) + "|";
            out += "\n";
        }
    }
    return out;
}

inline std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The folder tree below root as "relative path: describe(entry)" lines in path order, lock files left out.
template <class Describe> std::string Tree(const fs::path& root, Describe describe) {
    std::map<std::string, std::string> items;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string rel = fs::relative(it->path(), root).generic_string();
        if (rel.size() > 4 && rel.substr(rel.size() - 4) == ".lck") continue;
        items[rel] = describe(*it);
    }
    std::string out;
    for (const auto& [k, v] : items)
        out += k + ": " + v + "\n";
    return out;
}

// Databases by content, other files by their bytes.
inline std::string Snapshot(const fs::path& root) {
    return Tree(root, [](const fs::directory_entry& e) {
        if (e.is_directory()) return std::string("<dir>");
        if (e.path().extension() == ".mdb" || e.path().extension() == ".MDB") return Dump(e.path());
        return ReadFile(e.path());
    });
}

// Raw bytes and permissions: what a failed restore must leave exactly as it was.
inline std::string Bytes(const fs::path& root) {
    return Tree(root, [](const fs::directory_entry& e) {
        const auto mode = std::to_string(static_cast<unsigned>(e.status().permissions()));
        return mode + (e.is_directory() ? " <dir>" : " " + ReadFile(e.path()));
    });
}

// A zip holding nothing but the backup comment: our writer refuses to make one, libzip writes no file.
inline void EmptyArchive(const fs::path& file, const std::string& descriptor) {
    const std::string comment = "VELUDASI1\n" + descriptor + "\n01.01.2026 00:00:00";
    std::string eocd("PK\5\6", 4);
    eocd += std::string(16, '\0');
    eocd += static_cast<char>(comment.size() & 0xff);
    eocd += static_cast<char>(comment.size() >> 8);
    std::ofstream(file, std::ios::binary) << eocd << comment;
}

class DaSiTest : public ::testing::Test {
public:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString();
        u.projekte = QString::fromStdString((root / "office/Projekte").string()) + "/";
        ASSERT_TRUE(velu::outside::ProjektListe(u.projekte).Anlegen());
        ASSERT_TRUE(velu::outside::ProjektListe(u.projekte).Eintragen("00000007", "Neubau Kita"));
        projekt = root / "office/Projekte/00000007.PRO";
        u.aktuell = QString::fromStdString(projekt.string());
        MakeDb(projekt / "Velupro32.mdb", "Projekt", 5);
        std::ofstream(projekt / "Prodat", std::ios::binary) << std::string(80, 'P');
        sys = root / "sys";
        MakeDb(sys / "VELUDAT32.MDB", "Stamm", 3);
        MakeDb(sys / "VELUVOR32.MDB", "Vorlage", 2);
        archiv = QString::fromStdString((root / "archiv.zip").string());
        // The preset archive lies in the documents folder: the test's own, not the user's.
        heim = root / "heim";
        fs::create_directories(heim / "Documents");
        for (const char* v : {"HOME", "XDG_CONFIG_HOME"})
            alt[v] = qgetenv(v);
        qputenv("HOME", QByteArray::fromStdString(heim.string()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((heim / ".config").string()));
    }
    void TearDown() override {
        for (const auto& [v, wert] : alt)
            if (wert.isNull())
                qunsetenv(v.c_str());
            else
                qputenv(v.c_str(), wert);
    }
    // Where the dialogs' preset archive lies.
    fs::path Vorgabe() const { return heim / "Documents/ARCHIV.ZIP"; }
    QString Sys() const { return QString::fromStdString(sys.string()); }
    fs::path Liste() const { return root / "office/Projekte/Projekte.mdb"; }

    QTemporaryDir dir;
    fs::path root, projekt, sys, heim;
    std::map<std::string, QByteArray> alt;
    TestUmgebung u;
    QString archiv;
};

} // namespace dasi_test
