#pragma once

#include "framework/byte_stream.h"
#include "framework/obj_stream.h"
#include "framework/streamable.h"
#include "support/scratch_dir.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace ravlo::test {

inline std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    return {values.begin(), values.end()};
}

inline std::vector<std::uint8_t> TextBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

inline std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> bytes;
    for (const std::vector<std::uint8_t>& part : parts) {
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return bytes;
}

// A streamable object that counts the live instances, so tests see when one is freed.
class TCountingObj : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TCountingObj";
    static inline int Live = 0;

    explicit TCountingObj(std::uint16_t value = 0) : Value(value) { ++Live; }
    ~TCountingObj() override { --Live; }

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override { stream.WriteU16(Value); }
    void Load(TrbObjStream& stream) override { Value = stream.ReadU16(); }

    std::uint16_t Value;
};

// The bytes and class names that writeObjects puts into a fresh object stream.
struct WrittenStream {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> classNames;
};

template <class Writer>
WrittenStream WriteObjects(Writer writeObjects) {
    MemoryStream memory;
    TrbObjStream writer(memory, ObjStreamMode::Writing);
    writeObjects(writer);
    return {memory.Data(), writer.ClassNames()};
}

// Reads the first object of written stream bytes as a T (any class for TrbStreamable).
template <class T>
std::unique_ptr<T> ReadObject(const std::vector<std::uint8_t>& bytes,
                              const std::vector<std::string>& classNames) {
    MemoryStream memory(bytes);
    TrbObjStream reader(memory, ObjStreamMode::Reading, classNames);
    if constexpr (std::is_same_v<T, TrbStreamable>) {
        return reader.Get();
    } else {
        return reader.GetAs<T>();
    }
}

template <class T>
std::unique_ptr<T> ReadObject(const WrittenStream& written) {
    return ReadObject<T>(written.bytes, written.classNames);
}

using TempDir = testing::ScratchDir;

} // namespace ravlo::test
