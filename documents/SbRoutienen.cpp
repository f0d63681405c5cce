#include "documents/SbRoutienen.h"

#include "platform/db/DbError.h"
#include "platform/forms/MessageBox.h"
#include "platform/richtext/Cp1252.h"

#include <QApplication>

namespace velu::documents {

SBStandardTyp HausStandard() {
    SBStandardTyp s;
    s.schriftGroesse = 100;
    s.schriftFarbe = 0x000000;
    s.schriftGewicht = 400;
    s.schriftStil = 0;
    s.schriftName = "DejaVu Sans";
    s.stil = 0;
    s.tabWeite = 125;
    s.randOben = int(richtext::ScribantPro::DefaultTop);
    s.randLinks = int(richtext::ScribantPro::DefaultLeft);
    s.randRechts = int(richtext::ScribantPro::DefaultRight);
    s.randUnten = int(richtext::ScribantPro::DefaultBottom);
    s.bookMarkFarbe = 0x0000FF;
    s.zeilenAbstand = 100;
    s.hintergrund = 0xFFFFFF;
    s.feldHintergrund = 0xE0E0E0;
    s.ausrichtung = 0;
    s.hyperLinkFarbe = 0xFF0000;
    s.gesetzt = true;
    return s;
}

SBStandardTyp& SBStandard() {
    static SBStandardTyp s = HausStandard();
    return s;
}

std::function<void()>& SBBeep() {
    static std::function<void()> beep;
    return beep;
}

namespace {

// A stored text: raw bytes read one per character for byte strings, UTF-8 otherwise; nullopt for a
// missing field, Null or an empty value.
std::optional<QString> ReadText(const db::Recordset& r, const QString& field, int flag, bool emptyCounts) {
    if (field.isEmpty() || !r.HasField(field.toStdString())) return std::nullopt;
    const db::Value v = r.Get(field.toStdString());
    QByteArray bytes;
    if (const auto* s = std::get_if<std::string>(&v))
        bytes = QByteArray::fromStdString(*s);
    else if (const auto* b = std::get_if<db::Blob>(&v))
        bytes = QByteArray(reinterpret_cast<const char*>(b->data()), qsizetype(b->size()));
    else if (db::IsNull(v))
        return std::nullopt;
    else
        bytes = QByteArray::fromStdString(r.GetText(field.toStdString()));
    if (bytes.isEmpty() && !emptyCounts) return std::nullopt;
    return flag == 0 ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

std::optional<double> ReadMargin(const db::Recordset& r, const QString& field) {
    if (field.isEmpty() || !r.HasField(field.toStdString()) || r.IsNull(field.toStdString()))
        return std::nullopt;
    return r.GetDouble(field.toStdString()) / 1000.0;
}

} // namespace

bool SBPasteData(richtext::ScribantPro& control, QString& text, QString& format, int unicodeFlag,
                 std::optional<int> context) {
    std::optional<int> remembered;
    if (context) {
        remembered = control.GetContext();
        control.SetContext(*context);
    }
    if (unicodeFlag == 0) {
        text = richtext::WidenCp1252(text);
        format = richtext::WidenCp1252(format);
    }
    const bool ok = control.PasteData(text, format, int(text.size()));
    if (remembered && *remembered != *context) control.SetContext(*remembered);
    return ok;
}

bool SBLoadTexte(richtext::ScribantPro& control, const db::Recordset& record, const QString& textField,
                 const QString& formatField, const QString& headerTextField, const QString& headerFormatField,
                 const QString& footerTextField, const QString& footerFormatField, const QString& topField,
                 const QString& bottomField, const QString& leftField, const QString& rightField,
                 std::optional<int> keep) {
    if (record.EOF_() || record.BOF() || record.Empty()) return true;
    int flag = 0;
    if (record.HasField("UNICODEFLAG")) flag = int(record.GetInt("UNICODEFLAG", 0));
    const bool behalten = !keep || *keep != 0;

    const int context = control.GetContext();
    control.SetRedraw(false);
    control.ClearUndoList();
    if (!behalten) {
        for (int k = 0; k < 3; ++k) {
            control.SetContext(k);
            if (control.SelectAll(false)) control.Clear();
        }
        control.SetContext(context);
    }
    if (!topField.isEmpty()) {
        if (auto m = ReadMargin(record, topField)) control.SetTopMargin(*m);
        if (auto m = ReadMargin(record, bottomField)) control.SetBottomMargin(*m);
        if (auto m = ReadMargin(record, leftField)) control.SetLeftMargin(*m);
        if (auto m = ReadMargin(record, rightField)) control.SetRightMargin(*m);
    }
    bool ok = true;
    auto paste = [&](const QString& textName, const QString& formatName, int ctx) {
        auto text = ReadText(record, textName, flag, false);
        auto format = ReadText(record, formatName, flag, true);
        if (!text || !format) return;
        if (!SBPasteData(control, *text, *format, flag, ctx)) ok = false;
    };
    paste(textField, formatField, richtext::ScribantPro::Body);
    if (!headerTextField.isEmpty()) {
        paste(headerTextField, headerFormatField, richtext::ScribantPro::Header);
        paste(footerTextField, footerFormatField, richtext::ScribantPro::Footer);
    }
    control.SetContext(context);
    control.SetRedraw(true);
    if (!ok)
        forms::MsgBox(QApplication::activeWindow(), DruckvorlageUnlesbar, forms::MsgButtons::OK,
                      forms::MsgIcon::Exclamation);
    return ok;
}

void SBDefaults(richtext::ScribantPro& control, const SBStandardTyp& s) {
    if (!s.gesetzt) {
        if (SBBeep())
            SBBeep()();
        else
            QApplication::beep();
        return;
    }
    control.SetSBFont(s.schriftGroesse, s.schriftFarbe, s.schriftGewicht, s.schriftStil, s.schriftName, 240);
    control.SetTabWidth(s.tabWeite);
    control.SetTopMargin(s.randOben);
    control.SetLeftMargin(s.randLinks);
    control.SetRightMargin(s.randRechts);
    control.SetBottomMargin(s.randUnten);
    control.SetBookMarkColor(s.bookMarkFarbe);
    control.SetStyle(s.stil, true);
    control.SetBackColor(s.hintergrund);
    control.SetLineSpacing(s.zeilenAbstand);
    control.SetFieldBkColor(s.feldHintergrund);
    control.SetLineAlign(s.ausrichtung);
    control.SetHyperLinkColor(s.hyperLinkFarbe);
}

} // namespace velu::documents
