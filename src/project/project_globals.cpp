#include "project/project_globals.h"

#include "platform/file_names.h"
#include "project/exe_reader.h"
#include "project/map_reader.h"
#include "project/module_collection.h"
#include "project/reloc_table.h"

#include <utility>

namespace ravlo {

TProjectType ProjectType = TProjectType::None;
std::string ProjectName;
FileTime ExeFileTime;
bool ExeFileOK = false;
bool MapFileOK = false;
bool MemFileOK = false;
bool BinFilesOK = false;
bool CodeInDataSegWarned = false;

namespace {

ProjectRefreshHook& RefreshHook() {
    static ProjectRefreshHook hook;
    return hook;
}

} // namespace

ProjectRefreshHook SetProjectRefreshHook(ProjectRefreshHook hook) {
    return std::exchange(RefreshHook(), std::move(hook));
}

void RequestProjectRefresh() {
    if (RefreshHook()) {
        RefreshHook()();
    }
}

void SetProjectPath(const std::filesystem::path& projectFile) {
    std::filesystem::path dir = std::filesystem::absolute(projectFile).parent_path();
    ProjectDir = dir.string();
    if (ProjectDir.empty() || ProjectDir.back() != '/') {
        ProjectDir += '/';
    }
    ProjectName = projectFile.stem().string();
}

std::filesystem::path ProjectDirPath() {
    return ProjectDir.empty() ? std::filesystem::path(".") : std::filesystem::path(ProjectDir);
}

std::filesystem::path ProjectFilePath(std::string_view fileName) {
    const std::filesystem::path dir = ProjectDirPath();
    if (auto found = FindFileNoCase(dir, fileName)) {
        return *found;
    }
    return dir / fileName;
}

tProjectModel::tProjectModel() = default;
tProjectModel::~tProjectModel() = default;

tProjectModel& ProjectModel() {
    static tProjectModel model;
    return model;
}

void ResetProjectModel() {
    tProjectModel& model = ProjectModel();
    // The relocation table only refers to units; it goes before the modules that own them.
    model.RelocTable.reset();
    model.MemRelocLines.clear();
    model.Modules.reset();
    model.Unplaced.reset();
    model.Map.reset();
    model.Exe.reset();
    model.WorkBufferSize = 512;
    model.AllUnitsPlaced = false;
    model.LoadImageSize = 0;
    model.DS = 0;
    model.StackSeg = 0;
    model.HeapSeg = 0;
    model.DataLength = 0;
    model.InitDataLength = 0;
    model.CodeInDataSegUsed = false;
    model.InitCodeLength = 0;
    model.InitCodeDest = 0;
    model.IromModule = nullptr;
    model.InitCodeUnit = nullptr;
    model.AbsDS = -1;
    model.AbsStack = -1;
    model.AbsLoader = -1;
}

void ResetProjectGlobals() {
    ResetProjectModel();
    ProjectType = TProjectType::None;
    ProjectDir.clear();
    ProjectName.clear();
    ExeFileTime = FileTime{};
    ExeFileOK = false;
    MapFileOK = false;
    MemFileOK = false;
    BinFilesOK = false;
    CodeInDataSegWarned = false;
}

} // namespace ravlo
