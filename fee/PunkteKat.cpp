#include "fee/PunkteKat.h"

#include "core/MoneyFormat.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

namespace velu::fee {

const QString PunkteKat::KeinKatalogMeldung = QStringLiteral("Ein Punktekatalog ist nich verfügbar");

namespace {

constexpr const char* Gesperrt = "W";

int64_t Zahl(const db::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return *i;
    if (const auto* d = std::get_if<double>(&v)) return static_cast<int64_t>(std::nearbyint(*d));
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (const auto z = ParseZahl(*s)) return static_cast<int64_t>(std::nearbyint(*z));
    }
    return 0;
}

} // namespace

PunkteKat::PunkteKat(db::Database& projektDB, db::Database& stammDB, QWidget* parent)
    : QDialog(parent), katalog_(projektDB, stammDB) {
    setObjectName("PunkteKat");
    setWindowTitle("Punktekatalog");

    toolband_ = new forms::ToolBand(this);
    toolband_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    toolband_->AddTool({"Band1", "OK", "OK", "Punkte übernehmen"});
    toolband_->SetHandler([this](const QString& key) { ToolClick(key); });

    picture1_ = new QWidget(this);
    picture1_->setObjectName("Picture1");
    auto* innen = new QVBoxLayout(picture1_);
    innen->setContentsMargins(0, 0, 0, 0);
    grid_ = new forms::BoundGridView(picture1_);
    grid_->setObjectName("SSDBGrid1");
    grid_->SetAllowDelete(false);
    innen->addWidget(grid_);

    auto* haupt = new QVBoxLayout(this);
    haupt->setMenuBar(toolband_->ToolBar("Band1"));
    haupt->addWidget(picture1_);

    help::InstallHelpKey(this, objectName());
    resize(600, 320);
}

PunkteKat::~PunkteKat() = default;

void PunkteKat::Binden(db::Recordset rs) {
    std::vector<forms::BoundColumn> spalten(3);
    spalten[0].field = "Text";
    spalten[0].caption = "Bezeichnung";
    spalten[0].readOnly = true;
    spalten[1].field = "MaxPunkte";
    spalten[1].caption = "Maximal";
    spalten[1].art = forms::BoundColumn::Art::Ganzzahl;
    spalten[1].readOnly = true;
    spalten[2].field = "VergebenePunkte";
    spalten[2].caption = "Punkte";
    spalten[2].art = forms::BoundColumn::Art::Ganzzahl;
    spalten[2].maxLength = 2;
    // An empty cell is stored as 0; a fraction is rounded like the whole-number fields of the catalogue.
    spalten[2].lesen = [](const QString& text) -> std::optional<db::Value> {
        const std::string t = text.trimmed().toStdString();
        if (t.empty()) return db::Value(int64_t{0});
        const auto z = ParseZahl(t);
        if (!z || std::fabs(*z) > 1e9) return std::nullopt;
        return db::Value(static_cast<int64_t>(std::nearbyint(*z)));
    };

    auto neu = std::make_unique<forms::BoundGridModel>(std::move(rs), std::move(spalten));
    neu->SetNeueZeile(false);
    forms::BoundGridModel* m = neu.get();
    forms::BoundGridModel::Callbacks cb;
    cb.zeilePruefen = [m](int row) -> std::optional<QString> {
        const auto meldung = PunkteKatalog::PunktePruefen(Zahl(m->Value(row, "MaxPunkte")),
                                                          Zahl(m->Value(row, "VergebenePunkte")));
        return meldung ? std::optional<QString>(QString::fromStdString(*meldung)) : std::nullopt;
    };
    cb.melden = [this](const QString& text) { forms::MsgCritical(this, text); };
    neu->SetCallbacks(std::move(cb));

    grid_->SetBoundModel(neu.get());
    model_.swap(neu); // the old model goes only after the view has let go of it
    grid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
}

void PunkteKat::LoadPunktekat(int32_t katalog, int16_t gruppe, int32_t berListNr) {
    katalogNr_ = katalog;
    gruppe_ = gruppe;
    berListNr_ = berListNr;
    toolband_->SetTag({});
    db::Recordset rs = katalog_.PunkteTabConnect(katalog, gruppe, berListNr);
    const bool leer = rs.Empty();
    Binden(std::move(rs));
    if (leer) {
        forms::MsgCritical(this, KeinKatalogMeldung);
        toolband_->SetTag(Gesperrt);
        hide();
    }
}

int16_t PunkteKat::HOAIZone() {
    const HOAIZonenWert w = katalog_.HOAIZone(katalogNr_, gruppe_, berListNr_);
    grund_ = w.grund;
    return w.zone;
}

bool PunkteKat::KeineKriterien() const {
    return toolband_->Tag() == Gesperrt;
}

QString PunkteKat::Tag() const {
    return toolband_->Tag();
}

void PunkteKat::ToolClick(const QString& key) {
    if (key == "OK") Ok();
}

void PunkteKat::Ok() {
    try {
        // A refused entry keeps the dialog open; its message has been shown and the cell is as before.
        if (!grid_->Commit()) return;
        const HOAIZonenWert w = katalog_.HOAIZone(katalogNr_, gruppe_, berListNr_);
        grund_ = w.grund;
        // The basic data keeps its zone in these cases; the user learns why it did not change.
        if (w.grund == ZonenErgebnis::KeinBereich)
            forms::MsgBox(this,
                          "Die Punktesumme" + QString::fromStdString(StrZahl(double(w.punkte))) +
                              " liegt in keiner Honorarzone des Punktekatalogs. Die Honorarzone bleibt "
                              "unverändert.",
                          forms::MsgButtons::OK, forms::MsgIcon::Exclamation);
        else if (w.grund == ZonenErgebnis::KeinVerzeichnis)
            forms::MsgBox(
                this,
                "Zu diesem Punktekatalog sind keine Honorarzonen hinterlegt. Die Honorarzone bleibt "
                "unverändert.",
                forms::MsgButtons::OK, forms::MsgIcon::Exclamation);
    } catch (const std::exception& e) {
        forms::MsgCritical(this, QString::fromUtf8(e.what()));
    }
    accept();
}

void PunkteKat::reject() {
    Ok();
}

void PunkteKat::closeEvent(QCloseEvent* event) {
    // The close box hides like OK; only the opener releases the form.
    if (!isVisible()) return;
    event->ignore();
    Ok();
}

} // namespace velu::fee
