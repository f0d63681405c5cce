#include "spell/DialogTemplates.h"

#include "spell/LibraryStrings.h"

namespace wortex {

using namespace win32;

namespace {

using K = ControlKind;

std::vector<DialogTemplate> library() {
    return {
        {kSettingsDialog,
         "Wortex Einstellungen",
         540,
         470,
         {
             {-1, K::GroupBox, 8, 6, 524, 150,
              "W\xf6rterb\xfc"
              "cher"},
             {30001, K::ListBox, 16, 24, 200, 120, ""},
             {30002, K::Button, 226, 24, 96, 24, "\xd6&ffnen..."},
             {30003, K::Button, 226, 54, 96, 24, "&Neu..."},
             {30004, K::Button, 226, 84, 96, 24,
              "Schlie\xdf"
              "en"},
             {30005, K::CheckBox, 226, 118, 130, 20, "&Einf\xfcgedatei"},
             {-1, K::Static, 360, 28, 60, 18, "W\xf6rter:"},
             {30006, K::ReadOnlyEdit, 360, 46, 100, 22, ""},
             {-1, K::Static, 360, 76, 60, 18, "Sprache:"},
             {30007, K::ReadOnlyEdit, 360, 94, 30, 22, ""},
             {-1, K::GroupBox, 8, 162, 524, 62, "Anwender-Korrekturdatei"},
             {30074, K::ReadOnlyEdit, 16, 182, 200, 22, ""},
             {30050, K::Button, 226, 180, 96, 24,
              "\xd6"
              "ffnen/Neu..."},
             {30051, K::Button, 330, 180, 110, 24, "Bearbeiten..."},
             {-1, K::GroupBox, 8, 230, 524, 196, "Optionen"},
             {30055, K::CheckBox, 16, 248, 255, 20,
              "Sofortpr\xfc"
              "fung bei Texteingabe"},
             {30057, K::CheckBox, 16, 268, 255, 20,
              "In Teilen Vorhandene \xfc"
              "ber+springen"},
             {30056, K::CheckBox, 16, 288, 255, 20, "Automatisch trennen"},
             {30075, K::CheckBox, 16, 308, 255, 20, "Trennung best\xe4tigen"},
             {30058, K::CheckBox, 16, 328, 255, 20, "Korrekturen best\xe4tigen"},
             {30059, K::CheckBox, 16, 348, 255, 20, "Warnton bei unkorrigierbaren Fehlern"},
             {30061, K::CheckBox, 16, 368, 255, 20, "Meldeton nach automatischer Korrektur"},
             {30060, K::CheckBox, 16, 388, 255, 20, "Warnton bei unklarem Satzanfang"},
             {30063, K::CheckBox, 276, 248, 250, 20, "W\xf6rter in Korrekturdatei"},
             {30064, K::CheckBox, 276, 268, 250, 20, "Gro\xdfschreibung am Satzanfang"},
             {30065, K::CheckBox, 276, 288, 250, 20, "Gro\xdfschreibung anhand W\xf6rterbuch"},
             {30066, K::CheckBox, 276, 308, 250, 20,
              "GRo\xdf"
              "buchstaben am WOrtanfang"},
             {30067, K::CheckBox, 276, 328, 250, 20, "Punkte, Bindestriche und Apostroph"},
             {30068, K::CheckBox, 276, 348, 250, 20, "Akzente und Umlaute"},
             {30069, K::CheckBox, 276, 368, 20, 20, ""},
             {30072, K::Static, 296, 370, 230, 18, ""},
             {30070, K::CheckBox, 276, 388, 20, 20, ""},
             {30073, K::Static, 296, 390, 230, 18, ""},
             {30052, K::Button, 8, 436, 80, 26, "Hilfe"},
             {30071, K::CheckBox, 96, 438, 120, 22, "Aktuelles Verz."},
             {30053, K::Button, 362, 436, 80, 26, "&Speichern", kStyleDisabled},
             {30054, K::Button, 452, 436, 80, 26, "Ende"},
         }},
        {kUserWordDialog,
         "Wortex Benutzerdatei: Wort hinzuf\xfcgen",
         330,
         170,
         {
             {-1, K::Static, 10, 12, 110, 18, "Eingabewort:"},
             {1310, K::Edit, 120, 10, 200, 22, ""},
             {-1, K::Static, 10, 44, 110, 18, "Ersatzwort:"},
             {1311, K::Edit, 120, 42, 200, 22, ""},
             {1312, K::CheckBox, 120, 74, 200, 20, "Immer ignorieren"},
             {102, K::DefaultButton, 10, 130, 90, 26, "OK"},
             {101, K::Button, 120, 130, 90, 26, "Abbrechen"},
             {1308, K::Button, 230, 130, 90, 26, "Hilfe"},
         }},
        {kUserListDialog,
         "Wortex Anwender-Korrekturliste",
         460,
         330,
         {
             {1306, K::ReadOnlyEdit, 10, 10, 440, 22, ""},
             {462, K::Edit, 10, 42, 200, 22, ""},
             {451, K::ListBox, 10, 70, 184, 200, ""},
             {479, K::ScrollBar, 194, 70, 16, 200, ""},
             {-1, K::Static, 226, 44, 100, 18, "Korrektur:"},
             {1303, K::ReadOnlyEdit, 226, 64, 224, 22, ""},
             {1302, K::CheckBox, 226, 96, 200, 20, "Immer ignorieren"},
             {1305, K::Button, 226, 130, 110, 26, "\xc4&ndern"},
             {1304, K::Button, 340, 130, 110, 26, "&L\xf6schen"},
             {1307, K::Button, 226, 164, 110, 26, "&Einf\xfcgen"},
             {1301, K::Button, 340, 164, 110, 26, "Hilfe"},
             {2, K::Button, 340, 290, 110, 26,
              "Schlie\xdf"
              "en"},
         }},
        {kSuggestionsTemplate,
         "Wortex Vorschl\xe4ge",
         500,
         330,
         {
             {-1, K::Static, 10, 12, 90, 18, "Im Text:"},
             {1114, K::ReadOnlyEdit, 100, 10, 220, 22, ""},
             {-1, K::Static, 10, 42, 90, 18, "Ersatzwort:"},
             {1101, K::Edit, 100, 40, 220, 22, ""},
             {-1, K::Static, 10, 72, 90, 18, "W\xf6rterbuch:"},
             {1103, K::ReadOnlyEdit, 100, 70, 220, 22, ""},
             {1106, K::ListBox, 10, 102, 310, 180, ""},
             {1105, K::CheckBox, 10, 290, 200, 20, "Andere Dateien testen"},
             {1602, K::CheckBox, 220, 290, 100, 20, "Erweitert"},
             {1111, K::Button, 330, 10, 160, 26, "Wort &ersetzen"},
             {1112, K::Button, 330, 40, 160, 26, "&Ignorieren"},
             {1110, K::Button, 330, 70, 160, 26, "Immer ersetzen"},
             {1109, K::Button, 330, 100, 160, 26, "Immer ignorieren"},
             {1107, K::Button, 330, 134, 160, 26, "Neue &Vorschl\xe4ge"},
             {1104, K::Button, 330, 164, 160, 26, "(Ersatz-) Wort ein&f\xfcgen"},
             {1102, K::Button, 330, 194, 160, 26, "  &Beschreibung/Stil"},
             {1113, K::Button, 330, 258, 160, 26, "&Stop / Editieren"},
             {1108, K::Button, 330, 290, 160, 26, "Hilfe"},
         }},
        {kCorrectionTemplate,
         "Wortex Korrekturmeldung",
         470,
         330,
         {
             {-1, K::Static, 10, 12, 110, 18, "Wort:"},
             {1001, K::Edit, 120, 10, 210, 22, ""},
             {-1, K::Static, 10, 42, 110, 18, "Korrektur:"},
             {1002, K::Edit, 120, 40, 210, 22, ""},
             {-1, K::GroupBox, 10, 72, 320, 206, "Art der Korrektur"},
             {1003, K::CheckBox, 18, 90, 300, 20, "Zusammengesetztes Wort"},
             {1005, K::CheckBox, 18, 112, 300, 20, "Gro\xdfschreibung ?"},
             {1006, K::CheckBox, 18, 134, 300, 20, "Silbentrennung \xe4ndern"},
             {1007, K::CheckBox, 18, 156, 300, 20, "Akzent / Umlaut ersetzen"},
             {1008, K::CheckBox, 18, 178, 300, 20, "\xdf / ss oder o / ou ersetzen"},
             {1016, K::CheckBox, 18, 200, 300, 20, "Spezialzeichen einf\xfcgen / entfernen"},
             {1009, K::CheckBox, 18, 222, 300, 20, "Gro\xdfschreibung"},
             {1010, K::CheckBox, 18, 244, 300, 20, "Ersetzen / ignorieren anhand Benutzerdatei"},
             {1021, K::Static, 10, 292, 80, 18, "Korrektur"},
             {1022, K::ReadOnlyEdit, 90, 290, 40, 22, ""},
             {1023, K::Static, 136, 292, 30, 18, "von"},
             {1024, K::ReadOnlyEdit, 166, 290, 40, 22, ""},
             {1004, K::Button, 340, 10, 120, 26, "&Korrigieren"},
             {1017, K::Button, 340, 40, 120, 26,
              "&R\xfc"
              "ckg\xe4ngig"},
             {1018, K::Button, 340, 70, 120, 26, "&Korrigieren"},
             {1011, K::Button, 340, 100, 120, 26, "&Einf\xfcgen"},
             {1012, K::Button, 340, 164, 120, 26, "&<< Vorherige"},
             {1013, K::Button, 340, 194, 120, 26,
              "N\xe4"
              "chste >&>"},
             {1014, K::Button, 340, 258, 120, 26, "Hilfe"},
             {102, K::Button, 340, 290, 120, 26, "Schliessen"},
         }},
    };
}

} // namespace

HINSTANCE DialogModule() {
    static const HINSTANCE module = [] {
        HINSTANCE m = LibraryInstance();
        RegisterDialogTemplates(m, library());
        return m;
    }();
    return module;
}

} // namespace wortex
