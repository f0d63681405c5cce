#pragma once
// The dialog "Punktekatalog": the user awards the points of one calculation and plant group; HOAIZone turns
// the stored points into the fee zone. The criteria are copied from the master catalogue on first use.
//
// Controls (objectName): picture box "Picture1" holding the grid "SSDBGrid1" (a forms::BoundGridView over
// PunkteTab, columns "Bezeichnung", "Maximal", "Punkte"), tool band "ActiveBar1" (band "Band1", tool "OK").
//
// Opener's order: construct, LoadWindowPos, LoadPunktekat, exec() unless KeineKriterien(), HOAIZone,
// SaveWindowPos, delete. OK, Esc and the close box all hide the dialog the same way (accepted).
#include "fee/PunkteKatalog.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace velu::forms {
class ToolBand;
}

namespace velu::fee {

class PunkteKat : public QDialog {
    Q_OBJECT
public:
    PunkteKat(db::Database& projektDB, db::Database& stammDB, QWidget* parent = nullptr);
    ~PunkteKat() override;

    // Binds the grid to the points of the calculation and group, copying the catalogue in first when there
    // are none. Without any criteria it tells the user, leaves the toolbar tag "W" and hides the dialog.
    void LoadPunktekat(int32_t katalog, int16_t gruppe, int32_t berListNr);
    // Fee zone 0 to 5 of the stored points; changes nothing and may be called any number of times.
    int16_t HOAIZone();
    // Why the last HOAIZone gave its result: with 0, whether nothing was awarded (KeinePunkte), the total
    // lies in no zone range (KeinBereich) or the catalogue has no zone bounds (KeinVerzeichnis). The opener
    // keeps the zone the user typed in every case of 0, and keeps the points unless nothing was awarded.
    ZonenErgebnis HOAIZoneGrund() const { return grund_; }
    // The toolbar tag "W": the catalogue has no criteria; the opener does not show the dialog.
    bool KeineKriterien() const;
    QString Tag() const;

    void ToolClick(const QString& key);

    forms::BoundGridModel* Model() { return model_.get(); }
    forms::BoundGridView& Grid() { return *grid_; }
    forms::ToolBand& Toolband() { return *toolband_; }

    static const QString KeinKatalogMeldung;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Ok();
    void Binden(db::Recordset rs);

    PunkteKatalog katalog_;
    int32_t katalogNr_ = 0;
    int16_t gruppe_ = 0;
    int32_t berListNr_ = 0;
    ZonenErgebnis grund_ = ZonenErgebnis::KeinePunkte;

    QWidget* picture1_ = nullptr;
    forms::BoundGridView* grid_ = nullptr;
    std::unique_ptr<forms::BoundGridModel> model_;
    forms::ToolBand* toolband_ = nullptr;
};

} // namespace velu::fee
