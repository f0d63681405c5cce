#include "masterdata/Mitarbeiter.h"

#include "masterdata/BetragSpalten.h"

namespace velu::masterdata {

const QString Mitarbeiter::LoeschFrage = QStringLiteral("Soll dieser Mitarbeiter gelöscht werden");

namespace {

StammGridDialog::Aufbau MitarbeiterAufbau() {
    StammGridDialog::Aufbau a;
    a.name = "Mitarbeiter";
    a.caption = "Mitarbeiter";
    a.table = "Mitarbeiter";
    a.spalten.push_back(TextSpalte("Mitarbeiter", "Mitarbeiter", 50));
    a.spalten.push_back(BetragSpalte("StundensatzInt", "Stundensatz intern DM"));
    a.spalten.push_back(BetragSpalte("Stundensatzext", "Stundensatz extern DM"));
    a.spalten.push_back(BetragSpalte("AlDispStundensatzInt", "Stundensatz intern €", " €"));
    a.spalten.push_back(BetragSpalte("AlDispStundensatzext", "Stundensatz extern €", " €"));
    a.paare = {{"StundensatzInt", "AlDispStundensatzInt"}, {"Stundensatzext", "AlDispStundensatzext"}};
    a.loeschFrage = Mitarbeiter::LoeschFrage;
    a.breitSpalte = 0;
    return a;
}

} // namespace

Mitarbeiter::Mitarbeiter(db::Database& stamm, QWidget* parent)
    : StammGridDialog(stamm, MitarbeiterAufbau(), parent) {}

} // namespace velu::masterdata
