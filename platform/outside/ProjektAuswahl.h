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
    // projekteOrdner ends with "/"; vorwahl: number of the project to preselect.
    ProjektAuswahl(const QString& projekteOrdner, const QString& vorwahl, QWidget* parent = nullptr);

    // The chosen project after the dialog was accepted.
    ProjektEintrag Gewaehlt() const { return gewaehlt_; }

    // The operations of the buttons, public for tests.
    bool Anlegen();    // from the fields "Nummer" and "Bezeichnung"; the new project is then selected
    bool Auswaehlen(); // accepts the selected row

private:
    void Fuellen(const QString& vorwahl);
    ProjektListe liste_;
    QTableWidget* tabelle_;
    QLineEdit* nummer_;
    QLineEdit* name_;
    ProjektEintrag gewaehlt_;
};

} // namespace velu::outside
