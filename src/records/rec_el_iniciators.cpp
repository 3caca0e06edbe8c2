#include "records/rec_el_iniciators.h"

#include "framework/date_text.h"
#include "framework/number_parse.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "records/field_bytes.h"
#include "records/ttc_time.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <type_traits>

namespace ravlo {

void TRecElIniciatorObj::Store(TrbObjStream& stream) const {
    stream.WriteStr(Name);
}

void TRecElIniciatorObj::Load(TrbObjStream& stream) {
    Name = CutText(stream.ReadStr(), kNameMax);
}

template <class T>
std::string TNumElIniciator<T>::HexText(T value) {
    const auto bits = static_cast<std::make_unsigned_t<T>>(value);
    if constexpr (sizeof(T) == 1) {
        return "$" + HexB(bits);
    } else if constexpr (sizeof(T) == 2) {
        return "$" + HexW(bits);
    } else {
        return "$" + HexDW(bits);
    }
}

template <class T>
void TNumElIniciator<T>::AssignValue(std::span<std::uint8_t> dest) const {
    PutLE(dest, 0, Value);
}

template <class T>
void TNumElIniciator<T>::WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) {
    writer.WrPChar(HexText(GetLE<T>(src)));
}

template class TNumElIniciator<std::uint8_t>;
template class TNumElIniciator<std::uint16_t>;
template class TNumElIniciator<std::int16_t>;
template class TNumElIniciator<std::int32_t>;
template class TNumElIniciator<std::uint32_t>;

bool TByteElIniciatorObj::ReadValue(TLexReader& reader) {
    Take(reader, reader.ReadByte());
    return false;
}

bool TWordElIniciatorObj::ReadValue(TLexReader& reader) {
    Take(reader, reader.ReadWord());
    return false;
}

bool TIntegerElIniciatorObj::ReadValue(TLexReader& reader) {
    Take(reader, reader.ReadInteger());
    return false;
}

void TDWordElIniciatorObj::Store(TrbObjStream& stream) const {
    TNumElIniciator::Store(stream);
    stream.WriteU8(Mode);
}

void TDWordElIniciatorObj::Load(TrbObjStream& stream) {
    TNumElIniciator::Load(stream);
    Mode = stream.ReadU8();
}

bool TDWordElIniciatorObj::ReadValue(TLexReader& reader) {
    Take(reader, reader.ReadDWord(Mode));
    return false;
}

void TDWordElIniciatorObj::WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) {
    const auto value = GetLE<std::uint32_t>(src);
    switch (Mode) {
    case TLexReader::kDWordDosTime:
        writer.WrPChar(FileDateStr(static_cast<std::int32_t>(value)));
        break;
    case TLexReader::kDWordTTCTime:
        writer.WrPChar(TTCTimeStr(value));
        break;
    default:
        writer.WrPChar(HexText(value));
        break;
    }
}

bool TDBPtrElIniciatorObj::ReadValue(TLexReader& reader) {
    Take(reader, reader.ReadWord());
    return !reader.ErrorFlag() && Value < kNoRefAdr;
}

void TDBPtrElIniciatorObj::SetRefObj(std::unique_ptr<TrbStreamable> obj, std::uint16_t adr) {
    RefObj = std::move(obj);
    Value = adr;
}

void TDBPtrElIniciatorObj::PutRefObj(TrbCollection* coll) {
    if (coll != nullptr && RefObj) {
        // A collection that refuses the object hands it back; it is freed then.
        coll->Insert(std::move(RefObj));
    }
}

void TDBPtrElIniciatorObj::WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) {
    Value = GetLE<std::uint16_t>(src);
    writer.WrPChar(HexText(Value));
}

TrbStreamable* TDBPtrElIniciatorObj::FindRefItem(const TrbCollection* coll) {
    if (coll == nullptr || Value >= kNoRefAdr) {
        return nullptr;
    }
    for (std::int32_t i = 0; i < coll->Count(); ++i) {
        TrbStreamable* item = coll->At(i);
        const auto* addressed = dynamic_cast<const TInstAddressed*>(item);
        if (addressed != nullptr && addressed->InstAddress() == Value) {
            Value = kNoRefAdr;
            return item;
        }
    }
    return nullptr;
}

void TRealpElIniciatorObj::Store(TrbObjStream& stream) const {
    TRecElIniciatorObj::Store(stream);
    WriteBytes(stream, Value);
}

void TRealpElIniciatorObj::Load(TrbObjStream& stream) {
    TRecElIniciatorObj::Load(stream);
    Value = ReadBytes<kReal48Size>(stream);
}

void TRealpElIniciatorObj::AssignValue(std::span<std::uint8_t> dest) const {
    PutBytes(dest, Value);
}

bool TRealpElIniciatorObj::ReadValue(TLexReader& reader) {
    const double value = reader.ReadReal();
    if (!reader.ErrorFlag()) {
        Value = DoubleToReal48Clamped(value);
    }
    return false;
}

void TRealpElIniciatorObj::WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) {
    // The full scientific form (15 digits) brings every 6-byte real back unchanged.
    constexpr int kWidth = 23;
    std::string text = RealExpStr(Real48ToDouble(src), kWidth);
    std::erase(text, ' ');
    writer.WrPChar(text);
}

namespace {

std::string Translated(std::string text, std::uint8_t from, std::uint8_t to) {
    if (from != to) {
        std::replace(text.begin(), text.end(), static_cast<char>(from), static_cast<char>(to));
    }
    return text;
}

} // namespace

