#pragma once
// The service-profile editor "LBild" (caption "Leistungsbilder"): the tree of the profile templates of one
// regulation (current, or 1991 after "OLDLB") on the left, the fields of the selected profile on the right.
// The fee table and the points catalogue are chosen from pop-up bands; edits set the changed flag, and every
// change of selection, regulation, a copy or closing asks once whether to save them.
//
// Controls (objectName): "TreeView1", "Picture1", "XtraText4_0" .. "_4" (paragraph, name, table short name,
// table name, points catalogue; 2 to 4 locked), phases "XtraText1_0" .. "_8" (name), "XtraText2_*"
// (percentage), "XtraText3_*" (group), "Option1_0" .. "_2" in frame "Frame1" ("Währung", "ha", "VE"),
// "Check1" .. "Check3", splitter panes "picSplitterHContainer" and "picSplitterHBar", tool band
// "ActiveBar1": band "Band1" ("COPY", "DEL", "OLDLB", "EXIT") and the pop-up bands "HOAITAFELN",
// "HOAITAFELNOLD" (tools "KX" & table number) and "PUNKTETAFEL" ("PX" & catalogue number).
// moc cannot parse <compare>, which the currency type needs.
#ifndef Q_MOC_RUN
#include "masterdata/ProfilStore.h"
#endif

#include <QDialog>

#include <cstdint>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace velu {
class avbSplitterH;
namespace forms {
class ToolBand;
}
} // namespace velu

namespace velu::masterdata {

class LBild : public QDialog {
    Q_OBJECT
public:
    explicit LBild(db::Database& stamm, QWidget* parent = nullptr);
    ~LBild() override;

    void MakeKonection(int64_t profil);
    void FillLBildTree();
    void LoadInEdit(const QString& nummer);
    // Asks and writes the shown profile if it was changed; false when a value was refused or the write failed
    // (the edits stay in the fields, the cursor on the refused one).
    bool SaveStuff();
    void SetHOAITAFEL(const QString& caption, const QString& name);
    void SetPunkteKat(const QString& caption, const QString& name);
    void TafelBez2PopUpMen();
    void PunkteBez2PopUpMen();
    void CopyLBild();
    void ToolClick(const QString& key);

    // The pop-up band a click on XtraText4(feld) opens: empty for none.
    QString MenueFuer(int feld) const;

    int64_t AktProfil() const { return akt_; }
    int Geaendert() const { return geaendert_; }
    bool Alt1991() const;
    forms::ToolBand& ActiveBar1() { return *bar_; }
    QTreeWidget* TreeView1() const { return tree_; }

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ProfilDaten Daten() const;
    // The first percentage or group field that holds no number.
    QLineEdit* ErstesFalschesFeld() const;
    void Zeigen(const ProfilDaten* d);
    void Haken(bool an);
    void Markieren() { geaendert_ = -1; }

    ProfilStore store_;
    db::Database& stamm_;
    db::Value alt_; // the regulation value: empty at load, then -1 or 0
    int64_t akt_ = 0;
    int64_t tafelNr_ = 0;
    int64_t punkteNr_ = 0;
    int geaendert_ = 0;

    forms::ToolBand* bar_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QWidget* picture1_ = nullptr;
    QLineEdit* text4_[5] = {};
    QLineEdit* phase_[3][9] = {};
    QRadioButton* option1_[3] = {};
    QButtonGroup* einheit_ = nullptr;
    QCheckBox* check_[3] = {};
    avbSplitterH* splitter_ = nullptr;
};

} // namespace velu::masterdata
