#include "project/freshness.h"

#include "framework/app_names.h"
#include "framework/file_paths.h"
#include "platform/file_names.h"
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

bool tModuleCollection::CheckBinFiles() {
    if (Changed && !ProjectAskYesNo("Memory map changed. Recommended Generation! \r\nDownload anyway?")) {
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
    return !oldFiles ||
           ProjectAskYesNo("Some of .BIN files has different time, it could be old!\rGeneration is "
                           "recommended. Download anyway?");
}

} // namespace ravlo
