#pragma once

// The main form's core at work on the application INI the program ships with, among fakes: a
// recording host in place of the windows, the board master process's fake communication process
// with its fake board (from the master's tests), a fake clock, and a demo project made by the
// fixture generator.

#include "fixtures/mem_design.h"
#include "fixtures/program_layout.h"
#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "framework/dialog_registry.h"
#include "framework/main_window.h"
#include "kernel/process_coll.h"
#include "kernel/scheduler_drive.h"
#include "kernel/time_mess.h"
#include "platform/tick.h"
#include "project/project_globals.h"
#include "shell/main_form_core.h"
#include "shell/main_form_host.h"
#include "shell/menu_state.h"
#include "shell/status_bar.h"
#include "support/default_app_ini.h"
#include "support/fake_time_steps.h"
#include "support/shell_test_globals.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ravlo::testing {

// The windows as far as the core talks to them.
class RecordingHost final : public TMainFormHost {
public:
    struct Event {
        std::string Text;
        std::uint8_t Kind = 0;
    };

    void AddEvent(std::string_view text, std::uint8_t kind) override {
        Events.push_back({std::string(text), kind});
    }
    void ApplyMenuStates(const TMenuStates& states) override {
        Menus = states;
        ++MenuUpdates;
    }
    bool ErrHistoryOpen() const override { return !HistorySources.empty(); }
    bool SysWriterOpen() const override { return SysWriters > 0; }
    void RefreshProjectWindow() override {}
    void ShowProjectWindow() override { ++ProjectWindowShows; }
    void ShowModuleList() override { ++ModuleListShows; }
    void CloseModuleList() override { ++ModuleListCloses; }
    std::optional<std::filesystem::path> ChooseProjectFile(TProjectType type,
                                                           const std::filesystem::path&) override {
        ChosenTypes.push_back(type);
        return Next(ProjectFiles);
    }
    bool AskAddress(std::string_view caption, TSegOfsPtr& address) override {
        AddressCaptions.emplace_back(caption);
        OfferedAddresses.push_back(address);
        const std::optional<TSegOfsPtr> answer = Next(Addresses);
        address = answer.value_or(address);
        return answer.has_value();
    }
    // As the window does, without widgets.
    std::optional<TEpromRunResult> ShowEpromImage(TEpromImgHost& imageHost, tModuleCollection& modules,
                                                  bool unattended) override {
        ++EpromWindows;
        TEpromImgComposer composer(imageHost);
        composer.Open();
        composer.LoadProjectModules(modules);
        if (!unattended) {
            composer.Close();
            return std::nullopt;
        }
        const TEpromRunResult result = RunEpromImageUnattended(composer, imageHost);
        composer.Close();
        return result;
    }
    std::optional<std::filesystem::path> ChooseSetupFile(const std::filesystem::path&) override {
        return SetupFile;
    }
    bool EditSetup(TSetupBoard board, std::span<std::uint8_t> record, bool canSave) override {
        SetupEdits.push_back({board, {record.begin(), record.end()}, canSave});
        return OnEditSetup ? OnEditSetup(record) : false;
    }
    void CloseProjectWindows() override {}
    void ShowErrHistory(TErrHistorySource* source) override { HistorySources.push_back(source); }
    void ShowSysWriter() override { ++SysWriters; }
    void CloseMainForm() override { ++CloseRequests; }
    void ShowStatusPanels(const TStatusPanels&) override {}
    void ShowLastProjects(std::span<const std::string> entries) override {
        LastProjects.assign(entries.begin(), entries.end());
    }
    // The registered dialog (tests register fakes); nullopt while nobody can answer.
    std::optional<int> ExecuteDialog(std::string_view name, std::span<std::uint8_t> data) override {
        Dialogs.emplace_back(name);
        if (!CanAnswerDialogs) {
            return std::nullopt;
        }
        return ravlo::ExecuteDialog(nullptr, name, data);
    }

