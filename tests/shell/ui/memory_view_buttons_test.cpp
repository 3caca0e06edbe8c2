// The memory view's page buttons, its save button and its area keys on the offscreen platform
// before a fake board: which page the board is asked for, what is written, what the view shows.
#include "framework/ui/qt_test_app.h"
#include "framework/ui/tr_main_form.h"
#include "shell/mem_view_model.h"
#include "shell/ui/mem_view_form.h"
#include "shell/user_level.h"
#include "support/app_fixtures.h"
#include "support/box_recorder.h"
#include "support/fake_board_memory.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <numeric>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Counting() {
    Bytes page(256);
    std::iota(page.begin(), page.end(), 0);
    return page;
}

class MemoryViewButtonsTest : public ::testing::Test {
protected:
    MemoryViewButtonsTest() {
        UserLevel = 2;
        main_.resize(1000, 700);
        main_.show();
        view_ = new TfMemView(board_);
        main_.AddMdiChild(view_);
        testing::ProcessPendingEvents();
    }
    ~MemoryViewButtonsTest() override { UserLevel = 0; }

    void Key(int key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&view_->RichEdit(), &press);
    }
    void Click(const char* button) { testing::ClickButton(*view_, button); }
    QString ActPos() const { return view_->findChild<QLabel*>(QStringLiteral("lblActPos"))->text(); }
    QString Line(int row) const { return view_->RichEdit().document()->findBlockByNumber(row).text(); }
    int CaretColumn() const { return view_->RichEdit().textCursor().positionInBlock(); }

    testing::ScratchDir home_;
    testing::ScopedEnv homeEnv_{"RAVLO_HOME", home_.Path().string()};
    testing::BoxRecorder boxes_;
    testing::FakeBoardMemory board_;
    TTrMainForm main_;
    TfMemView* view_;
};

TEST_F(MemoryViewButtonsTest, PreviousAndNextAskForTheNeighbouringPagesForThisView) {
    view_->ShowPage(MakeFarPtr(0x0000, 0x7000), Counting());
    Click("btNext");
    ASSERT_EQ(board_.Calls.size(), 1U);
    EXPECT_EQ(board_.Calls[0].Address, MakeFarPtr(0x0000, 0x7010));
    EXPECT_EQ(board_.Calls[0].Notify, view_->Handle()) << "the page comes back here";
    EXPECT_EQ(MemViewAddr(), MakeFarPtr(0x0000, 0x7010)) << "where the next view opens";
    EXPECT_TRUE(Line(0).startsWith(QStringLiteral("$70000"))) << "the page stays until the next one came";
    view_->ShowPage(MakeFarPtr(0x0000, 0x7010), Counting());
    EXPECT_TRUE(Line(0).startsWith(QStringLiteral("$70100  00-01-02-03")));
    Click("btPrev");
    ASSERT_EQ(board_.Calls.size(), 2U);
    EXPECT_EQ(board_.Calls[1].Address, MakeFarPtr(0x0000, 0x7000));
}

TEST_F(MemoryViewButtonsTest, NoStepPastTheEndsOfTheSegmentsAndNoneWithoutTheLink) {
    struct Case {
        std::uint16_t segment;
        const char* button;
        bool link;
        std::size_t boxes;
    };
    const Case cases[] = {
        {0x0000, "btPrev", true, 0}, {0xFFF0, "btNext", true, 0}, {0x7000, "btNext", false, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        board_.IsConnected = c.link;
        view_->ShowPage(MakeFarPtr(0x0000, c.segment), Counting());
        const int beeps = boxes_.beeps;
        Click(c.button);
        EXPECT_TRUE(board_.Calls.empty());
        EXPECT_EQ(boxes_.texts.size(), c.boxes);
        EXPECT_EQ(boxes_.beeps, beeps + 1);
        EXPECT_EQ(view_->Model().Addr(), MakeFarPtr(0x0000, c.segment));
        boxes_.texts.clear();
    }
    // The two steps out of range went to the exception log.
    const std::string log = testing::ReadFileText(home_.Path() / "RAVLO.ERR");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
}

// Page Down and Page Up take the caret between a byte's digits and its character; what is typed
// then edits that byte, which "Save to Vok" writes.
TEST_F(MemoryViewButtonsTest, TheAreaKeysTakeTheCaretToTheSameByteAndSaveWritesTheEdits) {
    view_->ShowPage(MakeFarPtr(0x0000, 0x7000), Counting());
    Key(Qt::Key_Right);
    EXPECT_EQ(ActPos(), QStringLiteral("Act.Addr: $70001"));
    Key(Qt::Key_PageDown);
    EXPECT_EQ(CaretColumn(), view_->Model().AscCol() + 1);
    EXPECT_EQ(ActPos(), QStringLiteral("Act.Addr: $70001"));
    Key('Z', QStringLiteral("Z"));
    EXPECT_EQ(view_->Model().Page()[1], 'Z');
    EXPECT_EQ(ActPos(), QStringLiteral("Act.Addr: $70002"));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(CaretColumn(), TMemViewModel::kHexCol + 3 * 2);
    Key('E', QStringLiteral("E"));
    EXPECT_EQ(view_->Model().Page()[2], 0xE2);
    auto* save = view_->findChild<QPushButton*>(QStringLiteral("btSave"));
    EXPECT_TRUE(save->isEnabled());

    boxes_.answers = {IDCANCEL, IDYES};
    Click("btSave");
    EXPECT_TRUE(board_.Calls.empty()) << "cancelled";
    Click("btSave");
    ASSERT_EQ(board_.Calls.size(), 1U);
    EXPECT_EQ(board_.Calls[0].Address, MakeFarPtr(0x0000, 0x7000));
    Bytes expected = Counting();
    expected[1] = 'Z';
    expected[2] = 0xE2;
    EXPECT_EQ(board_.Calls[0].Data, expected);
    EXPECT_EQ(boxes_.texts, (std::vector<std::string>{"Save changes to Vok?", "Save changes to Vok?"}));
    EXPECT_FALSE(save->isEnabled());
    EXPECT_TRUE(view_->RichEdit().extraSelections().isEmpty()) << "no red marks left";
}

// A page left with unsaved edits: No drops them, Cancel stays on the page.
TEST_F(MemoryViewButtonsTest, LeavingAnEditedPageAsksFirst) {
    view_->ShowPage(MakeFarPtr(0x0000, 0x7000), Counting());
    Key('F', QStringLiteral("F"));
    EXPECT_EQ(view_->Model().Page()[0], 0xF0);
    boxes_.answers = {IDCANCEL, IDNO};
    Click("btNext");
    EXPECT_TRUE(board_.Calls.empty()) << "cancelled";
    EXPECT_EQ(view_->Model().Page()[0], 0xF0);
    Click("btNext");
    ASSERT_EQ(board_.Calls.size(), 1U) << "only the read, no write";
    EXPECT_EQ(board_.Calls[0].Address, MakeFarPtr(0x0000, 0x7010));
    EXPECT_EQ(view_->Model().Page()[0], 0x00) << "the page as read";
    EXPECT_TRUE(Line(0).startsWith(QStringLiteral("$70000  00-01")));
}

} // namespace
} // namespace ravlo
