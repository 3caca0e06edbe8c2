#include "framework/param_obj.h"

#include "framework/number_text.h"

#include <cstring>

namespace ravlo {
namespace {

const void* FieldAddress(const void* base, std::uint16_t offset) {
    return base == nullptr ? nullptr : static_cast<const std::uint8_t*>(base) + offset;
}

} // namespace

TParamObj::TParamObj(const void* base, std::uint8_t width, std::uint16_t flags, std::uint16_t offset)
    : Base(base), Offset(offset), Flags(flags), Width(width), ValuePtr(FieldAddress(base, offset)) {}

void TParamObj::SetBase(const void* base, std::uint16_t offset) {
    Base = base;
    Offset = offset;
    ValuePtr = FieldAddress(base, offset);
}

bool TParamObj::Changed(const void* base) {
    return Base == base;
}

std::string TParamObj::FormatValue() const {
    return {};
}

template <typename T, T kNoValue>
TTypedParamObj<T, kNoValue>::TTypedParamObj(const void* base, std::uint8_t width, std::uint16_t flags,
                                            std::uint16_t offset, T min, T max)
    : TParamObj(base, width, flags, offset), Last(kNoValue), Min(min), Max(max) {
    Last = Current();
}

template <typename T, T kNoValue>
T TTypedParamObj<T, kNoValue>::Current() const {
    if (ValuePtr == nullptr) {
        return kNoValue;
    }
    // The field may sit at any offset of a packed record.
    T value;
    std::memcpy(&value, ValuePtr, sizeof(T));
    return value;
}

template <typename T, T kNoValue>
bool TTypedParamObj<T, kNoValue>::Changed(const void* base) {
    // Without a field there is nothing to compare, even when the notification's base is nil too.
    if (Base != base || ValuePtr == nullptr) {
        return false;
    }
    const T value = Current();
    if (value == Last) {
        return false;
    }
    Last = value;
    return true;
}

template class TTypedParamObj<std::uint8_t, 255>;
template class TTypedParamObj<std::uint16_t, 65535>;
template class TTypedParamObj<std::int32_t, -1>;

std::string TByteParamObj::FormatValue() const {
    if (ShowsBlank()) {
        return Blanks();
    }
    return (Flags & kParamHex) != 0 ? "$" + HexB(Last) : ByteStr(Last, Width);
}

std::string TWordParamObj::FormatValue() const {
    if (ShowsBlank()) {
        return Blanks();
    }
    return (Flags & kParamHex) != 0 ? "$" + HexW(Last) : WordStr(Last, Width);
}

std::string TIntegerParamObj::FormatValue() const {
    if (ShowsBlank()) {
        return Blanks();
    }
    return (Flags & kParamHex) != 0 ? "$" + HexW(static_cast<std::uint16_t>(Last & 0xFFFF))
                                    : LIntStr(Last, Width);
}

} // namespace ravlo
