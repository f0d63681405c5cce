#include "fee/Parag57.h"

#include "core/MoneyFormat.h"
#include "fee/FeeMessages.h"
#include "platform/db/DbError.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <cctype>

namespace velu::fee {

namespace {

constexpr int TabGrunddaten = 0;
constexpr int TabKosten = 1;
constexpr int FeldSatz = 0, FeldFertig = 1, FeldHonorar = 2, FeldPausch = 3;

// The size a "TEXT(n)" column declares; 0 when it declares none.
int FeldGroesse(const db::Recordset& rs, std::string_view feld) {
    const std::string t = rs.DeclType(feld);
    const auto auf = t.find('(');
    if (auf == std::string::npos) return 0;
    int n = 0;
    for (size_t i = auf + 1; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i)
        n = n * 10 + (t[i] - '0');
    return n;
}

std::optional<Currency> BetragAus(const db::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return Currency::FromRaw(*i);
    if (const auto* d = std::get_if<double>(&v)) return Currency::FromDouble(*d / Currency::Scale);
    return std::nullopt;
}

} // namespace

Parag57::Parag57(db::Database& projektDB, QWidget* parent)
    : QDialog(parent), db_(projektDB), rechnung_(projektDB) {
    setObjectName("Parag57");
    setWindowTitle("Örtliche Bauüberwachung");

    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    forms::ToolDef dm{"Band1", "DM", "Berechnung in DM"};
    forms::ToolDef eur{"Band1", "EUR", "Berechnung in Euro"};
    dm.checkable = eur.checkable = true;
    dm.exclusiveGroup = eur.exclusiveGroup = "Waehrung";
    bar_->AddTools({{"Band1", "OK", "OK"}, dm, eur});
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });
    // The entry being typed, in a field or in a grid cell, is taken over before any command.
    bar_->SetCommitHook([this] {
        const bool gridOk = !grid_->BoundModel() || grid_->Commit();
        return UebernimmEingaben() && gridOk;
    });

    auto* picture = new QWidget(this);
    picture->setObjectName("Picture1");
    tab_ = new QTabWidget(picture);
    tab_->setObjectName("SSTab1");

    auto* seite0 = new QWidget;
    auto* felder = new QGridLayout(seite0);
    const char* labels[4] = {"Satz %", "erbrachte Leistungen %", "Honorar", "Pauschalhonorar"};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString::fromUtf8(labels[i]), seite0);
        label->setObjectName(QString("Label1_%1").arg(i));
        auto* feld = new QLineEdit(seite0);
        feld->setObjectName(QString("XtraText1_%1").arg(i));
        feld->setAlignment(Qt::AlignRight);
        feld->installEventFilter(this);
        connect(feld, &QLineEdit::textChanged, this, [this, i] { geaendert_[size_t(i)] = true; });
        feld_[size_t(i)] = feld;
        felder->addWidget(label, i, 0);
        felder->addWidget(feld, i, 1);
    }
    feld_[FeldHonorar]->setReadOnly(true);
    feld_[FeldHonorar]->setFocusPolicy(Qt::NoFocus);
    felder->setRowStretch(4, 1);
    tab_->addTab(seite0, "Grunddaten");

    auto* seite1 = new QWidget;
    auto* kosten = new QVBoxLayout(seite1);
    gridCaption_ = new QLabel(seite1);
    gridCaption_->setObjectName("GridCaption");
    gridCaption_->setAlignment(Qt::AlignCenter);
    gridCaption_->setAutoFillBackground(true);
    grid_ = new forms::BoundGridView(seite1);
    grid_->setObjectName("SSDBGrid1");
    kosten->addWidget(gridCaption_);
    kosten->addWidget(grid_);
    tab_->addTab(seite1, "Kosten");

    auto* pictureLayout = new QVBoxLayout(picture);
    pictureLayout->addWidget(tab_);
    auto* haupt = new QVBoxLayout(this);
    haupt->setMenuBar(bar_->ToolBar("Band1"));
    haupt->addWidget(picture);

    connect(tab_, &QTabWidget::currentChanged, this, &Parag57::TabGewechselt);
    help::InstallHelpKey(this, objectName());
}

