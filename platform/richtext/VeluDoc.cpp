#include "platform/richtext/VeluDoc.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QXmlStreamReader>

#include <cmath>
#include <variant>
#include <vector>

namespace velu::richtext {

double LayoutDpi() {
    // QTextDocument lays fonts out at the screen's logical resolution; pages are measured in the same unit.
    if (auto* s = QGuiApplication::primaryScreen()) return s->logicalDotsPerInchY();
    return 96.0;
}

double MmToPx(double mm) {
    return mm * LayoutDpi() / 25.4;
}

double PxToMm(double px) {
    return px * 25.4 / LayoutDpi();
}

namespace {

double PtToPx(double pt) {
    return pt * LayoutDpi() / 72.0;
}
double PxToPt(double px) {
    return px * 72.0 / LayoutDpi();
}

QString Num(double v) {
    return QString::number(std::round(v * 100) / 100, 'g', 12);
}

// XML 1.0 has no place for C0 controls other than tab, CR and LF, for U+FFFE and U+FFFF, or for a surrogate
// without its partner.
bool InXml(char32_t c) {
    if (c < 0x20) return c == '\t' || c == '\r' || c == '\n';
    return c != 0xFFFE && c != 0xFFFF && !QChar::isSurrogate(c);
}

// QTextDocument takes CR, LF, U+2029 and its frame marks U+FDD0 and U+FDD1 for block ends, so a paragraph's
// text holds none of them.
bool InAbsatz(char32_t c) {
    return InXml(c) && c != '\r' && c != '\n' && c != QChar::ParagraphSeparator && c != 0xFDD0 && c != 0xFDD1;
}

// text with a blank for every code point that erlaubt refuses; a surrogate without its partner is one.
QString Bereinigt(const QString& text, bool (*erlaubt)(char32_t)) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            if (erlaubt(QChar::surrogateToUcs4(ch, text[i + 1])))
                out.append(ch).append(text[i + 1]);
            else
                out += QLatin1Char(' ');
            ++i;
        } else {
            out += erlaubt(ch.unicode()) ? ch : QLatin1Char(' ');
        }
    }
    return out;
}

struct Run {
    QString text;
    QTextCharFormat fmt;
};

struct Para {
    QTextBlockFormat fmt;
    std::vector<Run> runs;
};

struct Table {
    QTextTableFormat fmt;
    std::vector<double> widths;
    std::vector<std::vector<std::vector<Para>>> rows;
};

using Item = std::variant<Para, Table>;

class Parser {
public:
    explicit Parser(const QString& xml) : x_(xml) {}

    bool Parse(std::vector<Item>& items, QString& error) {
        while (!x_.atEnd() && !x_.isStartElement())
            x_.readNext();
        if (x_.name() != u"velu-doc") return Fail(error, "kein velu-doc");
        bool pageBreak = false;
        while (x_.readNextStartElement()) {
            if (x_.name() == u"p") {
                Para p;
                if (!ReadPara(p, error)) return false;
                if (pageBreak) p.fmt.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                items.push_back(std::move(p));
            } else if (x_.name() == u"table") {
                Table t;
                if (!ReadTable(t, error)) return false;
                if (pageBreak) t.fmt.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                items.push_back(std::move(t));
            } else if (x_.name() == u"pagebreak") {
                x_.skipCurrentElement();
                pageBreak = true;
                continue;
            } else {
                return Fail(error, "unbekanntes Element " + x_.name().toString());
            }
            pageBreak = false;
        }
        if (pageBreak) {
            Para p;
            p.fmt.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            items.push_back(std::move(p));
        }
        if (x_.hasError()) return Fail(error, x_.errorString());
        return true;
    }

private:
    bool Fail(QString& error, const QString& why) {
        error = QStringLiteral("Zeile %1: %2").arg(x_.lineNumber()).arg(why);
        return false;
    }

    bool ReadPara(Para& p, QString& error) {
        const auto a = x_.attributes();
        const QStringView align = a.value("align");
        if (align == u"right")
            p.fmt.setAlignment(Qt::AlignRight);
        else if (align == u"center")
            p.fmt.setAlignment(Qt::AlignHCenter);
        else if (align == u"justify")
            p.fmt.setAlignment(Qt::AlignJustify);
        else if (!align.isEmpty() && align != u"left")
            return Fail(error, "unbekannte Ausrichtung " + align.toString());
        if (a.hasAttribute("tabs")) {
            QList<QTextOption::Tab> tabs;
            for (const QString& t : a.value("tabs").toString().split(' ', Qt::SkipEmptyParts)) {
                QString n = t;
                auto type = QTextOption::LeftTab;
                if (n.endsWith('r')) type = QTextOption::RightTab;
                if (n.endsWith('c')) type = QTextOption::CenterTab;
                if (type != QTextOption::LeftTab) n.chop(1);
                bool ok = false;
                const double mm = n.toDouble(&ok);
                if (!ok || mm < 0) return Fail(error, "ungültiger Tabulator " + t);
                tabs.push_back(QTextOption::Tab(MmToPx(mm), type));
            }
            p.fmt.setTabPositions(tabs);
        }
        return ReadInline(p, QTextCharFormat(), error, "p", 1);
    }

