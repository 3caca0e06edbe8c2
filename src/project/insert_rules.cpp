#include "project/insert_rules.h"

#include "project/module.h"
#include "project/project_messages.h"

namespace ravlo {
namespace {

constexpr std::uint16_t kDataSpaceEnd = 0x8000;   // data modules lie below this segment
constexpr std::uint16_t kCodeSpaceStart = 0x4000; // code modules lie from this segment on

bool Refuse(std::string_view text) {
    ProjectError(text);
    return false;
}

bool HoldsInitCode(const tModule& module) {
    return module.FirstThat([](const tModUnit& unit) { return unit.Kind == MUnitT::InitCode; }) != nullptr;
}

bool AllowIntoEmpty(const tModule& module, const tModUnit& unit) {
    if (IsDataKind(unit.Kind)) {
        return module.Address < kDataSpaceEnd || Refuse("Can't insert. Data unit can not be in ROM space.");
    }
    if (unit.Kind == MUnitT::CodeInDataSeg) {
        return true;
    }
    return module.Address >= kCodeSpaceStart || Refuse("Can't insert. Code unit can not be in RAM space.");
}

} // namespace

bool InsertRulesAllow(const tModule& module, const tModUnit& unit) {
    const ModuleT type = module.MemType();
    if (type == ModuleT::NIL) {
        return AllowIntoEmpty(module, unit);
    }
    switch (unit.Kind) {
    case MUnitT::Data:
    case MUnitT::Stack:
    case MUnitT::Heap:
        if (type == ModuleT::ROM) {
            return Refuse(unit.Kind == MUnitT::Data    ? "Can't insert. Data can not be in ROM module."
                          : unit.Kind == MUnitT::Stack ? "Can't insert. Stack can not be in ROM module."
                                                       : "Can't insert. Heap can not be in ROM module.");
        }
        // A data unit would sort before the RAM code and turn the module into a RAM module that
        // holds code, which no generation can build.
        if (type == ModuleT::IROM) {
            return Refuse(unit.Kind == MUnitT::Data    ? "Can't insert. Data can not be in IROM module."
                          : unit.Kind == MUnitT::Stack ? "Can't insert. Stack can not be in IROM module."
                                                       : "Can't insert. Heap can not be in IROM module.");
        }
        return true;
    default:
        break;
    }
    if (type == ModuleT::RAM) {
        return Refuse("Can't insert. Code unit can not be in RAM module.");
    }
    if (unit.Kind == MUnitT::InitCode && type == ModuleT::IROM) {
        return Refuse("Can't insert. Unit '-- INITCODE --' can not be placed in IROM module.");
    }
    if (unit.Kind == MUnitT::CodeInDataSeg && HoldsInitCode(module)) {
        return Refuse("Can't insert. IROM module can't contain '-- INITCODE --' unit ");
    }
    if (unit.Kind >= MUnitT::Loader && unit.Kind <= MUnitT::InitCode && type == ModuleT::IROM) {
        return ProjectAskYesNo(
            "This code unit shouldn't be in IROM but in ROM module.\r\nDo you really want to "
            "have this code unit placed in IROM ?");
    }
    if (unit.Kind == MUnitT::CodeInDataSeg && type == ModuleT::ROM) {
        return ProjectAskYesNo(
            "This special code unit shouldn't be in ROM but in IROM module.\r\nDo you really "
            "want to have this code unit placed in ROM ?");
    }
    return true;
}

bool InsertUnitByRules(tModule& module, const tModUnit* unit, tModule& unplaced) {
    if (unit != nullptr && !InsertRulesAllow(module, *unit)) {
        return false;
    }
    return MoveUnit(unplaced, unit, module);
}

} // namespace ravlo
