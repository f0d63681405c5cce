#include "core/AppState.h"
#include "core/FormRegistry.h"
#include "masterdata/Grundleistung.h"
#include "masterdata/HOAITAFEL.h"
#include "masterdata/LBild.h"
#include "masterdata/Mitarbeiter.h"

namespace velu::masterdata {

void RegistriereStammdaten(FormRegistry& formen) {
    // Without a master database there is nothing to edit; the main window then opens nothing.
    formen.Register("HOAITAFEL", [](QWidget* owner) -> QWidget* {
        return App().StammDB() ? new HOAITAFEL(*App().StammDB(), owner) : nullptr;
    });
    formen.Register("LBild", [](QWidget* owner) -> QWidget* {
        return App().StammDB() ? new LBild(*App().StammDB(), owner) : nullptr;
    });
    formen.Register("Grundleistung", [](QWidget* owner) -> QWidget* {
        return App().StammDB() ? new Grundleistung(*App().StammDB(), owner) : nullptr;
    });
    formen.Register("Mitarbeiter", [](QWidget* owner) -> QWidget* {
        return App().StammDB() ? new Mitarbeiter(*App().StammDB(), owner) : nullptr;
    });
}

} // namespace velu::masterdata
