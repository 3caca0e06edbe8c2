// The main form's board commands: every one is a call on the board master process, whose
// operations run asynchronously and report back through it.
#include "framework/rtdw_ini.h"
#include "framework/writer_channels.h"
#include "platform/ini_file.h"
#include "platform/presenter.h"
#include "project/download.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_messages.h"
#include "protocol/com_globals.h"
#include "protocol/comm_process.h"
#include "protocol/ma_process.h"
#include "shell/cmd_line.h"
#include "shell/com_param.h"
#include "shell/main_form_core.h"
#include "shell/main_form_host.h"
#include "shell/mem_view_model.h"
#include "shell/run_address.h"

#include <string>

namespace ravlo {
namespace {

constexpr int kDefaultBaud = 4800;
constexpr int kMinBaud = 300;
constexpr int kMaxBaud = 115200;
constexpr int kMaxComPort = 16;

// A baud rate of [COM]; a value out of range is told and replaced.
int ComBaudSetting(const IniFile& ini, std::string_view key, int fallback) {
    const int value = ini.ReadInteger("COM", key, fallback);
    if (value < kMinBaud || value > kMaxBaud) {
        WriteErrsys(0, "RTDW.INI [COM] " + std::string(key) + "=" + std::to_string(value) +
                           " is no baud rate; " + std::to_string(fallback) + " is used");
        return fallback;
    }
    return value;
}

} // namespace

bool TRavloMainFormCore::AskAddressFor(std::string_view caption, TSegOfsPtr& address) {
    return host_.AskAddress(caption, address);
}

void TRavloMainFormCore::LoadComDefaults() {
    const IniFile ini(GetRtdwIniName());
    if (MAProc == nullptr || !ini.Exists()) {
        return;
    }
    const int defBd = ComBaudSetting(ini, "DefBd", kDefaultBaud);
    const int bdld = ComBaudSetting(ini, "BDLD", defBd);
    int port = ini.ReadInteger("COM", "COM", 1);
    if (port < 1 || port > kMaxComPort) {
        WriteErrsys(0,
                    "RTDW.INI [COM] COM=" + std::to_string(port) + " is no port from 1 to 16; COM1 is used");
        port = 1;
    }
    MAProc->DefBd = static_cast<std::uint32_t>(defBd);
    MAProc->BDLD = static_cast<std::uint32_t>(bdld);
    MAProc->CurBaud = static_cast<std::uint32_t>(bdld);
    MAProc->ComPort = static_cast<std::uint8_t>(port);
    ComDefaultPort = static_cast<std::uint8_t>(port);
    MAProc->SetChnParam(static_cast<std::uint8_t>(port), static_cast<std::uint32_t>(bdld));
}

void TRavloMainFormCore::CreateCom_Click() {
    if (MAProc != nullptr) {
        MAProc->OpenComm();
    }
}

void TRavloMainFormCore::DestroyCom_Click() {
    if (MAProc != nullptr) {
        MAProc->CloseComm();
    }
}

void TRavloMainFormCore::ComSettings_Click() {
    if (MAProc == nullptr) {
        return;
    }
    std::uint8_t port = MAProc->ComPort;
    std::uint32_t baud = MAProc->BDLD;
    const auto run = [this](TComParam& dialog) {
        return host_.RunComParamDialog(dialog);
    };
    if (!ShowComParam(port, baud, run, [] { return DetectComPorts(ComOpenPort); })) {
        return;
    }
    MAProc->BDLD = baud;
    MAProc->CurBaud = baud;
    MAProc->ComPort = port;
    if (CommProc != nullptr && CommProc->State != 0) {
        // The channel exists: the board and the link change over to the new settings.
        MAProc->SetChnParam(port, baud);
        return;
    }
    if (CommProc != nullptr) {
        CommProc->ComPort = port;
        CommProc->Baud = baud;
    }
    MAProc->OpenComm();
}

bool TRavloMainFormCore::DownloadApp_MenuItemClick(bool unattended) {
    lastDownloadHanded_ = 0;
    bool ok = false;
    if (MAProc == nullptr) {
        // Without the master process the command has nothing to work with.
    } else if (!ProjectOpen()) {
        ProjectWarning("Nothing to load, check project!");
    } else {
        if (!ProjectDownloadUnderWay()) {
            projectBlocksPending_ = 0; // what an earlier download left has gone with the board's queue
        }
        TMaBoardDownloader board(*MAProc);
        ok = DownloadProject(board, unattended ? TDownloadAsk::Unattended : TDownloadAsk::User);
        lastDownloadHanded_ = board.Handed();
        projectBlocksPending_ += lastDownloadHanded_;
    }
    CmdLineFlags &= static_cast<std::uint8_t>(~CL_Download);
    return ok && lastDownloadHanded_ > 0;
}

bool TRavloMainFormCore::RunApp_MenuItemClick() {
    bool started = false;
    if (MAProc == nullptr) {
        // Nothing to run on.
    } else if (!ProjectOpen()) {
        TSegOfsPtr address = runAddress_;
        if (AskAddressFor("Vok - Run - from address", address)) {
            runAddress_ = address;
            MAProc->RunApp(address);
            started = true;
        }
    } else if (const std::optional<TSegOfsPtr> address = FindRunAddress(*ProjectModel().Modules)) {
        MAProc->RunApp(*address);
        started = true;
    } else {
        ProjectWarning("No runnable memory module found.");
    }
    CmdLineFlags &= static_cast<std::uint8_t>(~CL_Run);
    return started;
}

void TRavloMainFormCore::GenLoadRun_MenuItemClick() {
    if (ProjectType == TProjectType::Full) {
        CmdLineFlags |= CL_Generate;
        Generate_MenuItemClick();
    } else if (ProjectType == TProjectType::Small) {
        GenerateOk = 1;
    } else {
        ProjectWarning("Nothing to load, check project!");
        return;
    }
    // The run waits behind the writes in the master's queue.
    if (GenerateOk != 0 && DownloadApp_MenuItemClick()) {
        RunApp_MenuItemClick();
    }
}

void TRavloMainFormCore::GoAddress_Click() {
    TSegOfsPtr address = goAddress_;
    if (MAProc != nullptr && AskAddressFor("Vok - Go - from address", address)) {
        goAddress_ = address;
        MAProc->GoAddr(address);
    }
}

void TRavloMainFormCore::RunAddress_Click() {
    TSegOfsPtr address = runAddress_;
    if (MAProc != nullptr && AskAddressFor("Vok - Run - from address", address)) {
        runAddress_ = address;
        MAProc->RunApp(address);
    }
}

void TRavloMainFormCore::CheckSum_Click() {
    if (ProjectType != TProjectType::Full) {
        ProjectWarning("Project type FULL needed for CheckSumming.");
        return;
    }
    if (MAProc != nullptr) {
        MAProc->CheckSum();
    }
}

void TRavloMainFormCore::BIOSInfo_Click() {
    if (MAProc != nullptr) {
        MAProc->ReadBiosId();
    }
}

void TRavloMainFormCore::MemView_MenuItemClick() {
    TSegOfsPtr address = MemViewAddr();
    if (MAProc != nullptr && AskAddressFor("Enter starting address", address)) {
        MemViewAddr() = address;
        MAProc->ReadMemPage(address, kNoWindow);
    }
}

void TRavloMainFormCore::ShowMemPage(WindowHandle notify, TSegOfsPtr address,
                                     std::vector<std::uint8_t> page) {
    Defer([this, notify, address, page = std::move(page)] { host_.ShowMemPage(notify, address, page); });
}

void TRavloMainFormCore::Request_Click() {
    if (MAProc != nullptr) {
        MAProc->SendRqst();
    }
}

} // namespace ravlo
