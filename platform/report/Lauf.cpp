#include "platform/report/Lauf.h"

#include "platform/db/DbError.h"
#include "platform/report/ReportFehler.h"

#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QLocale>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace velu::report {

namespace {
// The height in millimetres that text needs at this font when wrapped at breite mm; anywhere is set when a
// word alone is wider than the field, so that it has to break inside the word.
double Texthoehe(const QString& text, const Schrift& s, double breite, bool& anywhere) {
    constexpr double pxProMm = 600 / 25.4; // the resolution of the PDF output
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(std::lround(s.punkt * 25.4 / 72.0 * pxProMm))));
    f.setBold(s.fett);
    f.setItalic(s.kursiv);
    auto zeilen = [&](QTextOption::WrapMode modus, bool& zuBreit) {
        QString t = text;
        t.replace(QLatin1Char('\n'), QChar::LineSeparator);
        QTextLayout l(t, f);
        QTextOption o;
        o.setWrapMode(modus);
        l.setTextOption(o);
        l.beginLayout();
        double h = 0;
        zuBreit = false;
        for (QTextLine z = l.createLine(); z.isValid(); z = l.createLine()) {
            z.setLineWidth(breite * pxProMm);
            zuBreit = zuBreit || z.naturalTextWidth() > breite * pxProMm + 0.5;
            h += z.height();
        }
        l.endLayout();
        return h / pxProMm;
    };
    bool zuBreit = false;
    double h = zeilen(QTextOption::WordWrap, zuBreit);
    anywhere = zuBreit;
    if (zuBreit) h = zeilen(QTextOption::WrapAtWordBoundaryOrAnywhere, zuBreit);
    return h;
}

// The width in millimetres of the text's widest line when nothing wraps.
double Textbreite(const QString& text, const Schrift& s) {
    constexpr double pxProMm = 600 / 25.4;
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(std::lround(s.punkt * 25.4 / 72.0 * pxProMm))));
    f.setBold(s.fett);
    f.setItalic(s.kursiv);
    QString t = text;
    t.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout l(t, f);
    QTextOption o;
    o.setWrapMode(QTextOption::NoWrap);
    l.setTextOption(o);
    l.beginLayout();
    double breite = 0;
    for (QTextLine z = l.createLine(); z.isValid(); z = l.createLine()) {
        z.setLineWidth(1e6);
        breite = std::max(breite, z.naturalTextWidth());
    }
    l.endLayout();
    return breite / pxProMm;
}
} // namespace

