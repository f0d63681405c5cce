#pragma once
// The project-data mask: the description and client lines, the order form and the dates of the planning
// schedule of one project's Prodat file. Every value is checked before anything is written; one that does
// not fit its 40-byte field is refused with a message and the file stays as it was.
#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

class QLineEdit;
class QTableWidget;

namespace velu::outside {

class DatumsWahl;
struct ProjektInfo;

class ProjektDatenMaske : public QDialog {
    Q_OBJECT
public:
    // The fields of the schedule grid, one row each, in this order.
    static constexpr int TerminFelder[] = {163, 164, 165, 166, 167, 168, 169, 170};
    // The building project number among them is no date.
    static constexpr int BvNrFeld = 165;

    ProjektDatenMaske(const QString& prodatPfad, const ProjektInfo& projekt, QWidget* parent = nullptr);
    ~ProjektDatenMaske() override;

    // Checks every value and writes them; false (after a message naming the field) when one is refused or
    // the file cannot be written, which leaves the file as it was.
    bool Speichern();
    // Opens the date picker over the schedule row's value; false for a row that holds no date or when no
    // picker is installed.
    bool KalenderOeffnen(int zeile);

    QLineEdit* Feld(int k) const;
    // Whether a field or date differs from what the file held when the mask read or last wrote it.
    bool Geaendert() const;
    QTableWidget* Termine() const { return termine_; }

public slots:
    // Esc and the close box: changes are saved, dropped or kept open as the user answers, never lost
    // silently. "Abbrechen" drops them without asking.
    void reject() override;

private:
    struct Zeile {
        int feld;
        QString bezeichnung;
        QString geladen;
    };
    QString Wert(int zeile) const;

    QString pfad_;
    struct Eingabe {
        int feld;
        QLineEdit* edit;
        QString geladen;
    };
    std::vector<Eingabe> edits_;
    std::vector<Zeile> zeilen_;
    QTableWidget* termine_;
    std::unique_ptr<DatumsWahl> kalender_;
};

inline const QString ProjektdatenGeaendert =
    QStringLiteral("Die Projektdaten wurden geändert. Sollen die Änderungen gespeichert werden?");

} // namespace velu::outside
