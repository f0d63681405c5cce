#include "platform/richtext/ScribantPro.h"

#include "platform/richtext/VeluDoc.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>

#include <functional>
#include <set>
#include <vector>

namespace velu::richtext {

namespace {

double ValidMargin(double mm, double fallback) {
    return mm >= 0 && mm <= 100 ? mm : fallback;
}

struct FieldRun {
    int start;
    int end;
    QTextCharFormat fmt;
};

// Runs of field n in document order; neighbouring fragments of the same field make one run.
std::vector<FieldRun> FieldRuns(const QTextDocument* doc, int n) {
    std::vector<FieldRun> runs;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid() || f.charFormat().intProperty(FieldProperty) != n) continue;
            if (!runs.empty() && runs.back().end == f.position())
                runs.back().end = f.position() + f.length();
            else
                runs.push_back({f.position(), f.position() + f.length(), f.charFormat()});
        }
    }
    return runs;
}

QString FieldValue(QString text) {
    text.replace("\r\n", QString(QChar::LineSeparator));
    text.replace('\r', QChar::LineSeparator).replace('\n', QChar::LineSeparator);
    text.replace(QChar::ParagraphSeparator, QChar::LineSeparator);
    return text.isEmpty() ? QString(QChar(EmptyFieldMark)) : text;
}

void ForEachBlock(QTextDocument* doc, const std::function<void(QTextBlockFormat&)>& change) {
    QTextCursor c(doc);
    c.beginEditBlock();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        change(f);
        c.setPosition(b.position());
        c.setBlockFormat(f);
    }
    c.endEditBlock();
}

// Marks the page breaks the layout added to keep a paragraph together, so that the next layout starts afresh.
constexpr int KeepTogetherBreak = QTextFormat::UserProperty + 7;
// A paragraph that stays on the page of the paragraph after it (the lines of one field split into paragraphs).
constexpr int KeepWithNext = QTextFormat::UserProperty + 8;

void SetBreakBefore(QTextDocument* doc, const QTextBlock& b, bool on) {
    QTextBlockFormat f = b.blockFormat();
    if (on) {
        // A break of the document's own (a letter of a serial letter) is not the layout's to take back.
        if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) return;
        f.setPageBreakPolicy(f.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
        f.setProperty(KeepTogetherBreak, true);
    } else {
        f.setPageBreakPolicy(f.pageBreakPolicy() & ~QTextFormat::PageBreak_AlwaysBefore);
        f.clearProperty(KeepTogetherBreak);
    }
    QTextCursor c(doc);
    c.setPosition(b.position());
    c.setBlockFormat(f);
}

// A paragraph of several lines, or a run of paragraphs kept with the next, that would be cut by a page end
// (such as a block of totals) starts the next page instead, unless it is longer than half a page.
void KeepParagraphsTogether(QTextDocument* doc, double pageHeight) {
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        if (b.blockFormat().hasProperty(KeepTogetherBreak)) SetBreakBefore(doc, b, false);
    if (pageHeight <= 0) return;
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    QTextBlock first;
    for (auto it = doc->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (it.currentFrame()) {
            first = QTextBlock();
            continue;
        }
        const QTextBlock b = it.currentBlock();
        if (!b.isValid() || !b.layout()) continue;
        // A page break of the document's own ends what is kept together before it.
        const QTextBlockFormat f = b.blockFormat();
        if ((f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) && !f.hasProperty(KeepTogetherBreak))
            first = QTextBlock();
        if (!first.isValid()) first = b;
        if (f.boolProperty(KeepWithNext) && b.next().isValid()) continue;
        const QTextBlock start = first;
        first = QTextBlock();
        if (start == b && b.layout()->lineCount() < 2) continue;
        const double top = layout->blockBoundingRect(start).top(), bottom = layout->blockBoundingRect(b).bottom();
        if (bottom - top > pageHeight / 2) continue;
        const int von = int(top / pageHeight), bis = int((bottom - 1) / pageHeight);
        if (von != bis && top > von * pageHeight + 1) SetBreakBefore(doc, start, true);
    }
}

} // namespace

struct ScribantPro::Layout {
    double width = 0, height = 0; // paper
    double x = 0, y = 0, cw = 0;  // content origin and width
    double headerH = 0, footerY = 0;
    double bodyY = 0, bodyH = 0;
};

ScribantPro::ScribantPro(QObject* parent) : QObject(parent) {
    for (int i = 0; i < 3; ++i) {
        docs_[i] = new QTextDocument(this);
        docs_[i]->setDocumentMargin(0);
        docs_[i]->setDefaultFont(QFont("DejaVu Sans", 10));
        cursors_[i] = QTextCursor(docs_[i]);
    }
}

