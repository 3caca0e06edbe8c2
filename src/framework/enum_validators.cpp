#include "framework/enum_validators.h"

#include "framework/app_data.h"
#include "framework/checked_conversions.h"
#include "framework/le_bytes.h"
#include "framework/number_text.h"

#include <algorithm>
#include <bit>

namespace ravlo {

void TTrEnum_Validator::SetUp(std::uint16_t options, std::int32_t typeIndex, std::uint8_t mask,
                              std::uint8_t min, std::uint8_t max) {
    const int shift = mask == 0 ? 0 : std::countr_zero(mask);
    const unsigned run = static_cast<unsigned>(mask) >> shift;
    // A shift by the width of the type is undefined, and a mask with gaps would cut stored values.
    if (mask == 0 || (run & (run + 1)) != 0) {
        throw ExcValidators(std::string(ClassName()) + ".Setup Mask=$" + HexB(mask));
    }
    Options = options;
    typeIndex_ = typeIndex;
    mask_ = mask;
    shift_ = static_cast<std::uint8_t>(shift);
    min_ = min;
    max_ = static_cast<std::uint8_t>(std::min<unsigned>(max, run));
}

TEnumTypeDefStrings* TTrEnum_Validator::Strings() const {
    return AppExtension().GetEnumStrings(typeIndex_);
}

void TTrEnum_Validator::Load(std::span<std::uint8_t> field) {
    FieldPtr = field;
    if (typeInField_) {
        typeIndex_ = GetLE<std::int32_t>(field, 1);
    }
    value_ = static_cast<std::uint8_t>((field[0] & mask_) >> shift_);
    ShowValue();
}

void TTrEnum_Validator::ShowEmpty() {
    Control->SetItemIndex(-1);
    Control->SetText({});
}

void TTrEnum_Validator::ShowValue() {
    if (Control == nullptr) {
        return;
    }
    const TEnumTypeDefStrings* strings = Strings();
    const std::int32_t count = strings != nullptr ? strings->GetCount() : 0;
    std::vector<std::string> items;
    for (std::int32_t i = 0; i < count; ++i) {
        items.push_back(strings->Get(i));
    }
    Control->SetItems(items);
    const std::int32_t index = strings != nullptr ? strings->ItemOfValue(value_) : -1;
    if (index >= 0 && index < count) {
        Control->SetItemIndex(index);
        return;
    }
    Control->SetItemIndex(-1);
    Control->SetText((Options & kValHex) != 0 ? "$" + HexB(value_) : ByteStr(value_));
}

std::string TTrEnum_Validator::RangeText() const {
    return " <" + ByteStr(min_) + ";" + ByteStr(max_) + ">";
}

std::string TTrEnum_Validator::Check(std::uint8_t& value) const {
    const TEnumTypeDefStrings* strings = Strings();
    const std::int32_t count = strings != nullptr ? strings->GetCount() : 0;
    std::int32_t index = Control->ItemIndex();
    const std::string typed = Control->Text();
    if (index < 0 || index >= count) {
        index = -1;
        for (std::int32_t i = 0; i < count && index < 0; ++i) {
            index = strings->Get(i) == typed ? i : -1;
        }
    }
    if (index >= 0) {
        const std::int32_t entryValue = strings->ValueOfItem(index);
        if (entryValue < min_ || entryValue > max_) {
            return ctrlClass_ == TCtrlClass::RadioGroup ? "hodnota mimo meze" + RangeText()
                                                        : IntStr(entryValue) + " out of" + RangeText();
        }
        value = static_cast<std::uint8_t>(entryValue);
        return {};
    }
    std::string text = typed;
    std::int32_t number = 0;
    if (!StrToIntChk(text, 255, number, 0, max_, min_)) {
        // The conversion's message ends in a blank meant for a range text; the range follows here.
        text.erase(text.find_last_not_of(' ') + 1);
        return text + RangeText();
    }
    value = static_cast<std::uint8_t>(number);
    return {};
}

bool TTrEnum_Validator::Validate() {
    if (Control == nullptr) {
        return true;
    }
    std::uint8_t value = 0;
    const std::string reason = Check(value);
    if (!reason.empty()) {
        return Fail("Enum Err: " + reason);
    }
    value_ = value;
    return true;
}

void TTrEnum_Validator::Store() {
    FieldPtr[0] = static_cast<std::uint8_t>((FieldPtr[0] & ~mask_) | ((value_ << shift_) & mask_));
}

} // namespace ravlo