Parag57::~Parag57() {
    // The view must let go of the model before the model goes.
    grid_->SetBoundModel(nullptr);
}

void Parag57::MakeConnection(int32_t key, Currency kosten, std::optional<Currency> satz, Currency fertig,
                             Currency pausch, Currency alDispPausch, WaehrungCode berechnung,
                             WaehrungCode anzeige) {
    rechnung_.MakeConnection(key, kosten, satz, fertig, pausch, alDispPausch, berechnung, anzeige);
    configWährungsInput();
    BindeKosten();
    SwitchWährung(anzeige);
    DisplayStuff();
}

void Parag57::BindeKosten() {
    db::Recordset rs =
        db_.OpenRecordset("SELECT * FROM AnrechenbareKosten WHERE LfNrBeReList = :LfNrBeReList ORDER BY LfNr",
                          db::Params().Set("LfNrBeReList", int64_t{rechnung_.Key()}));

    const auto betrag = [this](const char* feld) {
        forms::BoundColumn c;
        c.field = feld;
        c.caption = "Kosten";
        c.art = forms::BoundColumn::Art::Zahl;
        c.anzeigen = [this](const db::Value& v) -> QVariant {
            const auto b = BetragAus(v);
            return b ? QString::fromStdString(FormatBetrag(*b, rechnung_.Anzeige())) : QString();
        };
        c.lesen = [](const QString& text) -> std::optional<db::Value> {
            if (text.trimmed().isEmpty()) return db::Value();
            const auto b = ParseBetrag(text.toStdString());
            return b ? std::optional<db::Value>(b->Raw()) : std::nullopt;
        };
        return c;
    };
    std::vector<forms::BoundColumn> spalten(2);
    spalten[0].field = "Kostenstellennr";
    spalten[0].caption = "Kostenstelle";
    spalten[0].maxLength = FeldGroesse(rs, "Kostenstellennr");
    spalten[1].field = "Bezeichnung";
    spalten[1].caption = "Bezeichnung";
    spalten[1].maxLength = FeldGroesse(rs, "Bezeichnung");
    spalten.push_back(betrag("Eigenleistung"));
    spalten.push_back(betrag("AlDispEigenleistung"));

    grid_->SetBoundModel(nullptr);
    model_ = std::make_unique<forms::BoundGridModel>(std::move(rs), std::move(spalten));
    model_->SetLoeschfrage(false);
    forms::BoundGridModel::Callbacks cb;
    cb.schluesselFuellen = [this](db::Recordset& r, bool) {
        r.Set("LfNrBeReList", int64_t{rechnung_.Key()});
        r.Set("Phase", int64_t{1});
        r.Set("ZuordnungAnlGrp", int64_t{1});
        rechnung_.KostenGeaendert();
    };
    cb.nachEingabe = [this](int row, int column) { NachEingabe(row, column); };
    cb.vorLoeschen = [this](int) {
        rechnung_.KostenGeaendert();
        return true;
    };
    cb.melden = [this](const QString& text) { forms::MsgCritical(this, text); };
    model_->SetCallbacks(std::move(cb));
    grid_->SetBoundModel(model_.get());
    grid_->horizontalHeader()->setSectionResizeMode(model_->ColumnOf("Bezeichnung"), QHeaderView::Stretch);
    BaueSpalten();
}

void Parag57::NachEingabe(int row, int column) {
    rechnung_.KostenGeaendert();
    const auto& feld = model_->Columns()[size_t(column)].field;
    const bool haupt = feld == "Eigenleistung";
    if (!haupt && feld != "AlDispEigenleistung") return;
    const auto v = BetragAus(model_->Value(row, feld));
    if (!v) {
        model_->SetValue(row, haupt ? "AlDispEigenleistung" : "Eigenleistung", db::Value());
        return;
    }
    Currency wert, altWert;
    if (!WährungsWert(haupt ? 1 : 2, *v, rechnung_.Anzeige(), wert, altWert)) return;
    if (!haupt) model_->SetValue(row, "Eigenleistung", wert.Raw());
    model_->SetValue(row, "AlDispEigenleistung", altWert.Raw());
}

