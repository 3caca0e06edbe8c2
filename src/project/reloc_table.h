#pragma once

#include "project/mod_unit.h"
#include "project/q_collection.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

class tModuleCollection;

// All placed units of all modules, by RelSeg (an empty unit before one with bytes on equal RelSeg).
// The modules own the units; the table only refers to them.
class tRelocTable : public tqSortedCollection<tModUnit, tModUnit*> {
public:
    tRelocTable();

    // The absolute segment of the first unit of that relative segment with a length (else of the
    // last such empty unit); -1 when no unit has it, shown in a message box when report is set.
    std::int32_t RelToAbs(std::uint16_t relSeg, bool report = true) const;
    // The relative segment of the first unit with that absolute segment and a length; -1 when none.
    std::int32_t AbsToRel(std::uint16_t absSeg) const;
    tModUnit* GetModUnitByName(std::string_view name) const;
    // The name of the first unit with a length that covers the linear address (its end included);
    // empty when none does.
    std::string GetModUnitByAbsAddr(std::uint32_t linear) const;
};

// Places the units of every module at absolute segments (after the header paragraph of a module that
// starts with one) and builds a new relocation table of them in the project model. A segment of the
// program that no placed unit holds is shown in a message box when report is set.
void BuildRelocTable(tModuleCollection& modules, bool report = true);

} // namespace ravlo
