#pragma once
// The basic-data form of one fee calculation (offer, invoice, comparison): its inputs, plant groups, the cost
// lines per cost section, the phase grid and the toolbar. The fee computation itself is the FeeCalculation
// the form owns; the form fills it with what the user typed and shows what it stored.
//
//     Grunddat form(projektDB, stammDB, owner);
//     form.setWindowTitle("Grunddaten 12 Neubau");
//     if (form.MakeconectionGRDAT(lfnr, displayType, inputType, rechnungsart)) form.exec();
//
// Controls carry their names as objectName: "SSTab1" (tab 0 inputs, 1 to 3 cost sections, 4 phases),
// "SSDBGrid1" (cost lines), "SSDBGrid2" (phases), "Text1_0" to "Text1_5" (profile, zone, rates of sections 1
// to 3, plant-group description), "UpDown1", "Option1_0" to "Option1_7", "Frame1" (plant groups),
// "NettoHonorar_1" to "_4", "GrundHonorar_1" to "_3", "LabelSatz_k", "LabelHonorar_k", "LabelHOAIALT"; the
// tool bands ("Band1", "Leistungsphasen", "Leistungsphasen1991", "Kontenpläne", "KONTENPLANTOOLS").
// moc cannot parse <compare>, which the currency type needs.
#ifndef Q_MOC_RUN
#include "core/Currency.h"
#include "fee/FeeCalculation.h"
#include "fee/KostenSpalten.h"
#endif

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QWidget;

namespace velu::db {
class Database;
}
namespace velu::forms {
class BoundGridModel;
class BoundGridView;
class ToolBand;
} // namespace velu::forms

namespace velu::fee {

class Grunddat : public QDialog {
    Q_OBJECT
public:
    Grunddat(db::Database& projektDB, db::Database& stammDB, QWidget* parent = nullptr);
    ~Grunddat() override;

    // Opens the calculation: rechnungsart 1 for offers and comparison offers, else 0. False (a message was
    // shown, nothing is left behind) when the calculation cannot get a service profile.
    bool MakeconectionGRDAT(int32_t lfnr, int16_t displayType, int16_t inputType, int16_t rechnungsart);
    void SetRechnungsart(int16_t art);
    int16_t Rechnungsart() const { return rechnungsart_; }

    // State the dialogs opened from here need.
    int32_t BerechnungsNr() const { return berListNr_; }
    int16_t AnlageGruppe() const { return anlageGruppe_; }
    int16_t Eingabewaehrung() const { return eingabe_; }
    int16_t Anzeigewaehrung() const { return anzeige_; }
    int16_t WaehrungsModusAktuell() const { return modus_; }
    int32_t StandardProfil() const { return standardProfil_; }
    FeeCalculation& Calc() { return *calc_; }
    forms::ToolBand& Bar() { return *bar_; }
    QLineEdit* Eingabe(int index) const { return text1_.at(static_cast<size_t>(index)); }
    // The zone field is fed by the points catalogue (and locked) while this is set.
    bool ZoneAusPunktekat() const { return zoneAusPunkten_; }
    void SetZoneAusPunktekat(bool an);

    // The command dispatch of the toolbar (also Esc as "OK").
    void ToolClick(const QString& key);

    // Currency.
    void WährungsInput(int16_t c);
    void WährungsDisplay(int16_t d);
    void SwitchWährung(int16_t d);
    KostenSpalten ConfigGrid() const;

    // Service profile and cost plan.
    void CreateLPTools();
    void CreateKPTools();
    void LBToolCheckedOnOff(int32_t key, int16_t alt, int16_t on);
    void SwitchLP(const QString& text, int32_t key);
    int32_t TransLeistungsbild(int32_t key, Currency max, Currency min, int16_t zones);
    bool ConectLeistungsbild(int32_t key);
    void fillLeistungsbildGrid();
    void LoadAnrechenbareKosten();
    void ImportKontenplan(const QString& plan);
    void KPDEL0();
    void FillGrDatenControls(const QString& standardText);

