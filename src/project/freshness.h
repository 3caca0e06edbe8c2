#pragma once

namespace ravlo {

class tModule;

// A ROM module's .BIN is missing or its last-write time differs from the project's reference time
// (ExeFileTime); also stores the file's size in ModuleLength. Other modules have no .BIN (false).
bool IsBinOutdated(tModule& module);

} // namespace ravlo
