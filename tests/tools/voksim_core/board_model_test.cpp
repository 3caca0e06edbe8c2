#include "tools/voksim_core/raw_frames.h"
#include "voksim/board_model.h"

#include <gtest/gtest.h>
#include <string>

namespace ravlo::voksim {
namespace {

using testing::Le16;
using testing::LoadRequest;
using testing::MemRequest;
using testing::Vok;
using Bytes = std::vector<std::uint8_t>;

constexpr ClockTime kStart{2024, 2, 29, 23, 59, 58};

struct Board {
    explicit Board(BoardKind kind, const FaultOptions& faults = {}, BoardModel::Settings settings = {})
        : injector(faults, 7),
          model(PersonalityOf(kind), injector, BoardClock(kStart, false, Ns{0}), settings) {}

    Reply Ask(const Bytes& frame, Ns at = Ns{0}) { return model.Handle(frame, at); }

    FaultInjector injector;
    BoardModel model;
};

std::uint32_t LinOfMemD(const Bytes& frame) {
    return (std::uint32_t{Le16(frame, 5)} << 4) + Le16(frame, 3);
}

// The data of a memory answer; checks that each MemD names the address after the one before it
// and that MemE closes the answer.
Bytes MemoryData(const Reply& reply, std::uint32_t first_lin) {
    Bytes data;
    if (reply.frames.empty() || reply.frames.back() != Vok(0xD6)) {
        ADD_FAILURE() << "no MemE at the end";
        return data;
    }
    for (std::size_t i = 0; i + 1 < reply.frames.size(); ++i) {
        const Bytes& f = reply.frames[i];
        EXPECT_EQ(f[0], 0xD1);
        EXPECT_EQ(LinOfMemD(f), first_lin + data.size());
        EXPECT_EQ(f.size(), 9u + Le16(f, 7));
        data.insert(data.end(), f.begin() + 9, f.end());
    }
    return data;
}

TEST(voksimBoardModel, RqstAndLoadAreAnsweredWithThePersonalitysFrame) {
    for (const auto& [kind, empt] : {std::pair{BoardKind::V40, 0xD8}, std::pair{BoardKind::B386, 0xFA},
                                     std::pair{BoardKind::B188, 0xFD}}) {
        Board board(kind);
        EXPECT_EQ(board.Ask(Vok(0xD7)).frames, std::vector<Bytes>{Vok(static_cast<std::uint8_t>(empt))});
        EXPECT_EQ(board.Ask(LoadRequest(0xC800, 0, Bytes(256, 1))).frames,
                  std::vector<Bytes>{Vok(static_cast<std::uint8_t>(empt))});
    }
}

TEST(voksimBoardModel, LoadedBytesReadBackInMemdPiecesUnderTheHostsSegment) {
    Board board(BoardKind::B386);
    Bytes image(512);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i % 3 == 0 ? 0x10 : i);
    }
    ASSERT_EQ(board.Ask(LoadRequest(0xC800, 0, image)).frames.size(), 1u);
    const Reply reply = board.Ask(MemRequest(0xC800, 0x0100, 256));
    ASSERT_EQ(reply.frames.size(), 5u); // four MemD of 64 bytes and MemE
    EXPECT_EQ(Le16(reply.frames[1], 5), 0xC800);
    EXPECT_EQ(Le16(reply.frames[1], 3), 0x0140);
    EXPECT_EQ(MemoryData(reply, 0xC8100), Bytes(image.begin() + 256, image.end()));

    Board wide(BoardKind::B188, {}, {100, false});
    EXPECT_EQ(wide.Ask(MemRequest(0, 0, 256)).frames.size(), 4u); // 100 + 100 + 56 and MemE
    EXPECT_EQ(wide.Ask(MemRequest(0, 0, 0)).frames, std::vector<Bytes>{Vok(0xD6)});
    // Addresses normalise when the offset overflows: 1000:FFF0 + 100 is 2005:0004.
    const Reply wrapped = wide.Ask(MemRequest(0x1000, 0xFFF0, 200));
    ASSERT_EQ(wrapped.frames.size(), 3u);
    EXPECT_EQ(Le16(wrapped.frames[1], 5), 0x2005);
    EXPECT_EQ(Le16(wrapped.frames[1], 3), 0x0004);
    MemoryData(wrapped, 0x1FFF0);
}

TEST(voksimBoardModel, MalformedLoadsAndUnknownFramesGetNoAnswer) {
    Board board(BoardKind::B188, {}, {64, true});
    Bytes short_load = LoadRequest(0x2000, 0, {1, 2, 3, 4});
    short_load.pop_back();
    EXPECT_TRUE(board.Ask(short_load).frames.empty());
    EXPECT_TRUE(board.Ask(LoadRequest(0x2000, 0x10, Bytes(256, 5))).frames.empty()); // not aligned
    EXPECT_TRUE(board.Ask(LoadRequest(0x2000, 0, Bytes(512, 5))).frames.empty());    // not the block size
    EXPECT_EQ(board.model.Memory().Read(0x20010), 0);
    EXPECT_EQ(board.Ask(LoadRequest(0x2000, 0x100, Bytes(256, 5))).frames.size(), 1u);

    Bytes long_rqst = Vok(0xD7, {0});
    EXPECT_TRUE(board.Ask(long_rqst).frames.empty());
    EXPECT_TRUE(board.Ask(Vok(0xE7)).frames.empty());
    EXPECT_TRUE(board.Ask(Bytes{0xD7, 0}).frames.empty());
    EXPECT_TRUE(board.Ask(Vok(0xD8)).frames.empty()); // a board's own frame is no request
}