    // Each level of inline elements is one level of recursion here: a depth far beyond any template's
    // (which needs at most font, b, i, u, field) is refused before the stack runs out.
    static constexpr int MaxInlineTiefe = 200;

    bool ReadInline(Para& p, const QTextCharFormat& fmt, QString& error, const QString& end, int tiefe) {
        if (tiefe > MaxInlineTiefe)
            return Fail(
                error,
                QStringLiteral("Zeichenformate mehr als %1 Ebenen tief verschachtelt").arg(MaxInlineTiefe));
        while (!x_.atEnd()) {
            x_.readNext();
            if (x_.isEndElement()) {
                if (x_.name() != end) return Fail(error, "falsch geschlossen");
                return true;
            }
            if (x_.isCharacters()) {
                AddText(p, fmt, x_.text().toString());
                continue;
            }
            if (!x_.isStartElement()) continue;
            const QString name = x_.name().toString();
            const auto a = x_.attributes();
            QTextCharFormat f = fmt;
            if (name == "b") {
                f.setFontWeight(QFont::Bold);
            } else if (name == "i") {
                f.setFontItalic(true);
            } else if (name == "u") {
                f.setFontUnderline(true);
            } else if (name == "font") {
                if (a.hasAttribute("face")) f.setFontFamilies({a.value("face").toString()});
                if (a.hasAttribute("size")) {
                    bool ok = false;
                    const double pt = a.value("size").toDouble(&ok);
                    if (!ok || pt <= 0 || pt > 500) return Fail(error, "ungültige Schriftgröße");
                    f.setFontPointSize(pt);
                }
                if (a.hasAttribute("color")) {
                    const QColor c = QColor::fromString(a.value("color"));
                    if (!c.isValid()) return Fail(error, "ungültige Farbe");
                    f.setForeground(c);
                }
            } else if (name == "field") {
                if (fmt.hasProperty(FieldProperty)) return Fail(error, "Feld im Feld");
                bool ok = false;
                const int n = a.value("n").toInt(&ok);
                if (!ok || n <= 0) return Fail(error, "ungültige Feldnummer");
                f.setProperty(FieldProperty, n);
                const size_t before = p.runs.size();
                if (!ReadInline(p, f, error, name, tiefe + 1)) return false;
                // An empty field keeps a mark, so that it can be found and set.
                if (p.runs.size() == before) AddText(p, f, QString(QChar(EmptyFieldMark)));
                continue;
            } else if (name == "tab" || name == "br") {
                AddText(p, fmt, name == "tab" ? QStringLiteral("\t") : QString(QChar::LineSeparator));
                x_.skipCurrentElement();
                continue;
            } else {
                return Fail(error, "unbekanntes Element " + name);
            }
            if (!ReadInline(p, f, error, name, tiefe + 1)) return false;
        }
        return Fail(error, "unerwartetes Ende");
    }

    static void AddText(Para& p, const QTextCharFormat& fmt, QString text) {
        if (text.isEmpty()) return;
        // Line ends in the XML are blanks; a paragraph holds no paragraph break of its own.
        text.replace("\r\n", " ");
        text = Bereinigt(text, InAbsatz);
        if (!p.runs.empty() && p.runs.back().fmt == fmt)
            p.runs.back().text += text;
        else
            p.runs.push_back({text, fmt});
    }

