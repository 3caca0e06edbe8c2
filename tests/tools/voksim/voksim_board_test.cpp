// Every board answer over a real pseudo-terminal, for each personality.
#include "tools/voksim/sim_process.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace ravlo::voksim::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Reads count bytes at seg:off through _Mem and returns the data of the MemD frames.
Bytes ReadMemory(SimProcess& sim, std::uint16_t seg, std::uint16_t off, std::uint16_t count) {
    sim.Send(MemRequest(seg, off, count));
    const std::size_t frames = (count + 63) / 64 + 1;
    const auto answer = sim.Receive(frames);
    EXPECT_EQ(answer.size(), frames);
    Bytes data;
    for (const RawFrame& frame : answer) {
        EXPECT_EQ(frame.dst, 255);
        EXPECT_EQ(frame.src, 254);
        if (frame.data[0] == 0xD1) {
            data.insert(data.end(), frame.data.begin() + 9, frame.data.end());
        }
    }
    if (!answer.empty()) {
        EXPECT_EQ(answer.back().data, Vok(0xD6));
    }
    return data;
}

std::vector<Bytes> Ask(SimProcess& sim, const Bytes& frame, std::size_t answers = 1) {
    sim.Send(frame);
    std::vector<Bytes> data;
    for (const RawFrame& answer : sim.Receive(answers)) {
        data.push_back(answer.data);
    }
    return data;
}

TEST(voksimBoard, Vok386AnswersEveryRequestItKnows) {
    SimProcess sim({"--board", "386", "--no-throttle", "--clock", "2031-12-31T23:59:59", "--clock-stopped"});
    EXPECT_EQ(Ask(sim, Vok(0xD7)), std::vector<Bytes>{Vok(0xFA)});

    Bytes block(512);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>(0x10 + i); // DLEs on the line both ways
    }
    EXPECT_EQ(Ask(sim, LoadRequest(0xC800, 0, block)), std::vector<Bytes>{Vok(0xFA)});
    EXPECT_EQ(ReadMemory(sim, 0xC800, 0x100, 256), Bytes(block.begin() + 256, block.end()));

    sim.Send(Vok(0xFB));
    const auto id = sim.Receive(2);
    ASSERT_EQ(id.size(), 2u);
    EXPECT_EQ(Le16(id[0].data, 3), 0x0040);
    EXPECT_EQ(Le16(id[0].data, 5), 0x0050);
    const std::string text(reinterpret_cast<const char*>(id[0].data.data() + 9));
    EXPECT_NE(text.find("<VOK>"), std::string::npos);

    const Bytes setup = ReadMemory(sim, 0xFFF0, 0, 256);
    ASSERT_EQ(setup.size(), 256u);
    EXPECT_EQ(setup[0], 0xB6);

    EXPECT_EQ(Ask(sim, Vok(0xE4)), std::vector<Bytes>{Vok(0xE3, {0x31, 0x20, 0x12, 0x31, 0x23, 0x59, 0x59,
                                                                 0x80, 0x19, 0x99, 0x20})});
    EXPECT_EQ(Ask(sim, Vok(0xE3, {0xD0, 0x07, 6, 15, 8, 30, 5})), std::vector<Bytes>{Vok(0xFA)});
    EXPECT_EQ(Ask(sim, Vok(0xE4))[0],
              Vok(0xE3, {0x00, 0x20, 0x06, 0x15, 0x08, 0x30, 0x05, 0x80, 0x19, 0x99, 0x20}));
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

TEST(voksimBoard, V40HasNoClockAndNoGetId) {
    SimProcess sim({"--board", "v40", "--no-throttle"});
    EXPECT_EQ(Ask(sim, Vok(0xD7)), std::vector<Bytes>{Vok(0xD8)});
    EXPECT_EQ(Ask(sim, LoadRequest(0x2000, 0, Bytes(256, 0x33))), std::vector<Bytes>{Vok(0xD8)});
    EXPECT_EQ(Ask(sim, Vok(0xE4)), std::vector<Bytes>{Vok(0xDA, {0x31, 0x00})});
    EXPECT_EQ(Ask(sim, Vok(0xE3, {0xE8, 0x07, 1, 1, 0, 0, 0})), std::vector<Bytes>{Vok(0xDA, {0x30, 0x00})});
    sim.Send(Vok(0xFB));
    EXPECT_TRUE(sim.ReadFor(150ms).empty());

    const Bytes pointer = ReadMemory(sim, 0xFFF0, 0x00CC, 4);
    ASSERT_EQ(pointer.size(), 4u);
    const Bytes text = ReadMemory(sim, Le16(pointer, 2), Le16(pointer, 0), 64);
    EXPECT_NE(std::string(text.begin(), text.end()).find("<QRN>"), std::string::npos);
    EXPECT_EQ(ReadMemory(sim, 0, 0x046B, 1), Bytes{0x5B});
}

