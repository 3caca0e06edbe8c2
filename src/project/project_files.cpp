#include "project/project_files.h"

#include "project/exe_reader.h"
#include "project/map_reader.h"
#include "project/mem_file.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_messages.h"
#include "project/unit_builder.h"

#include <memory>

namespace ravlo {

bool OpenProjectFiles() {
    ResetProjectModel();
    tProjectModel& model = ProjectModel();
    std::unique_ptr<tExeFile> exe = tExeFile::Open(ProjectFilePath(ProjectName + ".EXE"));
    if (!exe) {
        return false;
    }
    ExeFileOK = true;
    std::unique_ptr<tMapFile> map = tMapFile::Open(ProjectFilePath(ProjectName + ".MAP"));
    if (!map) {
        ResetProjectModel();
        return false;
    }
    model.LoadImageSize = exe->LoadImageSize();
    auto unplaced = std::make_unique<tModule>();
    try {
        BuildUnits(*map, model, *unplaced);
    } catch (const EMapFormat& error) {
        ProjectError(error.what());
        ResetProjectModel();
        MapFileOK = false;
        RequestProjectRefresh();
        return false;
    }
    map->CloseText();
    MapFileOK = true;
    exe->Close();
    model.Exe = std::move(exe);
    model.Map = std::move(map);
    model.Unplaced = std::move(unplaced);
    model.Modules = std::make_unique<tModuleCollection>();
    return true;
}

void CloseProjectFiles() {
    const tProjectModel& model = ProjectModel();
    const tModuleCollection* design = model.Modules.get();
    // Edits the user chose to drop stay out of the file, edits nobody was asked about are saved rather
    // than lost. Else only a placed design that was read, written or edited is saved: one that failed
    // to read, or a project without any, must not replace the file with an empty design.
    if (design != nullptr && !design->EditsDropped &&
        (design->Unsaved || (model.RelocTable && (MemFileOK || design->Changed)))) {
        WriteMemFile();
    }
    ResetProjectModel();
}

} // namespace ravlo
