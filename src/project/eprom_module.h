#pragma once

#include "project/q_collection.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// What put an entry into the EPROM image list.
enum class TRomModuleType : std::uint8_t {
    Application = 0, // one per ROM module of the project; neither deleted nor edited
    Bios = 1,        // at most one
    BiosSetup = 2,   // at most one
    UserBin = 3,     // the only kind whose address can be edited
};

// "Application", "BIOS", "BIOS Setup", "User BIN file".
std::string_view RomModuleTypeName(TRomModuleType type);
// The type of a stored name, case ignored: the names of the first three types give them, any other
// text a user file.
TRomModuleType RomModuleTypeOfName(std::string_view name);

inline constexpr std::size_t kRomModuleNameMax = 20;
inline constexpr std::size_t kRomModuleFileMax = 255;

// One entry of the image list: a file placed at a linear board address.
struct tRomModule {
    std::string Name;
    std::uint32_t Addr = 0; // linear, 20 bits used
    std::uint32_t Size = 0;
    TRomModuleType Type = TRomModuleType::UserBin;
    // Relative to ProjectDir unless it is absolute (code page 1250 text, as stored).
    std::string File;

    // Cuts Name and File to their stored lengths.
    void Clip();
    // The last byte's address (the start itself for an empty entry).
    std::uint32_t EndAddr() const { return Size == 0 ? Addr : Addr + Size - 1; }
};

// The image list in address order (equal addresses keep their order of adding).
class tRomModuleList : public tqSortedCollection<tRomModule> {
public:
    tRomModuleList();
    bool Changed = false;
};

// An address or size as the list and the settings show it: "$" and at least five hex digits.
std::string AddrText(std::uint32_t value);

// The entry name of a chosen file: its name without folder and without the text from the first ".".
std::string RomModuleNameOfFile(const std::filesystem::path& file);

// A stored file name as a path: an absolute name as it is; else ProjectDir with a leading "./"
// dropped and each leading "../" taking off one level of ProjectDir. A file that exists in another
// case is found.
std::filesystem::path ResolveProjectFile(std::string_view stored);

// A chosen path as it is stored: relative to ProjectDir ("/" between parts), or absolute when no
// project folder is known.
std::string ProjectRelativeName(const std::filesystem::path& file);

} // namespace ravlo
