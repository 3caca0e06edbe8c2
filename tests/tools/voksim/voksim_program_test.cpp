// The voksim program as other tools use it: command line, outputs, signals, parent death, line rate.
#include "support/wait_until.h"
#include "tools/voksim/sim_process.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ravlo::voksim::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

TEST(voksimProgram, HelpAndCommandLineErrors) {
    const Finished help = RunVoksim({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("--unsolicited MS[:FRAME]"), std::string::npos);
    const Finished bad = RunVoksim({"--baud", "14400"});
    EXPECT_EQ(bad.exit_code, 2);
    EXPECT_NE(bad.err.find("--baud '14400'"), std::string::npos) << bad.err;
    const Finished missing = RunVoksim({"--memory-in", "/nonexistent/rom.bin@0"});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("cannot open"), std::string::npos) << missing.err;
}

TEST(voksimProgram, MemoryInAndOutLinkTraceAndIo) {
    const ravlo::testing::ScratchDir dir;
    SimProcess sim({"--no-throttle", "--link", (dir / "vok").string(), "--memory-in",
                    dir.Write("rom.bin", "ROMDATA").string() + "@C8000", "--memory-out",
                    (dir / "out.bin").string(), "--trace", (dir / "trace.txt").string(), "--io", "80=5A",
                    "--io-log", (dir / "io.txt").string()});
    EXPECT_EQ(fs::read_symlink(dir / "vok"), fs::path(sim.SlavePath()));
    sim.Send(Vok(0xD0, {0x00, 0x00, 0x00, 0xC8, 0x07, 0x00}));
    const auto answer = sim.Receive(2);
    ASSERT_EQ(answer.size(), 2u);
    EXPECT_EQ(std::string(answer[0].data.begin() + 9, answer[0].data.end()), "ROMDATA");
    sim.Send(Vok(0xE1, {0x00, 0x00, 0x00, 0x10, 0x02, 0x00, 0xAB, 0xCD})); // Load 2 bytes at 1000:0000
    ASSERT_EQ(sim.Receive(1).size(), 1u);
    sim.Send(Vok(0xD2, {0x80, 0x00, 0x01, 0x00})); // the preset port
    const auto io = sim.Receive(2);
    ASSERT_EQ(io.size(), 2u);
    EXPECT_EQ(io[0].data, Vok(0xD2, {0x80, 0x00, 0x01, 0x00, 0x5A}));
    sim.Send(Vok(0xD5, {0x00, 0x03, 0x02, 0x00, 0xCD, 0xAB}));
    EXPECT_TRUE(sim.ReadFor(100ms).empty()); // writes are not answered
    EXPECT_EQ(sim.Stop(SIGINT), 0);
    EXPECT_NE(sim.Stderr().find("frames in 4, out 5"), std::string::npos) << sim.Stderr();
    EXPECT_TRUE(dir.Text("io.txt").starts_with("port=$0300 width=2 value=$ABCD\n")) << dir.Text("io.txt");

    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "vok")));
    const std::string memory = dir.Text("out.bin");
    ASSERT_EQ(memory.size(), 0x100000u);
    EXPECT_EQ(memory.substr(0xC8000, 7), "ROMDATA");
    EXPECT_EQ(memory.substr(0x10000, 2), "\xAB\xCD");

    const std::string text = dir.Text("trace.txt");
    EXPECT_NE(text.find("<- 255>254 _Mem C800:0000 n=7"), std::string::npos) << text;
    EXPECT_NE(text.find("-> 254>255 MemD C800:0000 n=7"), std::string::npos) << text;
    EXPECT_NE(text.find("<- 255>254 Load 1000:0000 n=2"), std::string::npos) << text;
}

