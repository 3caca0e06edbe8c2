#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <span>
#include <vector>

namespace ravlo {

// The 28 bytes of an MZ header as stored (e_ovno is not read).
struct TMzHeader {
    static constexpr std::size_t kSize = 28;
    static constexpr std::uint16_t kMagic = 0x5A4D; // "MZ"

    std::uint16_t e_magic = 0;
    std::uint16_t e_cblp = 0;
    std::uint16_t e_cp = 0;
    std::uint16_t e_crlc = 0;
    std::uint16_t e_cparhdr = 0;
    std::uint16_t e_minalloc = 0;
    std::uint16_t e_maxalloc = 0;
    std::uint16_t e_ss = 0;
    std::uint16_t e_sp = 0;
    std::uint16_t e_csum = 0;
    std::uint16_t e_ip = 0;
    std::uint16_t e_cs = 0;
    std::uint16_t e_lfarlc = 0;

    static TMzHeader Parse(std::span<const std::uint8_t, kSize> bytes);
};

// One segment fixup of the load image: the word at Segment:Offset holds a relative segment.
struct TExeReloc {
    std::uint16_t Offset = 0;
    std::uint16_t Segment = 0;

    std::uint32_t ImageOffset() const { return static_cast<std::uint32_t>(Segment) * 16 + Offset; }
};

// An open real-mode MZ executable: its header, and at generation its relocation table and image.
class tExeFile {
public:
    // Opens and checks the file; every failure is shown ("Could not open file: ", "Could not read
    // from file: ", "Invalid Exe format in " + name) and gives null.
    static std::unique_ptr<tExeFile> Open(const std::filesystem::path& fileName);
    // A closed object for the file; Open is the way to an object that has read its header.
    explicit tExeFile(std::filesystem::path fileName) : fileName_(std::move(fileName)) {}

    const TMzHeader& Header() const { return header_; }
    const std::filesystem::path& FileName() const { return fileName_; }
    // e_cparhdr * 16.
    std::uint32_t HeaderSize() const { return headerSize_; }
    // The program's bytes after the header: (e_cp - 1) * 512 + the last page (e_cblp, 0 = 512)
    // - the header size.
    std::uint32_t LoadImageSize() const { return loadImageSize_; }

    // Reads the relocation table (reopening the file); false after a message when it cannot be read
    // or an entry lies outside the load image.
    bool ReadRelocations();
    const std::vector<TExeReloc>& Relocations() const { return relocations_; }
    // Reads load-image bytes from imageOffset on; false when the file is shorter.
    bool ReadImage(std::uint32_t imageOffset, std::span<std::uint8_t> dest);
    // Closes the file and frees the relocation table.
    void Close();

private:
    bool Reopen();

    std::filesystem::path fileName_;
    std::ifstream file_;
    TMzHeader header_;
    std::uint32_t headerSize_ = 0;
    std::uint32_t loadImageSize_ = 0;
    std::vector<TExeReloc> relocations_;
};

} // namespace ravlo
