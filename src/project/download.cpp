#include "project/download.h"

#include "framework/app_names.h"
#include "platform/atomic_file.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_messages.h"

namespace ravlo {

bool tModule::DownloadBin(TBoardDownloader& board) const {
    if (MemType() != ModuleT::ROM) {
        return false;
    }
    const std::filesystem::path path = ProjectFilePath(Name + ".BIN");
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        ProjectError("Can't open file: " + PathText(path));
        return true;
    }
    std::vector<std::uint8_t> data(bytes->begin(), bytes->end());
    return !board.WriteMemBlock(MakeFarPtr(0, Address), std::move(data), Name + ".BIN");
}

bool tModuleCollection::DownloadRomModules(TBoardDownloader& board) {
    return FirstThat([&board](const tModule& module) { return module.DownloadBin(board); }) != nullptr;
}

bool DownloadProject(TBoardDownloader& board, TDownloadAsk ask) {
    const tProjectModel& model = ProjectModel();
    if (ProjectType == TProjectType::None || !model.Modules) {
        ProjectWarning("At first select project.");
        return false;
    }
    if (model.Unplaced && !model.Unplaced->Empty()) {
        ProjectWarning("Some unit(s) not placed.");
        return false;
    }
    return model.Modules->CheckBinFiles(ask) && !model.Modules->DownloadRomModules(board);
}

} // namespace ravlo