ScribantPro::~ScribantPro() = default;

QTextDocument* ScribantPro::Document(int context) const {
    return docs_.at(context >= 0 && context < 3 ? context : 0);
}

void ScribantPro::SetContext(int context) {
    if (context >= 0 && context < 3) context_ = context;
}

void ScribantPro::ClearUndoList() {
    docs_[context_]->clearUndoRedoStacks();
}

bool ScribantPro::SelectAll(bool) {
    cursors_[context_].select(QTextCursor::Document);
    return !docs_[context_]->isEmpty();
}

void ScribantPro::Clear() {
    // Through a cursor rather than QTextDocument::clear(), which views attached to the document do not
    // survive, and which would drop the default font and tab width.
    QTextCursor c(docs_[context_]);
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setBlockFormat(QTextBlockFormat());
    c.setBlockCharFormat(QTextCharFormat());
    c.setCharFormat(QTextCharFormat());
    cursors_[context_] = QTextCursor(docs_[context_]);
    if (foundContext_ == context_) foundContext_ = -1;
}

bool ScribantPro::PasteData(const QString& text, const QString& format, int length) {
    lastError_.clear();
    const QString t = length >= 0 && length < text.size() ? text.left(length) : text;
    QTextDocument* doc = docs_[context_];
    if (format == VeluDocFormat) return PasteVeluDoc(*doc, t, &lastError_);
    QTextCursor c(doc);
    c.movePosition(QTextCursor::End);
    QString plain = t;
    plain.replace("\r\n", "\n").replace('\r', '\n');
    c.insertText(plain);
    return true;
}

QString ScribantPro::Text() const {
    return docs_[context_]->isEmpty() ? QString() : docs_[context_]->toPlainText();
}

void ScribantPro::SetTopMargin(double mm) {
    margins_[0] = ValidMargin(mm, DefaultTop);
}
void ScribantPro::SetBottomMargin(double mm) {
    margins_[1] = ValidMargin(mm, DefaultBottom);
}
void ScribantPro::SetLeftMargin(double mm) {
    margins_[2] = ValidMargin(mm, DefaultLeft);
}
void ScribantPro::SetRightMargin(double mm) {
    margins_[3] = ValidMargin(mm, DefaultRight);
}

