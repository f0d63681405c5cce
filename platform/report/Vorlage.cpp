#include "platform/report/Vorlage.h"

#include "platform/report/ReportFehler.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace velu::report {

namespace {

struct Defekt {
    QString text;
};

Expression Ausdruck(const QString& text, const QString& wo) {
    ParseFehler f;
    Expression e = Expression::Parse(text, &f);
    if (f.position > 0) throw Defekt{QStringLiteral("%1: %2 an Position %3").arg(wo, f.text).arg(f.position)};
    return e;
}

double Zahl(const QJsonObject& o, const char* key, double standard = 0) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined()) return standard;
    if (!v.isDouble() || v.toDouble() < 0 || v.toDouble() > 10000)
        throw Defekt{QStringLiteral("'%1' ist keine gültige Zahl").arg(QLatin1String(key))};
    return v.toDouble();
}

QString Text(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isUndefined() && !v.isString())
        throw Defekt{QStringLiteral("'%1' ist kein Text").arg(QLatin1String(key))};
    return v.toString();
}

// A list or an object of the template: absent (or null) is empty, any other kind is refused rather than
// read as empty.
QJsonArray Liste(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) return {};
    if (!v.isArray()) throw Defekt{QStringLiteral("'%1' ist keine Liste").arg(QLatin1String(key))};
    return v.toArray();
}

QJsonObject Objekt(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) return {};
    if (!v.isObject()) throw Defekt{QStringLiteral("'%1' ist kein Objekt").arg(QLatin1String(key))};
    return v.toObject();
}

QJsonObject Eintrag(const QJsonValue& v, const char* liste) {
    if (!v.isObject())
        throw Defekt{QStringLiteral("Ein Eintrag in '%1' ist kein Objekt").arg(QLatin1String(liste))};
    return v.toObject();
}

int Ausrichtung(const QString& a) {
    if (a.isEmpty() || a == QLatin1String("left")) return 0x0001;
    if (a == QLatin1String("right")) return 0x0002;
    if (a == QLatin1String("center")) return 0x0004;
    throw Defekt{QStringLiteral("Unbekannte Ausrichtung: ") + a};
}

