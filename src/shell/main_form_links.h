#pragma once

#include "project/download.h"
#include "protocol/ma_interfaces.h"
#include "shell/err_history_source.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace ravlo {

class TRavloMainFormCore;
class TRavlo_MA_Process;
class TTMP_ERR_Process;

// The main form as the board master process sees it. The master calls it from its message
// handlers; the command-line plan keeps the flags and decides when the program ends, so the
// master's own flag changes and exit calls are only taken as news of the board.
class TMaFormLink final : public TMaMainForm {
public:
    explicit TMaFormLink(TRavloMainFormCore& core) : core_(core) {}

    void SetDownloadOk(bool ok) override;
    bool RunOk() const override;
    void SetRunOk(bool ok) override;
    std::uint8_t CmdLineFlags() const override;
    void SetCmdLineFlags(std::uint8_t) override {}
    void DownloadApp_MenuItemClick() override;
    void RunApp_MenuItemClick() override;
    void Exit_ActionExecute() override {}
    void PortNotOpened() override;

private:
    TRavloMainFormCore& core_;
};

// The windows that show what a board read brought: the memory views and the setup dialogs, opened
// by the main form after the master's handler has returned.
class TMaViewsLink final : public TMaBoardViews {
public:
    explicit TMaViewsLink(TRavloMainFormCore& core) : core_(core) {}

    void ShowMemPage(WindowHandle notify, TSegOfsPtr address, std::vector<std::uint8_t> page) override;
    void EditConfig188(std::vector<std::uint8_t> block) override;
    void EditConfig386(std::vector<std::uint8_t> block) override;

private:
    TRavloMainFormCore& core_;
};

// The open project as the board master process sees it.
class TMaProjectLink final : public TMaProject {
public:
    explicit TMaProjectLink(TRavloMainFormCore& core) : core_(core) {}

    bool IsFullProject() const override;
    // The master asks for the command-line download: the main form's plan does it.
    void DownloadProject() override;
    std::vector<TMaRomModule> RomModules() const override;

private:
    TRavloMainFormCore& core_;
};

// The download's board side: each ROM module goes to the master's write queue; counts what was
// handed over.
class TMaBoardDownloader final : public TBoardDownloader {
public:
    explicit TMaBoardDownloader(TRavlo_MA_Process& master) : master_(master) {}

    bool WriteRomModule(TSegOfsPtr address, std::vector<std::uint8_t> data,
                        std::string_view shownName) override;
    int Handed() const { return handed_; }

private:
    TRavlo_MA_Process& master_;
    int handed_ = 0;
};

// The error-history window's view of the error-history process.
class TTmpErrHistorySource final : public TErrHistorySource {
public:
    explicit TTmpErrHistorySource(TTMP_ERR_Process& process) : process_(process) {}

    std::vector<std::string> HistoryLines() const override;
    const void* HistoryAddress() const override;
    void WatcherOpened() override;
    void WatcherClosed() override;

private:
    TTMP_ERR_Process& process_;
};

} // namespace ravlo
