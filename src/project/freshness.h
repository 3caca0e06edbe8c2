#pragma once

#include "platform/file_time.h"

#include <cstdint>
#include <optional>

namespace ravlo {

class tModule;

// A module's .BIN as found in ProjectDir (any case).
struct TBinFileState {
    std::uint32_t Size = 0;
    FileTime Time;
};

// Nothing when the file is missing or cannot be read.
std::optional<TBinFileState> ReadBinFileState(const tModule& module);

// A ROM module's .BIN is missing or its last-write time differs from the project's reference time
// (ExeFileTime); also stores the file's size in ModuleLength. Other modules have no .BIN (false).
bool IsBinOutdated(tModule& module);

} // namespace ravlo
