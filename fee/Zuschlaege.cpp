#include "fee/Zuschlaege.h"

#include "core/MoneyFormat.h"
#include "fee/ZuschlaegeListen.h"
#include "platform/forms/ListenDropDown.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu::fee {

namespace {

QLocale Deutsch() {
    return QLocale(QLocale::German, QLocale::Germany);
}

Currency Betrag(const db::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return Currency::FromRaw(*i);
    if (const auto* d = std::get_if<double>(&v)) return Currency::FromDouble(*d / Currency::Scale);
    return {};
}

// "###,##0.00" (with a trailing blank where the list's percent column has one).
QVariant Prozent(const db::Value& v, bool blank) {
    if (db::IsNull(v)) return QString();
    return Deutsch().toString(Betrag(v).ToDouble(), 'f', 2) + (blank ? " " : "");
}

// A typed amount or percent; empty gives leer (0 in the lists of tabs 0 to 2, no value in the phase list).
std::optional<db::Value> BetragLesen(const QString& text, const db::Value& leer) {
    const std::string t = text.trimmed().toStdString();
    if (t.empty()) return leer;
    const auto c = ParseBetrag(t);
    if (!c) return std::nullopt;
    return db::Value(c->Raw());
}

QString PhasenText(int lp) {
    return QStringLiteral("Leistungsphase %1").arg(lp);
}

} // namespace

// The drop-down list of the phase column: the texts "Leistungsphase 1" to "9", the cell stores the number.
class ZuLPDropDown : public forms::NummernDropDown {
public:
    explicit ZuLPDropDown(QObject* parent) : NummernDropDown("SSDBDropDown1", Eintraege(), false, parent) {}

private:
    static std::vector<std::pair<QString, int>> Eintraege() {
        std::vector<std::pair<QString, int>> e;
        for (int lp = 1; lp <= 9; ++lp)
            e.emplace_back(PhasenText(lp), lp);
        return e;
    }
};

Zuschlaege::Zuschlaege(db::Database& projektDB, db::Database&, QWidget* parent)
    : QDialog(parent), projekt_(projektDB) {
    setObjectName("Zuschlaege");
    setWindowTitle("Zuschläge");

    toolband_ = new forms::ToolBand(this);
    toolband_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    toolband_->AddTool({"Band1", "OK", "OK"});
    for (auto [key, caption] : {std::pair{"DM", "Berechnung in DM"}, {"EUR", "Euro"}}) {
        forms::ToolDef d("Band1", key, caption);
        d.checkable = true;
        toolband_->AddTool(d);
    }
    toolband_->SetHandler([this](const QString& key) { ToolClick(key); });
    toolband_->SetCommitHook([this] { return Speichern(); });

    picture1_ = new QWidget(this);
    picture1_->setObjectName("Picture1");
    auto* innen = new QVBoxLayout(picture1_);
    innen->setContentsMargins(0, 0, 0, 0);
    tab_ = new QTabBar(picture1_);
    tab_->setObjectName("SSTab1");
    for (int t = 0; t < 4; ++t)
        tab_->addTab(QString::fromUtf8(Tabelle(t)->reiter));
    {
        // Designed with the phase tab in front, so Makeconection's choice of tab 0 always takes place.
        QSignalBlocker still(tab_);
        tab_->setCurrentIndex(ListeLP);
    }
    innen->addWidget(tab_);
    auto* caption = new QLabel(picture1_);
    caption->setObjectName("GridCaption");
    caption->setAlignment(Qt::AlignCenter);
    caption->setAutoFillBackground(true);
    innen->addWidget(caption);
    grid1_ = new forms::BoundGridView(picture1_);
    grid1_->setObjectName("SSDBGrid1");
    innen->addWidget(grid1_);
    grid2_ = new forms::BoundGridView(picture1_);
    grid2_->setObjectName("SSDBGrid2");
    dropDown_ = new ZuLPDropDown(grid2_);
    innen->addWidget(grid2_);
    grid2_->hide();

    auto* haupt = new QVBoxLayout(this);
    haupt->setMenuBar(toolband_->ToolBar("Band1"));
    haupt->addWidget(picture1_);

    connect(tab_, &QTabBar::currentChanged, this, [this](int t) {
        try {
            TabWahl(t);
        } catch (const std::exception& e) {
            forms::MsgCritical(this, QString::fromUtf8(e.what()));
        }
    });
    help::InstallHelpKey(this, objectName());
    resize(640, 360);
}

Zuschlaege::~Zuschlaege() = default;

int Zuschlaege::AktuellerTab() const {
    return tab_->currentIndex();
}

bool Zuschlaege::Fragen(const QString& text) {
    return forms::MsgBox(this, text, forms::MsgButtons::YesNo, forms::MsgIcon::Question, {}, 1) ==
           forms::MsgResult::Yes;
}

