// Against the board simulator at real line timing: the program itself, unattended (ravlo and voksim
// run as child processes; the simulator stops as soon as the program has ended, so its memory shows
// what the board held then), and the tool windows' models over the master and the real
// communication process.
#include "fixtures/mem_design.h"
#include "fixtures/program_layout.h"
#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "framework/local_time.h"
#include "model_window.h"
#include "shell/bin_read_model.h"
#include "shell/bin_write_model.h"
#include "shell/board_memory.h"
#include "shell/exit_codes.h"
#include "shell/io_access.h"
#include "shell/password_store.h"
#include "shell/progress_model.h"
#include "shell/tool_board.h"
#include "shell/vok_rtc.h"
#include "support/app_fixtures.h"
#include "support/box_recorder.h"
#include "support/built_program.h"
#include "support/default_app_ini.h"
#include "support/ma_sim_rig.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"
#include "support/voksim_on_com.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Runs the program with the arguments in workDir, killed after limitSeconds (a hang guard): its
// exit code, nullopt when it could not start or had to be killed.
std::optional<int> RunProgram(const fs::path& program, const std::vector<std::string>& args,
                              const fs::path& workDir, int limitSeconds) {
    std::string command = "cd '" + workDir.string() + "' && timeout -s KILL " + std::to_string(limitSeconds) +
                          " '" + program.string() + "'";
    for (const std::string& arg : args) {
        command += " '" + arg + "'";
    }
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) >= 124) { // timeout's own codes and a kill
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

// The demo program and a code table of DLEs (doubled on the line) in ROM modules of 512 bytes: the
// loader's module, one that is mostly $10 and the initial data.
fixtures::ProgramLayout RoadProgram() {
    fixtures::ProgramDescription program = fixtures::MakeDemoProgram();
    fixtures::FixtureSegment table;
    table.name = "TABLE_TEXT";
    table.className = "CODE";
    table.bytes.assign(0x1C0, 0x10);
    table.length = 0x1C0;
    program.segments.insert(program.segments.begin() + 3, table);
    return fixtures::LayOutProgram(program);
}

class ShellE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        ravlo_ = testing::FindBuiltProgram("ravlo");
        if (!ravlo_ || !board_.Found()) {
            GTEST_SKIP() << "ravlo and voksim are not built beside the test programs";
        }
        fixtures::DesignOptions options;
        options.romLength = 0x200;
        layout_ = RoadProgram();
        design_ = fixtures::PlaceAllUnits(layout_, options);
        fixtures::WriteProjectFiles(project_.Path(), "DEMO", layout_, &design_);
        ini_ = home_.Write("app.ini", std::string(testing::kDefaultAppIni) +
                                          "[COMMANDLINE]\r\nBoardWait=10\r\nStepWait=40\r\nExitWait=3\r\n");
    }
    void WriteComSettings(std::uint32_t downloadBaud, std::uint32_t defaultBaud) {
        project_.Write("RTDW.INI", "[COM]\r\nCOM=1\r\nDefBd=" + std::to_string(defaultBaud) +
                                       "\r\nBDLD=" + std::to_string(downloadBaud) + "\r\n");
    }

    std::optional<int> RunAgainstBoard(std::vector<std::string> args,
                                       const std::vector<std::string>& switches) {
        args.insert(args.end(), {"--memory-out", Memory().string(), "--trace", Trace().string()});
        const bool started = board_.Start(1, args);
        EXPECT_TRUE(started) << "voksim did not start";
        if (!started) {
            return std::nullopt;
        }
        std::vector<std::string> programArgs{ini_.string(), "DEMO.EXE"};
        programArgs.insert(programArgs.end(), switches.begin(), switches.end());
        const std::optional<int> code = RunProgram(*ravlo_, programArgs, project_.Path(), 120);
        EXPECT_EQ(board_.Stop(), 0) << "voksim ends cleanly";
        return code;
    }

    // The generated ROM images by module, and those of them the board's memory does not hold.
    std::vector<std::pair<fixtures::FixtureModule, std::string>> RomImages() const {
        std::vector<std::pair<fixtures::FixtureModule, std::string>> images;
        for (const fixtures::FixtureModule& module : design_.modules) {
            if (fs::exists(project_.Path() / (module.name + ".BIN"))) {
                images.emplace_back(module, testing::ReadFileText(project_.Path() / (module.name + ".BIN")));
            }
        }
        return images;
    }
    std::vector<std::string> ModulesNotOnTheBoard() const {
        const std::string memory = testing::ReadFileText(Memory());
        std::vector<std::string> missing;
        for (const auto& [module, image] : RomImages()) {
            if (memory.compare(static_cast<std::size_t>(module.address) << 4, image.size(), image) != 0) {
                missing.push_back(module.name);
            }
        }
        return missing;
    }

    fs::path Memory() const { return scratch_.Path() / "memory.bin"; }
    fs::path Trace() const { return scratch_.Path() / "trace.txt"; }
    // The runtime log of the last run (archived under a time-stamped name when it ended).
    std::string RuntimeLog() const {
        std::string log;
        for (const auto& entry : fs::directory_iterator(home_.Path())) {
            if (entry.path().filename().string().ends_with(".TXS")) {
                log = testing::ReadFileText(entry.path());
                fs::remove(entry.path());
            }
        }
        return log;
    }

    std::optional<fs::path> ravlo_;
    testing::VoksimOnCom board_;
    testing::ScratchDir home_;
    testing::ScratchDir project_;
    testing::ScratchDir scratch_;
    testing::ScratchDir runtime_;
    testing::ScopedEnv homeEnv_{"RAVLO_HOME", home_.Path().string()};
    testing::ScopedEnv runtimeEnv_{"XDG_RUNTIME_DIR", runtime_.Path().string()};
    testing::ScopedEnv platformEnv_{"QT_QPA_PLATFORM", "offscreen"};
    fs::path ini_;
    fixtures::ProgramLayout layout_;
    fixtures::FixtureDesign design_;
};