Element LeseElement(const QJsonObject& o, const QString& wo) {
    static const std::pair<const char*, Element::Art> arten[] = {{"text", Element::Art::Text},
                                                                 {"field", Element::Art::Feld},
                                                                 {"formula", Element::Art::Formel},
                                                                 {"pageNumber", Element::Art::Seitenzahl},
                                                                 {"printDate", Element::Art::Druckdatum},
                                                                 {"line", Element::Art::Linie},
                                                                 {"box", Element::Art::Rahmen},
                                                                 {"sum", Element::Art::Summe},
                                                                 {"count", Element::Art::Anzahl},
                                                                 {"subreport", Element::Art::Unterbericht}};
    const QString typ = Text(o, "type");
    Element e;
    bool bekannt = false;
    for (const auto& [name, art] : arten)
        if (typ == QLatin1String(name)) {
            e.art = art;
            bekannt = true;
        }
    if (!bekannt) throw Defekt{wo + QStringLiteral(": unbekannter Elementtyp '") + typ + QLatin1Char('\'')};
    e.x = Zahl(o, "x");
    e.y = Zahl(o, "y");
    e.breite = Zahl(o, "width");
    e.hoehe = Zahl(o, "height", e.art == Element::Art::Linie ? 0 : 5);
    e.text = Text(o, "text");
    e.format = Text(o, "format");
    static const QStringList formate = {QString(), QStringLiteral("amount"), QStringLiteral("number"),
                                        QStringLiteral("date"), QStringLiteral("text")};
    if (!formate.contains(e.format)) throw Defekt{wo + QStringLiteral(": unbekanntes Format ") + e.format};
    e.stellen = int(Zahl(o, "decimals", 2));
    e.ausrichtung = Ausrichtung(Text(o, "align"));
    e.punkt = Zahl(o, "size", 9);
    if (e.punkt <= 0) e.punkt = 9;
    e.fett = o.value(QLatin1String("bold")).toBool();
    e.kursiv = o.value(QLatin1String("italic")).toBool();
    e.linienBreite = Zahl(o, "lineWidth", 0.3);
    e.leerWeglassen = o.value(QLatin1String("suppressBlank")).toBool();
    switch (e.art) {
    case Element::Art::Feld:
    case Element::Art::Summe:
    case Element::Art::Anzahl:
        e.wert = Ausdruck(Text(o, "value"), wo);
        if (e.wert.Empty() && e.art == Element::Art::Feld)
            throw Defekt{wo + QStringLiteral(": Feld ohne Wert")};
        if (e.art != Element::Art::Feld) {
            e.gruppe = int(Zahl(o, "group"));
            e.je = int(Zahl(o, "per"));
        }
        break;
    case Element::Art::Formel: {
        const QString name = Text(o, "name");
        if (name.isEmpty() || name.contains(QLatin1Char('}')))
            throw Defekt{wo + QStringLiteral(": Formel ohne gültigen Namen")};
        e.wert = Ausdruck(QStringLiteral("{@") + name + QLatin1Char('}'), wo);
        break;
    }
    case Element::Art::Seitenzahl:
        if (e.text.isEmpty()) e.text = QStringLiteral("%1");
        break;
    case Element::Art::Unterbericht: {
        e.datei = Text(o, "file");
        if (e.datei.isEmpty()) throw Defekt{wo + QStringLiteral(": Unterbericht ohne Datei")};
        for (const QJsonValue& l : Liste(o, "links")) {
            const QJsonObject lo = Eintrag(l, "links");
            const QString zu = Text(lo, "to");
            if (!zu.contains(QLatin1Char('.'))) throw Defekt{wo + QStringLiteral(": Verknüpfung ohne Feld")};
            e.verknuepfung.emplace_back(Ausdruck(Text(lo, "from"), wo), zu);
        }
        break;
    }
    default:
        break;
    }
    return e;
}

Band LeseBand(const QJsonValue& v, const QString& wo) {
    Band b;
    if (v.isUndefined() || v.isNull()) return b;
    if (!v.isObject()) throw Defekt{wo + QStringLiteral(" ist kein Objekt")};
    const QJsonObject o = v.toObject();
    b.hoehe = Zahl(o, "height");
    const QJsonArray items = o.value(QLatin1String("items")).toArray();
    for (int i = 0; i < items.size(); ++i) {
        if (!items[i].isObject()) throw Defekt{wo + QStringLiteral(": Element ist kein Objekt")};
        b.elemente.push_back(
            LeseElement(items[i].toObject(), QStringLiteral("%1, Element %2").arg(wo).arg(i + 1)));
    }
    return b;
}

