#include "core/AppState.h"

#include "core/LoginProvider.h"
#include "platform/db/Database.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/StandInProgramme.h"
#include "platform/settings/SettingsStore.h"

#include <QPointer>
#include <QWidget>

namespace velu {

struct AppState::Owner {
    QPointer<QWidget> window;
};

AppState::AppState() : owner_(std::make_unique<Owner>()) {}
AppState::~AppState() = default;

void AppState::SetProjekt(std::shared_ptr<db::Database> db, const QString& pfad) {
    projekt_ = std::move(db);
    projektPfad_ = pfad;
    emit ProjektGewechselt();
}

void AppState::CloseDatabases() {
    stamm_.reset();
    projekt_.reset();
}

std::shared_ptr<outside::IniUmgebung> AppState::NeueUmgebung(const QString& buero) {
    Einstellungen();
    return std::make_shared<outside::IniUmgebung>(buero + QStringLiteral("/umgebung.ini"), settings_);
}

outside::ProjektUmgebung& AppState::Umgebung() {
    if (!umgebung_) umgebung_ = NeueUmgebung(outside::BueroOrdner());
    return *umgebung_;
}

outside::AussenProgramme& AppState::Programme() {
    if (!programme_) {
        // The stand-ins write the current project, so they need the INI environment itself.
        auto ini = std::dynamic_pointer_cast<outside::IniUmgebung>(umgebung_);
        if (!ini) {
            ini = NeueUmgebung(outside::BueroOrdner());
            if (!umgebung_) umgebung_ = ini;
        }
        struct Holder : outside::StandInProgramme {
            Holder(std::shared_ptr<outside::IniUmgebung> u, QWidget* w)
                : outside::StandInProgramme(*u, w), keep(std::move(u)) {}
            std::shared_ptr<outside::IniUmgebung> keep;
        };
        auto programme = std::make_shared<Holder>(ini, owner_->window.data());
        // Right bit 0: create, change and choose projects.
        programme->SetDarfAnlegen([this] { return (rechte_ & 1) != 0; });
        programme_ = std::move(programme);
    }
    return *programme_;
}

LoginProvider& AppState::Login() {
    if (!login_) login_ = std::make_shared<DialogLogin>();
    return *login_;
}

settings::SettingsStore& AppState::Einstellungen() {
    if (!settings_) settings_ = std::make_shared<settings::SettingsStore>();
    return *settings_;
}

QWidget* AppState::Hauptfenster() const {
    return owner_->window.data();
}

void AppState::SetHauptfenster(QWidget* w) {
    owner_->window = w;
    if (auto* s = dynamic_cast<outside::StandInProgramme*>(programme_.get())) s->SetOwner(w);
}

void AppState::Reset() {
    mwst_ = Currency::FromUnits(16);
    stamm_.reset();
    projekt_.reset();
    stammPfad_.clear();
    projektPfad_.clear();
    benutzer_.clear();
    rechte_ = 0;
    reportPfad_.clear();
    sysPfad_.clear();
    hilfe_.clear();
    umgebung_.reset();
    programme_.reset();
    login_.reset();
    migration_ = nullptr;
    formen_.Clear();
    settings_.reset();
    owner_->window = nullptr;
}

AppState& App() {
    static AppState state;
    return state;
}

} // namespace velu
