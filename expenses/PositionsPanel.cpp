#include "expenses/PositionsPanel.h"

#include "core/MoneyFormat.h"
#include "core/ProjektSchema.h"
#include "expenses/ZeilenRechnung.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/ListenDropDown.h"
#include "platform/forms/MessageBox.h"
#include "platform/settings/SettingsStore.h"
#include "ui/DatePicSSDB.h"
#include "ui/DatumsSpalte.h"
#include "ui/avbSplitter.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace velu::expenses {

namespace {

constexpr std::int32_t Blau = 0xFF0000; // 0x00BBGGRR

} // namespace

// The employee list of the employee column: name and external rate in DM and euro; the cell takes the name.
class MitarbeiterDropDown : public forms::ListenDelegate {
public:
    MitarbeiterDropDown(const PositionsPanel& panel, QObject* parent)
        : ListenDelegate(parent), panel_(panel) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        box->setObjectName("SSDBDropDown1");
        box->setEditable(true);
        // The expense window lists the internal rates too.
        const bool intern = panel_.MitInternemSatz();
        auto* liste = new QStandardItemModel(0, intern ? 5 : 3, box);
        // Headed as the employee editor heads the rates.
        if (intern)
            liste->setHorizontalHeaderLabels({"Mitarbeiter", "Stundensatz intern DM", "Stundensatz extern DM",
                                              "Stundensatz intern €", "Stundensatz extern €"});
        else
            liste->setHorizontalHeaderLabels(
                {"Mitarbeiter", "Stundensatz extern DM", "Stundensatz extern €"});
        const auto betrag = [](Currency c, WaehrungCode w) {
            return new QStandardItem(QString::fromStdString(FormatBetrag(c, w)));
        };
        for (const Mitarbeiterdaten& m : panel_.Mitarbeiter()) {
            if (intern)
                liste->appendRow({new QStandardItem(m.name), betrag(m.stundensatzInt, DM),
                                  betrag(m.stundensatzext, DM), betrag(m.alDispStundensatzInt, EUR),
                                  betrag(m.alDispStundensatzext, EUR)});
            else
                liste->appendRow({new QStandardItem(m.name), betrag(m.stundensatzext, DM),
                                  betrag(m.alDispStundensatzext, EUR)});
        }
        auto* ansicht = new QTableView(box);
        ansicht->verticalHeader()->hide();
        ansicht->setSelectionBehavior(QAbstractItemView::SelectRows);
        box->setModel(liste);
        box->setView(ansicht);
        box->setModelColumn(0);
        ansicht->resizeColumnsToContents();
        ansicht->setMinimumWidth(ansicht->horizontalHeader()->length() + 4);
        Offen(box);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* box = static_cast<QComboBox*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        const int i = box->findText(text);
        if (i >= 0)
            box->setCurrentIndex(i);
        else
            box->setEditText(text);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }

private:
    const PositionsPanel& panel_;
};

QString PhasenText(int phase) {
    if (phase >= 1 && phase <= 9) return QStringLiteral("Leistungsphase %1").arg(phase);
    if (phase == 10) return QStringLiteral("Stundenlohnarbeiten");
    return QStringLiteral("Keine Zuordnung");
}

// The phase list of the phase column: the texts, the cell stores the number.
class PhasenDropDown : public forms::NummernDropDown {
public:
    explicit PhasenDropDown(QObject* parent) : NummernDropDown("SSDBDropDown2", Eintraege(), true, parent) {}

private:
    static std::vector<std::pair<QString, int>> Eintraege() {
        std::vector<std::pair<QString, int>> e;
        for (int k = 0; k <= 10; ++k)
            e.emplace_back(PhasenText(k), k);
        return e;
    }
};

