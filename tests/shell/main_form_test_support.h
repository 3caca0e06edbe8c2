#pragma once

// The main form's core on the shipped INI among fakes: a recording host for the windows, the
// master's fake communication process and board, a fake clock and the demo project.

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
    bool SysWriterOpen() const override { return false; }
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
    bool AskParameter(std::string_view label, std::string_view, std::size_t, std::uint32_t, std::uint32_t max,
                      std::uint32_t& value) override {
        NumberLabels.emplace_back(label);
        NumberMaxima.push_back(max);
        value = Next(Numbers).value_or(0);
        return value != 0;
    }
    std::optional<std::filesystem::path> ChooseSaveFile(const TFileDialogSpec& spec) override {
        SaveSpecs.push_back(spec);
        return SaveFile;
    }
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
    void ShowSysWriter() override {}
    void CloseMainForm() override { ++CloseRequests; }
    void ShowStatusPanels(const TStatusPanels&) override {}
    void ShowLastProjects(std::span<const std::string> entries) override {
        LastProjects.assign(entries.begin(), entries.end());
    }
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
        std::optional<T> answer;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
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
    std::deque<std::optional<TSegOfsPtr>> Addresses;
    std::vector<std::string> AddressCaptions;
    std::vector<TSegOfsPtr> OfferedAddresses;
    std::deque<std::optional<std::uint32_t>> Numbers; // the parameter dialogs' answers (0: cancelled)
    std::vector<std::string> NumberLabels;
    std::vector<std::uint32_t> NumberMaxima;
    std::optional<std::filesystem::path> SaveFile;
    std::vector<TFileDialogSpec> SaveSpecs;
    int EpromWindows = 0;
    // The setup file chosen offline; each setup dialog shown, and what the user does there.
    std::optional<std::filesystem::path> SetupFile;
    struct SetupEdit {
        TSetupBoard Board = TSetupBoard::Vok386;
        std::vector<std::uint8_t> Record;
        bool CanSave = false;
    };
    std::vector<SetupEdit> SetupEdits;
    std::function<bool(std::span<std::uint8_t>)> OnEditSetup;
    std::vector<TErrHistorySource*> HistorySources;
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

// Create() runs the core's creation; the command line goes through the globals before FormShow().
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

    void Create() {
        core = std::make_unique<TRavloMainFormCore>(host);
        SetMainFormWindow(core->Handle());
        core->FormCreate();
    }
    void Run(std::uint8_t flags, const std::string& project = {}) {
        CmdLineFlags = flags;
        CmdLineProject = project;
        Create();
        core->FormShow();
        Settle();
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
    // As Settle, one message at a time, until done() holds; false when everything settled first.
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
    // Fake time passes in steps of 10 ms; after each the due timed messages are posted and settle.
    void Advance(std::uint32_t ms) {
        AdvanceFakeTime(clock, ms, 10, [this] { TickAndSettle(); });
    }
    bool AdvanceUntil(const std::function<bool()>& done, std::uint32_t limitMs = 60000) {
        Settle();
        return AdvanceFakeTimeUntil(clock, done, limitMs, [this] { TickAndSettle(); });
    }
    void TickAndSettle() {
        SchedulerTimerTick(CurrentSchedulerDrive());
        Settle();
    }
    bool RunToClose(std::uint32_t limitMs = 60000) {
        return AdvanceUntil([this] { return host.CloseRequests > 0; }, limitMs);
    }

    // The demo program, every unit placed, as DEMO.EXE, .MAP and .MEM in the INI's folder.
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
