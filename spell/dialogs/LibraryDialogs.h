#pragma once
// Puts the library's own dialogs where the layers below ask for them: the suggestions, correction and
// description dialogs into the check's hooks, the conflict and choose-meaning dialogs into the style
// network's defaults. Done when this unit is loaded and again by WX_Init.
namespace wortex {

void InstallDialogs();

} // namespace wortex