    bool ReadTable(Table& t, QString& error) {
        const auto a = x_.attributes();
        if (a.hasAttribute("widths")) {
            for (const QString& w : a.value("widths").toString().split(',', Qt::SkipEmptyParts)) {
                bool ok = false;
                const double mm = w.trimmed().toDouble(&ok);
                if (!ok || mm <= 0) return Fail(error, "ungültige Spaltenbreite " + w);
                t.widths.push_back(mm);
            }
        }
        double border = 0;
        if (a.hasAttribute("border")) {
            bool ok = false;
            border = a.value("border").toDouble(&ok);
            if (!ok || border < 0) return Fail(error, "ungültiger Rahmen");
        }
        t.fmt.setBorder(PtToPx(border));
        t.fmt.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        t.fmt.setBorderBrush(Qt::black);
        t.fmt.setCellSpacing(0);
        t.fmt.setCellPadding(2);
        t.fmt.setBorderCollapse(true);
        while (x_.readNextStartElement()) {
            if (x_.name() != u"tr") return Fail(error, "Tabellenzeile erwartet");
            std::vector<std::vector<Para>> row;
            while (x_.readNextStartElement()) {
                if (x_.name() != u"td") return Fail(error, "Tabellenzelle erwartet");
                std::vector<Para> cell;
                while (x_.readNextStartElement()) {
                    if (x_.name() != u"p") return Fail(error, "Absatz in der Zelle erwartet");
                    Para p;
                    if (!ReadPara(p, error)) return false;
                    cell.push_back(std::move(p));
                }
                if (cell.empty()) cell.emplace_back();
                row.push_back(std::move(cell));
            }
            if (!t.rows.empty() && row.size() != t.rows.front().size())
                return Fail(error, "ungleiche Spaltenzahl");
            if (row.empty()) return Fail(error, "leere Tabellenzeile");
            t.rows.push_back(std::move(row));
        }
        if (x_.hasError()) return Fail(error, x_.errorString());
        if (t.rows.empty()) return Fail(error, "leere Tabelle");
        if (!t.widths.empty() && t.widths.size() != t.rows.front().size())
            return Fail(error, "Spaltenbreiten passen nicht zur Spaltenzahl");
        QList<QTextLength> lengths;
        for (double w : t.widths)
            lengths.push_back(QTextLength(QTextLength::FixedLength, MmToPx(w)));
        t.fmt.setColumnWidthConstraints(lengths);
        return true;
    }

    QXmlStreamReader x_;
};

void InsertRuns(QTextCursor& c, const Para& p) {
    for (const Run& r : p.runs)
        c.insertText(r.text, r.fmt);
}

void MarkPadding(QTextCursor& c) {
    QTextBlockFormat pad;
    pad.setProperty(PaddingProperty, true);
    c.setBlockFormat(pad);
    c.setBlockCharFormat(QTextCharFormat());
}

void Emit(QTextDocument& doc, const std::vector<Item>& items) {
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    bool fresh = doc.isEmpty() || c.block().blockFormat().hasProperty(PaddingProperty);
    c.beginEditBlock();
    for (const Item& item : items) {
        if (const Para* p = std::get_if<Para>(&item)) {
            if (fresh) {
                c.setBlockFormat(p->fmt);
                c.setBlockCharFormat(QTextCharFormat());
            } else {
                c.insertBlock(p->fmt, QTextCharFormat());
            }
            InsertRuns(c, *p);
            fresh = false;
            continue;
        }
        const Table& t = std::get<Table>(item);
        if (fresh) MarkPadding(c);
        const int cols = int(t.rows.front().size());
        QTextTable* table = c.insertTable(int(t.rows.size()), cols, t.fmt);
        for (int r = 0; r < int(t.rows.size()); ++r) {
            for (int k = 0; k < cols; ++k) {
                QTextCursor cc = table->cellAt(r, k).firstCursorPosition();
                bool first = true;
                for (const Para& p : t.rows[r][k]) {
                    if (first)
                        cc.setBlockFormat(p.fmt);
                    else
                        cc.insertBlock(p.fmt, QTextCharFormat());
                    InsertRuns(cc, p);
                    first = false;
                }
            }
        }
        c.setPosition(table->lastPosition() + 1);
        MarkPadding(c);
        fresh = true;
    }
    c.endEditBlock();
}

// Writing: each run is wrapped, outermost first, in font, b, i, u and field; runs that share the outer
// wrappers share their tags.
QString Escape(QString s, bool attribute) {
    s = Bereinigt(s, InAbsatz);
    s.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
    if (attribute) s.replace('"', "&quot;");
    return s;
}

QStringList Wrappers(const QTextCharFormat& f) {
    QStringList w;
    QString font;
    if (f.hasProperty(QTextFormat::FontFamilies) && !f.fontFamilies().toStringList().isEmpty())
        font += " face=\"" + Escape(f.fontFamilies().toStringList().first(), true) + "\"";
    if (f.hasProperty(QTextFormat::FontPointSize)) font += " size=\"" + Num(f.fontPointSize()) + "\"";
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        font += " color=\"" + f.foreground().color().name() + "\"";
    if (!font.isEmpty()) w << "<font" + font + ">";
    if (f.hasProperty(QTextFormat::FontWeight) && f.fontWeight() >= QFont::Bold) w << "<b>";
    if (f.fontItalic()) w << "<i>";
    if (f.fontUnderline()) w << "<u>";
    if (f.hasProperty(FieldProperty))
        w << QStringLiteral("<field n=\"%1\">").arg(f.intProperty(FieldProperty));
    return w;
}

