#pragma once

#include "project/exe_reader.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ravlo {

class tModuleCollection;
class tRelocTable;
class TRomImage;
struct tProjectModel;

// Writes one .BIN per ROM module of the design (placing the units first); true when a module
// failed: its message was shown, its .BIN removed, and the modules after it were not generated.
bool GenerateBinFiles(tModuleCollection& modules);

// What the modules' Generate needs while the ROM images are written: the executable's load image,
// its fixups and the placed units.
class TBinBuilder {
public:
    TBinBuilder(tProjectModel& model, tExeFile& exe, const tRelocTable& table);

    tProjectModel& Model() const { return model_; }
    const tExeFile& Exe() const { return exe_; }

    // Appends the image of one unit (relative segment, in-paragraph offset, length): $FF before the
    // offset, the load image bytes with every fixup inside them relocated, $FF up to the paragraph
    // end. False after a message naming the unit when it does not fit the work buffer, cannot be
    // read, holds a fixup that crosses its end or names no placed segment.
    bool AppendUnit(TRomImage& image, std::uint16_t relSeg, std::uint16_t offset, std::uint16_t length,
                    std::string_view unitName);
    // The absolute segment of a relative one; nothing after a message naming the unit and segment.
    std::optional<std::uint16_t> AbsSegment(std::uint16_t relSeg, std::string_view unitName);

private:
    tProjectModel& model_;
    tExeFile& exe_;
    const tRelocTable& table_;
    std::vector<std::uint8_t> workBuffer_;
    // The fixups by their place in the load image (table order kept for equal places).
    std::vector<TExeReloc> fixups_;
    // Relocations look the same few segments up thousands of times.
    std::unordered_map<std::uint16_t, std::int32_t> absSegments_;
};

} // namespace ravlo