TEST(voksimBoard, Vok188SetupClockAndChecksum) {
    SimProcess sim({"--board", "188", "--no-throttle"});
    EXPECT_EQ(Ask(sim, Vok(0xD7)), std::vector<Bytes>{Vok(0xFD)});
    const Bytes setup = ReadMemory(sim, 0xFFE0, 0, 256);
    ASSERT_EQ(setup.size(), 256u);
    EXPECT_EQ(std::string(setup.begin() + 16, setup.begin() + 27), "KERNEL  SYS");
    EXPECT_EQ(Ask(sim, Vok(0xE3, {0xE8, 0x07, 2, 29, 12, 0, 0})), std::vector<Bytes>{Vok(0xFD)});
    const auto clock = Ask(sim, Vok(0xE4));
    ASSERT_EQ(clock.size(), 1u);
    EXPECT_EQ(Bytes(clock[0].begin(), clock[0].begin() + 9), Vok(0xE3, {0x24, 0x20, 0x02, 0x29, 0x12, 0x00}));

    Bytes module(64, 0x01);
    module[63] = static_cast<std::uint8_t>(0x100 - 63);
    Ask(sim, LoadRequest(0x4000, 0, module));
    const Bytes chcksum = Vok(0xD9, {0x00, 0x00, 0x00, 0x40, 0x04, 0x00});
    EXPECT_EQ(Ask(sim, chcksum), std::vector<Bytes>{Vok(0xF8)});
    Ask(sim, LoadRequest(0x4000, 0, {0x02}));
    EXPECT_EQ(Ask(sim, chcksum), std::vector<Bytes>{Vok(0xF9)});
}

TEST(voksimBoard, IoPortsReadPresetsAndWrites) {
    const auto dir = std::filesystem::temp_directory_path() / ("voksim_io_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    SimProcess sim({"--no-throttle", "--io", "80=5A", "--io-log", (dir / "io.txt").string()});
    EXPECT_EQ(Ask(sim, Vok(0xD2, {0x80, 0x00, 0x01, 0x00}), 2),
              (std::vector<Bytes>{Vok(0xD2, {0x80, 0x00, 0x01, 0x00, 0x5A}), Vok(0xD6)}));
    sim.Send(Vok(0xD5, {0x00, 0x03, 0x02, 0x00, 0xCD, 0xAB}));
    EXPECT_TRUE(sim.ReadFor(100ms).empty()); // writes are not answered
    EXPECT_EQ(Ask(sim, Vok(0xD3, {0x00, 0x03, 0x02, 0x00}), 2)[0],
              Vok(0xD3, {0x00, 0x03, 0x02, 0x00, 0xCD, 0xAB}));
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    std::ifstream log(dir / "io.txt");
    std::string line;
    std::getline(log, line);
    EXPECT_EQ(line, "port=$0300 width=2 value=$ABCD");
    std::filesystem::remove_all(dir);
}

TEST(voksimBoard, BdRateSwitchesTheLineAndTheHostMustFollow) {
    SimProcess sim({"--no-throttle"});
    sim.Send(Vok(0xDC, {12}));
    EXPECT_TRUE(sim.ReadFor(100ms).empty());
    sim.Send(Vok(0xD7)); // still at 4800: garbage to the board
    EXPECT_TRUE(sim.ReadFor(150ms).empty());
    sim.SetLine(B19200, true);
    EXPECT_EQ(Ask(sim, Vok(0xD7)), std::vector<Bytes>{Vok(0xFA)});
    sim.SetLine(B19200, false); // no parity: the board's UART rejects the bytes
    sim.Send(Vok(0xD7));
    EXPECT_TRUE(sim.ReadFor(150ms).empty());
    sim.SetLine(B19200, true);
    EXPECT_EQ(Ask(sim, Vok(0xD7)), std::vector<Bytes>{Vok(0xFA)});
    EXPECT_EQ(sim.Stop(SIGINT), 0);
    EXPECT_NE(sim.Stderr().find("line 19200 baud (1 changes)"), std::string::npos) << sim.Stderr();
}

TEST(voksimBoard, GoIsFollowedByOneFrameOnceTheHostIsQuiet) {
    SimProcess sim({"--board", "188", "--no-throttle"});
    const Bytes go = Vok(0xDF, {0x00, 0x00, 0x00, 0xC8});
    for (int copy = 0; copy < 4; ++copy) {
        sim.Send(go);
    }
    const auto frames = sim.Receive(2, 1s);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].data, Vok(0xFD));
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    EXPECT_NE(sim.Stderr().find("Go C800:0000 (4 copies)"), std::string::npos) << sim.Stderr();
}

} // namespace
} // namespace ravlo::voksim::testing
