#pragma once
// The dialog "Berechnungswährung" that asks for the entry currency of a project's expense records before
// the first one is made: option buttons "Option2(0)" "DM" and "Option2(1)" "ERU" in the frame
// "Berechnungswährung", a hint, and the tool band "ActiveBar1". There is no cancel: whatever ends the
// dialog, the selected option is the answer.
#include <QDialog>

class QRadioButton;

namespace velu::forms {
class ToolBand;
}

namespace velu::expenses {

class BerechWährungAusw : public QDialog {
public:
    // systemWaehrung: the number 2 in the system's currency format; "DM" in it preselects DM, anything else
    // euro. Empty: the system locale's format.
    explicit BerechWährungAusw(QWidget* parent = nullptr, QString systemWaehrung = {});

    // 1 for euro, 0 for DM.
    int Waehrung() const;
    QRadioButton* Option2(int i) const { return option_[i]; }
    forms::ToolBand& ActiveBar1() { return *bar_; }

    void reject() override;

    static const QString Hinweis;

protected:
    // The close box only hides the dialog, as every command does.
    void closeEvent(QCloseEvent* event) override;

private:
    forms::ToolBand* bar_ = nullptr;
    QRadioButton* option_[2] = {};
};

} // namespace velu::expenses
