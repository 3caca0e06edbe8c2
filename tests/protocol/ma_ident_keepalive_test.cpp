// The board master identifying the board, and its keep-alive.
#include "ma_fixture.h"
#include "protocol/bios_id.h"
#include "protocol/ma_messages.h"

#include <functional>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::Frames;
using testing::Lines;
using testing::LinOf;
using testing::MaRig;
using MaIdentTest = testing::IdentifiedMaTest;

TEST(MaIdentOwnRigTest, EachAnswerToRqstNamesItsBoard) {
    for (const DEV_VokType kind : {DEV_VokV40, DEV_Vok386, DEV_Vok188}) {
        MaRig rig;
        rig.ConnectAndIdentify(kind);
        EXPECT_EQ(rig.ma->Device, kind);
        EXPECT_EQ(rig.ma->BiosIdText, rig.Board().IdText);
        EXPECT_GT(rig.mainForm.CountOf(&rig.ma->Device, 1), 0u);
        EXPECT_GT(rig.mainForm.CountOf(&rig.ma->BiosIdText, 4), 0u);
    }
}

TEST_F(MaIdentTest, BiosIdentificationOfA188ReadsPointerTextAndFlashType) {
    rig.ma->ReadBiosId();
    rig.Settle();
    // The pointer, the text it points at, the flash code.
    EXPECT_EQ(testing::Shapes(rig.comm->SentFrames()),
              (std::vector<testing::Shape>{{ft_Mem, 0xFFFCC, 4}, {ft_Mem, 0xF8000, 64}, {ft_Mem, 0x46B, 1}}));
    EXPECT_EQ(rig.ma->BiosVersion, 23);
    EXPECT_EQ(rig.ma->BiosVersionText(), "2.3");
    ASSERT_EQ(rig.presenter.Boxes.size(), 1u);
    EXPECT_EQ(rig.presenter.Boxes[0].Caption, "Bios identification of Vok188");
    EXPECT_EQ(rig.presenter.Boxes[0].Text, "BIOS version:   2.3\r\nBIOS   ident.:   VOK188 BIOS -v23 (c)\r\n"
                                           "FLASH ident.:  $A4\r\nFLASH type:     ATMEL 29C020");
    EXPECT_EQ(rig.ma->ConState, cs_idle);
}

TEST(MaIdentOwnRigTest, BiosIdentificationOfA386UsesGetIDAndRepeatsIt) {
    MaRig rig;
    rig.Board().IdText = "VOK386EX BIOS 31<VOK>";
    rig.Board().FlashCode = 0x11;
    rig.ConnectAndIdentify(DEV_Vok386);
    rig.ma->ReadBiosId();
    rig.Settle();
    EXPECT_EQ(rig.comm->SentFrames(), (Frames{{ft_GetID, 0, 0}}));
    ASSERT_EQ(rig.presenter.Boxes.size(), 1u);
    EXPECT_EQ(rig.presenter.Boxes[0].Caption, "Bios identification of Vok386");
    EXPECT_EQ(rig.presenter.Boxes[0].Text, "BIOS version:   3.1\r\nBIOS  ident.:   VOK386EX BIOS 31<VOK>\r\n"
                                           "FLASH ident.:  $11\r\nFLASH type:     Eprom xxx");

    // An unanswered GetID is sent again.
    rig.comm->Requests.clear();
    rig.comm->Silent = true;
    rig.Board().Mute = 1;
    rig.ma->ReadBiosId();
    EXPECT_TRUE(rig.AdvanceUntil([&] { return rig.presenter.Boxes.size() == 2; }));
    EXPECT_EQ(rig.comm->SentFrames(), (Frames{{ft_GetID, 0, 0}, {ft_GetID, 0, 0}}));
    EXPECT_TRUE(rig.errors->Texts.empty());
}

