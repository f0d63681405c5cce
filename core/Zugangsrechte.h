#pragma once
// The dialog "Zugangsrechte": the logged-in user changes their own password; given bit 9 of their rights,
// they also edit the users and their rights; "SUPERVISOR" switches password protection on or off.
//
// Controls (objectName): tab control "SSTab1" (tabs "Passwort ändern", "Zugangsrechte"), user label "Label1",
// password fields "XtraText1_0" (new) and "XtraText1_1" (confirmation), check box "Check2", users grid
// "SSDBGrid1" (a forms::BoundGridView), frame "Frame1" with the rights boxes "Check1_0" to "Check1_12", tool
// band "ActiveBar1" (band "Band1") with the tool "OK".
//
// The grid shows "Benutzername", "OhnePasswort" ("Ja"/"Nein") and "Rechte" (read-only, the rights by name);
// the stored password is not in it.
// Rights are stored through the rights boxes, always into the row they were ticked for.
#include "platform/db/Database.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace velu::forms {
class ToolBand;
}

namespace velu {

class Zugangsrechte : public QDialog {
    Q_OBJECT
public:
    Zugangsrechte(db::Database& stammDB, const QString& aktBenutzer, int32_t aktRechte,
                  QWidget* parent = nullptr);
    ~Zugangsrechte() override;

    // Stores the rights shown in the boxes into the given grid row (the row they were ticked for).
    void SetRechte(int row);
    void Getoptions(int row, int32_t& rechte) const;
    // Shows the rights of the grid's current row; grau 1 shows them greyed (the SUPERVISOR row).
    void SetOptions(int16_t& grau);

    void ToolClick(const QString& key);

    forms::BoundGridModel& Model() { return *model_; }
    forms::BoundGridView& Grid() { return *grid_; }

    bool PasswortGeaendert() const { return passwortGeaendert_; }
    bool RechteGeaendert() const { return rechteGeaendert_; }

    static constexpr int RechteTab = 1;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Ok();
    void Schliessen(QCloseEvent* event);
    void CheckPasswortEingabe(bool& ok);
    void PasswortSpeichern(bool fragen, bool& abbruch);
    void MitPasswortSpeichern();
    void ZeileAktuell(int row);
    void TabGewechselt();
    void PasswortFelderLeeren();
    QString Name(int row) const;

    db::Database& stammDB_;
    QString aktBenutzer_;
    int32_t aktRechte_;

    QTabWidget* tab_ = nullptr;
    QLabel* benutzerLabel_ = nullptr;
    std::array<QLineEdit*, 2> passwort_{};
    QCheckBox* mitPasswortschutz_ = nullptr;
    forms::BoundGridView* grid_ = nullptr;
    std::unique_ptr<forms::BoundGridModel> model_;
    QGroupBox* frame1_ = nullptr;
    std::array<QCheckBox*, 13> check1_{};
    forms::ToolBand* toolband_ = nullptr;

    bool passwortGeaendert_ = false;
    bool rechteGeaendert_ = false;
    bool zeileGeaendert_ = false;
};

} // namespace velu
