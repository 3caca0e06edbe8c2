#pragma once

#include "framework/rtdw_ini.h"
#include "platform/file_time.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

class tExeFile;
class tMapFile;
class tModule;
class tModuleCollection;
class tModUnit;
class tRelocTable;

// The kind of the open project.
enum class TProjectType : std::uint8_t {
    None = 0,
    Full = 1,  // executable, map, memory design and ROM images
    Small = 2, // memory design and ROM images only
};

// Shared with the main form. ProjectDir (framework/rtdw_ini.h) ends with "/".
extern TProjectType ProjectType;
extern std::string ProjectName;
// The executable's last-write time; a SMALL project takes the memory design's.
extern FileTime ExeFileTime;
extern bool ExeFileOK;
extern bool MapFileOK;
extern bool MemFileOK;
extern bool BinFilesOK;
// Set once the RAM-code warning was shown; the main form clears it when a project is closed.
extern bool CodeInDataSegWarned;

// Asked for by the project code when the main form should refresh its project window (the map
// failed and the units were dropped). Answers the previous hook; an empty hook asks nothing.
using ProjectRefreshHook = std::function<void()>;
ProjectRefreshHook SetProjectRefreshHook(ProjectRefreshHook hook);
void RequestProjectRefresh();

// Sets ProjectDir (with its trailing "/") and ProjectName from the path of a project file.
void SetProjectPath(const std::filesystem::path& projectFile);

// ProjectDir as a path ("." when empty).
std::filesystem::path ProjectDirPath();

// A project file name + extension in ProjectDir: an existing file of any case, else the name as
// given ("NAME.BIN").
std::filesystem::path ProjectFilePath(std::string_view fileName);

// The model of the open project: its objects and the values that reading the executable and the
// map and placing the units produce. One per process.
struct tProjectModel {
    tProjectModel();
    ~tProjectModel();
    tProjectModel(const tProjectModel&) = delete;
    tProjectModel& operator=(const tProjectModel&) = delete;

    std::unique_ptr<tExeFile> Exe;
    std::unique_ptr<tMapFile> Map;
    // Every unit built from the map starts here; placing a unit moves it into a module.
    std::unique_ptr<tModule> Unplaced;
    std::unique_ptr<tModuleCollection> Modules;
    std::unique_ptr<tRelocTable> RelocTable;
    // The relocation section the design file had: written back as it was until a table is built.
    std::vector<std::string> MemRelocLines;

    // Size of the generation work buffer: the largest unit to copy and .BIN to hold, with room.
    std::uint32_t WorkBufferSize = 512;
    // Set by the main form's Generate when every unit is placed.
    bool AllUnitsPlaced = false;

    // From the executable's header.
    std::uint32_t LoadImageSize = 0;

    // From the map's segment list.
    std::uint16_t DS = 0; // first data segment, also the source of the INITDATA copy
    std::uint16_t StackSeg = 0;
    std::uint16_t HeapSeg = 0;
    std::uint32_t DataLength = 0;     // (stack segment - DS) * 16
    std::uint32_t InitDataLength = 0; // load image size - DS * 16, at most $FFFF
    bool CodeInDataSegUsed = false;

    // Set by the design check.
    std::uint32_t InitCodeLength = 0;
    std::uint16_t InitCodeDest = 0;
    tModule* IromModule = nullptr;
    tModUnit* InitCodeUnit = nullptr;

    // Absolute segments kept by the placement.
    std::int32_t AbsDS = -1;
    std::int32_t AbsStack = -1;
    std::int32_t AbsLoader = -1;
};

tProjectModel& ProjectModel();

// Frees the model objects and clears the model's values (not the globals above).
void ResetProjectModel();
// Clears the globals above, ProjectDir included, and the model; for project close and tests.
void ResetProjectGlobals();

} // namespace ravlo