// A MemE before all an identification read asked for has come (the 188's pointer, text or flash
// code, the 386's text and code) ends nothing: the read goes out again, and the box shows the
// whole identification.
TEST(MaIdentOwnRigTest, AnIdentificationReadThatEndsEarlyIsReadAgain) {
    struct Case {
        DEV_VokType Kind;
        int Read; // the read whose answer ends early
        std::size_t Frames;
    };
    for (const Case c :
         {Case{DEV_Vok188, 0, 4}, Case{DEV_Vok188, 1, 4}, Case{DEV_Vok188, 2, 4}, Case{DEV_Vok386, 0, 2}}) {
        SCOPED_TRACE("read " + std::to_string(c.Read) + " of board " + std::to_string(c.Kind));
        MaRig rig;
        rig.ConnectAndIdentify(c.Kind);
        rig.comm->Hold = true;
        for (int read = 0; read <= c.Read; ++read) {
            rig.Board().EarlyMemE = read == c.Read ? 1 : 0;
            if (read == 0) {
                rig.ma->ReadBiosId();
            } else {
                rig.comm->ReleaseHeld();
            }
            rig.Settle();
        }
        rig.comm->Hold = false;
        rig.comm->ReleaseHeld();
        ASSERT_TRUE(rig.AdvanceUntil([&] { return !rig.presenter.Boxes.empty(); }));
        EXPECT_EQ(rig.ma->BiosIdText, rig.Board().IdText);
        EXPECT_NE(rig.presenter.Boxes[0].Text.find("FLASH ident.:  $A4"), std::string::npos)
            << rig.presenter.Boxes[0].Text;
        EXPECT_EQ(rig.comm->SentFrames().size(), c.Frames) << "the read that ended early, once more";
        EXPECT_TRUE(rig.errors->Texts.empty());
    }
}

TEST_F(MaIdentTest, UnknownBoardAnswer) {
    rig.form.Flags = TMaMainForm::CL_Download | TMaMainForm::CL_Run | TMaMainForm::CL_Exit;
    rig.Board().EmptHal = 1;
    rig.ma->SendRqst();
    rig.Settle();
    EXPECT_EQ(rig.ma->Device, DEV_Unknown);
    EXPECT_EQ(rig.ma->BiosIdText, "???");
    EXPECT_EQ(rig.errors->Values(), Lines{"Unknown Vok answered, Empt_$FC"});
    EXPECT_EQ(rig.form.Flags, 0) << "a batch run stops";
    EXPECT_EQ(rig.project.Downloads, 0);
    EXPECT_EQ(rig.ma->ConState, cs_idle);
}

TEST_F(MaIdentTest, ZeroBiosPointerIsReported) {
    rig.Board().Put(0xFFFCC, Bytes{0, 0, 0, 0});
    rig.ma->ReadBiosId();
    rig.Settle();
    EXPECT_EQ(rig.mainForm.Events, Lines{"- Error while reading Bios Id"});
    EXPECT_EQ(rig.dialogs->Values(), Lines{"Error while reading Bios Id!"});
    EXPECT_EQ(rig.comm->SentFrames().size(), 1u);
    EXPECT_EQ(rig.ma->ConState, cs_idle);
}

TEST(MaIdentOwnRigTest, CommandLineDownloadAndRunFollowTheFirstAnswer) {
    MaRig rig;
    rig.project.Full = true;
    rig.form.Flags = TMaMainForm::CL_Download | TMaMainForm::CL_Run;
    rig.ConnectAndIdentify(DEV_Vok188);
    EXPECT_EQ(rig.project.Downloads, 1);
    EXPECT_EQ(rig.form.RunClicks, 1);
    EXPECT_EQ(rig.form.Flags, 0);

    MaRig small;
    small.form.Flags = TMaMainForm::CL_Download;
    small.ConnectAndIdentify(DEV_Vok188);
    EXPECT_EQ(small.project.Downloads, 0);
    EXPECT_EQ(small.form.DownloadClicks, 1) << "a SMALL project goes through the menu command";
}

TEST_F(MaIdentTest, IdentificationRequestsGoBeforeEarlierOnes) {
    rig.comm->Hold = true;
    rig.ma->ReadMemPage(LinToFarPtr(0x100), kNoWindow);
    rig.Settle();
    rig.ma->ReadMemPage(LinToFarPtr(0x200), kNoWindow);
    rig.ma->ReadBiosId();
    Release();
    rig.Settle();
    const Frames frames = rig.comm->SentFrames();
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(LinOf(frames[0]), 0x100u);
    EXPECT_EQ(LinOf(frames[1]), 0xFFFCCu) << "the identification overtook the second page";
    EXPECT_EQ(LinOf(frames.back()), 0x200u);
}