PositionsPanel::PositionsPanel(settings::SettingsStore& settings, QString abschnitt, QWidget* form,
                               bool mitInternemSatz)
    : QWidget(form), settings_(settings), abschnitt_(std::move(abschnitt)), form_(form),
      mitInternemSatz_(mitInternemSatz) {
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    caption_ = new QLabel("Berechnungswährung DM", this);
    caption_->setObjectName("SSDBGrid1Caption");
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setAutoFillBackground(true);
    lay->addWidget(caption_);

    container_ = new QWidget(this);
    container_->setObjectName("picSplitterVContainer");
    lay->addWidget(container_, 1);
    bar_ = new QWidget(container_);
    bar_->setObjectName("picSplitterVBar");
    grid1_ = new forms::BoundGridView(container_);
    grid1_->setObjectName("SSDBGrid1");
    // A double click on a date opens the calendar instead of the cell editor.
    grid1_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::SelectedClicked);
    grid1_->SetAllowDelete(true);
    connect(grid1_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
        if (positionen_ && i.column() == positionen_->ColumnOf("Datum")) DatumKnopf();
        ListeOeffnen(i);
    });
    // The employee and phase lists open on a click, as a list does; after the time of a double click, so
    // that the second click of one does not land in the list just opened.
    connect(grid1_, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) {
        QTimer::singleShot(QApplication::doubleClickInterval(), this,
                           [this, zelle = QPersistentModelIndex(i)] { ListeOeffnen(zelle); });
    });
    // The splitter sizes the grid after the panel: the description columns follow the grid itself.
    grid1_->installEventFilter(this);
    grid2_ = new forms::BoundGridView(container_);
    grid2_->setObjectName("SSDBGrid2");
    grid2_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid2_->SetAllowDelete(false);
    grid2_->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(grid2_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.isValid()) emit katalogGewaehlt(i.row());
    });

    splitter_ = new avbSplitterV(this);
    splitter_->Create(form, "SplitterV", container_, bar_, grid1_, grid2_, -1, 100, 100);
    (void)splitter_->MinTop();
    splitter_->SkipEnabledBottom(true);
    splitter_->SkipEnabledTop(true);
    splitter_->ShowColor(Blau);

    dropDown_ = new MitarbeiterDropDown(*this, grid1_);
    phasenDropDown_ = new PhasenDropDown(grid1_);
    picker_ = new DatePicSSDB(this);
    picker_->setObjectName("DatePicSSDB1");
    picker_->hide();
    connect(picker_, &DatePicSSDB::DateAction, this, &PositionsPanel::PickerErgebnis);

    // Catalogue columns: number, text, rate in DM and in euro, unit, phase; all locked.
    const auto spalte = [](const char* feld, const QString& caption) {
        forms::BoundColumn c;
        c.field = feld;
        c.caption = caption;
        c.readOnly = true;
        return c;
    };
    const auto satz = [&spalte](const char* feld, WaehrungCode w, const char* caption = "Satz") {
        forms::BoundColumn c = spalte(feld, caption);
        c.art = forms::BoundColumn::Art::Zahl;
        c.anzeigen = [w](const db::Value& v) -> QVariant {
            const auto b = BetragAus(v);
            return b ? QString::fromStdString(FormatBetrag(*b, w)) : QString();
        };
        return c;
    };
    // The phase by its text, as in the positions' phase column.
    forms::BoundColumn zuordnung = Phasenspalte("zuordnung");
    zuordnung.readOnly = true;
    katalogSpalten_ = {spalte("Positionsnummer", "Nr"), spalte("Leistung", "Leistung"), satz("Satz", DM),
                       satz("AlDispSatz", EUR),         spalte("Einheit", "Einheit"),   zuordnung};
    if (mitInternemSatz_) {
        katalogSpalten_.push_back(satz("interSatz", DM, "interner Satz"));
        katalogSpalten_.push_back(satz("AlDispinterSatz", EUR, "interner Satz"));
    }
}

PositionsPanel::~PositionsPanel() {
    grid1_->SetBoundModel(nullptr);
    grid2_->SetBoundModel(nullptr);
}

int PositionsPanel::Modus() const {
    return Waehrungsmodus(eingabe_, anzeige_);
}

std::optional<Currency> PositionsPanel::BetragAus(const db::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return Currency::FromRaw(*i);
    if (const auto* d = std::get_if<double>(&v)) return Currency::FromRaw(std::llround(*d));
    return std::nullopt;
}

QString PositionsPanel::Heute() {
    return QDate::currentDate().toString(Qt::ISODate);
}