void Lies(const QJsonObject& w, Vorlage& v) {
    const QJsonObject page = Objekt(w, "page");
    const QString papier = page.value(QLatin1String("paper")).toString(QStringLiteral("A4"));
    if (papier != QLatin1String("A4")) throw Defekt{QStringLiteral("Unbekanntes Papierformat ") + papier};
    if (page.value(QLatin1String("orientation")).toString() == QLatin1String("landscape"))
        v.papier = QSizeF(297, 210);
    const QJsonObject m = Objekt(page, "margins");
    v.raender =
        QMarginsF(Zahl(m, "left", 20), Zahl(m, "top", 15), Zahl(m, "right", 15), Zahl(m, "bottom", 15));
    if (v.raender.left() + v.raender.right() >= v.papier.width() ||
        v.raender.top() + v.raender.bottom() >= v.papier.height())
        throw Defekt{QStringLiteral("Ränder größer als die Seite")};

    const QJsonArray tabellen = Liste(w, "tables");
    for (const QJsonValue& tv : tabellen) {
        const QJsonObject t = Eintrag(tv, "tables");
        Tabelle tab;
        tab.tabelle = Text(t, "table");
        tab.alias = Text(t, "alias");
        if (tab.alias.isEmpty()) tab.alias = tab.tabelle;
        tab.ort = Text(t, "location");
        if (tab.tabelle.isEmpty()) throw Defekt{QStringLiteral("Tabelle ohne Namen")};
        if (v.FindeTabelle(tab.alias)) throw Defekt{QStringLiteral("Tabelle doppelt: ") + tab.alias};
        for (const QJsonValue& lv : Liste(t, "links")) {
            const QJsonObject l = Eintrag(lv, "links");
            const QString von = Text(l, "from"), zu = Text(l, "to");
            const QString alias = von.section(QLatin1Char('.'), 0, 0);
            if (zu.isEmpty() || !von.contains(QLatin1Char('.')) || !v.FindeTabelle(alias))
                throw Defekt{QStringLiteral("Ungültige Verknüpfung der Tabelle ") + tab.alias};
            tab.links.emplace_back(von, zu);
        }
        if (!v.tabellen.empty() && tab.links.empty())
            throw Defekt{QStringLiteral("Tabelle ohne Verknüpfung: ") + tab.alias};
        v.tabellen.push_back(std::move(tab));
    }
    v.auswahl = Text(w, "selection");
    const QJsonArray formeln = Liste(w, "formulas");
    for (const QJsonValue& fv : formeln) {
        const QJsonObject f = Eintrag(fv, "formulas");
        const QString name = Text(f, "name");
        if (name.isEmpty()) throw Defekt{QStringLiteral("Formel ohne Namen")};
        v.formeln.emplace_back(name, Text(f, "text"));
    }
    for (const QJsonValue& sv : Liste(w, "sort")) {
        const QJsonObject s = Eintrag(sv, "sort");
        v.sortierung.push_back({Ausdruck(Text(s, "value"), QStringLiteral("Sortierung")),
                                s.value(QLatin1String("descending")).toBool()});
    }
    const QJsonArray gruppen = Liste(w, "groups");
    for (int i = 0; i < gruppen.size(); ++i) {
        const QJsonObject g = Eintrag(gruppen[i], "groups");
        const QString wo = QStringLiteral("Gruppe %1").arg(i + 1);
        Gruppe gr;
        gr.wert = Ausdruck(Text(g, "value"), wo);
        if (gr.wert.Empty()) throw Defekt{wo + QStringLiteral(" ohne Wert")};
        gr.kopf = LeseBand(g.value(QLatin1String("header")), wo + QStringLiteral(" Kopf"));
        gr.fuss = LeseBand(g.value(QLatin1String("footer")), wo + QStringLiteral(" Fuß"));
        v.gruppen.push_back(std::move(gr));
    }
    const QJsonObject bands = Objekt(w, "bands");
    v.berichtsKopf = LeseBand(bands.value(QLatin1String("reportHeader")), QStringLiteral("Berichtskopf"));
    v.seitenKopf = LeseBand(bands.value(QLatin1String("pageHeader")), QStringLiteral("Seitenkopf"));
    v.details = LeseBand(bands.value(QLatin1String("details")), QStringLiteral("Details"));
    v.berichtsFuss = LeseBand(bands.value(QLatin1String("reportFooter")), QStringLiteral("Berichtsfuß"));
    v.seitenFuss = LeseBand(bands.value(QLatin1String("pageFooter")), QStringLiteral("Seitenfuß"));
    const double platz = v.papier.height() - v.raender.top() - v.raender.bottom();
    if (v.seitenKopf.hoehe + v.seitenFuss.hoehe >= platz)
        throw Defekt{QStringLiteral("Seitenkopf und -fuß größer als die Seite")};
    // Sum(value, n) reads the group of level n around the row its band is read with: in details any level,
    // in a group's header or footer that group and outer ones, in a sum or count item with "per" that level
    // and outer ones; elsewhere, and inside another Sum, only Sum(value) over all rows; never in sort and
    // group values.
    const int ng = int(v.gruppen.size());
    auto pruefeSummen = [&](const Expression& e, int erlaubt, const QString& wo) {
        e.Summen([&](int g, int pos, int tiefe) {
            if (g > ng)
                throw Defekt{
                    QStringLiteral("%1: unbekannte Gruppe %2 an Position %3").arg(wo).arg(g).arg(pos)};
            if (tiefe > 0 || g > erlaubt)
                throw Defekt{QStringLiteral("%1: Sum ist an Position %2 nicht möglich").arg(wo).arg(pos)};
        });
    };
    auto pruefeBand = [&](const Band& b, int stufe, const QString& wo) {
        for (const Element& e : b.elemente) {
            if (e.gruppe > ng || e.je > ng)
                throw Defekt{wo + QStringLiteral(": Summe über unbekannte Gruppe")};
            const bool aggregat = e.art == Element::Art::Summe || e.art == Element::Art::Anzahl;
            pruefeSummen(e.wert, aggregat ? (e.je > 0 ? e.je : -1) : stufe, wo);
            for (const auto& [von, zu] : e.verknuepfung)
                pruefeSummen(von, stufe, wo);
        }
    };
    for (const Sortierung& so : v.sortierung)
        pruefeSummen(so.wert, -1, QStringLiteral("Sortierung"));
    for (int g = 0; g < ng; ++g) {
        const QString wo = QStringLiteral("Gruppe %1").arg(g + 1);
        pruefeSummen(v.gruppen[size_t(g)].wert, -1, wo);
        pruefeBand(v.gruppen[size_t(g)].kopf, g + 1, wo);
        pruefeBand(v.gruppen[size_t(g)].fuss, g + 1, wo);
    }
    pruefeBand(v.details, ng, QStringLiteral("Details"));
    for (const Band* b : {&v.berichtsKopf, &v.seitenKopf, &v.berichtsFuss, &v.seitenFuss})
        pruefeBand(*b, 0, QStringLiteral("Band"));
}

} // namespace