TEST(voksimBoardModel, EachBoardKeepsItsIdentificationWhereTheHostLooks) {
    // The V40 and the 188: a far pointer at FFF0:00CC to the text, the flash code at 0000:046B.
    for (const auto& [kind, marker, flash] :
         {std::tuple{BoardKind::V40, "14<QRN>", 0x5B}, std::tuple{BoardKind::B188, "188ER BIOS-v31", 0xA4}}) {
        Board board(kind);
        const Bytes pointer = MemoryData(board.Ask(MemRequest(0xFFF0, 0x00CC, 4)), 0xFFFCC);
        ASSERT_EQ(pointer.size(), 4u);
        const std::uint32_t text_lin = (std::uint32_t{Le16(pointer, 2)} << 4) + Le16(pointer, 0);
        const Bytes text =
            MemoryData(board.Ask(MemRequest(Le16(pointer, 2), Le16(pointer, 0), 64)), text_lin);
        EXPECT_NE(std::string(text.begin(), text.end()).find(marker), std::string::npos);
        EXPECT_EQ(MemoryData(board.Ask(MemRequest(0, 0x046B, 1)), 0x46B),
                  Bytes{static_cast<std::uint8_t>(flash)});
        EXPECT_TRUE(board.Ask(Vok(0xFB)).frames.empty()); // GetID is the 386's own
    }
    // The 386 sends text, NUL and flash code from 0050:0040 for GetID.
    Board board(BoardKind::B386);
    const Bytes data = MemoryData(board.Ask(Vok(0xFB)), 0x540);
    const std::string id(reinterpret_cast<const char*>(data.data()));
    ASSERT_EQ(data.size(), id.size() + 2);
    EXPECT_NE(id.find("23<VOK>"), std::string::npos);
    EXPECT_EQ(data.back(), 0xD5);
}

TEST(voksimBoardModel, IoReadsAnswerPortAndValueThenMemE) {
    Board board(BoardKind::V40);
    board.model.Io().Preset(0x80, 0x5A);
    EXPECT_EQ(board.Ask(Vok(0xD2, {0x80, 0x00, 0x01, 0x00})).frames,
              (std::vector<Bytes>{Vok(0xD2, {0x80, 0x00, 0x01, 0x00, 0x5A}), Vok(0xD6)}));
    EXPECT_EQ(board.Ask(Vok(0xD2, {0x81, 0x00, 0x01, 0x00})).frames[0].back(), 0xFF); // floating bus

    EXPECT_TRUE(board.Ask(Vok(0xD5, {0x00, 0x03, 0x02, 0x00, 0x34, 0x12})).frames.empty());
    EXPECT_TRUE(board.Ask(Vok(0xD4, {0x80, 0x00, 0x01, 0x00, 0x77, 0x00})).frames.empty());
    EXPECT_EQ(board.Ask(Vok(0xD3, {0x00, 0x03, 0x02, 0x00})).frames[0],
              Vok(0xD3, {0x00, 0x03, 0x02, 0x00, 0x34, 0x12}));
    EXPECT_EQ(board.Ask(Vok(0xD2, {0x01, 0x03, 0x01, 0x00})).frames[0].back(), 0x12);
    EXPECT_EQ(board.Ask(Vok(0xD2, {0x80, 0x00, 0x01, 0x00})).frames[0].back(), 0x77);
    ASSERT_EQ(board.model.Io().Writes().size(), 2u);
    EXPECT_EQ(board.model.Io().Writes()[0].width, 2);
}

TEST(voksimBoardModel, ChecksumIsOkWhenTheModuleSumsToZero) {
    Board board(BoardKind::B188);
    Bytes module(32, 0x11);
    module[31] = static_cast<std::uint8_t>(0x100 - (31 * 0x11) % 0x100);
    board.Ask(LoadRequest(0x3000, 0, module));
    const auto check = [&](std::uint8_t paragraphs) {
        return board.Ask(Vok(0xD9, {0x00, 0x00, 0x00, 0x30, paragraphs, 0x00})).frames.at(0)[0];
    };
    EXPECT_EQ(check(2), 0xF8);
    board.Ask(LoadRequest(0x3000, 5, {0x12}));
    EXPECT_EQ(check(2), 0xF9);
    // One paragraph only covers the first 16 bytes, which do not sum to zero on their own.
    board.Ask(LoadRequest(0x3000, 5, {0x11}));
    EXPECT_EQ(check(1), 0xF9);
}

