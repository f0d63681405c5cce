#include "documents/CRModul.h"

#include "core/AppState.h"
#include "core/MoneyFormat.h"
#include "platform/db/Database.h"
#include "platform/report/Druck.h"
#include "platform/report/ReportFehler.h"
#include "platform/report/VorschauFenster.h"

#include <QApplication>
#include <QSaveFile>
#include <QScreen>
#include <cmath>

namespace velu {

using namespace report;

report::Umfeld ProgrammUmfeld() {
    report::Umfeld u;
    u.formate.betrag = [](int64_t raw) {
        // The document's amount text without the currency sign.
        QString t = QString::fromStdString(FormatBetrag(Currency::FromRaw(raw), DM));
        return t.left(t.size() - 3);
    };
    u.formate.datum = [](const QDate& d) {
        const auto t = FormatDatum(d.toString(Qt::ISODate).toStdString());
        return t ? QString::fromStdString(*t) : QString();
    };
    u.verbindungen = [](const QString& pfad) -> db::Database* {
        for (db::Database* d : {App().ProjektDB(), App().StammDB()})
            if (d && GleicheDatei(pfad, QString::fromStdString(d->Path().string()))) return d;
        return nullptr;
    };
    return u;
}

int CRAnwendung::OpenReport(const QString& pfad, std::unique_ptr<report::Report>& out,
                            QString* fehler) const {
    return report::Report::Oeffne(pfad, out, fehler);
}

CRModul::CRModul() : CRModul(ProgrammUmfeld()) {}

CRModul::CRModul(report::Umfeld umfeld) : umfeld_(std::move(umfeld)) {}

CRModul::~CRModul() {
    SchliesseVorschau();
}

void CRModul::SchliesseVorschau() {
    if (vorschau_) {
        vorschau_->close();
        delete vorschau_.data();
    }
}

report::VorschauFenster* CRModul::Vorschau() const {
    return vorschau_.data();
}

void CRModul::CRRelease() {
    SchliesseVorschau();
    CRReport.reset();
    CRApplication.reset();
}

long CRModul::CROpenReport(QString& pfad) {
    CRApplication = std::make_unique<CRAnwendung>(umfeld_);
    std::unique_ptr<report::Report> neu;
    QString text;
    const int rc = CRApplication->OpenReport(pfad, neu, &text);
    if (rc != Ok) {
        fehlerText_ = text;
        return rc;
    }
    SchliesseVorschau();
    CRReport = std::move(neu);
    optionen_.clear();
    jobFlag_ = false;
    fehler_ = 0;
    fehlerText_.clear();
    return 0;
}

int CRModul::Lauf(report::DisplayList& dl) {
    if (!CRReport) {
        fehler_ = KeinBericht;
        fehlerText_ = QStringLiteral("Es ist kein Bericht geöffnet.");
        return fehler_;
    }
    fehlerText_.clear();
    fehler_ = CRReport->Erzeuge(CRApplication->Umfeld(), dl, &fehlerText_);
    return fehler_;
}

void CRModul::FensterGeometrie(int bildBreite, int bildHoehe, int offset, long& left, long& top, long& width,
                               long& height) {
    // nearbyint rounds halves to even in the default rounding mode.
    width = long(std::nearbyint(bildBreite * 0.85));
    left = long(std::nearbyint(bildBreite * 0.075 - offset));
    height = long(std::nearbyint(bildHoehe * 0.85));
    top = long(std::nearbyint(bildHoehe * 0.075 - offset));
}

void CRModul::CRWindowGeometry(int offset, long& left, long& top, long& width, long& height) {
    QSize s(1024, 768);
    if (const QScreen* sc = QGuiApplication::primaryScreen()) s = sc->geometry().size();
    FensterGeometrie(s.width(), s.height(), offset, left, top, width, height);
}

void CRModul::CRWindowOptions(int flags) {
    static constexpr int ids[12] = {4, 6, 10, 8, 16, 5, 7, 14, 11, 15, 12, 9};
    const int w = flags | 0xDE4;
    for (int k = 0; k < 12; ++k)
        optionen_[ids[k]] = (w & (1 << k)) != 0;
}

bool CRModul::Fensteroption(int id) const {
    const auto it = optionen_.find(id);
    return it != optionen_.end() && it->second;
}

int CRModul::CRPreview(const QString& titel, int offset, int flags, qint64 sechster) {
    long l, t, b, h;
    CRWindowGeometry(offset, l, t, b, h);
    CRWindowOptions(flags);
    report::DisplayList dl;
    if (Lauf(dl) != Ok) return fehler_;
    QWidget* owner = sechster != 0 ? QWidget::find(WId(sechster)) : QApplication::activeModalWidget();
    SchliesseVorschau();
    vorschau_ = new VorschauFenster(std::move(dl), titel, owner);
    vorschau_->setGeometry(int(l), int(t), int(b), int(h));
    vorschau_->show();
    return 0;
}

int CRModul::CRPrintOut(int flagA, int flagB, int& kopien) {
    // Below one copy prints one, and the caller learns it.
    if (kopien < 1) kopien = 1;
    jobFlag_ = flagA != 0;
    report::DisplayList dl;
    if (Lauf(dl) != Ok) return fehler_;
    DruckAuftrag a;
    a.fragen = flagB != 0;
    a.kopien = kopien;
    a.owner = QApplication::activeModalWidget();
    a.pdfDatei = druckDatei_;
    fehler_ = Drucke(dl, a);
    return fehler_;
}

int CRModul::CRSetTableLocations(const NamenUndWerte& tabellen, int n) {
    if (!CRReport) return KeinBericht;
    const int bis = n < 0 ? int(tabellen.size()) : std::min(n, int(tabellen.size()));
    for (int i = 0; i < bis; ++i)
        if (const int rc = CRReport->SetzeTabellenOrt(tabellen[size_t(i)].first, tabellen[size_t(i)].second))
            return rc;
    return 0;
}

int CRModul::CRSetTableLocation(QString& unterbericht, QString& tabelle, const QString& ort) {
    if (!CRReport) return KeinBericht;
    return CRReport->SetzeUnterberichtOrt(unterbericht, tabelle, ort);
}

int CRModul::CRExport(const QString& datei) {
    if (!CRReport) return KeinBericht;
    jobFlag_ = false;
    QString html;
    fehler_ = CRReport->ErzeugeHtml(CRApplication->Umfeld(), html, &fehlerText_);
    if (fehler_ != Ok) return fehler_;
    QSaveFile f(datei);
    const QByteArray daten = html.toUtf8();
    if (!f.open(QIODevice::WriteOnly) || f.write(daten) != daten.size() || !f.commit()) {
        fehlerText_ = QStringLiteral("Die Datei kann nicht geschrieben werden: ") + datei;
        return fehler_ = SchreibFehler;
    }
    return 0;
}

int CRModul::CRSetFormula(const NamenUndWerte& formeln, int n) {
    const int bis = n < 0 ? int(formeln.size()) : std::min(n, int(formeln.size()));
    for (int i = 0; i < bis; ++i) {
        if (!CRReport) return i + 1;
        if (CRReport->SetzeFormel(formeln[size_t(i)].first, formeln[size_t(i)].second) != Ok) return i + 1;
    }
    return 0;
}

void CRModul::CRSetDatum(const QString& text) {
    if (CRReport) CRReport->SetzeDatum(text);
}

void CRModul::CRSetSelection(const QString& formel) {
    if (CRReport) CRReport->SetzeAuswahl(formel);
}

} // namespace velu