QColor ScribantPro::ToColor(long c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

void ScribantPro::SetLineSpacing(int percent) {
    lineSpacing_ = percent > 0 ? percent : 100;
    ForEachBlock(docs_[context_], [this](QTextBlockFormat& f) {
        f.setLineHeight(lineSpacing_, QTextBlockFormat::ProportionalHeight);
    });
}

void ScribantPro::SetLineAlign(int align) {
    static const Qt::Alignment map[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    lineAlign_ = align >= 0 && align < 4 ? align : 0;
    ForEachBlock(docs_[context_], [this](QTextBlockFormat& f) { f.setAlignment(map[lineAlign_]); });
}

void ScribantPro::SetSBFont(int size, long color, int weight, int style, const QString& name, int apply) {
    if (apply & 0x20) textColor_ = ToColor(color);
    for (QTextDocument* doc : docs_) {
        QFont f = doc->defaultFont();
        if ((apply & 0x10) && size > 0) f.setPointSizeF(size / 10.0);
        if (apply & 0x40) {
            f.setWeight(QFont::Weight(qBound(100, weight > 0 ? weight : 400, 900)));
            f.setItalic(style & 1);
            f.setUnderline(style & 2);
        }
        if ((apply & 0x80) && !name.isEmpty()) f.setFamilies({name});
        doc->setDefaultFont(f);
    }
}

void ScribantPro::SetTabWidth(int tenthsMm) {
    if (tenthsMm <= 0) return;
    for (QTextDocument* doc : docs_) {
        QTextOption o = doc->defaultTextOption();
        o.setTabStopDistance(MmToPx(tenthsMm / 10.0));
        doc->setDefaultTextOption(o);
    }
}

void ScribantPro::SetLoadProperty(int number, long value) {
    if (number == 22) backColor_ = value;
}

bool ScribantPro::SetFieldText(int n, const QString& text) {
    const QString value = FieldValue(text);
    std::array<std::vector<FieldRun>, 3> runs;
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        runs[i] = FieldRuns(docs_[i], n);
        any = any || !runs[i].empty();
    }
    if (!any) return false;
    for (int i = 0; i < 3; ++i) {
        QTextCursor c(docs_[i]);
        // From the back, so that the positions of the runs before stay valid.
        for (auto it = runs[i].rbegin(); it != runs[i].rend(); ++it) {
            c.setPosition(it->start);
            c.setPosition(it->end, QTextCursor::KeepAnchor);
            if (c.selectedText() == value) continue;
            c.insertText(value, it->fmt);
        }
    }
    return true;
}

bool ScribantPro::SplitFieldLines(int n) {
    QTextDocument* doc = docs_[Body];
    const auto runs = FieldRuns(doc, n);
    if (runs.empty()) return false;
    QTextCursor c(doc);
    c.beginEditBlock();
    // From the back, so that the positions before stay valid; every paragraph but the field's last is kept
    // with the next.
    bool letzte = true;
    for (auto run = runs.rbegin(); run != runs.rend(); ++run)
        for (int pos = run->end - 1; pos >= run->start; --pos) {
            if (doc->characterAt(pos) != QChar::LineSeparator) continue;
            c.setPosition(pos);
            QTextBlockFormat f = c.blockFormat();
            c.deleteChar();
            f.setProperty(KeepWithNext, true);
            c.setBlockFormat(f);
            if (letzte) f.clearProperty(KeepWithNext);
            letzte = false;
            c.insertBlock(f, run->fmt);
        }
    c.endEditBlock();
    return true;
}

bool ScribantPro::KeepClosingTogether() {
    QTextDocument* doc = docs_[Body];
    std::vector<QTextBlock> absaetze;
    for (auto it = doc->rootFrame()->begin(); !it.atEnd(); ++it)
        if (!it.currentFrame() && it.currentBlock().isValid()) absaetze.push_back(it.currentBlock());
    // From the end: the signature, the greeting, then the last paragraph of the text before them.
    int gruppen = 0;
    bool inGruppe = false;
    size_t ab = absaetze.size();
    while (ab-- > 0) {
        const bool leer = absaetze[ab].text().trimmed().isEmpty();
        if (!leer && !inGruppe && ++gruppen == 3) break;
        inGruppe = !leer;
    }
    if (gruppen < 3) return false;
    QTextCursor c(doc);
    c.beginEditBlock();
    for (size_t i = ab; i + 1 < absaetze.size(); ++i) {
        QTextBlockFormat f = absaetze[i].blockFormat();
        f.setProperty(KeepWithNext, true);
        c.setPosition(absaetze[i].position());
        c.setBlockFormat(f);
    }
    c.endEditBlock();
    return true;
}

bool ScribantPro::SplitTableRowLines(int n) {
    QTextDocument* doc = docs_[Body];
    const auto runs = FieldRuns(doc, n);
    if (runs.empty()) return false;
    QTextCursor c(doc);
    c.setPosition(runs.front().start);
    QTextTable* table = c.currentTable();
    if (!table) return false;
    const int row = table->cellAt(c).row();
    struct Spalte {
        QStringList zeilen;
        QTextCharFormat zeichen;
        QTextBlockFormat absatz;
    };
    std::vector<Spalte> spalten;
    int n_ = 1;
    for (int col = 0; col < table->columns(); ++col) {
        const QTextTableCell k = table->cellAt(row, col);
        QTextCursor sel = k.firstCursorPosition();
        Spalte sp;
        sp.absatz = sel.blockFormat();
        sel.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        sp.zeichen = sel.charFormat();
        sel.setPosition(k.firstCursorPosition().position());
        sel.setPosition(k.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        QString text = sel.selectedText();
        text.remove(QChar(EmptyFieldMark));
        text.replace(QChar::ParagraphSeparator, QChar::LineSeparator);
        sp.zeilen = text.split(QChar::LineSeparator);
        n_ = std::max(n_, int(sp.zeilen.size()));
        spalten.push_back(std::move(sp));
    }
    if (n_ <= 1) return true;
    c.beginEditBlock();
    table->insertRows(row + 1, n_ - 1);
    for (int i = 0; i < n_; ++i)
        for (int col = 0; col < table->columns(); ++col) {
            const Spalte& sp = spalten[size_t(col)];
            const QTextTableCell k = table->cellAt(row + i, col);
            QTextCursor z = k.firstCursorPosition();
            z.setPosition(k.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            z.setBlockFormat(sp.absatz);
            z.insertText(i < sp.zeilen.size() ? sp.zeilen[i] : QString(), sp.zeichen);
        }
    c.endEditBlock();
    return true;
}

QString ScribantPro::FieldText(int n) const {
    for (QTextDocument* doc : docs_) {
        const auto runs = FieldRuns(doc, n);
        if (runs.empty()) continue;
        QTextCursor c(doc);
        c.setPosition(runs.front().start);
        c.setPosition(runs.front().end, QTextCursor::KeepAnchor);
        QString t = c.selectedText();
        t.remove(QChar(EmptyFieldMark));
        return t;
    }
    return {};
}

QList<int> ScribantPro::FieldNumbers() const {
    std::set<int> numbers;
    for (QTextDocument* doc : docs_)
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (const int n = it.fragment().charFormat().intProperty(FieldProperty)) numbers.insert(n);
    return QList<int>(numbers.begin(), numbers.end());
}

void ScribantPro::CopyTo(ScribantPro& other) const {
    for (int k = 0; k < 3; ++k) {
        QTextDocument* to = other.docs_[k];
        other.SetContext(k);
        other.Clear();
        to->setDefaultFont(docs_[k]->defaultFont());
        to->setDefaultTextOption(docs_[k]->defaultTextOption());
        to->setDocumentMargin(0);
        PasteVeluDoc(*to, WriteVeluDoc(*docs_[k]));
    }
    other.SetContext(context_);
    other.margins_ = margins_;
    other.pageSize_ = pageSize_;
    other.textColor_ = textColor_;
    other.backColor_ = backColor_;
    other.fieldBkColor_ = fieldBkColor_;
}

int ScribantPro::FindField(int fromStart, bool forward, const QList<int>& numbers) {
    foundContext_ = -1;
    foundPosition_ = -1;
    const QList<int> wanted = numbers.mid(1, numbers.value(0));
    QTextDocument* doc = docs_[context_];
    const int from = fromStart == 1 ? (forward ? 0 : doc->characterCount()) : cursors_[context_].position();
    int best = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int n = f.charFormat().intProperty(FieldProperty);
            if (!f.isValid() || n == 0 || !wanted.contains(n)) continue;
            const bool after = forward ? f.position() >= from : f.position() < from;
            if (!after) continue;
            if (forward && foundPosition_ >= 0) continue;
            foundPosition_ = f.position();
            best = n;
        }
    }
    if (best) foundContext_ = context_;
    return best;
}

bool ScribantPro::GoToFoundField(int) {
    if (foundContext_ < 0) return false;
    cursors_[foundContext_].setPosition(foundPosition_);
    return true;
}

bool ScribantPro::InsertFile(const QString& path, int mode) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QString content = QString::fromUtf8(f.readAll());
    QTextCursor& c = cursors_[context_];
    // The insertion point stays before the field it was put on: the inserted text goes in front of it.
    const int at = c.position();
    QTextCursor ins(docs_[context_]);
    ins.setPosition(at);
    ins.setCharFormat(QTextCharFormat());
    if (mode == 3)
        ins.insertFragment(QTextDocumentFragment::fromHtml(content, docs_[context_]));
    else
        ins.insertText(content, QTextCharFormat());
    return true;
}