namespace {

QString Schluessel(const QString& alias, const QString& feld) {
    return (alias + QLatin1Char('.') + feld).toCaseFolded();
}

RValue AusSpalte(sqlite3_stmt* st, int i, const QByteArray& typ) {
    const int art = sqlite3_column_type(st, i);
    if (art == SQLITE_NULL) return {};
    if (typ == "CURRENCY") {
        if (art == SQLITE_INTEGER) return RValue::Money(sqlite3_column_int64(st, i));
        const double d = sqlite3_column_double(st, i);
        if (!(std::fabs(d) < 9.2e18)) return {};
        return RValue::Money(int64_t(std::nearbyint(d)));
    }
    if (typ == "BOOLEAN") return RValue::Bool(sqlite3_column_int64(st, i) != 0);
    if (typ == "DATE" || typ == "DATETIME") {
        const QString t = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
        return RValue::Date(QDate::fromString(t.left(10), Qt::ISODate));
    }
    switch (art) {
    case SQLITE_INTEGER:
        return RValue::Number(double(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return RValue::Number(sqlite3_column_double(st, i));
    case SQLITE_TEXT:
        return RValue::Text(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                              sqlite3_column_bytes(st, i)));
    default:
        return {};
    }
}

int Vergleich(const RValue& a, const RValue& b) {
    using K = RValue::Kind;
    if (a.IsNull() || b.IsNull()) return int(!a.IsNull()) - int(!b.IsNull());
    if (a.kind == K::Money && b.kind == K::Money) return a.geld < b.geld ? -1 : a.geld > b.geld;
    if (a.IsNumeric() && b.IsNumeric()) return a.AsDouble() < b.AsDouble() ? -1 : a.AsDouble() > b.AsDouble();
    if (a.kind != b.kind) return int(a.kind) - int(b.kind);
    switch (a.kind) {
    case K::Text:
        return QString::localeAwareCompare(a.text, b.text);
    case K::Date:
        return a.datum < b.datum ? -1 : a.datum > b.datum;
    case K::Bool:
        return int(a.wahr) - int(b.wahr);
    default:
        return 0;
    }
}

// Key of a link value: numbers alike whatever their column type.
QString VerknuepfungsWert(const RValue& v) {
    if (v.IsNull()) return {};
    if (v.IsNumeric()) return QStringLiteral("n") + QString::number(v.AsDouble(), 'g', 17);
    if (v.kind == RValue::Kind::Date) return QStringLiteral("d") + v.datum.toString(Qt::ISODate);
    if (v.kind == RValue::Kind::Bool) return v.wahr ? QStringLiteral("b1") : QStringLiteral("b0");
    return QStringLiteral("t") + v.text;
}

} // namespace

LaufAbbruch ZuGross(long grenze, const QString& was) {
    return {BerichtZuGross,
            QStringLiteral("Der Bericht ist zu groß: mehr als %1 %2. Bitte die Auswahl einschränken.")
                .arg(QLocale(QLocale::German).toString(qlonglong(grenze)), was)};
}

Lauf::Lauf(const Report& r, const Umfeld& u, Verbindungen& vb, Lauf* eltern)
    : r_(r), u_(u), vb_(vb), eltern_(eltern), wurzel_(eltern ? eltern->wurzel_ : this),
      tiefe_(eltern ? eltern->tiefe_ + 1 : 0) {}

Lauf::~Lauf() = default;

int Lauf::Slot(const QString& alias, const QString& feld) const {
    return slots_.value(Schluessel(alias, feld), -1);
}

void Lauf::LadeTabelle(db::Database* d, const Tabelle& t, const std::vector<QString>& spalten, int versatz,
                       std::vector<std::vector<RValue>>& zeilen) {
    // The name was found in the database; quoting keeps any character of it a name.
    QString name = t.tabelle;
    name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\"").arg(name).toUtf8();
    sqlite3_stmt* st = nullptr;
    if (const int rc = sqlite3_prepare_v2(d->Handle(), sql.constData(), -1, &st, nullptr); rc != SQLITE_OK) {
        const QString m = QString::fromStdString(db::DbError::Message(d->Handle(), rc));
        sqlite3_finalize(st);
        throw LaufAbbruch{DatenbankFehler, m};
    }
    const int n = sqlite3_column_count(st);
    std::vector<QByteArray> typen(static_cast<size_t>(n));
    std::vector<int> ziel(static_cast<size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        const char* dt = sqlite3_column_decltype(st, i);
        typen[size_t(i)] = QByteArray(dt ? dt : "").toUpper();
        const QString c = QString::fromUtf8(sqlite3_column_name(st, i));
        for (size_t k = 0; k < spalten.size(); ++k)
            if (spalten[k].compare(c, Qt::CaseInsensitive) == 0) ziel[size_t(i)] = versatz + int(k);
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::vector<RValue> z(static_cast<size_t>(breite_));
        for (int i = 0; i < n; ++i)
            if (ziel[size_t(i)] >= 0) z[size_t(ziel[size_t(i)])] = AusSpalte(st, i, typen[size_t(i)]);
        zeilen.push_back(std::move(z));
    }
    const QString m = QString::fromStdString(db::DbError::Message(d->Handle(), rc));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) throw LaufAbbruch{DatenbankFehler, m};
}