    // The next answer of a queue; nullopt (a cancel) when none is left.
    template <class T>
    static std::optional<T> Next(std::deque<std::optional<T>>& answers) {
        if (answers.empty()) {
            return std::nullopt;
        }
        const std::optional<T> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<std::string> EventTexts() const {
        std::vector<std::string> texts;
        for (const Event& event : Events) {
            texts.push_back(event.Text);
        }
        return texts;
    }
    bool HasEvent(std::string_view text) const {
        return std::any_of(Events.begin(), Events.end(), [text](const Event& e) { return e.Text == text; });
    }
    bool Enabled(TMainAction action) const { return Menus && (*Menus)[action].Enabled; }

    std::vector<Event> Events;
    std::optional<TMenuStates> Menus;
    int MenuUpdates = 0;
    int ProjectWindowShows = 0, ModuleListShows = 0, ModuleListCloses = 0;
    std::deque<std::optional<std::filesystem::path>> ProjectFiles;
    std::vector<TProjectType> ChosenTypes;
    // Answers of the address dialog in order; nullopt cancels.
    std::deque<std::optional<TSegOfsPtr>> Addresses;
    std::vector<std::string> AddressCaptions;
    std::vector<TSegOfsPtr> OfferedAddresses;
    int EpromWindows = 0;
    // The setup file chosen to edit offline, and each setup dialog shown: what it was given; what
    // the user does there, answering "Save to Vok".
    std::optional<std::filesystem::path> SetupFile;
    struct SetupEdit {
        TSetupBoard Board = TSetupBoard::Vok386;
        std::vector<std::uint8_t> Record;
        bool CanSave = false;
    };
    std::vector<SetupEdit> SetupEdits;
    std::function<bool(std::span<std::uint8_t>)> OnEditSetup;
    std::vector<TErrHistorySource*> HistorySources;
    int SysWriters = 0;
    int CloseRequests = 0;
    std::vector<std::string> Dialogs;
    bool CanAnswerDialogs = true;
    std::vector<std::string> LastProjects;
};

// The shipped INI with short waits for unattended runs.
inline std::string ShellIni(std::string_view extra = {}) {
    return std::string(kDefaultAppIni) + "[COMMANDLINE]\r\nBoardWait=3\r\nStepWait=20\r\nExitWait=2\r\n" +
           std::string(extra);
}

// The core on the shipped INI; the communication process is the master's fake one. Create() runs
// the core's creation; the command line is given through the globals before Show().
class ShellRig {
public:
    explicit ShellRig(std::string_view iniText = ShellIni()) : ini_(iniText) {}
    ~ShellRig() {
        if (core) {
            SetMainFormWindow(kNoWindow);
            core.reset();
        }
    }
    ShellRig(const ShellRig&) = delete;
    ShellRig& operator=(const ShellRig&) = delete;

    // The core's creation; its window takes the main form's broadcasts.
    void Create() {
        core = std::make_unique<TRavloMainFormCore>(host);
        SetMainFormWindow(core->Handle());
        core->FormCreate();
    }
    void Show() {
        core->FormShow();
        Settle();
    }
    // Creates and shows with the command line: flags, and the project file named as given.
    void Run(std::uint8_t flags, const std::string& project = {}) {
        CmdLineFlags = flags;
        CmdLineProject = project;
        Create();
        Show();
    }

    FakeComm& Comm() const {
        return dynamic_cast<FakeComm&>(*core->ProcessColl->GetProcByIdent(PT_RavloComm));
    }
    FakeBoard& Board() const { return Comm().Board; }

    // Delivers messages and runs scheduler steps until nothing moves (the clock stands still).
    void Settle() {
        for (int round = 0; round < 100000; ++round) {
            while (AppMessageQueue().PumpAll() > 0) {
            }
            SchedulerStep();
            if (AppMessageQueue().PendingCount() == 0) {
                return;
            }
        }
        ADD_FAILURE() << "the rig did not settle";
    }
    // Delivers one message at a time, with scheduler steps when the queue is empty, until done()
    // holds; false when everything settled first.
    bool PumpUntil(const std::function<bool()>& done) {
        for (int round = 0; round < 100000 && !done(); ++round) {
            if (!AppMessageQueue().PumpOne()) {
                SchedulerStep();
                if (AppMessageQueue().PendingCount() == 0) {
                    return done();
                }
            }
        }
        return done();
    }
    // ms of fake time pass in steps; due timed messages are posted and everything settles after
    // each step.
    void Advance(std::uint32_t ms, std::uint32_t step = 10) {
        AdvanceFakeTime(clock, ms, step, [this] { TickAndSettle(); });
    }
    // Advances until done() holds or limitMs passed; answers done().
    bool AdvanceUntil(const std::function<bool()>& done, std::uint32_t limitMs = 60000) {
        Settle();
        return AdvanceFakeTimeUntil(clock, done, limitMs, [this] { TickAndSettle(); });
    }
    // One step of the timer: the due timed messages are posted and everything settles.
    void TickAndSettle() {
        SchedulerTimerTick(CurrentSchedulerDrive());
        Settle();
    }
    bool RunToClose(std::uint32_t limitMs = 60000) {
        return AdvanceUntil([this] { return host.CloseRequests > 0; }, limitMs);
    }

    // The demo program, every unit placed, written as DEMO.EXE, DEMO.MAP and DEMO.MEM into the
    // INI's folder.
    fixtures::ProjectFilePaths WriteDemo() {
        layout = fixtures::LayOutProgram(fixtures::MakeDemoProgram());
        design = fixtures::PlaceAllUnits(layout);
        return fixtures::WriteProjectFiles(Dir(), "DEMO", layout, &design);
    }
    std::filesystem::path Dir() const { return ini_.Dir().Path(); }
    std::string FileText(std::string_view name) const { return ReadFileText(Dir() / name); }

    ShellTestGlobals globals_;
    AppIniFixture ini_;
    ManualTickSource clock{5'000'000};
    ScopedTickSource tickGuard{clock};
    RecordingPresenter presenter;
    ScopedPresenter presenterGuard{presenter};
    CapturedWriter writer;
    RecordingHost host;
    std::unique_ptr<TRavloMainFormCore> core;
    fixtures::ProgramLayout layout;
    fixtures::FixtureDesign design;
};

} // namespace ravlo::testing
