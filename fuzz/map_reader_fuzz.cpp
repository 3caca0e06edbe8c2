// A linker map opened with the project, as the program does: the segment list read into units, then
// every unit placed in one module and error addresses of the code units looked up in the map's
// line-number sections.
#include "demo_project.h"
#include "project/map_reader.h"
#include "project/module_collection.h"
#include "project/project_files.h"
#include "project/project_globals.h"
#include "project/reloc_table.h"

using namespace ravlo;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The executable stays; each input is a file beside it.
    fuzz::PrepareDemoProject();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ResetProjectGlobals();
    fuzz::WriteScratchFile("FUZZ.MAP", fuzz::AsText({data, size}));
    SetProjectPath(fuzz::ScratchFolder() / "FUZZ.EXE");
    ProjectType = TProjectType::Full;
    if (!OpenProjectFiles()) {
        return 0;
    }
    tProjectModel& model = ProjectModel();
    fuzz::Check(model.Unplaced && model.Map && model.Modules, "an opened project has its model");
    auto module = std::make_unique<tModule>("ROM", 0x1000, 0xF0000);
    while (!model.Unplaced->Empty()) {
        MoveUnit(*model.Unplaced, model.Unplaced->First(), *module);
    }
    model.Modules->Insert(std::move(module));
    BuildRelocTable(*model.Modules);

    // Each lookup reads the map again: a few code units, at their start, middle and just past their
    // end, and the middle once more through the paragraph before.
    int units = 0;
    model.RelocTable->ForEach([&](const tModUnit& unit) {
        if (!IsCodeKind(unit.Kind) || ++units > 4) {
            return;
        }
        const std::uint32_t middle = unit.Offset + unit.Length / 2U;
        for (const std::uint32_t offset : {unit.Offset + 0U, middle, unit.Offset + unit.Length + 1U}) {
            model.Map->FindSrcLine({static_cast<std::uint16_t>(offset), unit.AbsSeg});
        }
        model.Map->FindSrcLine(
            {static_cast<std::uint16_t>(middle + 16), static_cast<std::uint16_t>(unit.AbsSeg - 1)});
    });
    ResetProjectGlobals();
    return 0;
}
