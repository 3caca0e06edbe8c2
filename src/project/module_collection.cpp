#include "project/module_collection.h"

namespace ravlo {
namespace {

int CompareModules(const tModule& a, const tModule& b) {
    return a.Address < b.Address ? -1 : (a.Address > b.Address ? 1 : 0);
}

} // namespace

tModuleCollection::tModuleCollection() : tqSortedCollection<tModule>(CompareModules) {}

std::optional<TRomModuleInfo> tModuleCollection::FindFirstRomModule() {
    if (Empty()) {
        return std::nullopt;
    }
    romIterator_ = -1;
    return FindNextRomModule();
}

std::optional<TRomModuleInfo> tModuleCollection::FindNextRomModule() {
    while (romIterator_ + 1 < Count()) {
        ++romIterator_;
        const tModule* module = At(romIterator_);
        if (module->MemType() == ModuleT::ROM) {
            return TRomModuleInfo{module->Name, module->Address, module->ModuleLength};
        }
    }
    romIterator_ = Count();
    return std::nullopt;
}

tModule* tModuleCollection::ModuleBySegment(std::uint16_t segment) const {
    return FirstThat([segment](const tModule& module) {
        return module.Address <= segment && segment < module.Address + module.Length / 16;
    });
}

tModUnit* tModuleCollection::UnitByAddress(std::uint16_t segment, std::uint16_t relSeg) const {
    const tModule* module = ModuleBySegment(segment);
    if (module == nullptr) {
        return nullptr;
    }
    return module->FirstThat(
        [relSeg](const tModUnit& unit) { return unit.RelSeg == relSeg && unit.Length > 0; });
}

std::optional<std::uint16_t> tModuleCollection::HeapEndSegment() const {
    const tModule* module = FirstThat([](const tModule& candidate) {
        return candidate.FirstThat([](const tModUnit& unit) { return unit.Kind == MUnitT::Heap; }) != nullptr;
    });
    if (module == nullptr) {
        return std::nullopt;
    }
    const std::uint32_t end = module->Address + module->Length / 16;
    if (end > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(end);
}

tModUnit* tModuleCollection::UnitByName(std::string_view name) const {
    tModUnit* found = nullptr;
    FirstThat([&found, name](const tModule& module) {
        found = module.UnitByName(name);
        return found != nullptr;
    });
    return found;
}

} // namespace ravlo