void Lauf::Laden() {
    if (tiefe_ > 8)
        throw LaufAbbruch{UnterberichtFehlt, QStringLiteral("Unterberichte zu tief verschachtelt")};
    const Vorlage& v = r_.Vorl();
    // Column names first: the width of a joined row is known before any row is read.
    std::vector<std::vector<QString>> spalten(v.tabellen.size());
    std::vector<std::vector<std::vector<RValue>>> daten(v.tabellen.size());
    std::vector<int> versatz;
    std::vector<db::Database*> dbs;
    for (size_t j = 0; j < v.tabellen.size(); ++j) {
        const Tabelle& t = v.tabellen[j];
        QString fehler;
        db::Database* d = vb_.Fuer(r_.OrtVon(t.alias), &fehler);
        if (!d) throw LaufAbbruch{DatenbankFehlt, QStringLiteral("Tabelle %1: %2").arg(t.alias, fehler)};
        try {
            if (!d->HasTable(t.tabelle.toStdString()))
                throw LaufAbbruch{TabelleUnbekannt,
                                  QStringLiteral("Die Datenbank hat keine Tabelle ") + t.tabelle};
            versatz.push_back(breite_);
            dbs.push_back(d);
            for (const std::string& c : d->Columns(t.tabelle.toStdString())) {
                spalten[j].push_back(QString::fromStdString(c));
                slots_.insert(Schluessel(t.alias, spalten[j].back()), breite_++);
            }
        } catch (const db::DbError& e) {
            throw LaufAbbruch{DatenbankFehler, QString::fromUtf8(e.what())};
        }
    }
    for (size_t j = 0; j < v.tabellen.size(); ++j)
        LadeTabelle(dbs[j], v.tabellen[j], spalten[j], versatz[j], daten[j]);

    // Join: every later table is linked to earlier ones; a row without a partner keeps Nulls (outer join).
    if (!daten.empty()) alle_ = std::move(daten[0]);
    for (size_t j = 1; j < v.tabellen.size(); ++j) {
        const Tabelle& t = v.tabellen[j];
        std::vector<int> von, zu;
        for (const auto& [f, eigen] : t.links) {
            const int a = slots_.value(f.toCaseFolded(), -1);
            const int b = Slot(t.alias, eigen);
            if (a < 0 || b < 0)
                throw LaufAbbruch{SpalteUnbekannt,
                                  QStringLiteral("Verknüpfung %1 = %2.%3").arg(f, t.alias, eigen)};
            von.push_back(a);
            zu.push_back(b);
        }
        QMultiHash<QString, size_t> index;
        for (size_t i = 0; i < daten[j].size(); ++i) {
            QString k;
            for (int b : zu)
                k += VerknuepfungsWert(daten[j][i][size_t(b)]) + QChar(0x1F);
            index.insert(k, i);
        }
        std::vector<std::vector<RValue>> neu;
        for (auto& z : alle_) {
            QString k;
            bool leer = false;
            for (int a : von) {
                leer |= z[size_t(a)].IsNull();
                k += VerknuepfungsWert(z[size_t(a)]) + QChar(0x1F);
            }
            QList<size_t> treffer = leer ? QList<size_t>() : index.values(k);
            std::sort(treffer.begin(), treffer.end());
            if (treffer.isEmpty()) {
                neu.push_back(std::move(z));
                continue;
            }
            for (size_t i : treffer) {
                std::vector<RValue> n = z;
                for (int s = versatz[j]; s < versatz[j] + int(spalten[j].size()); ++s)
                    n[size_t(s)] = daten[j][i][size_t(s)];
                neu.push_back(std::move(n));
            }
        }
        alle_ = std::move(neu);
    }

    for (const auto& [name, text] : r_.Formeln()) {
        ParseFehler f;
        Expression e = Expression::Parse(text, &f);
        if (f.position > 0)
            throw LaufAbbruch{
                FormelFehler,
                QStringLiteral("Formel %1: %2 an Position %3").arg(name, f.text).arg(f.position)};
        formeln_.emplace(name, std::move(e));
    }
    ParseFehler f;
    auswahl_ = Expression::Parse(r_.Auswahl(), &f);
    if (f.position > 0)
        throw LaufAbbruch{FormelFehler,
                          QStringLiteral("Auswahlformel: %1 an Position %2").arg(f.text).arg(f.position)};
    PruefeNamen(auswahl_, QStringLiteral("Auswahlformel"));
    for (const auto& [name, e] : formeln_)
        PruefeNamen(e, QStringLiteral("Formel ") + name);
    v.JedesElementAusdruck([this](const Expression& e) { PruefeNamen(e, e.Text()); });
    PruefeSummen();
}

