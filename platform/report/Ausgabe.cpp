#include "platform/report/Ausgabe.h"

#include "platform/report/ReportFehler.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace velu::report {

namespace {
// Font sizes are given in points; the painter works in device pixels, so sizes go through pixels per mm.
QFont Font(const Schrift& s, double pxProMm) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(std::lround(s.punkt * 25.4 / 72.0 * pxProMm))));
    f.setBold(s.fett);
    f.setItalic(s.kursiv);
    return f;
}

int MaleAlle(const DisplayList& dl, QPagedPaintDevice& geraet, QPainter& p, double pxProMm) {
    for (size_t i = 0; i < dl.seiten.size(); ++i) {
        if (i > 0 && !geraet.newPage()) return SchreibFehler;
        MaleSeite(p, dl, int(i), pxProMm);
    }
    return Ok;
}
} // namespace

std::function<void(const DisplayItem&, const QSizeF&)>& AbschneideMelder() {
    static std::function<void(const DisplayItem&, const QSizeF&)> melder;
    return melder;
}

void MaleSeite(QPainter& p, const DisplayList& dl, int seite, double pxProMm) {
    if (seite < 0 || seite >= int(dl.seiten.size())) return;
    p.save();
    auto px = [&](const QRectF& r) {
        return QRectF(r.left() * pxProMm, r.top() * pxProMm, r.width() * pxProMm, r.height() * pxProMm);
    };
    for (const DisplayItem& it : dl.seiten[size_t(seite)].items) {
        const QRectF r = px(it.rect);
        switch (it.art) {
        case DisplayItem::Art::Text:
            p.setPen(Qt::black);
            p.setFont(Font(it.schrift, pxProMm));
            {
                const int vertikal = (it.ausrichtung & Qt::AlignVertical_Mask) ? 0 : int(Qt::AlignVCenter);
                const int flags = int(it.ausrichtung) | vertikal | Qt::TextWordWrap;
                if (AbschneideMelder()) {
                    const QRectF noetig = p.boundingRect(r, flags, it.text);
                    // Half a point of tolerance for the rounding of glyph metrics.
                    const double toleranz = pxProMm * 0.2;
                    if (noetig.width() > r.width() + toleranz || noetig.height() > r.height() + toleranz)
                        AbschneideMelder()(it, QSizeF(noetig.width() / pxProMm, noetig.height() / pxProMm));
                }
                p.drawText(r, flags, it.text);
            }
            break;
        case DisplayItem::Art::Linie:
            p.setPen(QPen(Qt::black, std::max(1.0, it.linienBreite * pxProMm)));
            p.drawLine(r.topLeft(), r.bottomRight());
            break;
        case DisplayItem::Art::Rahmen:
            p.setPen(QPen(Qt::black, std::max(1.0, it.linienBreite * pxProMm)));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r);
            break;
        }
    }
    p.restore();
}

int SchreibePdf(const DisplayList& dl, const QString& pfad, const QString& titel) {
    if (!QFileInfo(pfad).absoluteDir().exists()) return SchreibFehler;
    QPdfWriter w(pfad);
    w.setTitle(titel);
    w.setCreator(QStringLiteral("Velunta32"));
    w.setResolution(600);
    w.setPageSize(QPageSize(dl.seite, QPageSize::Millimeter));
    w.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p;
    if (!p.begin(&w)) return SchreibFehler;
    const int rc = MaleAlle(dl, w, p, 600 / 25.4);
    if (!p.end()) return SchreibFehler;
    return rc;
}

int Drucke(const DisplayList& dl, QPrinter& drucker) {
    drucker.setFullPage(true);
    drucker.setPageSize(QPageSize(dl.seite, QPageSize::Millimeter));
    QPainter p;
    if (!p.begin(&drucker)) return KeinDrucker;
    const int rc = MaleAlle(dl, drucker, p, drucker.resolution() / 25.4);
    p.end();
    return rc == Ok ? Ok : KeinDrucker;
}

} // namespace velu::report
