// The main form's project commands: open, reopen, close, generate, EPROM image, error address.
#include "framework/app_names.h"
#include "framework/message_box.h"
#include "platform/file_time.h"
#include "platform/presenter.h"
#include "project/bin_writer.h"
#include "project/freshness.h"
#include "project/map_reader.h"
#include "project/mem_file.h"
#include "project/module_collection.h"
#include "project/project_files.h"
#include "project/project_globals.h"
#include "project/project_messages.h"
#include "shell/cmd_line.h"
#include "shell/event_log.h"
#include "shell/find_err_text.h"
#include "shell/main_form_core.h"
#include "shell/main_form_host.h"

namespace ravlo {
namespace {

constexpr std::string_view kDownloadUnderWayText = "Can't, the project is being downloaded to the Vok.";

std::filesystem::path OpenProjectPath() {
    const char* extension = ProjectType == TProjectType::Small ? ".MEM" : ".EXE";
    return ProjectFilePath(ProjectName + extension);
}

// Shows a box of the kind the report asks for.
void ShowReport(const TFindErrReport& report) {
    switch (report.Kind) {
    case MessageBoxKind::Information:
        ProjectInformation(report.Text);
        break;
    case MessageBoxKind::Warning:
        ProjectWarning(report.Text);
        break;
    default:
        ProjectError(report.Text);
        break;
    }
}

} // namespace

bool TRavloMainFormCore::ProjectOpen() const {
    return ProjectType != TProjectType::None && ProjectModel().Modules != nullptr;
}

bool TRavloMainFormCore::OpenFullProject(const std::filesystem::path& name, bool quiet) {
    return OpenProject(name, TProjectType::Full, quiet);
}

bool TRavloMainFormCore::OpenSmallProject(const std::filesystem::path& name, bool quiet) {
    return OpenProject(name, TProjectType::Small, quiet);
}

bool TRavloMainFormCore::OpenProject(const std::filesystem::path& name, TProjectType type, bool quiet) {
    const std::optional<FileTime> time = ReadFileWriteTime(name);
    if (!time) {
        const std::string text = "Can't open file \"" + PathText(name) + "\"!";
        if (quiet) {
            AddEvent("- " + text, kEventError);
        } else {
            ProjectError(text);
        }
        return false;
    }
    ProjectType = type;
    SetProjectPath(name);
    AddLastProject(name);
    ExeFileTime = *time;
    bool loaded = false;
    if (type == TProjectType::Full) {
        loaded = OpenProjectFiles();
        if (loaded) {
            // The design restores the placement; without a .MEM every unit stays unplaced.
            ReadMemFile();
        }
    } else {
        // Its reasons are shown by the reader.
        loaded = ReadMemFile();
    }
    if (!loaded) {
        // A half-opened project would leave commands enabled that have nothing to work on.
        ResetProjectGlobals();
        AddEvent("- Error, project \"" + PathText(name) + "\" hasn't been opened", kEventError);
        return false;
    }
    BinFilesOK = ProjectBinFilesFresh();
    LoadComDefaults();
    AddEvent("- Project \"" + PathText(name) + "\" has been opened", kEventInfo);
    return true;
}

bool TRavloMainFormCore::ProjectBinFilesFresh() const {
    tProjectModel& model = ProjectModel();
    if (!MemFileOK || model.Modules == nullptr || model.Modules->Empty()) {
        return false;
    }
    if (ProjectType == TProjectType::Full && (model.Unplaced == nullptr || !model.Unplaced->Empty())) {
        return false;
    }
    for (std::int32_t i = 0; i < model.Modules->Count(); ++i) {
        if (IsBinOutdated(*model.Modules->At(i))) {
            return false;
        }
    }
    // The design file's reading has shown its findings already; here they only decide.
    HeadlessPresenter quiet([](std::string_view) {});
    const ScopedPresenter silenced(quiet);
    return model.Modules->CheckDesign();
}

void TRavloMainFormCore::CloseProject(bool forGood) {
    const bool wasOpen = ProjectType != TProjectType::None;
    const std::filesystem::path name = wasOpen ? OpenProjectPath() : std::filesystem::path();
    if (wasOpen) {
        // Its windows save into the project while it is still the open one.
        host_.CloseProjectWindows();
        CloseProjectFiles();
    }
    ResetProjectGlobals();
    CodeInDataSegWarned = false;
    if (wasOpen) {
        AddEvent("- Project \"" + PathText(name) + "\" has been closed", kEventInfo);
    }
    if (forGood) {
        host_.CloseModuleList();
    }
    if (Closing == 0) {
        UpdateMenus();
    }
}

bool TRavloMainFormCore::ProjectMayClose() {
    tModuleCollection* design = ProjectModel().Modules.get();
    if (ProjectType == TProjectType::None || design == nullptr || !design->Unsaved || design->EditsDropped ||
        cmdLineExit_) {
        return true;
    }
    const std::filesystem::path mem = ProjectFilePath(ProjectName + ".MEM");
    switch (TrMessageBox("Confirm", "Memory design changed.\r\nSave it to \"" + PathText(mem) + "\"?",
                         MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        // A design that could not be written keeps its project open: the box has told why.
        return WriteMemFile();
    case IDNO:
        design->EditsDropped = true;
        return true;
    default:
        return false;
    }
}

void TRavloMainFormCore::OpenFromMenu(const std::filesystem::path& name, TProjectType type) {
    if (!ProjectMayClose()) {
        return;
    }
    CloseProject(false);
    if (type == TProjectType::Full) {
        OpenFullProject(name, false);
    } else {
        OpenSmallProject(name, false);
    }
    host_.RefreshProjectWindow();
    UpdateMenus();
    host_.ShowProjectWindow();
}

void TRavloMainFormCore::OpenProject_MenuItemClick(TProjectType type) {
    const std::filesystem::path startDir = ProjectDir.empty() ? std::filesystem::path(".") : ProjectDirPath();
    if (const std::optional<std::filesystem::path> file = host_.ChooseProjectFile(type, startDir)) {
        OpenFromMenu(*file, type);
    }
}

void TRavloMainFormCore::ReOpen_MenuItemClick() {
    if (ProjectType == TProjectType::None) {
        return;
    }
    const TProjectType type = ProjectType;
    OpenFromMenu(OpenProjectPath(), type);
}

bool TRavloMainFormCore::RefusedDuringDownload(bool withEvent) {
    if (!ProjectDownloadUnderWay()) {
        return false;
    }
    ProjectWarning(kDownloadUnderWayText);
    if (withEvent) {
        AddEvent("- " + std::string(kDownloadUnderWayText), kEventError);
    }
    return true;
}

void TRavloMainFormCore::Generate_MenuItemClick() {
    const bool forCmdLine = (CmdLineFlags & CL_Generate) != 0;
    GenerateOk = 0;
    if (RefusedDuringDownload(true)) {
        CmdLineFlags &= static_cast<std::uint8_t>(~CL_Generate);
        return;
    }
    // A changed executable may be read again: that goes back to the first check, once.
    for (bool reloaded = false;;) {
        tProjectModel& model = ProjectModel();
        if (ProjectType != TProjectType::Full || model.Modules == nullptr || model.Unplaced == nullptr) {
            ProjectWarning("At first select the .EXE file.");
            break;
        }
        if (!model.Unplaced->Empty()) {
            ProjectWarning("At first place all units, then generate.");
            AddEvent("- At first place all units, then generate.", kEventError);
            break;
        }
        const std::filesystem::path exe = ProjectFilePath(ProjectName + ".EXE");
        const std::optional<FileTime> time = ReadFileWriteTime(exe);
        if (!time) {
            const std::string text = "Access file \"" + PathText(exe) + "\" denied!";
            ProjectError(text);
            AddEvent("- " + text, kEventError);
            break;
        }
        if (*time != ExeFileTime && !reloaded &&
            ProjectAskYesNo("File \"" + PathText(exe) + "\" changed.\r\nReload from disk?")) {
            if (!ProjectMayClose()) {
                break;
            }
            reloaded = true;
            CloseProject(false);
            OpenFullProject(exe, false);
            host_.RefreshProjectWindow();
            continue;
        }
        model.AllUnitsPlaced = true;
        if (!model.Modules->CheckDesign()) {
            ProjectError("Can't generate, didn't pass check.");
            AddEvent("- Error, Can't generate, didn't pass check.", kEventError);
            break;
        }
        if (GenerateBinFiles(*model.Modules)) {
            // A batch run stops here.
            CmdLineFlags = 0;
            ProjectError("Error, Generation failed, .BIN file(s) wasn't created.");
            AddEvent("- Error, Generation failed, .BIN file(s) wasn't created.", kEventError);
            break;
        }
        model.Modules->Changed = false;
        BinFilesOK = true;
        // The design goes with its images: its relocation section must survive a crash or a kill.
        WriteMemFile();
        host_.RefreshProjectWindow();
        if (!forCmdLine) {
            ProjectInformation("Generation was succesfully completed.");
        }
        GenerateOk = 1;
        AddEvent("- Project succesfully generated", kEventInfo);
        UpdateMenus();
        break;
    }
    CmdLineFlags &= static_cast<std::uint8_t>(~CL_Generate);
}

void TRavloMainFormCore::MemDesign_MenuItemClick() {
    if (!ProjectOpen()) {
        ProjectWarning("At first select the .EXE file.");
        return;
    }
    host_.ShowModuleList();
}

void TRavloMainFormCore::CrEpromImg_MenuItemClick() {
    const bool unattended = (CmdLineFlags & CL_EpromImage) != 0;
    EpromImageOk = 0;
    if (!ProjectOpen()) {
        ProjectWarning("At first open some project.");
    } else if (!BinFilesOK) {
        ProjectWarning("At first generate application.");
    } else if (!RefusedDuringDownload(false)) {
        const std::optional<TEpromRunResult> result =
            host_.ShowEpromImage(*this, *ProjectModel().Modules, unattended);
        if (unattended && result == TEpromRunResult::CheckFailed) {
            ProjectError(kEpromImageFailedText);
        }
    }
    CmdLineFlags &= static_cast<std::uint8_t>(~CL_EpromImage);
}

bool TRavloMainFormCore::EpromImageFromCmdLine() const {
    return (CmdLineFlags & CL_EpromImage) != 0;
}

void TRavloMainFormCore::FindErr_MenuItemClick() {
    tProjectModel& model = ProjectModel();
    if (ProjectType != TProjectType::Full || model.Modules == nullptr) {
        ProjectWarning("At first set .EXE file.");
        return;
    }
    std::error_code error;
    if (model.Map == nullptr || !std::filesystem::is_regular_file(model.Map->FileName(), error)) {
        ProjectWarning("Can't, .MAP file doesn't exist.");
        return;
    }
    if (model.Modules->Empty()) {
        // Without modules no unit has a board address to look in.
        ProjectWarning("Can't, the project has no memory design.");
        return;
    }
    TSegOfsPtr address = lastErrAddress_;
    if (!host_.AskAddress("Type error address:", address)) {
        return;
    }
    lastErrAddress_ = address;
    ShowReport(FindErrReport(model.Map->FindSrcLine(address)));
}

} // namespace ravlo
