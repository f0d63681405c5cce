#include "register/BerAnlage.h"

#include "platform/db/DbError.h"
#include "platform/forms/FormTag.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/TextLimitHint.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"
#include "register/CalculationRegister.h"
#include "register/CalculationSet.h"

#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu::reg {

namespace {
// The captions of the three inputs, also named by the message for an empty one.
const char* const Feldnamen[] = {"Berechnungsgruppe", "Berechnungsnummer", "Berechnungsbezeichnung"};
const int Laengen[] = {30, 15, 30};
} // namespace

BerAnlage::BerAnlage(db::Database& projektDB, Currency mwstSatz, QWidget* parent)
    : QDialog(parent), db_(projektDB), mwst_(mwstSatz) {
    setObjectName("BerAnlage");
    setWindowTitle("Neue Berechnung anlegen");
    // F1's help topic.
    forms::SetFormTag(*this, "BerAnlage");
    auto* lay = new QVBoxLayout(this);

    auto* felder = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        felder->addWidget(new QLabel(Feldnamen[i], this), i, 0);
        xtraText1_[i] = new QLineEdit(this);
        xtraText1_[i]->setObjectName(QString("XtraText1(%1)").arg(i));
        // A longer text is refused, limit named, on OK; never cut while typing.
        forms::ShowLengthLimit(*xtraText1_[i], Laengen[i]);
        felder->addWidget(xtraText1_[i], i, 1);
    }
    lay->addLayout(felder);

    auto* zeile = new QHBoxLayout;
    frame1_ = new QGroupBox("Berechnungsart", this);
    frame1_->setObjectName("Frame1");
    auto* f1 = new QVBoxLayout(frame1_);
    const char* typen[] = {"Angebot",           "Rechnung",           "Stundenlohnrechnung",
                           "Vergleichsangebot", "Vergleichsrechnung", "örtliche Bauüberwachung"};
    for (int i = 0; i < 6; ++i) {
        option1_[i] = new QRadioButton(typen[i], frame1_);
        option1_[i]->setObjectName(QString("Option1(%1)").arg(i));
        f1->addWidget(option1_[i]);
    }
    option1_[0]->setChecked(true);
    zeile->addWidget(frame1_);

    auto* frame2 = new QGroupBox("Berechnungswährung", this);
    frame2->setObjectName("Frame2");
    auto* f2 = new QVBoxLayout(frame2);
    const char* waehrungen[] = {"DM", "EUR"};
    for (int i = 0; i < 2; ++i) {
        option2_[i] = new QRadioButton(waehrungen[i], frame2);
        option2_[i]->setObjectName(QString("Option2(%1)").arg(i));
        f2->addWidget(option2_[i]);
    }
    option2_[WaehrungAusFormat(QLocale::system().toCurrencyString(2.0))]->setChecked(true);
    auto* hinweis = new QLabel("Um Rundungsprobleme zu vermeiden, sollten Sie immer die Währung als "
                               "Berechnungswährung wählen in der auch die Rechnung gestelt wird.",
                               frame2);
    hinweis->setObjectName("Label2");
    hinweis->setWordWrap(true);
    f2->addWidget(hinweis);
    f2->addStretch(1);
    zeile->addWidget(frame2);
    lay->addLayout(zeile);

    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddTools({
        {"Band1", "OK", "OK", "Berechnung anlegen"},
        {"Band1", "EXIT", " Maske verlassen", " Maske verlassen"},
    });
    bar_->ToolBar("Band1")->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });
}

int BerAnlage::WaehrungAusFormat(const QString& betrag) {
    return betrag.contains("DM") ? 0 : 1;
}

void BerAnlage::Setdatabasename() {
    GruppenNr(1);
    try {
        xtraText1_[0]->setText(QString::fromStdString(CalculationSet(db_).GruppenVorschlag()));
    } catch (const db::DbError&) {
        // The proposal is a convenience; the check on OK still refuses a name in use.
    }
}

void BerAnlage::GruppenNr(int n) {
    xtraText1_[0]->setText("Gruppe " + QString::number(n));
    xtraText1_[1]->clear();
    xtraText1_[2]->clear();
}

void BerAnlage::ReStatus(QString& typ) {
    typ = "A";
    for (int i = 0; i < 6; ++i)
        if (option1_[i]->isChecked()) {
            typ = QString(QChar(TypBuchstabe(i)));
            return;
        }
}

void BerAnlage::CheckInput(bool& ok) {
    ok = false;
    std::string texte[3];
    for (int i = 0; i < 3; ++i) {
        texte[i] = TrimText(xtraText1_[i]->text().toStdString());
        if (texte[i].empty()) {
            forms::MsgBox(this, EingabeErwartet(Feldnamen[i]));
            xtraText1_[i]->setFocus();
            return;
        }
        const QString zuLang =
            forms::LaengeFehler(Feldnamen[i], QString::fromStdString(texte[i]), Laengen[i]);
        if (!zuLang.isEmpty()) {
            forms::MsgBox(this, zuLang, forms::MsgButtons::OK, forms::MsgIcon::Exclamation);
            xtraText1_[i]->setFocus();
            return;
        }
    }
    try {
        CalculationSet set(db_);
        if (set.GruppeVorhanden(texte[0])) {
            forms::MsgBox(this, "Diese Gruppenbezeichning ist schon vorhanden, Bitte wählen Sie eine ander "
                                "Bezeichnung");
            xtraText1_[0]->setFocus();
            return;
        }
        NeueBerechnungDaten d;
        d.gruppe = texte[0];
        d.nummer = texte[1];
        d.bezeichnung = texte[2];
        QString typ;
        ReStatus(typ);
        d.typ = typ.at(0).toLatin1();
        d.waehrung = option2_[0]->isChecked() ? 0 : 1;
        d.mwstPro = mwst_;
        d.datum = QDate::currentDate().toString(Qt::ISODate).toStdString();
        neueLfNr_ = set.NeueBerechnung(d);
    } catch (const db::DbError& e) {
        forms::MsgBox(this, "Die Berechnung konnte nicht angelegt werden: " + QString::fromUtf8(e.what()),
                      forms::MsgButtons::OK, forms::MsgIcon::Critical);
        return;
    }
    forms::SetFormTag(*frame1_, QString::number(neueLfNr_));
    ok = true;
}

void BerAnlage::ToolClick(const QString& key) {
    if (key == "OK") {
        bool ok = false;
        CheckInput(ok);
        if (!ok) return;
        bar_->SetTag("X");
        accept();
    } else if (key == "EXIT") {
        reject();
    }
}

void BerAnlage::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        focusNextChild();
        return;
    case Qt::Key_F1:
        help::ShowHilfe(forms::FormTag(*this));
        return;
    case Qt::Key_Escape:
        ToolClick("EXIT");
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

} // namespace velu::reg
