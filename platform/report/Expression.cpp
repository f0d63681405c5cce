#include "platform/report/Expression.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace velu::report {

enum class Op {
    Num,
    Str,
    Bool,
    Field,
    Formula,
    Neg,
    Not,
    Add,
    Sub,
    Mul,
    Div,
    Concat,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    And,
    Or,
    In,
    If,
    Call
};

struct Node {
    Op op;
    int pos = 0;
    double num = 0;
    bool wahr = false;
    QString text; // text literal, formula or function name, field alias
    QString feld;
    std::vector<std::unique_ptr<Node>> kids;
    int tiefe = 1; // levels of the tree below and with this node
};

namespace {

using NodePtr = std::unique_ptr<Node>;

NodePtr Make(Op op, int pos) {
    auto n = std::make_unique<Node>();
    n->op = op;
    n->pos = pos;
    return n;
}

struct ParseAbbruch {
    int pos;
    QString text;
};

QString ZuTief() {
    return QStringLiteral("Die Formel ist zu tief verschachtelt (mehr als %1 Ebenen)").arg(MaxFormelTiefe);
}

enum class Tok { End, Num, Str, Field, Formula, Ident, Sym, Bad };

struct Token {
    Tok art = Tok::End;
    int pos = 1;
    QString text; // symbol, identifier, literal text; field alias
    QString feld;
    double num = 0;
};

void Zerlege_(const QString& s, int& i, int n, std::vector<Token>& out);

bool IstNamensZeichen(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// A character that starts no token ends the list with a Bad token; the parser reports it only when it gets
// there, so the first fault of the formula is the one reported.
std::vector<Token> Zerlege(const QString& s) {
    std::vector<Token> out;
    int i = 0;
    const int n = int(s.size());
    try {
        Zerlege_(s, i, n, out);
    } catch (const ParseAbbruch& a) {
        Token t;
        t.art = Tok::Bad;
        t.pos = a.pos;
        t.text = a.text;
        out.push_back(t);
        return out;
    }
    Token ende;
    ende.pos = n + 1;
    out.push_back(ende);
    return out;
}

void Zerlege_(const QString& s, int& i, int n, std::vector<Token>& out) {
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.pos = i + 1;
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
            int j = i;
            while (j < n && s[j].isDigit())
                ++j;
            if (j < n && s[j] == QLatin1Char('.')) {
                ++j;
                while (j < n && s[j].isDigit())
                    ++j;
            }
            t.art = Tok::Num;
            t.num = s.mid(i, j - i).toDouble();
            i = j;
        } else if (c == QLatin1Char('\'')) {
            int j = i + 1;
            QString text;
            for (;;) {
                if (j >= n) throw ParseAbbruch{t.pos, QStringLiteral("Text ohne schließendes Hochkomma")};
                if (s[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && s[j + 1] == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                text += s[j++];
            }
            t.art = Tok::Str;
            t.text = text;
            i = j;
        } else if (c == QLatin1Char('{')) {
            const int zu = s.indexOf(QLatin1Char('}'), i);
            if (zu < 0) throw ParseAbbruch{t.pos, QStringLiteral("Feldname ohne schließende Klammer")};
            const QString innen = s.mid(i + 1, zu - i - 1).trimmed();
            if (innen.startsWith(QLatin1Char('@'))) {
                t.art = Tok::Formula;
                t.text = innen.mid(1).trimmed();
                if (t.text.isEmpty()) throw ParseAbbruch{t.pos, QStringLiteral("Formelname fehlt")};
            } else {
                const int punkt = innen.indexOf(QLatin1Char('.'));
                if (punkt <= 0 || punkt == innen.size() - 1)
                    throw ParseAbbruch{t.pos, QStringLiteral("Feldname ohne Tabelle: ") + innen};
                t.art = Tok::Field;
                t.text = innen.left(punkt).trimmed();
                t.feld = innen.mid(punkt + 1).trimmed();
            }
            i = zu + 1;
        } else if (IstNamensZeichen(c)) {
            int j = i;
            while (j < n && IstNamensZeichen(s[j]))
                ++j;
            t.art = Tok::Ident;
            t.text = s.mid(i, j - i);
            i = j;
        } else {
            static const QStringList zwei = {QStringLiteral("<="), QStringLiteral(">="),
                                             QStringLiteral("<>")};
            const QString paar = s.mid(i, 2);
            t.art = Tok::Sym;
            if (zwei.contains(paar)) {
                t.text = paar;
                i += 2;
            } else if (QStringLiteral("+-*/&=<>()[],").contains(c)) {
                t.text = c;
                ++i;
            } else {
                throw ParseAbbruch{t.pos, QStringLiteral("Unerwartetes Zeichen '") + c + QLatin1Char('\'')};
            }
        }
        out.push_back(std::move(t));
    }
}

class Parser {
public:
    explicit Parser(std::vector<Token> t) : t_(std::move(t)) {}

    NodePtr Ganz() {
        NodePtr n = Ausdruck();
        if (Akt().art != Tok::End) Abbruch(QStringLiteral("Unerwartet: ") + Beschreibe());
        return n;
    }

private:
    const Token& Akt() const { return t_[i_]; }
    // At a Bad token its own reason counts.
    [[noreturn]] void Abbruch(const QString& text) const {
        throw ParseAbbruch{Akt().pos, Akt().art == Tok::Bad ? Akt().text : text};
    }
    QString Beschreibe() const {
        const Token& t = Akt();
        if (t.art == Tok::End) return QStringLiteral("Ende der Formel");
        if (t.art == Tok::Str) return QLatin1Char('\'') + t.text + QLatin1Char('\'');
        if (t.art == Tok::Num) return QString::number(t.num);
        return t.text;
    }
    bool IstSym(const char* s) const { return Akt().art == Tok::Sym && Akt().text == QLatin1String(s); }
    bool IstWort(const char* s) const {
        return Akt().art == Tok::Ident && Akt().text.compare(QLatin1String(s), Qt::CaseInsensitive) == 0;
    }
    void Erwarte(const char* s, bool wort = false) {
        if (wort ? !IstWort(s) : !IstSym(s))
            Abbruch(QStringLiteral("'%1' erwartet statt %2").arg(QLatin1String(s), Beschreibe()));
        ++i_;
    }

    NodePtr Ausdruck() {
        Ebene ebene(*this);
        if (IstWort("if")) {
            auto n = Make(Op::If, Akt().pos);
            ++i_;
            Kind(*n, Ausdruck());
            Erwarte("then", true);
            Kind(*n, Ausdruck());
            Erwarte("else", true);
            Kind(*n, Ausdruck());
            return n;
        }
        return Oder();
    }
    NodePtr Binaer(NodePtr links, Op op, int pos, NodePtr rechts) {
        auto n = Make(op, pos);
        Kind(*n, std::move(links));
        Kind(*n, std::move(rechts));
        return n;
    }
    // A chain such as 1+1+...+1 is parsed by a loop but still makes a deep tree, which evaluation walks
    // recursively: the tree's depth is bounded as the parser's own.
    static void Kind(Node& n, NodePtr k) {
        n.tiefe = std::max(n.tiefe, k->tiefe + 1);
        if (n.tiefe > MaxFormelTiefe) throw ParseAbbruch{n.pos, ZuTief()};
        n.kids.push_back(std::move(k));
    }
    // Bounds the parser's recursion: brackets, "if", "not" and signs nested deeper than any report needs
    // are refused before the stack runs out.
    struct Ebene {
        Parser& p;
        explicit Ebene(Parser& parser) : p(parser) {
            if (++p.ebenen_ > MaxFormelTiefe) {
                --p.ebenen_;
                throw ParseAbbruch{p.Akt().pos, ZuTief()};
            }
        }
        ~Ebene() { --p.ebenen_; }
        Ebene(const Ebene&) = delete;
        Ebene& operator=(const Ebene&) = delete;
    };
    NodePtr Oder() {
        NodePtr l = Und();
        while (IstWort("or")) {
            const int p = Akt().pos;
            ++i_;
            l = Binaer(std::move(l), Op::Or, p, Und());
        }
        return l;
    }
    NodePtr Und() {
        NodePtr l = Nicht();
        while (IstWort("and")) {
            const int p = Akt().pos;
            ++i_;
            l = Binaer(std::move(l), Op::And, p, Nicht());
        }
        return l;
    }
    NodePtr Nicht() {
        if (IstWort("not")) {
            Ebene ebene(*this);
            auto n = Make(Op::Not, Akt().pos);
            ++i_;
            Kind(*n, Nicht());
            return n;
        }
        return Vergleich();
    }
    NodePtr Vergleich() {
        NodePtr l = Verkettung();
        static const std::pair<const char*, Op> ops[] = {{"=", Op::Eq},  {"<>", Op::Ne}, {"<", Op::Lt},
                                                         {"<=", Op::Le}, {">", Op::Gt},  {">=", Op::Ge}};
        for (const auto& [s, op] : ops) {
            if (IstSym(s)) {
                const int p = Akt().pos;
                ++i_;
                return Binaer(std::move(l), op, p, Verkettung());
            }
        }
        if (IstWort("in")) {
            auto n = Make(Op::In, Akt().pos);
            ++i_;
            Kind(*n, std::move(l));
            Erwarte("[");
            if (!IstSym("]")) {
                Kind(*n, Ausdruck());
                while (IstSym(",")) {
                    ++i_;
                    Kind(*n, Ausdruck());
                }
            }
            Erwarte("]");
            return n;
        }
        return l;
    }
    NodePtr Verkettung() {
        NodePtr l = Summe();
        while (IstSym("&")) {
            const int p = Akt().pos;
            ++i_;
            l = Binaer(std::move(l), Op::Concat, p, Summe());
        }
        return l;
    }
    NodePtr Summe() {
        NodePtr l = Produkt();
        while (IstSym("+") || IstSym("-")) {
            const Op op = IstSym("+") ? Op::Add : Op::Sub;
            const int p = Akt().pos;
            ++i_;
            l = Binaer(std::move(l), op, p, Produkt());
        }
        return l;
    }
    NodePtr Produkt() {
        NodePtr l = Vorzeichen();
        while (IstSym("*") || IstSym("/")) {
            const Op op = IstSym("*") ? Op::Mul : Op::Div;
            const int p = Akt().pos;
            ++i_;
            l = Binaer(std::move(l), op, p, Vorzeichen());
        }
        return l;
    }
    NodePtr Vorzeichen() {
        if (IstSym("-") || IstSym("+")) {
            Ebene ebene(*this);
            if (IstSym("+")) {
                ++i_;
                return Vorzeichen();
            }
            auto n = Make(Op::Neg, Akt().pos);
            ++i_;
            Kind(*n, Vorzeichen());
            return n;
        }
        return Einfach();
    }
    NodePtr Einfach() {
        const Token& t = Akt();
        switch (t.art) {
        case Tok::Num: {
            auto n = Make(Op::Num, t.pos);
            n->num = t.num;
            ++i_;
            return n;
        }
        case Tok::Str: {
            auto n = Make(Op::Str, t.pos);
            n->text = t.text;
            ++i_;
            return n;
        }
        case Tok::Field: {
            auto n = Make(Op::Field, t.pos);
            n->text = t.text;
            n->feld = t.feld;
            ++i_;
            return n;
        }
        case Tok::Formula: {
            auto n = Make(Op::Formula, t.pos);
            n->text = t.text;
            ++i_;
            return n;
        }
        case Tok::Sym:
            if (IstSym("(")) {
                ++i_;
                NodePtr n = Ausdruck();
                Erwarte(")");
                return n;
            }
            break;
        case Tok::Ident: {
            if (IstWort("true") || IstWort("false")) {
                auto n = Make(Op::Bool, t.pos);
                n->wahr = IstWort("true");
                ++i_;
                return n;
            }
            static const char* funktionen[] = {"ToText", "Trim", "IsNull", "Choose", "Sum", "RundCY"};
            for (const char* f : funktionen) {
                if (!IstWort(f)) continue;
                auto n = Make(Op::Call, t.pos);
                n->text = QString::fromLatin1(f);
                ++i_;
                Erwarte("(");
                Kind(*n, Ausdruck());
                while (IstSym(",")) {
                    ++i_;
                    Kind(*n, Ausdruck());
                }
                Erwarte(")");
                const size_t k = n->kids.size();
                const bool passt = n->text == QLatin1String("ToText") || n->text == QLatin1String("Sum")
                                       ? k <= 2
                                   : n->text == QLatin1String("Choose") ? k >= 2
                                                                        : k == 1;
                if (!passt)
                    throw ParseAbbruch{n->pos, QStringLiteral("Falsche Anzahl Argumente für ") + n->text};
                if (n->text == QLatin1String("IsNull") && n->kids[0]->op != Op::Field)
                    throw ParseAbbruch{n->kids[0]->pos, QStringLiteral("IsNull erwartet ein Datenbankfeld")};
                if (n->text == QLatin1String("Sum") && k == 2) {
                    const Node& g = *n->kids[1];
                    if (g.op != Op::Num || g.num < 1 || g.num != std::trunc(g.num) || g.num > 1000)
                        throw ParseAbbruch{g.pos,
                                           QStringLiteral("Sum erwartet als Gruppe eine ganze Zahl ab 1")};
                }
                return n;
            }
            throw ParseAbbruch{t.pos, QStringLiteral("Unbekannter Name: ") + t.text};
        }
        case Tok::End:
        case Tok::Bad:
            break;
        }
        Abbruch(QStringLiteral("Wert erwartet statt ") + Beschreibe());
    }

    std::vector<Token> t_;
    size_t i_ = 0;
    int ebenen_ = 0;
};

// ---- evaluation ----

[[noreturn]] void Fehler(const Node& n, const QString& text) {
    throw AuswertungsFehler{n.pos, text};
}

int64_t GeldAusZahl(const Node& n, double z) {
    const double raw = std::nearbyint(z * 10000.0);
    if (!(std::fabs(raw) < 9.2e18)) Fehler(n, QStringLiteral("Betrag außerhalb des Bereichs"));
    return int64_t(raw);
}

int64_t GeldSumme(const Node& n, int64_t a, int64_t b, bool minus) {
    int64_t r;
    if (minus ? __builtin_sub_overflow(a, b, &r) : __builtin_add_overflow(a, b, &r))
        Fehler(n, QStringLiteral("Betrag außerhalb des Bereichs"));
    return r;
}

// ToText shows a number with its decimals; & shows a whole number without.
QString AlsText(const RValue& v, const Formate& f, int stellen = 2, bool zahlFormat = false) {
    return FormatiereWert(
        v, zahlFormat && v.kind == RValue::Kind::Number ? QStringLiteral("number") : QString(), stellen, f);
}

RValue Rechne(const Node& n, Op op, const RValue& a, const RValue& b) {
    using K = RValue::Kind;
    if (a.IsNull() || b.IsNull()) return {};
    if (op == Op::Add && a.kind == K::Text && b.kind == K::Text) return RValue::Text(a.text + b.text);
    if (!a.IsNumeric() || !b.IsNumeric()) Fehler(n, QStringLiteral("Zahl erwartet"));
    const bool geld = a.kind == K::Money || b.kind == K::Money;
    switch (op) {
    case Op::Add:
    case Op::Sub:
        if (geld) {
            const int64_t x = a.kind == K::Money ? a.geld : GeldAusZahl(n, a.zahl);
            const int64_t y = b.kind == K::Money ? b.geld : GeldAusZahl(n, b.zahl);
            return RValue::Money(GeldSumme(n, x, y, op == Op::Sub));
        }
        return RValue::Number(op == Op::Add ? a.zahl + b.zahl : a.zahl - b.zahl);
    case Op::Mul:
        if (a.kind == K::Money && b.kind == K::Money) return RValue::Number(a.AsDouble() * b.AsDouble());
        if (geld) return RValue::Money(GeldAusZahl(n, a.AsDouble() * b.AsDouble()));
        return RValue::Number(a.zahl * b.zahl);
    case Op::Div:
        if (b.AsDouble() == 0) Fehler(n, QStringLiteral("Division durch Null"));
        if (a.kind == K::Money && b.kind != K::Money)
            return RValue::Money(GeldAusZahl(n, a.AsDouble() / b.zahl));
        return RValue::Number(a.AsDouble() / b.AsDouble());
    default:
        break;
    }
    return {};
}

// <0, 0, >0; nullopt when either side is Null.
std::optional<int> Vergleiche(const Node& n, const RValue& a, const RValue& b) {
    using K = RValue::Kind;
    if (a.IsNull() || b.IsNull()) return std::nullopt;
    if (a.kind == K::Money && b.kind == K::Money) return a.geld < b.geld ? -1 : a.geld > b.geld ? 1 : 0;
    if (a.kind == K::Money || b.kind == K::Money) {
        if (!a.IsNumeric() || !b.IsNumeric()) Fehler(n, QStringLiteral("Werte verschiedener Art verglichen"));
        // A number meets an amount at the amount's four places.
        const int64_t x = a.kind == K::Money ? a.geld : GeldAusZahl(n, a.zahl);
        const int64_t y = b.kind == K::Money ? b.geld : GeldAusZahl(n, b.zahl);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (a.IsNumeric() && b.IsNumeric()) return a.zahl < b.zahl ? -1 : a.zahl > b.zahl ? 1 : 0;
    if (a.kind == K::Text && b.kind == K::Text) {
        const int c = a.text.compare(b.text);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (a.kind == K::Date && b.kind == K::Date) return a.datum < b.datum ? -1 : a.datum > b.datum ? 1 : 0;
    if (a.kind == K::Bool && b.kind == K::Bool) return int(a.wahr) - int(b.wahr);
    Fehler(n, QStringLiteral("Werte verschiedener Art verglichen"));
}

// Three-valued truth: nullopt for Null.
std::optional<bool> Wahrheit(const Node& n, const RValue& v) {
    if (v.IsNull()) return std::nullopt;
    if (v.kind != RValue::Kind::Bool) Fehler(n, QStringLiteral("Wahrheitswert erwartet"));
    return v.wahr;
}

RValue AusWahrheit(std::optional<bool> b) {
    return b ? RValue::Bool(*b) : RValue{};
}

// Formulas that call formulas multiply the depth of one tree: evaluation keeps its own count.
thread_local int auswertungsTiefe = 0;

RValue WerteOhneGrenze(const Node& n, AuswertungsKontext& k);

RValue Werte(const Node& n, AuswertungsKontext& k) {
    if (auswertungsTiefe >= MaxAuswertungsTiefe) Fehler(n, ZuTief());
    ++auswertungsTiefe;
    struct Zurueck {
        ~Zurueck() { --auswertungsTiefe; }
    } zurueck;
    return WerteOhneGrenze(n, k);
}

RValue WerteOhneGrenze(const Node& n, AuswertungsKontext& k) {
    switch (n.op) {
    case Op::Num:
        return RValue::Number(n.num);
    case Op::Str:
        return RValue::Text(n.text);
    case Op::Bool:
        return RValue::Bool(n.wahr);
    case Op::Field:
        return k.Feld(n.text, n.feld, n.pos);
    case Op::Formula:
        return k.Formel(n.text, n.pos);
    case Op::Neg: {
        const RValue a = Werte(*n.kids[0], k);
        if (a.IsNull()) return a;
        if (a.kind == RValue::Kind::Money) return RValue::Money(GeldSumme(n, 0, a.geld, true));
        if (a.kind == RValue::Kind::Number) return RValue::Number(-a.zahl);
        Fehler(n, QStringLiteral("Zahl erwartet"));
    }
    case Op::Not: {
        const auto b = Wahrheit(n, Werte(*n.kids[0], k));
        return AusWahrheit(b ? std::optional<bool>(!*b) : std::nullopt);
    }
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div:
        return Rechne(n, n.op, Werte(*n.kids[0], k), Werte(*n.kids[1], k));
    case Op::Concat: {
        const QString a = AlsText(Werte(*n.kids[0], k), k.Formats());
        const QString b = AlsText(Werte(*n.kids[1], k), k.Formats());
        if (a.size() + b.size() > MaxTextLaenge)
            throw AuswertungsFehler{n.pos, QStringLiteral("Der Text ist zu lang (mehr als %1 Zeichen)")
                                               .arg(QLocale(QLocale::German).toString(MaxTextLaenge))};
        return RValue::Text(a + b);
    }
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Le:
    case Op::Gt:
    case Op::Ge: {
        const auto c = Vergleiche(n, Werte(*n.kids[0], k), Werte(*n.kids[1], k));
        if (!c) return {};
        switch (n.op) {
        case Op::Eq:
            return RValue::Bool(*c == 0);
        case Op::Ne:
            return RValue::Bool(*c != 0);
        case Op::Lt:
            return RValue::Bool(*c < 0);
        case Op::Le:
            return RValue::Bool(*c <= 0);
        case Op::Gt:
            return RValue::Bool(*c > 0);
        default:
            return RValue::Bool(*c >= 0);
        }
    }
    case Op::And: {
        const auto a = Wahrheit(n, Werte(*n.kids[0], k));
        if (a && !*a) return RValue::Bool(false);
        const auto b = Wahrheit(n, Werte(*n.kids[1], k));
        if (b && !*b) return RValue::Bool(false);
        return AusWahrheit(a && b ? std::optional<bool>(true) : std::nullopt);
    }
    case Op::Or: {
        const auto a = Wahrheit(n, Werte(*n.kids[0], k));
        if (a && *a) return RValue::Bool(true);
        const auto b = Wahrheit(n, Werte(*n.kids[1], k));
        if (b && *b) return RValue::Bool(true);
        return AusWahrheit(a && b ? std::optional<bool>(false) : std::nullopt);
    }
    case Op::In: {
        const RValue x = Werte(*n.kids[0], k);
        if (x.IsNull()) return {};
        for (size_t i = 1; i < n.kids.size(); ++i) {
            const auto c = Vergleiche(*n.kids[i], x, Werte(*n.kids[i], k));
            if (c && *c == 0) return RValue::Bool(true);
        }
        return RValue::Bool(false);
    }
    case Op::If: {
        const auto b = Wahrheit(n, Werte(*n.kids[0], k));
        return Werte(*n.kids[b && *b ? 1 : 2], k);
    }
    case Op::Call: {
        if (n.text == QLatin1String("Sum"))
            return k.Summe(
                n.kids.size() == 2 ? int(n.kids[1]->num) : 0, [&] { return Werte(*n.kids[0], k); }, n.pos);
        if (n.text == QLatin1String("IsNull")) return RValue::Bool(Werte(*n.kids[0], k).IsNull());
        const RValue a = Werte(*n.kids[0], k);
        if (n.text == QLatin1String("Trim")) {
            if (a.IsNull()) return RValue::Text({});
            if (a.kind != RValue::Kind::Text) Fehler(n, QStringLiteral("Text erwartet"));
            return RValue::Text(a.text.trimmed());
        }
        // RundCY(amount): to cents as the program rounds, so a converted amount prints as a document shows it
        // and a column of them adds up to its sum.
        if (n.text == QLatin1String("RundCY")) {
            if (a.IsNull()) return {};
            if (a.kind != RValue::Kind::Money) Fehler(n, QStringLiteral("Betrag erwartet"));
            return RValue::Money(AufCent(a.geld));
        }
        if (n.text == QLatin1String("ToText")) {
            int stellen = 2;
            if (n.kids.size() == 2) {
                const RValue s = Werte(*n.kids[1], k);
                if (!s.IsNumeric()) Fehler(*n.kids[1], QStringLiteral("Zahl erwartet"));
                stellen = int(std::clamp(s.AsDouble(), 0.0, 10.0));
            }
            return RValue::Text(AlsText(a, k.Formats(), stellen, true));
        }
        // Choose(i, a, b, ...): the i-th choice from 1, Null outside.
        if (a.IsNull()) return {};
        if (!a.IsNumeric()) Fehler(n, QStringLiteral("Zahl erwartet"));
        const double i = std::trunc(a.AsDouble());
        if (i < 1 || i >= double(n.kids.size())) return {};
        return Werte(*n.kids[size_t(i)], k);
    }
    }
    return {};
}

void Besuche(const Node& n, const std::function<void(const QString&, const QString&, bool, int)>& f) {
    if (n.op == Op::Field) f(n.text, n.feld, false, n.pos);
    if (n.op == Op::Formula) f(QString(), n.text, true, n.pos);
    for (const auto& c : n.kids)
        Besuche(*c, f);
}

void BesucheSummen(const Node& n, int tiefe, const std::function<void(int, int, int)>& f) {
    const bool summe = n.op == Op::Call && n.text == QLatin1String("Sum");
    if (summe) f(n.kids.size() == 2 ? int(n.kids[1]->num) : 0, n.pos, tiefe);
    for (const auto& c : n.kids)
        BesucheSummen(*c, tiefe + int(summe), f);
}

} // namespace

RValue AuswertungsKontext::Summe(int, const std::function<RValue()>&, int position) {
    throw AuswertungsFehler{position, QStringLiteral("Sum ist hier nicht möglich")};
}

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

Expression Expression::Parse(const QString& text, ParseFehler* fehler) {
    Expression e;
    e.text_ = text;
    if (fehler) *fehler = {};
    if (text.trimmed().isEmpty()) return e;
    try {
        e.wurzel_ = Parser(Zerlege(text)).Ganz();
    } catch (const ParseAbbruch& a) {
        e.wurzel_.reset();
        if (fehler) *fehler = {a.pos, a.text};
    }
    return e;
}

RValue Expression::Eval(AuswertungsKontext& k) const {
    if (!wurzel_) return {};
    return Werte(*wurzel_, k);
}

void Expression::Namen(const std::function<void(const QString&, const QString&, bool, int)>& f) const {
    if (wurzel_) Besuche(*wurzel_, f);
}

void Expression::Summen(const std::function<void(int gruppe, int pos, int tiefe)>& f) const {
    if (wurzel_) BesucheSummen(*wurzel_, 0, f);
}

bool IstWahr(const RValue& v) {
    return v.kind == RValue::Kind::Bool && v.wahr;
}

} // namespace velu::report
