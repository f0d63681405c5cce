#include "documents/DruckAufrufRechnung.h"

#include "core/AppState.h"
#include "core/Money.h"
#include "documents/PrintRechnung.h"
#include "platform/db/Database.h"
#include "platform/db/QueryDef.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/forms/WindowPos.h"
#include "platform/help/Hilfe.h"
#include "platform/outside/ProjektUmgebung.h"
#include "platform/richtext/ScribantView.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPdfWriter>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velu::documents {

namespace {
struct Art {
    const char* abfrage;
    const char* ueberschrift;
};
constexpr Art Arten[7] = {{"DrHOAIAngebote", "Angebote"},
                          {"DrHOAIRechnungen", "Rechnungen"},
                          {"DrHOAIRechnungörtlicheBauleitungl", "örtliche Bauleitung"},
                          {"DrHOAIRechnungZusammenstell", "Zusammenstellung"},
                          {"DrHOAIStdRechnungen", "Stundenlohnrechnung"},
                          {"DrHOAIVergAngebot", "Vergleichsangebote"},
                          {"DrHOAIVergRechnung", "Vergleichsrechnungen"}};
} // namespace

QString DruckAufrufRechnung::Ueberschrift(int art) {
    return art >= 1 && art <= 7 ? QString::fromUtf8(Arten[art - 1].ueberschrift) : QString();
}

const char* DruckAufrufRechnung::Abfrage(int art) {
    return art >= 1 && art <= 7 ? Arten[art - 1].abfrage : nullptr;
}

DruckAufrufRechnung::DruckAufrufRechnung(CRModul& cr, QWidget* parent) : QDialog(parent), cr_(cr) {
    setObjectName("DruckAufrufRechnung");
    setWindowTitle(QStringLiteral("Drucken"));
    auto* layout = new QVBoxLayout(this);
    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    forms::ToolDef dm{"Band1", "DM", "DM", "Berechnung in DM"}, eur{"Band1", "EUR", "Euro", "Euro"};
    dm.checkable = eur.checkable = true;
    bar_->AddTools({{"Band1", "PRINT", "Drucken", "Druckausgabe"},
                    {"Band1", "PREVIEW", "Seitenansicht", "Seitenansicht anzeigen"},
                    dm,
                    eur,
                    {"Band1", "EXIT", "Verlassen", "Maske verlassen"}});
    bar_->SetHandler([this](const QString& key) { Befehl(key); });

    auto* kopf = new QGridLayout;
    kopf->addWidget(new QLabel(QStringLiteral("Datum"), this), 0, 0);
    dtPicker1_ = new DatumsFeld(this);
    dtPicker1_->setDate(QDate::currentDate());
    dtPicker1_->setObjectName("DTPicker1");
    kopf->addWidget(dtPicker1_, 0, 1);
    kopf->addWidget(new QLabel(QStringLiteral("Exemplare"), this), 0, 2);
    xtraText1_ = new QSpinBox(this);
    xtraText1_->setObjectName("XtraText1");
    xtraText1_->setRange(1, 99);
    xtraText1_->setValue(1);
    kopf->addWidget(xtraText1_, 0, 3);
    kopf->setColumnStretch(4, 1);
    layout->addLayout(kopf);

    grid_ = new QTableWidget(0, 1, this);
    grid_->setObjectName("SSDBGrid1");
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->hide();
    layout->addWidget(grid_);
    resize(460, 320);
    forms::LoadWindowPos(*this, App().Einstellungen());
}

DruckAufrufRechnung::~DruckAufrufRechnung() {
    forms::SaveWindowPos(*this, App().Einstellungen());
}

void DruckAufrufRechnung::Makeconection(int art, const QString& datum, int eingabe, int anzeige,
                                        int64_t lfnr) {
    auftrag_.lfnr = lfnr;
    auftrag_.eingabe = eingabe;
    auftrag_.datumText = datum;
    auftrag_.art = art;
    const QDate d = QDate::fromString(datum, QStringLiteral("dd.MM.yyyy"));
    dtPicker1_->setDate(datum.isEmpty() || !d.isValid() ? QDate::currentDate() : d);
    grid_->setHorizontalHeaderLabels({Ueberschrift(art)});
    grid_->setRowCount(0);
    data1_.reset();
    if (db::Database* stamm = App().StammDB(); stamm && Abfrage(art)) {
        data1_ = stamm->StoredQuery(Abfrage(art)).OpenRecordset();
        grid_->setRowCount(data1_->RecordCount());
        for (int i = 0; i < data1_->RecordCount(); ++i) {
            data1_->SetAbsolutePosition(i);
            grid_->setItem(i, 0,
                           new QTableWidgetItem(QString::fromStdString(data1_->GetText("Bezeichnung"))));
        }
        if (data1_->RecordCount() > 0) grid_->selectRow(0);
    }
    bar_->SetChecked("Band1", "DM", anzeige == 0);
    bar_->SetChecked("Band1", "EUR", anzeige == 1);
}

