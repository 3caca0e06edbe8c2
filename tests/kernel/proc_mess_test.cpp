#include "framework/debug_mask.h"
#include "framework/number_text.h"
#include "kernel/kernel_debug.h"
#include "kernel/proc_adr.h"
#include "kernel/proc_mess.h"
#include "kernel/proc_mess_coll.h"
#include "kernel/sys_addr.h"
#include "kernel/time_mess.h"
#include "kernel_test_support.h"
#include "platform/exception.h"
#include "platform/window_messages.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>
#include <numeric>
#include <tuple>
#include <vector>

namespace ravlo {
namespace {

using testing::Adr;
using testing::CapturedWriter;
using testing::KernelGlobals;

// The fields (addresses little-endian) are read back through the trace text, which shows them all.
TEST(ProcMessTest, BlockLayoutTraceTextsAndTheMessagesWithoutBlockOrDataAndTheLargest) {
    const std::vector<std::uint8_t> data{0xDE, 0xAD, 0xBE};
    const TProcMess mess =
        TProcMess::Create(Adr(0x70, 0x01, 0x2001), Adr(0x87, 0x02, 0x2002), 0x11, 0x22, 0x41, data);
    const std::vector<std::uint8_t> expected{17,   0,    0,    0x70, 0x01, 0x01, 0x20, 0x87, 0x02,
                                             0x02, 0x20, 0x11, 0x22, 0x41, 0xDE, 0xAD, 0xBE};
    EXPECT_EQ(std::vector<std::uint8_t>(mess.GetSpan().begin(), mess.GetSpan().end()), expected);
    EXPECT_EQ(mess.MessToStr(), "0011 00 [70,01,2001] [87,02,2002] (11,22) 41 (DEADBE)");
    EXPECT_EQ(mess.MessText(), "[70,01,2001]<-[87,02,2002](11,22) 41 DEADBE");

    std::vector<std::uint8_t> sixty(60);
    std::iota(sixty.begin(), sixty.end(), std::uint8_t{0});
    const TProcMess longer = TProcMess::Create(Adr(0x70, 0, 0x2001), Adr(0x87, 1, 0x2001), 0, 0, 0x41, sixty);
    EXPECT_EQ(longer.MessToStr(), "004A 00 [70,00,2001] [87,01,2001] (00,00) 41 (" +
                                      HexBuf(std::span(sixty).first(50), 50) + "...)");
    EXPECT_EQ(longer.MessText().substr(0, 30), "[70,00,2001]<-[87,01,2001] 41 ")
        << "no parameters when both are 0";
    const TProcMess bare = TProcMess::Create(Adr(1, 0, 1), Adr(2, 0, 2), 0, 0, 7);
    EXPECT_EQ(bare.GetData(), nullptr);
    TProcMess none;
    EXPECT_EQ(std::tuple(none.GetCode(), none.GetPar1(), none.GetDest(), none.GetSrc(), none.GetDataLen()),
              std::tuple(kNoMessCode, 0, TProcAdr{}, TProcAdr{}, 0u));
    none.SetCode(5); // nothing to write into
    EXPECT_EQ(none.GetCode(), kNoMessCode);
    EXPECT_EQ(none.MessToStr(), "(???undef)");

    std::vector<std::uint8_t> full(TProcMessHdr::kMaxDataLen, 0x5A);
    const TProcMess largest = TProcMess::Create(Adr(1, 0, 1), Adr(2, 0, 2), 0, 0, 1, full);
    EXPECT_EQ(largest.GetLen(), 0xFFFF);
    EXPECT_EQ(largest.GetDataLen(), 65521u);
    full.push_back(0);
    EXPECT_THROW(TProcMess::Create(Adr(1, 0, 1), Adr(2, 0, 2), 0, 0, 1, full), ERangeError);
}

TEST(ProcMessTest, AShortPostedBlockNeverReadsPastItsEnd) {
    // A head that claims more bytes than the block holds.
    auto block = std::make_unique<std::uint8_t[]>(16);
    block[0] = 0x40; // Len 64
    const TProcMess mess = TProcMess::FromPosted(16, reinterpret_cast<std::intptr_t>(block.release()));
    EXPECT_EQ(mess.GetDataLen(), 2u);

    auto tiny = std::make_unique<std::uint8_t[]>(5);
    const TProcMess headless = TProcMess::FromPosted(5, reinterpret_cast<std::intptr_t>(tiny.release()));
    EXPECT_FALSE(headless.HasHead());
    EXPECT_EQ(headless.GetCode(), kNoMessCode);
}

TEST(ProcMessTest, PostingHandsTheBlockToTheWindowOfTheLogicalAddressOrFreesIt) {
    KernelGlobals kernel;
    CapturedWriter writer;
    testing::ProcMessWindow window;
    auto leaving = std::make_unique<testing::ProcMessWindow>();
    ASSERT_TRUE(kernel.registry.Register("MAIN", window.registration.Handle(), {}, {}, 0x2000, 0x20FF));
    ASSERT_TRUE(kernel.registry.Register("GONE", leaving->registration.Handle(), {}, {}, 0x10, 0x10));
    const auto post = [](std::uint16_t logA, std::span<const std::uint8_t> data = {}) {
        return TProcMess::Create(Adr(0x70, 0, logA), Adr(0x87, 0, 0x2001), 0, 0, 0x30, data);
    };

    const std::vector<std::uint8_t> data{1, 2, 3};
    TProcMess mess = post(0x2001, data);
    const std::uint8_t* block = mess.TMem::GetData();
    EXPECT_TRUE(mess.SendProcMess());
    EXPECT_FALSE(mess.HasData()) << "the block went with the message";
    // The queue frees a block whose window goes (the sanitizer run shows none is lost).
    ASSERT_TRUE(post(0x10).SendProcMess());
    leaving.reset();

    TProcMess lost = post(0x3001);
    EXPECT_FALSE(lost.SendProcMess());
    EXPECT_FALSE(lost.HasData());
    ASSERT_EQ(writer.Errors().size(), 1u);
    EXPECT_EQ(writer.Errors()[0], "TProcMess.SendProcMess PostMessage Error LogA=$3001,Hnd=$00000000");
    EXPECT_EQ(writer.Lines().back(), "disposed 000E 00 [70,00,3001] [87,00,2001] (00,00) 30 ()");

    AppMessageQueue().PumpAll();
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].TMem::GetData(), block) << "handed over, not copied";
    EXPECT_EQ(window.received[0].GetDataLen(), 3u);
}

