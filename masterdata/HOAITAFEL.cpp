#include "masterdata/HOAITAFEL.h"

#include "core/AppState.h"
#include "core/FormRegistry.h"
#include "masterdata/BaumFenster.h"
#include "masterdata/BetragSpalten.h"
#include "masterdata/TafelVerwendung.h"
#include "platform/db/DbError.h"
#include "platform/forms/FormTag.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/ProjektUmgebung.h"
#include "ui/avbSplitter.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velu::masterdata {

const QString HOAITAFEL::NumerischMeldung = QStringLiteral("Es sind nur nummerische Eingaben erlaubt");

namespace {

constexpr const char* LoeschFrage = "Soll diese Tafel wirklich gelöscht werden";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::optional<Currency> Zelle(const db::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return Currency::FromRaw(*i);
    if (const auto* d = std::get_if<double>(&v)) return Currency::FromDouble(*d / Currency::Scale);
    return std::nullopt;
}

} // namespace

std::vector<std::string> AppTafelVerwender(db::Database& stamm, int64_t tafel) {
    AppState& app = App();
    outside::ProjektUmgebung& u = app.Umgebung();
    const QString ordner = u.ProjekteOrdner();
    outside::ProjektListe liste(ordner);
    std::vector<ProjektDatei> projekte;
    std::vector<std::string> out;
    if (QFileInfo::exists(liste.Datei())) {
        QString fehler;
        if (auto l = liste.Liste(&fehler)) {
            for (const auto& e : *l)
                projekte.push_back(
                    {e.nummer.toStdString(),
                     std::filesystem::path(
                         (outside::ProjektOrdnerVon(ordner, e.nummer) + "/Velupro32.mdb").toStdString())});
        } else {
            // Without the list nobody can tell which projects use the table.
            out.push_back("Die Projektliste kann nicht gelesen werden");
        }
    }
    TafelVerwendung v(stamm, app.ProjektDB(), u.AktProjekt().nummer.toStdString());
    for (auto& z : v.Verwender(tafel, projekte))
        out.push_back(std::move(z));
    return out;
}

HOAITAFEL::HOAITAFEL(db::Database& stamm, QWidget* parent, Verwender verwender)
    : QDialog(parent), store_(stamm), stamm_(stamm), verwender_(std::move(verwender)) {
    setObjectName("HOAITAFEL");
    forms::SetFormTag(*this, "HOAITAFEL");
    setWindowTitle("HOAITAFEL");
    if (!verwender_) verwender_ = [this](int64_t t) { return AppTafelVerwender(stamm_, t); };

    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddTools({
        {"Band1", "COPY", "Kopieren", "Tafel kopieren"},
        {"Band1", "DEL", "Löschen", "Tafel löschen"},
        {"Band1", "EXIT", "Schließen", "Programm verlassen"},
    });
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });

    const BaumFenster b = BaueBaumFenster(*this, *bar_, [this](const QString& n) { LoadInEdit(n); });
    tree_ = b.tree;
    picture1_ = b.picture1;
    splitter_ = b.splitter;
    auto* feld = new QGridLayout(picture1_);
    const char* labels[] = {"Tafelbezeichnung", "Kurzbezeichnung"};
    const int laengen[] = {60, 10};
    for (int i = 0; i < 2; ++i) {
        text_[i] = new QLineEdit(picture1_);
        text_[i]->setObjectName(QString("XtraText1_%1").arg(i));
        text_[i]->setMaxLength(laengen[i]);
        feld->addWidget(new QLabel(labels[i], picture1_), i, 0);
        feld->addWidget(text_[i], i, 1);
    }
    text_[1]->setMaximumWidth(120);
    grid_ = new forms::BoundGridView(picture1_);
    grid_->setObjectName("SSDBGrid2");
    feld->addWidget(grid_, 2, 0, 1, 2);
    feld->setRowStretch(2, 1);

    help::InstallHelpKey(this, "HOAITAFEL");
    resize(1000, 600);
    MakeKonection(0);
}

HOAITAFEL::~HOAITAFEL() {
    grid_->setModel(nullptr);
}

void HOAITAFEL::ZeigeFehler(const std::string& text) {
    forms::MsgCritical(this, Q(text));
}

void HOAITAFEL::MakeKonection(int64_t tafel) {
    FillTafelTree();
    LoadInEdit(WaehleKnoten(*tree_, tafel));
}

void HOAITAFEL::FillTafelTree() {
    FuelleBaum(*tree_, this, [this] {
        Knoten k;
        for (const TafelKopf& t : store_.Tafeln())
            k.emplace_back(t.lfnr, t.bez);
        return k;
    });
}

