#pragma once
// Two projects in a projects folder with their list, a master database, and a project environment over them:
// the data the project reports read.
#include "TestApp.h"
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "core/Money.h"
#include "platform/db/Database.h"
#include "platform/outside/Prodat.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace berichte {

inline int64_t Cy(const char* betrag) {
    return velu::Currency::FromString(betrag).Raw();
}

class Umgebung : public velu::outside::ProjektUmgebung {
public:
    QString projekte, aktuell = "00000001", name = "Kita Stadtpark";
    QString ProjekteOrdner() override { return projekte; }
    bool DateiExistiert(const QString& p) override { return QFileInfo::exists(p); }
    QString ProjektOrdner() override { return projekte + aktuell + ".PRO"; }
    QString PfadVonEinstellung(const QString&, const QString& standard) override { return standard; }
    void AktProjekt(QString& a, QString& b, QString& c, QString&, QString&) override {
        a = aktuell;
        b = ProjektOrdner();
        c = name;
    }
    bool SetAktProjekt(const QString&, const QString&) override { return true; }
};

struct BerichtFixture {
    TestDir dir;
    Umgebung umgebung;
    std::unique_ptr<velu::db::Database> stamm;
    QString stammPfad;

    BerichtFixture() {
        testApp();
        umgebung.projekte = QString::fromStdString((dir / "Projekte").string()) + "/";
        QDir().mkpath(umgebung.projekte);
        EXPECT_TRUE(velu::outside::ProjektListe(umgebung.projekte).Anlegen());
        stammPfad = QString::fromStdString((dir / "VELUDAT32.MDB").string());
        std::string err;
        stamm = velu::DatabaseSetup::CreateStammDB(stammPfad.toStdString(), &err);
        EXPECT_TRUE(stamm) << err;
    }

    // Lists the project; with a database in its folder (named in the letter case given) unless mdb is empty.
    std::unique_ptr<velu::db::Database> Projekt(const QString& nummer, const QString& name,
                                                const QString& ordner = {},
                                                const QString& mdb = "Velupro32.mdb") {
        EXPECT_TRUE(velu::outside::ProjektListe(umgebung.projekte).Eintragen(nummer, name));
        const QString o = umgebung.projekte + (ordner.isEmpty() ? nummer + ".PRO" : ordner);
        QDir().mkpath(o);
        if (mdb.isEmpty()) return nullptr;
        std::string err;
        auto db = velu::DatabaseSetup::CreateProjektDB((o + "/" + mdb).toStdString(), &err);
        EXPECT_TRUE(db) << err;
        return db;
    }
    QString ProjektPfad(const QString& nummer) const {
        return umgebung.projekte + nummer + ".PRO/Velupro32.mdb";
    }

    // One calculation; amounts as decimal texts, the twin in the other currency.
    static void Berechnung(velu::db::Database& db, int lfnr, const char* typ, int ursprung, const char* ende,
                           const char* endeAnders, int inputType = 0, const QString& nummer = {},
                           const char* netto = "0", const char* nettoAnders = "0") {
        velu::db::Params p;
        p.Add(int64_t(lfnr)).Add(std::string(typ)).Add(int64_t(ursprung));
        if (ende)
            p.Add(Cy(ende));
        else
            p.Add(velu::db::Value());
        p.Add(Cy(endeAnders)).Add(int64_t(inputType));
        p.Add((nummer.isEmpty() ? QString("R %1").arg(lfnr) : nummer).toStdString());
        p.Add(Cy(netto)).Add(Cy(nettoAnders));
        db.Execute(
            "INSERT INTO BeReList (LfNr, REType, Ursprung, Endbetrag, AlDispEndbetrag, INPUTType, ReNummer, "
            "BerNetto, AlDispBerNetto, ReBezeichnung, Redatum) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "'Rechnung', '2024-03-15')",
            p);
    }
    static void Zahlung(velu::db::Database& db, int lfnr, const char* betrag, const char* anders) {
        db.Execute("INSERT INTO Zahlung (LfNrBeReList, Zahlung, AlDispZahlung, Datum, Bemerkung) "
                   "VALUES (?, ?, ?, '2024-04-01', 'Überweisung')",
                   velu::db::Params().Add(int64_t(lfnr)).Add(Cy(betrag)).Add(Cy(anders)));
    }
};

// The text of a PDF, empty when pdftotext is missing.
inline QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline bool HatPdftotext() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

} // namespace berichte
