// The program itself, unattended, against the board simulator at real line timing: ravlo and voksim
// run as child processes; the simulator is stopped as soon as the program has ended, so its memory
// shows what the board held at that moment.
#include "fixtures/mem_design.h"
#include "fixtures/program_layout.h"
#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "project/eprom_layout.h"
#include "project/mod_unit.h"
#include "shell/exit_codes.h"
#include "support/app_fixtures.h"
#include "support/built_program.h"
#include "support/default_app_ini.h"
#include "support/scratch_dir.h"
#include "support/voksim_on_com.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// How long a run may take before it counts as hung (a failure, not a measure).
constexpr auto kHangGuard = 120s;
// A code table of doubled DLEs on the line: the module that holds it is mostly $10.
constexpr std::size_t kDleTableBytes = 0x1C0;

// Runs the program with the arguments and extra environment entries, killing it after limit (a
// hang guard): its exit code, nullopt when it could not start or had to be killed.
std::optional<int> RunProgram(const fs::path& program, const std::vector<std::string>& args,
                              const std::vector<std::string>& extraEnv, const fs::path& workDir,
                              std::chrono::milliseconds limit) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        bool replaced = false;
        for (const std::string& extra : extraEnv) {
            replaced = replaced || text.substr(0, text.find('=')) == extra.substr(0, extra.find('='));
        }
        if (!replaced) {
            env.push_back(text);
        }
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const auto start = std::chrono::steady_clock::now();
    const int failed = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    std::optional<int> code;
    if (failed != 0) {
        return code;
    }
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status)) {
                code = WEXITSTATUS(status);
            }
            break;
        }
        if (std::chrono::steady_clock::now() - start > limit) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
    return code;
}

std::string Slice(const std::string& bytes, std::size_t offset, std::size_t count) {
    return offset + count <= bytes.size() ? bytes.substr(offset, count) : std::string();
}

// The demo program with a code table of DLE bytes, in ROM modules of 512 bytes: the loader's module and
// one that is mostly $10.
fixtures::ProgramLayout RoadProgram() {
    fixtures::ProgramDescription program = fixtures::MakeDemoProgram();
    fixtures::FixtureSegment table;
    table.name = "TABLE_TEXT";
    table.className = "CODE";
    table.bytes.assign(kDleTableBytes, 0x10);
    table.length = kDleTableBytes;
    const auto firstData =
        std::find_if(program.segments.begin(), program.segments.end(),
                     [](const fixtures::FixtureSegment& s) { return s.className != "CODE"; });
    program.segments.insert(firstData, table);
    return fixtures::LayOutProgram(program);
}

// The Load frames the board received, by address ("C800:0200"), from its trace.
std::map<std::string, int> LoadsByAddress(const std::string& trace) {
    std::map<std::string, int> loads;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find("<- 255>254 Load ");
        if (at != std::string::npos) {
            ++loads[line.substr(at + 16, 9)];
        }
    }
    return loads;
}

