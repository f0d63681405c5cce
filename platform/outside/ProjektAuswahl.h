#pragma once
// The project chooser of the stand-in project-administration program: lists Projekte.mdb, chooses a
// project, creates one with number and name.
#include "platform/outside/ProjektListe.h"

#include <QDialog>

class QLineEdit;
class QTableWidget;

namespace velu::outside {

class ProjektAuswahl : public QDialog {
    Q_OBJECT
public:
    // projekteOrdner ends with "/"; vorwahl: number of the project to preselect. mitAnlegen: false offers
    // only the choice of a listed project.
    ProjektAuswahl(const QString& projekteOrdner, const QString& vorwahl, QWidget* parent = nullptr,
                   bool mitAnlegen = true);

    // The chosen project after the dialog was accepted.
    ProjektEintrag Gewaehlt() const { return gewaehlt_; }

    // The operations of the buttons, public for tests.
    // From the fields "Nummer" and "Bezeichnung"; the new project is then selected. False without them.
    bool Anlegen();
    bool Auswaehlen(); // accepts the selected row

private:
    void Fuellen(const QString& vorwahl);
    ProjektListe liste_;
    QTableWidget* tabelle_;
    QLineEdit* nummer_ = nullptr;
    QLineEdit* name_ = nullptr;
    ProjektEintrag gewaehlt_;
};

} // namespace velu::outside
