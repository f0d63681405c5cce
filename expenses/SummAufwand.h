#pragma once
// The window "Summen " of the expense records: the sums per phase assignment on the tabs "Summe" (external
// amounts) and "Interne Summe" (internal amounts), in the currency the expense window displays. It only
// reads.
//
// Controls (objectName): dialog "SummAufwand"; tabs "SSTab1"; read-only fields
// "XtraText1(0)".."XtraText1(11)" (k = 0 none, 1 to 9 the phases, 10 hourly work, 11 the total) with labels
// "Label1(k)"; tool band "ActiveBar1", band "Band1", tools "OK", "EXIT", "DM", "EUR".
#ifndef Q_MOC_RUN
#include "expenses/AufwandSummen.h"
#endif

#include <QDialog>

#include <array>

class QLineEdit;
class QTabBar;

namespace velu::db {
class Database;
}
namespace velu::forms {
class ToolBand;
}

namespace velu::expenses {

class SummAufwand : public QDialog {
    Q_OBJECT
public:
    explicit SummAufwand(db::Database& projektDB, QWidget* parent = nullptr);

    // Writes the twelve fields for the selected tab and the mode.
    void displayArray();
    // Reads the sums (throws DbError) and shows them in the display currency.
    void MakeConections(int eingabe, int anzeige);
    void SwitchWährung(int anzeige);

    QLineEdit* XtraText1(int k) const { return feld_[size_t(k)]; }
    QTabBar* SSTab1() const { return tab_; }
    forms::ToolBand& ActiveBar1() { return *bar_; }
    void ToolClick(const QString& key);

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    db::Database& db_;
    AufwandSummen summen_;
    forms::ToolBand* bar_ = nullptr;
    QTabBar* tab_ = nullptr;
    std::array<QLineEdit*, 12> feld_{};
    int eingabe_ = 0;
    int anzeige_ = 0;
};

} // namespace velu::expenses
