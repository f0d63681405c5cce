#include "fee/Pauschal.h"

#include "core/MoneyFormat.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu::fee {

Pauschal::Pauschal(QWidget* parent) : QDialog(parent) {
    setObjectName("Pauschal");
    setWindowTitle("Pauschalhonorar");

    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    forms::ToolDef dm{"Band1", "DM", "Berechnung in DM"};
    forms::ToolDef eur{"Band1", "EUR", "Euro"};
    dm.checkable = eur.checkable = true;
    dm.exclusiveGroup = eur.exclusiveGroup = "Waehrung";
    bar_->AddTools(
        {{"Band1", "OK", "OK"}, dm, eur, {"Band1", "EXIT", "Programm verlassen", "Maske verlassen"}});
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });
    // A command never runs on an amount that was typed but not taken over.
    bar_->SetCommitHook([this] { return UebernimmEingaben(); });

    auto* felder = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        const size_t k = size_t(i);
        tafelLabel_[k] = new QLabel("Grundhonorar ", this);
        tafelLabel_[k]->setObjectName(QString("Label1_%1").arg(i));
        tafel_[k] = new QLineEdit(this);
        tafel_[k]->setObjectName(QString("XtraText1_%1").arg(i));
        tafel_[k]->setReadOnly(true);
        tafel_[k]->setFocusPolicy(Qt::NoFocus);
        pauschLabel_[k] = new QLabel("Pauschalhonorar ", this);
        pauschLabel_[k]->setObjectName(QString("Label2_%1").arg(i));
        pausch_[k] = new QLineEdit(this);
        pausch_[k]->setObjectName(QString("XtraText2_%1").arg(i));
        pausch_[k]->installEventFilter(this);
        connect(pausch_[k], &QLineEdit::textChanged, this, [this, k] { geaendert_[k] = true; });
        for (QLineEdit* f : {tafel_[k], pausch_[k]})
            f->setAlignment(Qt::AlignRight);
        felder->addWidget(tafelLabel_[k], 2 * i, 0);
        felder->addWidget(tafel_[k], 2 * i, 1);
        felder->addWidget(pauschLabel_[k], 2 * i + 1, 0);
        felder->addWidget(pausch_[k], 2 * i + 1, 1);
    }
    setTabOrder(pausch_[0], pausch_[1]);
    setTabOrder(pausch_[1], pausch_[2]);

    auto* haupt = new QVBoxLayout(this);
    haupt->setMenuBar(bar_->ToolBar("Band1"));
    haupt->addLayout(felder);
    help::InstallHelpKey(this, objectName());
    // The fields stay empty until LoadPausch fills the rows in use.
    bar_->SetChecked("Band1", "DM", true);
}

void Pauschal::LoadPausch(const Abschnitte<Currency>& pausch, const Abschnitte<Currency>& alDispPausch,
                          const Abschnitte<Currency>& alDispTafel, const Abschnitte<Currency>& tafel,
                          WaehrungCode berechnung, WaehrungCode anzeige, int16_t abschnitte) {
    rechnung_.LoadPausch(pausch, alDispPausch, alDispTafel, tafel, berechnung, anzeige, abschnitte);
    SwitchWährung(anzeige);
}

void Pauschal::GetPausch(Abschnitte<Currency>& pausch, Abschnitte<Currency>& alDispPausch) const {
    rechnung_.GetPausch(pausch, alDispPausch);
}

void Pauschal::BeschrifteZeile(int k, const QString& abschnitt) {
    if (k < 1 || k > 3) return;
    const size_t i = size_t(k - 1);
    tafelLabel_[i]->setText("Grundhonorar " + abschnitt);
    pauschLabel_[i]->setText("Pauschalhonorar " + abschnitt);
    for (QWidget* w : std::initializer_list<QWidget*>{tafelLabel_[i], tafel_[i], pauschLabel_[i], pausch_[i]})
        w->setVisible(true);
}

void Pauschal::VerbergeZeile(int k) {
    if (k < 1 || k > 3) return;
    const size_t i = size_t(k - 1);
    for (QWidget* w : std::initializer_list<QWidget*>{tafelLabel_[i], tafel_[i], pauschLabel_[i], pausch_[i]})
        w->setVisible(false);
}

void Pauschal::ZeigeFeld(QLineEdit* feld, std::optional<AngezeigterBetrag>& angezeigt,
                         std::optional<Currency> wert) {
    if (!wert) return;
    angezeigt = AngezeigterBetrag{*wert, FormatBetrag(*wert, rechnung_.Anzeige())};
    feld->setText(QString::fromStdString(angezeigt->text));
}

void Pauschal::SwitchWährung(WaehrungCode anzeige) {
    rechnung_.SwitchWährung(anzeige);
    bar_->SetChecked("Band1", "EUR", anzeige != DM);
    bar_->SetChecked("Band1", "DM", anzeige == DM);
    for (int i = 0; i < 3; ++i) {
        const size_t k = size_t(i);
        // Rows beyond the sections in use keep what they show (on a fresh form nothing).
        ZeigeFeld(pausch_[k], angezeigt_[k], rechnung_.AnzeigePausch(i));
        ZeigeFeld(tafel_[k], tafelAngezeigt_[k], rechnung_.AnzeigeTafel(i));
    }
    geaendert_.fill(false);
}

bool Pauschal::calcwährung(int16_t index) {
    if (index < 0 || index > 2) return false;
    const size_t k = size_t(index);
    const auto v = LeseBetrag(angezeigt_[k], pausch_[k]->text().toStdString());
    bool ok = false;
    if (!v)
        forms::MsgCritical(this, forms::BoundGridModel::NumerischMeldung);
    else
        ok = rechnung_.calcwährung(index, *v);
    // Typed text in the calculation currency stays as typed, converted text becomes its twin; either way the
    // field shows it in its format.
    if (angezeigt_[k] || ok) ZeigeFeld(pausch_[k], angezeigt_[k], rechnung_.AnzeigePausch(index));
    if (!ok && !angezeigt_[k]) pausch_[k]->clear();
    geaendert_[k] = false;
    return ok;
}

bool Pauschal::UebernimmEingaben() {
    bool ok = true;
    for (int16_t i = 0; i < 3; ++i)
        if (geaendert_[size_t(i)] && !calcwährung(i)) ok = false;
    return ok;
}

void Pauschal::ToolClick(const QString& key) {
    if (key == "OK") {
        bar_->SetTag("X");
        accept();
    } else if (key == "EXIT") {
        reject();
    } else if (key == "DM") {
        SwitchWährung(DM);
    } else if (key == "EUR") {
        SwitchWährung(EUR);
    }
}

void Pauschal::reject() {
    bar_->SetTag(QString());
    QDialog::reject();
}

void Pauschal::closeEvent(QCloseEvent* event) {
    if (isVisible()) QDialog::done(QDialog::Rejected);
    event->accept();
}

bool Pauschal::eventFilter(QObject* watched, QEvent* event) {
    for (int16_t i = 0; i < 3; ++i) {
        if (watched != pausch_[size_t(i)]) continue;
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                focusNextChild();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            // The user leaving the field validates it; a tool command's focus round trip does not (its
            // commit hook takes the entry over and may refuse the command).
            const auto grund = static_cast<QFocusEvent*>(event)->reason();
            if ((grund == Qt::TabFocusReason || grund == Qt::BacktabFocusReason ||
                 grund == Qt::MouseFocusReason || grund == Qt::ShortcutFocusReason) &&
                geaendert_[size_t(i)])
                calcwährung(i);
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velu::fee
