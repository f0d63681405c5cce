#pragma once
// The velu-doc template format (docs/velu-doc-format.md): a small XML of paragraphs, tables and page breaks
// with numbered fields, read into and written from a QTextDocument.
#include <QString>
#include <QTextFormat>

class QTextDocument;

namespace velu::richtext {

// Character format property that carries the number of a field run.
inline constexpr int FieldProperty = QTextFormat::UserProperty + 1;
// Block format property of the empty block Qt needs before or after a table; it is not part of the text.
inline constexpr int PaddingProperty = QTextFormat::UserProperty + 2;
// Text of a field whose value is empty: a zero-width space keeps the run, and with it the field, alive.
inline constexpr char16_t EmptyFieldMark = 0x200B;

inline const QString VeluDocFormat = QStringLiteral("velu-doc");

// Layout resolution of the documents (dots per inch) and conversions of millimetres and points into it.
double LayoutDpi();
double MmToPx(double mm);
double PxToMm(double px);

// Reads xml and appends it to doc. Returns false with a reason in error and leaves doc as it was when the
// text is not velu-doc. A character XML has no place for (earlier writers stored such) reads as a blank.
bool PasteVeluDoc(QTextDocument& doc, const QString& xml, QString* error = nullptr);

// The document as velu-doc; a text read by PasteVeluDoc into an empty document comes back unchanged when it
// is written in the canonical form the format describes. Characters XML has no place for (controls, U+FFFE,
// U+FFFF, an unpaired surrogate) are written as blanks, so whatever is written reads back.
QString WriteVeluDoc(const QTextDocument& doc);

} // namespace velu::richtext