TEST(voksimBoardModel, BdRateSwitchesTheRateWithoutAnswer) {
    Board board(BoardKind::B386);
    const Reply reply = board.Ask(Vok(0xDC, {12}));
    EXPECT_TRUE(reply.frames.empty());
    EXPECT_EQ(reply.new_baud, 19200u); // other codes: voksimSession and voksimProgram tests
    EXPECT_FALSE(board.Ask(Vok(0xDC, {9})).new_baud.has_value());
}

TEST(voksimBoardModel, ClockTakesBinaryAndAnswersBcdWithTheBiosYears) {
    Board board(BoardKind::B188);
    // 2024-02-29 23:59:58 set, read 3 s later: the leap day has passed.
    EXPECT_EQ(board.Ask(Vok(0xE3, {0xE8, 0x07, 2, 29, 23, 59, 58}), std::chrono::seconds(10)).frames,
              std::vector<Bytes>{Vok(0xFD)});
    EXPECT_EQ(
        board.Ask(Vok(0xE4), std::chrono::seconds(13)).frames,
        std::vector<Bytes>{Vok(0xE3, {0x24, 0x20, 0x03, 0x01, 0x00, 0x00, 0x01, 0x80, 0x19, 0x99, 0x20})});
    // An impossible date is refused and leaves the clock alone.
    EXPECT_EQ(board.Ask(Vok(0xE3, {0xE7, 0x07, 2, 29, 0, 0, 0})).frames,
              std::vector<Bytes>{Vok(0xDA, {0x32, 0x00})});
    EXPECT_EQ(board.Ask(Vok(0xE4), std::chrono::seconds(13)).frames[0][5], 0x03);

    Board v40(BoardKind::V40);
    EXPECT_EQ(v40.Ask(Vok(0xE4)).frames, std::vector<Bytes>{Vok(0xDA, {0x31, 0x00})});
    EXPECT_EQ(v40.Ask(Vok(0xE3, {0xE8, 0x07, 1, 1, 0, 0, 0})).frames,
              std::vector<Bytes>{Vok(0xDA, {0x30, 0x00})});
}

FaultOptions With(Fault fault, const char* when) {
    FaultOptions faults;
    faults.when[static_cast<std::size_t>(fault)] = *ParseFaultWhen(when);
    return faults;
}

TEST(voksimBoardModel, FaultsStrikeTheAnswersTheyAreFor) {
    Board muted(BoardKind::B386, With(Fault::Mute, "2"));
    EXPECT_TRUE(muted.Ask(LoadRequest(0x2000, 0, {9})).frames.empty());
    EXPECT_TRUE(muted.Ask(Vok(0xD7)).frames.empty());
    EXPECT_EQ(muted.model.Memory().Read(0x20000), 0); // the muted Load had no effect
    EXPECT_EQ(muted.Ask(Vok(0xD7)).frames.size(), 1u);
    EXPECT_EQ(muted.injector.Struck(Fault::Mute), 2u);

    Board wrong(BoardKind::B386, With(Fault::WrongAddress, "1"));
    EXPECT_EQ(LinOfMemD(wrong.Ask(MemRequest(0x2000, 0, 64)).frames[0]), 0x20010u);
    MemoryData(wrong.Ask(MemRequest(0x2000, 0, 64)), 0x20000); // the second answer is right
    Board early(BoardKind::B386, With(Fault::EarlyMemE, "all"));
    EXPECT_EQ(MemoryData(early.Ask(MemRequest(0x2000, 0, 256)), 0x20000).size(), 128u);

    Board hal(BoardKind::B188, With(Fault::EmptHAL, "1"));
    EXPECT_EQ(hal.Ask(Vok(0xD7)).frames, std::vector<Bytes>{Vok(0xFC)});
    EXPECT_EQ(hal.Ask(Vok(0xD7)).frames, std::vector<Bytes>{Vok(0xFD)});

    Board check(BoardKind::B188, With(Fault::CheckErr, "all"));
    EXPECT_EQ(check.Ask(Vok(0xD9, {0x00, 0x00, 0x00, 0x30, 0x01, 0x00})).frames,
              std::vector<Bytes>{Vok(0xF9)});

    FaultOptions clock = With(Fault::ClockErr, "all");
    clock.clock_err_value = 0x1234;
    Board refused(BoardKind::B386, clock);
    EXPECT_EQ(refused.Ask(Vok(0xE4)).frames, std::vector<Bytes>{Vok(0xDA, {0x34, 0x12})});

    FaultOptions late = With(Fault::Delay, "1");
    late.delay = std::chrono::milliseconds(250);
    Board delayed(BoardKind::B386, late);
    EXPECT_EQ(delayed.Ask(Vok(0xDC, {11})).delay, Ns{0}); // nothing to delay: not counted
    EXPECT_EQ(delayed.Ask(Vok(0xD7)).delay, std::chrono::milliseconds(250));
    EXPECT_EQ(delayed.Ask(Vok(0xD7)).delay, Ns{0});
}

} // namespace
} // namespace ravlo::voksim
