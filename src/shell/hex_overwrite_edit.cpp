#include "shell/hex_overwrite_edit.h"

#include "framework/number_parse.h"

#include <algorithm>
#include <cctype>

namespace ravlo {

std::optional<std::uint16_t> THexOverwriteEdit::Value() const {
    const std::optional<std::uint32_t> value = ValDWord(text_);
    if (!value || *value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(*value);
}

void THexOverwriteEdit::SetText(std::string_view text) {
    text_ = text.starts_with('$') ? std::string(text) : "$" + std::string(text);
    if (text_.size() == 1) {
        text_ += '0';
    }
    caret_ = 1;
}

void THexOverwriteEdit::SetCaret(std::size_t caret) {
    caret_ = std::clamp<std::size_t>(caret, 1, text_.size());
}

bool THexOverwriteEdit::Type(char c) {
    if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
        return false;
    }
    const char digit = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (caret_ < text_.size()) {
        const bool changed = text_[caret_] != digit;
        text_[caret_++] = digit;
        return changed;
    }
    if (text_.size() < limit_) {
        text_ += digit;
        ++caret_;
        return true;
    }
    return false;
}

bool THexOverwriteEdit::Press(Key key) {
    switch (key) {
    case Key::Backspace:
        if (caret_ > 1) {
            --caret_;
            const bool changed = text_[caret_] != '0';
            text_[caret_] = '0';
            return changed;
        }
        return false;
    case Key::Home:
        caret_ = 1;
        return false;
    case Key::End:
        caret_ = text_.size();
        return false;
    case Key::Left:
        SetCaret(caret_ - 1);
        return false;
    case Key::Right:
        SetCaret(caret_ + 1);
        return false;
    case Key::Delete:
        return false;
    }
    return false;
}

} // namespace ravlo