// The outputs on SIGUSR1 while the board serves on: what it held then, and the clock as --clock
// takes it, so that a board started afresh can carry on from there.
TEST(voksimProgram, WritesItsOutputsOnSigusr1AndServesOn) {
    const ravlo::testing::ScratchDir dir;
    SimProcess sim({"--no-throttle", "--board", "188", "--clock", "2031-07-28T01:59:58", "--clock-stopped",
                    "--memory-out", (dir / "out.bin").string(), "--clock-out", (dir / "clock.txt").string(),
                    "--io-log", (dir / "io.txt").string()});
    sim.Send(Vok(0xE1, {0x00, 0x00, 0x00, 0x10, 0x02, 0x00, 0xAB, 0xCD})); // Load 2 bytes at 1000:0000
    ASSERT_EQ(sim.Receive(1).size(), 1u);
    sim.Send(Vok(0xD4, {0x80, 0x00, 0x01, 0x00, 0x5A, 0x00})); // cIOWr port $80
    sim.Send(Vok(0xE3, {0xD0, 0x07, 10, 11, 12, 13, 14}));     // SetRTC 2000-10-11 12:13:14
    ASSERT_EQ(sim.Receive(1).size(), 1u);
    sim.Signal(SIGUSR1);
    ASSERT_TRUE(ravlo::testing::WaitUntil([&] { return fs::exists(dir / "clock.txt"); }));
    EXPECT_EQ(dir.Text("clock.txt"), "2000-10-11T12:13:14\n");
    EXPECT_EQ(dir.Text("out.bin").substr(0x10000, 2), "\xAB\xCD");
    EXPECT_EQ(dir.Text("io.txt"), "port=$0080 width=1 value=$5A\n");

    fs::remove(dir / "clock.txt");
    sim.Send(Vok(0xE1, {0x00, 0x00, 0x00, 0x10, 0x01, 0x00, 0x77}));
    ASSERT_EQ(sim.Receive(1).size(), 1u) << "it serves on";
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    EXPECT_EQ(dir.Text("clock.txt"), "2000-10-11T12:13:14\n") << "and writes them again at its end";
    EXPECT_EQ(dir.Text("out.bin").substr(0x10000, 2), "\x77\xCD");
}

TEST(voksimProgram, EndsWhenItsParentDies) {
    // Orphans are handed to this process, so that the simulator's end can be waited for here.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    std::array<int, 2> report{};
    ASSERT_EQ(pipe(report.data()), 0);
    const pid_t parent = fork();
    ASSERT_GE(parent, 0);
    if (parent == 0) {
        // The short-lived parent: start voksim, wait for its first line, pass its pid on, and die.
        int out[2];
        if (pipe(out) != 0) {
            _exit(1);
        }
        const pid_t sim = fork();
        if (sim == 0) {
            dup2(out[1], 1);
            dup2(open("/dev/null", O_WRONLY), 2);
            execl(VOKSIM_PATH, VOKSIM_PATH, "--no-throttle", nullptr);
            _exit(127);
        }
        for (char c = 0; read(out[0], &c, 1) == 1 && c != '\n';) {
        }
        _exit(write(report[1], &sim, sizeof sim) == sizeof sim ? 0 : 1);
    }
    close(report[1]);
    pid_t sim = -1;
    ASSERT_EQ(read(report[0], &sim, sizeof sim), static_cast<ssize_t>(sizeof sim));
    close(report[0]);
    waitpid(parent, nullptr, 0);
    int status = 0;
    const bool ended = ravlo::testing::WaitUntil([&] { return waitpid(sim, &status, WNOHANG) == sim; },
                                                 [] { usleep(10000); });
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    if (!ended) {
        kill(sim, SIGKILL);
        waitpid(sim, nullptr, 0);
    }
    ASSERT_TRUE(ended);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(voksimProgram, ThrottledLineIsNoFasterThanTheBaudRate) {
    // A 256-byte read at 4800 baud moves some 360 bytes of frames, 11 bits each: about 0.8 s.
    SimProcess sim({"--board", "188"});
    const auto start = std::chrono::steady_clock::now();
    sim.Send(Vok(0xD0, {0x00, 0x00, 0x00, 0x20, 0x00, 0x01}));
    const auto frames = sim.Receive(5, 5s);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_GE(elapsed, 200ms); // a lower bound only: an unthrottled answer takes about a millisecond
}

TEST(voksimProgram, BytesWrittenBeforeARateChangeCrossTheLineAtTheOldRate) {
    // A Load (some 700 ms at 4800 baud) and a BdRate; the host changes its rate long before they have
    // crossed, as one that reopens its port does. On a real line the old rate drains first.
    SimProcess sim({"--board", "188"});
    sim.Send(LoadRequest(0x3000, 0, Bytes(256, 0x5A)));
    sim.Send(Bytes{0xDC, 0, 0, 15});
    std::this_thread::sleep_for(20ms);
    sim.SetLine(B115200, true);
    sim.ReadFor(900ms); // the Load's answer, at 4800: garbage to this end
    sim.Send(Bytes{0xD7, 0, 0});
    EXPECT_EQ(sim.Receive(1).size(), 1u) << "the board answers at the new rate";
    sim.SetLine(B115200, false); // no parity: the board's UART rejects the bytes
    sim.Send(Bytes{0xD7, 0, 0});
    EXPECT_TRUE(sim.ReadFor(150ms).empty());
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    // Only the request without parity was garbled on its way in.
    EXPECT_NE(sim.Stderr().find("garbled by a line mismatch: in 13,"), std::string::npos) << sim.Stderr();
}

} // namespace
} // namespace ravlo::voksim::testing
