#pragma once

#include "framework/board_address.h"
#include "kernel/proc_mess.h"
#include "platform/message_target.h"
#include "protocol/board_answers.h"
#include "protocol/frame_builders.h"
#include "protocol/ma_debug.h"
#include "protocol/ma_states.h"
#include "protocol/saved_proc_mess_fifo.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ravlo {

class TRavlo_MA_Process;

// What a block read does with the file it names once all is read: appends the bytes, or replaces
// the file with them (so a read that fails leaves it as it was).
enum class TReadFileMode : std::uint8_t { Append, Replace };

// The 14 bytes of the board's clock answer, from its type byte on, as the clock window reads them.
using TClockBuffer = std::array<std::uint8_t, kClockAnswerLen>;

// One board operation: queued by an entry operation, then moved into the process's active request
// when it starts. The request owns its buffer; handing the buffer on (to a memory view, to the
// write-back of a setup block) leaves it empty, so nothing is ever freed twice.
struct tRequest {
    using StartProc = void (TRavlo_MA_Process::*)();

    std::uint8_t Kind = cs_idle; // state entered when the request starts
    StartProc Start = nullptr;   // called when the request starts; may be absent
    std::uint8_t Done = 0;       // 1 when the request is finished
    std::vector<std::uint8_t> Buffer;
    std::int32_t Size = 0;      // bytes of Buffer that the operation moves
    TSegOfsPtr StartAdr;        // start address; then the address of the frames still to send
    TSegOfsPtr CurAdr;          // address of the next byte expected from the board
    std::int32_t DoneBytes = 0; // bytes received or acknowledged; the buffer offset of the next data
    TSegOfsPtr FirstAdr;        // first address of the operation
    TSegOfsPtr EndAdr;          // last address (last byte; for writes the last Load frame)
    std::int32_t Remaining = 0; // bytes still to request; for checksums the answers still missing
    std::string Text;           // file or block name, or a result text (at most 255 characters)
    std::string Descr;          // what the progress window shows (at most 255 characters)
    WindowHandle Notify = kNoWindow;

    // IO operations.
    std::uint16_t Port = 0;
    std::uint8_t Width = 0;
    std::uint16_t Value = 0;
    // Clock operations: the time to set, and the caller's buffer for the time read (shared, so a
    // window that has gone meanwhile leaves nothing dangling).
    TVokClockRec Clock;
    std::shared_ptr<TClockBuffer> ClockBuffer;
    // A block read: the file its bytes go to.
    std::filesystem::path ResultFile;
    // A ROM module's write: the module the board's checksum must confirm at its end (CheckLength
    // 0: no check).
    std::uint16_t CheckSegment = 0;
    std::uint32_t CheckLength = 0;
    TReadFileMode FileMode = TReadFileMode::Append;
    // A debug frame: the type sent, or the checksummed block (segment:0000, paragraphs).
    std::uint8_t FrameType = 0;
    std::uint16_t CheckParagraphs = 0;

    // Frees the buffer.
    void FreeBuffer() {
        Buffer = {};
        Size = 0;
    }
    // Hands the buffer over and leaves the request without it.
    std::vector<std::uint8_t> TakeBuffer() {
        Size = 0;
        return std::exchange(Buffer, {});
    }
};

// Run messages saved while the process waits for the communication process: a full queue refuses
// with a message box and refuses a repeat silently.
inline constexpr TSavedProcMessLimits kMaSavedMessLimits{
    6144, false, "Internal error - too short queue SavedProcMessFifo for Ravlo_MA process",
    DM_Ravlo_MA_Debug};

} // namespace ravlo
