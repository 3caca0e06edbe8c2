#pragma once

#include <string>

namespace ravlo {

// What the project window shows of the open project.
struct TProjectInfo {
    std::string Type;
    std::string Name;
    std::string Dir;
    bool ExeOk = false;
    bool MapOk = false;
    bool MemOk = false;
    bool BinOk = false;
};

// From the project globals: "NONE" with no name and directory, "FULL (Exe+Map+Mem+Bin)" or
// "SMALL (Mem+Bin)" with both, and the four file flags.
TProjectInfo ShowProjectInfo();

} // namespace ravlo
