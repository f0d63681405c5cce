#pragma once
// The serial-letter window: the letters on the left (new, edit in the template editor, delete), the
// recipients from the address book on the right (searched by name, ticked), and "Serienbrief erstellen",
// which shows one document with a letter per recipient in the page view, to print or save as PDF.
#include "platform/outside/Adressbuch.h"
#include "platform/outside/Serienbriefe.h"

#include <QDialog>
#include <QWidget>
#include <functional>

class QLineEdit;
class QListWidget;

namespace velu::richtext {
class ScribantView;
}
namespace velu::forms {
class ToolBand;
}

namespace velu::outside {

class DruckVorlagenEditor;

// The merged letters in the page view.
class SerienbriefDokument : public QDialog {
    Q_OBJECT
public:
    explicit SerienbriefDokument(QWidget* parent = nullptr);
    richtext::ScribantView& Ansicht() { return *view_; }
    forms::ToolBand& Werkzeuge() { return *bar_; }

private:
    forms::ToolBand* bar_;
    richtext::ScribantView* view_;
};

class SerienbriefFenster : public QWidget {
    Q_OBJECT
public:
    SerienbriefFenster(std::unique_ptr<Serienbriefe> briefe, std::unique_ptr<Adressbuch> adressen,
                       QWidget* parent = nullptr);
    ~SerienbriefFenster() override;

    void FuelleBriefe(int64_t waehle = 0);
    void FuelleEmpfaenger();
    // Creates a letter and opens it in the template editor.
    void NeuerBrief();
    void Bearbeiten();
    void Loeschen();
    // Merges the chosen letter with the ticked recipients and shows the document; false (after a message)
    // when there is no letter or recipient.
    bool Erstellen();

    QListWidget* BriefListe() const { return briefListe_; }
    QListWidget* Empfaenger() const { return empfaenger_; }
    Serienbriefe& Briefe() { return *briefe_; }

    // Tests look at the editor and the document while they are shown.
    static std::function<void(DruckVorlagenEditor&)>& EditorHook();
    static std::function<void(SerienbriefDokument&)>& DokumentHook();

private:
    int64_t AktBrief() const;
    // Ticks of recipients by key, kept across searches.
    void Merke();

    std::unique_ptr<Serienbriefe> briefe_;
    std::unique_ptr<Adressbuch> adressen_;
    QListWidget* briefListe_;
    QLineEdit* suche_;
    QListWidget* empfaenger_;
    QList<qlonglong> gewaehlt_;
};

inline const QString SerienbriefLoeschen = QStringLiteral("Soll dieser Brief gelöscht werden?");
inline const QString KeinBriefGewaehlt = QStringLiteral("Bitte wählen Sie einen Brief.");

} // namespace velu::outside
