#include "framework/string_table.h"

#include "platform/cp1250.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace ravlo {
namespace {

constexpr std::size_t kMaxTextLength = 254;
constexpr std::size_t kMaxFormattedLength = 255;
constexpr std::string_view kResourceErrorText = "string resource error";

using TextMap = std::unordered_map<int, std::string>;

// Converted once, on first use; a function-local static is initialised thread-safely.
const TextMap& LoadedTexts() {
    static const TextMap texts = [] {
        TextMap map;
        for (const StringText& entry : ProgramStringTexts()) {
            std::string text = Utf8ToCp1250(entry.utf8);
            if (text.size() > kMaxTextLength) {
                text.resize(kMaxTextLength);
            }
            map.emplace(entry.id, std::move(text));
        }
        return map;
    }();
    return texts;
}

const std::string* FindText(int id) {
    const TextMap& texts = LoadedTexts();
    const auto it = texts.find(id);
    return it == texts.end() ? nullptr : &it->second;
}

} // namespace

std::string AppLoadStr(int id) {
    const std::string* text = FindText(id);
    return text != nullptr ? *text : std::string(kMissingStringText);
}

std::size_t AppLoadStrBuf(int id, std::span<char> buf) {
    if (buf.empty()) {
        return 0;
    }
    std::string_view text;
    if (id != 0) {
        const std::string* found = FindText(id);
        text = found != nullptr ? std::string_view(*found) : kResourceErrorText;
    }
    const std::size_t count = std::min(text.size(), buf.size() - 1);
    std::copy_n(text.begin(), count, buf.begin());
    buf[count] = '\0';
    return count;
}

std::string AppLoadStrFmt(int id, std::span<const FormatArg> args) {
    std::string result = FormatPattern(AppLoadStr(id), args);
    if (result.size() > kMaxFormattedLength) {
        result.resize(kMaxFormattedLength);
    }
    return result;
}

} // namespace ravlo
