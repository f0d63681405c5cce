#pragma once
// The project reports dialog "Druckausgabe": eleven reports chosen by option, or one of four reports on a
// calculation preset by the register (PrintMode2), printed in the number of copies given or previewed. The
// routines live in Druckausgabe; the dialog gives them its copies, date, currency and captions.
#include "documents/Druckausgabe.h"

#include <QDialog>
#include <array>
#include <memory>

class QGroupBox;
class QRadioButton;
class QSpinBox;

namespace velu {

class CRModul;
class DatumsFeld;
class FormRegistry;
namespace forms {
class ToolBand;
}

class PrintFormKO : public QDialog {
    Q_OBJECT
public:
    PrintFormKO(CRModul& cr, Druckausgabe::Quellen quellen, const QString& reportOrdner,
                QWidget* parent = nullptr);
    // Over the program's state: its databases, project environment and report folder.
    PrintFormKO(CRModul& cr, QWidget* parent = nullptr);
    ~PrintFormKO() override;

    void PrintMode2(int index, int64_t lfnr, const QString& nummer, int64_t ursprung);
    int wasIstZUDrucken() const;
    void ToolClick(const QString& key);
    // Option index 0 to 10 clicked: the currency tools are hidden for the master-data reports.
    void OptionClick(int index);

    Druckausgabe& Routinen() { return *routinen_; }
    forms::ToolBand& ActiveBar1() { return *bar_; }

    // "PrintFormKO": the main window's PRINT opens it.
    static void Registrieren(FormRegistry& formen, CRModul& cr);

public slots:
    void reject() override;
    void done(int r) override;

private:
    void Warten();

    CRModul& cr_;
    std::unique_ptr<Druckausgabe> routinen_;
    forms::ToolBand* bar_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    std::array<QRadioButton*, 11> option1_{};
    QSpinBox* text1_ = nullptr;
    DatumsFeld* dtPicker1_ = nullptr;
    bool entladen_ = false;
};

} // namespace velu
