#pragma once

#include "framework/board_address.h"
#include "platform/message_target.h"
#include "project/eprom_composer.h"
#include "project/project_globals.h"
#include "shell/main_actions.h"
#include "shell/setup_files.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

class TComParam;
class TErrHistorySource;
class TMaProgressView;
class TRavlo_MA_Process;
class TToolBoard;
class tModuleCollection;
struct TMenuStates;
struct TStatusPanels;

// What the main form's core asks of its windows: the Qt main form, or a stand-in in tests. Every
// call comes on the main thread, never from inside a process message handler.
class TMainFormHost {
public:
    virtual ~TMainFormHost() = default;

    // A line for the event log (code page 1250) in the colour of kind.
    virtual void AddEvent(std::string_view text, std::uint8_t kind) = 0;
    // The enabled, visible and checked state of every command.
    virtual void ApplyMenuStates(const TMenuStates& states) = 0;
    // Whether the views the Window menu checks are open.
    virtual bool ErrHistoryOpen() const = 0;
    virtual bool SysWriterOpen() const = 0;
    // The project changed: the project window and the module list show it again (when open).
    virtual void RefreshProjectWindow() = 0;
    // Shows the project window at the top-left corner when it is not open.
    virtual void ShowProjectWindow() = 0;
    // Opens (or brings up) the module list window on the open design.
    virtual void ShowModuleList() = 0;
    // Frees the module list window when it is open.
    virtual void CloseModuleList() = 0;

    // The open dialog for a FULL (.EXE) or SMALL (.MEM) project; nothing when cancelled.
    virtual std::optional<std::filesystem::path> ChooseProjectFile(TProjectType type,
                                                                   const std::filesystem::path& startDir) = 0;
    // Asks for a board address under caption (code page 1250), starting from address; false when
    // cancelled (address unchanged).
    virtual bool AskAddress(std::string_view caption, TSegOfsPtr& address) = 0;
    // Asks for one number with the parameter dialog of width bytes (1, 2 or 4): typed in hex between
    // min and max, with label and unit beside it. False when cancelled (value unchanged) or when
    // nobody can answer.
    virtual bool AskParameter(std::string_view /*label*/, std::string_view /*unit*/, std::size_t /*width*/,
                              std::uint32_t /*min*/, std::uint32_t /*max*/, std::uint32_t& /*value*/) {
        return false;
    }
    // The save dialog that spec describes; nothing when cancelled.
    virtual std::optional<std::filesystem::path> ChooseSaveFile(const TFileDialogSpec& /*spec*/) {
        return std::nullopt;
    }

    // Shows the EPROM image window filled from the design (the open one, brought to the front, when
    // there is one). Unattended, it creates the image at once (closing the window unless the
    // composition needs corrections) and answers how that ended; otherwise nothing.
    virtual std::optional<TEpromRunResult> ShowEpromImage(TEpromImgHost& imageHost,
                                                          tModuleCollection& modules, bool unattended) = 0;
    // The open dialog for a BIOS setup file (.c38 or .c18) to edit offline; nothing when cancelled.
    virtual std::optional<std::filesystem::path> ChooseSetupFile(const std::filesystem::path& startDir) = 0;
    // Shows the setup dialog of board over record, which it edits in place, with "Save to Vok"
    // enabled when canSave (ApplyMenuStates tells an open dialog SetupConnected). True when the user
    // chose "Save to Vok"; the record is then the edited one.
    virtual bool EditSetup(TSetupBoard board, std::span<std::uint8_t> record, bool canSave) = 0;
    // The open project is closing: the windows that belong to it close now, saving into it.
    virtual void CloseProjectWindows() = 0;
    // Opens an error-history window on source (nullptr: an empty one).
    virtual void ShowErrHistory(TErrHistorySource* source) = 0;
    // Shows the writer window of channel 0.
    virtual void ShowSysWriter() = 0;
    // The progress window of the board master's transfers, which the master opens, feeds and
    // closes itself; the tool windows reach the board through master. A host without windows
    // has none.
    virtual TMaProgressView* BoardProgress(TRavlo_MA_Process&) { return nullptr; }
    // A page the board master read for the memory view whose window is notify: that view, or a new
    // one, shows it.
    virtual void ShowMemPage(WindowHandle, TSegOfsPtr, std::vector<std::uint8_t>) {}
    // Opens (or brings up) the binary write and read windows.
    virtual void ShowBinWriter() {}
    virtual void ShowBinReader() {}

    // Closes the main window through its close path; the program then ends.
    virtual void CloseMainForm() = 0;

    // Runs the dialog registered under name on data (ExecuteDialog) and answers its modal result;
    // nullopt when nobody can answer a dialog (there is no display).
    virtual std::optional<int> ExecuteDialog(std::string_view name, std::span<std::uint8_t> data) = 0;

    // The status bar shows the panels; also called inside a process's handler, as it only repaints.
    virtual void ShowStatusPanels(const TStatusPanels&) {}
    // The File menu lists the recent projects (entries 1 to 5, code page 1250 paths, empty when
    // unused).
    virtual void ShowLastProjects(std::span<const std::string>) {}
    // Shows the status window of the master process (MAView) or the communication process
    // (CommView), the open one when there is one; and whether it is open.
    virtual void ShowProcessView(TMainAction) {}
    virtual bool ProcessViewOpen(TMainAction) const { return false; }
    virtual void ShowAbout() {}
    // The board tool windows: the IO access window (the open one brought up), the modal clock
    // window, and the modal COM parameters dialog over its model (true for OK). Without windows
    // nothing opens and the dialog is cancelled.
    virtual void ShowIOAccess(TToolBoard& /*board*/) {}
    virtual void ShowVokRTC(TToolBoard& /*board*/) {}
    virtual bool RunComParamDialog(TComParam& /*dialog*/) { return false; }
};

} // namespace ravlo
