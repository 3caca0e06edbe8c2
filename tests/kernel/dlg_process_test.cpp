#include "kernel/dlg_process.h"
#include "kernel/dlg_shower.h"
#include "kernel_test_support.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"

#include <gtest/gtest.h>
#include <optional>

namespace ravlo {
namespace {

using testing::Adr;
using Texts = std::vector<std::string>;

// Records what is shown; the test closes the boxes.
class FakeShower : public DialogShower {
public:
    void Show(std::string_view text, std::string_view caption, unsigned flags, MessageBoxPlacement placement,
              ClosedHandler onClosed) override {
        texts.emplace_back(text);
        placements.push_back(placement);
        lastCaption = caption;
        lastFlags = flags;
        open.push_back(std::move(onClosed));
    }
    void CloseCurrent() {
        ASSERT_FALSE(open.empty());
        ClosedHandler handler = std::move(open.front());
        open.erase(open.begin());
        handler();
    }
    Texts texts;
    std::vector<MessageBoxPlacement> placements;
    std::string lastCaption;
    unsigned lastFlags = 0;
    std::vector<ClosedHandler> open;
};

void Post(TDLGPROC_Process& process, const std::string& text, std::uint8_t type = kDlgWarning) {
    const auto bytes = TDlgProcTextRec{text, type}.ToBytes();
    TProcMess mess = TProcMess::Create(Adr(PT_DlgProc, 0, 0x2001), Adr(0x70, 1, 0x2001), 0, 0, 0, bytes);
    bool keep = true;
    process.WorkProcMess(mess, keep);
    EXPECT_FALSE(keep);
}

class DlgProcessTest : public ::testing::Test {
protected:
    FakeShower shower_;
    ScopedDialogShower guard_{shower_};
    TDLGPROC_Process process_{nullptr};
};

TEST_F(DlgProcessTest, OneTextAtATimeAndOnlyCopiesRightBehindTheClosedOneAreDropped) {
    for (const char* text : {"A", "A", "B", "A"}) {
        Post(process_, text);
    }
    EXPECT_EQ(shower_.texts, Texts{"A"}) << "the others wait while A is shown";
    shower_.CloseCurrent();
    EXPECT_EQ(shower_.texts, (Texts{"A", "B"})) << "the second A went with the first";
    shower_.CloseCurrent();
    shower_.CloseCurrent();
    EXPECT_EQ(shower_.texts, (Texts{"A", "B", "A"}));
    EXPECT_TRUE(process_.Queue().empty());
    EXPECT_TRUE(shower_.open.empty());
    Post(process_, "C");
    EXPECT_EQ(shower_.texts.back(), "C") << "idle again: a new text is shown at once";
}

TEST_F(DlgProcessTest, ATextThatFindsNoBoxOpensOnTheScreenTheOnesThatWaitedOnTheOwner) {
    using P = MessageBoxPlacement;
    Post(process_, "A");
    Post(process_, "B");
    Post(process_, "C");
    shower_.CloseCurrent();
    shower_.CloseCurrent();
    shower_.CloseCurrent();
    Post(process_, "D");
    EXPECT_EQ(shower_.texts, (Texts{"A", "B", "C", "D"}));
    EXPECT_EQ(shower_.placements, (std::vector<P>{P::OnScreen, P::OnOwner, P::OnOwner, P::OnScreen}));
}

TEST_F(DlgProcessTest, TypesGiveIconsAndCaptions) {
    // Custom texts (4) are notices; unknown types show as a warning.
    const unsigned icons[] = {MB_ICONEXCLAMATION, MB_ICONHAND,     MB_ICONASTERISK,
                              MB_ICONQUESTION,    MB_ICONASTERISK, MB_ICONEXCLAMATION};
    for (std::uint8_t type = 0; type < std::size(icons); ++type) {
        Post(process_, "t", type);
        shower_.CloseCurrent();
        EXPECT_EQ(shower_.lastFlags, MB_OK | icons[type]) << int(type);
        if (type == kDlgError) {
            EXPECT_EQ(shower_.lastCaption, "Error");
        }
    }
    EXPECT_EQ(shower_.lastCaption, "Warning");
}

TEST_F(DlgProcessTest, OnlyTheMessagesOwnDataIsRead) {
    // A length byte that claims 200 characters with 5 behind it, and no type byte.
    const std::vector<std::uint8_t> data{200, 'h', 'e', 'l', 'l', 'o'};
    TProcMess mess = TProcMess::Create(Adr(PT_DlgProc, 0, 1), Adr(0x70, 1, 1), 0, 0, 0, data);
    bool keep = false;
    process_.WorkProcMess(mess, keep);
    EXPECT_EQ(shower_.texts, Texts{"hello"});
    EXPECT_EQ(shower_.lastFlags, MB_OK | MB_ICONEXCLAMATION);

    TProcMess empty = TProcMess::Create(Adr(PT_DlgProc, 0, 1), Adr(0x70, 1, 1), 0, 0, 0);
    process_.WorkProcMess(empty, keep);
    EXPECT_EQ(process_.Queue().back().Text, "");
    const std::string text(255, 'w');
    Post(process_, text);
    EXPECT_EQ(process_.Queue().back().Text, text) << "a long text is taken whole";
}

TEST(DlgProcessRecordTest, RecordBytesAndTheCutToAShortString) {
    EXPECT_EQ((TDlgProcTextRec{std::string(300, 'z'), 1}.ToBytes()[0]), 255);
    const auto bytes = TDlgProcTextRec{"Ab", kDlgInformation}.ToBytes();
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4),
              (std::vector<std::uint8_t>{2, 'A', 'b', 0}));
    EXPECT_EQ(bytes[256], kDlgInformation);
    EXPECT_EQ(TDlgProcTextRec::FromBytes(bytes), (TDlgProcTextRec{"Ab", kDlgInformation}));
}

TEST_F(DlgProcessTest, ACloseAfterTheProcessIsGoneDoesNothing) {
    std::optional<TDLGPROC_Process> process(std::in_place, nullptr);
    Post(*process, "late");
    process.reset();
    shower_.CloseCurrent(); // the sanitizer run would catch a use after free
}

TEST(DlgProcessShowerTest, TheDefaultShowerShowsAfterTheDeliveryThroughThePresenter) {
    ScriptedPresenter presenter;
    ScopedPresenter presenterGuard(presenter);
    presenter.QueueAnswer(IDOK);
    presenter.QueueAnswer(IDOK);
    TDLGPROC_Process process(nullptr);
    Post(process, "Communication Lost", kDlgError);
    Post(process, "Done", kDlgError);
    EXPECT_TRUE(presenter.Boxes().empty()) << "nothing is shown inside the delivery";
    while (AppMessageQueue().PumpAll() > 0) {
    }
    ASSERT_EQ(presenter.Boxes().size(), 2u);
    EXPECT_EQ(presenter.Boxes()[0].text, "Communication Lost");
    EXPECT_EQ(presenter.Boxes()[0].flags, MB_OK | MB_ICONHAND);
    EXPECT_EQ(presenter.Boxes()[1].text, "Done");
    EXPECT_TRUE(process.Queue().empty());
}

} // namespace
} // namespace ravlo
