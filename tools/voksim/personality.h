#pragma once

#include "voksim/board_memory.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace ravlo::voksim {

enum class BoardKind { V40, B386, B188 };

// Where the BIOS keeps what the host reads through memory.
inline constexpr std::uint32_t kIdPointerLin = 0xFFFCC; // far pointer to the id text (V40, 188)
inline constexpr std::uint32_t kIdTextLin = 0xFFF80;    // the id text itself (V40, 188)
inline constexpr std::uint32_t kFlashCodeLin = 0x0046B; // flash chip code (V40, 188)
inline constexpr std::uint32_t kId386Lin = 0x00540;     // 0050:0040, id text, NUL, flash code (386)
inline constexpr std::uint32_t kSetup386Lin = 0xFFF00;  // FFF0:0000, 13-byte setup record
inline constexpr std::uint32_t kSetup188Lin = 0xFFE00;  // FFE0:0000, 32-byte setup record

struct Personality {
    BoardKind kind;
    std::string_view name;
    std::uint8_t empt;       // the frame that identifies the board and acknowledges writes
    std::uint16_t load_size; // the board's write block
    bool has_clock;
    bool has_get_id;
    std::string_view id_text;
    std::uint8_t flash_code;
};

const Personality& PersonalityOf(BoardKind kind);
// "v40", "386" or "188" (any case).
std::optional<BoardKind> ParseBoardKind(std::string_view text);

// Puts the BIOS identification and the BIOS setup record where this board keeps them.
void InstallBiosData(const Personality& board, BoardMemory& memory);

} // namespace ravlo::voksim
