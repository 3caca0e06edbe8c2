#pragma once

// What the board master process calls outside the protocol layer: the progress window, the memory
// view and setup dialogs, the main form with its step and command-line flags, and the open project.
// The shell implements them; a process without them shows nothing and answers as if no project
// were open.

#include "framework/board_address.h"
#include "platform/message_target.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ravlo {

// The window that shows a running memory transfer; it reads the master's active request.
class TMaProgressView {
public:
    virtual ~TMaProgressView() = default;
    // Opens the window for the active request (one per transfer).
    virtual void ShowProgress() = 0;
    // The transfer advanced.
    virtual void UpdateProgress() = 0;
    // Closes the window when one is open.
    virtual void CloseProgress() = 0;
};

// The windows that show what a board read brought.
class TMaBoardViews {
public:
    virtual ~TMaBoardViews() = default;
    // The memory view whose window is notify, or a new one, shows the 256-byte page read at address
    // and keeps it.
    virtual void ShowMemPage(WindowHandle notify, TSegOfsPtr address, std::vector<std::uint8_t> page) = 0;
    // The setup dialog edits the 256-byte setup block read from the board (the record lies at its
    // start), which is its own from now on. The read has ended when this is called; the dialog
    // opens only after the master's handler has returned, and when the user chooses to write the
    // block back it goes to WriteSetup188 or WriteSetup386 as a new operation.
    virtual void EditConfig188(std::vector<std::uint8_t> block) = 0;
    virtual void EditConfig386(std::vector<std::uint8_t> block) = 0;
};

// The main form: its step flags, the command-line flags and the commands a batch run goes through.
class TMaMainForm {
public:
    // Command-line flags the master reads and clears (the whole byte is the shell's).
    static constexpr std::uint8_t CL_Download = 0x04;
    static constexpr std::uint8_t CL_Run = 0x08;
    static constexpr std::uint8_t CL_Exit = 0x40;

    virtual ~TMaMainForm() = default;
    // A write (or a start) the board has confirmed: true; one that failed: false.
    virtual void SetDownloadOk(bool ok) = 0;
    virtual bool RunOk() const = 0;
    virtual void SetRunOk(bool ok) = 0;
    virtual std::uint8_t CmdLineFlags() const = 0;
    virtual void SetCmdLineFlags(std::uint8_t flags) = 0;
    // The menu commands: download the open project, run it, end the program.
    virtual void DownloadApp_MenuItemClick() = 0;
    virtual void RunApp_MenuItemClick() = 0;
    virtual void Exit_ActionExecute() = 0;
    // The serial port could not be opened (or reopened with new settings); the box has said why.
    virtual void PortNotOpened() = 0;
};

// One ROM module of the open project, in address order.
struct TMaRomModule {
    std::string Name;
    std::uint16_t Segment = 0;
    std::uint32_t Size = 0; // bytes; 0 until the module is generated
};

// The open project.
class TMaProject {
public:
    virtual ~TMaProject() = default;
    // Whether a FULL project (executable and map) is open.
    virtual bool IsFullProject() const = 0;
    // Sends the project's ROM modules to the board (through the master's WriteMemBlock).
    virtual void DownloadProject() = 0;
    // The ROM modules in address order.
    virtual std::vector<TMaRomModule> RomModules() const = 0;
};

// The four, as the main form hands them to the master; any may be absent.
struct TMaInterfaces {
    TMaProgressView* Progress = nullptr;
    TMaBoardViews* Views = nullptr;
    TMaMainForm* MainForm = nullptr;
    TMaProject* Project = nullptr;
};

} // namespace ravlo
