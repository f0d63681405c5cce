#pragma once
// The header-and-footer text program: edits the print templates (table DruckVorlagen of the master
// database) in the document control. The user chooses a template by document kind, edits its body, header,
// footer, name and margins, looks at the pages and saves; a template is stored as velu-doc with
// UNICODEFLAG 1, one row in one statement.
#include "platform/db/Database.h"
#include "platform/richtext/ScribantView.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QTabBar;

namespace velu::forms {
class ToolBand;
}

namespace velu::outside {

class DruckVorlagenEditor : public QDialog {
    Q_OBJECT
public:
    DruckVorlagenEditor(db::Database& stamm, QWidget* parent = nullptr);

    // Shows the templates of kind (1-7) and loads the one with key lfnr (0: the first of the kind).
    // False when the kind has no such template.
    bool Waehle(int art, int64_t lfnr = 0);
    // Offers only the one document kind art under the caption name (a database that keeps only that kind,
    // such as the serial letters).
    void NurArt(int art, const QString& name);
    int64_t AktLfnr() const { return lfnr_; }
    // Writes the parts of the template (name, margins, body, header, footer) that were changed here and keeps
    // the others as they are stored now, so another clerk's saved change to another part stays. False (with a
    // message) when the name is empty, when a part changed here was changed and saved elsewhere since it was
    // loaded, or when the write fails; each leaves the stored row as it was.
    bool Speichern();
    // Whether the template shown differs from what was loaded or last saved.
    bool Geaendert() const;
    richtext::ScribantView& Ansicht() { return *view_; }
    forms::ToolBand& Werkzeuge() { return *bar_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void FuelleVorlagen(int art);
    bool Lade(int64_t lfnr);
    void Befehl(const QString& key);
    // Asks to save unsaved changes; false when the user cancels.
    bool AenderungenKlaeren();
    // The parts as shown, in the order name, margins, body, header, footer.
    std::vector<QString> Teile() const;

    db::Database& stamm_;
    forms::ToolBand* bar_;
    QComboBox* art_;
    QComboBox* vorlage_;
    QLineEdit* bezeichnung_;
    QDoubleSpinBox* raender_[4];
    QTabBar* bereich_;
    richtext::ScribantView* view_;
    int64_t lfnr_ = 0;
    std::vector<QString> geladen_;     // Teile() when loaded or last saved
    std::vector<QString> gespeichert_; // the stored parts then, as GespeicherteTeile gives them
    bool laedt_ = false;
};

inline const QString DruckvorlageNichtLesbar =
    QStringLiteral("Die Druckvorlage konnte nicht gelesen werden.");
inline const QString DruckvorlageNichtGespeichert = QStringLiteral(
    "Die Druckvorlage konnte nicht gespeichert werden. Die gespeicherte Fassung bleibt erhalten.");
inline const QString DruckvorlageOhneBezeichnung = QStringLiteral("Bitte geben Sie eine Bezeichnung ein.");
inline const QString DruckvorlageAenderungen =
    QStringLiteral("Die Druckvorlage wurde geändert. Sollen die Änderungen gespeichert werden?");
inline const QString DruckvorlageInzwischenGeaendert = QStringLiteral(
    "Die Druckvorlage wurde inzwischen von einem anderen Benutzer geändert und gespeichert (%1). Ihre "
    "Änderungen wurden nicht gespeichert, die Fassung des anderen Benutzers bleibt erhalten. Bitte verwerfen "
    "Sie Ihre Änderungen, öffnen Sie die Druckvorlage neu und ändern Sie sie dann.");
inline const QString DruckvorlageGeloescht =
    QStringLiteral("Die Druckvorlage wurde inzwischen von einem anderen Benutzer gelöscht.");
inline const QString StammDBNichtGefunden =
    QStringLiteral("Die Stammdatenbank mit den Druckvorlagen konnte nicht geöffnet werden.");

} // namespace velu::outside
