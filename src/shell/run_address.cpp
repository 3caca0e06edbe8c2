#include "shell/run_address.h"

#include "project/module_collection.h"

namespace ravlo {
namespace {

const tModule* FirstRomModuleWith(const tModuleCollection& modules, bool (*wanted)(MUnitT)) {
    for (std::int32_t i = 0; i < modules.Count(); ++i) {
        const tModule& module = *modules.At(i);
        if (module.MemType() != ModuleT::ROM) {
            continue;
        }
        for (std::int32_t u = 0; u < module.Count(); ++u) {
            if (wanted(module.At(u)->Kind)) {
                return &module;
            }
        }
    }
    return nullptr;
}

} // namespace

std::optional<TSegOfsPtr> FindRunAddress(const tModuleCollection& modules) {
    const tModule* module = FirstRomModuleWith(modules, [](MUnitT kind) { return kind == MUnitT::Loader; });
    if (module == nullptr) {
        module = FirstRomModuleWith(modules, [](MUnitT kind) { return kind == MUnitT::Code; });
    }
    if (module == nullptr) {
        return std::nullopt;
    }
    return MakeFarPtr(0, module->Address);
}

} // namespace ravlo
