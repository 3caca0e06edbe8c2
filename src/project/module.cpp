#include "project/module.h"

#include "project/project_messages.h"

#include <array>

namespace ravlo {

std::string ModuleTName(ModuleT type) {
    static constexpr std::array<std::string_view, 4> kNames = {"NIL", "IROM", "RAM", "ROM"};
    const auto value = static_cast<std::size_t>(type);
    if (value < kNames.size()) {
        return std::string(kNames[value]);
    }
    return "ModuleT_#" + std::to_string(value);
}

tModule::tModule() : tqSortedCollection<tModUnit>(CompareModUnits) {}

tModule::tModule(std::string_view name, std::uint16_t address, std::uint32_t length) : tModule() {
    SetName(name);
    Address = address;
    Length = length;
}

ModuleT tModule::GetMemType(bool check) const {
    const tModUnit* first = First();
    if (first == nullptr) {
        return ModuleT::NIL;
    }
    // Units are ordered by kind, so the first one has the lowest. Kind None gives a ROM module
    // here, as every kind from the loader upwards does.
    const ModuleT type = IsDataKind(first->Kind)                ? ModuleT::RAM
                         : first->Kind == MUnitT::CodeInDataSeg ? ModuleT::IROM
                                                                : ModuleT::ROM;
    if (check) {
        if (const auto mismatch = KindMismatch()) {
            ProjectError(*mismatch);
        }
    }
    return type;
}

std::optional<std::string> tModule::KindMismatch() const {
    const ModuleT type = MemType();
    const tModUnit* odd = FirstThat([type](const tModUnit& unit) {
        return (type == ModuleT::ROM && IsDataKind(unit.Kind)) ||
               (type == ModuleT::RAM && !IsDataKind(unit.Kind));
    });
    if (odd == nullptr) {
        return std::nullopt;
    }
    return IsDataKind(odd->Kind) ? "Data unit in code segment." : "Code unit in data segment.";
}

void tModule::Insert(std::unique_ptr<tModUnit> unit) {
    if (!unit) {
        ProjectError("Err - inserting NIL unit (shouldn't appear)!");
        return;
    }
    Used += unit->RoundedSize();
    tqSortedCollection<tModUnit>::Insert(std::move(unit));
}

std::unique_ptr<tModUnit> tModule::Remove(const tModUnit* unit) {
    std::unique_ptr<tModUnit> taken = tqSortedCollection<tModUnit>::Remove(unit);
    if (taken) {
        const std::uint32_t size = taken->RoundedSize();
        Used = Used >= size ? Used - size : 0;
    }
    return taken;
}

void tModule::UnplaceAll(tModule& unplaced) {
    for (std::unique_ptr<tModUnit>& unit : DeleteAll()) {
        unplaced.Insert(std::move(unit));
    }
    Used = 0;
}

tModUnit* tModule::UnitByName(std::string_view name) const {
    if (name.empty()) {
        return nullptr;
    }
    return FirstThat([name](const tModUnit& unit) { return unit.Name == name; });
}

std::uint32_t tModule::SumOfUnitSizes() const {
    std::uint32_t sum = 0;
    ForEach([&sum](const tModUnit& unit) { sum += unit.RoundedSize(); });
    return sum;
}

bool tModule::StartsWithHeader() const {
    const tModUnit* first = First();
    return first != nullptr && !IsDataKind(first->Kind) && first->Kind != MUnitT::Loader;
}

bool MoveUnit(tModule& from, const tModUnit* unit, tModule& to) {
    if (unit == nullptr) {
        ProjectError("Err - inserting NIL unit (shouldn't appear)!");
        return false;
    }
    std::unique_ptr<tModUnit> taken = from.Remove(unit);
    if (!taken) {
        return false;
    }
    to.Insert(std::move(taken));
    return true;
}

} // namespace ravlo
