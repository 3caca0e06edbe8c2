#include "framework/param_record.h"

#include "framework/le_bytes.h"
#include "framework/num_edit_validators.h"
#include "framework/record_validator.h"
#include "framework/short_string_field.h"
#include "framework/string_edit_validator.h"

namespace ravlo {

std::vector<std::uint8_t> MakeParRecord(std::size_t width, std::string_view label, std::string_view units,
                                        std::uint32_t value, std::uint32_t min, std::uint32_t max) {
    std::vector<std::uint8_t> record(ParRecordSize(width));
    const std::span<std::uint8_t> bytes(record);
    PutShortString(bytes.first(kParLabelSize), label);
    PutLEWidth(bytes, kParLabelSize, width, value);
    PutLEWidth(bytes, kParLabelSize + width, width, min);
    PutLEWidth(bytes, kParLabelSize + 2 * width, width, max);
    PutShortString(bytes.last(kParUnitsSize), units);
    return record;
}

std::uint32_t ParRecordValue(std::span<const std::uint8_t> record, std::size_t width) {
    return GetLEWidth(record, kParLabelSize, width);
}

TCtrlValidator& AddParBindings(TCtrlBindings& bindings, std::size_t width, TValControl* label,
                               TValControl* value, TValControl* units) {
    const TCharSet shown = CharRange(32, 255);
    bindings.Add<TTrStringEdit_Validator>(label).Setup(0, kParLabelSize, shown);
    TCtrlValidator* valueValidator = nullptr;
    switch (width) {
    case 1:
        valueValidator = &bindings.Add<TTrByteLimEdit_Validator>(value);
        break;
    case 2:
        valueValidator = &bindings.Add<TTrWordLimEdit_Validator>(value);
        break;
    default:
        valueValidator = &bindings.Add<TTrDWordLimEdit_Validator>(value);
        break;
    }
    bindings.Add<TTrStringEdit_Validator>(units).Setup(0, kParUnitsSize, shown);
    return *valueValidator;
}

} // namespace ravlo
