#include "register/ProgrammEditor.h"

#include "core/AppState.h"
#include "expenses/StdRech.h"
#include "fee/Grunddat.h"
#include "fee/Parag57.h"
#include "platform/db/DbError.h"
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

EditorErgebnis ProgrammEditor::EditStdRech(int64_t lfnr, int displayType, int inputType,
                                           const std::string& caption) {
    db::Database* projekt = App().ProjektDB();
    db::Database* stamm = App().StammDB();
    if (!projekt || !stamm) return EditorErgebnis::NichtVerfuegbar;
    expenses::StdRech form(*projekt, *stamm, App().Einstellungen(), owner_);
    forms::LoadWindowPos(form, App().Einstellungen());
    form.setWindowTitle(QString::fromStdString(caption));
    try {
        form.Makeconection(static_cast<int32_t>(lfnr), static_cast<int16_t>(displayType),
                           static_cast<int16_t>(inputType));
    } catch (const db::DbError& e) {
        // The positions cannot be read: nothing was edited.
        forms::MsgCritical(owner_, QString::fromUtf8(e.what()), form.windowTitle());
        return EditorErgebnis::NichtVerfuegbar;
    }
    form.exec();
    forms::SaveWindowPos(form, App().Einstellungen());
    return EditorErgebnis::Geschlossen;
}

EditorErgebnis ProgrammEditor::EditParag57(int64_t lfnr, Parag57Daten& daten, int inputType,
                                           int displayType) {
    db::Database* projekt = App().ProjektDB();
    if (!projekt) return EditorErgebnis::NichtVerfuegbar;
    fee::Parag57 form(*projekt, owner_);
    forms::LoadWindowPos(form, App().Einstellungen());
    form.MakeConnection(static_cast<int32_t>(lfnr), daten.kost57, daten.pSatz57, daten.fertigstell57,
                        daten.pausch57, daten.alDispPausch57, static_cast<WaehrungCode>(inputType),
                        static_cast<WaehrungCode>(displayType));
    const bool bestaetigt = form.exec() == QDialog::Accepted;
    forms::SaveWindowPos(form, App().Einstellungen());
    if (!bestaetigt) return EditorErgebnis::Geschlossen;
    // A failing read of the cost lines throws before daten is touched; the register shows it and keeps the
    // stored values and totals.
    Parag57Daten neu = daten;
    Currency satz;
    form.GetDaten(neu.kost57, satz, neu.fertigstell57, neu.pausch57, neu.alDispPausch57, neu.honorar,
                  neu.alDispHonorar);
    neu.pSatz57 = satz;
    daten = neu;
    return EditorErgebnis::Bestaetigt;
}

} // namespace velu::reg
