#include "shell/main_actions.h"

#include <array>

namespace ravlo {
namespace {

using A = TMainAction;

constexpr TMainActionInfo Menu(A id, A parent, std::string_view name, std::string_view caption) {
    return {id, parent, true, name, caption, {}, {}, {}};
}

constexpr TMainActionInfo Item(A id, A parent, std::string_view name, std::string_view caption,
                               std::string_view shortcut, std::string_view toolName, std::string_view hint) {
    return {id, parent, false, name, caption, shortcut, toolName, hint};
}

// In the order of TMainAction, which is also menu order.
constexpr std::array<TMainActionInfo, kMainActionCount> kActions = {{
    Menu(A::FileMenu, A::FileMenu, "File_Menu", "&File"),
    Item(A::OpenExe, A::FileMenu, "OpenExe_MenuItem", "&Open .EXE project...", "Ctrl+O", {},
         "Open a FULL project: executable and map"),
    Item(A::OpenMem, A::FileMenu, "OpenMem_MenuItem", "Open .&MEM project...", "Ctrl+M", {},
         "Open a SMALL project: memory design and ROM images"),
    Item(A::ReOpen, A::FileMenu, "ReOpen_MenuItem", "&Reopen project", "Ctrl+R", "Reopen_ToolButton",
         "Read the open project from disk again"),
    Item(A::CloseProject, A::FileMenu, "CloseProject_MenuItem", "&Close project", {}, {},
         "Close the project"),
    Item(A::Exit, A::FileMenu, "Exit_MenuItem", "E&xit", "Alt+X", {},
         "Close the project and end the program"),
    Menu(A::Place, A::Place, "Place_Menu", "&Project"),
    Item(A::MemDesign, A::Place, "MemDesign_MenuItem", "&Memory design...", "Ctrl+D", "MemDesign_ToolButton",
         "Place the units into the memory modules"),
    Item(A::Generate, A::Place, "Generate_MenuItem", "&Generate", "F9", {}, "Write the ROM images (.BIN)"),
    Item(A::CrEpromImg, A::Place, "CrEpromImg_MenuItem", "Create &EPROM image...", "Ctrl+E",
         "CrEpromImg_ToolButton", "Compose the EPROM image file"),
    Item(A::FindErr, A::Place, "FindErr_MenuItem", "&Find error address...", "Ctrl+F", {},
         "Map a run-time error address to a source line"),
    Menu(A::VokMenu, A::VokMenu, "Vok_Menu", "&Vok"),
    Item(A::CreateCom, A::VokMenu, "CreateCom_MenuItem", "&Connect", {}, "CreateCom_ToolButton",
         "Open the COM port and connect to the Vok"),
    Item(A::DestroyCom, A::VokMenu, "DestroyCom_MenuItem", "&Disconnect", {}, "DestroyCom_ToolButton",
         "Disconnect from the Vok and close the COM port"),
    Item(A::ComSettings, A::VokMenu, "ComSettings_MenuItem", "COM &settings...", {}, {},
         "Choose the COM port and the baud rate"),
    Menu(A::Download, A::VokMenu, "Download_Menu", "&Transfer"),
    Item(A::DownloadApp, A::Download, "DownloadApp_MenuItem", "&Download application", "F7", {},
         "Load the project's ROM images into the Vok"),
    Item(A::RunApp, A::Download, "RunApp_MenuItem", "&Run application", "F8", {},
         "Start the project in the Vok"),
    Item(A::GenLoadRun, A::Download, "GenLoadRun_MenuItem", "&Generate, download and run", "Ctrl+F9",
         "GenLoadRun_ToolButton", "Generate, download and run the project"),
    Item(A::WriteBin, A::Download, "WriteBin_MenuItem", "&Write .BIN to Vok...", {}, "WriteToVok_ToolButton",
         "Write a .BIN file to a Vok address"),
    Item(A::ReadBin, A::Download, "ReadBin_MenuItem", "R&ead Vok to .BIN...", {}, "ReadFromVok_ToolButton",
         "Read Vok memory into a .BIN file"),
    Menu(A::BIOS, A::VokMenu, "BIOS_Menu", "&BIOS"),
    Item(A::BIOSInfo, A::BIOS, "BIOSInfo_MenuItem", "BIOS &info", {}, "BiosInfo_ToolButton",
         "Read the BIOS identification"),
    Item(A::VokSetup, A::BIOS, "VokSetup_MenuItem", "Vok &setup...", {}, "SetupVok_ToolButton",
         "Edit the Vok's BIOS setup"),
    Item(A::RTC, A::BIOS, "RTC_MenuItem", "Real-time &clock...", {}, {}, "Read and set the Vok's clock"),
    Item(A::IO, A::BIOS, "IO_MenuItem", "I&O ports...", {}, {}, "Read and write IO ports"),
    Item(A::GO, A::BIOS, "GO_MenuItem", "&Go from address...", {}, {}, "Vok - Go - from address"),
    Item(A::RUN, A::BIOS, "RUN_MenuItem", "&Run from address...", {}, {}, "Vok - Run - from address"),
    Item(A::CheckSum, A::BIOS, "CheckSum_MenuItem", "C&hecksum", {}, {}, "Checksum of the project's modules"),
    Item(A::Request, A::BIOS, "Request_MenuItem", "I&dentify Vok", {}, {}, "Ask the Vok for its type"),
    Menu(A::Debug, A::VokMenu, "Debug_Menu", "&Memory"),
    Item(A::Mem256, A::Debug, "Mem256_MenuItem", "Memory &256 bytes...", {}, {},
         "Show 256 bytes of Vok memory"),
    Item(A::MemView, A::Debug, "MemView_MenuItem", "Memory &view...", "Ctrl+W", "MemView_ToolButton",
         "Show and edit Vok memory"),
    Item(A::Read, A::Debug, "Read_MenuItem", "&Read memory block...", {}, {}, "Reading memory block"),
    Menu(A::UsersMenu, A::UsersMenu, "Users_Menu", "&Users"),
    Item(A::UserLogin, A::UsersMenu, "UserLogin_MenuItem", "&Login...", "Ctrl+L", "UserLogin_ToolButton",
         "Log in"),
    Item(A::UserLogout, A::UsersMenu, "UserLogout_MenuItem", "Log&out", {}, {}, "Log out"),
    Item(A::UsersDefine, A::UsersMenu, "UsersDefine_MenuItem", "&Users...", {}, {}, "Edit the users"),
    Menu(A::ProgramDebug, A::ProgramDebug, "ProgramDebug_Menu", "De&bug"),
    Item(A::DbgEmpty, A::ProgramDebug, "DbgEmpty_MenuItem", "&Empty frame...", {}, {}, "Send an empty frame"),
    Item(A::DbgCheckSum, A::ProgramDebug, "DbgCheckSum_MenuItem", "&Checksum frame...", {}, {},
         "Send a checksum frame"),
    Item(A::DbgMem, A::ProgramDebug, "DbgMem_MenuItem", "&Mem frame...", {}, {}, "Send a memory frame"),
    Item(A::DbgRun, A::ProgramDebug, "DbgRun_MenuItem", "&Run frame...", {}, {}, "Send a run frame"),
    Item(A::DbgGo, A::ProgramDebug, "DbgGo_MenuItem", "&Go frame...", {}, {}, "Send a go frame"),
    Item(A::DbgLoadS256, A::ProgramDebug, "DbgLoadS256_MenuItem", "LoadS&256 frame...", {}, {},
         "Send a 256-byte load frame"),
    Item(A::DbgLoadSRemain, A::ProgramDebug, "DbgLoadSRemain_MenuItem", "LoadS Remai&n frame...", {}, {},
         "Send a load frame of the remaining bytes"),
    Menu(A::WindowMenu, A::WindowMenu, "Window_Menu", "&Window"),
    Item(A::MAView, A::WindowMenu, "MAView_MenuItem", "&Master process", {}, {}, "Show the master process"),
    Item(A::CommView, A::WindowMenu, "CommView_MenuItem", "&Communication", {}, {},
         "Show the communication process"),
    Item(A::ErrHistory, A::WindowMenu, "ErrHistory_MenuItem", "&Error history", {}, {},
         "List of last error messages"),
    Item(A::SysWriter, A::WindowMenu, "SysWriter_MenuItem", "&System writer", {}, {},
         "Show the trace window"),
    Item(A::DebugMode, A::WindowMenu, "DebugMode_MenuItem", "&Debug messages...", {}, {},
         "Debug messages setup"),
    Menu(A::HelpMenu, A::HelpMenu, "Help_Menu", "&Help"),
    Item(A::About, A::HelpMenu, "About_MenuItem", "&About...", {}, {}, "About Ravlo"),
}};

constexpr std::array<TMainAction, 12> kToolButtons = {
    A::ReOpen,   A::MemDesign, A::CrEpromImg, A::GenLoadRun, A::WriteBin,  A::ReadBin,
    A::BIOSInfo, A::VokSetup,  A::MemView,    A::UserLogin,  A::CreateCom, A::DestroyCom,
};

constexpr bool TableInEnumOrder() {
    for (std::size_t i = 0; i < kActions.size(); ++i) {
        if (ActionIndex(kActions[i].Id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(TableInEnumOrder(), "the action table must follow TMainAction");

} // namespace

std::span<const TMainActionInfo> MainActions() {
    return kActions;
}

const TMainActionInfo& MainActionInfo(TMainAction action) {
    return kActions[ActionIndex(action)];
}

std::span<const TMainAction> MainToolButtons() {
    return kToolButtons;
}

bool IsCheckableAction(TMainAction action) {
    return action == A::MAView || action == A::CommView || action == A::ErrHistory || action == A::SysWriter;
}

} // namespace ravlo