void PositionsPanel::SetPositionen(forms::BoundGridModel* model) {
    if (positionen_) {
        grid1_->setItemDelegateForColumn(positionen_->ColumnOf("Mitarbeiter"), nullptr);
        grid1_->setItemDelegateForColumn(positionen_->ColumnOf("Phzuordnung"), nullptr);
    }
    positionen_ = model;
    grid1_->SetBoundModel(model);
    if (!model) return;
    const int mitarbeiter = model->ColumnOf("Mitarbeiter");
    if (mitarbeiter >= 0) grid1_->setItemDelegateForColumn(mitarbeiter, dropDown_);
    const int phase = model->ColumnOf("Phzuordnung");
    if (phase >= 0) grid1_->setItemDelegateForColumn(phase, phasenDropDown_);
    Spaltenbreiten();
    ResizeGrid1();
}

void PositionsPanel::ListeOeffnen(const QModelIndex& index) {
    if (!positionen_ || !index.isValid() || !(positionen_->flags(index) & Qt::ItemIsEditable)) return;
    forms::ListenDelegate* liste = nullptr;
    if (index.column() == positionen_->ColumnOf("Mitarbeiter"))
        liste = dropDown_;
    else if (index.column() == positionen_->ColumnOf("Phzuordnung"))
        liste = phasenDropDown_;
    if (!liste) return;
    grid1_->setCurrentIndex(index);
    grid1_->edit(index);
    if (auto* box = qobject_cast<QComboBox*>(liste->OffeneListe()); box && !box->view()->isVisible())
        box->showPopup();
}

void PositionsPanel::MitarbeiterLesen() {
    mitarbeiter_.clear();
    if (!stamm_) return;
    db::Recordset rs = stamm_->OpenRecordset("SELECT Mitarbeiter, Stundensatzext, AlDispStundensatzext, "
                                             "StundensatzInt, AlDispStundensatzInt "
                                             "FROM Mitarbeiter ORDER BY Mitarbeiter, LfNr");
    for (int i = 0; i < rs.RecordCount(); ++i) {
        rs.SetAbsolutePosition(i);
        mitarbeiter_.push_back({QString::fromStdString(rs.GetText("Mitarbeiter")),
                                BetragAus(rs.Get("Stundensatzext")).value_or(Currency{}),
                                BetragAus(rs.Get("AlDispStundensatzext")).value_or(Currency{}),
                                BetragAus(rs.Get("StundensatzInt")).value_or(Currency{}),
                                BetragAus(rs.Get("AlDispStundensatzInt")).value_or(Currency{})});
    }
}

const Mitarbeiterdaten* PositionsPanel::FindeMitarbeiter(const QString& name) const {
    for (const Mitarbeiterdaten& m : mitarbeiter_)
        if (m.name == name) return &m;
    return nullptr;
}

void PositionsPanel::ZeigeEingabe(int eingabe) {
    eingabe_ = eingabe != 0 ? 1 : 0;
    const bool euro = eingabe_ != 0;
    caption_->setText(euro ? QString::fromUtf8("Berechnungswährung €")
                           : QString::fromUtf8("Berechnungswährung DM"));
    QPalette p = palette();
    if (euro) {
        p.setColor(QPalette::WindowText, QColor(255, 255, 0));
        p.setColor(QPalette::Window, QColor(0, 0, 255));
    } else {
        p.setColor(QPalette::WindowText, palette().color(QPalette::ButtonText));
    }
    caption_->setPalette(p);
}

void PositionsPanel::KatalogLesen(int filter) {
    if (!stamm_) return;
    db::Recordset rs =
        filter != 0
            ? stamm_->StoredQuery(eingabe_ == 0 ? "AufwandVerzSatzohneNull" : "AufwandVerzAldispSatzohneNull")
                  .OpenRecordset()
            : stamm_->OpenRecordset("SELECT AufwandVerz.* FROM AufwandVerz "
                                    "ORDER BY Positionsnummer, LfNr");
    grid2_->SetBoundModel(nullptr);
    katalog_ = std::make_unique<forms::BoundGridModel>(std::move(rs), katalogSpalten_);
    katalog_->SetNeueZeile(false);
    grid2_->SetBoundModel(katalog_.get());
    KatalogWaehrung();
    Spaltenbreiten();
    ResizeGrid1();
}

