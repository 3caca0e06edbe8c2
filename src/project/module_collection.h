#pragma once

#include "project/module.h"
#include "project/q_collection.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ravlo {

class TBoardDownloader;
enum class TDownloadAsk : std::uint8_t;

// One ROM module as the board checksum and the download see it.
struct TRomModuleInfo {
    std::string Name;
    std::uint16_t Segment = 0;
    std::uint32_t Size = 0; // ModuleLength
};

// The memory design: the modules in address order.
class tModuleCollection : public tqSortedCollection<tModule> {
public:
    tModuleCollection();

    // Set when the design was edited since the last generation.
    bool Changed = false;
    // Set when it was edited since the design file was last read or written.
    bool Unsaved = false;
    // Set when the user chose to drop those edits: the design file then stays as it is.
    bool EditsDropped = false;
    // An edit of the design.
    void MarkChanged() {
        Changed = true;
        Unsaved = true;
        EditsDropped = false;
    }

    // Checks the design, showing every finding; true when it passes. Also sizes the INITCODE block
    // from the IROM module.
    bool CheckDesign();

    // The ROM modules in address order: the first one, then each next one; nothing past the last.
    std::optional<TRomModuleInfo> FindFirstRomModule();
    std::optional<TRomModuleInfo> FindNextRomModule();

    // The first module with Address <= segment < Address + Length div 16.
    tModule* ModuleBySegment(std::uint16_t segment) const;
    // In that module, the first unit with that relative segment and a length; null when none.
    tModUnit* UnitByAddress(std::uint16_t segment, std::uint16_t relSeg) const;
    // Address + Length div 16 of the first module that holds a Heap unit; nothing when no module
    // holds one or the end lies above $FFFF.
    std::optional<std::uint16_t> HeapEndSegment() const;
    // The first unit of that name in any module.
    tModUnit* UnitByName(std::string_view name) const;

    // Checks the .BIN files of the ROM modules before a download; true to go on. Unattended, a
    // question is logged and answered No.
    bool CheckBinFiles(TDownloadAsk ask);
    // Hands every ROM module's .BIN to the board in address order; true when one failed.
    bool DownloadRomModules(TBoardDownloader& board);

private:
    std::int32_t romIterator_ = -1;
};

} // namespace ravlo
