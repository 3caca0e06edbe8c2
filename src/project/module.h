#pragma once

#include "project/mod_unit.h"
#include "project/q_collection.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

class TBinBuilder;
class TBoardDownloader;

// The memory type of a module.
enum class ModuleT : std::uint8_t {
    NIL = 0,  // no units
    IROM = 1, // RAM that receives copied code
    RAM = 2,
    ROM = 3,
};

// "NIL", "IROM", "RAM", "ROM"; another value "ModuleT_#" and its number.
std::string ModuleTName(ModuleT type);

// Module names are kept to this many characters (also the .BIN file name).
inline constexpr std::size_t kModuleNameMax = 20;

// One memory module of the design, owning the units placed in it (the same class holds the
// unplaced units). Units are kept in CompareModUnits order.
class tModule : public tqSortedCollection<tModUnit> {
public:
    tModule();
    tModule(std::string_view name, std::uint16_t address, std::uint32_t length);

    void SetName(std::string_view name) { Name = std::string(name.substr(0, kModuleNameMax)); }

    std::string Name;
    // Start segment.
    std::uint16_t Address = 0;
    // Size in bytes.
    std::uint32_t Length = 0;
    // Sum of the rounded sizes of the units, kept by Insert and Remove.
    std::uint32_t Used = 0;
    // Length of the generated .BIN, or of the file found on disk.
    std::uint32_t ModuleLength = 0;

    // The type that the module's lowest unit kind gives (NIL without units). With check set, the
    // first unit that does not suit that type is reported in a message box.
    ModuleT GetMemType(bool check = false) const;
    // The one type of the module, used everywhere: the one its units give.
    ModuleT MemType() const { return GetMemType(false); }
    // The message for the first unit that does not suit the type of the module ("Data unit in code
    // segment." or "Code unit in data segment."), nothing when all suit it.
    std::optional<std::string> KindMismatch() const;

    // Adds a unit in its order and its rounded size to Used. A null unit is refused with a message.
    void Insert(std::unique_ptr<tModUnit> unit);
    // Takes the unit out (by identity) and its rounded size off Used; null when it is not here.
    std::unique_ptr<tModUnit> Remove(const tModUnit* unit);
    // Moves every unit into the unplaced-units module and leaves this one empty.
    void UnplaceAll(tModule& unplaced);
    // The first unit of that name; none for an empty name.
    tModUnit* UnitByName(std::string_view name) const;
    // Sum of the rounded sizes of the units.
    std::uint32_t SumOfUnitSizes() const;
    // True when the module's image begins with a 16-bit ROM header paragraph: a code module (ROM or
    // IROM) whose first unit is not the loader. Its units are placed after that paragraph.
    bool StartsWithHeader() const;

    // Writes the module's ROM image (only ROM modules have one); true when it failed.
    bool Generate(TBinBuilder& builder);
    // Hands the module's .BIN to the board (only ROM modules); true when it failed.
    bool DownloadBin(TBoardDownloader& board) const;
};

// Moves unit from one module into another (its placement or its return to the unplaced units).
// A null unit shows "Err - inserting NIL unit (shouldn't appear)!"; false when nothing moved.
bool MoveUnit(tModule& from, const tModUnit* unit, tModule& to);

} // namespace ravlo
