#include "documents/PrintFormKO.h"

#include "core/AppState.h"
#include "core/FormRegistry.h"
#include "core/MDIVelunta.h"
#include "documents/CRModul.h"
#include "platform/forms/FormTag.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/forms/WindowPos.h"
#include "platform/help/Hilfe.h"
#include "platform/outside/ProjektUmgebung.h"
#include "platform/report/VorschauFenster.h"
#include "ui/DatumsFeld.h"

#include <QApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu {

namespace {

Druckausgabe::Quellen ProgrammQuellen() {
    Druckausgabe::Quellen q;
    q.projekt = App().ProjektDB();
    q.projektPfad = App().ProjektDBPfad();
    q.stamm = App().StammDB();
    q.stammPfad = App().StammDBPfad();
    q.umgebung = &App().Umgebung();
    return q;
}

void Statuszeile(const QString& text) {
    if (auto* m = qobject_cast<MDIVelunta*>(App().Hauptfenster()))
        if (QLabel* p = m->Panel(1)) p->setText(text);
}

} // namespace

void PrintFormKO::Registrieren(FormRegistry& formen, CRModul& cr) {
    formen.Register("PrintFormKO", [&cr](QWidget* owner) -> QWidget* { return new PrintFormKO(cr, owner); });
}

PrintFormKO::PrintFormKO(CRModul& cr, QWidget* parent)
    : PrintFormKO(cr, ProgrammQuellen(),
                  App().Umgebung().PfadVonEinstellung(QStringLiteral("VELUREPORTS"), App().ReportPfad()),
                  parent) {}

PrintFormKO::PrintFormKO(CRModul& cr, Druckausgabe::Quellen quellen, const QString& reportOrdner,
                         QWidget* parent)
    : QDialog(parent), cr_(cr), routinen_(std::make_unique<Druckausgabe>(cr, std::move(quellen))) {
    setObjectName("PrintFormKO");
    setWindowTitle("Druckausgabe");

    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddTools({{"Band1",
                     "PRINT",
                     "Drucken",
                     "Bericht drucken",
                     {},
                     -1,
                     style()->standardIcon(QStyle::SP_DialogSaveButton)},
                    {"Band1",
                     "PREVIEW",
                     "Vorschau",
                     "Seitenansicht des Berichts",
                     {},
                     -1,
                     style()->standardIcon(QStyle::SP_FileDialogContentsView)}});
    forms::ToolDef dm{"Band1", "DM", "DM", "Beträge in DM"};
    dm.checkable = true;
    dm.exclusiveGroup = "Waehrung";
    forms::ToolDef eur{"Band1", "EUR", "EUR", "Beträge in Euro"};
    eur.checkable = true;
    eur.exclusiveGroup = "Waehrung";
    bar_->AddTool(dm);
    bar_->AddTool(eur);
    bar_->AddTool({"Band1",
                   "EXIT",
                   "Beenden",
                   "Druckausgabe verlassen",
                   {},
                   -1,
                   style()->standardIcon(QStyle::SP_DialogCloseButton)});
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });
    connect(bar_, &forms::ToolBand::ToolEnter, this,
            [](const QString&, const QString& d) { Statuszeile(d); });
    connect(bar_, &forms::ToolBand::ToolLeave, this, [] { Statuszeile(QString()); });

    frame1_ = new QGroupBox(this);
    frame1_->setObjectName("Frame1");
    auto* optionen = new QVBoxLayout(frame1_);
    for (int i = 0; i <= 10; ++i) {
        option1_[size_t(i)] = new QRadioButton(Druckausgabe::OptionCaptions[size_t(i)], frame1_);
        option1_[size_t(i)]->setObjectName(QString("Option1(%1)").arg(i));
        optionen->addWidget(option1_[size_t(i)]);
        connect(option1_[size_t(i)], &QRadioButton::clicked, this, [this, i] { OptionClick(i); });
    }

    auto* unten = new QGridLayout;
    auto* exemplare = new QLabel("Exemplare", this);
    text1_ = new QSpinBox(this);
    text1_->setObjectName("Text1");
    text1_->setRange(1, 99);
    text1_->setValue(1);
    exemplare->setBuddy(text1_);
    auto* datum = new QLabel("Datum", this);
    dtPicker1_ = new DatumsFeld(this);
    dtPicker1_->setDate(QDate::currentDate());
    dtPicker1_->setObjectName("DTPicker1");
    datum->setBuddy(dtPicker1_);
    unten->addWidget(exemplare, 0, 0);
    unten->addWidget(text1_, 0, 1);
    unten->addWidget(datum, 1, 0);
    unten->addWidget(dtPicker1_, 1, 1);
    unten->setColumnStretch(2, 1);

    auto* haupt = new QVBoxLayout(this);
    haupt->setMenuBar(bar_->ToolBar("Band1"));
    haupt->addWidget(frame1_);
    haupt->addLayout(unten);
    haupt->addStretch();

    // Loading: header values, report folder, date, DM checked, report tables.
    routinen_->Laden(reportOrdner);
    bar_->SetChecked("Band1", "DM", true);
    bar_->SetChecked("Band1", "EUR", false);
    help::InstallHelpKey(this, "PrintFormKO");
    adjustSize();
}