class ShellE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        ravlo_ = testing::FindBuiltProgram("ravlo");
        if (!ravlo_ || !board_.Found()) {
            GTEST_SKIP() << "ravlo and voksim are not built beside the test programs";
        }
        WriteProject(fixtures::LayOutProgram(fixtures::MakeDemoProgram()), {});
        WriteIni(4, 60);
    }

    void WriteProject(const fixtures::ProgramLayout& layout, const fixtures::DesignOptions& options) {
        layout_ = layout;
        design_ = fixtures::PlaceAllUnits(layout_, options);
        fixtures::WriteProjectFiles(project_.Path(), "DEMO", layout_, &design_);
    }
    void WriteIni(int boardWaitSec, int stepWaitSec) {
        ini_ =
            home_.Write("app.ini", std::string(testing::kDefaultAppIni) +
                                       "[COMMANDLINE]\r\nBoardWait=" + std::to_string(boardWaitSec) +
                                       "\r\nStepWait=" + std::to_string(stepWaitSec) + "\r\nExitWait=3\r\n");
    }
    // The COM settings of the project: the board is looked for at defaultBaud and downloadBaud and
    // switched to downloadBaud.
    void WriteComSettings(std::uint32_t downloadBaud, std::uint32_t defaultBaud = 4800) {
        project_.Write("RTDW.INI", "[COM]\r\nCOM=1\r\nDefBd=" + std::to_string(defaultBaud) +
                                       "\r\nBDLD=" + std::to_string(downloadBaud) + "\r\n");
    }

    // Starts the board at line timing, runs the program on it with the switches, stops the board.
    std::optional<int> RunAgainstBoard(const std::vector<std::string>& boardArgs,
                                       const std::vector<std::string>& switches) {
        std::vector<std::string> args{"--memory-out", Memory().string(), "--trace", Trace().string()};
        args.insert(args.end(), boardArgs.begin(), boardArgs.end());
        const bool started = board_.Start(1, args);
        EXPECT_TRUE(started) << "voksim did not start";
        if (!started) {
            return std::nullopt;
        }
        std::vector<std::string> programArgs{ini_.string(), "DEMO.EXE"};
        programArgs.insert(programArgs.end(), switches.begin(), switches.end());
        const std::optional<int> code =
            RunProgram(*ravlo_, programArgs, ProgramEnv(), project_.Path(), kHangGuard);
        EXPECT_EQ(board_.Stop(), 0) << "voksim ends cleanly";
        return code;
    }
    std::vector<std::string> ProgramEnv() const {
        return {"RAVLO_HOME=" + home_.Path().string(), "QT_QPA_PLATFORM=offscreen",
                "XDG_RUNTIME_DIR=" + runtime_.Path().string()};
    }

    // The ROM images the generation wrote, by module.
    std::vector<std::pair<fixtures::FixtureModule, std::string>> RomImages() const {
        std::vector<std::pair<fixtures::FixtureModule, std::string>> images;
        for (const fixtures::FixtureModule& module : design_.modules) {
            const fs::path bin = project_.Path() / (module.name + ".BIN");
            if (fs::exists(bin)) {
                images.emplace_back(module, testing::ReadFileText(bin));
            }
        }
        return images;
    }
    // The modules whose image differs from the board's memory.
    std::vector<std::string> ModulesNotOnTheBoard() const {
        const std::string memory = testing::ReadFileText(Memory());
        std::vector<std::string> missing;
        for (const auto& [module, image] : RomImages()) {
            if (Slice(memory, static_cast<std::size_t>(module.address) << 4, image.size()) != image) {
                missing.push_back(module.name);
            }
        }
        return missing;
    }

    fs::path Memory() const { return scratch_.Path() / "memory.bin"; }
    fs::path Trace() const { return scratch_.Path() / "trace.txt"; }
    // The runtime log of the run (archived under a time-stamped name when it ended).
    std::string RuntimeLog() const {
        for (const auto& entry : fs::directory_iterator(home_.Path())) {
            const std::string name = entry.path().filename().string();
            if (name.ends_with(".TXS")) {
                return testing::ReadFileText(entry.path());
            }
        }
        return {};
    }
    void ClearRun() const {
        for (const auto& entry : fs::directory_iterator(home_.Path())) {
            if (entry.path().filename().string().ends_with(".TXS")) {
                fs::remove(entry.path());
            }
        }
    }

    std::optional<fs::path> ravlo_;
    testing::VoksimOnCom board_;
    testing::ScratchDir home_;
    testing::ScratchDir project_;
    testing::ScratchDir scratch_;
    testing::ScratchDir runtime_;
    fs::path ini_;
    fixtures::ProgramLayout layout_;
    fixtures::FixtureDesign design_;
};

// A board, the rate the download runs at (0: the board's 4800 baud) and the rate expected on the
// line after the change (the VokV40 runs at most 38400).
struct RoadCase {
    const char* Name;
    const char* Board;
    std::uint32_t DownloadBaud;
    std::uint32_t LineBaud;
    std::size_t BlockSize;
};

class BoardRoadTest : public ShellE2eTest, public ::testing::WithParamInterface<RoadCase> {};