TEST(BiosIdTest, VersionRules) {
    EXPECT_EQ(ParseBiosId("VOK386EX 23<VOK>").Version, 23);
    EXPECT_EQ(ParseBiosId("VOK188 -v41 xx").Version, 41);
    EXPECT_EQ(ParseBiosId("abc12<QRN>").Version, 12);
    EXPECT_EQ(ParseBiosId("abc07<Y47>").Version, 7);
    EXPECT_EQ(ParseBiosId("abc99<Y58>").Version, 99);
    EXPECT_EQ(ParseBiosId("386 board 23<VOK> -v55").Version, 23) << "the first rule that applies";
    EXPECT_EQ(ParseBiosId("VOK188 23<VOK>").Version, 0) << "\"<VOK>\" counts only with \"386\"";
    EXPECT_EQ(ParseBiosId("VOK188 -vX1").Version, 0) << "no digits, no version";
    EXPECT_EQ(ParseBiosId("386<VOK>").Version, 86);
    EXPECT_EQ(ParseBiosId("3<QRN>").Version, 0) << "one character is not enough";
    EXPECT_EQ(ParseBiosId("188-v").Version, 0);
    EXPECT_EQ(ParseBiosId("").Version, 0);
    EXPECT_EQ(ParseBiosId("???").Text, "???");
    EXPECT_EQ(BiosVersionText(23), "2.3");
    EXPECT_EQ(BiosVersionText(7), "7.");
    EXPECT_EQ(BiosVersionText(0), "?.?");
}

std::size_t CountOf(const Frames& frames, std::uint8_t type) {
    return static_cast<std::size_t>(
        std::count_if(frames.begin(), frames.end(), [type](const Bytes& frame) { return frame[0] == type; }));
}

std::vector<std::uint32_t> ChnParamRates(const testing::FakeComm& comm) {
    std::vector<std::uint32_t> rates;
    for (const auto& request : comm.Requests) {
        if (request.Code == RAVLOCOMM_MA_SetChnParam) {
            rates.push_back(TRavloChnParamRec::Decode(request.Data)->Baud);
        }
    }
    return rates;
}

// The board identified, the keep-alive once a second.
class MaKeepAliveTest : public testing::IdentifiedMaTest {
protected:
    MaKeepAliveTest() : IdentifiedMaTest("DWN=0 PER=1000") {}
};

TEST(MaKeepAliveOwnRigTest, NoPingWhenThePeriodIsZero) {
    MaRig rig("DWN=0 PER=0");
    rig.ConnectAndIdentify();
    rig.Advance(10000, 100);
    EXPECT_TRUE(rig.comm->Requests.empty());
}

TEST_F(MaKeepAliveTest, QuietBoardIsPingedOnceAPeriodAndNotAgainUntilItAnswers) {
    rig.Advance(990);
    EXPECT_TRUE(rig.comm->Requests.empty());
    rig.comm->Hold = true;
    rig.Advance(20);
    EXPECT_EQ(rig.comm->SentFrames(), (Frames{{ft_Rqst, 0, 0}}));
    EXPECT_EQ(rig.ma->ConState, cs_WaitForPing);
    rig.Advance(1500);
    EXPECT_EQ(rig.comm->SentFrames().size(), 1u) << "no second ping before the first is answered";
    Release();
    rig.Settle();
    EXPECT_EQ(rig.ma->ConState, cs_idle);
    EXPECT_EQ(rig.ma->PingAnswered, 1);
    rig.Advance(1000);
    EXPECT_EQ(rig.comm->SentFrames().size(), 2u);
    EXPECT_TRUE(rig.errors->Texts.empty());
}