    // The check run when the user leaves the data, with what the fields hold now.
    int16_t CheckCalcGrDaten();
    // The same check without a word, for the fee at the foot while costs are typed; it stays due, so that
    // leaving the costs says what there is to say.
    void HonorarStummRechnen();
    void DisplayErrMsgGrDaten(int16_t code);

    // The dialogs of lump sums, points catalogue and surcharges.
    void PauschalAufruf();
    void punktekataufruf();
    void ZuschlaegeAufruf();

    // A rate field that holds no number: the field is not stored, the user corrects it.
    static constexpr int16_t SatzNichtNumerisch = 32;
    // The phase grid's surcharge column is worked out from the surcharges dialog, not typed.
    static inline const QString ZuschlagHinweis =
        QStringLiteral("Zuschläge werden im Dialog „Zuschläge“ eingegeben (Werkzeug „Zuschläge“).");

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Meldungen;

    void aufbauen();
    void aufbauenEingaben(QWidget* seite);
    void aufbauenToolBand();
    bool MakeConektion(bool keepProfile);
    void AddGrDatenRecord();
    bool SetLeistungsbild(int32_t key);
    void CheckHonorarzone(int16_t zones);
    void SetPhasenTexte();
    void ZuschlaegeUebernehmen();

    void tabGewechselt(int neu);
    void anlageGruppeGewaehlt(int index);
    void fokusNachFehler(int16_t code);
    bool istEingabeFehler(int16_t code) const { return code > 0; }
    // OK, Esc and the close box: false keeps the form open on an input error.
    bool pruefenUndSchliessen(bool erzwingen);
    void gitterSchreiben();
    void fillHonorarFelder();
    void phaseGeaendert(int row, int column);
    void kostenZeileGeaendert();
    // What the input fields hold for the check; nullopt when a rate is no number (said when melden).
    std::optional<GrunddatenEingabe> Eingabe(bool melden);
    void kostenKontextmenue(const QPoint& pos);
    void kostenLoeschen();
    QString betragText(Currency c) const;
    void fehlerZeigen(const std::exception& e);

    db::Database& projektDB_;
    db::Database& stammDB_;
    std::unique_ptr<Meldungen> meldungen_;
    std::unique_ptr<FeeCalculation> calc_;

    int32_t berListNr_ = 0;
    int16_t anlageGruppe_ = 1;
    int16_t rechnungsart_ = 0;
    int16_t eingabe_ = 0, anzeige_ = 0, modus_ = 1;
    int16_t einheit_ = 1;
    bool fremdZaehlt_ = false;
    bool mitAnlageGruppen_ = false;
    QString abschnitt_; // "1" to "3" on a cost tab, else empty
    int16_t abschnitteInBenutzung_ = 0;
    int32_t standardProfil_ = 0;
    bool zoneAusPunkten_ = false;
    bool tabWaechter_ = false;
    int aktTab_ = 0;
    bool fuellen_ = false; // the form writes its own fields
    bool lpToolsDa_ = false, kpToolsDa_ = false;

    forms::ToolBand* bar_ = nullptr;
    QTabWidget* tab_ = nullptr;
    std::array<QWidget*, 5> seiten_{};
    std::array<QLineEdit*, 6> text1_{};
    QSpinBox* upDown_ = nullptr;
    QGroupBox* frame_ = nullptr;
    QButtonGroup* optionen_ = nullptr;
    QLabel* bezLabel_ = nullptr;
    QLabel* alt1991_ = nullptr;
    std::array<QLabel*, 4> satzLabel_{}, prozentLabel_{}, honorarLabel_{};
    std::array<QLineEdit*, 5> netto_{}; // 1 to 4
    std::array<QLineEdit*, 4> grund_{}; // 1 to 3
    QWidget* kostenPanel_ = nullptr;
    QLabel* kostenTitel_ = nullptr;
    forms::BoundGridView* kostenGrid_ = nullptr;
    forms::BoundGridModel* kostenModel_ = nullptr;
    QLabel* phasenTitel_ = nullptr;
    QTableWidget* phasenGrid_ = nullptr;
};

} // namespace velu::fee
