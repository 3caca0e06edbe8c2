#include "project/project_info.h"

#include "framework/rtdw_ini.h"
#include "project/project_globals.h"

namespace ravlo {

TProjectInfo ShowProjectInfo() {
    TProjectInfo info;
    switch (ProjectType) {
    case TProjectType::Full:
        info.Type = "FULL (Exe+Map+Mem+Bin)";
        break;
    case TProjectType::Small:
        info.Type = "SMALL (Mem+Bin)";
        break;
    default:
        info.Type = "NONE";
        break;
    }
    if (ProjectType != TProjectType::None) {
        info.Name = ProjectName;
        info.Dir = ProjectDir;
    }
    info.ExeOk = ExeFileOK;
    info.MapOk = MapFileOK;
    info.MemOk = MemFileOK;
    info.BinOk = BinFilesOK;
    return info;
}

} // namespace ravlo