// A board, its Load size and the rate the line runs at when 115200 baud is asked for (a VokV40 runs
// at most 38400).
struct RoadCase {
    const char* Name;
    const char* Board;
    std::size_t BlockSize;
    std::uint32_t LineBaud;
};

class BoardRoadTest : public ShellE2eTest, public ::testing::WithParamInterface<RoadCase> {};

TEST_P(BoardRoadTest, ExitsWithZeroOnlyWithEveryImageOnTheBoardEachBlockSentOnce) {
    const RoadCase& road = GetParam();
    WriteComSettings(115200, 4800);
    const std::optional<int> code = RunAgainstBoard({"--board", road.Board}, {"/G", "/L", "/X"});
    ASSERT_EQ(code, std::optional<int>(kExitOk)) << RuntimeLog();
    EXPECT_EQ(ModulesNotOnTheBoard(), std::vector<std::string>{}) << "when the program ended";

    const std::string trace = testing::ReadFileText(Trace());
    for (const auto& [module, image] : RomImages()) {
        for (std::size_t at = 0; at < image.size(); at += road.BlockSize) {
            char load[32];
            std::snprintf(load, sizeof load, "Load %04X:0000",
                          static_cast<unsigned>(module.address + at / 16));
            const std::size_t first = trace.find(load);
            EXPECT_NE(first, std::string::npos) << load;
            EXPECT_EQ(trace.find(load, first + 1), std::string::npos) << load << " was sent again";
        }
    }
    EXPECT_GE(RomImages().size(), 3u);
    EXPECT_EQ(trace.find("<- frame dropped"), std::string::npos) << trace;
    EXPECT_LT(trace.find("line now " + std::to_string(road.LineBaud) + " baud"), trace.find("Load "));
}

INSTANTIATE_TEST_SUITE_P(Boards, BoardRoadTest,
                         ::testing::Values(RoadCase{"V40AtItsCap", "v40", 256, 38400},
                                           RoadCase{"Vok386", "386", 512, 115200},
                                           RoadCase{"Vok188", "188", 256, 115200}),
                         [](const ::testing::TestParamInfo<RoadCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST_F(ShellE2eTest, APortThatCannotBeOpenedEndsTheRunAtOnceAndTheBoxSaysHowToNameIt) {
    const testing::ScopedEnv port("RAVLO_COM1", (scratch_.Path() / "no-such-port").string());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunProgram(*ravlo_, {ini_.string(), "DEMO.EXE", "/G", "/L", "/X"}, project_.Path(), 30),
              std::optional<int>(kExitDownloadFailed));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s) << "not after the whole board wait";
    const std::string log = RuntimeLog();
    const std::size_t box = log.find("Box: Error \"Error\": Can't open COM1");
    ASSERT_NE(box, std::string::npos) << log;
    const std::string line = log.substr(box, log.find('\n', box) - box);
    for (const char* part : {"no-such-port", "RAVLO_COM1", "[PORTS]"}) {
        EXPECT_NE(line.find(part), std::string::npos) << line;
    }
}

