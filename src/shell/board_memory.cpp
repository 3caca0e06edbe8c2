#include "shell/board_memory.h"

#include "protocol/ma_process.h"

namespace ravlo {

bool TMaBoardMemory::Connected() const {
    return master_.Connected == kBoardConnected;
}

bool TMaBoardMemory::WriteMemBlock(TSegOfsPtr address, std::vector<std::uint8_t> data,
                                   std::string_view name) {
    return master_.WriteMemBlock(address, std::move(data), name);
}

bool TMaBoardMemory::ReadMemBlock(TSegOfsPtr address, std::uint32_t length,
                                  const std::filesystem::path& file) {
    return master_.ReadMemBlock(address, length, file, TReadFileMode::Replace);
}

void TMaBoardMemory::ReadMemPage(TSegOfsPtr address, WindowHandle notify) {
    master_.ReadMemPage(address, notify);
}

} // namespace ravlo
