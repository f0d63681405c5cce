#include "documents/PrintRechnung.h"

#include "core/AppState.h"
#include "platform/forms/ToolBand.h"
#include "platform/forms/WindowPos.h"
#include "platform/help/Hilfe.h"
#include "platform/richtext/ScribantView.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace velu::documents {

PrintRechnung::PrintRechnung(db::Database& projekt, CRModul& cr, outside::ProjektUmgebung& umgebung,
                             const QString& reportOrdner, QWidget* parent)
    : QDialog(parent) {
    setObjectName("PrintRechnung");
    setWindowTitle(QStringLiteral("Druckausgabe"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    forms::ToolDef vorschau{"Band1", "PREVIEW", "Seitenansicht", "Seitenansicht anzeigen"};
    vorschau.checkable = true;
    bar_->AddTools({{"Band1", "SEITENUMBRUCH", "Seitenumbruch", "Seitenumbruch einfügen"},
                    {"Band1", "DOKUMENTENFORMAT", "Format", "Dokumentenformat"},
                    {"Band1", "PAGINIRUNG", "Paginirung", "Paginirung"},
                    {"Band1", "PRINT", "Drucken", "Druckausgabe"},
                    vorschau,
                    {"Band1", "SAVE", "Speichern", "Speichern unter"},
                    {"Band1", "SETUP", "Drucker", "Drucker einrichten"},
                    {"Band1", "EXIT", "Verlassen", "Programm verlassen"}});
    bar_->SetHandler([this](const QString& key) { Befehl(key); });
    view_ = new richtext::ScribantView(this);
    view_->setObjectName("Scribant1");
    layout->addWidget(view_);
    richtext::ScribantPro& c = view_->Control();
    dokument_ = std::make_unique<RechnungsDokument>(c, projekt, cr, umgebung, reportOrdner);
    connect(&c, &richtext::ScribantPro::NewPage, this, [this, &c](int seite) {
        RechnungsText& t = dokument_->Text();
        t.NeueSeite(c.PageView() ? seite : t.Seitenzaehler() + 1, c.PageCount());
    });
    connect(&c, &richtext::ScribantPro::PageViewChanged, this,
            [this](bool an) { SeitenansichtGeschaltet(an); });
    SeitenansichtGeschaltet(c.PageView());
    resize(900, 700);
    forms::LoadWindowPos(*this, App().Einstellungen());
}

PrintRechnung::~PrintRechnung() {
    forms::SaveWindowPos(*this, App().Einstellungen());
}

void PrintRechnung::SeitenansichtGeschaltet(bool an) {
    bar_->SetChecked("Band1", "PREVIEW", an);
    for (const char* k : {"SEITENUMBRUCH", "DOKUMENTENFORMAT", "PAGINIRUNG"})
        bar_->SetEnabled("Band1", k, !an);
}

void PrintRechnung::Befehl(const QString& key) {
    richtext::ScribantPro& c = view_->Control();
    if (key == "SEITENUMBRUCH") {
        c.InsertPageBreak();
        c.Repaginate();
    } else if (key == "DOKUMENTENFORMAT") {
        view_->FormatDialog();
    } else if (key == "PAGINIRUNG") {
        c.Repaginate();
    } else if (key == "PRINT") {
        view_->PrintDialog();
    } else if (key == "PREVIEW") {
        c.TogglePageView();
        SeitenansichtGeschaltet(c.PageView());
    } else if (key == "SAVE") {
        view_->SaveAsDialog();
    } else if (key == "SETUP") {
        view_->PrinterSetupDialog();
    } else if (key == "EXIT") {
        hide();
    }
}

void PrintRechnung::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        help::ShowHilfe(Hilfethema);
        return;
    }
    int key = e->key(), shift = int(e->modifiers());
    if (view_->TranslateKey(key, shift)) return;
    if (e->key() == Qt::Key_Escape) {
        bar_->Click("Band1", "EXIT");
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace velu::documents