PrintFormKO::~PrintFormKO() {
    if (!entladen_) cr_.CRRelease();
}

void PrintFormKO::PrintMode2(int index, int64_t lfnr, const QString& nummer, int64_t ursprung) {
    routinen_->PrintMode2(index, lfnr, nummer, ursprung);
    const int h = frame1_->height() > 0 ? frame1_->height() : frame1_->sizeHint().height();
    frame1_->hide();
    layout()->activate();
    resize(width(), std::max(minimumSizeHint().height(), height() - h));
}

int PrintFormKO::wasIstZUDrucken() const {
    int gewaehlt = -1;
    for (int i = 0; i <= 10 && gewaehlt < 0; ++i)
        if (option1_[size_t(i)]->isChecked()) gewaehlt = i;
    return routinen_->wasIstZUDrucken(gewaehlt);
}

void PrintFormKO::OptionClick(int index) {
    const bool zeigen = index != 4 && index != 6 && index != 7 && index != 8;
    bar_->SetVisible("Band1", "DM", zeigen);
    bar_->SetVisible("Band1", "EUR", zeigen);
}

void PrintFormKO::Warten() {
    QPointer<report::VorschauFenster> v = cr_.Vorschau();
    if (!v) return;
    QEventLoop loop;
    connect(v, &QObject::destroyed, &loop, &QEventLoop::quit);
    while (v && v->isVisible())
        loop.exec();
}

void PrintFormKO::ToolClick(const QString& key) {
    if (key == "PRINT" || key == "PREVIEW") {
        if (!dtPicker1_->Uebernehmen(this, QStringLiteral("Datum"))) return;
        int gewaehlt = -1;
        for (int i = 0; i <= 10 && gewaehlt < 0; ++i)
            if (option1_[size_t(i)]->isChecked()) gewaehlt = i;
        Druckausgabe::Dialog& d = routinen_->Fenster();
        d.melden = [](const QString& text) {
            forms::MsgBox(nullptr, text, forms::MsgButtons::OK, forms::MsgIcon::None,
                          QApplication::applicationDisplayName());
        };
        d.warten = [this] { Warten(); };
        d.kopien = text1_->text();
        d.datum = dtPicker1_->date().toString("dd.MM.yyyy");
        d.dm = bar_->Checked("Band1", "DM");
        d.caption = windowTitle();
        d.fenster = qint64(winId());
        // Disabled while the routine runs, its tools too, so a second command cannot replace the report being
        // prepared.
        setEnabled(false);
        for (const char* k : {"PRINT", "PREVIEW"})
            bar_->SetEnabled("Band1", k, false);
        try {
            routinen_->Dispatch(key == "PREVIEW" ? 1 : 0, gewaehlt);
        } catch (const std::exception& e) {
            d.melden(QString::fromUtf8(e.what()));
        }
        for (const char* k : {"PRINT", "PREVIEW"})
            bar_->SetEnabled("Band1", k, true);
        setEnabled(true);
    } else if (key == "DM" || key == "EUR") {
        bar_->SetChecked("Band1", "DM", key == "DM");
        bar_->SetChecked("Band1", "EUR", key == "EUR");
    } else if (key == "EXIT") {
        bar_->SetBandVisible("Band1", false);
        done(QDialog::Accepted);
    }
}

void PrintFormKO::reject() {
    bar_->Click("Band1", "EXIT");
}

void PrintFormKO::done(int r) {
    // Unloading: the report and its preview go, the position is kept.
    cr_.CRRelease();
    entladen_ = true;
    forms::SaveWindowPos(*this, App().Einstellungen());
    QDialog::done(r);
}

} // namespace velu
