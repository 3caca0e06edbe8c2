#include "framework/bcd.h"

#include "platform/exception.h"

#include <string>

namespace ravlo {

std::uint8_t ByteToBCD(int n) {
    if (n < 0 || n > 99) {
        throw ERangeError("ByteToBCD Error, byte " + std::to_string(n) + " is not BCD convertable");
    }
    return static_cast<std::uint8_t>(((n / 10) << 4) | (n % 10));
}

std::uint16_t WordToBCD(int n) {
    if (n < 0 || n > 9999) {
        throw ERangeError("WordToBCD Error, word " + std::to_string(n) + " is not BCD convertable");
    }
    return static_cast<std::uint16_t>(((n / 1000) << 12) | ((n / 100 % 10) << 8) | ((n / 10 % 10) << 4) |
                                      (n % 10));
}

} // namespace ravlo
