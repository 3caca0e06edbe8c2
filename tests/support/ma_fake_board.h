#pragma once

// A board for the master process's unit tests: a 1 MB memory, IO ports, a clock and the answers of
// each frame type, with switches for the faults the master must survive. It stands behind a fake
// communication process (ma_fake_comm.h) and answers whole exchanges at once.

#include "framework/bcd.h"
#include "framework/board_address.h"
#include "protocol/board_answers.h"
#include "protocol/vok_frame.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ravlo::testing {

using Bytes = std::vector<std::uint8_t>;
using Frames = std::vector<Bytes>;

class FakeBoard {
public:
    FakeBoard() : memory_(0x100000, 0) {}

    // ---- Settings ----
    DEV_VokType Kind = DEV_Vok188;
    std::uint32_t Baud = 4800; // the board hears only a host at its rate
    std::size_t MemDSize = 64; // data bytes per MemD
    std::uint8_t FlashCode = 0xA4;
    std::string IdText = "VOK188 BIOS -v23 (c)";
    // Faults, each for the next N frames that it can strike.
    int Mute = 0;                          // requests go unanswered
    int WrongAddress = 0;                  // MemD addresses one paragraph off
    int EarlyMemE = 0;                     // MemE after half the data
    int DropMemD = 0;                      // the second MemD of an answer is lost
    int EmptHal = 0;                       // Rqst answered with EmptHAL
    int CheckErr = 0;                      // Chcksum answered with CheckErr
    int ShortClock = 0;                    // GetRTC answered with a cut clock frame
    std::optional<std::uint16_t> ClockErr; // GetRTC / SetRTC answered with Err
    // Forced answers for the next frames (taken before anything else).
    std::vector<Frames> Scripted;

    // ---- What happened ----
    std::map<std::uint16_t, std::uint16_t> IoWrites;
    std::map<std::uint16_t, std::uint16_t> IoValues;
    TVokClockRec Clock{2024, 5, 17, 12, 30, 45};
    std::vector<std::uint32_t> LoadAddresses;
    int Loads = 0;
    int Gos = 0;
    int Runs = 0;

    Bytes& Memory() { return memory_; }
    void Put(std::uint32_t lin, std::span<const std::uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), memory_.begin() + lin);
    }
    void PutText(std::uint32_t lin, std::string_view text) {
        Put(lin, Bytes(text.begin(), text.end()));
        memory_[lin + text.size()] = 0;
    }
    Bytes Read(std::uint32_t lin, std::size_t count) const {
        return Bytes(memory_.begin() + lin, memory_.begin() + lin + count);
    }

    // Lays out the identification the way the boards keep it: a far pointer at FFF0:00CC to the
    // text, the flash code at 0000:046B; the 386 keeps text and code at 0050:0040.
    void PutIdentification() {
        const std::uint32_t textAt = 0xF8000;
        const Bytes pointer{0x00, 0x80, 0x00, 0xF0}; // F000:8000
        Put(0xFFFCC, pointer);
        PutText(textAt, IdText);
        memory_[0x46B] = FlashCode;
        PutText(0x540, IdText);
        memory_[0x540 + IdText.size() + 1] = FlashCode;
    }

    // The answer frames to a frame that awaits one; nullopt when the board does not answer.
    std::optional<Frames> Answer(std::span<const std::uint8_t> frame, std::uint32_t hostBaud) {
        if (!Scripted.empty()) {
            Frames answer = Scripted.front();
            Scripted.erase(Scripted.begin());
            return answer;
        }
        if (hostBaud != Baud || Take(Mute)) {
            return std::nullopt;
        }
        switch (frame[0]) {
        case ft_Rqst:
            return Frames{Bare(Take(EmptHal) ? ft_EmptHAL : EmptOf(Kind))};
        case ft_Mem:
            return MemAnswer(FarPtrToLin(FrameFarPtr(frame, 3)), FrameU16(frame, 7));
        case ft_GetID: {
            // As the BIOS answers: the text, its zero and the flash code behind it.
            std::size_t length = 0;
            while (length < 2046 && memory_[0x540 + length] != 0) {
                ++length;
            }
            return MemAnswer(0x540, length + 2);
        }
        case ft_Load:
            return LoadAnswer(frame);
        case ft_Chcksum:
            return Frames{Bare(Take(CheckErr) || !SumsToZero(frame) ? ft_CheckErr : ft_CheckOk)};
        case ft_cIORd:
        case ft_cIORdW:
            return IoReadAnswer(frame);
        case ft_GetRTC:
            return ClockAnswer();
        case ft_SetRTC:
            if (ClockErr) {
                return Frames{ErrFrame(*ClockErr)};
            }
            Clock = {FrameU16(frame, 3), frame[5], frame[6], frame[7], frame[8], frame[9]};
            return Frames{Bare(EmptOf(Kind))};
        default:
            return std::nullopt;
        }
    }

    // A frame sent without answer.
    void Hear(std::span<const std::uint8_t> frame, std::uint32_t hostBaud) {
        if (hostBaud != Baud) {
            return;
        }
        switch (frame[0]) {
        case ft_BdRate:
            Baud = BaudOfCode(frame[3]);
            break;
        case ft_cIOWr:
        case ft_cIOWrW:
            IoWrites[FrameU16(frame, 3)] = FrameU16(frame, 7);
            break;
        case ft_Go:
            ++Gos;
            break;
        case ft_Run:
            ++Runs;
            break;
        default:
            break;
        }
    }

    static Bytes Bare(std::uint8_t type) { return {type, 0, 0}; }
    static Bytes MemD(std::uint32_t lin, std::span<const std::uint8_t> data) {
        const TSegOfsPtr at = LinToFarPtr(lin);
        Bytes frame{ft_MemD,        0, 0, Lo(at.Ofs), Hi(at.Ofs), Lo(at.Seg), Hi(at.Seg), Lo(data.size()),
                    Hi(data.size())};
        frame.insert(frame.end(), data.begin(), data.end());
        return frame;
    }
    static Bytes ErrFrame(std::uint16_t value) { return {ft_Err, 0, 0, Lo(value), Hi(value)}; }

