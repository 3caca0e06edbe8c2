#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

// The kind of a program unit; the order matters: a module's type follows from its lowest kind.
enum class MUnitT : std::uint8_t {
    Data = 0,          // the data group, from the first data segment up to the stack
    Stack = 1,         // the segment of class "STACK"
    Heap = 2,          // the segment of class "HEAP", or an empty heap after the stack
    CodeInDataSeg = 3, // code that runs from RAM ("Graph", "ScGraph"), copied there at start
    Loader = 4,        // the 96-byte start-up loader
    Code = 5,          // any other segment of class "CODE"
    InitData = 6,      // the initial image of the data group
    InitCode = 7,      // the ROM copy of all CodeInDataSeg units
    None = 8,          // no unit (end of the segment list)
};

// "Data", "Stack", ..., "None"; another value "MUnitT_#" and its number.
std::string MUnitTName(MUnitT kind);

constexpr bool IsCodeKind(MUnitT kind) {
    return kind == MUnitT::Code || kind == MUnitT::CodeInDataSeg;
}
constexpr bool IsDataKind(MUnitT kind) {
    return static_cast<std::uint8_t>(kind) < static_cast<std::uint8_t>(MUnitT::CodeInDataSeg);
}

// Relative segments of the synthetic units.
inline constexpr std::uint16_t kLoaderRelSeg = 0xFFFF;
inline constexpr std::uint16_t kInitDataRelSeg = 0xFFFE;
inline constexpr std::uint16_t kInitCodeRelSeg = 0xFFFD;

inline constexpr std::string_view kLoaderUnitName = "-- LOADER --";
inline constexpr std::string_view kInitDataUnitName = "-- INITDATA --";
inline constexpr std::string_view kInitCodeUnitName = "-- INITCODE --";
inline constexpr std::uint16_t kLoaderLength = 96;

// Unit names are kept to this many characters.
inline constexpr std::size_t kUnitNameMax = 40;

// One program unit: a segment of the map or a synthetic unit.
class tModUnit {
public:
    tModUnit() = default;
    tModUnit(MUnitT kind, std::string_view name, std::uint16_t relSeg, std::uint16_t offset,
             std::uint16_t length);

    MUnitT Kind = MUnitT::None;
    std::string Name;
    // The segment as the executable's load image knows it.
    std::uint16_t RelSeg = 0;
    // Where the unit starts inside its first paragraph (0-15).
    std::uint16_t Offset = 0;
    // Given by placement; 0 until placed.
    std::uint16_t AbsSeg = 0;
    std::uint16_t Length = 0;

    // 0 for an empty unit, else Offset + Length rounded up to whole paragraphs.
    std::uint32_t RoundedSize() const;
};

// Order of the units of a module: by kind; equal kinds with equal names are equal; else by RelSeg,
// and on equal RelSeg an empty unit before one with bytes.
int CompareModUnits(const tModUnit& a, const tModUnit& b);

// The kind a unit gets from its name alone (a project without executable and map): the synthetic
// names, "Data", "Stack", "Heap", the RAM code units and, for any other name, Code.
MUnitT KindFromUnitName(std::string_view name);

// Segment names of code that runs from RAM.
bool IsCodeInDataSegName(std::string_view name);

} // namespace ravlo