void Lauf::PruefeNamen(const Expression& e, const QString& wo) {
    e.Namen([&](const QString& alias, const QString& name, bool formel, int pos) {
        if (formel) {
            for (const Lauf* l = this; l; l = l->eltern_)
                if (l->r_.FormelText(name)) return;
            throw LaufAbbruch{
                FormelFehler,
                QStringLiteral("%1: unbekannte Formel %2 an Position %3").arg(wo, name).arg(pos)};
        }
        if (Slot(alias, name) >= 0) return;
        if (!r_.Vorl().FindeTabelle(alias))
            throw LaufAbbruch{
                FormelFehler,
                QStringLiteral("%1: unbekannte Tabelle %2 an Position %3").arg(wo, alias).arg(pos)};
        throw LaufAbbruch{SpalteUnbekannt,
                          QStringLiteral("%1: die Tabelle %2 hat keine Spalte %3").arg(wo, alias, name)};
    });
}

RValue Lauf::Feld(const QString& alias, const QString& feld, int position) {
    const int s = Slot(alias, feld);
    if (s < 0)
        throw AuswertungsFehler{position,
                                QStringLiteral("Unbekanntes Feld ") + alias + QLatin1Char('.') + feld};
    if (akt_ < 0 || akt_ >= int(zeilen_.size())) return {};
    return alle_[size_t(zeilen_[size_t(akt_)])][size_t(s)];
}

RValue Lauf::Formel(const QString& name, int position) {
    const auto it = formeln_.find(name.toCaseFolded());
    if (it == formeln_.end()) {
        if (eltern_) return eltern_->Formel(name, position);
        throw AuswertungsFehler{position, QStringLiteral("Unbekannte Formel ") + name};
    }
    std::vector<int> stand = FormelStand();
    if (stand != formelStand_) {
        formelWerte_.clear();
        formelStand_ = std::move(stand);
    } else if (const auto w = formelWerte_.find(it->first); w != formelWerte_.end()) {
        return w->second;
    }
    if (formelTiefe_ >= 64)
        throw AuswertungsFehler{position, QStringLiteral("Formel ruft sich selbst auf: ") + name};
    ++formelTiefe_;
    struct Zurueck {
        int& t;
        ~Zurueck() { --t; }
    } zurueck{formelTiefe_};
    RValue wert = it->second.Eval(*this);
    formelWerte_[it->first] = wert;
    return wert;
}

std::vector<int> Lauf::FormelStand() const {
    std::vector<int> stand;
    for (const Lauf* l = this; l; l = l->eltern_)
        stand.push_back(l->akt_ >= 0 && l->akt_ < int(l->zeilen_.size()) ? l->zeilen_[size_t(l->akt_)] : -1);
    return stand;
}

