#pragma once
// The grid date picker as the outside programs' masks use it (platform/outside/DatumsWahl.h).
namespace velu {

// Installs DatePicSSDB as the masks' date picker; called once at start.
void RegistriereDatumsWahl();

} // namespace velu