QString Closing(const QString& open) {
    const int end = open.indexOf(QRegularExpression("[ >]"));
    return "</" + open.mid(1, end - 1) + ">";
}

// In a field the mark of an empty field is not text: the empty element brings it back when read.
QString InlineText(const QString& text, bool feld) {
    QString out;
    for (QChar ch : Bereinigt(text, InAbsatz)) {
        if (ch == '\t')
            out += "<tab/>";
        else if (ch == QChar::LineSeparator)
            out += "<br/>";
        else if (feld && ch.unicode() == EmptyFieldMark)
            continue;
        else if (ch == '&')
            out += "&amp;";
        else if (ch == '<')
            out += "&lt;";
        else if (ch == '>')
            out += "&gt;";
        else
            out += ch;
    }
    return out;
}

void WriteBlock(QString& out, const QTextBlock& b) {
    const QTextBlockFormat f = b.blockFormat();
    if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) out += "<pagebreak/>";
    out += "<p";
    const Qt::Alignment h = f.alignment() & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignRight)
        out += " align=\"right\"";
    else if (h & Qt::AlignHCenter)
        out += " align=\"center\"";
    else if (h & Qt::AlignJustify)
        out += " align=\"justify\"";
    const auto tabs = f.tabPositions();
    if (!tabs.isEmpty()) {
        QStringList t;
        for (const auto& tab : tabs)
            t << Num(PxToMm(tab.position)) + (tab.type == QTextOption::RightTab    ? "r"
                                              : tab.type == QTextOption::CenterTab ? "c"
                                                                                   : "");
        out += " tabs=\"" + t.join(' ') + "\"";
    }
    out += ">";
    QStringList open;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid()) continue;
        const QStringList w = Wrappers(frag.charFormat());
        int common = 0;
        while (common < open.size() && common < w.size() && open[common] == w[common])
            ++common;
        while (open.size() > common)
            out += Closing(open.takeLast());
        for (int i = common; i < w.size(); ++i) {
            out += w[i];
            open << w[i];
        }
        out += InlineText(frag.text(), frag.charFormat().hasProperty(FieldProperty));
    }
    while (!open.isEmpty())
        out += Closing(open.takeLast());
    out += "</p>";
}

void WriteTable(QString& out, QTextTable* t) {
    const QTextTableFormat f = t->format();
    if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) out += "<pagebreak/>";
    out += "<table";
    const auto widths = f.columnWidthConstraints();
    if (!widths.isEmpty()) {
        QStringList w;
        for (const auto& l : widths)
            w << Num(PxToMm(l.rawValue()));
        out += " widths=\"" + w.join(',') + "\"";
    }
    if (f.border() > 0) out += " border=\"" + Num(PxToPt(f.border())) + "\"";
    out += ">";
    for (int r = 0; r < t->rows(); ++r) {
        out += "<tr>";
        for (int k = 0; k < t->columns(); ++k) {
            out += "<td>";
            const QTextTableCell cell = t->cellAt(r, k);
            for (auto it = cell.begin(); !it.atEnd(); ++it)
                if (it.currentBlock().isValid()) WriteBlock(out, it.currentBlock());
            out += "</td>";
        }
        out += "</tr>";
    }
    out += "</table>";
}

} // namespace

bool PasteVeluDoc(QTextDocument& doc, const QString& xml, QString* error) {
    std::vector<Item> items;
    QString why;
    // Earlier writers stored characters that XML refuses as they were; they read as the blanks the writer
    // now puts in their place.
    if (!Parser(Bereinigt(xml, InXml)).Parse(items, why)) {
        if (error) *error = why;
        return false;
    }
    Emit(doc, items);
    return true;
}

QString WriteVeluDoc(const QTextDocument& doc) {
    QString out = "<velu-doc version=\"1\">";
    const QTextBlock only = doc.firstBlock();
    const bool empty = doc.isEmpty() && only.blockFormat().propertyCount() == 0;
    if (!empty) {
        QTextFrame* root = doc.rootFrame();
        for (auto it = root->begin(); !it.atEnd(); ++it) {
            if (auto* t = qobject_cast<QTextTable*>(it.currentFrame())) {
                WriteTable(out, t);
            } else if (it.currentBlock().isValid()) {
                if (it.currentBlock().blockFormat().hasProperty(PaddingProperty)) continue;
                WriteBlock(out, it.currentBlock());
            }
        }
    }
    return out + "</velu-doc>";
}

} // namespace velu::richtext