void Lauf::Auswaehlen(const std::vector<std::pair<int, RValue>>& gleich) {
    const Vorlage& v = r_.Vorl();
    zeilen_.clear();
    zeilen_.reserve(alle_.size());
    // Selection reads the candidate row through akt_, so the candidate sits at the end of zeilen_.
    for (size_t i = 0; i < alle_.size(); ++i) {
        bool passt = true;
        for (const auto& [slot, wert] : gleich)
            if (wert.IsNull() || Vergleich(alle_[i][size_t(slot)], wert) != 0 ||
                alle_[i][size_t(slot)].IsNull()) {
                passt = false;
                break;
            }
        if (!passt) continue;
        zeilen_.push_back(int(i));
        akt_ = int(zeilen_.size()) - 1;
        if (!auswahl_.Empty() && !IstWahr(auswahl_.Eval(*this))) zeilen_.pop_back();
    }
    // Keys: the group values, then the sort values.
    const size_t ng = v.gruppen.size(), nk = ng + v.sortierung.size();
    std::vector<std::vector<RValue>> keys(zeilen_.size(), std::vector<RValue>(nk));
    for (size_t p = 0; p < zeilen_.size(); ++p) {
        akt_ = int(p);
        for (size_t g = 0; g < ng; ++g)
            keys[p][g] = v.gruppen[g].wert.Eval(*this);
        for (size_t s = 0; s < v.sortierung.size(); ++s)
            keys[p][ng + s] = v.sortierung[s].wert.Eval(*this);
    }
    std::vector<size_t> ord(zeilen_.size());
    for (size_t i = 0; i < ord.size(); ++i)
        ord[i] = i;
    std::stable_sort(ord.begin(), ord.end(), [&](size_t a, size_t b) {
        for (size_t k = 0; k < nk; ++k) {
            int c = Vergleich(keys[a][k], keys[b][k]);
            if (k >= ng && v.sortierung[k - ng].absteigend) c = -c;
            if (c != 0) return c < 0;
        }
        return false;
    });
    std::vector<int> sortiert(zeilen_.size());
    std::vector<std::vector<RValue>> ks(zeilen_.size());
    for (size_t i = 0; i < ord.size(); ++i) {
        sortiert[i] = zeilen_[ord[i]];
        ks[i] = std::move(keys[ord[i]]);
    }
    zeilen_ = std::move(sortiert);

    const int n = int(zeilen_.size());
    gruppenAb_.assign(ng, std::vector<int>(size_t(n)));
    gruppenBis_.assign(ng, std::vector<int>(size_t(n)));
    for (size_t g = 0; g < ng; ++g) {
        int ab = 0;
        for (int p = 0; p < n; ++p) {
            bool neu = p == 0;
            for (size_t h = 0; h <= g && !neu; ++h)
                neu = Vergleich(ks[size_t(p)][h], ks[size_t(p - 1)][h]) != 0;
            if (neu) ab = p;
            gruppenAb_[g][size_t(p)] = ab;
        }
        int bis = n;
        for (int p = n - 1; p >= 0; --p) {
            gruppenBis_[g][size_t(p)] = bis;
            if (gruppenAb_[g][size_t(p)] == p) bis = p;
        }
    }
    akt_ = -1;
}

RValue Lauf::Aggregat(const Element& e, int pos) {
    int ab = 0, bis = int(zeilen_.size());
    if (e.gruppe > 0 && pos >= 0 && !gruppenAb_.empty()) {
        const size_t g = size_t(std::min<int>(e.gruppe, int(gruppenAb_.size())) - 1);
        ab = gruppenAb_[g][size_t(pos)];
        bis = gruppenBis_[g][size_t(pos)];
    }
    if (e.art != Element::Art::Anzahl) return Summiere(ab, bis, e.je, [&] { return e.wert.Eval(*this); });
    const int alt = akt_;
    int64_t anzahl = 0;
    for (int p = ab; p < bis; ++p) {
        if (e.je > 0 && gruppenBis_[size_t(e.je - 1)][size_t(p)] != p + 1) continue;
        akt_ = p;
        if (e.wert.Empty() || !e.wert.Eval(*this).IsNull()) ++anzahl;
    }
    akt_ = alt;
    return RValue::Number(double(anzahl));
}

RValue Lauf::Summiere(int ab, int bis, int je, const std::function<RValue()>& wert) {
    struct Zurueck {
        int& akt;
        int alt;
        ~Zurueck() { akt = alt; }
    } zurueck{akt_, akt_};
    int64_t geld = 0;
    double zahl = 0;
    bool istGeld = false, istZahl = false;
    for (int p = ab; p < bis; ++p) {
        if (je > 0 && gruppenBis_[size_t(je - 1)][size_t(p)] != p + 1) continue;
        akt_ = p;
        const RValue w = wert();
        if (w.kind == RValue::Kind::Money) {
            if (__builtin_add_overflow(geld, w.geld, &geld))
                throw AuswertungsFehler{0, QStringLiteral("Summe außerhalb des Bereichs")};
            istGeld = true;
        } else if (w.kind == RValue::Kind::Number) {
            zahl += w.zahl;
            istZahl = true;
        } else if (!w.IsNull()) {
            throw AuswertungsFehler{0, QStringLiteral("Summe über einen Wert, der keine Zahl ist")};
        }
    }
    if (istGeld) return RValue::Money(geld + int64_t(std::nearbyint(zahl * 10000.0)));
    return istZahl ? RValue::Number(zahl) : RValue::Number(0);
}

