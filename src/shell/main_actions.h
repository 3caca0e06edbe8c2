#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace ravlo {

// The main form's menus and commands. Menus are actions too: enabling a menu opens its items.
enum class TMainAction : std::uint8_t {
    FileMenu,
    OpenExe,
    OpenMem,
    ReOpen,
    CloseProject,
    Exit,
    Place, // the project menu
    MemDesign,
    Generate,
    CrEpromImg,
    FindErr,
    VokMenu,
    CreateCom,
    DestroyCom,
    ComSettings,
    Download, // the menu of the transfers to and from the board
    DownloadApp,
    RunApp,
    GenLoadRun,
    WriteBin,
    ReadBin,
    BIOS, // the menu of the board's BIOS and start commands
    BIOSInfo,
    VokSetup,
    RTC,
    IO,
    GO,
    RUN,
    CheckSum,
    Request,
    Debug, // the board memory menu
    Mem256,
    MemView,
    Read,
    UsersMenu,
    UserLogin,
    UserLogout,
    UsersDefine,
    ProgramDebug, // the program's own debug menu: single board frames
    DbgEmpty,
    DbgCheckSum,
    DbgMem,
    DbgRun,
    DbgGo,
    DbgLoadS256,
    DbgLoadSRemain,
    WindowMenu,
    MAView,
    CommView,
    ErrHistory,
    SysWriter,
    DebugMode,
    HelpMenu,
    About,
};
inline constexpr std::size_t kMainActionCount = static_cast<std::size_t>(TMainAction::About) + 1;

constexpr std::size_t ActionIndex(TMainAction action) {
    return static_cast<std::size_t>(action);
}

// How the menu builder shows one action. Texts are ASCII; "&" marks the accelerator letter.
struct TMainActionInfo {
    TMainAction Id;
    TMainAction Parent; // the menu it sits in; a top-level menu names itself
    bool IsMenu;
    std::string_view Name; // object name, found by tests and tools
    std::string_view Caption;
    std::string_view Shortcut; // key sequence text, empty for none
    std::string_view ToolName; // name of its tool button, empty when it has none
    std::string_view Hint;
};

// Every action once, in menu order (a menu before its items); the tool buttons in the order of
// MainToolButtons.
std::span<const TMainActionInfo> MainActions();
const TMainActionInfo& MainActionInfo(TMainAction action);
std::span<const TMainAction> MainToolButtons();
// The Window menu's views, checked while their window is open.
bool IsCheckableAction(TMainAction action);

} // namespace ravlo
