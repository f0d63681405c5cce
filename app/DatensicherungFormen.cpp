#include "app/DatensicherungFormen.h"

#include "core/AppState.h"
#include "core/DaSiOut.h"
#include "core/DaSiin.h"
#include "core/FormRegistry.h"

namespace velu {

void RegistriereDatensicherung(FormRegistry& formen) {
    formen.Register("DaSiOut", [](QWidget* owner) -> QWidget* {
        return new DaSiOut(App().Umgebung(), App().SysPfad(), &App().Einstellungen(), owner);
    });
    formen.Register("DaSiin", [](QWidget* owner) -> QWidget* {
        return new DaSiin(App().Umgebung(), App().SysPfad(), &App().Einstellungen(), owner);
    });
}

} // namespace velu
