#include "masterdata/Mitarbeiter.h"

#include "masterdata/BetragSpalten.h"

namespace velu::masterdata {

const QString Mitarbeiter::LoeschFrage = QStringLiteral("Soll dieser Mitarbeiter gelöscht werden");

namespace {

const QString NegativMeldung = QStringLiteral("Ein Stundensatz kann nicht negativ sein.");

// A rate column that takes no amount below 0: a negative rate would bill the client a credit per hour.
forms::BoundColumn Stundensatz(const char* feld, const QString& caption, const QString& einheit = {}) {
    forms::BoundColumn c = BetragSpalte(feld, caption, einheit);
    const auto betrag = c.lesen;
    const auto negativ = [betrag](const QString& text) {
        const auto v = betrag(text);
        const auto* raw = v ? std::get_if<int64_t>(&*v) : nullptr;
        return raw && *raw < 0;
    };
    c.lesen = [betrag, negativ](const QString& text) -> std::optional<db::Value> {
        if (negativ(text)) return std::nullopt;
        return betrag(text);
    };
    c.ablehnung = [negativ](const QString& text) {
        return negativ(text) ? NegativMeldung : forms::BoundGridModel::NumerischMeldung;
    };
    return c;
}

StammGridDialog::Aufbau MitarbeiterAufbau() {
    StammGridDialog::Aufbau a;
    a.name = "Mitarbeiter";
    a.caption = "Mitarbeiter";
    a.table = "Mitarbeiter";
    a.spalten.push_back(TextSpalte("Mitarbeiter", "Mitarbeiter", 50));
    a.spalten.push_back(Stundensatz("StundensatzInt", "Stundensatz intern DM"));
    a.spalten.push_back(Stundensatz("Stundensatzext", "Stundensatz extern DM"));
    a.spalten.push_back(Stundensatz("AlDispStundensatzInt", "Stundensatz intern €", " €"));
    a.spalten.push_back(Stundensatz("AlDispStundensatzext", "Stundensatz extern €", " €"));
    a.paare = {{"StundensatzInt", "AlDispStundensatzInt"}, {"Stundensatzext", "AlDispStundensatzext"}};
    a.loeschFrage = Mitarbeiter::LoeschFrage;
    a.breitSpalte = 0;
    return a;
}

} // namespace

Mitarbeiter::Mitarbeiter(db::Database& stamm, QWidget* parent)
    : StammGridDialog(stamm, MitarbeiterAufbau(), parent) {}

} // namespace velu::masterdata
