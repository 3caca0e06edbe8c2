#include "voksim/board_model.h"

#include "voksim/line_throttle.h"

#include <algorithm>
#include <array>
#include <utility>

namespace ravlo::voksim {

namespace {

// Err values of the clock, as the host's clock window knows them: 0x30 "cannot set, no clock",
// 0x31 "cannot read, no clock". 0x32 is the board's refusal of an impossible date or time.
constexpr std::uint16_t kErrNoClockWrite = 0x30;
constexpr std::uint16_t kErrNoClockRead = 0x31;
constexpr std::uint16_t kErrBadTime = 0x32;

// Further copies of one Go or Run (the host sends each several times) arrive within this time.
constexpr Ns kJumpRepeatWindow = std::chrono::milliseconds(500);

// The 386 BIOS answers GetID with its id text, the NUL and the flash code from 0050:0040.
constexpr FarPtr kId386Address{0x0050, 0x0040};
constexpr std::size_t kMaxIdText = 2046;

constexpr std::array<std::pair<std::uint8_t, std::size_t>, 13> kRequestLengths{{
    {vok::Mem, 9},
    {vok::cIORd, 7},
    {vok::cIORdW, 7},
    {vok::cIOWr, 9},
    {vok::cIOWrW, 9},
    {vok::Rqst, 3},
    {vok::Chcksum, 9},
    {vok::BdRate, 4},
    {vok::Go, 7},
    {vok::Run, 7},
    {vok::SetRTC, 10},
    {vok::GetRTC, 3},
    {vok::GetID, 3},
}};

std::optional<std::size_t> RequestLength(std::uint8_t type) {
    for (const auto& [value, length] : kRequestLengths) {
        if (value == type) {
            return length;
        }
    }
    return std::nullopt;
}

std::vector<std::uint8_t> ErrFrame(std::uint16_t value) {
    auto frame = BareFrame(vok::Err);
    PutU16(frame, value);
    return frame;
}

void PutBcdYear(std::vector<std::uint8_t>& out, int year) {
    out.push_back(ToBcd(year % 100));
    out.push_back(ToBcd(year / 100));
}

} // namespace

BoardModel::BoardModel(const Personality& board, FaultInjector& faults, BoardClock clock, Settings settings)
    : board_(board), faults_(faults), clock_(clock), settings_(settings) {
    settings_.memd_size = std::max<std::size_t>(settings_.memd_size, 1);
    InstallBiosData(board_, memory_);
}

Reply BoardModel::Handle(std::span<const std::uint8_t> f, Ns now) {
    Reply reply;
    if (f.size() < kFrameHeader) {
        reply.notes.emplace_back("shorter than a board frame: ignored");
        return reply;
    }
    // A muted request is lost on the way: it has no effect and gets no answer.
    if (faults_.Strike(Fault::Mute)) {
        reply.notes.emplace_back("fault mute: request not heard");
        return reply;
    }
    const auto length = RequestLength(f[0]);
    if (length && f.size() != *length) {
        reply.notes.push_back("length " + std::to_string(f.size()) + " instead of " +
                              std::to_string(*length) + ": ignored");
        return reply;
    }
    switch (f[0]) {
    case vok::Mem:
        SendMemory(reply, GetFar(f, 3), GetU16(f, 7));
        break;
    case vok::GetID:
        OnGetID(reply);
        break;
    case vok::cIORd:
    case vok::cIORdW:
        OnIORead(f, reply);
        break;
    case vok::cIOWr:
    case vok::cIOWrW:
        OnIOWrite(f, reply);
        break;
    case vok::Rqst:
        if (faults_.Strike(Fault::EmptHAL)) {
            reply.notes.emplace_back("fault EmptHAL");
            reply.frames.push_back(BareFrame(vok::EmptHAL));
        } else {
            reply.frames.push_back(BareFrame(board_.empt));
        }
        break;
    case vok::Chcksum:
        OnChcksum(f, reply);
        break;
    case vok::BdRate:
        OnBdRate(f, reply);
        break;
    case vok::Go:
    case vok::Run:
        OnJump(f, reply, now);
        break;
    case vok::Load:
        OnLoad(f, reply);
        break;
    case vok::SetRTC:
        OnSetRTC(f, reply, now);
        break;
    case vok::GetRTC:
        OnGetRTC(reply, now);
        break;
    default:
        // The BIOS stays silent on frames it does not know; the host's time-out deals with it.
        reply.notes.emplace_back("not a request this BIOS knows: not answered");
        break;
    }
    if (!reply.frames.empty() && faults_.Strike(Fault::Delay)) {
        reply.delay = faults_.Options().delay;
        reply.notes.push_back("fault delay: answer " + std::to_string(faults_.Options().delay.count()) +
                              " ms late");
    }
    return reply;
}

// Memory leaves in MemD frames of at most memd_size bytes, then MemE. The first address keeps the
// host's segment, so each MemD names the address the host expects next.
void BoardModel::SendMemory(Reply& reply, FarPtr address, std::size_t count) {
    const bool wrong = faults_.Strike(Fault::WrongAddress);
    const bool early = faults_.Strike(Fault::EarlyMemE);
    const std::size_t sent = early ? count / 2 : count;
    if (wrong) {
        reply.notes.emplace_back("fault wrong address: MemD one paragraph off");
    }
    if (early) {
        reply.notes.push_back("fault early MemE after " + std::to_string(sent) + " of " +
                              std::to_string(count) + " bytes");
    }
    for (std::size_t done = 0; done < sent; done += settings_.memd_size) {
        const std::size_t piece = std::min(settings_.memd_size, sent - done);
        const FarPtr at = address.Plus(static_cast<std::uint32_t>(done));
        FarPtr claimed = at;
        if (wrong) {
            ++claimed.seg;
        }
        auto frame = BareFrame(vok::MemD);
        PutFar(frame, claimed);
        PutU16(frame, static_cast<std::uint16_t>(piece));
        const auto bytes = memory_.ReadBlock(at.Lin(), piece);
        frame.insert(frame.end(), bytes.begin(), bytes.end());
        reply.frames.push_back(std::move(frame));
    }
    reply.frames.push_back(BareFrame(vok::MemE));
}

void BoardModel::OnGetID(Reply& reply) {
    if (!board_.has_get_id) {
        reply.notes.emplace_back("GetID is unknown to this BIOS: not answered");
        return;
    }
    std::size_t length = 0;
    while (length < kMaxIdText &&
           memory_.Read(kId386Address.Lin() + static_cast<std::uint32_t>(length)) != 0) {
        ++length;
    }
    SendMemory(reply, kId386Address, length + 2);
}

// The answer repeats the port and the width, then the value; MemE closes it.
void BoardModel::OnIORead(std::span<const std::uint8_t> f, Reply& reply) {
    const std::uint16_t port = GetU16(f, 3);
    auto frame = BareFrame(f[0]);
    PutU16(frame, port);
    if (f[0] == vok::cIORd) {
        PutU16(frame, 1);
        frame.push_back(io_.ReadByte(port));
    } else {
        PutU16(frame, 2);
        PutU16(frame, io_.ReadWord(port));
    }
    reply.frames.push_back(std::move(frame));
    reply.frames.push_back(BareFrame(vok::MemE));
}

// An IO write is not answered: the host sends it twice and takes the end of sending as its end.
// Both copies reach the port, as they would on the board.
void BoardModel::OnIOWrite(std::span<const std::uint8_t> f, Reply& /*reply*/) {
    const std::uint16_t port = GetU16(f, 3);
    const std::uint16_t value = GetU16(f, 7);
    if (f[0] == vok::cIOWr) {
        io_.WriteByte(port, static_cast<std::uint8_t>(value & 0xFF));
    } else {
        io_.WriteWord(port, value);
    }
}

// A module is intact when its bytes sum to 0 modulo 256 (its image's trailer makes them so).
void BoardModel::OnChcksum(std::span<const std::uint8_t> f, Reply& reply) {
    const FarPtr start = GetFar(f, 3);
    const std::size_t bytes = std::size_t{GetU16(f, 7)} * 16;
    const std::uint8_t sum = memory_.Sum(start.Lin(), bytes);
    bool intact = sum == 0;
    if (faults_.Strike(Fault::CheckErr)) {
        reply.notes.emplace_back("fault CheckErr");
        intact = false;
    } else if (!intact) {
        reply.notes.push_back("bytes sum to " + std::to_string(sum) + ", not 0, modulo 256");
    }
    reply.frames.push_back(BareFrame(intact ? vok::CheckOk : vok::CheckErr));
}

// BdRate is not answered; the board's line runs at the new rate from the next byte on.
void BoardModel::OnBdRate(std::span<const std::uint8_t> f, Reply& reply) {
    const auto baud = BaudOfBoardCode(f[3]);
    if (!baud) {
        reply.notes.push_back("unknown rate code " + std::to_string(f[3]) + ": rate kept");
        return;
    }
    reply.new_baud = *baud;
}

// Go and Run leave the BIOS for the application; once the host has stopped repeating the frame,
// the board announces itself with its identification frame, which ends the host's wait.
void BoardModel::OnJump(std::span<const std::uint8_t> f, Reply& reply, Ns now) {
    const FarPtr address = GetFar(f, 3);
    const bool repeat = !jumps_.empty() && jumps_.back().type == f[0] && jumps_.back().address == address &&
                        now - last_jump_at_ < kJumpRepeatWindow;
    if (repeat) {
        ++jumps_.back().copies;
        reply.notes.emplace_back("repeated copy of the jump");
    } else {
        jumps_.push_back({f[0], address, 1});
    }
    last_jump_at_ = now;
    reply.after_quiet = BareFrame(board_.empt);
}

void BoardModel::OnLoad(std::span<const std::uint8_t> f, Reply& reply) {
    if (f.size() < 9 || f.size() != 9 + std::size_t{GetU16(f, 7)}) {
        reply.notes.emplace_back("Load whose length does not match its byte count: ignored");
        return;
    }
    const FarPtr address = GetFar(f, 3);
    const std::size_t count = GetU16(f, 7);
    if (settings_.strict_load && (count != board_.load_size || address.Lin() % board_.load_size != 0)) {
        reply.notes.push_back("refused: not one aligned " + std::to_string(board_.load_size) + "-byte block");
        return;
    }
    memory_.WriteBlock(address.Lin(), f.subspan(9));
    reply.frames.push_back(BareFrame(board_.empt));
}

bool BoardModel::ClockRefused(Reply& reply, std::uint16_t no_clock_value) {
    if (!board_.has_clock) {
        reply.notes.emplace_back("no clock on this board");
        reply.frames.push_back(ErrFrame(no_clock_value));
        return true;
    }
    if (faults_.Strike(Fault::ClockErr)) {
        reply.notes.emplace_back("fault clock Err");
        reply.frames.push_back(ErrFrame(faults_.Options().clock_err_value.value_or(no_clock_value)));
        return true;
    }
    return false;
}

// SetRTC carries binary fields; the board acknowledges with its identification frame.
void BoardModel::OnSetRTC(std::span<const std::uint8_t> f, Reply& reply, Ns now) {
    if (ClockRefused(reply, kErrNoClockWrite)) {
        return;
    }
    const ClockTime time{GetU16(f, 3), f[5], f[6], f[7], f[8], f[9]};
    if (!IsValidClockTime(time)) {
        reply.notes.emplace_back("impossible date or time refused");
        reply.frames.push_back(ErrFrame(kErrBadTime));
        return;
    }
    clock_.Set(time, now);
    reply.frames.push_back(BareFrame(board_.empt));
}

// GetRTC is answered with a SetRTC frame in packed BCD: year (u16), month, day, hour, minute,
// second, then the lowest and the highest year the BIOS accepts (u16 each).
void BoardModel::OnGetRTC(Reply& reply, Ns now) {
    if (ClockRefused(reply, kErrNoClockRead)) {
        return;
    }
    const ClockTime time = clock_.Now(now);
    auto frame = BareFrame(vok::SetRTC);
    PutBcdYear(frame, time.year);
    for (const int field : {time.month, time.day, time.hour, time.minute, time.second}) {
        frame.push_back(ToBcd(field));
    }
    PutBcdYear(frame, kClockMinYear);
    PutBcdYear(frame, kClockMaxYear);
    reply.frames.push_back(std::move(frame));
}

} // namespace ravlo::voksim
