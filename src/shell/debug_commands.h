#pragma once

#include "framework/board_address.h"
#include "shell/main_actions.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace ravlo {

class TMainFormHost;
class TRavlo_MA_Process;

// The Debug menu's block read and the program debug menu's single frames. Each command asks what
// it needs through the main form's dialogs and hands one operation to the board master, which
// reports the outcome itself. Every dialog offers what was given last.
class TDebugCommands {
public:
    explicit TDebugCommands(TMainFormHost& host) : host_(host) {}

    // Whether action is one of them: Read and the program debug menu's items.
    static bool Handles(TMainAction action);
    // Runs one of them; nothing without the master, or after "Device not connected!" while the board
    // link is down.
    void Execute(TMainAction action, TRavlo_MA_Process* master);

    // The bytes of a debug Load of count bytes: byte i is i mod 256, so that a memory page read
    // afterwards shows what arrived.
    static std::vector<std::uint8_t> LoadPattern(std::size_t count);
    // Where the block read offers to save: the open project's folder, else the home folder.
    static std::filesystem::path ReadFolder();

private:
    void Read(TRavlo_MA_Process& master);
    void EmptyFrame(TRavlo_MA_Process& master);
    void CheckSum(TRavlo_MA_Process& master);
    void LoadS256(TRavlo_MA_Process& master);
    void LoadSRemain(TRavlo_MA_Process& master);
    // Asks for an address under caption, offering kept; the answer is kept for next time.
    std::optional<TSegOfsPtr> Address(std::string_view caption, TSegOfsPtr& kept);
    // Asks for a hex number of width bytes between min and max, offering kept (within them).
    template <class T>
    bool Number(std::string_view label, std::string_view unit, std::uint32_t min, std::uint32_t max, T& kept);

    TMainFormHost& host_;
    TSegOfsPtr readAddress_ = MakeFarPtr(0, 0xC800);
    std::uint32_t readLength_ = 0x100;
    std::uint8_t frameType_ = 0xD7; // Rqst
    std::uint16_t checkSegment_ = 0xC800;
    std::uint16_t checkParagraphs_ = 0x10;
    TSegOfsPtr memAddress_ = MakeFarPtr(0, 0xC800);
    TSegOfsPtr runAddress_ = MakeFarPtr(0, 0xC800);
    TSegOfsPtr goAddress_ = MakeFarPtr(0, 0xC800);
    TSegOfsPtr loadAddress_ = MakeFarPtr(0, 0xC800);
    // The last LoadS256 block; LoadSRemain sends right after it.
    std::optional<std::uint32_t> lastLoad_;
    std::uint16_t remainLength_ = 0x100;
};

} // namespace ravlo
