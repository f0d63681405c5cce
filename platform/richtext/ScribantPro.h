#pragma once
// The rich-text document control: body, header and footer as QTextDocuments with numbered fields, pasted
// from velu-doc templates, paginated with header and footer on every page, printed, saved as PDF and drawn
// for the page view by one renderer. Widget-free; ScribantView puts it on a form and adds the dialogs.
//
// Members the callers address by number, and what stands for them here:
//    40 SetFieldText          124 FindField            52 GoToFoundField       43 InsertFile
//   125 PrintDocument          79 BeginPreview         54 RefreshPreview      142 UpdatePageNumbers
//    50 BeginBuild             98 ScribantView::TranslateKey                  120 PageView
//    93 PagePosition           71 TogglePageView       42 Repaginate          155 InsertPageBreak
//   183 / 185 / 177 / 186      ScribantView::FormatDialog / PrintDialog / SaveAsDialog / PrinterSetupDialog
//   load properties and method 67: SetLoadProperty, InitializeLoad;  event 53: the signal NewPage.
#include <QColor>
#include <QList>
#include <QObject>
#include <QPageSize>
#include <QString>
#include <QTextCursor>

#include <array>
#include <functional>
#include <memory>

class QImage;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QTextDocument;

namespace velu::richtext {

class ScribantPro : public QObject {
    Q_OBJECT
public:
    enum Context { Body = 0, Header = 1, Footer = 2 };
    // Margins the delivered templates use, in millimetres; a margin outside 0-100 mm falls back to them.
    static constexpr double DefaultTop = 20, DefaultBottom = 20, DefaultLeft = 25, DefaultRight = 20;

    explicit ScribantPro(QObject* parent = nullptr);
    ~ScribantPro() override;

    QTextDocument* Document(int context) const;

    int GetContext() const { return context_; }
    void SetContext(int context);
    void SetRedraw(bool on) { redraw_ = on; }
    bool Redraw() const { return redraw_; }
    void ClearUndoList();
    // Selects the whole current context; true when it holds anything.
    bool SelectAll(bool extend);
    void Clear();
    // Inserts a stored text at the end of the current context: format "velu-doc" reads the template format,
    // any other format takes the text as plain text. length counts the characters of text to take. False
    // (and nothing changed) when a velu-doc text cannot be read; LastError() then says why.
    bool PasteData(const QString& text, const QString& format, int length);
    QString LastError() const { return lastError_; }
    // Plain text of the current context; "" when it is empty.
    QString Text() const;

    // Margins in millimetres.
    double TopMargin() const { return margins_[0]; }
    double BottomMargin() const { return margins_[1]; }
    double LeftMargin() const { return margins_[2]; }
    double RightMargin() const { return margins_[3]; }
    void SetTopMargin(double mm);
    void SetBottomMargin(double mm);
    void SetLeftMargin(double mm);
    void SetRightMargin(double mm);
    QPageSize PageSize() const { return pageSize_; }
    void SetPageSize(const QPageSize& s) { pageSize_ = s; }

    // Colours are Windows colour values 0x00BBGGRR.
    void SetBookMarkColor(long c) { bookMarkColor_ = c; }
    long BookMarkColor() const { return bookMarkColor_; }
    // Colour of the paper in the page view.
    void SetBackColor(long c) { backColor_ = c; }
    long BackColor() const { return backColor_; }
    void SetFieldBkColor(long c) { fieldBkColor_ = c; }
    long FieldBkColor() const { return fieldBkColor_; }
    void SetHyperLinkColor(long c) { hyperLinkColor_ = c; }
    long HyperLinkColor() const { return hyperLinkColor_; }
    // Line spacing in percent of a single line, for every paragraph of the current context.
    void SetLineSpacing(int percent);
    int LineSpacing() const { return lineSpacing_; }
    // Alignment of every paragraph of the current context: 0 left, 1 centre, 2 right, 3 justified.
    void SetLineAlign(int align);
    int LineAlign() const { return lineAlign_; }
    static QColor ToColor(long c);

    // Default font of all three contexts. size: tenths of a point; color: 0x00BBGGRR of text without a
    // colour of its own; weight: 100-900 as Windows counts it (700 bold); style: 1 italic, 2 underlined;
    // name: the family. apply: which of them to take, 0x10 size, 0x20 colour, 0x40 weight and style,
    // 0x80 family (240 takes all).
    void SetSBFont(int size, long color, int weight, int style, const QString& name, int apply);
    QColor TextColor() const { return textColor_; }
    // Tab width of all three contexts in tenths of a millimetre.
    void SetTabWidth(int tenthsMm);
    void SetStyle(int style, bool on) { style_ = on ? style : 0; }
    int Style() const { return style_; }