void ScribantPro::InsertPageBreak() {
    QTextCursor& c = cursors_[context_];
    QTextBlockFormat f = c.blockFormat();
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    f.clearProperty(PaddingProperty);
    c.insertBlock(f);
}

void ScribantPro::TogglePageView() {
    SetPageView(!pageView_);
}

void ScribantPro::SetPageView(bool on) {
    if (pageView_ == on) return;
    pageView_ = on;
    emit PageViewChanged(on);
}

void ScribantPro::PagePosition(int& page, int& other) const {
    page = drawingPage_;
    other = pageCount_;
}

ScribantPro::Layout ScribantPro::PrepareLayout() {
    Layout l;
    const QSizeF paper = pageSize_.size(QPageSize::Millimeter);
    l.width = MmToPx(paper.width());
    l.height = MmToPx(paper.height());
    l.x = MmToPx(LeftMargin());
    l.y = MmToPx(TopMargin());
    l.cw = std::max(MmToPx(20), l.width - l.x - MmToPx(RightMargin()));
    const double ch = std::max(MmToPx(40), l.height - l.y - MmToPx(BottomMargin()));
    const double gap = MmToPx(4);
    for (QTextDocument* doc : docs_) {
        doc->setDocumentMargin(0);
        doc->setPageSize(QSizeF(l.cw, -1));
    }
    if (!docs_[Header]->isEmpty()) l.headerH = docs_[Header]->size().height() + gap;
    double footerH = 0;
    if (!docs_[Footer]->isEmpty()) footerH = docs_[Footer]->size().height() + gap;
    l.bodyY = l.y + l.headerH;
    l.bodyH = std::max(MmToPx(20), ch - l.headerH - footerH);
    l.footerY = l.bodyY + l.bodyH + (footerH > 0 ? gap : 0);
    docs_[Body]->setPageSize(QSizeF(l.cw, l.bodyH));
    KeepParagraphsTogether(docs_[Body], l.bodyH);
    return l;
}

