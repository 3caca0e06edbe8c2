#include "framework/file_mask.h"

#include "platform/text_case.h"

#include <cstddef>
#include <optional>

namespace ravlo {
namespace {

unsigned char Folded(char c) {
    return static_cast<unsigned char>(Cp1250ToLower(c));
}

// Whether c lies in the set that starts after "[" at set; end receives the index past "]".
// nullopt for a set without its "]".
std::optional<bool> InSet(std::string_view mask, std::size_t set, char c, std::size_t& end) {
    bool negate = false;
    if (set < mask.size() && mask[set] == '!') {
        negate = true;
        ++set;
    }
    const unsigned char folded = Folded(c);
    bool found = false;
    std::size_t i = set;
    for (; i < mask.size() && mask[i] != ']'; ++i) {
        unsigned char low = Folded(mask[i]);
        unsigned char high = low;
        if (i + 2 < mask.size() && mask[i + 1] == '-' && mask[i + 2] != ']') {
            high = Folded(mask[i + 2]);
            i += 2;
        }
        found = found || (folded >= low && folded <= high);
    }
    if (i >= mask.size()) {
        return std::nullopt;
    }
    end = i + 1;
    return found != negate;
}

bool MaskIsWellFormed(std::string_view mask) {
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '[') {
            std::size_t end = 0;
            if (!InSet(mask, i + 1, ' ', end)) {
                return false;
            }
            i = end - 1;
        }
    }
    return true;
}

} // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
    if (!MaskIsWellFormed(mask)) {
        return false;
    }
    // Greedy match with one backtrack point: the last "*" seen and the name position it took.
    std::size_t n = 0;
    std::size_t m = 0;
    std::optional<std::size_t> starMask;
    std::size_t starName = 0;
    while (n < name.size()) {
        bool step = false;
        std::size_t next = m + 1;
        if (m < mask.size()) {
            if (mask[m] == '*') {
                starMask = m;
                starName = n;
                ++m;
                continue;
            }
            if (mask[m] == '?') {
                step = true;
            } else if (mask[m] == '[') {
                step = InSet(mask, m + 1, name[n], next).value_or(false);
            } else {
                step = Folded(mask[m]) == Folded(name[n]);
            }
        }
        if (step) {
            ++n;
            m = next;
        } else if (starMask) {
            m = *starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') {
        ++m;
    }
    return m == mask.size();
}

} // namespace ravlo
