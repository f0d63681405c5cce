#include "platform/outside/DatumsWahl.h"

namespace velu::outside {

namespace {
DatumsWahlFabrik& Fabrik() {
    static DatumsWahlFabrik f;
    return f;
}
} // namespace

void SetzeDatumsWahl(DatumsWahlFabrik fabrik) {
    Fabrik() = std::move(fabrik);
}

std::unique_ptr<DatumsWahl> NeueDatumsWahl(QWidget* host) {
    return Fabrik() ? Fabrik()(host) : nullptr;
}

} // namespace velu::outside