void ScribantPro::PaintPage(QPainter& p, const Layout& l, int page, bool paper) {
    if (paper) p.fillRect(QRectF(0, 0, l.width, l.height), ToColor(backColor_));
    auto draw = [&](QTextDocument* doc, double y, double from, double height) {
        p.save();
        p.translate(l.x, y - from);
        QAbstractTextDocumentLayout::PaintContext ctx;
        // A line that starts right at the page's end belongs to the next page; text outside the clip would
        // still be in a PDF, so the layout must not draw it at all.
        ctx.clip = QRectF(0, from, l.cw, height - 0.5);
        ctx.palette.setColor(QPalette::Text, textColor_);
        p.setClipRect(ctx.clip);
        doc->documentLayout()->draw(&p, ctx);
        p.restore();
    };
    if (l.headerH > 0) draw(docs_[Header], l.y, 0, l.headerH);
    draw(docs_[Body], l.bodyY, page * l.bodyH, l.bodyH);
    if (!docs_[Footer]->isEmpty()) draw(docs_[Footer], l.footerY, 0, docs_[Footer]->size().height());
}

template <class Begin> int ScribantPro::RenderAll(Begin&& beginPage) {
    std::array<QSizeF, 3> sizes;
    for (int i = 0; i < 3; ++i)
        sizes[i] = docs_[i]->pageSize();
    Layout l = PrepareLayout();
    int page = 0;
    for (; page < docs_[Body]->pageCount(); ++page) {
        drawingPage_ = page;
        pageCount_ = docs_[Body]->pageCount();
        emit NewPage(page + 1);
        QPainter* p = beginPage(page, l);
        if (!p) break;
        PaintPage(*p, l, page, !p->device() || p->device()->devType() == QInternal::Image);
    }
    pageCount_ = page;
    drawingPage_ = 0;
    for (int i = 0; i < 3; ++i)
        docs_[i]->setPageSize(sizes[i]);
    return page;
}

int ScribantPro::Repaginate() {
    std::array<QSizeF, 3> sizes;
    for (int i = 0; i < 3; ++i)
        sizes[i] = docs_[i]->pageSize();
    PrepareLayout();
    pageCount_ = docs_[Body]->pageCount();
    for (int i = 0; i < 3; ++i)
        docs_[i]->setPageSize(sizes[i]);
    return pageCount_;
}

bool ScribantPro::PrintTo(QPagedPaintDevice& device) {
    return PrintRuns(device, 1, {});
}

bool ScribantPro::PrintRuns(QPagedPaintDevice& device, int runs, const std::function<void(int)>& beforeRun) {
    device.setPageLayout(QPageLayout(pageSize_, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) printer->setFullPage(true);
    QPainter painter;
    bool ok = true;
    for (int run = 1; run <= runs && ok; ++run) {
        if (beforeRun) beforeRun(run);
        RenderAll([&](int, const Layout&) -> QPainter* {
            if (!painter.isActive()) {
                if (!painter.begin(&device)) {
                    ok = false;
                    return nullptr;
                }
            } else if (!device.newPage()) {
                ok = false;
                return nullptr;
            }
            painter.resetTransform();
            painter.scale(device.logicalDpiX() / LayoutDpi(), device.logicalDpiY() / LayoutDpi());
            return &painter;
        });
    }
    if (painter.isActive()) painter.end();
    return ok;
}

bool ScribantPro::SavePdf(const QString& file) {
    QPdfWriter writer(file);
    writer.setResolution(300);
    writer.setCreator("Velunta 4.0");
    return PrintTo(writer);
}

QPrinter& ScribantPro::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool ScribantPro::PrintDocument() {
    return PrintTo(Printer());
}

QList<QImage> ScribantPro::RenderPages(double zoom) {
    QList<QImage> pages;
    QPainter painter;
    RenderAll([&](int, const Layout& l) -> QPainter* {
        if (painter.isActive()) painter.end();
        pages.push_back(QImage(QSize(int(l.width * zoom), int(l.height * zoom)), QImage::Format_RGB32));
        pages.back().fill(Qt::white);
        painter.begin(&pages.back());
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(zoom, zoom);
        return &painter;
    });
    if (painter.isActive()) painter.end();
    return pages;
}

} // namespace velu::richtext
