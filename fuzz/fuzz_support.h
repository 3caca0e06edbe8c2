#pragma once

// Helpers shared by the fuzz targets.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace ravlo::fuzz {

// The fuzzer's bytes taken apart front to back; reads past the end give zeros and empty spans, so
// every input is some valid split.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    std::size_t Remaining() const { return bytes_.size() - at_; }
    std::uint8_t Byte();
    // Little-endian.
    std::uint16_t Word();
    // The next count bytes, fewer at the end.
    std::span<const std::uint8_t> Bytes(std::size_t count);
    // The bytes up to the next separator (which is consumed) or the end.
    std::span<const std::uint8_t> Until(std::uint8_t separator);
    std::span<const std::uint8_t> Rest() { return Bytes(Remaining()); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

inline std::string_view AsText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// A folder of this process for the files a reader opens by name; removed when the process ends.
const std::filesystem::path& ScratchFolder();
// Writes the bytes as a file of the scratch folder and answers its path.
std::filesystem::path WriteScratchFile(std::string_view name, std::string_view bytes);

// Message boxes are answered with their default button without showing or logging them.
void SilenceMessageBoxes();

// A property of the reader that must hold for every input: when it does not, tells which and
// aborts, so that the fuzzer keeps the input as a finding.
[[noreturn]] void Fail(std::string_view what);
inline void Check(bool holds, std::string_view what) {
    if (!holds) {
        Fail(what);
    }
}

} // namespace ravlo::fuzz
