#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_messages.h"

namespace ravlo {
namespace {

constexpr std::uint32_t kRomModuleMax = 0x20000; // 128 KB
constexpr std::uint32_t kInitCodeMax = 0xFFFF;

std::uint32_t ModuleEnd(const tModule& module) {
    return static_cast<std::uint32_t>(module.Address) * 16 + module.Length;
}

// The INITCODE block is the IROM module with its header paragraph in front; the last IROM module
// of the design is the one the loader copies.
void SizeInitCode(const tModuleCollection& modules) {
    tProjectModel& model = ProjectModel();
    model.IromModule = nullptr;
    modules.ForEach([&model](tModule& module) {
        if (module.MemType() != ModuleT::IROM) {
            return;
        }
        std::uint32_t length = module.Used + 16;
        if (length > kInitCodeMax) {
            length = 16;
        }
        model.InitCodeLength = length;
        model.InitCodeDest = module.Address;
        model.IromModule = &module;
        if (model.InitCodeUnit != nullptr) {
            model.InitCodeUnit->Length = static_cast<std::uint16_t>(length);
        }
    });
}

} // namespace

bool tModuleCollection::CheckDesign() {
    SizeInitCode(*this);

    for (std::int32_t i = 0; i < Count(); ++i) {
        tModule& module = *At(i);
        const tModule* next = At(i + 1);
        if (next != nullptr && ModuleEnd(module) > static_cast<std::uint32_t>(next->Address) * 16) {
            ProjectError("Memory modules \"" + module.Name + "\" && \"" + next->Name +
                         "\" overlap each other!");
            return false;
        }
        module.Used = module.SumOfUnitSizes();
    }

    bool passes = true;
    ForEach([&passes](const tModule& module) {
        const ModuleT type = module.GetMemType(true);
        if (type == ModuleT::NIL) {
            ProjectWarning("Remove empty module \"" + module.Name + "\"!");
            passes = false;
        }
        // A module that mixes data and code units has no one type to be built as.
        if (module.KindMismatch()) {
            passes = false;
        }
        if (module.Used > module.Length) {
            ProjectError("Memory module \"" + module.Name + "\" overflow!");
            passes = false;
        }
        if (type == ModuleT::ROM && module.Used > kRomModuleMax) {
            ProjectError("Memory module \"" + module.Name + "\" exceed 128KB!");
            passes = false;
        }
        // The loader copies the INITCODE block with one 16-bit count.
        if (type == ModuleT::IROM && module.Used + 16 > kInitCodeMax) {
            ProjectError("Size of module with initialized code exceed 64kB!");
            passes = false;
        }
    });
    return passes;
}

} // namespace ravlo