void Zuschlaege::WährungsInput(int16_t währung) {
    berechnung_ = währung != DM ? EUR : DM;
    auto* caption = findChild<QLabel*>("GridCaption");
    caption->setText(berechnung_ == EUR ? QStringLiteral("Berechnungswährung €")
                                        : QStringLiteral("Berechnungswährung DM"));
    // Euro calculations stand out: yellow on blue, as the other euro grids of the program.
    caption->setStyleSheet(berechnung_ == EUR ? "color: yellow; background-color: blue;" : "");
}

void Zuschlaege::Makeconection(int16_t display, int16_t gruppe, int32_t berListNr) {
    anzeige_ = display != DM ? EUR : DM;
    modus_ = ZuschlagModus(berechnung_, anzeige_);
    gruppe_ = gruppe;
    berListNr_ = berListNr;
    verbunden_ = true;
    BindPhasen();
    if (tab_->currentIndex() == ListeNetto)
        TabWahl(ListeNetto);
    else
        tab_->setCurrentIndex(ListeNetto);
    AnzeigeHaken();
}

void Zuschlaege::AnzeigeHaken() {
    toolband_->SetChecked("Band1", "EUR", anzeige_ == EUR);
    toolband_->SetChecked("Band1", "DM", anzeige_ == DM);
}

void Zuschlaege::SwitchWährung(int16_t display) {
    anzeige_ = display != DM ? EUR : DM;
    modus_ = ZuschlagModus(berechnung_, anzeige_);
    const int t = tab_->currentIndex();
    if (t >= ListeNetto && t <= ListeBrutto) TabWahl(t);
}

void Zuschlaege::TabWahl(int t) {
    if (!verbunden_) return;
    // Rows being edited belong to the list shown until now.
    Speichern();
    if (t >= ListeNetto && t <= ListeBrutto) {
        setWindowTitle("Zuschläge zum " + QString::fromUtf8(Tabelle(t)->reiter));
        grid2_->hide();
        grid1_->show();
        SelectZuschlag(static_cast<int16_t>(t));
    } else if (t == ListeLP) {
        grid1_->hide();
        grid2_->show();
        setWindowTitle("Zuschläge zu den " + QString::fromUtf8(Tabelle(t)->reiter));
    }
}

void Zuschlaege::SelectZuschlag(int16_t index) {
    if (index < ListeNetto || index > ListeBrutto) return;
    const bool euro = berechnung_ == EUR;
    const WaehrungCode haupt = euro ? EUR : DM, andere = euro ? DM : EUR;
    const bool hauptSichtbar = ZeigtHauptbetrag(modus_);

    std::vector<forms::BoundColumn> spalten(4);
    spalten[0].field = "Bezeichnung";
    spalten[0].caption = "Bezeichnung";
    spalten[0].maxLength = 50;
    spalten[1].field = "ZuAbPro";
    spalten[1].caption = "Zuschlag %";
    spalten[1].art = forms::BoundColumn::Art::Zahl;
    spalten[1].maxLength = 12;
    spalten[1].anzeigen = [](const db::Value& v) { return Prozent(v, true); };
    spalten[1].lesen = [](const QString& t) { return BetragLesen(t, db::Value(int64_t{0})); };
    spalten[2].field = "ZuAbDM";
    spalten[2].caption = euro ? "Zuschlag €" : "Zuschlag DM";
    spalten[2].maxLength = 12;
    spalten[2].visible = hauptSichtbar;
    spalten[3].field = "AlDispZuAbDM";
    spalten[3].caption = euro ? "Zuschlag DM" : "Zuschlag €";
    spalten[3].visible = !hauptSichtbar;
    for (auto [i, waehrung] : {std::pair{2, haupt}, {3, andere}}) {
        auto w = waehrung; // a lambda may not capture a structured binding in every compiler
        spalten[size_t(i)].art = forms::BoundColumn::Art::Zahl;
        spalten[size_t(i)].anzeigen = [w](const db::Value& v) -> QVariant {
            if (db::IsNull(v)) return QString();
            return QString::fromStdString(FormatBetrag(Betrag(v), w));
        };
        spalten[size_t(i)].lesen = [](const QString& t) { return BetragLesen(t, db::Value(int64_t{0})); };
    }

    auto neu = std::make_unique<forms::BoundGridModel>(ZuschlagZeilen(projekt_, index, berListNr_, gruppe_),
                                                       std::move(spalten));
    forms::BoundGridModel* m = neu.get();
    forms::BoundGridModel::Callbacks cb;
    cb.schluesselFuellen = [this, index](db::Recordset& rs, bool) {
        rs.Set("LfNrBeReList", int64_t{berListNr_});
        if (index == ListeNetto) rs.Set("ZuordnungAnlGrp", int64_t{gruppe_});
    };
    cb.nachEingabe = [this, m](int row, int column) {
        const std::string& feld = m->Columns()[size_t(column)].field;
        if (feld != "ZuAbDM" && feld != "AlDispZuAbDM") return;
        // The one visible amount column is always in the display currency.
        const ZuschlagBetrag b =
            BetragEingegeben(feld == "AlDispZuAbDM", Betrag(m->Value(row, feld)), anzeige_);
        m->SetValue(row, "ZuAbDM", b.zuAbDM.Raw());
        m->SetValue(row, "AlDispZuAbDM", b.alDispZuAbDM.Raw());
    };
    cb.fragen = [this](const QString& text) { return Fragen(text); };
    cb.melden = [this](const QString& text) { forms::MsgCritical(this, text); };
    neu->SetCallbacks(std::move(cb));

    grid1_->setUpdatesEnabled(false);
    grid1_->SetBoundModel(neu.get());
    model1_.swap(neu); // the old model goes only after the view has let go of it
    grid1_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grid1_->setUpdatesEnabled(true);
}