int Vorlage::Lade(const QString& pfad, Vorlage& out, QString* fehler) {
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) {
        if (fehler) *fehler = QStringLiteral("Die Vorlage fehlt: ") + pfad;
        return VorlageFehlt;
    }
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &pe);
    if (doc.isNull() || !doc.isObject()) {
        if (fehler) *fehler = QStringLiteral("Die Vorlage ist kein JSON-Objekt: ") + pe.errorString();
        return VorlageDefekt;
    }
    Vorlage v;
    v.pfad = pfad;
    try {
        Lies(doc.object(), v);
    } catch (const Defekt& d) {
        if (fehler) *fehler = d.text;
        return VorlageDefekt;
    }
    out = std::move(v);
    return Ok;
}

void Vorlage::JedesElementAusdruck(const std::function<void(const Expression&)>& f) const {
    auto band = [&](const Band& b) {
        for (const Element& e : b.elemente) {
            f(e.wert);
            for (const auto& [ausdruck, feld] : e.verknuepfung)
                f(ausdruck);
        }
    };
    for (const Sortierung& s : sortierung)
        f(s.wert);
    for (const Gruppe& g : gruppen) {
        f(g.wert);
        band(g.kopf);
        band(g.fuss);
    }
    for (const Band* b : {&berichtsKopf, &seitenKopf, &details, &berichtsFuss, &seitenFuss})
        band(*b);
}

const Tabelle* Vorlage::FindeTabelle(const QString& alias) const {
    for (const Tabelle& t : tabellen)
        if (t.alias.compare(alias, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

std::vector<QString> Vorlage::Unterberichte() const {
    std::vector<QString> out;
    auto band = [&](const Band& b) {
        for (const Element& e : b.elemente)
            if (e.art == Element::Art::Unterbericht) out.push_back(e.datei);
    };
    for (const Gruppe& g : gruppen) {
        band(g.kopf);
        band(g.fuss);
    }
    for (const Band* b : {&berichtsKopf, &seitenKopf, &details, &berichtsFuss, &seitenFuss})
        band(*b);
    return out;
}

} // namespace velu::report
