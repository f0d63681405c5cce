#pragma once
// The address mask: search the address book by name, enter, change and delete addresses. Opened for a
// project, it also takes the chosen address as the project's client (client lines of Prodat).
#include "platform/outside/Adressbuch.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace velu::outside {

class AdressMaske : public QDialog {
    Q_OBJECT
public:
    struct Projekt {
        ProjektInfo info;
        QString prodatPfad;
    };
    AdressMaske(Adressbuch& buch, std::optional<Projekt> projekt, QWidget* parent = nullptr);

    // Refills the list with the addresses whose name contains the search text.
    void Suchen();
    // Shows the address of the list row (after asking about unsaved changes); false when the user cancels.
    bool Zeige(int zeile);
    void Neu();
    // Writes the address shown; false (after a message) when refused.
    bool Speichern();
    // Asks, then deletes the address shown.
    void Loeschen();
    // Stores the address shown when it is new or changed, then writes it as the project's client; false
    // (after a message) when that is refused.
    bool AlsBauherr();

    QLineEdit* Feld(const char* name) const;
    QTableWidget* Liste() const { return liste_; }
    const Adresse& Aktuell() const { return aktuell_; }

public slots:
    void reject() override;

private:
    Adresse AusMaske() const;
    void InMaske(const Adresse& a);
    bool Geaendert() const;
    // Saves, discards or cancels unsaved changes; false on cancel.
    bool AenderungenKlaeren();
    void ZeigeBauherr();

    Adressbuch& buch_;
    std::optional<Projekt> projekt_;
    QLineEdit* suche_;
    QTableWidget* liste_;
    std::vector<std::pair<const char*, QLineEdit*>> felder_;
    QLabel* bauherr_ = nullptr;
    QLabel* hinweis_ = nullptr;
    Adresse aktuell_;
    bool laedt_ = false;
};

inline const QString AdresseGeaendert =
    QStringLiteral("Die Adresse wurde geändert. Sollen die Änderungen gespeichert werden?");
inline const QString AdresseLoeschen = QStringLiteral("Soll diese Adresse gelöscht werden?");
inline const QString BauherrUebernommen =
    QStringLiteral("Die Anschrift wurde als Bauherr in die Projektdaten übernommen.");

} // namespace velu::outside
