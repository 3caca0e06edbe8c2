#include "framework/debug_mask.h"
#include "kernel/kernel_debug.h"
#include "kernel/time_mess.h"
#include "kernel_test_support.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Adr;
using testing::CapturedWriter;
using testing::KernelGlobals;

constexpr std::uint16_t kLogA = 0x2001;

TTimeMess Timed(std::uint64_t due, std::uint8_t code, std::uint8_t ident = 0x70, std::uint8_t par1 = 0) {
    return TTimeMess::Create(due, Adr(ident, 0, kLogA), Adr(0x87, 1, kLogA), par1, 0, code);
}

// The codes and Par1 bytes of messages, in order.
using Codes = std::vector<std::pair<std::uint8_t, std::uint8_t>>;
Codes Queued(const TTimeMessColl& queue) {
    Codes out;
    for (std::size_t i = 0; const TTimeMess* mess = queue.At(i); ++i) {
        out.emplace_back(mess->GetCode(), mess->GetPar1());
    }
    return out;
}

TEST(TimeMessTest, OrderedByDueAndFirstInFirstOutAmongEquals) {
    TTimeMessColl queue;
    queue.InsertMess(Timed(300, 0x33));
    queue.InsertMess(Timed(100, 0x31, 0x70, 1));
    queue.InsertMess(Timed(200, 0x32));
    queue.InsertMess(Timed(100, 0x31, 0x70, 2));
    queue.InsertMess(Timed(100, 0x31, 0x70, 3));
    queue.InsertMess(TTimeMess{}); // no block: dropped
    EXPECT_EQ(Queued(queue), (Codes{{0x31, 1}, {0x31, 2}, {0x31, 3}, {0x32, 0}, {0x33, 0}}));
    EXPECT_EQ(TTimeMessColl::Compare(Timed(0xFFFF'FFFF, 0), Timed(0x1'0000'0000, 0)), -1) << "64-bit order";
    EXPECT_EQ(TTimeMessColl::Compare(Timed(0x1'0000'0001, 0), Timed(2, 0)), 1);
    EXPECT_EQ(TTimeMessColl::Compare(Timed(7, 0), Timed(7, 1)), 0);
}

TEST(TimeMessTest, RemoveMessMatchesDestinationCodeAndDue) {
    TTimeMessColl queue;
    EXPECT_FALSE(queue.RemoveMess(Timed(0, 0x31))) << "empty queue";

    queue.InsertMess(Timed(100, 0x31, 0x70, 1));
    queue.InsertMess(Timed(200, 0x31, 0x70, 2));
    queue.InsertMess(Timed(150, 0x31, 0x73, 3));
    queue.InsertMess(Timed(50, 0x32, 0x70, 4));

    EXPECT_FALSE(queue.RemoveMess(Timed(120, 0x31))) << "no message due at 120";
    EXPECT_FALSE(queue.RemoveMess(Timed(0, 0x33))) << "no such code";
    EXPECT_FALSE(queue.RemoveMess(TTimeMess{})) << "a pattern without a block matches nothing";
    EXPECT_EQ(queue.Count(), 4u);

    EXPECT_TRUE(queue.RemoveMess(Timed(200, 0x31)));
    EXPECT_EQ(Queued(queue), (Codes{{0x32, 4}, {0x31, 1}, {0x31, 3}}));

    // Due 0 takes the earliest with that destination and code, whatever its due tick.
    const TTimeMess pattern = Timed(0, 0x31, 0x73);
    EXPECT_TRUE(queue.RemoveMess(pattern));
    EXPECT_TRUE(pattern.HasData()) << "the pattern stays the caller's";
    EXPECT_EQ(Queued(queue), (Codes{{0x32, 4}, {0x31, 1}}));
}

TEST(TimeMessTest, SendProcMessagesPostsWhatIsDueInQueueOrder) {
    KernelGlobals kernel;
    testing::ProcMessWindow window;
    ASSERT_TRUE(kernel.registry.Register("MAIN", window.registration.Handle(), {}, {}, 0x2000, 0x20FF));

    kernel.timed.InsertMess(Timed(1001, 0x39));
    kernel.timed.InsertMess(Timed(1000, 0x31, 0x70, 1));
    kernel.timed.InsertMess(Timed(1000, 0x31, 0x70, 2));
    kernel.timed.InsertMess(Timed(999, 0x30));
    kernel.timed.InsertMess(Timed(1000, 0x31, 0x70, 3));

    kernel.timed.SendProcMessages(1000);
    EXPECT_EQ(kernel.timed.Count(), 1u) << "the one due 1 ms later stays";
    AppMessageQueue().PumpAll();
    Codes posted;
    for (const TProcMess& mess : window.received) {
        posted.emplace_back(mess.GetCode(), mess.GetPar1());
    }
    EXPECT_EQ(posted, (Codes{{0x30, 0}, {0x31, 1}, {0x31, 2}, {0x31, 3}}));

    kernel.timed.SendProcMessages(1001);
    AppMessageQueue().PumpAll();
    EXPECT_EQ(window.received.size(), 5u);
    EXPECT_EQ(kernel.timed.Count(), 0u);
}

TEST(TimeMessTest, ADueMessageForNoWindowIsReportedAndFreedAndTracedWhenAsked) {
    KernelGlobals kernel;
    CapturedWriter writer;
    kernel.timed.InsertMess(TTimeMess::Create(5, Adr(0x70, 0, 0x7777), Adr(0x87, 1, 1), 0, 0, 0x31));
    SetDebugMask(DM_DelayMess);
    kernel.timed.SendProcMessages(5);
    EXPECT_EQ(kernel.timed.Count(), 0u);
    ASSERT_EQ(writer.Errors().size(), 1u);
    EXPECT_NE(writer.Errors()[0].find("LogA=$7777"), std::string::npos);
    EXPECT_TRUE(writer.Lines().at(0).starts_with("(dly) %%>t=0.5,000E 00 [70,00,7777]")) << writer.Lines()[0];
}

} // namespace
} // namespace ravlo