const db::Recordset* DruckAufrufRechnung::Vorlage() {
    if (!data1_ || data1_->Empty() || grid_->currentRow() < 0) return nullptr;
    data1_->SetAbsolutePosition(grid_->currentRow());
    return &*data1_;
}

namespace {
QString ReNummer(db::Database& projekt, int64_t lfnr) {
    db::Recordset rs =
        projekt.OpenRecordset("SELECT ReNummer FROM BeReList WHERE LfNr = ?", db::Params().Add(lfnr));
    return rs.Empty() ? QString() : QString::fromStdString(rs.GetText("ReNummer")).trimmed();
}
} // namespace

bool DruckAufrufRechnung::StarteDruck(int modus) {
    db::Database* projekt = App().ProjektDB();
    if (!projekt) return false;
    if (!dtPicker1_->Uebernehmen(this, QStringLiteral("Datum"))) return false;
    auftrag_.datum = dtPicker1_->date();
    auftrag_.waehrung = bar_->Checked("Band1", "DM") ? DM : EUR;
    auftrag_.liste = liste_;
    outside::ProjektUmgebung& umgebung = App().Umgebung();
    const QString ordner = umgebung.PfadVonEinstellung(QStringLiteral("VELUREPORTS"), App().ReportPfad());
    auto fenster = std::make_unique<PrintRechnung>(*projekt, cr_, umgebung, ordner, this);
    RechnungsDokument& dok = fenster->Dokument();
    try {
        BaueDokument(dok, auftrag_, Vorlage());
    } catch (const DruckFehler& e) {
        fenster.reset();
        forms::MsgBox(this, e.text);
        return false;
    }
    if (!dok.Text().Fehlend().empty()) {
        QStringList n;
        for (int64_t l : dok.Text().Fehlend())
            n << QString::number(l);
        forms::MsgBox(this, QStringLiteral("Diese Berechnungen gibt es nicht mehr; sie fehlen in der "
                                           "Zusammenstellung: ") +
                                n.join(QStringLiteral(", ")));
    }
    // Saved as PDF, the document is proposed under its number.
    const QString name =
        auftrag_.liste.empty() ? ReNummer(*projekt, auftrag_.lfnr) : QStringLiteral("Zusammenstellung");
    richtext::ScribantView::SetPdfName(&fenster->Scribant1(), name);
    richtext::ScribantView::SetPdfName(this, name);
    richtext::ScribantPro& c = fenster->Scribant1().Control();
    bool ok = true;
    if (modus != 1) {
        const int kopien = xtraText1_->value();
        QString datei = druckDatei_;
        bool gewaehlt = false;
        // Without a printer the copies go into a PDF file the user names, instead of failing after a wait.
        if (datei.isEmpty() && !richtext::ScribantView::DruckerVorhanden()()) {
            datei = richtext::ScribantView::KeinDruckerPdfAngebot(this);
            if (datei.isEmpty()) return false;
            gewaehlt = true;
        }
        if (!datei.isEmpty()) {
            QPdfWriter pdf(datei);
            pdf.setResolution(300);
            pdf.setCreator("Velunta 4.0");
            ok = c.PrintRuns(pdf, kopien, [&](int) { fenster->SetSeiteAufNull(); });
        } else {
            for (int k = 1; k <= kopien && ok; ++k) {
                fenster->SetSeiteAufNull();
                ok = c.PrintDocument();
            }
        }
        if (!ok)
            forms::MsgBox(this, QStringLiteral("Das Dokument konnte nicht gedruckt werden."));
        else if (gewaehlt)
            richtext::ScribantView::PdfGespeichert(this, datei);
    } else {
        c.BeginPreview();
        fenster->Scribant1().RefreshPages();
        c.RefreshPreview();
        fenster->Scribant1().RefreshPages();
        if (vorschauHook_) {
            QMetaObject::invokeMethod(
                fenster.get(), [this, f = fenster.get()] { vorschauHook_(*f); }, Qt::QueuedConnection);
        }
        fenster->exec();
    }
    return ok;
}

void DruckAufrufRechnung::Befehl(const QString& key) {
    if (key == "PRINT") {
        StarteDruck(0);
    } else if (key == "PREVIEW") {
        StarteDruck(1);
    } else if (key == "DM" || key == "EUR") {
        bar_->SetChecked("Band1", "DM", key == "DM");
        bar_->SetChecked("Band1", "EUR", key == "EUR");
    } else if (key == "EXIT") {
        hide();
    }
}

void DruckAufrufRechnung::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        help::ShowHilfe(Hilfethema);
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        bar_->Click("Band1", "EXIT");
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace velu::documents
