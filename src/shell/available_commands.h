#pragma once

#include "shell/main_actions.h"

namespace ravlo {

struct TMenuStates;

// Whether the program has the command yet: the commands whose windows or dialogs are still to come
// (the debug menu's block read, single debug frames, the process views, About) answer false.
bool IsCommandAvailable(TMainAction action);

// Disables every command that is not available, whatever its menu rule says; menus stay as they are.
void ApplyAvailableCommands(TMenuStates& states);

} // namespace ravlo
