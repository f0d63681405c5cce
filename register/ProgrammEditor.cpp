#include "register/ProgrammEditor.h"

#include "core/AppState.h"
#include "fee/Grunddat.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/WindowPos.h"

#include <QString>

namespace velu::reg {

EditorErgebnis ProgrammEditor::EditGrunddaten(int64_t lfnr, int displayType, int inputType, int rechnungsart,
                                              const std::string& caption) {
    db::Database* projekt = App().ProjektDB();
    db::Database* stamm = App().StammDB();
    if (!projekt || !stamm) return EditorErgebnis::NichtVerfuegbar;
    fee::Grunddat form(*projekt, *stamm, owner_);
    forms::LoadWindowPos(form, App().Einstellungen());
    form.setWindowTitle(QString::fromStdString(caption));
    // A calculation that cannot get a service profile has said why and changed nothing.
    if (!form.MakeconectionGRDAT(static_cast<int32_t>(lfnr), static_cast<int16_t>(displayType),
                                 static_cast<int16_t>(inputType), static_cast<int16_t>(rechnungsart)))
        return EditorErgebnis::NichtVerfuegbar;
    form.exec();
    forms::SaveWindowPos(form, App().Einstellungen());
    return EditorErgebnis::Geschlossen;
}

EditorErgebnis ProgrammEditor::EditStdRech(int64_t, int, int, const std::string&) {
    forms::MsgBox(owner_, "Die Stundenlohnrechnung ist in dieser Version noch nicht verfügbar.",
                  forms::MsgButtons::OK, forms::MsgIcon::Information);
    return EditorErgebnis::NichtVerfuegbar;
}

EditorErgebnis ProgrammEditor::EditParag57(int64_t, Parag57Daten&, int, int) {
    forms::MsgBox(owner_, "Das Formular örtliche Bauüberwachung ist in dieser Version noch nicht verfügbar.",
                  forms::MsgButtons::OK, forms::MsgIcon::Information);
    return EditorErgebnis::NichtVerfuegbar;
}

} // namespace velu::reg
