#include "masterdata/StammGridDialog.h"

#include "masterdata/BetragSpalten.h"
#include "masterdata/Zwilling.h"
#include "platform/db/Database.h"
#include "platform/forms/FormTag.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QHeaderView>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace velu::masterdata {

namespace {
// Width in pixels the text column claims at the most when the window's width is chosen, and the room left
// on the screen for the window's frame.
constexpr int TextSpalteHoechstens = 360, RahmenReserve = 40;
} // namespace

StammGridDialog::StammGridDialog(db::Database& stamm, Aufbau aufbau, QWidget* parent)
    : QDialog(parent), aufbau_(std::move(aufbau)) {
    setObjectName(aufbau_.name);
    forms::SetFormTag(*this, aufbau_.name);
    setWindowTitle(aufbau_.caption);

    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddTool({"Band1", "EXIT", "Schließen", "Maske verlassen"});
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });
    // A refused row has been told and dropped; the command waits, so closing keeps the window for a retry.
    bar_->SetCommitHook([this] { return grid_->Commit(); });

    grid_ = new forms::BoundGridView(this);
    grid_->setObjectName("SSDBGrid1");
    auto* haupt = new QVBoxLayout(this);
    haupt->setContentsMargins(0, 0, 0, 0);
    haupt->setMenuBar(bar_->ToolBar("Band1"));
    haupt->addWidget(grid_);

    model_ = std::make_unique<StammGridModel>(
        stamm.OpenRecordset("SELECT * FROM \"" + aufbau_.table + "\" ORDER BY LfNr"), aufbau_.spalten);
    forms::BoundGridModel::Callbacks cb;
    cb.nachEingabe = [this](int row, int column) { Zwilling(row, column); };
    cb.melden = [this](const QString& text) { forms::MsgCritical(this, text); };
    const QString frage = aufbau_.loeschFrage;
    cb.fragen = [this](const QString& text) {
        return forms::MsgBox(this, text, forms::MsgButtons::YesNo, forms::MsgIcon::Question, {}, 1) ==
               forms::MsgResult::Yes;
    };
    if (!frage.isEmpty() && frage != forms::BoundGridModel::LoeschFrage) {
        model_->SetLoeschfrage(false);
        cb.vorLoeschen = [this, frage](int) {
            return forms::MsgBox(this, frage, forms::MsgButtons::YesNo, forms::MsgIcon::Question, {}, 1) ==
                   forms::MsgResult::Yes;
        };
    }
    model_->SetCallbacks(std::move(cb));
    grid_->SetBoundModel(model_.get());
    grid_->FitColumnsToContents();
    // Wide enough for every column, the last one too; the text column takes the width the others leave, so
    // a long text counts only with a part of its width: it must not push the window to the screen's edge,
    // where the window's frame would put the last column beyond it.
    int breite = grid_->verticalHeader()->sizeHint().width() + 2 * grid_->frameWidth() +
                 grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < model_->columnCount(); ++c)
        if (!grid_->isColumnHidden(c))
            breite += c == aufbau_.breitSpalte ? std::min(grid_->columnWidth(c), TextSpalteHoechstens)
                                               : grid_->columnWidth(c);
    grid_->horizontalHeader()->setSectionResizeMode(aufbau_.breitSpalte, QHeaderView::Stretch);

    help::InstallHelpKey(this, aufbau_.name);
    const QScreen* bildschirm = screen();
    const int hoechstens = bildschirm ? bildschirm->availableGeometry().width() - RahmenReserve : breite;
    resize(std::min(std::max(900, breite), hoechstens), 450);
}

StammGridDialog::~StammGridDialog() {
    grid_->setModel(nullptr);
}

void StammGridDialog::Zwilling(int row, int column) {
    const std::string& feld = aufbau_.spalten[size_t(column)].field;
    for (const Paar& p : aufbau_.paare) {
        const bool dm = feld == p.dm;
        if (!dm && feld != p.euro) continue;
        const std::string& anderes = dm ? p.euro : p.dm;
        if (const auto wert = ZwillingFuellen(model_->Value(row, feld), dm, model_->Value(row, anderes)))
            model_->SetValue(row, anderes, db::Value(wert->Raw()));
    }
}

void StammGridDialog::ToolClick(const QString& key) {
    if (key == "EXIT") done(QDialog::Accepted);
}

void StammGridDialog::reject() {
    bar_->Click("Band1", "EXIT");
}

} // namespace velu::masterdata
