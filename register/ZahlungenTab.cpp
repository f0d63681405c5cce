#include "register/ZahlungenTab.h"

#include "core/Money.h"
#include "core/MoneyFormat.h"
#include "core/ProjektSchema.h"
#include "platform/db/Database.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/MessageBox.h"
#include "ui/DatePicSSDB.h"
#include "ui/DatumsSpalte.h"

#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace velu::reg {

const QString ZahlungenTab::LoeschFrage =
    QStringLiteral("Soll(en) die markierte(n) Zahlung(en) gelöscht werden");

namespace {

Currency AlsBetrag(const db::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return Currency::FromRaw(*i);
    if (const auto* d = std::get_if<double>(&v)) return Currency::FromRaw(std::llround(*d));
    return {};
}

forms::BoundColumn NeueSpalte(const char* feld, forms::BoundColumn::Art art = forms::BoundColumn::Art::Text,
                              bool programm = false) {
    forms::BoundColumn c;
    c.field = feld;
    c.caption = feld;
    c.art = art;
    // Filled by the program: neither typed into nor shown.
    c.readOnly = programm;
    c.visible = !programm;
    return c;
}

int Laenge(const char* feld, int sonst) {
    const schema::Column* c = ProjektSchema::Get().Get("Zahlung").Find(feld);
    return c && c->size > 0 ? c->size : sonst;
}

forms::BoundColumn BetragSpalte(const char* feld, WaehrungCode waehrung) {
    forms::BoundColumn c = NeueSpalte(feld, forms::BoundColumn::Art::Zahl);
    c.caption = "Betrag";
    c.maxLength = 16;
    c.anzeigen = [waehrung](const db::Value& v) -> QVariant {
        if (db::IsNull(v)) return QString();
        return QString::fromStdString(FormatBetrag(AlsBetrag(v), waehrung));
    };
    c.lesen = [](const QString& text) -> std::optional<db::Value> {
        if (text.trimmed().isEmpty()) return db::Value();
        auto b = ParseBetrag(text.toStdString());
        if (!b) return std::nullopt;
        return db::Value(b->Raw());
    };
    return c;
}

} // namespace

ZahlungenTab::ZahlungenTab(QWidget* parent) : QWidget(parent) {
    setObjectName("Zahlungen");
    auto* lay = new QVBoxLayout(this);
    caption_ = new QLabel("Berechnungswährung DM", this);
    caption_->setObjectName("SSDBGrid1Caption");
    caption_->setAutoFillBackground(true);
    lay->addWidget(caption_);
    grid_ = new forms::BoundGridView(this);
    grid_->setObjectName("SSDBGrid1");
    // A double click on a date opens the calendar instead of the cell editor.
    grid_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
    connect(grid_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.column() == Datum) DatumKnopf();
    });
    lay->addWidget(grid_, 1);
    picker_ = new DatePicSSDB(this);
    picker_->setObjectName("DatePicSSDB1");
    picker_->hide();
    connect(picker_, &DatePicSSDB::DateAction, this, &ZahlungenTab::PickerErgebnis);
    Unbind();
}

ZahlungenTab::~ZahlungenTab() {
    grid_->SetBoundModel(nullptr);
}

void ZahlungenTab::Unbind() {
    if (pickerOffen_) {
        pickerOffen_ = false;
        picker_->hide();
    }
    if (model_) {
        grid_->CommitEditor();
        model_->Commit();
    }
    grid_->SetBoundModel(nullptr);
    model_.reset();
    lfnr_ = ursprung_ = 0;
    grid_->setEnabled(false);
}

void ZahlungenTab::Disconnect() {
    Unbind();
}