void PositionsPanel::KatalogWaehrung() {
    if (!katalog_) return;
    katalog_->SetColumnVisible(katalog_->ColumnOf("Satz"), eingabe_ == 0);
    katalog_->SetColumnVisible(katalog_->ColumnOf("AlDispSatz"), eingabe_ != 0);
    if (mitInternemSatz_) {
        katalog_->SetColumnVisible(katalog_->ColumnOf("interSatz"), eingabe_ == 0);
        katalog_->SetColumnVisible(katalog_->ColumnOf("AlDispinterSatz"), eingabe_ != 0);
    }
    grid2_->ApplyColumnVisibility();
}

void PositionsPanel::KatalogZeigen(bool zeigen) {
    katalogGezeigt_ = zeigen;
    if (zeigen) {
        splitter_->MinBottom(100);
        splitter_->ShowColor(Blau);
        // Half of the form's area below the toolbar, which the container fills.
        splitter_->SplitPos(container_->height() / 2);
    } else {
        splitter_->MinBottom(0);
        splitter_->ShowColor(vbButtonFace);
        SplitterAusblenden();
    }
}

void PositionsPanel::SplitterAusblenden() {
    // Beyond the container: the bar goes to the bottom and only the positions grid shows.
    splitter_->SplitPos(container_->height() + form_->height() + 1);
}

void PositionsPanel::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (!katalogGezeigt_) SplitterAusblenden();
    ErstTeilen();
    ResizeGrid1();
}

void PositionsPanel::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    ErstTeilen();
}

void PositionsPanel::ErstTeilen() {
    // Built before the form had its size: the catalogue takes the lower half once the panel is laid out,
    // and from then on a larger form, a maximised one too, keeps the share of each grid.
    if (erstGeteilt_ || !isVisible() || container_->height() <= 0) return;
    if (katalogGezeigt_) splitter_->SplitPos(container_->height() / 2);
    splitter_->Proportional(true);
    erstGeteilt_ = true;
}

bool PositionsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid1_ && event->type() == QEvent::Resize) ResizeGrid1();
    return QWidget::eventFilter(watched, event);
}

const QString PositionsPanel::ZuGrossMeldung = QString::fromUtf8("Der Betrag ist zu groß.");

void PositionsPanel::Melden(const QString& text) const {
    forms::MsgBox(form_, text, forms::MsgButtons::OK, forms::MsgIcon::Critical, form_->windowTitle());
}

void PositionsPanel::ZuGrossMelden() const {
    Melden(ZuGrossMeldung);
}

void PositionsPanel::OhneNull(int filter) {
    try {
        KatalogLesen(filter);
    } catch (const db::DbError& e) {
        Melden(QString::fromUtf8(e.what()));
        return;
    }
    FilterSpeichern(filter);
}

void PositionsPanel::SwitchLK(int zeigen) {
    KatalogZeigen(zeigen != 0);
    KatalogAnzeigeSpeichern(zeigen != 0 ? 1 : 0);
}

std::vector<forms::ToolDef> PositionsPanel::KatalogTools() {
    std::vector<forms::ToolDef> t{
        {"Band1", "DM", "DM", "Anzeige in DM"},
        {"Band1", "EUR", "EUR", "Anzeige in Euro"},
        {"Band1", "OHNENUL", QString::fromUtf8("Ohne Nullsätze"), "Nur Leistungen mit Satz anzeigen"},
        {"Band1", "SWITCHLK", "Leistungskatalog aus", "Leistungskatalog ein- oder ausblenden"}};
    for (auto& d : t)
        d.checkable = true;
    return t;
}

void PositionsPanel::AnzeigeMarkieren(forms::ToolBand& bar, int anzeige) {
    bar.SetChecked("Band1", "EUR", anzeige != 0);
    bar.SetChecked("Band1", "DM", anzeige == 0);
}

bool PositionsPanel::KatalogTool(forms::ToolBand& bar, const QString& key) {
    if (key == "OHNENUL") {
        const int filter = GespeicherterFilter() != 0 ? 0 : 1;
        OhneNull(filter);
        bar.SetChecked("Band1", "OHNENUL", filter != 0);
        return true;
    }
    if (key == "SWITCHLK") {
        // A checked tool means the pane is hidden.
        const bool zeigen = !katalogGezeigt_;
        SwitchLK(zeigen ? 1 : 0);
        bar.SetChecked("Band1", "SWITCHLK", !zeigen);
        return true;
    }
    return false;
}

