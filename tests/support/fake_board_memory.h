#pragma once

#include "shell/board_memory.h"

#include <string>
#include <vector>

namespace ravlo::testing {

// Keeps what the tool windows ask of the board master.
class FakeBoardMemory final : public TBoardMemory {
public:
    struct Call {
        TSegOfsPtr Address;
        std::vector<std::uint8_t> Data;  // what a write writes
        std::string Name;                // the write's text or the read's file
        std::uint32_t Length = 0;        // what a read reads
        WindowHandle Notify = kNoWindow; // the page's window
    };

    bool Connected() const override { return IsConnected; }
    bool WriteMemBlock(TSegOfsPtr address, std::vector<std::uint8_t> data, std::string_view name) override {
        Calls.push_back({address, std::move(data), std::string(name)});
        return true;
    }
    bool ReadMemBlock(TSegOfsPtr address, std::uint32_t length, const std::filesystem::path& file) override {
        Calls.push_back({address, {}, file.string(), length});
        return true;
    }
    void ReadMemPage(TSegOfsPtr address, WindowHandle notify) override {
        Calls.push_back({address, {}, {}, 0, notify});
    }

    bool IsConnected = true;
    std::vector<Call> Calls;
};

} // namespace ravlo::testing
