// A memory design file read as the program reads it: into a FULL project, whose units come from
// the demo's map, or as a SMALL project, where the file is the whole model. A design that was read
// is written and read back as the same design (for names the file's columns can hold).
#include "demo_project.h"
#include "project/mem_file.h"
#include "project/module_collection.h"
#include "project/project_files.h"
#include "project/project_globals.h"
#include "project/reloc_table.h"

#include <set>
#include <vector>

using namespace ravlo;

namespace {

struct UnitView {
    std::string name;
    std::uint16_t length = 0;
    bool operator==(const UnitView&) const = default;
};

struct ModuleView {
    std::string name;
    std::uint16_t address = 0;
    std::uint32_t length = 0;
    std::vector<UnitView> units;
    bool operator==(const ModuleView&) const = default;
};

std::vector<ModuleView> DesignView() {
    std::vector<ModuleView> design;
    ProjectModel().Modules->ForEach([&design](const tModule& module) {
        ModuleView& view = design.emplace_back(ModuleView{module.Name, module.Address, module.Length, {}});
        module.ForEach([&view](const tModUnit& unit) { view.units.push_back({unit.Name, unit.Length}); });
    });
    return design;
}

std::string Describe(const std::vector<ModuleView>& design) {
    std::string text;
    for (const ModuleView& module : design) {
        text +=
            module.name + " $" + std::to_string(module.address) + " " + std::to_string(module.length) + ":";
        for (const UnitView& unit : module.units) {
            text += " " + unit.name + "/" + std::to_string(unit.length);
        }
        text += "\n";
    }
    return text;
}

// A "$" in a module name is taken for its address, a TAB ends a unit name in the relocation lines,
// a unit called "Name" is the heading of those lines, and a name given twice finds the first unit.
bool NamesTheFileHolds(const std::vector<ModuleView>& design) {
    std::set<std::string> units;
    for (const ModuleView& module : design) {
        if (module.name.find('$') != std::string::npos) {
            return false;
        }
        for (const UnitView& unit : module.units) {
            if (unit.name.find('\t') != std::string::npos || unit.name == "Name" ||
                !units.insert(unit.name).second) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The executable stays; each input is a file beside it.
    fuzz::PrepareDemoProject();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const bool full = (input.Byte() & 1) != 0;
    ResetProjectGlobals();
    SetProjectPath(fuzz::ScratchFolder() / "FUZZ.EXE");
    if (full) {
        ProjectType = TProjectType::Full;
        fuzz::Check(OpenProjectFiles(), "the demo project opens");
    } else {
        ProjectType = TProjectType::Small;
    }
    fuzz::WriteScratchFile("FUZZ.MEM", fuzz::AsText(input.Rest()));
    if (!ReadMemFile()) {
        fuzz::Check(!MemFileOK, "a failed read leaves MemFileOK clear");
        ResetProjectGlobals();
        return 0;
    }
    fuzz::Check(MemFileOK && ProjectModel().Modules, "a design read has its modules");
    const std::vector<ModuleView> design = DesignView();
    // A SMALL project's file keeps the unit lengths in its relocation lines, which exist only for a
    // design that passed its check, and only for the units placed below segment $FFFF; a FULL
    // project's file is written as soon as it is edited.
    bool writable = full;
    if (!full && ProjectModel().Modules->CheckDesign()) {
        BuildRelocTable(*ProjectModel().Modules);
        std::int32_t units = 0;
        ProjectModel().Modules->ForEach([&units](const tModule& module) { units += module.Count(); });
        writable = ProjectModel().RelocTable->Count() == units;
    }
    if (writable && NamesTheFileHolds(design)) {
        fuzz::Check(WriteMemFile(), "the design is written");
        if (!full) {
            ResetProjectModel();
        }
        fuzz::Check(ReadMemFile(), "a written design reads back");
        if (const std::vector<ModuleView> again = DesignView(); again != design) {
            fuzz::Fail("a written design reads back the same; read:\n" + Describe(design) + "read back:\n" +
                       Describe(again));
        }
    }
    ResetProjectGlobals();
    return 0;
}
