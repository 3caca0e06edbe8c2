// The board master's IO reads end as read only with a value of their own: a value it refused, or
// one an earlier operation took, counts for nothing.
#include "ma_fixture.h"
#include "protocol/ma_messages.h"

#include <algorithm>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::FakeBoard;
using testing::Frames;
using testing::Lines;
using Message = testing::NotifyWindow::Message;
using Messages = std::vector<Message>;

class MaOwnAnswerTest : public testing::IdentifiedMaTest {
protected:
    bool AnyReadEvent() const {
        return std::ranges::any_of(rig.mainForm.Events, [](const std::string& event) {
            return event.find("Data were read") != std::string::npos;
        });
    }
    bool AnyIoReadSent() const {
        return std::ranges::any_of(rig.comm->SentFrames(),
                                   [](const Bytes& frame) { return frame[0] == ft_cIORd; });
    }

    testing::NotifyWindow window;
};

// The value of another port, or a value frame of a wrong length: whether its MemE comes or is lost,
// the read fails by its time-out with nothing shown, and the port is not read again.
TEST_F(MaOwnAnswerTest, IoReadWhoseValueIsRefusedFailsByItsTimeOut) {
    struct Case {
        const char* Name;
        Bytes Value;
        bool MemE;
    };
    const Bytes otherPort{ft_cIORd, 0, 0, 0x01, 0x03, 1, 0, 0x55};
    const Bytes cut{ft_cIORd, 0, 0, 0x00, 0x03, 1, 0};
    const Bytes tooLong{ft_cIORd, 0, 0, 0x00, 0x03, 1, 0, 0x55, 0x66};
    for (const Case& c :
         {Case{"another port, MemE", otherPort, true}, Case{"another port", otherPort, false},
          Case{"cut, MemE", cut, true}, Case{"cut", cut, false}, Case{"too long, MemE", tooLong, true}}) {
        SCOPED_TRACE(c.Name);
        rig.ClearRecords();
        rig.comm->Requests.clear();
        Frames answer{c.Value};
        if (c.MemE) {
            answer.push_back(FakeBoard::Bare(ft_MemE));
        }
        rig.Board().Scripted = {answer};
        rig.ma->ReadIO(0x300, true, window.Handle());
        EXPECT_TRUE(UntilIdle());
        EXPECT_EQ(rig.errors->Values(), Lines{"IO Read failed by TimeOut"});
        EXPECT_TRUE(window.Messages.empty());
        EXPECT_FALSE(AnyReadEvent());
        EXPECT_EQ(rig.ma->Connected, kNotConnected);
        EXPECT_EQ(rig.comm->SentFrames().size(), 1u);
    }
}

// A read that starts while new COM settings are on their way waits behind them. When the
// communication process never confirms them, the read fails with the change (the port counts as
// closed), whatever value an earlier read took.
TEST_F(MaOwnAnswerTest, IoReadHeldBehindAPortChangeThatIsNeverConfirmedFailsWithIt) {
    rig.Board().IoValues[0x300] = 0x12;
    rig.ma->ReadIO(0x300, true, window.Handle());
    rig.Settle();
    ASSERT_EQ(window.Messages, (Messages{{wm_IORdDone, 0x12, 1}}));
    window.Messages.clear();
    rig.ClearRecords();
    rig.comm->Requests.clear();

    rig.comm->Hold = true;
    rig.ma->SetChnParam(1, 4800);
    rig.ma->ReadIO(0x301, true, window.Handle());
    rig.coll->TickAll(); // the read starts before the new settings are delivered
    ASSERT_EQ(rig.ma->ConState, cs_WaitForIORead);
    EXPECT_TRUE(UntilIdle());
    EXPECT_EQ(rig.errors->Values(), Lines{"IO Read failed by TimeOut"});
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_FALSE(AnyReadEvent());
    EXPECT_EQ(rig.ma->LinkState, ravlost_Inactive);
    EXPECT_EQ(rig.ma->State, ma_st_Ia);
    EXPECT_EQ(rig.ma->SavedCount(), 0u);
    EXPECT_FALSE(AnyIoReadSent());
}

// An earlier read's answer that comes late (another port's value, then its MemE) ahead of the
// read's own: the value is refused, its MemE ends nothing, and the read ends with its own value,
// asked for once.
TEST_F(MaOwnAnswerTest, ALateAnswerOfAnEarlierIoReadIsRefusedAndTheReadTakesItsOwn) {
    rig.Board().IoValues[0x300] = 0x12;
    rig.comm->Hold = true;
    rig.ma->ReadIO(0x300, true, window.Handle());
    rig.Settle();
    rig.comm->Hold = false;
    rig.comm->Arrives(Bytes{ft_cIORd, 0, 0, 0x01, 0x03, 1, 0, 0x55});
    rig.comm->Arrives(FakeBoard::Bare(ft_MemE));
    rig.Settle();
    EXPECT_EQ(rig.ma->ConState, cs_WaitForIORead) << "the late MemE ended the read";
    rig.comm->ReleaseHeld();
    EXPECT_TRUE(UntilIdle());
    EXPECT_EQ(window.Messages, (Messages{{wm_IORdDone, 0x12, 1}}));
    EXPECT_EQ(rig.mainForm.Events, Lines{"- Data were read from IO address $0300"});
    EXPECT_EQ(rig.comm->SentFrames().size(), 1u);
    EXPECT_TRUE(rig.errors->Texts.empty());
}

} // namespace
} // namespace ravlo
