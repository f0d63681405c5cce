#include "LibraryStrings.h"

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
                {310, "ss durch \xdf ersetzen wenn verzeichnet"},
                {311, "o durch ou ersetzen wenn verzeichnet"},
                {312, "\xdf immer durch ss ersetzen"},
                {313, "ou durch o ersetzen wenn verzeichnet"},
                {202, "Diese Funktion kann nur mit W\xf6rtern verwendet werden, die im W\xf6rterbuch "
                      "verzeichnet sind."},
                {416, "Beschreibung nicht gesichert. Sichern?"},
                {418, "von"},
                {465, "Wortex Wortimport im Gange...  <Esc> zum Abbruch"},
                {466, "  &Beschreibung/Stil"},
                {467, "* &Beschreibung/Stil"},
                {468, "\xdf / ss nicht ersetzen"},
                {469, "o / ou nicht ersetzen"},
                {530, "Einf\xfcgen aus Textdatei"},
                {531, "Einf\xfcgen aus W\xf6rterbuch"},
                {532, "Wortimport abbrechen?"},
                {533, "Textdatei konnte nicht ge\xf6"
                      "ffnet werden."},
                {534, "ANSI-Text (*.TXT)|*.TXT|DOS-Text (*.ASC)|*.ASC|"},
                {600, "W\xf6rterb\xfc"
                      "cher (*.WX?)|*.WX?|"},
                {601, "W\xf6rterbuch \xf6"
                      "ffnen"},
                {602, "Neues W\xf6rterbuch anlegen"},
                {603, "W\xf6rterbuch konnte nicht ge\xf6"
                      "ffnet werden."},
                {604, "W\xf6rterbuch konnte nicht erzeugt werden."},
                {605, "Anwender-Korrekturdatei w\xe4hlen/anlegen"},
                {606, "Korrekturdateien (*.WU?)|*.WU?|"},
                {607,
                 "Altes Dateiformat.\n"
                 "Erstellen Sie im Dialog \"W\xf6rterbuchbearbeitung\" ein <<Neu>>-es W\xf6rterbuch, und "
                 "importieren\n"
                 "Sie das alte Verzeichnis mittels (Einf\xfcgen) <<aus W\xf6rterbuch>>."},
                {608, "D"},
                {1313, "Keine Benutzerdatei offen."},
                {1314, "Bedeutung ok"},
                {1315, "Nicht eintragen"},
                {1316, "Wortex Stilwort Bedeutung ausw\xe4hlen"},
                {1317, "Eintrag zu welcher Bedeutung?"},
            });
        return true;
    }();
    (void)registered;
    return kModule;
}

} // namespace wortex
