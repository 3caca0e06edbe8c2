#include "voksim/fault_injector.h"

#include <charconv>

namespace ravlo::voksim {

std::optional<FaultWhen> ParseFaultWhen(std::string_view text) {
    if (text == "all") {
        return FaultWhen{FaultWhen::Kind::Always, 0, 1.0};
    }
    const char* end = text.data() + text.size();
    if (text.find('.') != std::string_view::npos) {
        double rate = 0;
        const auto [last, error] = std::from_chars(text.data(), end, rate);
        if (error != std::errc{} || last != end || !(rate >= 0.0 && rate <= 1.0)) {
            return std::nullopt;
        }
        return FaultWhen{FaultWhen::Kind::Rate, 0, rate};
    }
    std::uint64_t count = 0;
    const auto [last, error] = std::from_chars(text.data(), end, count);
    if (text.empty() || error != std::errc{} || last != end) {
        return std::nullopt;
    }
    return FaultWhen{count == 0 ? FaultWhen::Kind::Never : FaultWhen::Kind::FirstN, count, 0.0};
}

std::string_view FaultName(Fault fault) {
    constexpr std::array<std::string_view, kFaultCount> kNames{
        "mute", "wrong address", "early MemE", "EmptHAL", "CheckErr", "clock Err", "delay"};
    return kNames[static_cast<std::size_t>(fault)];
}

FaultInjector::FaultInjector(const FaultOptions& options, std::uint64_t seed) : options_(options) {
    // Distinct, fixed offsets of one seed give every generator its own stream.
    constexpr std::uint64_t kSpread = 0x9E3779B97F4A7C15ULL;
    for (std::size_t i = 0; i < engines_.size(); ++i) {
        engines_[i].seed(seed + kSpread * (i + 1));
    }
    for (std::size_t i = 0; i < byte_engines_.size(); ++i) {
        byte_engines_[i].seed(seed + kSpread * (kFaultCount + i + 1));
    }
}

bool FaultInjector::Chance(std::mt19937_64& engine, double rate) {
    if (rate <= 0.0) {
        return false;
    }
    return std::uniform_real_distribution<double>(0.0, 1.0)(engine) < rate;
}

bool FaultInjector::Strike(Fault fault) {
    const auto index = static_cast<std::size_t>(fault);
    const FaultWhen& when = options_.when[index];
    const std::uint64_t seen = ++seen_[index];
    bool strikes = false;
    switch (when.kind) {
    case FaultWhen::Kind::Never:
        break;
    case FaultWhen::Kind::FirstN:
        strikes = seen <= when.count;
        break;
    case FaultWhen::Kind::Always:
        strikes = true;
        break;
    case FaultWhen::Kind::Rate:
        strikes = Chance(engines_[index], when.rate);
        break;
    }
    if (strikes) {
        ++struck_[index];
    }
    return strikes;
}

std::optional<std::uint8_t> FaultInjector::FilterByte(std::uint8_t byte, Direction direction) {
    auto& engine = byte_engines_[direction == Direction::ToBoard ? 0 : 1];
    if (Chance(engine, options_.drop_rate)) {
        ++bytes_dropped_;
        return std::nullopt;
    }
    if (Chance(engine, options_.corrupt_rate)) {
        ++bytes_corrupted_;
        const auto flip = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(1, 255)(engine));
        return static_cast<std::uint8_t>(byte ^ flip);
    }
    return byte;
}

} // namespace ravlo::voksim
