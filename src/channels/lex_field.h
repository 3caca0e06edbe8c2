#pragma once

#include "framework/keyword_lexer.h"

#include <cstdint>
#include <optional>

namespace ravlo {

// Reads the lexer's next number, limited to [0, high], into field; answers whether that failed
// (the field then keeps its value).
template <class Field>
bool LexGetField(Field& field, std::int32_t high) {
    const std::optional<std::int32_t> value = LexGetNumIn(0, high);
    if (!value) {
        return true;
    }
    field = static_cast<Field>(*value);
    return false;
}

} // namespace ravlo
