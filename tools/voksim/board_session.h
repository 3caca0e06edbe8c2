#pragma once

#include "voksim/board_model.h"
#include "voksim/fault_injector.h"
#include "voksim/line_throttle.h"
#include "voksim/link_frame.h"
#include "voksim/trace_log.h"

#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ravlo::voksim {

// The line settings the host has set on its end.
struct HostLine {
    std::uint32_t baud = 0;
    bool odd_parity = true; // 8 data bits, odd parity, as the board's line
    bool operator==(const HostLine&) const = default;
};

struct SessionConfig {
    BoardKind board = BoardKind::B386;
    std::uint8_t node = 254;
    std::uint8_t host_node = 255;
    std::uint32_t baud = 4800;
    bool throttle = true;
    std::uint64_t seed = 1;
    BoardModel::Settings model;
    FaultOptions faults;
    ClockTime clock_start;
    bool clock_stopped = false;
};

struct SessionStats {
    std::uint64_t frames_in = 0;
    std::uint64_t frames_out = 0;
    std::uint64_t bytes_in = 0;
    std::uint64_t bytes_out = 0;
    std::uint64_t rejected_frames = 0;
    std::uint64_t garbled_in = 0;
    std::uint64_t garbled_out = 0;
    std::uint64_t unsolicited = 0;
    std::uint64_t baud_changes = 0;
};

// The board at its end of the line: bytes from the host cross the line at the line rate, are
// framed, answered by the board model, and the answers cross back at the line rate. Time is
// passed in, so that the whole session can run on a simulated clock.
class BoardSession {
public:
    BoardSession(const SessionConfig& config, TraceLog& trace, Ns now);

    // Bytes the host wrote, read from its end at `now` while it had set `line`.
    void FromHost(std::span<const std::uint8_t> bytes, Ns now, HostLine line);
    // Hands the board every byte that has arrived by `now` and runs due timers.
    void Advance(Ns now);
    // The bytes that have reached the host's end by `now`.
    std::vector<std::uint8_t> TakeOutput(Ns now, HostLine line);
    // When something is due next; none while idle.
    std::optional<Ns> NextWakeup() const;

    std::uint32_t Baud() const { return baud_; }
    BoardModel& Model() { return model_; }
    const SessionStats& Stats() const { return stats_; }
    std::string Summary() const;

private:
    struct InByte {
        std::uint8_t value;
        Ns due;
        HostLine line;
    };
    struct OutByte {
        std::uint8_t value;
        Ns due;
    };
    struct Deferred {
        std::vector<std::uint8_t> frame;
        std::uint8_t dst;
        Ns due;
    };

    void Deliver(const InByte& byte);
    void OnFrame(const LinkFrame& frame, Ns at);
    void Send(std::uint8_t dst, std::span<const std::uint8_t> frame, Ns now, Ns ready);
    bool LineMatches(HostLine line) const { return line.baud == baud_ && line.odd_parity; }
    void NoteLine(Ns now, HostLine line);

    SessionConfig config_;
    TraceLog& trace_;
    FaultInjector faults_;
    BoardModel model_;
    LinkDeframer deframer_;
    LineThrottle in_line_;
    LineThrottle out_line_;
    std::uint32_t baud_;
    std::deque<InByte> inbound_;
    std::deque<OutByte> outbound_;
    Ns last_ready_{0};
    std::optional<Deferred> after_quiet_;
    bool seen_request_ = false;
    std::optional<Ns> unsolicited_due_;
    std::optional<HostLine> noted_line_;
    SessionStats stats_;
};

} // namespace ravlo::voksim
