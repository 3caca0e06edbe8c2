#include "voksim/personality.h"

#include "voksim/board_frames.h"

#include <array>
#include <cctype>
#include <string>

namespace ravlo::voksim {

namespace {

// Version digits stand where the host looks for them: before "<VOK>" on the 386, after "-v" on the
// 188, before "<QRN>" on the V40.
constexpr std::array<Personality, 3> kBoards{{
    {BoardKind::V40, "VokV40", vok::EmptV40, 256, false, false, "VOKV40 BIOS 14<QRN>", 0x5B},
    {BoardKind::B386, "Vok386EXR", vok::Empt386, 512, true, true, "VOK386EXR BIOS 23<VOK>", 0xD5},
    {BoardKind::B188, "Vok188ER", vok::Empt188, 256, true, false, "VOK188ER BIOS-v31", 0xA4},
}};

// A setup that passes every check of the host's setup dialog: FLASH 512 kB in socket 1, RAM
// 512 kB in socket 2, sockets 3 and 4 empty, High ROM $C0000 + 256 kB, Cut ROM $80000 + 0 kB,
// Low ROM $80000 + 256 kB.
constexpr std::array<std::uint8_t, 13> kSetup386{0xB6, 0x03, 0x76, 0x01, 0x00, 0x00, 0x00,
                                                 0x00, 0xC5, 0x80, 0x85, 0x00, 0x40};

std::array<std::uint8_t, 32> Setup188() {
    std::array<std::uint8_t, 32> record{};
    record[0] = 0x04; // code starts at $80000
    record[1] = 0x08; // 512 kB flash
    record[2] = 0x13; // 3 wait states, extended access time 1
    record[3] = 0x03; // NMI on protected-memory write and on power fail
    const std::string_view boot = "KERNEL  SYS";
    for (std::size_t i = 0; i < boot.size(); ++i) {
        record[16 + i] = static_cast<std::uint8_t>(boot[i]);
    }
    record[29] = 0x00; // boot segment $0100
    record[30] = 0x01;
    return record;
}

void WriteText(BoardMemory& memory, std::uint32_t lin, std::string_view text) {
    memory.WriteBlock(lin, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    const std::uint8_t nul = 0;
    memory.WriteBlock(lin + static_cast<std::uint32_t>(text.size()), {&nul, 1});
}

} // namespace

const Personality& PersonalityOf(BoardKind kind) {
    for (const Personality& board : kBoards) {
        if (board.kind == kind) {
            return board;
        }
    }
    return kBoards[0];
}

std::optional<BoardKind> ParseBoardKind(std::string_view text) {
    std::string lower;
    for (const char c : text) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (lower == "v40") {
        return BoardKind::V40;
    }
    if (lower == "386") {
        return BoardKind::B386;
    }
    if (lower == "188") {
        return BoardKind::B188;
    }
    return std::nullopt;
}

void InstallBiosData(const Personality& board, BoardMemory& memory) {
    const std::uint8_t flash = board.flash_code;
    if (board.kind == BoardKind::B386) {
        WriteText(memory, kId386Lin, board.id_text);
        memory.WriteBlock(kId386Lin + static_cast<std::uint32_t>(board.id_text.size()) + 1, {&flash, 1});
        memory.WriteBlock(kSetup386Lin, kSetup386);
        return;
    }
    WriteText(memory, kIdTextLin, board.id_text);
    std::vector<std::uint8_t> pointer;
    PutFar(pointer, FarPtr{static_cast<std::uint16_t>(kIdTextLin >> 4), 0});
    memory.WriteBlock(kIdPointerLin, pointer);
    memory.WriteBlock(kFlashCodeLin, {&flash, 1});
    if (board.kind == BoardKind::B188) {
        memory.WriteBlock(kSetup188Lin, Setup188());
    }
}

} // namespace ravlo::voksim
