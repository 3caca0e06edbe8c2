#pragma once

#include "platform/message_target.h"

namespace ravlo {

// The main form's handle on AppMessageQueue(); kNoWindow while there is none. The main form sets it
// when it is created and clears it when it goes, so that broadcasts and close requests find it.
WindowHandle GetMainFormWindow();
void SetMainFormWindow(WindowHandle window);

} // namespace ravlo
