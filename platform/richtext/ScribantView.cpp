#include "platform/richtext/ScribantView.h"

#include "platform/forms/MessageBox.h"
#include "platform/forms/PdfAblage.h"
#include "platform/richtext/VeluDoc.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace velu::richtext {

ScribantView::ScribantView(QWidget* parent) : QWidget(parent), control_(new ScribantPro(this)) {
    setObjectName("Scribant1");
    stack_ = new QStackedWidget(this);
    edit_ = new QTextEdit(stack_);
    edit_->setObjectName("ScribantEdit");
    edit_->setAcceptRichText(false);
    edit_->setLineWrapMode(QTextEdit::FixedPixelWidth);
    pagesArea_ = new QScrollArea(stack_);
    pagesArea_->setObjectName("ScribantSeiten");
    pagesArea_->setBackgroundRole(QPalette::Dark);
    pagesArea_->setAlignment(Qt::AlignHCenter);
    pagesBox_ = new QWidget;
    pagesLayout_ = new QVBoxLayout(pagesBox_);
    pagesLayout_->setSpacing(12);
    pagesArea_->setWidget(pagesBox_);
    pagesArea_->setWidgetResizable(true);
    stack_->addWidget(edit_);
    stack_->addWidget(pagesArea_);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(stack_);
    connect(control_, &ScribantPro::PageViewChanged, this, &ScribantView::ShowPageView);
    // Queued: a view must not change its selections while the document is in the middle of an edit.
    connect(edit_, &QTextEdit::textChanged, this, &ScribantView::MarkFields, Qt::QueuedConnection);
    connect(edit_, &QTextEdit::cursorPositionChanged, this, &ScribantView::LeaveFieldEnd);
    ShowContext(ScribantPro::Body);
}

void ScribantView::LeaveFieldEnd() {
    QTextCursor c = edit_->textCursor();
    QTextCharFormat f = c.charFormat();
    const int n = f.intProperty(FieldProperty);
    if (!n || c.hasSelection()) return;
    QTextCursor next = c;
    if (next.movePosition(QTextCursor::NextCharacter) && !next.atBlockStart() &&
        next.charFormat().intProperty(FieldProperty) == n)
        return;
    f.clearProperty(FieldProperty);
    edit_->setCurrentCharFormat(f);
}

void ScribantView::ShowContext(int context) {
    control_->SetContext(context);
    edit_->setDocument(control_->Document(control_->GetContext()));
    const double width = control_->PageSize().size(QPageSize::Millimeter).width() - control_->LeftMargin() -
                         control_->RightMargin();
    edit_->setLineWrapColumnOrWidth(int(MmToPx(width)));
    edit_->document()->setDocumentMargin(0);
    MarkFields();
}

void ScribantView::MarkFields() {
    QList<QTextEdit::ExtraSelection> marks;
    QTextDocument* doc = edit_->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid() || !f.charFormat().hasProperty(FieldProperty)) continue;
            QTextEdit::ExtraSelection m;
            m.cursor = QTextCursor(doc);
            m.cursor.setPosition(f.position());
            m.cursor.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            m.format.setBackground(ScribantPro::ToColor(control_->FieldBkColor()));
            m.format.setToolTip(QStringLiteral("Feld %1").arg(f.charFormat().intProperty(FieldProperty)));
            marks << m;
        }
    }
    edit_->setExtraSelections(marks);
}

