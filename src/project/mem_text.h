#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

class tModule;
class tModUnit;
class tModuleCollection;
class tRelocTable;

// The text of a memory design file (.MEM): a module section (each module's line, its unit names,
// an empty line) and, after placement, a relocation section (one line per placed unit).

// Blanks and control characters off both ends, as the reader takes names and numbers.
std::string_view TrimBlanks(std::string_view text);

// "Memory: " + name padded to 21 characters (at least one blank) + "Address: $" + 4 hex digits +
// "   Size: $" + the low 5 hex digits of the length.
std::string MemModuleLine(const tModule& module);
// " Name" + 17 blanks + TAB + " Rel" + TAB + " Abs" + TAB + " Size".
std::string MemRelocHeaderLine();
// Name padded to 21 characters (not cut) + TAB + "$" RelSeg + TAB + "$" AbsSeg + TAB + "$" Length.
std::string MemRelocLine(const tModUnit& unit);
// Every line of the file, without line ends. Without a relocation table the relocation section is
// keptSection, the one the file had when it was read.
std::vector<std::string> MemFileLines(const tModuleCollection* modules, const tRelocTable* relocTable,
                                      std::span<const std::string> keptSection = {});

// A design as read from the text, before it is applied to the model.
struct TMemModuleRecord {
    std::string Name;
    std::uint16_t Address = 0;
    std::uint32_t Length = 0;
    std::vector<std::string> UnitNames;
};
// One line of the relocation section: the unit's absolute segment and length.
struct TMemUnitRecord {
    std::string Name;
    std::uint16_t AbsSeg = 0;
    std::uint16_t Length = 0;
};
struct TMemDesign {
    std::vector<TMemModuleRecord> Modules;
    std::vector<TMemUnitRecord> Units; // only read when asked for
    // The lines after the module section that are not blank: the relocation section as it stands.
    std::vector<std::string> RelocLines;
};

// Reads the module section and, with readUnits, the relocation section. On a malformed line the
// answer is false and badLine its 1-based number.
bool ParseMemText(std::span<const std::string> lines, bool readUnits, TMemDesign& design,
                  std::size_t& badLine);

} // namespace ravlo
