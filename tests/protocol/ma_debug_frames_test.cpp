// The board master's debug frames: each one queued operation that the board's answer, its
// silence or a time-out ends.
#include "ma_fixture.h"

namespace ravlo {
namespace {

using testing::Bytes;
using testing::Lines;

class MaDebugFramesTest : public testing::IdentifiedMaTest {
protected:
    // The record of the last frame handed to the communication process.
    Bytes LastRecord() const {
        for (auto it = rig.comm->Requests.rbegin(); it != rig.comm->Requests.rend(); ++it) {
            if (it->Code == RAVLOCOMM_MA_TxD) {
                return it->Data;
            }
        }
        return {};
    }
    void ExpectEndedAndConnected() {
        EXPECT_EQ(rig.ma->ConState, cs_idle);
        EXPECT_EQ(rig.ma->QueueCount(), 0u);
        EXPECT_EQ(rig.ma->Connected, kBoardConnected) << "a debug frame's outcome is no lost link";
    }
};

struct EmptyCase {
    const char* name;
    std::uint8_t type;
    bool silent; // no report at all: the master's own time-out ends it
    const char* shown;
    const char* error;
};

class MaEmptyFrameTest : public MaDebugFramesTest, public ::testing::WithParamInterface<EmptyCase> {};

TEST_P(MaEmptyFrameTest, TheFirstAnswerOrItsAbsenceIsShown) {
    const EmptyCase& c = GetParam();
    rig.comm->Silent = c.silent;
    rig.ma->SendDebugFrame(c.type);
    ASSERT_TRUE(UntilIdle());
    EXPECT_EQ(rig.comm->SentFrames(), (testing::Frames{{c.type, 0, 0}}));
    EXPECT_EQ(LastRecord()[0], 0) << "an answer is awaited whatever the type";
    EXPECT_EQ(rig.dialogs->Values(), c.shown[0] ? Lines{c.shown} : Lines{});
    EXPECT_EQ(rig.errors->Values(), c.error[0] ? Lines{c.error} : Lines{});
    ExpectEndedAndConnected();
    rig.ma->ReadMemPage(MakeFarPtr(0, 0xC800), kNoWindow);
    ASSERT_TRUE(UntilIdle());
    EXPECT_EQ(rig.views.Pages.size(), 1u) << "the queue goes on";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MaEmptyFrameTest,
    ::testing::Values(
        EmptyCase{"Rqst", ft_Rqst, false, "Frame $D7 (Rqst) answered with Empt188 ($FD)\r\nData: none", ""},
        // The first MemD of a long answer is shown; the rest of it finds the master idle.
        EmptyCase{
            "GetID", ft_GetID, false,
            "Frame $FB (GetID) answered with MemD ($D1)\r\nData: 70 bytes: 00 00 54 00 40 00 56 4F 4B 31 "
            "38 38 20 42 49 4F 53 20 2D 76 32 33 20 28 63 29 00 A4 00 00 00 00 00 00 00 00 00 00 00 00 "
            "00 00 00 00 00 00 00 00 ...",
            ""},
        EmptyCase{"unknown", 0xE5, false, "", "Frame $E5 (???_$E5) got no answer from Vok (Error)."},
        EmptyCase{"silent", 0xE5, true, "", "Frame $E5 (???_$E5) got no answer from Vok (TimeOut)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MaDebugFramesTest, AChecksumFrameCoversTheTypedParagraphs) {
    rig.ma->CheckSumBlock(0xC800, 62);
    ASSERT_TRUE(UntilIdle());
    rig.Board().CheckErr = 1;
    rig.ma->CheckSumBlock(0xC800, 62);
    ASSERT_TRUE(UntilIdle());
    const Bytes frame{ft_Chcksum, 0, 0, 0x00, 0x00, 0x00, 0xC8, 62, 0};
    EXPECT_EQ(rig.comm->SentFrames(), (testing::Frames{frame, frame}));
    EXPECT_EQ(rig.dialogs->Values(), (Lines{"Checksum OK", "Checksum Error"}));
    ExpectEndedAndConnected();
}

TEST_F(MaDebugFramesTest, LoadFramesWriteTheirBytesAndWaitForTheAcknowledgement) {
    const Bytes block{1, 2, 3, 0x10, 5};
    EXPECT_FALSE(rig.ma->LoadDebugBlock(MakeFarPtr(0, 0xC800), {}, "LoadSRemain"));
    EXPECT_FALSE(rig.ma->LoadDebugBlock(LinToFarPtr(0xFFFFE), block, "LoadSRemain"));
    ASSERT_TRUE(rig.ma->LoadDebugBlock(MakeFarPtr(0x0105, 0xC800), block, "LoadSRemain"));
    ASSERT_TRUE(UntilIdle());
    EXPECT_EQ(rig.Board().Read(0xC8105, 5), block) << "at the address as given, not aligned";
    EXPECT_EQ(rig.comm->SentFrames().at(0).size(), 14u);
    rig.Board().Mute = 1;
    rig.ma->LoadDebugBlock(MakeFarPtr(0, 0xC800), block, "LoadS256");
    ASSERT_TRUE(UntilIdle());
    EXPECT_EQ(rig.dialogs->Values().back(), "LoadSRemain: 5 bytes loaded at $C8105.");
    EXPECT_EQ(rig.errors->Values(), Lines{"Writing block of memory failed by Error"});
    EXPECT_EQ(rig.mainForm.Events, Lines{"- LoadSRemain: 5 bytes loaded at $C8105"});
}

} // namespace
} // namespace ravlo