    // Properties set at load; only 22, the paper colour, has an effect.
    void SetLoadProperty(int number, long value);
    void InitializeLoad() {}

    // 40: sets every run of field n in all three contexts to text, each keeping its format. CR LF, CR and LF
    // become line separators, so the value stays one field. False and nothing changed when there is no such
    // field.
    bool SetFieldText(int n, const QString& text);
    // The body's table row that holds field n becomes one row per line of its cells, so that the lines of
    // several column fields (a list of invoices) stay side by side when one of them wraps. False when the
    // field is in no table.
    bool SplitTableRowLines(int n);
    // The lines of field n in the body become paragraphs of their own with the paragraph's format (so that
    // each line has its own tab stops), kept together on one page. False when there is no such field.
    bool SplitFieldLines(int n);
    // The closing of a letter, its last two groups of paragraphs after empty ones (greeting and signature),
    // stays on one page with the last paragraph before it, so a page never starts with the greeting alone.
    // False when the body has no such closing.
    bool KeepClosingTogether();
    // Text of field n (its first run in body, header, footer), empty when there is none.
    QString FieldText(int n) const;
    // Numbers of the fields in body, header and footer, ascending.
    QList<int> FieldNumbers() const;
    // Makes other a copy of this document: texts, margins, paper, fonts, tab width and colours.
    void CopyTo(ScribantPro& other) const;
    // 124: searches the current context for a field whose number is listed in numbers (count first, then
    // the numbers); fromStart 1 searches from the beginning, else from the insertion point. Returns the
    // number found, 0 for none.
    int FindField(int fromStart, bool forward, const QList<int>& numbers);
    // 52: puts the insertion point at the field the last search found; false when it found none.
    bool GoToFoundField(int unused);
    // 43: inserts the file at the insertion point of the current context: mode 3 HTML, else plain text.
    bool InsertFile(const QString& path, int mode);
    QTextCursor InsertionPoint() const { return cursors_[context_]; }
    // 155: a page break at the insertion point.
    void InsertPageBreak();

    // 42: lays the pages out again; the number of pages.
    int Repaginate();
    int PageCount() const { return pageCount_; }
    // 120 / 71.
    bool PageView() const { return pageView_; }
    void TogglePageView();
    void SetPageView(bool on);
    // 93: first = index of the page being drawn (0 for the first).
    void PagePosition(int& page, int& other) const;
    void BeginPreview() { SetPageView(true); }
    void RefreshPreview() { Repaginate(); }
    void UpdatePageNumbers(bool) {}
    void BeginBuild() {}

    // 125: prints the document once on Printer().
    bool PrintDocument();
    QPrinter& Printer();
    // One run of pages onto a printer or PDF writer; false when the device cannot be painted on.
    bool PrintTo(QPagedPaintDevice& device);
    // Several runs of pages as one job on the device (copies into one PDF); beforeRun(n), n from 1, is called
    // before each run so that fields can be reset.
    bool PrintRuns(QPagedPaintDevice& device, int runs, const std::function<void(int)>& beforeRun);
    bool SavePdf(const QString& file);
    // The pages as images at zoom × the layout resolution, for the page view.
    QList<QImage> RenderPages(double zoom);

signals:
    // 53: raised before each page is drawn, with its number (from 1); a handler may set fields that this
    // page then shows.
    void NewPage(int page);
    void PageViewChanged(bool on);

private:
    struct Layout;
    Layout PrepareLayout();
    void PaintPage(QPainter& p, const Layout& l, int page, bool paper);
    template <class Begin> int RenderAll(Begin&& beginPage);

    std::array<QTextDocument*, 3> docs_{};
    std::array<QTextCursor, 3> cursors_;
    int context_ = Body;
    bool redraw_ = true;
    QString lastError_;
    std::array<double, 4> margins_{DefaultTop, DefaultBottom, DefaultLeft, DefaultRight};
    QPageSize pageSize_{QPageSize::A4};
    long bookMarkColor_ = 0x0000FF, backColor_ = 0xFFFFFF, fieldBkColor_ = 0xE0E0E0,
         hyperLinkColor_ = 0xFF0000;
    int lineSpacing_ = 100, lineAlign_ = 0, style_ = 0;
    QColor textColor_ = Qt::black;
    int foundContext_ = -1, foundPosition_ = -1;
    bool pageView_ = false;
    int pageCount_ = 0, drawingPage_ = 0;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace velu::richtext
