#include "voksim/io_ports.h"

#include "voksim/board_memory.h"

#include <cstdio>
#include <string>

namespace ravlo::voksim {

std::uint16_t IoPorts::ReadWord(std::uint16_t port) const {
    return static_cast<std::uint16_t>(ports_[port] | (ports_[static_cast<std::uint16_t>(port + 1)] << 8));
}

void IoPorts::WriteByte(std::uint16_t port, std::uint8_t value) {
    ports_[port] = value;
    writes_.push_back({port, 1, value});
}

void IoPorts::WriteWord(std::uint16_t port, std::uint16_t value) {
    ports_[port] = static_cast<std::uint8_t>(value & 0xFF);
    ports_[static_cast<std::uint16_t>(port + 1)] = static_cast<std::uint8_t>(value >> 8);
    writes_.push_back({port, 2, value});
}

void IoPorts::SaveLog(const std::filesystem::path& file) const {
    std::string text;
    for (const Write& write : writes_) {
        char line[48];
        std::snprintf(line, sizeof line,
                      write.width == 1 ? "port=$%04X width=1 value=$%02X\n"
                                       : "port=$%04X width=2 value=$%04X\n",
                      unsigned{write.port}, unsigned{write.value});
        text += line;
    }
    WriteFileAtomically(file, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

} // namespace ravlo::voksim
