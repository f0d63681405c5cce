#include "masterdata/LBild.h"

#include "masterdata/BaumFenster.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/forms/FormTag.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/TextLimitHint.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"
#include "ui/avbSplitter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velu::masterdata {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string S(const QString& s) {
    return s.toStdString();
}

bool IstAlt(const db::Value& v) {
    const auto* i = std::get_if<int64_t>(&v);
    return i && *i != 0;
}

} // namespace

LBild::LBild(db::Database& stamm, QWidget* parent) : QDialog(parent), store_(stamm), stamm_(stamm) {
    setObjectName("LBild");
    forms::SetFormTag(*this, "LBild");
    setWindowTitle("Leistungsbilder");

    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddTools({
        {"Band1", "COPY", "Kopieren", "Leistungsbild kopieren"},
        {"Band1", "DEL", "Löschen", "Leistungsbild  löschen"},
    });
    forms::ToolDef alt("Band1", "OLDLB", "HOAI 1991", "Leistungsbilder von 1991 anzeigen");
    alt.checkable = true;
    bar_->AddTool(alt);
    bar_->AddTool({"Band1", "EXIT", "Schließen", "Programm verlassen"});
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });

    const BaumFenster b = BaueBaumFenster(*this, *bar_, [this](const QString& n) { LoadInEdit(n); });
    tree_ = b.tree;
    picture1_ = b.picture1;
    splitter_ = b.splitter;
    auto* feld = new QGridLayout(picture1_);
    const char* labels[] = {"Paragraph", "Leistungsbildbezeichnung", "HOAI - Tafel", "Tafelbezeichnung",
                            "Punktekatalog"};
    const int laengen[] = {20, 80, 10, 80, 80};
    for (int i = 0; i < 5; ++i) {
        text4_[i] = new QLineEdit(picture1_);
        text4_[i]->setObjectName(QString("XtraText4_%1").arg(i));
        text4_[i]->setMaxLength(laengen[i]);
        forms::ShowTextLimitHint(*text4_[i]);
        feld->addWidget(new QLabel(labels[i], picture1_), i, 0);
        feld->addWidget(text4_[i], i, 1, 1, 3);
        connect(text4_[i], &QLineEdit::textChanged, this, [this] { Markieren(); });
    }
    for (int i = 2; i < 5; ++i) {
        text4_[i]->setReadOnly(true); // set through the pop-up menus only
        text4_[i]->installEventFilter(this);
    }
    const char* koepfe[] = {"Leistung", "Bewert.", "Gruppe"};
    for (int s = 0; s < 3; ++s)
        feld->addWidget(new QLabel(koepfe[s], picture1_), 5, 1 + s);
    for (int i = 0; i < 9; ++i) {
        feld->addWidget(new QLabel(QString("LP %1").arg(i + 1), picture1_), 6 + i, 0);
        for (int s = 0; s < 3; ++s) {
            auto* e = new QLineEdit(picture1_);
            e->setObjectName(QString("XtraText%1_%2").arg(s + 1).arg(i));
            e->setMaxLength(s == 0 ? 80 : 12);
            forms::ShowTextLimitHint(*e);
            if (s > 0) e->setMaximumWidth(90);
            connect(e, &QLineEdit::textChanged, this, [this] { Markieren(); });
            feld->addWidget(e, 6 + i, 1 + s);
            phase_[s][i] = e;
        }
    }
    auto* frame = new QGroupBox("Einheit", picture1_);
    frame->setObjectName("Frame1");
    auto* fl = new QHBoxLayout(frame);
    einheit_ = new QButtonGroup(this);
    const char* optionen[] = {"Währung", "ha", "VE"};
    for (int i = 0; i < 3; ++i) {
        option1_[i] = new QRadioButton(optionen[i], frame);
        option1_[i]->setObjectName(QString("Option1_%1").arg(i));
        einheit_->addButton(option1_[i], i);
        fl->addWidget(option1_[i]);
        connect(option1_[i], &QRadioButton::clicked, this, [this] { Markieren(); });
    }
    feld->addWidget(frame, 15, 0, 1, 2);
    const char* checks[] = {"mit Integrationsplanung", "mit Kontenplan", "mit Anlagegruppen"};
    for (int i = 0; i < 3; ++i) {
        check_[i] = new QCheckBox(checks[i], picture1_);
        check_[i]->setObjectName(QString("Check%1").arg(i + 1));
        connect(check_[i], &QCheckBox::clicked, this, [this] { Markieren(); });
        feld->addWidget(check_[i], 16 + i, 0, 1, 2);
    }
    feld->setRowStretch(19, 1);
    feld->setColumnStretch(1, 1);

    help::InstallHelpKey(this, "LBild");
    resize(1000, 680);
    TafelBez2PopUpMen();
    PunkteBez2PopUpMen();
    MakeKonection(0);
}

LBild::~LBild() = default;

bool LBild::Alt1991() const {
    return IstAlt(alt_);
}

