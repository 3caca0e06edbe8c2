#include "shell/main_form_links.h"

#include "project/module_collection.h"
#include "project/project_globals.h"
#include "protocol/ma_process.h"
#include "protocol/tmp_err_hist_windows.h"
#include "protocol/tmp_err_process.h"
#include "shell/main_form_core.h"

namespace ravlo {

void TMaFormLink::SetDownloadOk(bool ok) {
    core_.DownloadOk = ok ? 1 : 0;
    if (ok) {
        core_.BoardBlockWritten();
    } else {
        core_.BoardStepFailed(TCmdLineStep::Download);
    }
}

bool TMaFormLink::RunOk() const {
    return core_.RunOk != 0;
}

void TMaFormLink::SetRunOk(bool ok) {
    core_.RunOk = ok ? 1 : 0;
    if (ok) {
        core_.BoardRunStarted();
    } else {
        core_.BoardStepFailed(TCmdLineStep::Run);
    }
}

void TMaFormLink::PortNotOpened() {
    core_.PortNotOpened();
}

std::uint8_t TMaFormLink::CmdLineFlags() const {
    return core_.FlagsForMaster();
}

void TMaViewsLink::ShowMemPage(WindowHandle notify, TSegOfsPtr address, std::vector<std::uint8_t> page) {
    core_.ShowMemPage(notify, address, std::move(page));
}

void TMaViewsLink::EditConfig188(std::vector<std::uint8_t> block) {
    core_.EditBoardSetup(TSetupBoard::Vok188, std::move(block));
}

void TMaViewsLink::EditConfig386(std::vector<std::uint8_t> block) {
    core_.EditBoardSetup(TSetupBoard::Vok386, std::move(block));
}

void TMaFormLink::DownloadApp_MenuItemClick() {
    core_.BoardAnswered();
}

void TMaFormLink::RunApp_MenuItemClick() {
    core_.BoardAnswered();
}

bool TMaProjectLink::IsFullProject() const {
    return ProjectType == TProjectType::Full;
}

void TMaProjectLink::DownloadProject() {
    core_.BoardAnswered();
}

std::vector<TMaRomModule> TMaProjectLink::RomModules() const {
    std::vector<TMaRomModule> modules;
    tModuleCollection* design = ProjectModel().Modules.get();
    if (design == nullptr) {
        return modules;
    }
    for (auto rom = design->FindFirstRomModule(); rom; rom = design->FindNextRomModule()) {
        modules.push_back({rom->Name, rom->Segment, rom->Size});
    }
    return modules;
}

bool TMaBoardDownloader::WriteRomModule(TSegOfsPtr address, std::vector<std::uint8_t> data,
                                        std::string_view shownName) {
    if (!master_.WriteRomModule(address, std::move(data), shownName)) {
        return false;
    }
    ++handed_;
    return true;
}

std::vector<std::string> TTmpErrHistorySource::HistoryLines() const {
    return process_.History;
}

const void* TTmpErrHistorySource::HistoryAddress() const {
    return &process_.History;
}

void TTmpErrHistorySource::WatcherOpened() {
    TmpErrHistWindowOpened();
}

void TTmpErrHistorySource::WatcherClosed() {
    TmpErrHistWindowClosed();
}

} // namespace ravlo
