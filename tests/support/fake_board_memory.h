#pragma once

#include "shell/board_memory.h"

#include <string>
#include <vector>

namespace ravlo::testing {

// Keeps what the tool windows ask of the board master.
class FakeBoardMemory final : public TBoardMemory {
public:
    struct Call {
        std::string Op; // "write", "read" or "page"
        TSegOfsPtr Address;
        std::vector<std::uint8_t> Data;
        std::string Name; // the write's text or the read's file
        std::uint32_t Length = 0;
        WindowHandle Notify = kNoWindow;
    };

    bool Connected() const override { return IsConnected; }
    bool WriteMemBlock(TSegOfsPtr address, std::vector<std::uint8_t> data, std::string_view name) override {
        Calls.push_back({"write", address, std::move(data), std::string(name), 0, kNoWindow});
        return true;
    }
    bool ReadMemBlock(TSegOfsPtr address, std::uint32_t length, const std::filesystem::path& file) override {
        Calls.push_back({"read", address, {}, file.string(), length, kNoWindow});
        return true;
    }
    void ReadMemPage(TSegOfsPtr address, WindowHandle notify) override {
        Calls.push_back({"page", address, {}, {}, 0, notify});
    }

    bool IsConnected = true;
    std::vector<Call> Calls;
};

} // namespace ravlo::testing