void ScribantView::RefreshPages() {
    while (QLayoutItem* item = pagesLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    int n = 0;
    QList<QImage> pages;
    if (showFieldNumbers_) {
        ScribantPro muster;
        control_->CopyTo(muster);
        for (int field : muster.FieldNumbers())
            if (muster.FieldText(field).trimmed().isEmpty())
                muster.SetFieldText(field, QStringLiteral("‹%1›").arg(field));
        pages = muster.RenderPages(1.0);
    } else {
        pages = control_->RenderPages(1.0);
    }
    for (const QImage& img : pages) {
        auto* page = new QLabel(pagesBox_);
        page->setObjectName(QStringLiteral("Seite%1").arg(++n));
        page->setPixmap(QPixmap::fromImage(img));
        page->setFrameShape(QFrame::Box);
        pagesLayout_->addWidget(page, 0, Qt::AlignHCenter);
    }
    pagesLayout_->addStretch();
    ShowContext(control_->GetContext());
}

void ScribantView::ShowPageView(bool on) {
    if (on) RefreshPages();
    stack_->setCurrentWidget(on ? static_cast<QWidget*>(pagesArea_) : edit_);
}

bool ScribantView::TranslateKey(int& key, int& shift) {
    if (key == Qt::Key_Escape || key == Qt::Key_F1 || !edit_->hasFocus() || control_->PageView())
        return false;
    key = 0;
    shift = 0;
    return true;
}

bool ScribantView::FormatDialog() {
    QDialog dlg(this);
    dlg.setObjectName("Dokumentenformat");
    dlg.setWindowTitle("Dokumentenformat");
    auto* form = new QFormLayout(&dlg);
    auto spin = [&](const char* name, double value) {
        auto* s = new QDoubleSpinBox(&dlg);
        s->setObjectName(name);
        s->setRange(0, 100);
        s->setDecimals(1);
        s->setSuffix(" mm");
        s->setValue(value);
        return s;
    };
    auto* oben = spin("RandOben", control_->TopMargin());
    auto* unten = spin("RandUnten", control_->BottomMargin());
    auto* links = spin("RandLinks", control_->LeftMargin());
    auto* rechts = spin("RandRechts", control_->RightMargin());
    form->addRow("Rand oben", oben);
    form->addRow("Rand unten", unten);
    form->addRow("Rand links", links);
    form->addRow("Rand rechts", rechts);
    auto* knoepfe = new QDialogButtonBox(&dlg);
    knoepfe->addButton("OK", QDialogButtonBox::AcceptRole);
    knoepfe->addButton("Abbrechen", QDialogButtonBox::RejectRole);
    connect(knoepfe, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    connect(knoepfe, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    form->addRow(knoepfe);
    if (dlg.exec() != QDialog::Accepted) return false;
    control_->SetTopMargin(oben->value());
    control_->SetBottomMargin(unten->value());
    control_->SetLeftMargin(links->value());
    control_->SetRightMargin(rechts->value());
    if (control_->PageView()) RefreshPages();
    return true;
}

std::function<bool()>& ScribantView::DruckerVorhanden() {
    static std::function<bool()> frage = [] { return !QPrinterInfo::availablePrinterNames().isEmpty(); };
    return frage;
}

namespace {
const char* const PdfNameEigenschaft = "veluPdfName";
} // namespace

void ScribantView::SetPdfName(QWidget* owner, const QString& name) {
    if (owner) owner->setProperty(PdfNameEigenschaft, name);
}

std::function<QString(QWidget*)>& ScribantView::PdfDateiWaehlen() {
    static std::function<QString(QWidget*)> dialog = [](QWidget* owner) {
        return forms::WaehlePdfDatei(owner,
                                     owner ? owner->property(PdfNameEigenschaft).toString() : QString());
    };
    return dialog;
}

void ScribantView::PdfGespeichert(QWidget* owner, const QString& pdf) {
    forms::MeldePdfGespeichert(owner, pdf);
}

QString ScribantView::KeinDruckerPdfAngebot(QWidget* owner) {
    if (forms::MsgBox(owner,
                      "Es ist kein Drucker eingerichtet.\nMöchten Sie das Dokument als PDF-Datei speichern?",
                      forms::MsgButtons::YesNo, forms::MsgIcon::Question) != forms::MsgResult::Yes)
        return {};
    return PdfDateiWaehlen()(owner);
}

bool ScribantView::PrintDialog() {
    if (!DruckerVorhanden()()) {
        const QString pdf = KeinDruckerPdfAngebot(this);
        if (pdf.isEmpty()) return false;
        if (control_->SavePdf(pdf)) {
            PdfGespeichert(this, pdf);
            return true;
        }
        forms::MsgBox(this, "Das Dokument konnte nicht gespeichert werden:\n" + pdf, forms::MsgButtons::OK,
                      forms::MsgIcon::Exclamation);
        return false;
    }
    QPrintDialog dlg(&control_->Printer(), this);
    dlg.setWindowTitle("Druckausgabe");
    if (dlg.exec() != QDialog::Accepted) return false;
    if (control_->PrintDocument()) return true;
    forms::MsgBox(this, "Das Dokument konnte nicht gedruckt werden.", forms::MsgButtons::OK,
                  forms::MsgIcon::Exclamation);
    return false;
}

bool ScribantView::SaveAsDialog() {
    const QString pdf = PdfDateiWaehlen()(this);
    if (pdf.isEmpty()) return false;
    if (control_->SavePdf(pdf)) {
        PdfGespeichert(this, pdf);
        return true;
    }
    forms::MsgBox(this, "Das Dokument konnte nicht gespeichert werden:\n" + pdf, forms::MsgButtons::OK,
                  forms::MsgIcon::Exclamation);
    return false;
}

bool ScribantView::PrinterSetupDialog() {
    QPageSetupDialog dlg(&control_->Printer(), this);
    dlg.setWindowTitle("Drucker einrichten");
    if (dlg.exec() != QDialog::Accepted) return false;
    control_->SetPageSize(control_->Printer().pageLayout().pageSize());
    return true;
}

} // namespace velu::richtext