void LBild::TafelBez2PopUpMen() {
    const struct {
        const char* band;
        int64_t alt;
    } baender[] = {{"HOAITAFELN", 0}, {"HOAITAFELNOLD", 1}};
    for (const auto& b : baender) {
        bar_->AddBand(b.band, forms::ToolBand::BandKind::Popup);
        db::Recordset rs =
            stamm_.StoredQuery("LoadTafelBezeichnungen").SetParameter("ALT", b.alt).OpenRecordset();
        for (; !rs.EOF_(); rs.MoveNext()) {
            forms::ToolDef d(b.band, "KX" + QString::number(rs.GetInt("LfNr")),
                             Q(ProfilStore::MenueCaption(rs.GetText("HoaiPara"), rs.GetText("HoaiBez"))));
            d.checkable = true;
            bar_->AddTool(d);
        }
    }
}

void LBild::PunkteBez2PopUpMen() {
    bar_->AddBand("PUNKTETAFEL", forms::ToolBand::BandKind::Popup);
    db::Recordset rs = stamm_.StoredQuery("LoadPunkteVerzeichnis").OpenRecordset();
    for (; !rs.EOF_(); rs.MoveNext()) {
        forms::ToolDef d("PUNKTETAFEL", "PX" + QString::number(rs.GetInt("LfNr")),
                         Q(rs.GetText("Bezeichnung")));
        d.checkable = true;
        bar_->AddTool(d);
    }
}

void LBild::MakeKonection(int64_t profil) {
    FillLBildTree();
    LoadInEdit(WaehleKnoten(*tree_, profil));
}

void LBild::FillLBildTree() {
    FuelleBaum(*tree_, this, [this] {
        Knoten k;
        for (const auto& e : store_.Profile(alt_))
            k.emplace_back(e.lfnr, e.bez);
        return k;
    });
}

void LBild::Haken(bool an) {
    if (punkteNr_ > 0) bar_->SetChecked("PUNKTETAFEL", "PX" + QString::number(punkteNr_), an);
    if (tafelNr_ > 0)
        for (const char* band : {"HOAITAFELN", "HOAITAFELNOLD"})
            bar_->SetChecked(band, "KX" + QString::number(tafelNr_), an);
}

void LBild::Zeigen(const ProfilDaten* d) {
    const ProfilDaten leer;
    const ProfilDaten& p = d ? *d : leer;
    const std::string* texte[] = {&p.parag, &p.bez, &p.hoaiTafel, &p.hoaiTafelBez, &p.punktekat};
    for (int i = 0; i < 5; ++i)
        text4_[i]->setText(Q(*texte[i]));
    for (int i = 0; i < 9; ++i) {
        phase_[0][i]->setText(Q(p.leistung[size_t(i)]));
        phase_[1][i]->setText(Q(p.proz[size_t(i)]));
        phase_[2][i]->setText(Q(p.gruppe[size_t(i)]));
    }
    // A stored unit outside 1 to 3 selects no option (and stays stored).
    einheit_->setExclusive(false);
    for (int i = 0; i < 3; ++i)
        option1_[i]->setChecked(p.einheit && *p.einheit == i + 1);
    einheit_->setExclusive(true);
    for (int i = 0; i < 3; ++i)
        check_[i]->setChecked(p.check[size_t(i)] != 0);
    tafelNr_ = p.tafelNr;
    punkteNr_ = p.punkteNr;
    picture1_->setEnabled(d != nullptr);
}

ProfilDaten LBild::Daten() const {
    ProfilDaten d;
    d.parag = S(text4_[0]->text());
    d.bez = S(text4_[1]->text());
    d.hoaiTafel = S(text4_[2]->text());
    d.hoaiTafelBez = S(text4_[3]->text());
    d.punktekat = S(text4_[4]->text());
    d.tafelNr = tafelNr_;
    d.punkteNr = punkteNr_;
    for (int i = 0; i < 9; ++i) {
        d.leistung[size_t(i)] = S(phase_[0][i]->text());
        d.proz[size_t(i)] = S(phase_[1][i]->text());
        d.gruppe[size_t(i)] = S(phase_[2][i]->text());
    }
    for (int i = 0; i < 3; ++i)
        if (option1_[i]->isChecked()) {
            d.einheit = i + 1;
            break;
        }
    for (int i = 0; i < 3; ++i)
        d.check[size_t(i)] = check_[i]->isChecked() ? 1 : 0;
    return d;
}

void LBild::LoadInEdit(const QString& nummer) {
    if (!SaveStuff()) {
        // The edits stay with the profile they belong to.
        WaehleKnoten(*tree_, akt_);
        return;
    }
    Haken(false);
    bool ok = false;
    const int64_t n = nummer.toLongLong(&ok);
    std::optional<ProfilDaten> d;
    if (ok && n > 0) d = store_.Laden(n);
    akt_ = d ? n : 0;
    bar_->SetEnabled("Band1", "DEL", d && !d->builtIn);
    Zeigen(d ? &*d : nullptr);
    Haken(true);
    geaendert_ = 0; // filling the controls has set it
}

