#pragma once

#include "framework/keyword_lexer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ravlo {

// Reads the next number of the keyword lexer into a field when it lies in [low, high]; answers true
// (a keyword error) and leaves the field as it is for anything else.
template <class T>
bool LexGetField(T& field, std::int32_t low, std::int32_t high) {
    if (const std::optional<std::int32_t> value = LexGetNumIn(low, high)) {
        field = static_cast<T>(*value);
        return false;
    }
    return true;
}

// A settings text kept to its field's width.
inline std::string CutText(std::string text, std::size_t max) {
    if (text.size() > max) {
        text.resize(max);
    }
    return text;
}

} // namespace ravlo
