#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace ravlo::voksim {

// The board's 1 MB of memory, zero at power-on. Addresses are linear and wrap at 1 MB.
class BoardMemory {
public:
    static constexpr std::uint32_t kSize = 0x100000;

    BoardMemory() : bytes_(kSize, 0) {}

    std::uint8_t Read(std::uint32_t lin) const { return bytes_[lin % kSize]; }
    std::vector<std::uint8_t> ReadBlock(std::uint32_t lin, std::size_t count) const;
    void WriteBlock(std::uint32_t lin, std::span<const std::uint8_t> data);
    // Sum of count bytes from lin, modulo 256.
    std::uint8_t Sum(std::uint32_t lin, std::size_t count) const;

    // Copies a whole file to lin; a file that does not fit below 1 MB is refused (EStreamError).
    void LoadFile(const std::filesystem::path& file, std::uint32_t lin);
    // Writes all 1 MB, through a temporary name renamed into place.
    void SaveFile(const std::filesystem::path& file) const;

private:
    std::vector<std::uint8_t> bytes_;
};

// Writes bytes to file through a temporary name in the same folder, renamed into place.
void WriteFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

} // namespace ravlo::voksim