void ZahlungenTab::Connect(db::Database& db, int64_t lfnr, int64_t ursprung, int inputType, int displayType) {
    Unbind();
    const WaehrungCode eingabe = inputType != 0 ? EUR : DM;
    const WaehrungCode andere = eingabe == DM ? EUR : DM;
    forms::BoundColumn bemerkung = NeueSpalte("Bemerkung");
    bemerkung.maxLength = Laenge("Bemerkung", 100);
    forms::BoundColumn datum = DatumsSpalte("Datum", "Datum");
    forms::BoundColumn nr = NeueSpalte("LfNrBeReList", forms::BoundColumn::Art::Ganzzahl, true);
    forms::BoundColumn gruppe = NeueSpalte("Ursprung", forms::BoundColumn::Art::Ganzzahl, true);

    db::Recordset rs = db.OpenRecordset("SELECT Zahlung.* FROM Zahlung WHERE Zahlung.LfNrBeReList = :Nr "
                                        "ORDER BY Zahlung.LfNr",
                                        db::Params().Set("Nr", lfnr));
    model_ = std::make_unique<forms::BoundGridModel>(
        std::move(rs), std::vector<forms::BoundColumn>{bemerkung, datum, BetragSpalte("Zahlung", eingabe),
                                                       BetragSpalte("AlDispZahlung", andere), nr, gruppe});
    lfnr_ = lfnr;
    ursprung_ = ursprung;
    inputType_ = inputType;
    displayType_ = displayType;

    forms::BoundGridModel::Callbacks cb;
    cb.schluesselFuellen = [this](db::Recordset& r, bool) {
        r.Set("LfNrBeReList", lfnr_);
        r.Set("Ursprung", ursprung_);
    };
    cb.nachEingabe = [this](int row, int column) { NachEingabe(row, column); };
    cb.vorLoeschen = [this](int row) {
        return forms::MsgBox(this, LoeschFrage + ZahlungText(row), forms::MsgButtons::YesNo,
                             forms::MsgIcon::Question, Titel(), 1) == forms::MsgResult::Yes;
    };
    cb.melden = [this](const QString& text) {
        forms::MsgBox(this, text, forms::MsgButtons::OK, forms::MsgIcon::Critical, Titel());
    };
    model_->SetCallbacks(std::move(cb));
    model_->SetLoeschfrage(false);
    grid_->SetBoundModel(model_.get());
    grid_->setEnabled(true);
    SchaltZahhlungen(displayType);
    // The remark takes the width the date and the amounts leave.
    grid_->FitColumnsToContents();
    const int datumBreite = grid_->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 12;
    grid_->setColumnWidth(Datum, std::max(grid_->columnWidth(Datum), datumBreite));
    grid_->horizontalHeader()->setSectionResizeMode(Bemerkung, QHeaderView::Stretch);
}

QString ZahlungenTab::Titel() const {
    // The register's caption; inside the MDI area window() would give the main window's.
    for (const QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (!w->windowTitle().isEmpty()) return w->windowTitle();
    return {};
}

QString ZahlungenTab::ZahlungText(int row) const {
    // Date and amount as the grid shows them, so that the user sees which payment goes.
    const int betrag = grid_->isColumnHidden(Betrag) ? AlDispBetrag : Betrag;
    QString datum = model_->data(model_->index(row, Datum)).toString();
    if (datum.isEmpty()) datum = QStringLiteral("ohne Datum");
    QString text =
        QStringLiteral("\n\n%1   %2").arg(datum, model_->data(model_->index(row, betrag)).toString());
    const QString bemerkung = model_->data(model_->index(row, Bemerkung)).toString().trimmed();
    if (!bemerkung.isEmpty()) text += QStringLiteral("   ") + bemerkung;
    return text;
}

void ZahlungenTab::NachEingabe(int row, int column) {
    if (column != Betrag && column != AlDispBetrag) return;
    const char* feld = column == Betrag ? "Zahlung" : "AlDispZahlung";
    const db::Value v = model_->Value(row, feld);
    if (db::IsNull(v)) {
        model_->SetValue(row, "Zahlung", db::Value());
        model_->SetValue(row, "AlDispZahlung", db::Value());
        return;
    }
    Currency wert, altWert;
    const WaehrungCode anzeige = displayType_ != 0 ? EUR : DM;
    if (column == Betrag) {
        WährungsWert(1, AlsBetrag(v), anzeige, wert, altWert);
        model_->SetValue(row, "AlDispZahlung", altWert.Raw());
    } else {
        // Typed in the display currency: the entry currency's amount is rounded, its twin worked back.
        WährungsWert(2, AlsBetrag(v), anzeige, wert, altWert);
        model_->SetValue(row, "Zahlung", wert.Raw());
        model_->SetValue(row, "AlDispZahlung", altWert.Raw());
    }
}

void ZahlungenTab::SchaltZahhlungen(int displayType) {
    displayType_ = displayType;
    if (!model_) return;
    const int modus = 2 * (inputType_ != 0 ? 1 : 0) + (displayType != 0 ? 1 : 0) + 1;
    const bool gleich = modus == 1 || modus == 4;
    model_->SetColumnVisible(Betrag, gleich);
    model_->SetColumnVisible(AlDispBetrag, !gleich);
    grid_->ApplyColumnVisibility();
}

void ZahlungenTab::ZeigeWaehrung(int inputType) {
    const bool euro = inputType != 0;
    caption_->setText(euro ? "Berechnungswährung €" : "Berechnungswährung DM");
    QPalette p = palette();
    if (euro) {
        p.setColor(QPalette::WindowText, Qt::yellow);
        p.setColor(QPalette::Window, Qt::blue);
    }
    caption_->setPalette(p);
}

bool ZahlungenTab::Commit() {
    if (pickerOffen_ || !model_) return true;
    return grid_->Commit();
}

void ZahlungenTab::DatumKnopf() {
    if (!model_) return;
    if (picker_->OeffnenInSpalte(*grid_, Datum)) pickerOffen_ = true;
}

void ZahlungenTab::PickerErgebnis(const QString& datum, int aktion) {
    pickerOffen_ = false;
    picker_->Uebernehmen(*grid_, model_ ? Datum : -1, datum, aktion);
}

} // namespace velu::reg
