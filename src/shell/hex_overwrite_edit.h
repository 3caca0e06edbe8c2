#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ravlo {

// A hex number edited in overwrite mode behind a fixed "$": a digit replaces the character after
// the caret (or is appended while the text is shorter than its limit) and the caret moves on;
// Backspace turns the character before the caret into "0" and moves back; the caret never goes
// before the first digit, and nothing can remove the "$" or shorten the text.
class THexOverwriteEdit {
public:
    enum class Key { Backspace, Delete, Home, End, Left, Right };

    explicit THexOverwriteEdit(std::size_t limit) : limit_(limit) {}

    const std::string& Text() const { return text_; }
    std::size_t Caret() const { return caret_; }
    std::size_t Limit() const { return limit_; }
    // The value of the digits; nothing when it does not fit 16 bits.
    std::optional<std::uint16_t> Value() const;

    // A text from outside; the "$" is put in front when missing, and a lone "$" becomes "$0". The
    // caret goes after the "$".
    void SetText(std::string_view text);
    // Clamped to the text, never before the first digit.
    void SetCaret(std::size_t caret);
    void SetLimit(std::size_t limit) { limit_ = limit; }

    // A typed character; true when the text changed. Characters other than hex digits are ignored.
    bool Type(char c);
    // True when the text changed.
    bool Press(Key key);

private:
    std::string text_ = "$0";
    std::size_t caret_ = 1;
    std::size_t limit_;
};

} // namespace ravlo