void PositionsPanel::GespeicherteEinstellungen(forms::ToolBand& bar, bool filter, bool katalog) {
    if (filter) {
        const int f = GespeicherterFilter();
        if (f == 1) bar.SetChecked("Band1", "OHNENUL", true);
        OhneNull(f);
    }
    if (katalog && !GespeicherteKatalogAnzeige()) {
        bar.SetChecked("Band1", "SWITCHLK", true);
        SwitchLK(0);
    }
}

Currency PositionsPanel::Betrag(const forms::BoundGridModel& m, int row, std::string_view feld) {
    return BetragAus(m.Value(row, feld)).value_or(Currency{});
}

Satzpaar PositionsPanel::LiesPaar(const forms::BoundGridModel& m, int row, const Satzfelder& f) {
    return {Betrag(m, row, f.satz), Betrag(m, row, f.alDispSatz), Betrag(m, row, f.summ),
            Betrag(m, row, f.alDispSumm)};
}

void PositionsPanel::SetzePaar(forms::BoundGridModel& m, int row, const Satzfelder& f, const Satzpaar& p) {
    m.SetValue(row, f.satz, p.satz.Raw());
    m.SetValue(row, f.alDispSatz, p.alDispSatz.Raw());
    m.SetValue(row, f.summ, p.summ.Raw());
    m.SetValue(row, f.alDispSumm, p.alDispSumm.Raw());
}

bool PositionsPanel::IstFeld(const forms::BoundGridModel& m, int column, std::string_view feld) {
    return column >= 0 && column == m.ColumnOf(feld);
}

int PositionsPanel::Feldlaenge(const char* tabelle, const char* feld, int sonst) {
    const schema::Column* c = ProjektSchema::Get().Get(tabelle).Find(feld);
    return c && c->size > 0 ? c->size : sonst;
}

int PositionsPanel::GespeicherterFilter() const {
    return settings_.GetSetting(abschnitt_, "AUFWANZ", "0").trimmed() == "1" ? 1 : 0;
}

bool PositionsPanel::GespeicherteKatalogAnzeige() const {
    return settings_.GetSetting(abschnitt_, "LKDISP", "1").trimmed() != "0";
}

void PositionsPanel::FilterSpeichern(int filter) {
    settings_.SaveSetting(abschnitt_, "AUFWANZ", QString::number(filter));
}

void PositionsPanel::KatalogAnzeigeSpeichern(int zeigen) {
    settings_.SaveSetting(abschnitt_, "LKDISP", QString::number(zeigen));
}

bool PositionsPanel::Commit() {
    if (pickerOffen_ || !positionen_) return true;
    dropDown_->Abschliessen();
    phasenDropDown_->Abschliessen();
    return grid1_->Commit();
}

void PositionsPanel::DatumKnopf() {
    if (!positionen_) return;
    if (picker_->OeffnenInSpalte(*grid1_, positionen_->ColumnOf("Datum"))) pickerOffen_ = true;
}

void PositionsPanel::PickerErgebnis(const QString& datum, int aktion) {
    pickerOffen_ = false;
    picker_->Uebernehmen(*grid1_, positionen_ ? positionen_->ColumnOf("Datum") : -1, datum, aktion);
}

namespace {
// Room for a column's caption, so a caption wider than the column's set width is not cut.
int KopfBreite(const QTableView& grid, int column) {
    const QString text = grid.model()->headerData(column, Qt::Horizontal).toString();
    return grid.horizontalHeader()->fontMetrics().horizontalAdvance(text) + 14;
}
} // namespace

