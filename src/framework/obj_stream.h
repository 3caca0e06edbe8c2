#pragma once

#include "framework/byte_stream.h"
#include "framework/streamable.h"
#include "platform/exception.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// A malformed object stream or one that cannot be read with the registered classes.
class ErbObjStream : public Exception {
public:
    using Exception::Exception;
};

// An object stream used in the direction it was not opened for.
class ErbObjStreamWrongMode : public ErbObjStream {
public:
    ErbObjStreamWrongMode() : ErbObjStream("RBStream Mode Err") {}
};

enum class ObjStreamMode : std::uint8_t { Reading = 1, Writing = 2 };

// Objects written to or read from a byte stream, little-endian: each object is an i16 type number
// (-1 for none) followed by its own Store data. Type numbers are per stream: the writer numbers
// classes in the order they first occur; the reader is given those class names in that order.
class TrbObjStream {
public:
    static constexpr std::int16_t kNilTypeNo = -1;
    // Objects nested deeper than this are taken for a corrupt stream (the reader recurses).
    static constexpr int kMaxNesting = 200;

    // A reader resolves the class names in the registry at once; an unknown one raises
    // ErbObjStream.
    TrbObjStream(Stream& stream, ObjStreamMode mode, std::span<const std::string> classNames = {});

    Stream& GetStream() { return stream_; }
    ObjStreamMode Mode() const { return mode_; }
    // The class names in type-number order.
    const std::vector<std::string>& ClassNames() const { return classNames_; }

    void CheckMode(std::initializer_list<ObjStreamMode> allowed) const;

    // The number of obj's class in this stream; a class not met before takes the next number.
    std::int16_t TypeNo(const TrbStreamable& obj);

    void Put(const TrbStreamable* obj);
    // The next object, nullptr for a nil reference.
    std::unique_ptr<TrbStreamable> Get();
    // The next object assigned to existing, which is the result; a nil reference leaves
    // existing untouched and gives nullptr.
    TrbStreamable* Get(TrbStreamable& existing);
    // The next object, which must be nil or of class T; another class raises EInvalidCast.
    template <class T>
    std::unique_ptr<T> GetAs();

    void Write(std::span<const std::uint8_t> data);
    // Raises ErbObjStream when the stream holds fewer bytes than asked for.
    void Read(std::span<std::uint8_t> buffer);

    // Short string: a length byte and at most 255 characters (a longer text is cut).
    void WriteStr(std::string_view text);
    std::string ReadStr();

    // Zero-terminated text: i32 length (0 for a nil or empty text) and the characters up to the
    // first zero byte, no terminator.
    void StrWrite(std::string_view text);
    std::optional<std::string> StrReadOpt();
    std::string StrRead() { return StrReadOpt().value_or(std::string()); }

    void WriteU8(std::uint8_t value);
    void WriteU16(std::uint16_t value);
    void WriteI16(std::int16_t value) { WriteU16(static_cast<std::uint16_t>(value)); }
    void WriteU32(std::uint32_t value);
    void WriteI32(std::int32_t value) { WriteU32(static_cast<std::uint32_t>(value)); }
    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::int16_t ReadI16() { return static_cast<std::int16_t>(ReadU16()); }
    std::uint32_t ReadU32();
    std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }

    // Reads an i32 count of items each at least minItemSize bytes long; a negative count or one
    // that the rest of the stream cannot hold raises ErbObjStream.
    std::int32_t ReadCount(std::uint32_t minItemSize);

private:
    Stream& stream_;
    ObjStreamMode mode_;
    std::vector<std::string> classNames_;
    std::vector<StreamFactory> factories_;
    int nesting_ = 0;
};

// Raises EInvalidCast naming the class found and the class expected.
[[noreturn]] void ThrowInvalidCast(std::string_view found, std::string_view expected);

template <class T>
std::unique_ptr<T> TrbObjStream::GetAs() {
    std::unique_ptr<TrbStreamable> obj = Get();
    if (!obj) {
        return nullptr;
    }
    T* typed = dynamic_cast<T*>(obj.get());
    if (typed == nullptr) {
        ThrowInvalidCast(obj->ClassName(), T::kClassName);
    }
    obj.release();
    return std::unique_ptr<T>(typed);
}

} // namespace ravlo