// The scheduler's worker sleeps until the master's next step is due: the keep-alive must not come
// later than that, an outstanding ping needs no step, and a queued request one at once.
TEST_F(MaKeepAliveTest, TheNextStepIsDueWithTheKeepAliveAndAtOnceForAQueuedRequest) {
    rig.Advance(300, 1);
    const std::optional<std::uint64_t> due = rig.ma->NextTickDue(TickMs());
    ASSERT_TRUE(due.has_value());
    rig.comm->Hold = true;
    rig.Advance(static_cast<std::uint32_t>(*due - TickMs() - 1), 1);
    EXPECT_TRUE(rig.comm->Requests.empty()) << "no ping before the step is due";
    rig.Advance(1, 1);
    EXPECT_EQ(rig.comm->SentFrames(), (Frames{{ft_Rqst, 0, 0}})) << "the ping with the step due";
    EXPECT_EQ(rig.ma->NextTickDue(TickMs()), std::nullopt) << "the answer or the time-out moves it on";
    Release();
    rig.Settle();
    ASSERT_TRUE(rig.ma->WriteMemBlock(MakeFarPtr(0, 0x3000), {1, 2, 3}, "block"));
    EXPECT_EQ(rig.ma->NextTickDue(TickMs()), TickMs());
}

TEST_F(MaKeepAliveTest, LostBoardIsReportedOnceThenSearchedSilentlyAtBothRates) {
    rig.ma->DefBd = rig.ma->CurBaud = 4800;
    rig.ma->BDLD = 38400;
    rig.Board().Mute = 1000;
    rig.Advance(1000);
    EXPECT_EQ(rig.errors->Values(), Lines{"Communication lost!"});
    EXPECT_EQ(rig.errors->Texts[0].Kind, 1);
    EXPECT_EQ(BaudSearch, 1);
    EXPECT_EQ(rig.ma->Connected, kNotConnected);
    EXPECT_EQ(rig.ma->Device, DEV_Unknown);
    EXPECT_TRUE(rig.ma->BiosIdText.empty());

    rig.Advance(3000);
    EXPECT_EQ(ChnParamRates(*rig.comm), (std::vector<std::uint32_t>{38400, 4800, 38400}))
        << "each keep-alive tries the other rate";
    EXPECT_EQ(CountOf(rig.comm->SentFrames(), ft_BdRate), 0u) << "a search tells the board nothing";
    EXPECT_EQ(rig.errors->Texts.size(), 1u) << "failures during the search are silent";
}

TEST_F(MaKeepAliveTest, PingWithoutAnyReportTimesOut) {
    rig.comm->Silent = true;
    rig.Board().Mute = 1;
    rig.Advance(1000);
    EXPECT_TRUE(rig.ma->TimeOutArmed());
    EXPECT_TRUE(rig.AdvanceUntil([&] { return !rig.errors->Texts.empty(); }, 10000));
    EXPECT_EQ(rig.errors->Values(), Lines{"Communication lost by TimeOut"});
    EXPECT_GT(rig.mainForm.CountOf(&rig.ma->Connected, 1), 0u);
    EXPECT_TRUE(rig.AdvanceUntil([&] { return rig.ma->Connected == kBoardConnected; }, 5000))
        << "the next keep-alive finds the board again";
}

TEST(MaKeepAliveOwnRigTest, IdentificationAfterABoardChangeSwitchesToTheDownloadRate) {
    MaRig rig("DWN=0 PER=1000");
    rig.ma->DefBd = rig.ma->CurBaud = 4800;
    rig.ma->BDLD = 38400;
    rig.Board().PutIdentification();
    rig.Connect(4800);
    // The keep-alive searches: 38400 finds nobody, 4800 finds the board, which is then identified
    // and switched to 38400.
    EXPECT_TRUE(rig.AdvanceUntil([&] { return rig.ma->Connected == kChangingBaud; }, 5000));
    EXPECT_EQ(rig.ma->Device, DEV_Vok188);
    EXPECT_EQ(rig.ma->BiosIdText, rig.Board().IdText);
    EXPECT_EQ(rig.Board().Baud, 38400u) << "BdRate went to the board";
    rig.ma->ReadMemPage(LinToFarPtr(0x1000), kNoWindow);
    rig.Settle();
    EXPECT_TRUE(rig.views.Pages.empty()) << "the queue waits for the change";
    EXPECT_TRUE(rig.AdvanceUntil([&] { return !rig.views.Pages.empty(); }, 5000));
    EXPECT_EQ(ComBaud, 38400u);
    EXPECT_EQ(rig.ma->Connected, kBoardConnected);
    EXPECT_EQ(rig.views.Pages[0].Data, rig.Board().Read(0x1000, 256));
    EXPECT_TRUE(rig.errors->Texts.empty());
    EXPECT_TRUE(rig.presenter.Boxes.empty()) << "an identification after a board change shows no box";
}

