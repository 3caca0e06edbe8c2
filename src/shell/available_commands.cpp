#include "shell/available_commands.h"

#include "shell/menu_state.h"

namespace ravlo {

bool IsCommandAvailable(TMainAction action) {
    using A = TMainAction;
    switch (action) {
    case A::Read:
    case A::DbgEmpty:
    case A::DbgCheckSum:
    case A::DbgMem:
    case A::DbgRun:
    case A::DbgGo:
    case A::DbgLoadS256:
    case A::DbgLoadSRemain:
        return false;
    default:
        return true;
    }
}

void ApplyAvailableCommands(TMenuStates& states) {
    for (const TMainActionInfo& info : MainActions()) {
        if (!info.IsMenu && !IsCommandAvailable(info.Id)) {
            states.Actions[ActionIndex(info.Id)].Enabled = false;
        }
    }
}

} // namespace ravlo
