#include "voksim/board_memory.h"

#include "platform/exception.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace ravlo::voksim {

std::vector<std::uint8_t> BoardMemory::ReadBlock(std::uint32_t lin, std::size_t count) const {
    std::vector<std::uint8_t> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = Read(static_cast<std::uint32_t>(lin + i));
    }
    return out;
}

void BoardMemory::WriteBlock(std::uint32_t lin, std::span<const std::uint8_t> data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        bytes_[(lin + i) % kSize] = data[i];
    }
}

std::uint8_t BoardMemory::Sum(std::uint32_t lin, std::size_t count) const {
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += Read(static_cast<std::uint32_t>(lin + i));
    }
    return static_cast<std::uint8_t>(sum & 0xFF);
}

void BoardMemory::LoadFile(const std::filesystem::path& file, std::uint32_t lin) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw EStreamError("cannot open " + file.string());
    }
    const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
    if (in.bad()) {
        throw EStreamError("cannot read " + file.string());
    }
    if (lin >= kSize || data.size() > kSize - lin) {
        throw EStreamError(file.string() + " (" + std::to_string(data.size()) +
                           " bytes) does not fit below 1 MB at that address");
    }
    WriteBlock(lin, data);
}

void BoardMemory::SaveFile(const std::filesystem::path& file) const {
    WriteFileAtomically(file, bytes_);
}

void WriteFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    std::filesystem::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw EStreamError("cannot write " + temp.string());
        }
    }
    std::error_code error;
    std::filesystem::rename(temp, file, error);
    if (error) {
        std::filesystem::remove(temp, error);
        throw EStreamError("cannot rename " + temp.string() + " to " + file.string());
    }
}

} // namespace ravlo::voksim
