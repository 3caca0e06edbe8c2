#include "framework/short_string_field.h"

#include <algorithm>

namespace ravlo {

std::string GetShortString(std::span<const std::uint8_t> field) {
    if (field.empty()) {
        return {};
    }
    const std::size_t length = std::min<std::size_t>(field[0], field.size() - 1);
    return std::string(field.begin() + 1, field.begin() + 1 + static_cast<std::ptrdiff_t>(length));
}

void PutShortString(std::span<std::uint8_t> field, std::string_view text) {
    if (field.empty()) {
        return;
    }
    const std::size_t length = std::min({text.size(), field.size() - 1, std::size_t{255}});
    field[0] = static_cast<std::uint8_t>(length);
    std::copy_n(text.begin(), length, field.begin() + 1);
    std::fill(field.begin() + 1 + static_cast<std::ptrdiff_t>(length), field.end(), std::uint8_t{0});
}

} // namespace ravlo
