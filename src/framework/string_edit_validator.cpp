#include "framework/string_edit_validator.h"

#include "framework/short_string_field.h"
#include "framework/string_table.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr int kBadCharsId = 162;

} // namespace

TCharSet CharRange(std::uint8_t first, std::uint8_t last) {
    TCharSet set;
    for (unsigned c = first; c <= last; ++c) {
        set.set(c);
    }
    return set;
}

void TTrStringEdit_Validator::Setup(std::uint16_t options, std::uint16_t maxLen, const TCharSet& allowed) {
    if (maxLen == 0) {
        throw ExcValidators(std::string(ClassName()) + ".Setup MaxLen=0");
    }
    Options = options;
    maxLen_ = maxLen;
    allowed_ = allowed;
}

void TTrStringEdit_Validator::Load(std::span<std::uint8_t> field) {
    FieldPtr = field;
    value_ = GetShortString(field);
    ShowValue();
}

void TTrStringEdit_Validator::ShowValue() {
    if (Control != nullptr) {
        Control->SetText(value_);
    }
}

bool TTrStringEdit_Validator::Validate() {
    if (Control == nullptr) {
        return true;
    }
    std::string text = Control->Text();
    text.resize(std::min<std::size_t>(text.size(), maxLen_ - 1u));
    if ((Options & kValTrimLeft) != 0) {
        text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
    }
    if ((Options & kValTrimRight) != 0) {
        const std::size_t last = text.find_last_not_of(' ');
        text.resize(last == std::string::npos ? 0 : last + 1);
    }
    // A character the code page cannot hold would be stored as "?", and so taken for another text.
    const bool allowed = Control->TextFits() && std::all_of(text.begin(), text.end(), [this](char c) {
                             return allowed_.test(static_cast<std::uint8_t>(c));
                         });
    if (!allowed) {
        const std::string label = Label();
        return Fail(label.empty() ? AppLoadStr(kBadCharsId) : label);
    }
    value_ = std::move(text);
    return true;
}

void TTrStringEdit_Validator::Store() {
    PutShortString(FieldPtr, value_);
}

} // namespace ravlo
