#pragma once
// Where documents and reports are saved as PDF: the save dialog proposes the document's own name in the
// folder saved to last, and the user is told where the file went.
#include <QString>

class QWidget;

namespace velu::forms {

// Asks where to save name.pdf, starting in the folder saved to last (else the documents folder, else home,
// never the folder the program was started from); characters a file name cannot hold become "-". Remembers
// the folder chosen. Empty when the user cancels.
QString WaehlePdfDatei(QWidget* owner, const QString& name);

// "<was> wurde als PDF-Datei gespeichert: <pfad>".
void MeldePdfGespeichert(QWidget* owner, const QString& pdf,
                         const QString& was = QStringLiteral("Das Dokument"));

} // namespace velu::forms
