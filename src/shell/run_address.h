#pragma once

#include "framework/board_address.h"

#include <optional>

namespace ravlo {

class tModuleCollection;

// Where the project starts on the board: the first ROM module, in address order, that holds the
// start-up loader, else the first ROM module that holds code; its segment with offset 0. Nothing
// when no module is runnable.
std::optional<TSegOfsPtr> FindRunAddress(const tModuleCollection& modules);

} // namespace ravlo
