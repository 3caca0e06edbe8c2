#include "project/module_texts.h"

#include "framework/board_address.h"
#include "framework/number_text.h"
#include "project/mem_text.h"

namespace ravlo {

std::string DollarHex5(std::uint32_t value) {
    std::string digits = HexDW(value);
    const std::size_t lead = digits.find_first_not_of('0');
    const std::size_t keep = lead == std::string::npos ? 5 : std::max<std::size_t>(5, digits.size() - lead);
    return "$" + digits.substr(digits.size() - keep);
}

std::string SizeWithKb(std::uint32_t value) {
    return DollarHex5(value) + " (" + std::to_string(value / 1024) + " KB)";
}

std::optional<std::int64_t> ParseModuleHex(std::string_view text) {
    text = TrimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    if (TrimBlanks(text).empty()) {
        return std::nullopt;
    }
    bool err = false;
    const std::uint32_t value = HexStrToDWord(text, err);
    if (err) {
        return std::nullopt;
    }
    return negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
}

} // namespace ravlo