TTimeMess Timed(std::uint64_t due, std::uint8_t code, std::uint8_t ident = 0x70, std::uint8_t par1 = 0) {
    return TTimeMess::Create(due, Adr(ident, 0, 0x2001), Adr(0x87, 1, 0x2001), par1, 0, code);
}

using Codes = std::vector<std::pair<std::uint8_t, std::uint8_t>>;
Codes Queued(const TTimeMessColl& queue) {
    Codes out;
    for (std::size_t i = 0; const TTimeMess* mess = queue.At(i); ++i) {
        out.emplace_back(mess->GetCode(), mess->GetPar1());
    }
    return out;
}

// The order by due tick, first in first out among equals, is the posting test's.
TEST(TimeMessTest, DueTicksCompareIn64BitsAndAMessageWithoutBlockIsDropped) {
    TTimeMessColl queue;
    queue.InsertMess(TTimeMess{});
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_EQ(TTimeMessColl::Compare(Timed(0xFFFF'FFFF, 0), Timed(0x1'0000'0000, 0)), -1);
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
    for (const TTimeMess& none : {Timed(120, 0x31), Timed(0, 0x33), TTimeMess{}}) { // no due, code, block
        EXPECT_FALSE(queue.RemoveMess(none));
    }
    EXPECT_EQ(queue.Count(), 4u);

    EXPECT_TRUE(queue.RemoveMess(Timed(200, 0x31)));
    EXPECT_EQ(Queued(queue), (Codes{{0x32, 4}, {0x31, 1}, {0x31, 3}}));

    // Due 0 takes the earliest with that destination and code, whatever its due tick.
    const TTimeMess pattern = Timed(0, 0x31, 0x73);
    EXPECT_TRUE(queue.RemoveMess(pattern));
    EXPECT_TRUE(pattern.HasData()) << "the pattern stays the caller's";
    EXPECT_EQ(Queued(queue), (Codes{{0x32, 4}, {0x31, 1}}));
}

TEST(TimeMessTest, SendProcMessagesPostsWhatIsDueInQueueOrderAndReportsAndTracesWhatHasNoWindow) {
    KernelGlobals kernel;
    CapturedWriter writer;
    testing::ProcMessWindow window;
    ASSERT_TRUE(kernel.registry.Register("MAIN", window.registration.Handle(), {}, {}, 0x2000, 0x20FF));
    kernel.timed.InsertMess(Timed(1001, 0x39));
    kernel.timed.InsertMess(Timed(1000, 0x31, 0x70, 1));
    kernel.timed.InsertMess(Timed(1000, 0x31, 0x70, 2));
    kernel.timed.InsertMess(Timed(999, 0x30));
    kernel.timed.InsertMess(Timed(1000, 0x31, 0x70, 3));
    kernel.timed.InsertMess(TTimeMess::Create(998, Adr(0x70, 0, 0x7777), Adr(0x87, 1, 1), 0, 0, 0x3F));
    SetDebugMask(DM_DelayMess);

    kernel.timed.SendProcMessages(1000);
    EXPECT_EQ(kernel.timed.Count(), 1u) << "the one due 1 ms later stays";
    ASSERT_EQ(writer.Errors().size(), 1u);
    EXPECT_NE(writer.Errors()[0].find("LogA=$7777"), std::string::npos);
    EXPECT_TRUE(writer.Lines().at(0).starts_with("(dly) %%>t=0.998,000E 00 [70,00,7777]"))
        << writer.Lines()[0];
    AppMessageQueue().PumpAll();
    ASSERT_EQ(window.received.size(), 4u);
    EXPECT_EQ(window.received[0].GetCode(), 0x30);
    for (std::uint8_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(window.received[i].GetPar1(), i) << "equal due ticks go in queue order";
    }
    kernel.timed.SendProcMessages(1001);
    EXPECT_EQ(kernel.timed.Count(), 0u);
}

// A descendant that names its code, as the board master's messages do.
class NamedCodeMess : public TProcMess {
public:
    explicit NamedCodeMess(TProcMess&& mess) : TProcMess(std::move(mess)) {}
    std::string CodeStr() const override { return "Ping"; }
};

TEST(ProcMessCollTest, DumpsCountThenOneLinePerMessageInOrderWithEachMessagesOwnTexts) {
    CapturedWriter writer;
    const std::vector<std::uint8_t> data{0xAB, 0x10};
    TProcMessColl coll;
    coll.Insert(TProcMess::Create(Adr(0x70, 0, 0x2001), Adr(0x87, 1, 0x2001), 1, 0, 0x31, data));
    coll.Insert(std::make_unique<NamedCodeMess>(
        TProcMess::Create(Adr(0x73, 2, 0x2001), Adr(0x70, 1, 0x2001), 0, 0, 0x32)));
    coll.Insert(TProcMess{});
    coll.Insert(std::unique_ptr<TProcMess>{});
    coll.WriteColl(0);
    EXPECT_EQ(writer.Lines(),
              (std::vector<std::string>{"*** Coll of ProcMess: Count=3",
                                        "0010 00 [70,00,2001] [87,01,2001] (01,00) 31 (AB10)",
                                        "000E 00 [73,02,2001] [70,01,2001] (00,00) Ping ()", "(???undef)"}));

    const std::unique_ptr<TProcMess> taken = coll.AtDelete(1);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->CodeStr(), "Ping");
    EXPECT_EQ(coll.AtDelete(2), nullptr);
    ASSERT_EQ(coll.Count(), 2u);
    EXPECT_EQ(coll.At(0)->GetCode(), 0x31);
    EXPECT_FALSE(coll.At(1)->HasHead());
    EXPECT_EQ(coll.At(2), nullptr);

    // The timed queue's dump shows each due tick as seconds and unpadded milliseconds, in due order.
    TTimeMessColl queue;
    queue.InsertMess(Timed(70'123, 0x39));
    queue.InsertMess(Timed(1'005, 0x38));
    queue.WriteColl(0);
    const std::vector<std::string> timed(writer.Lines().end() - 3, writer.Lines().end());
    EXPECT_EQ(timed, (std::vector<std::string>{"*** Coll of TimeMess: Count=2",
                                               "t=1.5,000E 00 [70,00,2001] [87,01,2001] (00,00) 38 ()",
                                               "t=70.123,000E 00 [70,00,2001] [87,01,2001] (00,00) 39 ()"}));
}

// A wrongly shaped text clears the address; a bad field sets the error and keeps its old value.
TEST(ProcAdrTest, TextFormAndParsingInEitherCase) {
    EXPECT_EQ(ProcAdrStr(TProcAdr{0x8F, 0xAB, 0xC0DE}), "[8F,AB,C0DE]");
    const struct {
        const char* text;
        TProcAdr adr;
        bool err;
    } cases[] = {{"[70,00,0001]", {0x70, 0, 1}, false},
                 {"[8f,fe,c0de]", {0x8F, 0xFE, 0xC0DE}, false},
                 {"[FF,FF,FFFF]", {0xFF, 0xFF, 0xFFFF}, false},
                 {"[70,00,001]", {}, true},
                 {"[70,00,00001]", {}, true},
                 {"(70,00,0001]", {}, true},
                 {"[70;00,0001]", {}, true},
                 {"[70,00;0001]", {}, true},
                 {"[70,00,0001)", {}, true},
                 {"", {}, true},
                 {"[7G,05,0001]", {0x11, 5, 1}, true},
                 {"[70,00,12 4]", {0x70, 0, 0x3333}, true},
                 {"[-1,00,0001]", {0x11, 0, 1}, true}};
    for (const auto& c : cases) {
        TProcAdr adr{0x11, 0x22, 0x3333};
        bool err = !c.err;
        StrToProcAdr(adr, c.text, err);
        EXPECT_EQ(err, c.err) << c.text;
        EXPECT_EQ(adr, c.adr) << c.text;
    }
}

using Range = std::tuple<WindowHandle, std::uint16_t, std::uint16_t>; // handle, LogALo, LogAHi

std::vector<Range> Ranges(const TSysAddrColl& coll) {
    std::vector<Range> out;
    for (const TSysAddrMember& member : coll.Members()) {
        out.emplace_back(member.Handle, member.LogALo, member.LogAHi);
    }
    return out;
}

TEST(SysAddrTest, RangesOfOneWindowAreWidenedAndRangesOfAnotherAreRefused) {
    TSysAddrColl coll;
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2000, 0x20FF));
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2080, 0x2180));
    ASSERT_TRUE(coll.Register("AUX", 9, {}, {}, 0x2300, 0x23FF));
    EXPECT_FALSE(coll.Register("OTHER", 8, {}, {}, 0x2080, 0x2180));
    EXPECT_FALSE(coll.Register("MAIN", 7, {}, {}, 0x2100, 0x2300)) << "overlaps its own range and another's";
    EXPECT_FALSE(coll.Register("BAD", 10, {}, {}, 0x5000, 0x4000)) << "empty range";
    EXPECT_FALSE(coll.Register("BAD", kNoWindow, {}, {}, 0x6000, 0x6000)) << "no window";
    EXPECT_EQ(Ranges(coll), (std::vector<Range>{{7, 0x2000, 0x2180}, {9, 0x2300, 0x23FF}}));
    // A range that touches none of its ranges gets a member of its own.
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2181, 0x2200));
    EXPECT_EQ(Ranges(coll),
              (std::vector<Range>{{7, 0x2000, 0x2180}, {9, 0x2300, 0x23FF}, {7, 0x2181, 0x2200}}));
    EXPECT_EQ(coll.GetHandle(0x2000), 7u);
    EXPECT_EQ(coll.GetHandle(0x2200), 7u);
    EXPECT_EQ(coll.GetHandle(0x1FFF), kNoWindow);
    EXPECT_EQ(coll.GetHandle(0x2201), kNoWindow);
}

