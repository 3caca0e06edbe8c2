#include "project/mem_file.h"

#include "framework/file_paths.h"
#include "framework/text_file.h"
#include "platform/file_names.h"
#include "project/mem_text.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_messages.h"
#include "project/reloc_table.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace ravlo {
namespace {

std::string MemFileName() {
    return ProjectName + ".MEM";
}

std::optional<std::vector<std::string>> ReadAllLines(TTxRdFile& file) {
    std::vector<std::string> lines;
    while (!file.Eof()) {
        lines.push_back(file.ReadLn());
    }
    if (!file.ErrText().empty()) {
        return std::nullopt;
    }
    return lines;
}

// FULL project: the units named in the file move from the unplaced units into their modules.
std::unique_ptr<tModuleCollection> PlaceNamedUnits(const TMemDesign& design, tModule& unplaced,
                                                   bool& removed) {
    auto modules = std::make_unique<tModuleCollection>();
    for (const TMemModuleRecord& record : design.Modules) {
        auto module = std::make_unique<tModule>(record.Name, record.Address, record.Length);
        for (const std::string& name : record.UnitNames) {
            const tModUnit* unit = unplaced.UnitByName(name);
            if (unit != nullptr) {
                MoveUnit(unplaced, unit, *module);
            } else {
                removed = true;
            }
        }
        modules->Insert(std::move(module));
    }
    return modules;
}

// SMALL project: the units are made from their names, with the segments and lengths of the
// relocation section (a line naming no unit of the design is passed over).
std::unique_ptr<tModuleCollection> BuildNamedUnits(const TMemDesign& design) {
    std::vector<std::vector<std::unique_ptr<tModUnit>>> unitsOfModules;
    for (const TMemModuleRecord& record : design.Modules) {
        auto& units = unitsOfModules.emplace_back();
        for (const std::string& name : record.UnitNames) {
            units.push_back(std::make_unique<tModUnit>(KindFromUnitName(name), name, 0, 0, 0));
        }
    }
    for (const TMemUnitRecord& line : design.Units) {
        for (auto& units : unitsOfModules) {
            const auto found = std::find_if(units.begin(), units.end(),
                                            [&line](const auto& unit) { return unit->Name == line.Name; });
            if (found != units.end()) {
                (*found)->RelSeg = line.AbsSeg;
                (*found)->Length = line.Length;
                break;
            }
        }
    }
    auto modules = std::make_unique<tModuleCollection>();
    for (std::size_t i = 0; i < design.Modules.size(); ++i) {
        const TMemModuleRecord& record = design.Modules[i];
        auto module = std::make_unique<tModule>(record.Name, record.Address, record.Length);
        for (auto& unit : unitsOfModules[i]) {
            module->Insert(std::move(unit));
        }
        modules->Insert(std::move(module));
    }
    return modules;
}

} // namespace

bool WriteMemFile() {
    tProjectModel& model = ProjectModel();
    const std::filesystem::path path = ProjectFilePath(MemFileName());
    {
        TTxWrFile file(path);
        if (file.ErrText().empty()) {
            for (const std::string& line :
                 MemFileLines(model.Modules.get(), model.RelocTable.get(), model.MemRelocLines)) {
                file.WriteLn(line);
            }
            file.Close();
        }
        if (!file.ErrText().empty()) {
            ProjectError("Can't write .MEM file.");
            return false;
        }
    }
    if (!WriteFileWriteTime(path, ExeFileTime)) {
        ProjectError("SetFileTime Error");
    }
    MemFileOK = true;
    if (model.Modules) {
        model.Modules->Unsaved = false;
        model.Modules->EditsDropped = false;
    }
    return true;
}

bool ReadMemFile() {
    tProjectModel& model = ProjectModel();
    // Only a read that succeeds vouches for the design file.
    MemFileOK = false;
    const auto path = FindFileNoCase(ProjectDirPath(), MemFileName());
    if (!path) {
        return false;
    }
    std::optional<std::vector<std::string>> lines;
    {
        TTxRdFile file(*path);
        if (file.ErrText().empty()) {
            lines = ReadAllLines(file);
        }
    }
    if (!lines) {
        ProjectError("Error opening .MEM file!");
        return false;
    }

    const bool full = model.Unplaced != nullptr;
    TMemDesign design;
    std::size_t badLine = 0;
    if (!ParseMemText(*lines, !full, design, badLine)) {
        ProjectError("Invalid .MEM file! (line " + std::to_string(badLine) + ")");
        return false;
    }
    // A SMALL project has no executable: the design file's own time is the reference.
    std::optional<FileTime> memTime;
    if (!full) {
        memTime = GetFileWriteTime(*path);
        if (!memTime) {
            ProjectError("Error opening .MEM file!");
            return false;
        }
    }

    // The new design replaces the old one; units placed before go back to the unplaced units first.
    model.RelocTable.reset();
    model.IromModule = nullptr;
    bool removed = false;
    bool added = false;
    if (full) {
        if (model.Modules) {
            model.Modules->ForEach([&model](tModule& module) { module.UnplaceAll(*model.Unplaced); });
        }
        model.Modules = PlaceNamedUnits(design, *model.Unplaced, removed);
        added = !model.Unplaced->Empty();
    } else {
        model.Modules = BuildNamedUnits(design);
        ExeFileTime = *memTime;
    }

    model.MemRelocLines = std::move(design.RelocLines);
    MemFileOK = true;
    std::string notice;
    if (removed) {
        notice = "Some units were removed.";
    }
    if (added) {
        notice += "\nSome units were added.";
    }
    if (!notice.empty()) {
        ProjectInformation(notice);
    }
    if (!added) {
        model.Modules->CheckDesign();
    }
    return true;
}

} // namespace ravlo