void HOAITAFEL::Binden(int64_t tafel, bool builtIn) {
    std::vector<forms::BoundColumn> spalten;
    spalten.push_back(BetragSpalte("AKosten", "anrechenbare DM / ha / VE"));
    for (int i = 1; i <= 10; ++i)
        spalten.push_back(BetragSpalte(("S" + std::to_string(i)).c_str(),
                                       QString("Zone %1 %2").arg((i + 1) / 2).arg(i % 2 ? "von" : "bis")));
    std::unique_ptr<forms::BoundGridModel> neu =
        std::make_unique<StammGridModel>(store_.Zeilen(tafel), std::move(spalten));
    neu->SetNumerischMeldung(NumerischMeldung);
    neu->SetNeueZeile(!builtIn);
    forms::BoundGridModel* m = neu.get();
    forms::BoundGridModel::Callbacks cb;
    cb.zeileAenderbar = [this](int) { return !builtIn_; };
    cb.zeilePruefen = [this, m](int row) -> std::optional<QString> {
        TafelZeile z;
        const db::Value key = m->Value(row, "LfNr");
        if (const auto* k = std::get_if<int64_t>(&key)) z.lfnr = *k;
        z.akosten = Zelle(m->Value(row, "AKosten"));
        for (int i = 0; i < 10; ++i)
            z.s[size_t(i)] = Zelle(m->Value(row, "S" + std::to_string(i + 1)));
        const Meldung meldung = store_.ZeilePruefen(akt_, z);
        return meldung ? std::optional<QString>(Q(*meldung)) : std::nullopt;
    };
    // New rows belong to the table shown.
    cb.schluesselFuellen = [this](db::Recordset& rs, bool) {
        rs.Set("LfNrTafel", akt_);
        rs.Set("BEZTAFEL", text_[1]->text().left(10).toStdString());
        rs.Set("HOAIALT", db::False);
        rs.Set("STDHOAI", db::False);
    };
    cb.melden = [this](const QString& text) { forms::MsgCritical(this, text); };
    cb.fragen = [this](const QString& text) {
        return forms::MsgBox(this, text, forms::MsgButtons::YesNo, forms::MsgIcon::Question, {}, 1) ==
               forms::MsgResult::Yes;
    };
    neu->SetCallbacks(std::move(cb));
    grid_->SetBoundModel(neu.get());
    model_.swap(neu); // the old model goes only after the view has let go of it
    grid_->SetAllowDelete(!builtIn);
    grid_->resizeColumnsToContents();
}

void HOAITAFEL::LoadInEdit(const QString& nummer) {
    if (!SaveStuff()) {
        // A refused name or row keeps the table shown, to be corrected there.
        WaehleKnoten(*tree_, akt_);
        return;
    }
    bool ok = false;
    const int64_t n = nummer.toLongLong(&ok);
    std::optional<TafelKopf> kopf;
    if (ok && n > 0) kopf = store_.Kopf(n);
    akt_ = kopf ? n : 0;
    builtIn_ = kopf && kopf->builtIn;
    Binden(akt_, builtIn_ || !kopf);
    text_[0]->setText(kopf ? Q(kopf->bez) : QString());
    text_[1]->setText(kopf ? Q(kopf->kurz) : QString());
    for (QLineEdit* t : text_)
        t->setReadOnly(builtIn_ || !kopf);
    grid_->setEnabled(kopf.has_value());
    bar_->SetEnabled("Band1", "DEL", kopf && !builtIn_);
}

bool HOAITAFEL::SaveStuff() {
    if (akt_ == 0) return true;
    bool ok = grid_->Commit();
    if (builtIn_) return ok;
    if (const Meldung m =
            store_.SaveStuff(akt_, text_[1]->text().toStdString(), text_[0]->text().toStdString())) {
        ZeigeFehler(*m);
        return false;
    }
    return ok;
}

void HOAITAFEL::CopyAufr() {
    if (akt_ == 0) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SaveStuff();
    const auto r = store_.CopyAufr(akt_);
    QApplication::restoreOverrideCursor();
    if (const auto* fehler = std::get_if<std::string>(&r)) {
        ZeigeFehler(*fehler);
        return;
    }
    MakeKonection(std::get<int64_t>(r));
}

void HOAITAFEL::DELTafel() {
    QTreeWidgetItem* node = tree_->currentItem();
    if (!node || akt_ == 0 || builtIn_) return;
    const int64_t n = KnotenNummer(node);
    const std::vector<std::string> nutzer = verwender_(n);
    if (!nutzer.empty()) {
        QString text = QString::fromUtf8(TafelVerwendung::Meldung);
        for (const auto& z : nutzer)
            text += "\n" + Q(z);
        forms::MsgBox(this, text, forms::MsgButtons::OK, forms::MsgIcon::Exclamation);
        return;
    }
    if (forms::MsgBox(this, LoeschFrage, forms::MsgButtons::YesNo, forms::MsgIcon::Question, {}, 1) !=
        forms::MsgResult::Yes)
        return;
    // The table goes: its pending edits with it.
    model_->Discard();
    if (const Meldung m = store_.DELTafel(n)) {
        ZeigeFehler(*m);
        return;
    }
    akt_ = 0;
    MakeKonection(0);
}

void HOAITAFEL::ToolClick(const QString& key) {
    try {
        if (key == "EXIT") {
            // A refused row or header has been told: the window stays for the correction.
            if (SaveStuff()) done(QDialog::Accepted);
        } else if (key == "COPY") {
            CopyAufr();
        } else if (key == "DEL") {
            DELTafel();
        }
    } catch (const std::exception& e) {
        ZeigeFehler(e.what());
    }
}

void HOAITAFEL::reject() {
    bar_->Click("Band1", "EXIT");
}

} // namespace velu::masterdata