TEST_P(BoardRoadTest, DownloadEndsOnlyWithEveryImageOnTheBoardEachBlockSentOnce) {
    const RoadCase& road = GetParam();
    fixtures::DesignOptions options;
    options.romLength = 0x200;
    WriteProject(RoadProgram(), options);
    if (road.DownloadBaud != 0) {
        WriteComSettings(road.DownloadBaud);
    }
    const std::optional<int> code = RunAgainstBoard({"--board", road.Board}, {"/G", "/L", "/X"});
    ASSERT_EQ(code, std::optional<int>(kExitOk)) << RuntimeLog();

    EXPECT_EQ(ModulesNotOnTheBoard(), std::vector<std::string>{}) << "at the moment the program ended";
    const auto images = RomImages();
    ASSERT_GE(images.size(), 2u);
    std::size_t blocks = 0;
    bool mostlyDle = false;
    for (const auto& [module, image] : images) {
        blocks += image.size() / road.BlockSize;
        mostlyDle =
            mostlyDle ||
            2 * static_cast<std::size_t>(std::count(image.begin(), image.end(), '\x10')) > image.size();
    }
    EXPECT_TRUE(mostlyDle) << "one module is mostly $10";
    const std::string trace = testing::ReadFileText(Trace());
    const std::map<std::string, int> loads = LoadsByAddress(trace);
    EXPECT_EQ(loads.size(), blocks) << trace;
    for (const auto& [address, copies] : loads) {
        EXPECT_EQ(copies, 1) << "Load " << address << " was repeated\n" << trace;
    }
    if (road.DownloadBaud != 0) {
        const std::size_t change = trace.find("line now " + std::to_string(road.LineBaud) + " baud");
        ASSERT_NE(change, std::string::npos) << trace;
        EXPECT_LT(change, trace.find("Load ")) << "the download runs at the new rate";
    }
    EXPECT_NE(RuntimeLog().find("Event: - File \"" + images.back().first.name + ".BIN\" has been loaded"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Boards, BoardRoadTest,
                         ::testing::Values(RoadCase{"V40At4800", "v40", 0, 4800, 256},
                                           RoadCase{"Vok386At4800", "386", 0, 4800, 512},
                                           RoadCase{"Vok188At4800", "188", 0, 4800, 256},
                                           RoadCase{"V40AtItsCap", "v40", 115200, 38400, 256},
                                           RoadCase{"Vok386At115200", "386", 115200, 115200, 512},
                                           RoadCase{"Vok188At115200", "188", 115200, 115200, 256}),
                         [](const ::testing::TestParamInfo<RoadCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST_F(ShellE2eTest, TheEpromImageAndTheRunFollowTheDownload) {
    WriteComSettings(115200);
    const std::optional<int> code = RunAgainstBoard({"--board", "188"}, {"/G", "/E", "/L", "/R", "/X"});
    ASSERT_EQ(code, std::optional<int>(kExitOk)) << RuntimeLog();
    EXPECT_EQ(ModulesNotOnTheBoard(), std::vector<std::string>{});
    const std::string image = testing::ReadFileText(project_.Path() / "EPROM_HI.BIN");
    ASSERT_FALSE(image.empty()) << "the EPROM image was written";
    std::optional<std::uint16_t> start;
    for (const auto& [module, rom] : RomImages()) {
        const std::optional<TEpromPlace> place =
            EpromPlace(TEpromChips{}, static_cast<std::uint32_t>(module.address) << 4);
        ASSERT_TRUE(place) << module.name;
        EXPECT_EQ(Slice(image, place->Offset, rom.size()), rom) << module.name << " is in the EPROM image";
        if (std::find(module.units.begin(), module.units.end(), kLoaderUnitName) != module.units.end()) {
            start = module.address;
        }
    }
    ASSERT_TRUE(start);
    char run[32];
    std::snprintf(run, sizeof run, "Run %04X:0000", *start);
    EXPECT_NE(testing::ReadFileText(Trace()).find(run), std::string::npos);
    EXPECT_NE(RuntimeLog().find("Event: - Application was started"), std::string::npos);
}

TEST_F(ShellE2eTest, AMuteBoardEndsTheRunWithTheDownloadCode) {
    const std::optional<int> code =
        RunAgainstBoard({"--board", "188", "--mute", "all"}, {"/G", "/L", "/R", "/X"});
    ASSERT_TRUE(code) << "the program had to be killed";
    EXPECT_EQ(*code, kExitDownloadFailed);
    const std::string log = RuntimeLog();
    EXPECT_NE(log.find("Event: - Error, the Vok didn't answer within 4 s"), std::string::npos) << log;
    EXPECT_EQ(ModulesNotOnTheBoard(), std::vector<std::string>{"ROM"}) << "nothing was loaded";
}

TEST_F(ShellE2eTest, APortThatCannotBeOpenedEndsTheRunAtOnceAndTheBoxSaysHowToNameIt) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> env = ProgramEnv();
    env.push_back("RAVLO_COM1=" + (scratch_.Path() / "no-such-port").string());
    EXPECT_EQ(RunProgram(*ravlo_, {ini_.string(), "DEMO.EXE", "/G", "/L", "/X"}, env, project_.Path(), 30s),
              std::optional<int>(kExitDownloadFailed));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s) << "not after the whole board wait";
    const std::string log = RuntimeLog();
    const std::size_t box = log.find("Box: Error \"Error\": Can't open COM1");
    ASSERT_NE(box, std::string::npos) << log;
    const std::string boxLine = log.substr(box, log.find('\n', box) - box);
    EXPECT_NE(boxLine.find("no-such-port"), std::string::npos) << boxLine;
    EXPECT_NE(boxLine.find("RAVLO_COM1"), std::string::npos) << boxLine;
    EXPECT_NE(boxLine.find("[PORTS]"), std::string::npos) << boxLine;
}

TEST_F(ShellE2eTest, ABadCommandLineEndsWithTheUsageCode) {
    EXPECT_EQ(RunProgram(*ravlo_, {}, ProgramEnv(), project_.Path(), 30s), std::optional<int>(kExitCmdLine));
    EXPECT_EQ(RunProgram(*ravlo_, {ini_.string(), "DEMO.MAP", "/X"}, ProgramEnv(), project_.Path(), 30s),
              std::optional<int>(kExitProjectFailed));
}

// The seeds of the soak: RAVLO_SOAK_SEEDS as "FIRST-LAST" (scripts/soak sets it), else a few.
std::pair<int, int> SoakSeeds() {
    const char* text = std::getenv("RAVLO_SOAK_SEEDS");
    int first = 1;
    int last = 5;
    if (text != nullptr && std::sscanf(text, "%d-%d", &first, &last) < 2) {
        last = first;
    }
    return {first, last};
}

// Downloads through the simulator's line and board faults at line timing, seed after seed: every
// run that ends with 0 has left every image on the board, every other ends in time with a failure
// code.
TEST_F(ShellE2eTest, SeededSoakThroughLineAndBoardFaults) {
    fixtures::DesignOptions options;
    options.romLength = 0x200;
    WriteProject(RoadProgram(), options);
    WriteComSettings(115200, 115200);
    WriteIni(10, 40);
    const auto [first, last] = SoakSeeds();
    int succeeded = 0;
    for (int seed = first; seed <= last; ++seed) {
        ClearRun();
        const std::optional<int> code = RunAgainstBoard(
            {"--board", seed % 2 == 0 ? "386" : "188", "--seed", std::to_string(seed), "--baud", "115200",
             "--drop-rate", "0.0002", "--corrupt-rate", "0.0002", "--mute", "0.03", "--delay", "60:0.03",
             "--wrong-address", "0.03", "--early-meme", "0.03"},
            {"/G", "/L", "/X"});
        ASSERT_TRUE(code) << "seed " << seed << " hung";
        if (*code == kExitOk) {
            ++succeeded;
            EXPECT_EQ(ModulesNotOnTheBoard(), std::vector<std::string>{})
                << "seed " << seed << " ended with 0";
        } else {
            EXPECT_EQ(*code, kExitDownloadFailed) << "seed " << seed << "\n" << RuntimeLog();
        }
    }
    std::printf("soak: %d of %d runs downloaded\n", succeeded, last - first + 1);
}

} // namespace
} // namespace ravlo
