#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace ravlo {

// Event kinds as the callers use them; each selects a colour.
inline constexpr std::uint8_t kEventNote = 0;
inline constexpr std::uint8_t kEventError = 1;
inline constexpr std::uint8_t kEventInfo = 4;

struct TEventRgb {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    bool operator==(const TEventRgb&) const = default;
};

// 0 olive, 1 red, 2 to 4 green, anything else black.
TEventRgb EventKindColour(std::uint8_t kind);

struct TEventLine {
    std::string Text; // code page 1250, at most 255 characters; event texts begin with "- "
    std::uint8_t Kind = 0;
};

// The lines of the event log: the newest last, at most kMaxLines.
class TEventLogModel {
public:
    static constexpr std::size_t kMaxLines = 50;
    static constexpr std::size_t kMaxText = 255;

    // Appends a line (cut to kMaxText, line breaks inside it turned into blanks, so that one event
    // stays one line) and drops the oldest beyond kMaxLines; an empty text adds nothing. Answers
    // whether a line was added.
    bool Add(std::string_view text, std::uint8_t kind);

    const std::deque<TEventLine>& Lines() const { return lines_; }

    // Called after each added line with the line and whether the oldest one was dropped.
    using Observer = std::function<void(const TEventLine& added, bool droppedOldest)>;
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

private:
    std::deque<TEventLine> lines_;
    Observer observer_;
};

} // namespace ravlo