RValue Lauf::Summe(int gruppe, const std::function<RValue()>& wert, int position) {
    if (gruppe > int(gruppenAb_.size()))
        throw AuswertungsFehler{position, QStringLiteral("Unbekannte Gruppe %1").arg(gruppe)};
    if (gruppe == 0) return Summiere(0, int(zeilen_.size()), 0, wert);
    if (akt_ < 0 || akt_ >= int(zeilen_.size())) return RValue::Number(0);
    return Summiere(gruppenAb_[size_t(gruppe - 1)][size_t(akt_)],
                    gruppenBis_[size_t(gruppe - 1)][size_t(akt_)], 0, wert);
}

// Formulas and the selection are read with single rows, also while rows are selected and sorted.
void Lauf::PruefeSummen() {
    auto pruefe = [&](const Expression& e, const QString& wo) {
        e.Summen([&](int, int pos, int) {
            throw LaufAbbruch{FormelFehler,
                              QStringLiteral("%1: Sum ist an Position %2 nicht möglich").arg(wo).arg(pos)};
        });
    };
    pruefe(auswahl_, QStringLiteral("Auswahlformel"));
    for (const auto& [name, e] : formeln_)
        pruefe(e, QStringLiteral("Formel ") + name);
}

Lauf& Lauf::UnterLauf(const QString& datei) {
    const QString k = QFileInfo(datei).fileName().toCaseFolded();
    auto it = unter_.find(k);
    if (it != unter_.end()) return *it->second;
    const Report* ur = r_.Unterbericht(datei);
    if (!ur) throw LaufAbbruch{UnterberichtFehlt, QStringLiteral("Unterbericht fehlt: ") + datei};
    auto l = std::make_unique<Lauf>(*ur, u_, vb_, this);
    l->Laden();
    return *(unter_[k] = std::move(l));
}

void Lauf::Band_(const Band& b, int pos, double x, std::vector<Block>& out) {
    if (b.Leer()) return;
    akt_ = pos;
    Block blk;
    blk.hoehe = b.hoehe;
    blk.zeile = pos;
    std::vector<Block> danach;
    std::vector<bool> leer; // per item of blk: marked suppressBlank and printing nothing
    for (const Element& e : b.elemente) {
        DisplayItem it;
        it.rect = QRectF(x + e.x, e.y, e.breite, e.hoehe);
        it.ausrichtung = e.ausrichtung;
        it.schrift = {e.punkt, e.fett, e.kursiv};
        it.linienBreite = e.linienBreite;
        switch (e.art) {
        case Element::Art::Text:
            it.text = e.text;
            break;
        case Element::Art::Feld:
        case Element::Art::Formel:
            it.text = FormatiereWert(e.wert.Eval(*this), e.format, e.stellen, u_.formate);
            break;
        case Element::Art::Summe:
        case Element::Art::Anzahl:
            it.text = FormatiereWert(Aggregat(e, pos), e.format, e.stellen, u_.formate);
            break;
        case Element::Art::Seitenzahl:
            it.text = e.text;
            blk.seitenzahlen.push_back(blk.items.size());
            break;
        case Element::Art::Druckdatum: {
            const Report& aussen = wurzel_->r_;
            it.text = aussen.Datum().isEmpty() ? u_.formate.datum(QDate::currentDate()) : aussen.Datum();
            break;
        }
        case Element::Art::Linie:
            it.art = DisplayItem::Art::Linie;
            break;
        case Element::Art::Rahmen:
            it.art = DisplayItem::Art::Rahmen;
            break;
        case Element::Art::Unterbericht: {
            Lauf& u = UnterLauf(e.datei);
            std::vector<std::pair<int, RValue>> gleich;
            for (const auto& [von, zu] : e.verknuepfung) {
                const int s = u.Slot(zu.section(QLatin1Char('.'), 0, 0), zu.section(QLatin1Char('.'), 1));
                if (s < 0)
                    throw LaufAbbruch{SpalteUnbekannt, QStringLiteral("Verknüpfung zum Unterbericht: ") + zu};
                gleich.emplace_back(s, von.Eval(*this));
            }
            u.Auswaehlen(gleich);
            const size_t ab = danach.size();
            u.Bloecke(danach, x + e.x);
            for (size_t i = ab; i < danach.size(); ++i)
                danach[i].zeile = pos;
            akt_ = pos;
            continue;
        }
        }
        if (++wurzel_->elemente_ > MaxElementeJeLauf)
            throw ZuGross(MaxElementeJeLauf, QStringLiteral("Elemente"));
        leer.push_back(e.leerWeglassen && it.art == DisplayItem::Art::Text && it.text.trimmed().isEmpty());
        blk.items.push_back(std::move(it));
    }
    Schliessen(blk, leer);
    Wachsen(blk, x);
    out.push_back(std::move(blk));
    for (Block& d : danach)
        out.push_back(std::move(d));
}

