#pragma once

#include "framework/collection.h"
#include "framework/obj_stream.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace ravlo {

// The next object of a stream, which must be nil or of class T. The record descriptions take an
// object of another class for a damaged stream: it raises ErbObjStream, like any other fault of
// the stream they are read from.
template <class T>
std::unique_ptr<T> GetStreamObject(TrbObjStream& stream) {
    std::unique_ptr<TrbStreamable> obj = stream.Get();
    if (!obj) {
        return nullptr;
    }
    T* typed = dynamic_cast<T*>(obj.get());
    if (typed == nullptr) {
        throw ErbObjStream("Object stream holds a " + std::string(obj->ClassName()) + " where a " +
                           std::string(T::kClassName) + " belongs");
    }
    obj.release();
    return std::unique_ptr<T>(typed);
}

// Numbers of one, two or four bytes, by their type.
template <class T>
void WriteNumber(TrbObjStream& stream, T value) {
    static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4);
    if constexpr (sizeof(T) == 1) {
        stream.WriteU8(static_cast<std::uint8_t>(value));
    } else if constexpr (sizeof(T) == 2) {
        stream.WriteU16(static_cast<std::uint16_t>(value));
    } else {
        stream.WriteU32(static_cast<std::uint32_t>(value));
    }
}

template <class T>
T ReadNumber(TrbObjStream& stream) {
    static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4);
    if constexpr (sizeof(T) == 1) {
        return static_cast<T>(stream.ReadU8());
    } else if constexpr (sizeof(T) == 2) {
        return static_cast<T>(stream.ReadU16());
    } else {
        return static_cast<T>(stream.ReadU32());
    }
}

// Raw bytes of a fixed count.
template <std::size_t N>
void WriteBytes(TrbObjStream& stream, const std::array<std::uint8_t, N>& bytes) {
    stream.Write(bytes);
}

template <std::size_t N>
std::array<std::uint8_t, N> ReadBytes(TrbObjStream& stream) {
    std::array<std::uint8_t, N> bytes{};
    stream.Read(bytes);
    return bytes;
}

// A collection of the record descriptions that holds items of one class.
template <class Item>
class TRecordsCollection : public TrbTypedCollection<Item> {
protected:
    std::unique_ptr<TrbStreamable> LoadItem(TrbObjStream& stream) override {
        return GetStreamObject<Item>(stream);
    }
};

} // namespace ravlo
