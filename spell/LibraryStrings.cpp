#include "spell/LibraryStrings.h"

#include "platform/win32/StringTable.h"

namespace wortex {

win32::HINSTANCE LibraryInstance() {
    constexpr win32::HINSTANCE kModule = 0x5758; // "WX"
    static const bool registered = [] {
        win32::RegisterStringTable(
            kModule,
            {
                {200, "Wort konnte nicht eingef\xfcgt werden."},
                {201, "Wort konnte nicht ersetzt werden."},
                {465, "Wortex Wortimport im Gange...  <Esc> zum Abbruch"},
                {530, "Einf\xfcgen aus Textdatei"},
                {531, "Einf\xfcgen aus W\xf6rterbuch"},
                {532, "Wortimport abbrechen?"},
                {533, "Textdatei konnte nicht ge\xf6"
                      "ffnet werden."},
                {534, "ANSI-Text (*.TXT)|*.TXT|DOS-Text (*.ASC)|*.ASC|"},
                {603, "W\xf6rterbuch konnte nicht ge\xf6"
                      "ffnet werden."},
                {604, "W\xf6rterbuch konnte nicht erzeugt werden."},
                {607,
                 "Altes Dateiformat.\n"
                 "Erstellen Sie im Dialog \"W\xf6rterbuchbearbeitung\" ein <<Neu>>-es W\xf6rterbuch, und "
                 "importieren\n"
                 "Sie das alte Verzeichnis mittels (Einf\xfcgen) <<aus W\xf6rterbuch>>."},
                {1313, "Keine Benutzerdatei offen."},
            });
        return true;
    }();
    (void)registered;
    return kModule;
}

} // namespace wortex