// Downloads through the simulator's line and board faults at line timing, seed after seed (a few, or
// RAVLO_SOAK_SEEDS="FIRST-LAST" as scripts/soak sets): every run that ends with 0 has left every
// image on the board, every other ends in time with the download's failure code. With
// RAVLO_SOAK_RESULTS each run adds its line to that file, as the soak of the board operations does.
TEST_F(ShellE2eTest, SeededSoakThroughLineAndBoardFaults) {
    WriteComSettings(115200, 115200);
    int first = 1;
    int last = 5;
    if (const char* seeds = std::getenv("RAVLO_SOAK_SEEDS"); seeds != nullptr) {
        std::sscanf(seeds, "%d-%d", &first, &last);
    }
    std::ofstream results;
    if (const char* file = std::getenv("RAVLO_SOAK_RESULTS"); file != nullptr) {
        results.open(file, std::ios::app);
    }
    for (int seed = first; seed <= last; ++seed) {
        const auto start = std::chrono::steady_clock::now();
        const std::optional<int> code = RunAgainstBoard(
            {"--board", seed % 2 == 0 ? "386" : "188", "--seed", std::to_string(seed), "--baud", "115200",
             "--drop-rate", "0.0002", "--corrupt-rate", "0.0002", "--mute", "0.03", "--delay", "60:0.03",
             "--wrong-address", "0.03", "--early-meme", "0.03"},
            {"/G", "/L", "/X"});
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        const std::string log = RuntimeLog();
        const bool succeeded = code == kExitOk && ModulesNotOnTheBoard().empty();
        const bool failed = code == kExitDownloadFailed;
        if (results.is_open()) {
            results << "program-download\t"
                    << (succeeded ? "success"
                        : failed  ? "clean-failure"
                                  : "fault")
                    << "\t" << took.count() << "\t" << seed << std::endl;
        }
        ASSERT_TRUE(code) << "seed " << seed << " hung";
        if (*code == kExitOk) {
            EXPECT_EQ(ModulesNotOnTheBoard(), std::vector<std::string>{}) << "seed " << seed << "\n" << log;
        } else {
            EXPECT_EQ(*code, kExitDownloadFailed) << "seed " << seed << "\n" << log;
        }
    }
}

TEST_F(ShellE2eTest, ALoginNobodyCanAnswerEndsTheRunWithItsCode) {
    TPasswordLabelColl store;
    store.AddUser("john", "pw", 1, 0);
    ASSERT_TRUE(store.Save(home_.Path() / kUsersFileName).Ok());
    EXPECT_EQ(RunProgram(*ravlo_, {ini_.string(), "/Ujohn"}, project_.Path(), 30),
              std::optional<int>(kExitNoLogin))
        << RuntimeLog();
}

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kPort = 9;

// The progress window without widgets: its model fed as the window feeds it, its timer run by the
// test's loop.
class ModelWindows final : public TMaProgressView, public TMaBoardViews {
public:
    explicit ModelWindows(TRavlo_MA_Process& master) : source_(master) {}
    void ShowProgress() override {
        ++Shown;
        Open = true;
        Progress.Open(source_.ActiveRequest());
    }
    void UpdateProgress() override { Progress.UpdateProgress(source_.ActiveRequest()); }
    void CloseProgress() override { Open = false; }
    void ShowMemPage(WindowHandle, TSegOfsPtr, Bytes) override {}
    void EditConfig188(Bytes) override {}
    void EditConfig386(Bytes) override {}
    void TimerTicks() {
        for (; std::chrono::steady_clock::now() >= nextTick_; nextTick_ += std::chrono::milliseconds(100)) {
            Progress.TimerTick();
        }
    }

    int Shown = 0;
    bool Open = false;
    TProgressModel Progress;

private:
    TMaProgressSource source_;
    std::chrono::steady_clock::time_point nextTick_ = std::chrono::steady_clock::now();
};

using testing::ModelWindow;

class ToolWindowsE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!sim_.Found()) {
            GTEST_SKIP() << "voksim is not built beside the test programs";
        }
    }
    // A Vok188 simulator on COM9 at baud with the arguments; the link open and the board identified.
    void Connect(std::uint32_t baud, std::vector<std::string> args = {}) {
        args.insert(args.end(), {"--board", "188", "--baud", std::to_string(baud), "--memory-out",
                                 (dir_ / "memory.bin").string()});
        ASSERT_TRUE(sim_.Start(kPort, args));
        rig_.emplace("DWN=0 PER=1000 RET=1000 AST=1");
        board_.emplace(*rig_->ma);
        windows_.emplace(*rig_->ma);
        rig_->ma->SetInterfaces({&*windows_, &*windows_, &rig_->form, &rig_->project});
        rig_->ma->DefBd = rig_->ma->BDLD = rig_->ma->CurBaud = baud;
        rig_->ma->SetChnParam(kPort, baud);
        rig_->ma->OpenComm();
        ASSERT_TRUE(RunUntilIdle([this] { return rig_->ma->Device == DEV_Vok188; }));
    }

    bool RunUntilIdle(const std::function<bool()>& also = [] { return true; }) {
        return rig_->RunUntil([&] {
            windows_->TimerTicks();
            return rig_->Idle() && also();
        });
    }
    Bytes BoardMemory(std::uint32_t lin, std::size_t count) {
        rig_.reset();
        EXPECT_EQ(sim_.Stop(), 0);
        const std::string memory = dir_.Text("memory.bin").substr(lin, count);
        return Bytes(memory.begin(), memory.end());
    }

    testing::ScratchDir dir_;
    testing::BoxRecorder boxes_;
    testing::VoksimOnCom sim_;
    std::optional<testing::SimRig> rig_;
    std::optional<TMaBoardMemory> board_;
    std::optional<ModelWindows> windows_;
};

