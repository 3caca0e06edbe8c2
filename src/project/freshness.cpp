#include "project/freshness.h"

#include "framework/app_names.h"
#include "framework/file_paths.h"
#include "framework/runtime_log.h"
#include "platform/file_names.h"
#include "project/download.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_messages.h"

#include <algorithm>
#include <optional>
#include <system_error>

namespace ravlo {

std::optional<TBinFileState> ReadBinFileState(const tModule& module) {
    const std::filesystem::path path = ProjectFilePath(module.Name + ".BIN");
    const auto time = GetFileWriteTime(path);
    if (!time) {
        return std::nullopt;
    }
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    return TBinFileState{static_cast<std::uint32_t>(size), *time};
}

namespace {

// Nobody answers in an unattended run: an image that may be stale is not sent.
bool DownloadAnyway(std::string_view question, TDownloadAsk ask) {
    if (ask == TDownloadAsk::User) {
        return ProjectAskYesNo(question);
    }
    std::string line(question);
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::replace(line.begin(), line.end(), '\n', ' ');
    TxsWriteln("Unattended run, not downloaded: " + line);
    return false;
}

} // namespace

bool IsBinOutdated(tModule& module) {
    // Only ROM modules are written as .BIN files; an IROM module travels inside INITCODE.
    if (module.MemType() != ModuleT::ROM) {
        return false;
    }
    const auto state = ReadBinFileState(module);
    if (!state) {
        return true;
    }
    module.ModuleLength = state->Size;
    return state->Time != ExeFileTime;
}

bool tModuleCollection::CheckBinFiles(TDownloadAsk ask) {
    if (Changed && !DownloadAnyway("Memory map changed. Recommended Generation! \r\nDownload anyway?", ask)) {
        return false;
    }
    tProjectModel& model = ProjectModel();
    bool oldFiles = false;
    for (std::int32_t i = 0; i < Count(); ++i) {
        tModule& module = *At(i);
        if (module.MemType() != ModuleT::ROM) {
            continue;
        }
        const auto state = ReadBinFileState(module);
        if (!state) {
            ProjectError("Can't open file: " + PathText(ProjectFilePath(module.Name + ".BIN")));
            return false;
        }
        module.ModuleLength = state->Size;
        model.WorkBufferSize = std::max(model.WorkBufferSize, state->Size);
        oldFiles = oldFiles || state->Time != ExeFileTime;
    }
    return !oldFiles || DownloadAnyway("Some of .BIN files has different time, it could be old!\rGeneration "
                                       "is recommended. Download anyway?",
                                       ask);
}

} // namespace ravlo