TEST_F(MaKeepAliveTest, NoPingAndNoIdentificationWhileAnOperationRuns) {
    rig.comm->Hold = true;
    rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
    rig.Settle();
    rig.ma->SendRqst();
    rig.ma->PingBoard();
    rig.Advance(3000, 100);
    EXPECT_EQ(CountOf(rig.comm->SentFrames(), ft_Rqst), 0u);
    EXPECT_EQ(rig.errors->Values(),
              (Lines{"Can't, another operation in progress.", "Can't, another operation in progress."}));
    EXPECT_EQ(rig.errors->Texts[0].Kind, 0) << "no box";
    EXPECT_EQ(rig.ma->ConState, cs_WaitForMemView);
    Release();
    rig.Advance(1100, 100);
    EXPECT_EQ(rig.views.Pages.size(), 1u);
    EXPECT_EQ(CountOf(rig.comm->SentFrames(), ft_Rqst), 1u) << "the keep-alive goes on once it has ended";
}

// The keep-alive rests while an operation waits, however long its answer takes within the wait:
// an answer later than the period brings no ping, no beep and no refusal. So does the late
// confirmation that the frame of an IO write, which awaits no answer of the board, has gone out.
TEST_F(MaKeepAliveTest, AnAnswerLaterThanThePeriodBringsNoPingBeepOrRefusal) {
    struct Case {
        const char* Name;
        std::function<void()> Start;
        std::function<bool()> Answered;
    };
    testing::NotifyWindow window;
    const std::vector<Case> cases = {{"page read",
                                      [&] { rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow); },
                                      [&] {
                                          return rig.views.Pages.size() == 1;
                                      }},
                                     {"IO write", [&] { rig.ma->WriteIO(0x310, true, window.Handle(), 1); },
                                      [&] {
                                          return window.Messages.size() == 1;
                                      }}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        rig.comm->Requests.clear();
        rig.comm->Hold = true;
        c.Start();
        rig.Settle();
        ASSERT_TRUE(rig.ma->TimeOutArmed());
        const std::uint64_t wait = rig.ma->ArmedTimeOutDue() - TickMs();
        ASSERT_GT(wait, 2u * static_cast<std::uint64_t>(rig.ma->PER))
            << "an answer can come after two periods";
        const int beeps = rig.presenter.Beeps;
        rig.Advance(static_cast<std::uint32_t>(wait) - 100);
        Release();
        rig.Settle();
        EXPECT_TRUE(c.Answered());
        EXPECT_EQ(rig.presenter.Beeps, beeps);
        EXPECT_TRUE(rig.errors->Texts.empty());
        EXPECT_EQ(CountOf(rig.comm->SentFrames(), ft_Rqst), 0u);
        EXPECT_EQ(rig.ma->Connected, kBoardConnected);
    }
}

TEST_F(MaKeepAliveTest, TimeOutThatWasCancelledAfterItWasPostedIsIgnored) {
    rig.comm->Hold = true;
    rig.ma->ReadMemPage(LinToFarPtr(0), kNoWindow);
    rig.Settle();
    ASSERT_TRUE(rig.ma->TimeOutArmed());
    // The time-out falls due and is posted, but the answer is delivered first.
    rig.clock.Advance(rig.ma->ArmedTimeOutDue() - TickMs());
    Release();
    rig.timed.SendProcMessages(TickMs());
    rig.Settle();
    EXPECT_EQ(rig.views.Pages.size(), 1u);
    EXPECT_TRUE(rig.errors->Texts.empty());
    EXPECT_EQ(rig.ma->Connected, kBoardConnected);
}

} // namespace
} // namespace ravlo
