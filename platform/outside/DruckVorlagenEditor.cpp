#include "platform/outside/DruckVorlagenEditor.h"

#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/TextLimitHint.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"
#include "platform/outside/MaskenTeile.h"
#include "platform/richtext/Cp1252.h"
#include "platform/richtext/VeluDoc.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>
#include <optional>

namespace velu::outside {

using forms::MsgBox;
using forms::MsgButtons;
using forms::MsgIcon;
using forms::MsgResult;
using richtext::ScribantPro;

namespace {

// The name's column holds this many characters in every program that reads the templates.
constexpr int BezeichnungLaenge = 80;

const char* const Arten[] = {"Angebote",
                             "Rechnungen",
                             "örtliche Bauleitung",
                             "Zusammenstellung",
                             "Stundenlohnrechnung",
                             "Vergleichsangebote",
                             "Vergleichsrechnungen"};

// Field names of the margins, top, bottom, left, right.
const char* const RandFelder[] = {"RandOben", "RandUnten", "RandLINKS", "RandRechts"};
// Text and format fields of body, header and footer.
const std::pair<const char*, const char*> TextFelder[] = {
    {"TextVorlagen", "TextVorlagenFO"}, {"KopfTX", "KopfFo"}, {"FussTx", "FussFO"}};
// The parts a save keeps apart, in the order of DruckVorlagenEditor::Teile.
const char* const TeilNamen[] = {"Bezeichnung", "Ränder", "Text", "Kopf", "Fuß"};

// A stored text, widened as the row's flag says; nullopt for Null.
std::optional<QString> Gelesen(const db::Recordset& rs, const char* feld, bool breit) {
    if (rs.IsNull(feld)) return std::nullopt;
    const QByteArray b = QByteArray::fromStdString(rs.GetText(feld));
    return breit ? QString::fromUtf8(b) : richtext::WidenCp1252(QString::fromLatin1(b));
}

bool Breit(const db::Recordset& rs) {
    return rs.GetInt("UNICODEFLAG", 0) != 0;
}

// The stored row's parts in the order of Teile, comparable with the same row read at another time whatever
// its flag.
std::vector<QString> GespeicherteTeile(const db::Recordset& rs) {
    const bool breit = Breit(rs);
    auto wert = [](const std::optional<QString>& t) { return t ? 'T' + *t : QStringLiteral("N"); };
    std::vector<QString> t{QString::fromStdString(rs.GetText("Bezeichnung")), QString()};
    for (const char* f : RandFelder)
        t[1] += (rs.IsNull(f) ? QStringLiteral("-") : QString::fromStdString(rs.GetText(f))) + ';';
    for (const auto& [text, format] : TextFelder)
        t.push_back(wert(Gelesen(rs, text, breit)) + QChar(0x1F) + wert(Gelesen(rs, format, breit)));
    return t;
}

db::Recordset Zeile(db::Database& stamm, int64_t lfnr) {
    return stamm.OpenRecordset("SELECT * FROM DruckVorlagen WHERE LFNR = :n", db::Params().Set("n", lfnr));
}

} // namespace

DruckVorlagenEditor::DruckVorlagenEditor(db::Database& stamm, QWidget* parent)
    : QDialog(parent), stamm_(stamm) {
    setObjectName("DruckVorlagenEditor");
    setWindowTitle("Druckvorlagen");
    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    forms::ToolDef vorschau("Band1", "PREVIEW", "Seitenansicht", "Seitenansicht anzeigen");
    vorschau.checkable = true;
    bar_->AddTools({{"Band1", "SAVE", "Speichern", "Druckvorlage speichern"},
                    vorschau,
                    {"Band1", "DOKUMENTENFORMAT", "Dokumentenformat", "Dokumentenformat"},
                    {"Band1", "EXIT", "Schließen", "Maske verlassen"}});
    bar_->SetHandler([this](const QString& key) { Befehl(key); });

    art_ = new QComboBox(this);
    art_->setObjectName("Dokumentart");
    for (int k = 0; k < 7; ++k)
        art_->addItem(QString::fromUtf8(Arten[k]), k + 1);
    vorlage_ = new QComboBox(this);
    vorlage_->setObjectName("Vorlage");
    bezeichnung_ = new QLineEdit(this);
    bezeichnung_->setObjectName("Bezeichnung");
    // A longer name is refused, limit named, when the template is stored; never cut while typing.
    forms::ShowLengthLimit(*bezeichnung_, BezeichnungLaenge);
    auto* raender = new QHBoxLayout;
    const char* beschriftung[] = {"oben", "unten", "links", "rechts"};
    for (int i = 0; i < 4; ++i) {
        raender_[i] = new QDoubleSpinBox(this);
        raender_[i]->setObjectName(RandFelder[i]);
        raender_[i]->setRange(0, 100);
        raender_[i]->setDecimals(1);
        raender_[i]->setSuffix(" mm");
        raender->addWidget(new QLabel(beschriftung[i], this));
        raender->addWidget(raender_[i]);
        connect(raender_[i], &QDoubleSpinBox::valueChanged, this, [this, i](double mm) {
            if (laedt_) return;
            ScribantPro& c = view_->Control();
            void (ScribantPro::*set[])(double) = {&ScribantPro::SetTopMargin, &ScribantPro::SetBottomMargin,
                                                  &ScribantPro::SetLeftMargin, &ScribantPro::SetRightMargin};
            (c.*set[i])(mm);
            view_->ShowContext(c.GetContext());
        });
    }
    raender->addStretch();
    bereich_ = new QTabBar(this);
    bereich_->setObjectName("Bereich");
    bereich_->addTab("Text");
    bereich_->addTab("Kopf");
    bereich_->addTab("Fuß");
    view_ = new richtext::ScribantView(this);
    view_->SetShowFieldNumbers(true);

    auto* form = new QFormLayout;
    form->addRow("Dokumentart", art_);
    form->addRow("Vorlage", vorlage_);
    form->addRow("Bezeichnung", bezeichnung_);
    form->addRow("Ränder", raender);
    auto* lay = new QVBoxLayout(this);
    lay->setMenuBar(bar_->ToolBar("Band1"));
    lay->addLayout(form);
    lay->addWidget(bereich_);
    lay->addWidget(view_, 1);
    resize(900, 760);

    connect(art_, &QComboBox::activated, this, [this](int i) {
        if (!AenderungenKlaeren()) {
            laedt_ = true;
            for (int k = 0; k < art_->count(); ++k)
                if (art_->itemData(k).toInt() == art_->property("art").toInt()) art_->setCurrentIndex(k);
            laedt_ = false;
            return;
        }
        Waehle(art_->itemData(i).toInt());
    });
    connect(vorlage_, &QComboBox::activated, this, [this](int i) {
        const int64_t lfnr = vorlage_->itemData(i).toLongLong();
        if (lfnr == lfnr_) return;
        if (!AenderungenKlaeren()) {
            vorlage_->setCurrentIndex(vorlage_->findData(QVariant::fromValue<qlonglong>(lfnr_)));
            return;
        }
        Lade(lfnr);
    });
    connect(bereich_, &QTabBar::currentChanged, this, [this](int i) { view_->ShowContext(i); });
    help::InstallHelpKey(this, "DruckVorlagen");
}

void DruckVorlagenEditor::NurArt(int art, const QString& name) {
    laedt_ = true;
    art_->clear();
    art_->addItem(name, art);
    laedt_ = false;
}

void DruckVorlagenEditor::FuelleVorlagen(int art) {
    laedt_ = true;
    vorlage_->clear();
    auto rs = stamm_.OpenRecordset(
        "SELECT LFNR, Bezeichnung FROM DruckVorlagen WHERE Dokumentart = :art ORDER BY Bezeichnung, LFNR",
        db::Params().Set("art", int64_t{art}));
    for (; !rs.EOF_(); rs.MoveNext())
        vorlage_->addItem(QString::fromStdString(rs.GetText("Bezeichnung")),
                          QVariant::fromValue<qlonglong>(rs.GetInt("LFNR")));
    art_->setProperty("art", art);
    for (int k = 0; k < art_->count(); ++k)
        if (art_->itemData(k).toInt() == art) art_->setCurrentIndex(k);
    laedt_ = false;
}

bool DruckVorlagenEditor::Waehle(int art, int64_t lfnr) {
    FuelleVorlagen(art);
    if (vorlage_->count() == 0) {
        lfnr_ = 0;
        for (int k = 0; k < 3; ++k) {
            view_->Control().SetContext(k);
            view_->Control().Clear();
        }
        bezeichnung_->clear();
        geladen_ = Teile();
        gespeichert_.clear();
        view_->ShowContext(bereich_->currentIndex());
        return false;
    }
    if (lfnr == 0) lfnr = vorlage_->itemData(0).toLongLong();
    const int i = vorlage_->findData(QVariant::fromValue<qlonglong>(lfnr));
    if (i < 0) return false;
    vorlage_->setCurrentIndex(i);
    return Lade(lfnr);
}

bool DruckVorlagenEditor::Lade(int64_t lfnr) {
    auto rs = Zeile(stamm_, lfnr);
    if (rs.Empty()) return false;
    laedt_ = true;
    ScribantPro& c = view_->Control();
    const bool breit = Breit(rs);
    bool ok = true;
    for (int k = 0; k < 3; ++k) {
        c.SetContext(k);
        c.Clear();
        const auto t = Gelesen(rs, TextFelder[k].first, breit);
        const auto fo = Gelesen(rs, TextFelder[k].second, breit);
        if (!t || !fo) continue;
        if (!t->isEmpty() && !c.PasteData(*t, *fo, int(t->size()))) ok = false;
        c.ClearUndoList();
    }
    void (ScribantPro::*set[])(double) = {&ScribantPro::SetTopMargin, &ScribantPro::SetBottomMargin,
                                          &ScribantPro::SetLeftMargin, &ScribantPro::SetRightMargin};
    for (int i = 0; i < 4; ++i) {
        const double mm = rs.IsNull(RandFelder[i]) ? -1 : rs.GetDouble(RandFelder[i]) / 1000.0;
        (c.*set[i])(mm);
    }
    raender_[0]->setValue(c.TopMargin());
    raender_[1]->setValue(c.BottomMargin());
    raender_[2]->setValue(c.LeftMargin());
    raender_[3]->setValue(c.RightMargin());
    bezeichnung_->setText(QString::fromStdString(rs.GetText("Bezeichnung")));
    lfnr_ = lfnr;
    view_->ShowContext(bereich_->currentIndex());
    if (c.PageView()) view_->RefreshPages();
    geladen_ = Teile();
    gespeichert_ = GespeicherteTeile(rs);
    laedt_ = false;
    if (!ok) MsgBox(this, DruckvorlageNichtLesbar, MsgButtons::OK, MsgIcon::Exclamation);
    return ok;
}

std::vector<QString> DruckVorlagenEditor::Teile() const {
    std::vector<QString> t{bezeichnung_->text(), QString()};
    for (auto* r : raender_)
        t[1] += QString::number(r->value()) + ';';
    for (int k = 0; k < 3; ++k)
        t.push_back(richtext::WriteVeluDoc(*view_->Control().Document(k)));
    return t;
}

bool DruckVorlagenEditor::Geaendert() const {
    return lfnr_ != 0 && Teile() != geladen_;
}

bool DruckVorlagenEditor::Speichern() {
    if (lfnr_ == 0) return false;
    const QString name = bezeichnung_->text().trimmed();
    if (name.isEmpty()) {
        MsgBox(this, DruckvorlageOhneBezeichnung, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    if (const QString zuLang = forms::LaengeFehler("Bezeichnung", name, BezeichnungLaenge);
        !zuLang.isEmpty()) {
        MsgBox(this, zuLang, MsgButtons::OK, MsgIcon::Exclamation);
        bezeichnung_->setFocus();
        return false;
    }
    const std::vector<QString> teile = Teile();
    std::vector<bool> eigen(teile.size());
    for (size_t k = 0; k < teile.size(); ++k)
        eigen[k] = teile[k] != geladen_[k];
    const ScribantPro& c = view_->Control();
    auto doc = [&](int k) { return richtext::WriteVeluDoc(*c.Document(k)).toStdString(); };
    auto rand = [&](int i) { return int64_t(std::llround(raender_[i]->value() * 1000)); };
    bool andere = false; // another clerk's saved parts are taken in
    // Empty, or why the template was not written; the transaction has ended before anything is shown.
    auto schreibe = [&]() -> QString {
        db::Transaction tx(stamm_);
        db::Params p;
        {
            auto rs = Zeile(stamm_, lfnr_);
            if (rs.Empty()) return DruckvorlageNichtGespeichert + "\n\n" + DruckvorlageGeloescht;
            const std::vector<QString> jetzt = GespeicherteTeile(rs);
            QStringList beide;
            for (size_t k = 0; k < teile.size(); ++k) {
                if (jetzt[k] == gespeichert_[k]) continue;
                if (eigen[k]) beide << QString::fromUtf8(TeilNamen[k]);
                andere = true;
            }
            if (!beide.isEmpty()) return DruckvorlageInzwischenGeaendert.arg(beide.join(", "));
            // Parts not changed here are written as stored now, widened like the rest.
            const bool breit = Breit(rs);
            auto gespeichert = [&](const char* feld) {
                const auto t = Gelesen(rs, feld, breit);
                return t ? db::Value(t->toUtf8().toStdString()) : db::Value();
            };
            p.Set("bez", eigen[0] ? db::Value(name.toStdString()) : rs.Get("Bezeichnung"));
            for (int i = 0; i < 4; ++i)
                p.Set("r" + std::to_string(i), eigen[1] ? db::Value(rand(i)) : rs.Get(RandFelder[i]));
            for (int k = 0; k < 3; ++k) {
                const bool neu = eigen[size_t(2 + k)];
                p.Set("t" + std::to_string(k), neu ? db::Value(doc(k)) : gespeichert(TextFelder[k].first));
                p.Set("f" + std::to_string(k), neu ? db::Value(richtext::VeluDocFormat.toStdString())
                                                   : gespeichert(TextFelder[k].second));
            }
        }
        stamm_.Execute("UPDATE DruckVorlagen SET Bezeichnung = :bez, RandOben = :r0, RandUnten = :r1, "
                       "RandLINKS = :r2, RandRechts = :r3, TextVorlagen = :t0, TextVorlagenFO = :f0, "
                       "KopfTX = :t1, KopfFo = :f1, FussTx = :t2, FussFO = :f2, UNICODEFLAG = 1 "
                       "WHERE LFNR = :lfnr",
                       p.Set("lfnr", lfnr_));
        std::vector<QString> neu = GespeicherteTeile(Zeile(stamm_, lfnr_));
        tx.Commit();
        gespeichert_ = std::move(neu);
        return {};
    };
    QString fehler;
    MsgIcon icon = MsgIcon::Critical;
    try {
        fehler = schreibe();
        if (!fehler.isEmpty() && andere) icon = MsgIcon::Exclamation;
    } catch (const db::DbError& e) {
        fehler = DruckvorlageNichtGespeichert + "\n\n" + QString::fromUtf8(e.what());
    }
    if (!fehler.isEmpty()) {
        MsgBox(this, fehler, MsgButtons::OK, icon);
        return false;
    }
    if (andere) {
        // Shows the template as stored now, the other clerk's parts with this one's.
        Lade(lfnr_);
    } else {
        bezeichnung_->setText(name);
        geladen_ = Teile();
    }
    const int i = vorlage_->findData(QVariant::fromValue<qlonglong>(lfnr_));
    if (i >= 0) vorlage_->setItemText(i, bezeichnung_->text());
    return true;
}

bool DruckVorlagenEditor::AenderungenKlaeren() {
    if (!Geaendert()) return true;
    return outside::AenderungenKlaeren(this, DruckvorlageAenderungen, [this] { return Speichern(); });
}

void DruckVorlagenEditor::Befehl(const QString& key) {
    if (key == "SAVE") {
        Speichern();
    } else if (key == "PREVIEW") {
        view_->Control().TogglePageView();
        bar_->SetChecked("Band1", "PREVIEW", view_->Control().PageView());
        bar_->SetEnabled("Band1", "DOKUMENTENFORMAT", !view_->Control().PageView());
    } else if (key == "DOKUMENTENFORMAT") {
        if (view_->FormatDialog()) {
            laedt_ = true;
            raender_[0]->setValue(view_->Control().TopMargin());
            raender_[1]->setValue(view_->Control().BottomMargin());
            raender_[2]->setValue(view_->Control().LeftMargin());
            raender_[3]->setValue(view_->Control().RightMargin());
            laedt_ = false;
        }
    } else if (key == "EXIT") {
        close();
    }
}

void DruckVorlagenEditor::closeEvent(QCloseEvent* e) {
    if (!AenderungenKlaeren()) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void DruckVorlagenEditor::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        bar_->Click("Band1", "EXIT");
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace velu::outside