// A blank item marked suppressBlank gives its height [top, bottom) back when no item that prints something
// reaches into it: everything below moves up by it and the band gets shorter, so an empty line leaves no gap.
void Lauf::Schliessen(Block& blk, const std::vector<bool>& leer) {
    if (std::none_of(leer.begin(), leer.end(), [](bool b) { return b; })) return;
    std::vector<std::pair<double, double>> luecken;
    for (size_t i = 0; i < blk.items.size(); ++i) {
        if (!leer[i]) continue;
        const double oben = blk.items[i].rect.top(), unten = blk.items[i].rect.bottom();
        bool frei = unten > oben;
        for (size_t j = 0; j < blk.items.size() && frei; ++j) {
            if (leer[j]) continue;
            const QRectF& r = blk.items[j].rect;
            frei = r.height() > 0 ? (r.top() >= unten || r.bottom() <= oben)
                                  : (r.top() < oben || r.top() >= unten);
        }
        if (frei) luecken.emplace_back(oben, unten);
    }
    // Overlapping gaps count once.
    std::sort(luecken.begin(), luecken.end());
    std::vector<std::pair<double, double>> vereint;
    for (const auto& l : luecken) {
        if (!vereint.empty() && l.first <= vereint.back().second)
            vereint.back().second = std::max(vereint.back().second, l.second);
        else
            vereint.push_back(l);
    }
    Block neu;
    neu.zeile = blk.zeile;
    neu.berichtsKopf = blk.berichtsKopf;
    neu.hoehe = blk.hoehe;
    for (const auto& [oben, unten] : vereint)
        neu.hoehe -= unten - oben;
    neu.hoehe = std::max(0.0, neu.hoehe);
    for (size_t i = 0; i < blk.items.size(); ++i) {
        if (leer[i]) continue;
        double hoch = 0;
        for (const auto& [oben, unten] : vereint)
            if (unten <= blk.items[i].rect.top() + 1e-9) hoch += unten - oben;
        if (std::find(blk.seitenzahlen.begin(), blk.seitenzahlen.end(), i) != blk.seitenzahlen.end())
            neu.seitenzahlen.push_back(neu.items.size());
        neu.items.push_back(std::move(blk.items[i]));
        neu.items.back().rect.translate(0, -hoch);
    }
    blk = std::move(neu);
}

