#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace ravlo::voksim {

// The board's 64 K byte-wide IO ports. A port reads what was preset or last written to it, and
// 0xFF (a floating bus) otherwise. A word access covers the port and the next one, low byte first.
class IoPorts {
public:
    struct Write {
        std::uint16_t port = 0;
        std::uint8_t width = 1;
        std::uint16_t value = 0;
    };

    IoPorts() : ports_(0x10000, 0xFF) {}

    void Preset(std::uint16_t port, std::uint8_t value) { ports_[port] = value; }
    std::uint8_t ReadByte(std::uint16_t port) const { return ports_[port]; }
    std::uint16_t ReadWord(std::uint16_t port) const;
    void WriteByte(std::uint16_t port, std::uint8_t value);
    void WriteWord(std::uint16_t port, std::uint16_t value);

    const std::vector<Write>& Writes() const { return writes_; }
    // One line a write: "port=$0080 width=1 value=$5A".
    void SaveLog(const std::filesystem::path& file) const;

private:
    std::vector<std::uint8_t> ports_;
    std::vector<Write> writes_;
};

} // namespace ravlo::voksim
