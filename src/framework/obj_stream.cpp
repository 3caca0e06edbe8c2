#include "framework/obj_stream.h"

#include "framework/padding.h"

#include <algorithm>
#include <array>

namespace ravlo {
namespace {

constexpr std::size_t kMaxClasses = 0x7FFF;

// Keeps the reader's nesting depth right whichever way a Load leaves.
class NestingGuard {
public:
    explicit NestingGuard(int& depth) : depth_(depth) {
        if (++depth_ > TrbObjStream::kMaxNesting) {
            --depth_;
            throw ErbObjStream("Object stream nests objects too deeply");
        }
    }
    ~NestingGuard() { --depth_; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    int& depth_;
};

std::string_view UpToZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::span<std::uint8_t> Bytes(std::string& text) {
    return {reinterpret_cast<std::uint8_t*>(text.data()), text.size()};
}

} // namespace

void ThrowInvalidCast(std::string_view found, std::string_view expected) {
    throw EInvalidCast("Invalid class typecast: " + std::string(found) + " is not " + std::string(expected));
}

TrbObjStream::TrbObjStream(Stream& stream, ObjStreamMode mode, std::span<const std::string> classNames)
    : stream_(stream), mode_(mode), classNames_(classNames.begin(), classNames.end()) {
    if (classNames_.size() > kMaxClasses) {
        throw ErbObjStream("Too many classes in object stream");
    }
    if (mode_ == ObjStreamMode::Reading) {
        for (const std::string& name : classNames_) {
            const StreamFactory factory = FindStreamClass(name);
            if (factory == nullptr) {
                throw ErbObjStream("Class " + name + " not found");
            }
            factories_.push_back(factory);
        }
    }
}

void TrbObjStream::CheckMode(std::initializer_list<ObjStreamMode> allowed) const {
    if (std::find(allowed.begin(), allowed.end(), mode_) == allowed.end()) {
        throw ErbObjStreamWrongMode();
    }
}

std::int16_t TrbObjStream::TypeNo(const TrbStreamable& obj) {
    const std::string_view name = obj.ClassName();
    const auto it = std::find(classNames_.begin(), classNames_.end(), name);
    if (it != classNames_.end()) {
        return static_cast<std::int16_t>(it - classNames_.begin());
    }
    if (classNames_.size() >= kMaxClasses) {
        throw ErbObjStream("Too many classes in object stream");
    }
    classNames_.emplace_back(name);
    return static_cast<std::int16_t>(classNames_.size() - 1);
}

void TrbObjStream::Put(const TrbStreamable* obj) {
    CheckMode({ObjStreamMode::Writing});
    if (obj == nullptr) {
        WriteI16(kNilTypeNo);
        return;
    }
    WriteI16(TypeNo(*obj));
    obj->Store(*this);
}

std::unique_ptr<TrbStreamable> TrbObjStream::Get() {
    CheckMode({ObjStreamMode::Reading});
    const std::int16_t typeNo = ReadI16();
    if (typeNo == kNilTypeNo) {
        return nullptr;
    }
    if (typeNo < 0 || static_cast<std::size_t>(typeNo) >= factories_.size()) {
        throw ErbObjStream("Unknown type number " + std::to_string(typeNo) + " in object stream");
    }
    NestingGuard guard(nesting_);
    std::unique_ptr<TrbStreamable> obj = factories_[static_cast<std::size_t>(typeNo)]();
    obj->InitObj();
    obj->Load(*this);
    return obj;
}

TrbStreamable* TrbObjStream::Get(TrbStreamable& existing) {
    const std::unique_ptr<TrbStreamable> loaded = Get();
    if (!loaded) {
        return nullptr;
    }
    existing.Assign(*loaded);
    return &existing;
}

void TrbObjStream::Write(std::span<const std::uint8_t> data) {
    CheckMode({ObjStreamMode::Writing});
    stream_.WriteBuffer(data);
}

void TrbObjStream::Read(std::span<std::uint8_t> buffer) {
    CheckMode({ObjStreamMode::Reading});
    if (buffer.size() > stream_.Remaining()) {
        throw ErbObjStream("Object stream ends early");
    }
    try {
        stream_.ReadBuffer(buffer);
    } catch (const EStreamError&) {
        throw ErbObjStream("Object stream ends early");
    }
}

void TrbObjStream::WriteStr(std::string_view text) {
    text = text.substr(0, kShortStringMax);
    WriteU8(static_cast<std::uint8_t>(text.size()));
    Write(Bytes(text));
}

std::string TrbObjStream::ReadStr() {
    std::string text(ReadU8(), '\0');
    Read(Bytes(text));
    return text;
}

void TrbObjStream::StrWrite(std::string_view text) {
    text = UpToZero(text);
    WriteI32(static_cast<std::int32_t>(text.size()));
    Write(Bytes(text));
}

std::optional<std::string> TrbObjStream::StrReadOpt() {
    const std::int32_t length = ReadCount(1);
    if (length == 0) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    Read(Bytes(text));
    // The system keeps these texts zero-terminated, so a stored zero ends the text.
    text.resize(UpToZero(text).size());
    return text;
}

void TrbObjStream::WriteU8(std::uint8_t value) {
    Write(std::span(&value, 1));
}

void TrbObjStream::WriteU16(std::uint16_t value) {
    const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(value),
                                            static_cast<std::uint8_t>(value >> 8)};
    Write(bytes);
}

void TrbObjStream::WriteU32(std::uint32_t value) {
    const std::array<std::uint8_t, 4> bytes{
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    Write(bytes);
}

std::uint8_t TrbObjStream::ReadU8() {
    std::uint8_t value = 0;
    Read(std::span(&value, 1));
    return value;
}

std::uint16_t TrbObjStream::ReadU16() {
    std::array<std::uint8_t, 2> bytes{};
    Read(bytes);
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t TrbObjStream::ReadU32() {
    std::array<std::uint8_t, 4> bytes{};
    Read(bytes);
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::int32_t TrbObjStream::ReadCount(std::uint32_t minItemSize) {
    const std::int32_t count = ReadI32();
    if (count < 0) {
        throw ErbObjStream("Negative count " + std::to_string(count) + " in object stream");
    }
    if (static_cast<std::uint64_t>(count) * minItemSize > stream_.Remaining()) {
        throw ErbObjStream("Count " + std::to_string(count) + " exceeds the object stream");
    }
    return count;
}

} // namespace ravlo
