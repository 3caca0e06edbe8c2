#include "voksim/sim_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ravlo::voksim {
namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

// The options of a command line given as one text, words split at blanks.
SimOptions Parse(std::string_view line) {
    std::vector<std::string> args;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        args.emplace_back(line.substr(at, end - at));
        at = end + 1;
    }
    return ParseSimOptions(args);
}

TEST(voksimOptions, DefaultsAreABoard386At4800Throttled) {
    const SessionConfig session = Parse("").session;
    EXPECT_EQ(std::tuple(session.board, session.baud, session.throttle),
              std::tuple(BoardKind::B386, 4800u, true));
}

TEST(voksimOptions, ParsesEveryKindOfValue) {
    const SimOptions o = Parse(
        "--board V40 --link=/tmp/vok --baud 19200 --no-throttle --seed 42 --memory-in a@b.bin@$C8000 "
        "--memory-in rom.bin@0xF0000 --memory-out m.bin --trace - --io 80=5a --io-log io.txt --clock "
        "2024-02-29T12:00:00 --clock-stopped --mute 3 --wrong-address 0.25 --check-err all --clock-err "
        "all:1234 --delay 1500:2 --unsolicited 250 --drop-rate 0.5 --memd-size 32 --strict-load --node 7");
    EXPECT_EQ(std::tuple(o.session.board, o.session.baud, o.session.throttle, o.session.seed),
              std::tuple(BoardKind::V40, 19200u, false, 42u));
    EXPECT_EQ(o.link, std::filesystem::path("/tmp/vok"));
    ASSERT_EQ(o.memory_in.size(), 2u);
    EXPECT_EQ(o.memory_in[0].file, std::filesystem::path("a@b.bin")); // the last @ splits
    EXPECT_EQ(std::tuple(o.memory_in[0].address, o.memory_in[1].address), std::tuple(0xC8000u, 0xF0000u));
    ASSERT_EQ(o.io_presets.size(), 1u);
    EXPECT_EQ(std::tuple(o.io_presets[0].port, o.io_presets[0].value), std::tuple(0x80, 0x5A));
    EXPECT_EQ(o.session.clock_start, (ClockTime{2024, 2, 29, 12, 0, 0}));
    EXPECT_TRUE(o.session.clock_stopped);
    // The WHEN texts are ParseFaultWhen's (voksimFaults); here each reaches its fault.
    const auto& when = o.session.faults.when;
    EXPECT_EQ(when[static_cast<std::size_t>(Fault::Mute)].count, 3u);
    EXPECT_EQ(when[static_cast<std::size_t>(Fault::WrongAddress)].kind, FaultWhen::Kind::Rate);
    EXPECT_EQ(when[static_cast<std::size_t>(Fault::CheckErr)].kind, FaultWhen::Kind::Always);
    EXPECT_EQ(o.session.faults.clock_err_value, 0x1234);
    EXPECT_EQ(o.session.faults.delay, std::chrono::milliseconds(1500));
    EXPECT_EQ(o.session.faults.unsolicited_frame, (std::vector<std::uint8_t>{0xD6, 0, 0}));
    EXPECT_DOUBLE_EQ(o.session.faults.drop_rate, 0.5);
    EXPECT_EQ(std::tuple(o.session.model.memd_size, o.session.model.strict_load, o.session.node),
              std::tuple(32u, true, 7));
}

TEST(voksimOptions, RefusesBadWordsWithTheirName) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--bogus"}, "--bogus"},
        {{"--board", "286"}, "--board"},
        {{"--baud", "14400"}, "--baud"},
        {{"--baud"}, "needs a value"},
        {{"--no-throttle=1"}, "takes no value"},
        {{"--memory-in", "rom.bin"}, "FILE@ADDR"},
        {{"--memory-in", "rom.bin@100000"}, "larger than"},
        {{"--io", "80=1FF"}, "--io"},
        {{"--drop-rate", "1.5"}, "probability"},
        {{"--mute", "often"}, "--mute"},
        {{"--clock", "2024-02-30T00:00:00"}, "--clock"},
        {{"--unsolicited", "10:D"}, "pairs"},
        {{"--memd-size", "0"}, "at least 1"},
        {{"extra"}, "extra"},
    };
    for (const auto& [words, expected] : cases) {
        EXPECT_THAT([&] { ParseSimOptions(words); }, ThrowsMessage<UsageError>(HasSubstr(expected)))
            << words[0];
    }
}

} // namespace
} // namespace ravlo::voksim
