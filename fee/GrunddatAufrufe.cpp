// The dialogs the basic-data form opens: lump sums, points catalogue, surcharges. Each lives for one call;
// the form reads its result and writes it into the basic-data row.
#include "fee/Grunddat.h"

#include "core/AppState.h"
#include "core/Money.h"
#include "fee/Pauschal.h"
#include "fee/PunkteKat.h"
#include "fee/PunkteKatalog.h"
#include "fee/Zuschlaege.h"
#include "platform/db/Database.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/WindowPos.h"

#include <QLineEdit>
#include <QTabWidget>

#include <string>

namespace velu::fee {

namespace {

// Restores a dialog's window position on construction and saves it when the dialog goes.
class FensterPosition {
public:
    explicit FensterPosition(QWidget& dialog) : dialog_(dialog) {
        forms::LoadWindowPos(dialog_, App().Einstellungen());
    }
    ~FensterPosition() { forms::SaveWindowPos(dialog_, App().Einstellungen()); }
    FensterPosition(const FensterPosition&) = delete;
    FensterPosition& operator=(const FensterPosition&) = delete;

private:
    QWidget& dialog_;
};

} // namespace

void Grunddat::PauschalAufruf() {
    db::Recordset& g = calc_->Grunddaten();
    if (g.Empty() || g.EOF_() || g.BOF()) return;
    Abschnitte<Currency> pausch{}, alDispPausch{}, tafel{}, alDispTafel{};
    for (int k = 1; k <= 3; ++k) {
        const std::string s = std::to_string(k);
        pausch[k] = GetCY(g, "PHonorarAB" + s);
        alDispPausch[k] = GetCY(g, "AlDispPHonorarAB" + s);
        tafel[k] = GetCY(g, "GrHonorarAb" + s);
        alDispTafel[k] = GetCY(g, "AlDispGrHonorarAb" + s);
    }

    bool angenommen = false;
    {
        Pauschal dialog(this);
        const FensterPosition position(dialog);
        dialog.LoadPausch(pausch, alDispPausch, alDispTafel, tafel, eingabe_, anzeige_,
                          abschnitteInBenutzung_);
        for (int k = 1; k <= 3; ++k) {
            if (k <= abschnitteInBenutzung_ && tab_->isTabEnabled(k))
                dialog.BeschrifteZeile(k, tab_->tabText(k));
            else
                dialog.VerbergeZeile(k);
        }
        angenommen = dialog.exec() == QDialog::Accepted;
        if (angenommen) dialog.GetPausch(pausch, alDispPausch);
    }
    if (!angenommen) return;

    // With one section the phases of every section rest on section 1's lump sum.
    if (abschnitteInBenutzung_ == 1) {
        pausch[2] = pausch[3] = pausch[1];
        alDispPausch[2] = alDispPausch[3] = alDispPausch[1];
    }
    try {
        db::Transaction tx(projektDB_);
        g.Edit();
        for (int k = 1; k <= 3; ++k) {
            const std::string s = std::to_string(k);
            SetCY(g, "PHonorarAB" + s, pausch[k]);
            SetCY(g, "AlDispPHonorarAB" + s, alDispPausch[k]);
        }
        g.Update();
        calc_->CalcLeistungsbild(0);
        calc_->CalcLeistungsbild(1);
        tx.Commit();
    } catch (...) {
        // The row in memory goes back to what the rolled-back database holds.
        calc_->OpenGrunddaten();
        throw;
    }
    fillHonorarFelder();
    if (tab_->currentIndex() == 4) fillLeistungsbildGrid();
}

void Grunddat::punktekataufruf() {
    const db::Recordset& p = calc_->Leistungsbild();
    const bool hatP = !p.Empty() && !p.EOF_() && !p.BOF();
    const auto katalog = static_cast<int32_t>(hatP ? p.GetInt("Punktekatzuordnung", 0) : 0);
    if (katalog <= 1) {
        forms::MsgBox(this, "Ein Punktekatalog ist nicht verfügbar", forms::MsgButtons::OK,
                      forms::MsgIcon::Critical);
        return;
    }

    // Also opened by a click on the locked zone field, outside the toolbar's error handling.
    try {
        int16_t zone = 0;
        ZonenErgebnis grund = ZonenErgebnis::KeinePunkte;
        {
            PunkteKat dialog(projektDB_, stammDB_, this);
            const FensterPosition position(dialog);
            dialog.LoadPunktekat(katalog, anlageGruppe_, berListNr_);
            if (!dialog.KeineKriterien()) dialog.exec();
            zone = dialog.HOAIZone();
            grund = dialog.HOAIZoneGrund();
        }

        // The row first: a failed write leaves the field and its lock as they were.
        db::Recordset& g = calc_->Grunddaten();
        if (zone != 0) {
            g.Edit();
            g.SetBool("PunktekatUsed", true);
            g.Update();
            const bool neueZone = text1_[1]->text().trimmed() != QString::number(zone);
            text1_[1]->setText(QString::number(zone));
            SetZoneAusPunktekat(true);
            // The fee shown follows the new zone at once, so it never differs from the fee stored on leaving.
            if (neueZone) {
                const int16_t code = CheckCalcGrDaten();
                if (istEingabeFehler(code))
                    fokusNachFehler(code);
                else if (tab_->currentIndex() == 4)
                    fillLeistungsbildGrid();
            }
            return;
        }
        // Only points set the zone: without any the zone stays as it was, and so does the fee. Points are
        // discarded only when nothing was awarded; points whose total gives no zone stay for the next try,
        // the dialog has said why.
        const bool nichtsVergeben = grund == ZonenErgebnis::KeinePunkte;
        db::Transaction tx(projektDB_);
        if (nichtsVergeben) PunkteKatalog(projektDB_, stammDB_).PunkteVerwerfen(anlageGruppe_, berListNr_);
        g.Edit();
        g.SetBool("PunktekatUsed", false);
        g.Update();
        tx.Commit();
        SetZoneAusPunktekat(false);
    } catch (const std::exception& e) {
        fehlerZeigen(e);
        try {
            calc_->OpenGrunddaten();
        } catch (const std::exception&) {
            // The first message stands for both.
        }
    }
}

void Grunddat::ZuschlaegeAufruf() {
    {
        Zuschlaege dialog(projektDB_, stammDB_, this);
        const FensterPosition position(dialog);
        dialog.WährungsInput(eingabe_);
        dialog.Makeconection(anzeige_, anlageGruppe_, berListNr_);
        dialog.exec();
    }
    // The surcharge rows as the dialog left them go into the phase fees.
    ZuschlaegeUebernehmen();
}

} // namespace velu::fee