TEST(SysAddrTest, GlobalRegistryTickAndCloseCheck) {
    bool err = false;
    RegisterSysAddr("MAIN", 7, err, {}, {}, 0, 1);
    EXPECT_TRUE(err) << "no registry yet";
    EXPECT_EQ(GetSysAddrHandle(0), kNoWindow);
    SysAddrTickAll();
    EXPECT_TRUE(SysAddrCanCloseAll());

    TSysAddrColl coll;
    ScopedSysAddrColl guard(coll);
    std::string ticked;
    int closeAsked = 0;
    RegisterSysAddr(
        "MAIN", 7, err, [&] { return ++closeAsked, false; }, [&] { ticked += "M"; }, 0x2000, 0x20FF);
    EXPECT_FALSE(err);
    RegisterSysAddr(
        "AUX", 9, err, [&] { return ++closeAsked, true; }, [&] { ticked += "A"; }, 0x3000, 0x30FF);
    RegisterSysAddr("QUIET", 11, err, {}, {}, 0x4000, 0x40FF);
    EXPECT_FALSE(err);
    RegisterSysAddr("CLASH", 12, err, {}, {}, 0x3050, 0x3050);
    EXPECT_TRUE(err);

    EXPECT_EQ(GetSysAddrHandle(0x3001), 9u);
    SysAddrTickAll();
    EXPECT_EQ(ticked, "MA");
    EXPECT_FALSE(SysAddrCanCloseAll());
    EXPECT_EQ(closeAsked, 2) << "every window is asked";
}

} // namespace
} // namespace ravlo
