#pragma once
// The VAT rate: its setting ("MwSt" / "value") and the dialog MwSt that changes it.
#ifndef Q_MOC_RUN
#include "core/Currency.h"
#endif

#include <QDialog>
#include <optional>

class QLineEdit;

namespace velu {
namespace forms {
class ToolBand;
}
namespace settings {
class SettingsStore;
}

// A typed rate: "16", "16,5" or "16.5", from 0 to 99.99 with at most four decimals; nullopt otherwise.
std::optional<Currency> ParseMwStSatz(const QString& text);
// "16", "16,5": German decimal comma, no trailing zeros.
QString FormatMwStSatz(Currency satz);

// The rate when none is stored: the German standard rate since 2007.
inline Currency StandardMwStSatz() {
    return Currency::FromUnits(19);
}

// The stored rate; nullopt when none is stored or it cannot be read.
std::optional<Currency> LeseMwStSatz(settings::SettingsStore& store);
// Stores the rate; false when the settings cannot be written.
bool SpeichereMwStSatz(Currency satz, settings::SettingsStore& store);

class MwSt : public QDialog {
    Q_OBJECT
public:
    explicit MwSt(QWidget* parent = nullptr);
    forms::ToolBand& ActiveBar() { return *bar_; }

    // The OK command: takes the typed rate into MwStSatz and App().Einstellungen() and closes; refuses bad
    // input with a message and stays open. Returns whether it stored.
    bool Uebernehmen();

private:
    QLineEdit* text_;
    forms::ToolBand* bar_;
};

} // namespace velu
