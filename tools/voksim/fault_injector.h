#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

namespace ravlo::voksim {

// Which of the eligible frames a fault strikes: none, the first N, all, or each with a probability
// drawn from the seeded generator.
struct FaultWhen {
    enum class Kind { Never, FirstN, Always, Rate };
    Kind kind = Kind::Never;
    std::uint64_t count = 0;
    double rate = 0.0;
};

// "all", a whole number N (the first N), or a probability with a decimal point ("0.25").
std::optional<FaultWhen> ParseFaultWhen(std::string_view text);

enum class Fault {
    Mute,         // a request is not heard at all
    WrongAddress, // MemD frames claim an address one paragraph off
    EarlyMemE,    // a memory answer ends after half of its bytes
    EmptHAL,      // Rqst is answered with EmptHAL
    CheckErr,     // Chcksum is answered with CheckErr
    ClockErr,     // GetRTC and SetRTC are answered with Err
    Delay,        // answers leave late
};
inline constexpr std::size_t kFaultCount = 7;
std::string_view FaultName(Fault fault);

struct FaultOptions {
    double drop_rate = 0.0;
    double corrupt_rate = 0.0;
    std::array<FaultWhen, kFaultCount> when{};
    std::chrono::milliseconds delay{0};
    std::optional<std::uint16_t> clock_err_value; // none: the board's own "no clock" numbers
    std::optional<std::chrono::milliseconds> unsolicited_after;
    std::vector<std::uint8_t> unsolicited_frame;
};

// Decides every fault reproducibly from one seed; each fault and each direction of the byte faults
// draws from its own generator, so one kind of traffic does not shift the decisions of another.
class FaultInjector {
public:
    FaultInjector(const FaultOptions& options, std::uint64_t seed);

    const FaultOptions& Options() const { return options_; }
    // One eligible frame for the fault: true when the fault strikes it.
    bool Strike(Fault fault);
    enum class Direction { ToBoard, ToHost };
    // A line byte: dropped (none) or possibly corrupted. Each direction has its own generator, so
    // the decisions do not depend on how the two directions interleave in time.
    std::optional<std::uint8_t> FilterByte(std::uint8_t byte, Direction direction);

    std::uint64_t Struck(Fault fault) const { return struck_[static_cast<std::size_t>(fault)]; }
    std::uint64_t BytesDropped() const { return bytes_dropped_; }
    std::uint64_t BytesCorrupted() const { return bytes_corrupted_; }

private:
    bool Chance(std::mt19937_64& engine, double rate);

    FaultOptions options_;
    std::array<std::mt19937_64, kFaultCount> engines_;
    std::array<std::mt19937_64, 2> byte_engines_;
    std::array<std::uint64_t, kFaultCount> seen_{};
    std::array<std::uint64_t, kFaultCount> struck_{};
    std::uint64_t bytes_dropped_ = 0;
    std::uint64_t bytes_corrupted_ = 0;
};

} // namespace ravlo::voksim
