#include "project/reloc_table.h"

#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_messages.h"

#include <memory>

namespace ravlo {
namespace {

int CompareRelocUnits(const tModUnit& a, const tModUnit& b) {
    if (a.RelSeg != b.RelSeg) {
        return a.RelSeg < b.RelSeg ? -1 : 1;
    }
    if ((a.Length == 0) != (b.Length == 0)) {
        return a.Length == 0 ? -1 : 1;
    }
    return 0;
}

// Gives the module's units their absolute segments and enters them in the table.
void RelocateModule(tModule& module, tRelocTable& table) {
    std::uint32_t next = module.Address + (module.StartsWithHeader() ? 1U : 0U);
    for (std::int32_t i = 0; i < module.Count(); ++i) {
        tModUnit& unit = *module.At(i);
        if (next > 0xFFFF) {
            ProjectError("tModule.Relocate - pretekl segment pres $FFFF");
            return;
        }
        unit.AbsSeg = static_cast<std::uint16_t>(next);
        table.Insert(&unit);
        next += unit.RoundedSize() / 16;
    }
}

} // namespace

tRelocTable::tRelocTable() : tqSortedCollection<tModUnit, tModUnit*>(CompareRelocUnits) {}

std::int32_t tRelocTable::RelToAbs(std::uint16_t relSeg, bool report) const {
    const tModUnit* remembered = nullptr;
    FirstThat([&remembered, relSeg](const tModUnit& unit) {
        if (unit.RelSeg != relSeg) {
            return false;
        }
        remembered = &unit;
        return unit.Length != 0;
    });
    if (remembered == nullptr) {
        if (report) {
            ProjectError("46 - co to znamena??? (asi dotaz na neexistujici segment)");
        }
        return -1;
    }
    return remembered->AbsSeg;
}

std::int32_t tRelocTable::AbsToRel(std::uint16_t absSeg) const {
    const tModUnit* unit = FirstThat(
        [absSeg](const tModUnit& candidate) { return candidate.AbsSeg == absSeg && candidate.Length > 0; });
    return unit != nullptr ? unit->RelSeg : -1;
}

tModUnit* tRelocTable::GetModUnitByName(std::string_view name) const {
    return FirstThat([name](const tModUnit& unit) { return unit.Name == name; });
}

std::string tRelocTable::GetModUnitByAbsAddr(std::uint32_t linear) const {
    const tModUnit* unit = FirstThat([linear](const tModUnit& candidate) {
        const std::uint32_t start = static_cast<std::uint32_t>(candidate.AbsSeg) * 16;
        return candidate.Length != 0 && start <= linear && linear <= start + candidate.Length;
    });
    return unit != nullptr ? unit->Name : std::string();
}

void BuildRelocTable(tModuleCollection& modules, bool report) {
    tProjectModel& model = ProjectModel();
    model.RelocTable = std::make_unique<tRelocTable>();
    tRelocTable& table = *model.RelocTable;
    modules.ForEach([&table](tModule& module) { RelocateModule(module, table); });

    // A project without executable has no relative segments of its own to keep.
    if (!model.Unplaced) {
        return;
    }
    model.AbsDS = table.RelToAbs(model.DS, report);
    model.AbsStack = table.RelToAbs(model.StackSeg, report);
    model.AbsLoader = table.RelToAbs(kLoaderRelSeg, report);
    if (model.CodeInDataSegUsed) {
        table.RelToAbs(kInitCodeRelSeg, report);
    }
}

} // namespace ravlo