// No text is cut off: a field that would run past the right margin ends there, a text taller than its field
// wraps and its row grows, the fields of that row grow with it and everything below moves down together.
void Lauf::Wachsen(Block& blk, double x) const {
    // Fonts can be measured only under a GUI application; without one nothing is drawn either.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    const Vorlage& v = r_.Vorl();
    const double rechts = v.papier.width() - v.raender.left() - v.raender.right();
    std::map<long, double> mehr; // top of a row (0.1 mm) -> how much it grows
    std::vector<bool> anywhere(blk.items.size(), false);
    for (size_t i = 0; i < blk.items.size(); ++i) {
        DisplayItem& it = blk.items[i];
        if (it.art != DisplayItem::Art::Text || it.text.isEmpty()) continue;
        if (it.rect.right() > rechts && it.rect.left() < rechts) it.rect.setRight(rechts);
        bool a = false;
        double noetig = Texthoehe(it.text, it.schrift, it.rect.width(), a);
        // A right-aligned field holds an amount or a number: rather than break it inside (an amount from its
        // sign), it grows to the left where no text of its row stands.
        if (a && (it.ausrichtung & Qt::AlignRight)) {
            double links = x;
            for (const DisplayItem& n : blk.items)
                if (&n != &it && n.art == DisplayItem::Art::Text && !n.text.isEmpty() &&
                    n.rect.top() < it.rect.bottom() && n.rect.bottom() > it.rect.top() &&
                    n.rect.right() <= it.rect.left() + 1e-9)
                    links = std::max(links, n.rect.right());
            const double breite = Textbreite(it.text, it.schrift) + 0.5;
            if (it.rect.right() - breite >= links) {
                it.rect.setLeft(std::min(it.rect.left(), it.rect.right() - breite));
                noetig = Texthoehe(it.text, it.schrift, it.rect.width(), a);
            }
        }
        anywhere[i] = a;
        double& m = mehr[std::lround(it.rect.top() * 10)];
        m = std::max(m, noetig - it.rect.height());
    }
    double bisher = 0;
    std::map<long, double> versatz; // cumulative growth of the rows above
    for (auto& [top, m] : mehr) {
        m = m > 0.05 ? m : 0;
        versatz[top] = bisher;
        bisher += m;
    }
    if (bisher == 0 && std::none_of(anywhere.begin(), anywhere.end(), [](bool b) { return b; })) return;
    for (size_t i = 0; i < blk.items.size(); ++i) {
        DisplayItem& it = blk.items[i];
        const long top = std::lround(it.rect.top() * 10);
        // Rows above this item's top push it down.
        double schieben = 0;
        for (const auto& [t, m] : mehr)
            if (t < top) schieben += m;
        it.rect.translate(0, schieben);
        if (it.art != DisplayItem::Art::Text) continue;
        const auto g = mehr.find(top);
        if (g != mehr.end() && g->second > 0) {
            it.rect.setHeight(it.rect.height() + g->second);
            it.ausrichtung |= Qt::AlignTop;
        }
        if (anywhere[i]) it.ausrichtung |= Qt::TextWrapAnywhere;
    }
    blk.hoehe += bisher;
}

void Lauf::Bloecke(std::vector<Block>& out, double x) {
    const Vorlage& v = r_.Vorl();
    const int n = int(zeilen_.size());
    const size_t ab = out.size();
    Band_(v.berichtsKopf, n > 0 ? 0 : -1, x, out);
    for (size_t i = ab; i < out.size(); ++i)
        out[i].berichtsKopf = true;
    for (int p = 0; p < n; ++p) {
        for (size_t g = 0; g < v.gruppen.size(); ++g)
            if (gruppenAb_[g][size_t(p)] == p) Band_(v.gruppen[g].kopf, p, x, out);
        Band_(v.details, p, x, out);
        for (size_t g = v.gruppen.size(); g-- > 0;)
            if (gruppenBis_[g][size_t(p)] == p + 1) Band_(v.gruppen[g].fuss, p, x, out);
    }
    Band_(v.berichtsFuss, n > 0 ? n - 1 : -1, x, out);
    akt_ = -1;
}

Block Lauf::SeitenBand(const Band& b, int zeile) {
    std::vector<Block> out;
    Band_(b, zeile, 0, out);
    Block blk;
    for (Block& x : out) {
        // A subreport in a page band prints below the band.
        for (DisplayItem& it : x.items)
            it.rect.translate(0, blk.hoehe);
        for (size_t s : x.seitenzahlen)
            blk.seitenzahlen.push_back(blk.items.size() + s);
        for (DisplayItem& it : x.items)
            blk.items.push_back(std::move(it));
        blk.hoehe += x.hoehe;
    }
    return blk;
}

} // namespace velu::report