void Parag57::BaueSpalten() {
    if (!model_) return;
    const int16_t modus = rechnung_.Modus();
    const bool haupt = modus == 1 || modus == 4;
    const bool twin = modus == 2 || modus == 3;
    grid_->setUpdatesEnabled(false);
    if (haupt || twin) {
        model_->SetColumnVisible(model_->ColumnOf("Eigenleistung"), haupt);
        model_->SetColumnVisible(model_->ColumnOf("AlDispEigenleistung"), twin);
        grid_->ApplyColumnVisibility();
    }
    MindestBreite();
    // The amount columns format in the display currency as they are painted.
    emit model_->dataChanged(model_->index(0, 0),
                             model_->index(std::max(0, model_->rowCount() - 1), model_->columnCount() - 1));
    grid_->setUpdatesEnabled(true);
}

void Parag57::MindestBreite() {
    // The stretched "Bezeichnung" column would otherwise shrink below its caption in a narrow dialog.
    QHeaderView* kopf = grid_->horizontalHeader();
    int breite = 2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width();
    if (!grid_->verticalHeader()->isHidden()) breite += grid_->verticalHeader()->sizeHint().width();
    for (int i = 0; i < kopf->count(); ++i) {
        if (kopf->isSectionHidden(i)) continue;
        const int noetig = kopf->sectionSizeHint(i);
        if (kopf->sectionResizeMode(i) == QHeaderView::Stretch) {
            breite += noetig;
        } else {
            if (kopf->sectionSize(i) < noetig) kopf->resizeSection(i, noetig);
            breite += kopf->sectionSize(i);
        }
    }
    grid_->setMinimumWidth(breite);
}

void Parag57::configWährungsInput() {
    QPalette p = gridCaption_->palette();
    if (rechnung_.Berechnung() != DM) {
        gridCaption_->setText("Berechnungswährung €");
        p.setColor(QPalette::WindowText, Qt::yellow);
        p.setColor(QPalette::Window, Qt::blue);
    } else {
        gridCaption_->setText("Berechnungswährung DM");
        p.setColor(QPalette::WindowText, palette().color(QPalette::ButtonText));
        p.setColor(QPalette::Window, palette().color(QPalette::Button));
    }
    gridCaption_->setPalette(p);
}

void Parag57::SwitchWährung(WaehrungCode anzeige) {
    rechnung_.SwitchWährung(anzeige);
    bar_->SetChecked("Band1", "EUR", anzeige != DM);
    bar_->SetChecked("Band1", "DM", anzeige == DM);
    if (tab_->currentIndex() == TabKosten)
        BaueSpalten();
    else
        DisplayStuff();
}

void Parag57::SumKostenEX() {
    if (grid_->BoundModel()) grid_->Commit();
    rechnung_.SumKostenEX();
}

void Parag57::CalcHonorar57() {
    rechnung_.CalcHonorar57();
    ZeigeFeld(FeldHonorar, rechnung_.AnzeigeHonorar(), true);
    geaendert_[FeldHonorar] = false;
}

void Parag57::ZeigeFeld(int index, std::optional<Currency> wert, bool betrag) {
    if (!wert) return;
    const size_t i = size_t(index);
    angezeigt_[i] =
        AngezeigterBetrag{*wert, betrag ? FormatBetrag(*wert, rechnung_.Anzeige()) : FormatZahl2(*wert)};
    feld_[i]->setText(QString::fromStdString(angezeigt_[i]->text));
}

void Parag57::DisplayStuff() {
    ZeigeFeld(FeldSatz, rechnung_.Satz(), false);
    ZeigeFeld(FeldFertig, rechnung_.Fertig(), false);
    ZeigeFeld(FeldHonorar, rechnung_.AnzeigeHonorar(), true);
    ZeigeFeld(FeldPausch, rechnung_.AnzeigePausch(), true);
    geaendert_.fill(false);
}

