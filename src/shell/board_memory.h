#pragma once

#include "framework/board_address.h"
#include "platform/message_target.h"

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace ravlo {

class TRavlo_MA_Process;

// The board memory operations of the tool windows (binary write and read, memory view), as the
// board master process offers them; tests put a fake in its place. Each operation only queues: the
// master reports the outcome itself.
class TBoardMemory {
public:
    virtual ~TBoardMemory() = default;
    // Whether the link to the board is up.
    virtual bool Connected() const = 0;
    // Writes data at address; name is what the progress window and the event log show. False when
    // the master refused the block (it has said why).
    virtual bool WriteMemBlock(TSegOfsPtr address, std::vector<std::uint8_t> data, std::string_view name) = 0;
    // Reads length bytes at address into file, which the bytes replace once all are read; a read
    // that fails leaves the file as it was. False when the master refused the block.
    virtual bool ReadMemBlock(TSegOfsPtr address, std::uint32_t length,
                              const std::filesystem::path& file) = 0;
    // Reads the 256-byte page at address for the memory view whose window is notify.
    virtual void ReadMemPage(TSegOfsPtr address, WindowHandle notify) = 0;
};

// The board master process as TBoardMemory.
class TMaBoardMemory final : public TBoardMemory {
public:
    explicit TMaBoardMemory(TRavlo_MA_Process& master) : master_(master) {}

    bool Connected() const override;
    bool WriteMemBlock(TSegOfsPtr address, std::vector<std::uint8_t> data, std::string_view name) override;
    bool ReadMemBlock(TSegOfsPtr address, std::uint32_t length, const std::filesystem::path& file) override;
    void ReadMemPage(TSegOfsPtr address, WindowHandle notify) override;

private:
    TRavlo_MA_Process& master_;
};

} // namespace ravlo