void PositionsPanel::Spaltenbreiten() {
    if (positionen_) {
        const int datum = mitInternemSatz_ ? 95 : 90;
        for (auto [feld, breite] : {std::pair{"PosNr", 44},
                                    {"Numm", 44},
                                    {"Menge", 77},
                                    {"Einheit", 47},
                                    {"Satz", 77},
                                    {"AlDispSatz", 77},
                                    {"Mitarbeiter", 100},
                                    {"Datum", datum},
                                    {"Summ", 95},
                                    {"AlDispSumm", 95},
                                    {"interSatz", 77},
                                    {"AlDispinterSatz", 77},
                                    {"interSumm", 95},
                                    {"AlDispinterSumm", 95},
                                    {"Phzuordnung", 130},
                                    {"LeistNr", 60},
                                    {"SchonVerbucht", 60},
                                    {"INPUTType", 60}}) {
            const int c = positionen_->ColumnOf(feld);
            if (c >= 0) grid1_->setColumnWidth(c, std::max(breite, KopfBreite(*grid1_, c)));
        }
    }
    if (katalog_) {
        for (auto [feld, breite] : {std::pair{"Positionsnummer", 44},
                                    {"Satz", 77},
                                    {"AlDispSatz", 77},
                                    {"Einheit", 47},
                                    {"interSatz", 77},
                                    {"AlDispinterSatz", 77},
                                    {"zuordnung", 130}}) {
            const int c = katalog_->ColumnOf(feld);
            if (c >= 0) grid2_->setColumnWidth(c, std::max(breite, KopfBreite(*grid2_, c)));
        }
    }
    // A width given to a hidden column shows it again.
    grid1_->ApplyColumnVisibility();
    grid2_->ApplyColumnVisibility();
}

void PositionsPanel::ResizeGrid1() {
    if (!positionen_) return;
    const int leistung = positionen_->ColumnOf("Leistung");
    int andere = 0;
    for (int c = 0; c < positionen_->columnCount(); ++c)
        if (c != leistung && !grid1_->isColumnHidden(c)) andere += grid1_->columnWidth(c);
    const int breite = std::max(44, grid1_->width() - andere - 38);
    if (leistung >= 0) grid1_->setColumnWidth(leistung, breite);
    if (katalog_) {
        const int k = katalog_->ColumnOf("Leistung");
        if (k >= 0) grid2_->setColumnWidth(k, breite);
    }
}

forms::BoundColumn PositionsPanel::Textspalte(const char* feld, const QString& caption, int laenge) const {
    forms::BoundColumn c;
    c.field = feld;
    c.caption = caption;
    c.maxLength = laenge;
    return c;
}

forms::BoundColumn PositionsPanel::Betragspalte(const char* feld, const QString& caption) const {
    forms::BoundColumn c = Textspalte(feld, caption, 9);
    c.art = forms::BoundColumn::Art::Zahl;
    c.anzeigen = [this](const db::Value& v) -> QVariant {
        const auto b = BetragAus(v);
        return b ? QString::fromStdString(FormatBetrag(*b, AnzeigeWaehrung(Modus()))) : QString();
    };
    c.lesen = [](const QString& text) -> std::optional<db::Value> {
        if (text.trimmed().isEmpty()) return db::Value();
        const auto b = ParseBetrag(text.toStdString());
        return b ? std::optional<db::Value>(b->Raw()) : std::nullopt;
    };
    return c;
}

forms::BoundColumn PositionsPanel::Mengenspalte(const char* feld) const {
    forms::BoundColumn c = Betragspalte(feld, feld);
    c.anzeigen = [](const db::Value& v) -> QVariant {
        const auto b = BetragAus(v);
        if (!b) return QString();
        // "###,##0.00 ": the amount format without its currency sign.
        QString t = QString::fromStdString(FormatBetrag(*b, DM));
        t.chop(3);
        return t + QLatin1Char(' ');
    };
    return c;
}

forms::BoundColumn PositionsPanel::Phasenspalte(const char* feld) const {
    forms::BoundColumn c = Textspalte(feld, feld, 0);
    c.art = forms::BoundColumn::Art::Ganzzahl;
    c.anzeigen = [](const db::Value& v) -> QVariant {
        if (const auto* i = std::get_if<int64_t>(&v)) return PhasenText(int(*i));
        return db::IsNull(v) ? QString() : PhasenText(0);
    };
    // The list's number, or one of its texts typed in.
    c.lesen = [](const QString& text) -> std::optional<db::Value> {
        const QString t = text.trimmed();
        if (t.isEmpty()) return db::Value();
        bool ok = false;
        const int n = t.toInt(&ok);
        if (ok) return n >= 0 && n <= 10 ? std::optional<db::Value>(int64_t{n}) : std::nullopt;
        for (int k = 0; k <= 10; ++k)
            if (PhasenText(k).compare(t, Qt::CaseInsensitive) == 0) return db::Value(int64_t{k});
        return std::nullopt;
    };
    return c;
}

forms::BoundColumn PositionsPanel::Datumspalte(const char* feld) const {
    return DatumsSpalte(feld, feld);
}

} // namespace velu::expenses
