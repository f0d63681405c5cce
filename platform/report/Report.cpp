#include "platform/report/Report.h"

#include "platform/db/Database.h"
#include "platform/report/Lauf.h"
#include "platform/report/ReportFehler.h"

#include <QDir>
#include <QFileInfo>

namespace velu::report {

namespace {
QString Gefaltet(const QString& s) {
    return s.toCaseFolded();
}
QString Aufgeloest(const QString& pfad) {
    return QString::fromStdString(db::Database::ResolvePath(pfad.toStdString()).string());
}
void Setze(QString* out, const QString& text) {
    if (out) *out = text;
}
} // namespace

// What the opening of one report tree has read: templates that several reports name are read once, and
// the subreports are counted, as templates naming each other level by level multiply them.
struct Report::Baum {
    std::map<QString, std::shared_ptr<const Vorlage>> vorlagen; // resolved path -> template
    int unterberichte = 0;
};

int Report::Oeffne(const QString& pfad, std::unique_ptr<Report>& out, QString* fehler) {
    Baum baum;
    return Lade(pfad, nullptr, 0, baum, out, fehler);
}

int Report::Lade(const QString& pfad, Report* eltern, int tiefe, Baum& baum, std::unique_ptr<Report>& out,
                 QString* fehler) {
    auto r = std::make_unique<Report>();
    r->eltern_ = eltern;
    const QString aufgeloest = Aufgeloest(pfad);
    auto& vorlage = baum.vorlagen[aufgeloest];
    if (!vorlage) {
        auto v = std::make_shared<Vorlage>();
        const int rc = Vorlage::Lade(aufgeloest, *v, fehler);
        if (rc != Ok) return rc;
        vorlage = std::move(v);
    }
    r->v_ = vorlage;
    for (const auto& [name, text] : r->v_->formeln) {
        r->formeln_[Gefaltet(name)] = text;
        r->formelNamen_[Gefaltet(name)] = name;
    }
    r->auswahl_ = r->v_->auswahl;
    const QString ordner = QFileInfo(r->v_->pfad).absolutePath();
    for (const QString& datei : r->v_->Unterberichte()) {
        const QString k =
            Gefaltet(QFileInfo(QString(datei).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName());
        bool schon = false;
        for (const auto& [name, u] : r->unter_)
            schon |= name == k;
        if (schon) continue;
        if (tiefe >= 8) {
            Setze(fehler, QStringLiteral("Unterberichte zu tief verschachtelt: ") + datei);
            return UnterberichtFehlt;
        }
        if (++baum.unterberichte > MaxUnterberichte) {
            Setze(fehler, QStringLiteral("Der Bericht nennt zu viele Unterberichte (mehr als %1): %2")
                              .arg(MaxUnterberichte)
                              .arg(datei));
            return UnterberichtFehlt;
        }
        std::unique_ptr<Report> u;
        QString f;
        if (Lade(ordner + QLatin1Char('/') + k, r.get(), tiefe + 1, baum, u, &f) != Ok) {
            Setze(fehler, QStringLiteral("Unterbericht %1: %2").arg(datei, f));
            return UnterberichtFehlt;
        }
        r->unter_.emplace_back(k, std::move(u));
    }
    out = std::move(r);
    return Ok;
}

int Report::SetzeTabellenOrt(const QString& alias, const QString& ort) {
    if (!v_->FindeTabelle(alias)) return TabelleUnbekannt;
    const QString k = Gefaltet(alias);
    for (auto& [a, o] : orte_)
        if (a == k) {
            o = ort;
            return Ok;
        }
    orte_.emplace_back(k, ort);
    return Ok;
}

int Report::SetzeUnterberichtOrt(const QString& unterbericht, const QString& alias, const QString& ort) {
    Report* u = Unterbericht(unterbericht);
    if (!u) return UnterberichtFehlt;
    return u->SetzeTabellenOrt(alias, ort);
}

Report* Report::Unterbericht(const QString& datei) const {
    const QString k =
        Gefaltet(QFileInfo(QString(datei).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName());
    for (const auto& [name, u] : unter_)
        if (name == k) return u.get();
    return nullptr;
}

const QString* Report::FormelText(const QString& name) const {
    const auto it = formeln_.find(Gefaltet(name));
    return it == formeln_.end() ? nullptr : &it->second;
}

int Report::SetzeFormel(const QString& name, const QString& text) {
    const auto it = formeln_.find(Gefaltet(name));
    if (it == formeln_.end()) return FormelUnbekannt;
    it->second = text;
    return PruefeFormel(name) ? Ok : FormelFehler;
}

bool Report::PruefeFormel(const QString& name, QString* fehler) const {
    const QString* text = FormelText(name);
    if (!text) {
        Setze(fehler, QStringLiteral("Unbekannte Formel ") + name);
        return false;
    }
    ParseFehler pf;
    const Expression e = Expression::Parse(*text, &pf);
    if (pf.position > 0) {
        Setze(fehler, QStringLiteral("%1 an Position %2").arg(pf.text).arg(pf.position));
        return false;
    }
    bool gut = true;
    e.Namen([&](const QString& alias, const QString& n, bool formel, int pos) {
        if (!gut) return;
        if (formel) {
            for (const Report* r = this; r; r = r->eltern_)
                if (r->FormelText(n)) return;
        } else if (v_->FindeTabelle(alias)) {
            return;
        }
        gut = false;
        Setze(fehler, QStringLiteral("Unbekannter Name %1 an Position %2").arg(formel ? n : alias).arg(pos));
    });
    return gut;
}

QString Report::ErsterOrt() const {
    for (const auto& [a, o] : orte_)
        if (!o.isEmpty()) return o;
    return {};
}

QString Report::OrtVon(const QString& alias) const {
    const QString k = Gefaltet(alias);
    for (const auto& [a, o] : orte_)
        if (a == k && !o.isEmpty()) return o;
    for (const Report* r = this; r; r = r->eltern_)
        if (const QString o = r->ErsterOrt(); !o.isEmpty()) return o;
    const Tabelle* t = v_->FindeTabelle(alias);
    if (!t || t->ort.isEmpty()) return {};
    return QDir(QFileInfo(v_->pfad).absolutePath()).absoluteFilePath(QString(t->ort).replace('\\', '/'));
}

namespace {

// Pages from the blocks: page header and footer on every page, the report header above the first page
// header; a block that does not fit starts a page.
DisplayList Seiten(const Vorlage& v, Lauf& lauf, std::vector<Block>& bloecke) {
    DisplayList dl;
    dl.seite = v.papier;
    const double links = v.raender.left();
    const double unten = v.papier.height() - v.raender.bottom() - v.seitenFuss.hoehe;
    std::vector<std::pair<size_t, size_t>> seitenzahlen; // page, item
    double y = 0, oben = 0;
    int letzteZeile = -1;
    auto setze = [&](Block&& b) {
        DisplayPage& s = dl.seiten.back();
        for (size_t i : b.seitenzahlen)
            seitenzahlen.emplace_back(dl.seiten.size() - 1, s.items.size() + i);
        for (DisplayItem& it : b.items) {
            it.rect.translate(links, y);
            s.items.push_back(std::move(it));
        }
        y += b.hoehe;
    };
    auto schliesse = [&]() {
        if (dl.seiten.empty()) return;
        y = unten;
        setze(lauf.SeitenBand(v.seitenFuss, letzteZeile));
    };
    size_t i = 0;
    auto neueSeite = [&](int zeile) {
        schliesse();
        dl.seiten.emplace_back();
        y = v.raender.top();
        if (dl.seiten.size() == 1)
            for (; i < bloecke.size() && bloecke[i].berichtsKopf; ++i) {
                letzteZeile = bloecke[i].zeile;
                setze(std::move(bloecke[i]));
            }
        setze(lauf.SeitenBand(v.seitenKopf, zeile));
        oben = y;
    };
    while (i < bloecke.size()) {
        Block& b = bloecke[i];
        if (dl.seiten.empty()) {
            neueSeite(b.zeile);
            continue;
        }
        if (y + b.hoehe > unten + 1e-9 && y > oben + 1e-9) neueSeite(b.zeile);
        letzteZeile = b.zeile;
        setze(std::move(b));
        ++i;
    }
    if (dl.seiten.empty()) neueSeite(-1);
    schliesse();
    const QString gesamt = QString::number(dl.seiten.size());
    for (const auto& [seite, item] : seitenzahlen) {
        QString& t = dl.seiten[seite].items[item].text;
        t = t.replace(QStringLiteral("%1"), QString::number(seite + 1)).replace(QStringLiteral("%2"), gesamt);
    }
    return dl;
}

QString Html(const QString& s) {
    return s.toHtmlEscaped();
}

// Each line of a block (items of the same top) becomes a one-row table whose cells keep the items' widths.
QString HtmlAus(const Vorlage& v, const std::vector<Block>& bloecke) {
    const double breite = v.papier.width() - v.raender.left() - v.raender.right();
    auto prozent = [&](double mm) {
        return QString::number(std::max(1, int(std::lround(mm * 100.0 / breite))));
    };
    QString h = QStringLiteral(
        "<html><head><meta charset=\"utf-8\"></head><body style=\"font-family:'DejaVu Sans'\">\n");
    for (const Block& b : bloecke) {
        std::map<long, std::vector<const DisplayItem*>> zeilen;
        for (size_t i = 0; i < b.items.size(); ++i) {
            if (std::find(b.seitenzahlen.begin(), b.seitenzahlen.end(), i) != b.seitenzahlen.end()) continue;
            const DisplayItem& it = b.items[i];
            if (it.art == DisplayItem::Art::Rahmen) continue;
            if (it.art == DisplayItem::Art::Linie && it.rect.height() != 0) continue;
            zeilen[std::lround(it.rect.top() * 10)].push_back(&it);
        }
        for (auto& [top, items] : zeilen) {
            std::sort(items.begin(), items.end(), [](const DisplayItem* a, const DisplayItem* b) {
                return a->rect.left() < b->rect.left();
            });
            bool nurLinien = true;
            for (const DisplayItem* it : items)
                nurLinien &= it->art == DisplayItem::Art::Linie;
            if (nurLinien) {
                h += QStringLiteral("<hr/>\n");
                continue;
            }
            h += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>");
            double x = 0;
            for (const DisplayItem* it : items) {
                if (it->art != DisplayItem::Art::Text) continue;
                if (it->rect.left() > x + 0.5)
                    h += QStringLiteral("<td width=\"%1%\"></td>").arg(prozent(it->rect.left() - x));
                const char* align = (it->ausrichtung & 0x0002)   ? "right"
                                    : (it->ausrichtung & 0x0004) ? "center"
                                                                 : "left";
                QString text = Html(it->text);
                if (it->schrift.fett) text = QStringLiteral("<b>") + text + QStringLiteral("</b>");
                if (it->schrift.kursiv) text = QStringLiteral("<i>") + text + QStringLiteral("</i>");
                // Right-aligned fields hold amounts and numbers: the cell grows rather than break one.
                const QLatin1String umbruch(align[0] == 'r' ? ";white-space:nowrap" : "");
                h += QStringLiteral("<td width=\"%1%\" align=\"%2\"><span style=\"font-size:%3pt%4\">%5</span></td>")
                         .arg(prozent(it->rect.width()), QLatin1String(align), QString::number(it->schrift.punkt),
                              umbruch, text);
                x = std::max(x, it->rect.right());
            }
            h += QStringLiteral("</tr></table>\n");
        }
    }
    h += QStringLiteral("</body></html>\n");
    return h;
}

int Lauf_(const Report& r, const Umfeld& u, QString* fehler,
          const std::function<void(Lauf&, std::vector<Block>&)>& fertig) {
    Umfeld umfeld = u;
    umfeld.formate = u.formate.Ergaenzt();
    Verbindungen vb(umfeld.verbindungen);
    try {
        Lauf lauf(r, umfeld, vb, nullptr);
        lauf.Laden();
        lauf.Auswaehlen();
        std::vector<Block> bloecke;
        lauf.Bloecke(bloecke);
        fertig(lauf, bloecke);
    } catch (const LaufAbbruch& a) {
        Setze(fehler, a.text);
        return a.code;
    } catch (const AuswertungsFehler& a) {
        Setze(fehler, QStringLiteral("%1 (Position %2)").arg(a.text).arg(a.position));
        return FehlerBeimAuswerten;
    } catch (const std::exception& e) {
        Setze(fehler, QString::fromUtf8(e.what()));
        return DatenbankFehler;
    }
    return Ok;
}

} // namespace

int Report::Erzeuge(const Umfeld& u, DisplayList& out, QString* fehler) const {
    return Lauf_(*this, u, fehler, [&](Lauf& lauf, std::vector<Block>& b) {
        DisplayList dl = Seiten(*v_, lauf, b);
        if (long(dl.seiten.size()) > MaxSeitenJeLauf)
            throw ZuGross(MaxSeitenJeLauf, QStringLiteral("Seiten"));
        out = std::move(dl);
    });
}

int Report::ErzeugeHtml(const Umfeld& u, QString& html, QString* fehler) const {
    return Lauf_(*this, u, fehler, [&](Lauf&, std::vector<Block>& b) { html = HtmlAus(*v_, b); });
}

} // namespace velu::report