bool Parag57::DoInput(int16_t index) {
    if (index < 0 || index > 3 || !geaendert_[size_t(index)]) return true;
    geaendert_[size_t(index)] = false;
    const auto lese = [this](int i) {
        return LeseBetrag(angezeigt_[size_t(i)], feld_[size_t(i)]->text().toStdString());
    };
    if (index == FeldSatz || index == FeldFertig) {
        const auto satz = lese(FeldSatz);
        const auto fertig = lese(FeldFertig);
        if (!satz || !fertig) {
            forms::MsgCritical(this, forms::BoundGridModel::NumerischMeldung);
            DisplayStuff();
            return false;
        }
        // A share of the services beyond them or below nothing would bill more than the fee or a credit.
        if (*fertig < Currency{} || *fertig > Currency::FromUnits(100)) {
            forms::MsgCritical(this, MeldungProzentBereich);
            DisplayStuff();
            return false;
        }
        rechnung_.SetSatzUndFertig(*satz, *fertig);
        ZeigeFeld(FeldSatz, rechnung_.Satz(), false);
        ZeigeFeld(FeldFertig, rechnung_.Fertig(), false);
        ZeigeFeld(FeldHonorar, rechnung_.AnzeigeHonorar(), true);
        geaendert_[FeldSatz] = geaendert_[FeldFertig] = geaendert_[FeldHonorar] = false;
    } else if (index == FeldPausch) {
        const auto v = lese(FeldPausch);
        if (!v) {
            forms::MsgCritical(this, forms::BoundGridModel::NumerischMeldung);
            DisplayStuff();
            return false;
        }
        if (rechnung_.SetPausch(*v))
            DisplayStuff();
        else {
            ZeigeFeld(FeldPausch, rechnung_.AnzeigePausch(), true);
            geaendert_[FeldPausch] = false;
        }
    }
    return true;
}

bool Parag57::UebernimmEingaben() {
    bool ok = true;
    for (int16_t i = 0; i < 4; ++i)
        if (geaendert_[size_t(i)] && !DoInput(i)) ok = false;
    return ok;
}

void Parag57::TabGewechselt(int tab) {
    UebernimmEingaben();
    if (tab == TabGrunddaten) {
        try {
            SumKostenEX();
        } catch (const db::DbError& e) {
            forms::MsgCritical(this, QString::fromUtf8(e.what()));
        }
        CalcHonorar57();
        DisplayStuff();
    } else if (tab == TabKosten) {
        BaueSpalten();
    }
}

void Parag57::GetDaten(Currency& kosten, Currency& satz, Currency& fertig, Currency& pausch,
                       Currency& alDispPausch, Currency& honorar, Currency& alDispHonorar) {
    if (grid_->BoundModel()) grid_->Commit();
    const Parag57Werte w = rechnung_.GetDaten();
    kosten = w.kosten;
    satz = w.satz;
    fertig = w.fertig;
    pausch = w.pausch;
    alDispPausch = w.alDispPausch;
    honorar = w.honorar;
    alDispHonorar = w.alDispHonorar;
}

void Parag57::ToolClick(const QString& key) {
    if (key == "OK") {
        bar_->SetTag("X");
        accept();
    } else if (key == "DM") {
        SwitchWährung(DM);
    } else if (key == "EUR") {
        SwitchWährung(EUR);
    }
}

void Parag57::reject() {
    bar_->SetTag(QString());
    QDialog::reject();
}

void Parag57::done(int result) {
    // Cost lines are written as they are edited, also when the dialog is left without OK.
    if (grid_->BoundModel()) grid_->Commit();
    QDialog::done(result);
}

void Parag57::closeEvent(QCloseEvent* event) {
    if (isVisible()) QDialog::done(QDialog::Rejected);
    event->accept();
}

bool Parag57::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (int16_t i = 0; i < 4; ++i) {
            if (watched != feld_[size_t(i)]) continue;
            // The user leaving the field takes its entry over; a tool command's focus round trip leaves that
            // to the command's commit hook, which may refuse the command.
            const auto grund = static_cast<QFocusEvent*>(event)->reason();
            if (grund == Qt::TabFocusReason || grund == Qt::BacktabFocusReason ||
                grund == Qt::MouseFocusReason || grund == Qt::ShortcutFocusReason)
                DoInput(i);
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velu::fee