QLineEdit* LBild::ErstesFalschesFeld() const {
    for (int i = 0; i < 9; ++i) {
        if (!ProfilStore::ProzentWert(S(phase_[1][i]->text()))) return phase_[1][i];
        if (!ProfilStore::GruppeWert(S(phase_[2][i]->text()))) return phase_[2][i];
    }
    return nullptr;
}

bool LBild::SaveStuff() {
    if (geaendert_ == 0 || akt_ == 0) return true;
    if (forms::MsgBox(this, "Sollen die Änderungen gespeichert werden", forms::MsgButtons::YesNo,
                      forms::MsgIcon::Question) != forms::MsgResult::Yes) {
        geaendert_ = 0; // dropped with the next load
        return true;
    }
    if (QLineEdit* falsch = ErstesFalschesFeld()) {
        forms::MsgCritical(this, ProfilStore::MeldungNummerisch);
        falsch->setFocus();
        falsch->selectAll();
        return false;
    }
    if (const Meldung m = store_.SummenMeldung(akt_, Daten())) {
        forms::MsgCritical(this, Q(*m));
        phase_[1][0]->setFocus();
        phase_[1][0]->selectAll();
        return false;
    }
    if (const Meldung m = store_.Speichern(akt_, Daten())) {
        forms::MsgCritical(this, Q(*m));
        return false;
    }
    KnotenText(*tree_, akt_, text4_[1]->text());
    geaendert_ = 0;
    return true;
}

void LBild::SetHOAITAFEL(const QString& caption, const QString& name) {
    Haken(false);
    tafelNr_ = name.mid(2).toLongLong();
    text4_[2]->setText(Q(ProfilStore::KurzAus(S(caption))));
    text4_[3]->setText(Q(ProfilStore::BezAus(S(caption))));
}

void LBild::SetPunkteKat(const QString& caption, const QString& name) {
    if (punkteNr_ > 0) bar_->SetChecked("PUNKTETAFEL", "PX" + QString::number(punkteNr_), false);
    punkteNr_ = name.mid(2).toLongLong();
    text4_[4]->setText(caption);
}

void LBild::CopyLBild() {
    if (akt_ == 0) return;
    if (!SaveStuff()) return; // asks first, so the edits land in the profile shown
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto r = store_.CopyLBild(akt_);
    QApplication::restoreOverrideCursor();
    if (const auto* fehler = std::get_if<std::string>(&r)) {
        forms::MsgCritical(this, Q(*fehler));
        return;
    }
    geaendert_ = 0;
    MakeKonection(std::get<int64_t>(r));
}

QString LBild::MenueFuer(int feld) const {
    if (feld == 2 || feld == 3) return Alt1991() ? "HOAITAFELNOLD" : "HOAITAFELN";
    if (feld == 4 && !Alt1991()) return "PUNKTETAFEL";
    return {};
}

bool LBild::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && picture1_->isEnabled()) {
        for (int i = 2; i < 5; ++i)
            if (watched == text4_[i]) {
                const QString band = MenueFuer(i);
                if (QMenu* m = band.isEmpty() ? nullptr : bar_->Popup(band)) m->popup(QCursor::pos());
                return true;
            }
    }
    return QDialog::eventFilter(watched, event);
}

void LBild::ToolClick(const QString& key) {
    try {
        if (key.startsWith("KX")) {
            for (const char* band : {"HOAITAFELN", "HOAITAFELNOLD"})
                if (bar_->Tool(band, key)) {
                    SetHOAITAFEL(bar_->Caption(band, key), key);
                    break;
                }
        } else if (key.startsWith("PX")) {
            SetPunkteKat(bar_->Caption("PUNKTETAFEL", key), key);
        } else if (key == "EXIT") {
            if (SaveStuff()) done(QDialog::Accepted);
        } else if (key == "OLDLB") {
            if (!SaveStuff()) {
                bar_->SetChecked("Band1", "OLDLB", Alt1991());
                return;
            }
            geaendert_ = 0;
            alt_ = db::Value(int64_t{IstAlt(alt_) ? 0 : -1});
            MakeKonection(0);
            bar_->SetChecked("Band1", "OLDLB", Alt1991());
            bar_->SetEnabled("Band1", "COPY", !Alt1991());
        } else if (key == "COPY") {
            CopyLBild();
        } else if (key == "DEL") {
            if (forms::MsgBox(this, "Soll dieser Datensatz wirklich gelöscht werden",
                              forms::MsgButtons::YesNo, forms::MsgIcon::Question, {},
                              1) != forms::MsgResult::Yes)
                return;
            QTreeWidgetItem* node = tree_->currentItem();
            if (!node) return;
            const int64_t n = KnotenNummer(node);
            geaendert_ = 0; // the profile goes: its edits with it
            if (const Meldung m = store_.Loeschen(n)) {
                forms::MsgCritical(this, Q(*m));
                return;
            }
            akt_ = 0;
            MakeKonection(0);
        }
    } catch (const std::exception& e) {
        forms::MsgCritical(this, QString::fromUtf8(e.what()));
    }
}

void LBild::reject() {
    bar_->Click("Band1", "EXIT");
}

} // namespace velu::masterdata
