#include "protocol/bios_id.h"

#include <array>
#include <optional>

namespace ravlo {
namespace {

constexpr std::size_t kDigits = 2;

// The two characters at pos as a decimal number; nullopt when they are not two digits.
std::optional<std::uint8_t> TwoDigitsAt(std::string_view text, std::size_t pos) {
    if (pos > text.size() || text.size() - pos < kDigits) {
        return std::nullopt;
    }
    const char high = text[pos];
    const char low = text[pos + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9') {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>((high - '0') * 10 + (low - '0'));
}

// The two characters just before the mark (none when the mark is too close to the start).
std::optional<std::uint8_t> DigitsBefore(std::string_view text, std::size_t markAt) {
    if (markAt < kDigits) {
        return std::nullopt;
    }
    return TwoDigitsAt(text, markAt - kDigits);
}

std::uint8_t VersionOf(std::string_view text) {
    const auto holds = [text](std::string_view part) {
        return text.find(part) != std::string_view::npos;
    };
    std::optional<std::uint8_t> version;
    if (holds("386") && holds("<VOK>")) {
        version = DigitsBefore(text, text.find("<VOK>"));
    } else if (holds("188") && holds("-v")) {
        version = TwoDigitsAt(text, text.find("-v") + 2);
    } else {
        for (const std::string_view mark : std::array<std::string_view, 3>{"<QRN>", "<Y47>", "<Y58>"}) {
            if (holds(mark)) {
                version = DigitsBefore(text, text.find(mark));
                break;
            }
        }
    }
    return version.value_or(0);
}

} // namespace

TBiosId ParseBiosId(std::string_view text) {
    return TBiosId{std::string(text), VersionOf(text)};
}

std::string BiosVersionText(std::uint8_t version) {
    if (version == 0) {
        return "?.?";
    }
    const std::string digits = std::to_string(version);
    return digits.substr(0, 1) + "." + digits.substr(1);
}

} // namespace ravlo
