#pragma once
// The calculation register window: the tree of the project's calculations by group, the totals of the
// selected calculation ("Details") and its payments ("Zahlungen"), the type options, the currency switch and
// the tools of its bar. A plain widget that the main window puts into its MDI area.
// moc cannot parse <compare>, which the currency type needs.
#ifndef Q_MOC_RUN
#include "register/BerechnungEditor.h"
#include "register/CalculationRegister.h"
#endif
#include "register/DruckAufruf.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace velu {
class DatumsFeld;
class FormRegistry;
class avbSplitterH;
namespace forms {
class ToolBand;
}
namespace db {
class Database;
}
} // namespace velu

namespace velu::reg {

class ZahlungenTab;

// What the register needs from the program around it. AppRegisterHost is the program's own; tests give
// their own.
class RegisterHost {
public:
    virtual ~RegisterHost() = default;
    virtual db::Database* ProjektDB() = 0;
    // First value of the project environment's current project.
    virtual QString ProjektText() = 0;
    virtual uint32_t AktRechte() = 0;
    virtual BerechnungEditor& Editor() = 0;
    virtual void CallShowHoai(bool& gewechselt) { gewechselt = false; }
    virtual void CallShowProdat() {}
    virtual void RefreshActiveBar(bool) {}
    // Panel 1 of the main window's status bar.
    virtual void StatusText(const QString&) {}
    // The print dialogs; by default the message that printing is not available yet.
    virtual DruckAufruf& Drucken();
    void SetDrucken(std::unique_ptr<DruckAufruf> d) { druck_ = std::move(d); }
    // The VAT rate in force, written into a new calculation.
    virtual Currency MwStSatz();
    // Window position of a dialog the register opens, before it is shown and after it returned.
    virtual void LoadWindowPos(QWidget&) {}
    virtual void SaveWindowPos(QWidget&) {}

private:
    std::unique_ptr<DruckAufruf> druck_;
};

// Over the process-wide state; the editors not built yet say so.
class AppRegisterHost : public RegisterHost {
public:
    explicit AppRegisterHost(QWidget* owner);
    ~AppRegisterHost() override;
    db::Database* ProjektDB() override;
    QString ProjektText() override;
    uint32_t AktRechte() override;
    BerechnungEditor& Editor() override;
    void CallShowHoai(bool& gewechselt) override;
    void CallShowProdat() override;
    void RefreshActiveBar(bool an) override;
    void StatusText(const QString& text) override;
    void LoadWindowPos(QWidget& form) override;
    void SaveWindowPos(QWidget& form) override;

private:
    std::unique_ptr<BerechnungEditor> editor_;
    QWidget* owner_;
};

// Registers "BerAuswahl" with the main window's forms; druck makes the print calls of each window (unset: the
// message that printing is not available yet).
void RegisterBerAuswahl(FormRegistry& formen, DruckAufrufFabrik druck = {});

class BerAuswahl : public QWidget {
    Q_OBJECT
public:
    // The program's window over the process-wide state.
    explicit BerAuswahl(QWidget* parent = nullptr);
    BerAuswahl(std::unique_ptr<RegisterHost> host, QWidget* parent = nullptr);
    ~BerAuswahl() override;

    void RefreshConection();
    // Index of the first calculation node (root = 1, in tree order), -1 when there is none.
    void FillTreeView(int& ersteBerechnung);
    void SetRechte();
    void ReStatus(QString& typ);
    void FindBerechnung(const QString& lfnr);
    void EDITRe();
    void SwitchWährung(int displayType);
    void DisplayWaehrungszeichhen();
    void DisplayFields();
    void DisplayStatus();
    // Takes over an edited totals field; false when its text was refused.
    bool Convert2NormWährung(int index);
    // The dispatch of every tool key.
    void ToolClick(const QString& key);
    // The node-click handling, for the node the user clicked or one selected in code.
    void NodeClick(QTreeWidgetItem* node);
    RegisterHost& Host() { return *host_; }

    // ADD: the dialog BerAnlage, then the tree with the new calculation selected.
    void addNewSatz();
    // COPY and DEL on the selected calculation node; nothing on the root or a group.
    void CopyBerechnung();
    void KillBerechnung();

    // The payments tab: bound to the current calculation (unbound without one or for a type without
    // payments), the amount column of the display currency, and the payments of the group's earlier
    // calculations taken over as payments on account (the button Command1).
    void ConnectZahlungen();
    void SchaltZahhlungen();
    void GetVorZahlungen(Currency& andere, Currency& summe);
    void VorZahlungenUebernehmen();

    // Marks of calculation nodes and the print calls.
    void Mark();
    void UNMARK();
    void FixMark();
    bool MarkModus() const { return markModus_; }
    void callKoPrint(int berichtIndex, const QString& caption);
    void CallREPRINT(int modus);
    void CallReZusammenstellung();

    CalculationRegister* Register() { return reg_.get(); }
    forms::ToolBand& ActiveBar1() { return *bar_; }
    QTreeWidget* TreeView1() const { return tree_; }
    // Divides the window between the tree and the tabs.
    avbSplitterH& SplitterH() const { return *splitter_; }
    ZahlungenTab* Zahlungen() const { return zahlungen_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bauen();
    void labelBearbeitet(QTreeWidgetItem* node);
    // Tells the user that a calculation's name (wer: "Der Name", "Der Name der Kopie") was cut to its field.
    void NameGekuerztMelden(const QString& wer, const QString& name);
    void zeigeFehler(const QString& text);
    bool nimmNummerUndDatum();
    bool nimmAlleEingaben();
    QTreeWidgetItem* knotenMitIndex(int index) const;
    void leereFelder();
    // Tree rebuilt and recordset reopened after calculations were added or removed; selects lfnr's node, or
    // the first calculation (the root when there is none) for 0.
    void nachAenderung(int64_t lfnr);
    void setzeMarken(bool an);

    std::unique_ptr<RegisterHost> host_;
    std::unique_ptr<CalculationRegister> reg_;
    forms::ToolBand* bar_ = nullptr;
    avbSplitterH* splitter_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QTabWidget* tab_ = nullptr;
    QLabel* label7_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* label2_[4] = {};
    QGroupBox* frame1_ = nullptr;
    QRadioButton* option1_[6] = {};
    QLineEdit* xtraText1_ = nullptr;
    DatumsFeld* dtPicker1_ = nullptr;
    QLineEdit* xtraText2_[14] = {};
    bool geaendert_[14] = {};
    bool nummerGeaendert_ = false;
    bool datumGeaendert_ = false;
    bool fuelltBaum_ = false;
    bool markModus_ = false;
    ZahlungenTab* zahlungen_ = nullptr;
    QString projektText_;
    QString letzterTyp_;
    std::vector<QTreeWidgetItem*> knoten_;
};

// "Drucken → Zusammenstellung" before any invoice was marked.
inline const QString ZusammenstellungOhneMarken = QStringLiteral(
    "Für die Zusammenstellung markieren Sie zuerst die Rechnungen: im Baum mit der rechten Maustaste "
    "auf eine Rechnung klicken, „Markieren“ wählen und die weiteren Rechnungen anhaken.");

} // namespace velu::reg
