#pragma once
// Registers the backup and restore dialogs "DaSiOut" and "DaSiin" for the main window, over the
// process-wide project environment, system folder and settings store.
namespace velu {

class FormRegistry;

void RegistriereDatensicherung(FormRegistry& formen);

} // namespace velu