void Zuschlaege::BindPhasen() {
    std::vector<forms::BoundColumn> spalten(3);
    spalten[0].field = "Bezeichnung";
    spalten[0].caption = "Bezeichnung";
    spalten[0].maxLength = 100;
    spalten[1].field = "ZuAb";
    spalten[1].caption = "Zuschläge %";
    spalten[1].art = forms::BoundColumn::Art::Zahl;
    spalten[1].anzeigen = [](const db::Value& v) { return Prozent(v, false); };
    spalten[1].lesen = [](const QString& t) { return BetragLesen(t, db::Value()); };
    spalten[2].field = "LP";
    spalten[2].caption = "Leistugsphase";
    spalten[2].art = forms::BoundColumn::Art::Ganzzahl;
    // The drop-down stores the number; a typed "Leistungsphase 3" is read as 3.
    spalten[2].lesen = [](const QString& t) -> std::optional<db::Value> {
        QString s = t.trimmed();
        if (s.startsWith("Leistungsphase", Qt::CaseInsensitive)) s = s.mid(14).trimmed();
        if (s.isEmpty()) return db::Value();
        bool ok = false;
        const qlonglong n = s.toLongLong(&ok);
        return ok ? std::optional<db::Value>(int64_t(n)) : std::nullopt;
    };

    auto neu = std::make_unique<forms::BoundGridModel>(ZuschlagZeilen(projekt_, ListeLP, berListNr_, gruppe_),
                                                       std::move(spalten));
    forms::BoundGridModel* m = neu.get();
    forms::BoundGridModel::Callbacks cb;
    cb.schluesselFuellen = [this](db::Recordset& rs, bool) {
        rs.Set("LfNrBeReList", int64_t{berListNr_});
        rs.Set("ZuordnungAnlGrp", int64_t{gruppe_});
        rs.Set("LP", LPSpeicherwert(rs.Get("LP")));
    };
    cb.nachEingabe = [this, m](int row, int column) {
        if (m->Columns()[size_t(column)].field != "LP") return;
        const auto meldung = LPPruefen(m->Value(row, "LP"));
        if (!meldung) return;
        // Refused: the phase the row had before stays.
        db::Value vorher;
        if (row < m->StoredRows()) {
            m->Rows().SetAbsolutePosition(row);
            vorher = m->Rows().Get("LP");
        }
        m->SetValue(row, "LP", vorher);
        forms::MsgCritical(this, QString::fromStdString(*meldung));
    };
    cb.fragen = [this](const QString& text) { return Fragen(text); };
    cb.melden = [this](const QString& text) { forms::MsgCritical(this, text); };
    neu->SetCallbacks(std::move(cb));

    grid2_->SetBoundModel(neu.get());
    model2_.swap(neu);
    grid2_->setItemDelegateForColumn(2, dropDown_);
    grid2_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
}

bool Zuschlaege::Speichern() {
    dropDown_->Abschliessen();
    const bool ok1 = model1_ ? grid1_->Commit() : true;
    const bool ok2 = model2_ ? grid2_->Commit() : true;
    return ok1 && ok2;
}

void Zuschlaege::ToolClick(const QString& key) {
    try {
        if (key == "OK") {
            Ok();
        } else if (key == "DM" || key == "EUR") {
            const int16_t d = key == "DM" ? DM : EUR;
            if (d != anzeige_) SwitchWährung(d);
            AnzeigeHaken();
        }
    } catch (const std::exception& e) {
        forms::MsgCritical(this, QString::fromUtf8(e.what()));
    }
}

void Zuschlaege::Ok() {
    // A refused row keeps the dialog open; its message has been shown and the table is as before.
    if (!Speichern()) return;
    accept();
}

void Zuschlaege::reject() {
    try {
        Ok();
    } catch (const std::exception& e) {
        forms::MsgCritical(this, QString::fromUtf8(e.what()));
        accept();
    }
}

void Zuschlaege::closeEvent(QCloseEvent* event) {
    // The close box hides like OK; only the opener releases the form.
    if (!isVisible()) return;
    event->ignore();
    reject();
}

} // namespace velu::fee