private:
    static std::uint8_t Lo(std::size_t v) { return static_cast<std::uint8_t>(v & 0xFF); }
    static std::uint8_t Hi(std::size_t v) { return static_cast<std::uint8_t>((v >> 8) & 0xFF); }
    static bool Take(int& count) {
        if (count > 0) {
            --count;
            return true;
        }
        return false;
    }
    static std::uint8_t EmptOf(DEV_VokType kind) {
        switch (kind) {
        case DEV_VokV40:
            return ft_EmptV40;
        case DEV_Vok386:
            return ft_Empt386;
        default:
            return ft_Empt188;
        }
    }
    static std::uint32_t BaudOfCode(std::uint8_t code) {
        static constexpr std::uint32_t kRates[] = {4800, 9600, 19200, 38400, 57600, 115200};
        return code >= 10 && code <= 15 ? kRates[code - 10] : 4800;
    }

    Frames MemAnswer(std::uint32_t lin, std::size_t count) {
        Frames frames;
        const bool wrong = Take(WrongAddress);
        const bool early = Take(EarlyMemE);
        const bool drop = Take(DropMemD);
        const std::size_t sent = early ? count / 2 : count;
        for (std::size_t off = 0, piece = 0; off < sent; off += MemDSize, ++piece) {
            const std::size_t n = std::min(MemDSize, sent - off);
            if (drop && piece == 1) {
                continue;
            }
            frames.push_back(MemD(lin + off + (wrong ? 16 : 0), Read(lin + off, n)));
        }
        frames.push_back(Bare(ft_MemE));
        return frames;
    }
    // A Chcksum's module (segment:0000, whole paragraphs) adds up to 0 modulo 256.
    bool SumsToZero(std::span<const std::uint8_t> frame) const {
        const auto first = memory_.begin() + FarPtrToLin(FrameFarPtr(frame, 3));
        return std::accumulate(first, first + FrameU16(frame, 7) * 16, 0u) % 256 == 0;
    }
    Frames LoadAnswer(std::span<const std::uint8_t> frame) {
        const std::uint32_t lin = FarPtrToLin(FrameFarPtr(frame, 3));
        const std::size_t n = FrameU16(frame, 7);
        Put(lin, frame.subspan(9, n));
        LoadAddresses.push_back(lin);
        ++Loads;
        return Frames{Bare(EmptOf(Kind))};
    }
    Frames IoReadAnswer(std::span<const std::uint8_t> frame) {
        const std::uint16_t port = FrameU16(frame, 3);
        const std::uint16_t value = IoValues.contains(port) ? IoValues[port] : 0xFFFF;
        Bytes answer{frame[0], 0, 0, Lo(port), Hi(port), frame[5], frame[6], Lo(value)};
        if (frame[0] == ft_cIORdW) {
            answer.push_back(Hi(value));
        }
        return Frames{answer, Bare(ft_MemE)};
    }
    Frames ClockAnswer() {
        if (ClockErr) {
            return Frames{ErrFrame(*ClockErr)};
        }
        const std::uint16_t year = WordToBCD(Clock.Year);
        Bytes frame{ft_SetRTC,
                    0,
                    0,
                    Lo(year),
                    Hi(year),
                    ByteToBCD(Clock.Month),
                    ByteToBCD(Clock.Day),
                    ByteToBCD(Clock.Hour),
                    ByteToBCD(Clock.Minute),
                    ByteToBCD(Clock.Second),
                    0x80,
                    0x19,
                    0x99,
                    0x20};
        if (Take(ShortClock)) {
            frame.resize(9);
        }
        return Frames{frame};
    }

    Bytes memory_;
};

} // namespace ravlo::testing
