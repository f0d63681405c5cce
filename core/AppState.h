#pragma once
// The process-wide state of the program: set up at start, read by every subsystem through velu::App().
// Nothing else in the program holds global mutable state.
//
// - MwStSatz: VAT rate in percent (start-up reads it, the VAT dialog changes it).
// - StammDB / StammDBPfad: the master database VELUDAT32.MDB; replaced only by OpenStammDB.
// - ProjektDB / ProjektDBPfad: the current project's Velupro32.mdb; replaced together, and only by
//   OpenProjektDB once the new database is open. ProjektDB is null while no project database is open.
// - AktBenutzer / AktRechte: current user and rights mask (bits 0 to 12; 8191 = every right).
// - ReportPfad, SysPfad, HilfeDatei: folders set at start.
// - Umgebung: the project environment (created on first use over umgebung.ini of the office data folder).
// - Programme: the outside programs (stand-ins unless a test installs fakes).
//
// Database handles are shared: a form may keep a std::shared_ptr while it works; the database closes when
// the last holder lets go. CloseDatabases() drops the state's handles (backup, restore, reorganisation).
// moc cannot parse <compare>, which the currency type needs.
#ifndef Q_MOC_RUN
#include "core/Currency.h"
#endif
#include "core/FormRegistry.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace velu::db {
class Database;
}
namespace velu::settings {
class SettingsStore;
}
namespace velu::outside {
class ProjektUmgebung;
class IniUmgebung;
class AussenProgramme;
} // namespace velu::outside

namespace velu {

class LoginProvider;

// Offer to take calculations over from the older project database alt into the new database neu.
using MigrationsAngebot = std::function<void(const QString& alt, const QString& neu)>;

class AppState : public QObject {
    Q_OBJECT
public:
    AppState();
    ~AppState() override;

    Currency MwStSatz() const { return mwst_; }
    void SetMwStSatz(Currency c) { mwst_ = c; }

    db::Database* StammDB() const { return stamm_.get(); }
    std::shared_ptr<db::Database> StammDBHandle() const { return stamm_; }
    const QString& StammDBPfad() const { return stammPfad_; }
    void SetStammDBPfad(const QString& p) { stammPfad_ = p; }
    void SetStammDB(std::shared_ptr<db::Database> db) { stamm_ = std::move(db); }

    db::Database* ProjektDB() const { return projekt_.get(); }
    std::shared_ptr<db::Database> ProjektDBHandle() const { return projekt_; }
    const QString& ProjektDBPfad() const { return projektPfad_; }
    // Replaces handle and path together and announces ProjektGewechselt.
    void SetProjekt(std::shared_ptr<db::Database> db, const QString& pfad);

    // Drops both handles (the paths stay).
    void CloseDatabases();

    const QString& AktBenutzer() const { return benutzer_; }
    int32_t AktRechte() const { return rechte_; }
    void SetBenutzer(const QString& name, int32_t rechte) {
        benutzer_ = name;
        rechte_ = rechte;
    }

    const QString& ReportPfad() const { return reportPfad_; }
    const QString& SysPfad() const { return sysPfad_; }
    const QString& HilfeDatei() const { return hilfe_; }
    void SetPfade(const QString& report, const QString& sys, const QString& hilfe) {
        reportPfad_ = report;
        sysPfad_ = sys;
        hilfe_ = hilfe;
    }

    // Created on first use over <office data folder>/umgebung.ini unless one was installed.
    outside::ProjektUmgebung& Umgebung();
    bool HatUmgebung() const { return umgebung_ != nullptr; }
    void SetUmgebung(std::shared_ptr<outside::ProjektUmgebung> u) { umgebung_ = std::move(u); }
    // The environment of the office in buero, keeping this clerk's current project in his own settings.
    std::shared_ptr<outside::IniUmgebung> NeueUmgebung(const QString& buero);

    // The outside programs; stand-ins over the environment on first use unless installed.
    outside::AussenProgramme& Programme();
    void SetProgramme(std::shared_ptr<outside::AussenProgramme> p) { programme_ = std::move(p); }

    // The login asked for when users or passwords are in use; the login dialog unless one was installed.
    LoginProvider& Login();
    void SetLogin(std::shared_ptr<LoginProvider> l) { login_ = std::move(l); }

    // Called when a project database was just created from the template and the older one lies beside it;
    // unset: the migration of core/Migration with its question and messages in German message boxes.
    const MigrationsAngebot& Migration() const { return migration_; }
    void SetMigration(MigrationsAngebot m) { migration_ = std::move(m); }

    // The user's settings store; the program's own unless one was installed (tests).
    settings::SettingsStore& Einstellungen();
    void SetEinstellungen(std::shared_ptr<settings::SettingsStore> s) { settings_ = std::move(s); }

    // The forms the main window opens by name.
    FormRegistry& Formen() { return formen_; }

    // Window that titles start-up messages and owns the outside programs' dialogs (the main window).
    QWidget* Hauptfenster() const;
    void SetHauptfenster(QWidget* w);

    // Back to the state before start (tests).
    void Reset();

signals:
    // The project database was replaced by another one (or reopened).
    void ProjektGewechselt();

private:
    Currency mwst_ = Currency::FromUnits(19);
    std::shared_ptr<db::Database> stamm_, projekt_;
    QString stammPfad_, projektPfad_;
    QString benutzer_;
    int32_t rechte_ = 0;
    QString reportPfad_, sysPfad_, hilfe_;
    std::shared_ptr<outside::ProjektUmgebung> umgebung_;
    std::shared_ptr<outside::AussenProgramme> programme_;
    std::shared_ptr<LoginProvider> login_;
    MigrationsAngebot migration_;
    FormRegistry formen_;
    std::shared_ptr<settings::SettingsStore> settings_;
    struct Owner;
    std::unique_ptr<Owner> owner_;
};

// The one instance.
AppState& App();

} // namespace velu
