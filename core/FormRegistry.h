#pragma once
// Forms opened by the main window, by name ("BerAuswahl", "Aufwand", "PrintFormKO", "LBild", "HOAITAFEL",
// "Grundleistung", "Mitarbeiter", "Zugangsrechte", "MwSt", "DaSiOut", "DaSiin"). The subsystems above core
// register their forms at program start (core/main.cpp), so core needs none of their headers; a name
// without a factory yields a placeholder that shows its caption and says that it comes later.
//
// A factory creates a fresh form owned by owner. Child windows ("BerAuswahl", "Aufwand") are plain
// widgets the main window puts into its MDI area; the others are QDialogs it shows (modally, or modeless
// for "DaSiOut"/"DaSiin", whose closing it waits for).
#include <QString>
#include <functional>
#include <map>

class QWidget;

namespace velu {

using FormFactory = std::function<QWidget*(QWidget* owner)>;

class FormRegistry {
public:
    void Register(const QString& name, FormFactory f) { factories_[name] = std::move(f); }
    bool Has(const QString& name) const { return factories_.count(name) != 0; }
    // The registered form, else a placeholder (a child widget for child-window names, else a dialog).
    QWidget* Create(const QString& name, QWidget* owner) const;
    void Clear() { factories_.clear(); }

    // The caption of a known form name (its placeholder's title).
    static QString Caption(const QString& name);
    // Whether name is one of the main window's child windows.
    static bool IstKindfenster(const QString& name);

private:
    std::map<QString, FormFactory> factories_;
};

} // namespace velu
