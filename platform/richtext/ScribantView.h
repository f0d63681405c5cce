#pragma once
// The document control on a form: an editable view of the current context, the page view, and the
// control's dialogs (document format, print, save as PDF, printer set-up).
#include "platform/richtext/ScribantPro.h"

#include <QWidget>

#include <functional>

class QScrollArea;
class QStackedWidget;
class QTextEdit;
class QVBoxLayout;

namespace velu::richtext {

class ScribantView : public QWidget {
    Q_OBJECT
public:
    explicit ScribantView(QWidget* parent = nullptr);

    ScribantPro& Control() { return *control_; }
    QTextEdit* Editor() const { return edit_; }
    // Shows and edits the given context (0 body, 1 header, 2 footer).
    void ShowContext(int context);
    // Draws the pages again for the page view.
    void RefreshPages();
    // The page view shows "‹n›" in fields that hold no more than their blank placeholder, for editing
    // templates.
    void SetShowFieldNumbers(bool on) { showFieldNumbers_ = on; }

    // 98: true when the control takes the key (the edit has the focus and the key is not Esc or F1).
    bool TranslateKey(int& key, int& shift);
    // 183: margins of the document; true when the user accepted.
    bool FormatDialog();
    // 185: chooses a printer and prints.
    bool PrintDialog();
    // 177: saves the document as PDF under a name the user chooses.
    bool SaveAsDialog();
    // 186: paper size and orientation of the printer.
    bool PrinterSetupDialog();

    // Whether a printer is set up; tests replace the question.
    static std::function<bool()>& DruckerVorhanden();
    // The PDF file name the user chooses ("" for none); tests replace the dialog. The dialog opens in the
    // folder a PDF was last saved to (else the documents folder) and proposes the name the owner was given
    // with SetPdfName.
    static std::function<QString(QWidget*)>& PdfDateiWaehlen();
    // The name (without ".pdf") the save dialog proposes for what owner shows, e.g. the document's number;
    // characters a file name cannot hold become "-".
    static void SetPdfName(QWidget* owner, const QString& name);
    // Without a printer: says so and offers saving as PDF. Returns the file chosen ("" when the user
    // declined); writes nothing itself.
    static QString KeinDruckerPdfAngebot(QWidget* owner);
    // Tells the user where the PDF file was written.
    static void PdfGespeichert(QWidget* owner, const QString& pdf);

private:
    void ShowPageView(bool on);
    // Underlays the field runs of the edited context with the field back colour.
    void MarkFields();
    // Text typed right after a field does not become part of it.
    void LeaveFieldEnd();

    ScribantPro* control_;
    QStackedWidget* stack_;
    QTextEdit* edit_;
    QScrollArea* pagesArea_;
    QWidget* pagesBox_;
    QVBoxLayout* pagesLayout_;
    bool showFieldNumbers_ = false;
};

} // namespace velu::richtext