void TPStrElIniciatorObj::Store(TrbObjStream& stream) const {
    TRecElIniciatorObj::Store(stream);
    stream.WriteU8(Size);
    stream.StrWrite(Text);
    stream.WriteU8(IntChar);
    stream.WriteU8(ExtChar);
}

void TPStrElIniciatorObj::Load(TrbObjStream& stream) {
    TRecElIniciatorObj::Load(stream);
    Size = stream.ReadU8();
    Text = stream.StrRead();
    IntChar = stream.ReadU8();
    ExtChar = stream.ReadU8();
}

void TPStrElIniciatorObj::AssignValue(std::span<std::uint8_t> dest) const {
    const std::span<std::uint8_t> element = dest.first(std::min<std::size_t>(dest.size(), Size));
    std::fill(element.begin(), element.end(), std::uint8_t{0});
    PutShortString(element, Text);
}

bool TPStrElIniciatorObj::ReadValue(TLexReader& reader) {
    std::string text = reader.ReadString();
    // A text the element has no room for is refused rather than cut.
    const std::size_t room = Size > 0 ? Size - 1u : 0u;
    if (!reader.ErrorFlag() && text.size() > room) {
        reader.LexError(TLexReader::kSemanticError, "text of " + std::to_string(text.size()) +
                                                        " characters <0;" + std::to_string(room) + "> ");
    }
    if (!reader.ErrorFlag()) {
        Text = Translated(std::move(text), ExtChar, IntChar);
    }
    return false;
}

void TPStrElIniciatorObj::WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) {
    const std::string text = GetShortString(src.first(std::min<std::size_t>(src.size(), Size)));
    writer.WrPChar(StringValueText(Translated(text, IntChar, ExtChar)));
}

template <class T>
int TSpecElIniciator<T>::DecimalPlaces() const {
    if (Decimals == 0) {
        return 0;
    }
    return Decimals <= 4 ? Decimals : -1;
}

int TSpecWordElIniciatorObj::DecimalPlaces() const {
    if (Decimals <= 1) {
        return 0;
    }
    return Decimals <= 5 ? Decimals - 1 : -1;
}

template <class T>
bool TSpecElIniciator<T>::ReadValue(TLexReader& reader) {
    const int places = DecimalPlaces();
    if (places == 0) {
        this->Take(reader, ReadPlain(reader));
        return false;
    }
    double value = reader.ReadReal();
    if (places > 0) {
        value *= Pow10R(places);
    }
    // The long integer keeps off its lowest value, as the integer reader does.
    constexpr double kLow = std::is_signed_v<T> ? -static_cast<double>(std::numeric_limits<T>::max()) -
                                                      (sizeof(T) < 4 ? 1.0 : 0.0)
                                                : 0.0;
    constexpr double kHigh = static_cast<double>(std::numeric_limits<T>::max());
    this->Take(reader, static_cast<T>(std::llround(std::clamp(value, kLow, kHigh))));
    return false;
}

template <class T>
void TSpecElIniciator<T>::WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) {
    const int places = DecimalPlaces();
    const T value = GetLE<T>(src);
    if (places == 0) {
        writer.WrPChar(this->HexText(value));
    } else if (places > 0) {
        writer.WrPChar(RealStr(static_cast<double>(value) / Pow10R(places), 0, places));
    }
}

template class TSpecElIniciator<std::uint16_t>;
template class TSpecElIniciator<std::int16_t>;
template class TSpecElIniciator<std::int32_t>;

void THexBuffElIniciatorObj::Store(TrbObjStream& stream) const {
    TRecElIniciatorObj::Store(stream);
    stream.WriteU16(GetElSize());
    stream.Write(Bytes);
}

void THexBuffElIniciatorObj::Load(TrbObjStream& stream) {
    TRecElIniciatorObj::Load(stream);
    Bytes.assign(stream.ReadU16(), 0);
    stream.Read(Bytes);
}

void THexBuffElIniciatorObj::AssignValue(std::span<std::uint8_t> dest) const {
    PutBytes(dest, Bytes);
}

namespace {

bool IsHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

} // namespace

bool THexBuffElIniciatorObj::ReadValue(TLexReader& reader) {
    const std::string text = reader.ReadString();
    if (reader.ErrorFlag()) {
        return false;
    }
    constexpr std::string_view kSkipped = " (),;[]";
    std::vector<std::uint8_t> read(Bytes.size(), 0);
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (kSkipped.find(text[i]) != std::string_view::npos) {
            ++i;
            continue;
        }
        // A run of hex digits gives bytes of two digits each; any other character is a token of
        // its own, which is no number.
        std::size_t length = 1;
        if (IsHexDigit(text[i])) {
            length = (i + 1 < text.size() && IsHexDigit(text[i + 1])) ? 2 : 1;
        }
        const std::string token = text.substr(i, length);
        const std::optional<std::uint32_t> value = ValDWord("$" + token);
        if (!value || count >= read.size()) {
            reader.LexError(TLexReader::kSemanticError, token);
            return false;
        }
        read[count++] = static_cast<std::uint8_t>(*value);
        i += length;
    }
    Bytes = std::move(read);
    return false;
}

void THexBuffElIniciatorObj::WriteRecValue(std::span<const std::uint8_t> src, TLexWriter& writer) {
    std::span<const std::uint8_t> bytes = src.first(std::min(src.size(), Bytes.size()));
    while (!bytes.empty() && bytes.back() == 0) {
        bytes = bytes.first(bytes.size() - 1);
    }
    std::string text = "'";
    for (const std::uint8_t b : bytes) {
        text += HexB(b);
    }
    text += '\'';
    writer.WrPChar(text);
}

} // namespace ravlo
