#include "protocol/ma_request.h"
#include "protocol/saved_proc_mess_fifo.h"
#include "protocol/tmp_err_process.h"
#include "protocol/tmp_err_show_rec.h"
#include "protocol_test_support.h"
#include "support/ma_rig.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ToBytes;

TEST(TmpErrShowRecTest, SenderTextIsCutTo127Characters) {
    const std::string longText(200, 'x');
    const TTmpErrShowRec rec = TTmpErrShowRec::ForText(longText, true);
    EXPECT_EQ(rec.Text, std::string(127, 'x'));
    EXPECT_EQ(rec.Visible, 0);
    EXPECT_EQ(rec.Attr, 0u);
    const auto bytes = rec.ToBytes();
    EXPECT_EQ(bytes[5], 127);
    EXPECT_EQ(bytes[132], 'x');
    EXPECT_EQ(bytes[133], 1) << "the text does not overwrite MsgBox";

    TTmpErrShowRec tooLong{0, 0, longText, 0};
    EXPECT_EQ(tooLong.ToBytes()[133], 0) << "a text set directly is cut as well";
}

TEST(TmpErrShowRecTest, ReadingNeedsTheWholeRecordAndStaysInsideTheTextField) {
    Bytes bytes = ToBytes(TTmpErrShowRec{0, 7, "abc", 0}.ToBytes());
    EXPECT_FALSE(TTmpErrShowRec::FromBytes(std::span(bytes).first(133)));
    EXPECT_FALSE(TTmpErrShowRec::FromBytes({}));

    bytes.push_back(0xEE); // a longer message still carries the record
    EXPECT_EQ(TTmpErrShowRec::FromBytes(bytes)->Text, "abc");

    bytes[5] = 200; // a corrupt length byte
    bytes[133] = 0x5A;
    const auto rec = TTmpErrShowRec::FromBytes(bytes);
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->Text.size(), 127u);
    EXPECT_EQ(rec->MsgBox, 0x5A);
}

TEST(TmpErrShowRecTest, ShowMessageAndItsTraceText) {
    const TProcAdr dest{0x73, 0, 0x2001};
    const TProcAdr src{0x70, 1, 0x2001};
    const TProcMess mess = TmpErrShowMess(dest, src, "Timeout", true);
    EXPECT_EQ(mess.GetCode(), TMP_ERR_SHOW);
    EXPECT_EQ(TTmpErrShowRec::FromBytes(mess.DataSpan()), (TTmpErrShowRec{0, 0, "Timeout", 1}));

    // Tracing copies; a record cut short is named as such.
    EXPECT_EQ(TTMP_ERR_ProcMess::CopyOf(mess).DataStr(), "\"Timeout\" MsgBox");
    EXPECT_TRUE(mess.HasData());
    const auto cut =
        TTMP_ERR_ProcMess::CopyOf(TProcMess::Create(dest, src, 0, 0, TMP_ERR_SHOW_REP, Bytes{1, 2}));
    EXPECT_EQ(cut.DataStr(), "NoRecData");
}

TProcMess Numbered(std::uint8_t n) {
    return TProcMess::Create({0x73, 0, 1}, {}, n, 0, TMP_ERR_SHOW_REP);
}

std::vector<int> Order(const TSavedProcMessFIFO& fifo) {
    std::vector<int> order;
    for (std::size_t i = 0; const TProcMess* mess = fifo.At(i); ++i) {
        order.push_back(mess->GetPar1());
    }
    return order;
}

// The board master's queue refuses what comes past its limit, with a box for an Add; the message
// display's queue keeps a postponed message's turn by dropping its newest.
TEST(SavedProcMessFifoTest, AddAppendsPushPutsBackAtTheHeadAndAFullQueueDropsAsItsLimitsSay) {
    for (const TSavedProcMessLimits& limits : {kTmpErrSavedLimits, kMaSavedMessLimits}) {
        SCOPED_TRACE(limits.MaxCount);
        testing::RecordingPresenter presenter;
        ScopedPresenter guard(presenter);
        TSavedProcMessFIFO fifo(limits);
        EXPECT_FALSE(fifo.Pop());
        EXPECT_TRUE(fifo.Push(Numbered(1)));
        EXPECT_TRUE(fifo.Push(Numbered(0)));
        EXPECT_EQ(fifo.Pop()->GetPar1(), 0);
        for (std::size_t n = 2; n < limits.MaxCount; ++n) {
            ASSERT_TRUE(fifo.Add(Numbered(2)));
        }
        EXPECT_TRUE(fifo.Add(Numbered(3))); // the newest
        EXPECT_EQ(Order(fifo).front(), 1);
        EXPECT_FALSE(fifo.Add(Numbered(99)));
        EXPECT_EQ(Order(fifo).back(), 3);
        EXPECT_EQ(presenter.Boxes.size(), limits.FullText.empty() ? 0u : 1u);
        if (!limits.FullText.empty()) {
            EXPECT_EQ(presenter.Boxes[0].Text,
                      "Internal error - too short queue SavedProcMessFifo for Ravlo_MA process");
        }

        EXPECT_FALSE(fifo.Push(Numbered(0)));
        EXPECT_EQ(fifo.Count(), limits.MaxCount);
        const std::vector<int> order = Order(fifo);
        EXPECT_EQ(order.front(), limits.PushDropsNewest ? 0 : 1);
        EXPECT_EQ(order.back(), limits.PushDropsNewest ? 2 : 3);
        EXPECT_EQ(presenter.Boxes.size(), limits.FullText.empty() ? 0u : 1u) << "a refused push is silent";
    }
}

} // namespace
} // namespace ravlo
