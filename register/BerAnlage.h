#pragma once
// The dialog "Neue Berechnung anlegen": group name, calculation number and name, type and currency of a new
// calculation. OK checks the input and appends the calculation as the first of a new group; the dialog is
// then accepted and NeueLfNr() gives its number. EXIT, Esc and the close box hide it without creating
// anything.
#ifndef Q_MOC_RUN
#include "core/Currency.h"
#endif

#include <QDialog>
#include <QString>

#include <cstdint>

class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace velu {
namespace db {
class Database;
}
namespace forms {
class ToolBand;
}
} // namespace velu

namespace velu::reg {

class BerAnlage : public QDialog {
    Q_OBJECT
public:
    // mwstSatz: the VAT rate in force, written into the new calculation.
    BerAnlage(db::Database& projektDB, Currency mwstSatz, QWidget* parent = nullptr);

    // Proposes the group name; called after construction and before the dialog is shown.
    void Setdatabasename();
    // "Gruppe " & n as group name, number and name empty.
    void GruppenNr(int n);
    // Validates and, when valid, writes the calculation; ok only when it was written.
    void CheckInput(bool& ok);
    void ReStatus(QString& typ);
    // The OK and EXIT tools.
    void ToolClick(const QString& key);

    // Number of the calculation created, 0 before.
    int64_t NeueLfNr() const { return neueLfNr_; }
    forms::ToolBand& ActiveBar1() { return *bar_; }

    // Currency preselected from a formatted currency amount: DM (0) when it shows "DM", else EUR (1).
    static int WaehrungAusFormat(const QString& betrag);
    // The message for an empty required field, naming it.
    static QString EingabeErwartet(const QString& feld) {
        return QStringLiteral("Es wird eine Eingabe erwartet für „%1“.").arg(feld);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    db::Database& db_;
    Currency mwst_;
    forms::ToolBand* bar_ = nullptr;
    QLineEdit* xtraText1_[3] = {};
    QGroupBox* frame1_ = nullptr;
    QRadioButton* option1_[6] = {};
    QRadioButton* option2_[2] = {};
    int64_t neueLfNr_ = 0;
};

} // namespace velu::reg