TEST_F(ToolWindowsE2eTest, AWrittenFileReadsBackAsTheBoardHoldsItWhileTheProgressShows) {
    Connect(115200);
    std::string data(12 * 1024, '\0');
    std::generate(data.begin(), data.end(), [i = 0]() mutable {
        ++i;
        return static_cast<char>(i * 7 ^ i >> 8);
    });
    TBinWriteModel writer(*board_);
    ASSERT_TRUE(writer.FileChosen(dir_.Write("block.bin", data)));
    writer.AddressText = "3000:0010"; // neither start nor end on a board block
    EXPECT_EQ(writer.Write(), TWriterField::None);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(windows_->Shown, 1);
    EXPECT_FALSE(windows_->Open) << "closed after the transfer";
    EXPECT_EQ(windows_->Progress.Gauge(), 100);
    EXPECT_NE(windows_->Progress.SpeedText().find(" kB/s"), std::string::npos) << "a rate was shown";

    TBinReadModel reader(*board_);
    ASSERT_TRUE(reader.AddressEntered("$30010"));
    ASSERT_TRUE(reader.LengthEntered("3000", true));
    reader.SetFileName(dir_.Write("back.bin", "what the file held"));
    ASSERT_TRUE(reader.Read());
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(dir_.Text("back.bin") == data) << "replaced by the bytes read";
    EXPECT_TRUE(rig_->errors->Texts.empty());
    EXPECT_TRUE(BoardMemory(0x30010, data.size()) == Bytes(data.begin(), data.end()));
}

// Answers come 300 ms late: the last clock read's answer arrives after its window has closed.
TEST_F(ToolWindowsE2eTest, AnIOWordAndTheClockAreWrittenAndReadBackAndALateAnswerHarmsNothing) {
    Connect(4800, {"--clock", "2024-02-29T23:59:58", "--clock-stopped", "--delay", "300"});
    TMaToolBoard tools(rig_->ma);
    ModelWindow<TIOAccess> io;
    TIOAccess& port = io.model.emplace(tools, io.Handle(), "no RTDW.INI");
    port.SetByteAccess(false);
    for (const char c : std::string("BEEF")) {
        port.DataType(c);
    }
    port.Write();
    ASSERT_TRUE(RunUntilIdle([&] { return !port.WritePending(); }));
    port.SetBit(15, false);
    port.Read();
    ASSERT_TRUE(RunUntilIdle([&] { return !port.ReadPending(); }));
    EXPECT_EQ(port.DataEdit().Text(), "$BEEF");

    auto clock = std::make_unique<ModelWindow<TVokRTC>>();
    TVokRTC& rtc = clock->model.emplace(tools, clock->Handle());
    rtc.Open(LocalDTRec(std::chrono::system_clock::now()));
    ASSERT_TRUE(RunUntilIdle([&] { return !rtc.Reading(); }));
    EXPECT_EQ(rtc.EditTime(), (TVokClockRec{2024, 2, 29, 23, 59, 58}));
    rtc.SetYear(2031);
    rtc.SetMonth(7);
    rtc.SetHour(1);
    rtc.SetTime();
    ASSERT_TRUE(RunUntilIdle([&] { return rtc.Status() == "Status: Write Time Ok"; }));
    rtc.SetYear(2000);
    rtc.GetTime();
    ASSERT_TRUE(RunUntilIdle([&] { return rtc.EditTime().Year != 2000; }));
    EXPECT_EQ(rtc.EditTime(), (TVokClockRec{2031, 7, 28, 1, 59, 58}));

    rtc.GetTime();
    ASSERT_TRUE(rig_->RunUntil([this] { return rig_->ma->ConState == cs_WaitForGetRTC; }));
    clock.reset();
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(rig_->mainForm.Events.back(), "- Real Time Clock were read")
        << "the answer came, nobody heard it";
}

} // namespace
} // namespace ravlo
