#include "voksim/board_session.h"

#include <algorithm>

namespace ravlo::voksim {

namespace {

// The board's receive buffer; longer frames are dropped.
constexpr std::size_t kMaxFrameData = 8192;
// How long the host must stay quiet before a frame held back after Go or Run leaves.
constexpr Ns kQuietTime = std::chrono::milliseconds(200);

// A byte sent at one rate and read at another comes out as garbage. It is never a DLE here, so
// garbage can break frames but never forge one.
std::uint8_t Garble(std::uint8_t byte) {
    const auto garbage = static_cast<std::uint8_t>(byte ^ 0x5A);
    return garbage == kDle ? 0xEF : garbage;
}

std::string NodesText(std::uint8_t src, std::uint8_t dst) {
    return std::to_string(src) + ">" + std::to_string(dst) + " ";
}

} // namespace

BoardSession::BoardSession(const SessionConfig& config, TraceLog& trace, Ns now)
    : config_(config), trace_(trace), faults_(config.faults, config.seed),
      model_(PersonalityOf(config.board), faults_, BoardClock(config.clock_start, config.clock_stopped, now),
             config.model),
      deframer_(config.node, kMaxFrameData), in_line_(config.throttle), out_line_(config.throttle),
      baud_(config.baud) {
    trace_.Line(now, "board " + std::string(model_.Board().name) + ", node " + std::to_string(config.node) +
                         ", line " + std::to_string(baud_) + " baud" +
                         (config.throttle ? "" : ", unthrottled"));
}

void BoardSession::FromHost(std::span<const std::uint8_t> bytes, Ns now, HostLine line) {
    NoteLine(now, line);
    // The sender's rate sets the pace of the bytes on the line.
    const std::uint32_t pace = line.baud != 0 ? line.baud : baud_;
    for (const std::uint8_t byte : bytes) {
        inbound_.push_back({byte, in_line_.Schedule(now, pace), line});
    }
    stats_.bytes_in += bytes.size();
}

void BoardSession::Advance(Ns now) {
    while (!inbound_.empty() && inbound_.front().due <= now) {
        const InByte byte = inbound_.front();
        inbound_.pop_front();
        Deliver(byte);
    }
    if (after_quiet_ && after_quiet_->due <= now) {
        const Deferred deferred = std::move(*after_quiet_);
        after_quiet_.reset();
        Send(deferred.dst, deferred.frame, now, now);
    }
    if (unsolicited_due_ && *unsolicited_due_ <= now) {
        unsolicited_due_.reset();
        ++stats_.unsolicited;
        trace_.Line(now, "   fault unsolicited frame");
        Send(config_.host_node, faults_.Options().unsolicited_frame, now, now);
    }
}

void BoardSession::Deliver(const InByte& byte) {
    std::uint8_t value = byte.value;
    if (!LineMatches(byte.line)) {
        value = Garble(value);
        ++stats_.garbled_in;
    }
    const auto filtered = faults_.FilterByte(value, FaultInjector::Direction::ToBoard);
    if (!filtered) {
        return;
    }
    switch (deframer_.Feed(*filtered)) {
    case LinkDeframer::Event::Frame:
        OnFrame(deframer_.Frame(), byte.due);
        break;
    case LinkDeframer::Event::Rejected:
        ++stats_.rejected_frames;
        trace_.Line(byte.due, "<- frame dropped: " + std::string(deframer_.RejectReason()));
        break;
    case LinkDeframer::Event::None:
        break;
    }
}

void BoardSession::OnFrame(const LinkFrame& frame, Ns at) {
    ++stats_.frames_in;
    trace_.Line(at, "<- " + NodesText(frame.src, frame.dst) + DescribeFrame(frame.data));
    if (after_quiet_) {
        after_quiet_->due = at + kQuietTime;
    }
    if (!seen_request_) {
        seen_request_ = true;
        if (faults_.Options().unsolicited_after) {
            unsolicited_due_ = at + *faults_.Options().unsolicited_after;
        }
    }
    Reply reply = model_.Handle(frame.data, at);
    for (const std::string& note : reply.notes) {
        trace_.Line(at, "   " + note);
    }
    for (const auto& answer : reply.frames) {
        Send(frame.src, answer, at, at + reply.delay);
    }
    if (reply.new_baud) {
        baud_ = *reply.new_baud;
        ++stats_.baud_changes;
        trace_.Line(at, "   line now " + std::to_string(baud_) + " baud");
    }
    if (reply.after_quiet) {
        after_quiet_ = Deferred{std::move(*reply.after_quiet), frame.src, at + kQuietTime};
    }
}

void BoardSession::Send(std::uint8_t dst, std::span<const std::uint8_t> frame, Ns now, Ns ready) {
    ++stats_.frames_out;
    trace_.Line(now, "-> " + NodesText(config_.node, dst) + DescribeFrame(frame));
    // The line is one queue: an answer never overtakes an earlier one.
    last_ready_ = std::max(ready, last_ready_);
    for (const std::uint8_t byte : EncodeLinkFrame(dst, config_.node, frame)) {
        outbound_.push_back({byte, out_line_.Schedule(last_ready_, baud_)});
    }
}

std::vector<std::uint8_t> BoardSession::TakeOutput(Ns now, HostLine line) {
    NoteLine(now, line);
    std::vector<std::uint8_t> out;
    const bool matches = LineMatches(line);
    while (!outbound_.empty() && outbound_.front().due <= now) {
        std::uint8_t value = outbound_.front().value;
        outbound_.pop_front();
        if (!matches) {
            value = Garble(value);
            ++stats_.garbled_out;
        }
        if (const auto filtered = faults_.FilterByte(value, FaultInjector::Direction::ToHost)) {
            out.push_back(*filtered);
        }
    }
    stats_.bytes_out += out.size();
    return out;
}

std::optional<Ns> BoardSession::NextWakeup() const {
    std::optional<Ns> next;
    const auto consider = [&next](Ns due) {
        next = next ? std::min(*next, due) : due;
    };
    if (!inbound_.empty()) {
        consider(inbound_.front().due);
    }
    if (!outbound_.empty()) {
        consider(outbound_.front().due);
    }
    if (after_quiet_) {
        consider(after_quiet_->due);
    }
    if (unsolicited_due_) {
        consider(*unsolicited_due_);
    }
    return next;
}

void BoardSession::NoteLine(Ns now, HostLine line) {
    if (noted_line_ == line) {
        return;
    }
    noted_line_ = line;
    trace_.Line(now, "   host line " + std::to_string(line.baud) + " baud" +
                         (line.odd_parity ? ", 8O1" : ", not 8O1") +
                         (LineMatches(line) ? "" : ": does not match the board's line, bytes are garbled"));
}

std::string BoardSession::Summary() const {
    const auto n = [](std::uint64_t value) {
        return std::to_string(value);
    };
    std::string text = "voksim summary: board " + std::string(model_.Board().name) + ", line " + n(baud_) +
                       " baud (" + n(stats_.baud_changes) + " changes)\n";
    text += "  frames in " + n(stats_.frames_in) + ", out " + n(stats_.frames_out) + "; bytes in " +
            n(stats_.bytes_in) + ", out " + n(stats_.bytes_out) + "; frames dropped " +
            n(stats_.rejected_frames) + ", for other nodes " + n(deframer_.OtherNodeFrames()) + "\n";
    text += "  bytes garbled by a line mismatch: in " + n(stats_.garbled_in) + ", out " +
            n(stats_.garbled_out) + "\n";
    text += "  faults injected:";
    for (std::size_t i = 0; i < kFaultCount; ++i) {
        text += " " + std::string(FaultName(static_cast<Fault>(i))) + " " +
                n(faults_.Struck(static_cast<Fault>(i))) + ",";
    }
    text += " bytes dropped " + n(faults_.BytesDropped()) + ", bytes corrupted " +
            n(faults_.BytesCorrupted()) + ", unsolicited frames " + n(stats_.unsolicited) + "\n";
    text += "  jumps:";
    for (const Jump& jump : model_.Jumps()) {
        text += " " + FrameName(jump.type) + " " + FarText(jump.address) + " (" + n(jump.copies) + " copies)";
    }
    text += model_.Jumps().empty() ? " none\n" : "\n";
    text += "  IO writes " + n(model_.Io().Writes().size()) + "\n";
    return text;
}

} // namespace ravlo::voksim
