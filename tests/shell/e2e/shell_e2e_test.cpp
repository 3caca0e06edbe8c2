// The program itself, unattended, against the board simulator: ravlo and voksim run as child
// processes, the board's memory and trace are checked afterwards.
#include "fixtures/mem_design.h"
#include "fixtures/program_layout.h"
#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "project/eprom_layout.h"
#include "project/mod_unit.h"
#include "shell/exit_codes.h"
#include "shell/password_store.h"
#include "support/app_fixtures.h"
#include "support/built_program.h"
#include "support/default_app_ini.h"
#include "support/scratch_dir.h"
#include "support/voksim_on_com.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <spawn.h>
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
        std::this_thread::sleep_for(20ms);
    }
    return code;
}

std::string Slice(const std::string& bytes, std::size_t offset, std::size_t count) {
    return offset + count <= bytes.size() ? bytes.substr(offset, count) : std::string();
}

class ShellE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        ravlo_ = testing::FindBuiltProgram("ravlo");
        if (!ravlo_ || !board_.Found()) {
            GTEST_SKIP() << "ravlo and voksim are not built beside the test programs";
        }
        layout_ = fixtures::LayOutProgram(fixtures::MakeDemoProgram());
        design_ = fixtures::PlaceAllUnits(layout_);
        fixtures::WriteProjectFiles(project_.Path(), "DEMO", layout_, &design_);
        ini_ = home_.Write("app.ini", std::string(testing::kDefaultAppIni) +
                                          "[COMMANDLINE]\r\nBoardWait=4\r\nStepWait=60\r\nExitWait=3\r\n");
    }

    // Starts the board, runs the program on it with the switches, stops the board.
    std::optional<int> RunAgainstBoard(const std::vector<std::string>& boardArgs,
                                       const std::vector<std::string>& switches) {
        std::vector<std::string> args{"--no-throttle", "--memory-out", Memory().string(), "--trace",
                                      Trace().string()};
        args.insert(args.end(), boardArgs.begin(), boardArgs.end());
        const bool started = board_.Start(1, args);
        EXPECT_TRUE(started) << "voksim did not start";
        if (!started) {
            return std::nullopt;
        }
        std::vector<std::string> programArgs{ini_.string(), "DEMO.EXE"};
        programArgs.insert(programArgs.end(), switches.begin(), switches.end());
        const std::optional<int> code = RunProgram(*ravlo_, programArgs, ProgramEnv(), project_.Path(), 90s);
        EXPECT_EQ(board_.Stop(), 0) << "voksim ends cleanly";
        return code;
    }
    std::vector<std::string> ProgramEnv() const {
        return {"RAVLO_HOME=" + home_.Path().string(), "QT_QPA_PLATFORM=offscreen",
                "XDG_RUNTIME_DIR=" + runtime_.Path().string()};
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

TEST_F(ShellE2eTest, GenerateImageDownloadAndRunOnTheSimulatedBoard) {
    const std::optional<int> code = RunAgainstBoard({"--board", "188"}, {"/G", "/E", "/L", "/R", "/X"});
    ASSERT_EQ(code, std::optional<int>(kExitOk)) << RuntimeLog();

    const std::string memory = testing::ReadFileText(Memory());
    ASSERT_EQ(memory.size(), 0x100000u);
    const std::string image = testing::ReadFileText(project_.Path() / "EPROM_HI.BIN");
    ASSERT_FALSE(image.empty()) << "the EPROM image was written";
    int romModules = 0;
    std::optional<std::uint16_t> start;
    for (const fixtures::FixtureModule& module : design_.modules) {
        const fs::path bin = project_.Path() / (module.name + ".BIN");
        if (!fs::exists(bin)) {
            continue;
        }
        ++romModules;
        const std::string rom = testing::ReadFileText(bin);
        const std::uint32_t lin = static_cast<std::uint32_t>(module.address) << 4;
        EXPECT_EQ(Slice(memory, lin, rom.size()), rom) << module.name << " is in the board's memory";
        const std::optional<TEpromPlace> place = EpromPlace(TEpromChips{}, lin);
        ASSERT_TRUE(place) << module.name;
        EXPECT_EQ(Slice(image, place->Offset, rom.size()), rom) << module.name << " is in the EPROM image";
        for (const std::string& unit : module.units) {
            if (unit == kLoaderUnitName) {
                start = module.address;
            }
        }
    }
    EXPECT_GE(romModules, 1);
    ASSERT_TRUE(start);
    char run[32];
    std::snprintf(run, sizeof run, "Run %04X:0000", *start);
    const std::string trace = testing::ReadFileText(Trace());
    EXPECT_NE(trace.find(run), std::string::npos) << trace;
    const std::string log = RuntimeLog();
    EXPECT_NE(log.find("Event: - Application was started"), std::string::npos) << log;
    EXPECT_NE(log.find("Event: - Image (E)EPROM binary file(s) were correctly created"), std::string::npos);
}

TEST_F(ShellE2eTest, AMuteBoardEndsTheRunWithTheDownloadCode) {
    const std::optional<int> code =
        RunAgainstBoard({"--board", "188", "--mute", "all"}, {"/G", "/L", "/R", "/X"});
    ASSERT_TRUE(code) << "the program had to be killed";
    EXPECT_EQ(*code, kExitDownloadFailed);
    const std::string log = RuntimeLog();
    EXPECT_NE(log.find("Event: - Error, the Vok didn't answer within 4 s"), std::string::npos) << log;
    const std::string memory = testing::ReadFileText(Memory());
    const std::string rom = testing::ReadFileText(project_.Path() / "ROM.BIN");
    EXPECT_NE(Slice(memory, 0xC8000, rom.size()), rom) << "nothing was loaded";
}

TEST_F(ShellE2eTest, ABadCommandLineEndsWithTheUsageCode) {
    EXPECT_EQ(RunProgram(*ravlo_, {}, ProgramEnv(), project_.Path(), 30s), std::optional<int>(kExitCmdLine));
    EXPECT_EQ(RunProgram(*ravlo_, {ini_.string(), "DEMO.MAP", "/X"}, ProgramEnv(), project_.Path(), 30s),
              std::optional<int>(kExitProjectFailed));
}

TEST_F(ShellE2eTest, ALoginNobodyCanAnswerEndsTheRunWithItsCode) {
    TPasswordLabelColl store;
    store.AddUser("john", "pw", 1, 0);
    ASSERT_TRUE(store.Save(home_.Path() / kUsersFileName).Ok());
    EXPECT_EQ(RunProgram(*ravlo_, {ini_.string(), "/Ujohn"}, ProgramEnv(), project_.Path(), 30s),
              std::optional<int>(kExitNoLogin))
        << RuntimeLog();
}

} // namespace
} // namespace ravlo
