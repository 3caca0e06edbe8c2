#pragma once

// The BIOS setup records of the 386 and the 188 board as the main form and the setup dialogs pass
// them on, and the .c38 and .c18 files, each of which holds one record and nothing else.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ravlo {

enum class TSetupBoard : std::uint8_t { Vok386, Vok188 };

inline constexpr std::size_t kCfg386RecSize = 13;
inline constexpr std::size_t kCfg188RecSize = 32;

std::size_t SetupRecordSize(TSetupBoard board);
// The board master's Device of the board (2 Vok386EXR, 3 Vok188ER).
std::uint8_t SetupDevice(TSetupBoard board);
// The board whose record is size bytes long; nothing for any other size.
std::optional<TSetupBoard> SetupBoardOfSize(std::uintmax_t size);

// The record of file when it is exactly SetupRecordSize(board) bytes long, or (without a board) a
// record of either board. Any other file is refused with an error box before a byte of it is read.
std::optional<std::vector<std::uint8_t>> ReadSetupFile(const std::filesystem::path& file,
                                                       std::optional<TSetupBoard> board);
// Writes record as the whole file, through a temporary file renamed into place; an error box and
// false when that fails (an existing file is then left as it was).
bool WriteSetupFile(const std::filesystem::path& file, std::span<const std::uint8_t> record);

} // namespace ravlo
