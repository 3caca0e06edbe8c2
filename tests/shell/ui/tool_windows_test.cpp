// The tool windows on the offscreen platform over fakes of the board master: the memory view's keys,
// marks and widths, the progress window's updates and Stop.
#include "framework/broadcast.h"
#include "framework/ui/qt_test_app.h"
#include "framework/ui/tr_main_form.h"
#include "platform/window_messages.h"
#include "shell/ui/mem_view_form.h"
#include "shell/ui/progress_form.h"
#include "shell/user_level.h"
#include "support/fake_board_memory.h"

#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>

namespace ravlo {
namespace {

void Press(QWidget& target, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
}

class ToolWindowsTest : public ::testing::Test {
protected:
    ToolWindowsTest() {
        main_.resize(1000, 700);
        main_.show();
    }
    ~ToolWindowsTest() override { UserLevel = 0; }

    testing::FakeBoardMemory board_;
    TTrMainForm main_;
};

TEST_F(ToolWindowsTest, MemoryViewEditsByKeysAndKeepsItsMarksWhenNarrowed) {
    UserLevel = 2;
    auto* view = new TfMemView(board_);
    QMdiSubWindow* window = main_.AddMdiChild(view);
    window->resize(900, 500);
    view->ShowPage(MakeFarPtr(0, 0xC800), std::vector<std::uint8_t>(256, 0x41));
    QPlainTextEdit& edit = view->RichEdit();
    Press(edit, 'A', "A");
    Press(edit, '5', "5");
    Press(edit, Qt::Key_PageDown);
    Press(edit, 'H', "H");
    Press(edit, 'i', "i");
    EXPECT_EQ(edit.extraSelections().size(), 4) << "three bytes' digits and one run of characters";
    window->resize(view->minimumWidth() + 20, 400);
    testing::ProcessPendingEvents();
    EXPECT_EQ(view->Model().BytesPerRow(), 8);
    EXPECT_EQ(edit.extraSelections().size(), 4);
}

class FakeProgressSource final : public TProgressSource {
public:
    std::optional<TProgressRequest> ActiveRequest() const override { return Request; }
    const void* WatchedAddress() const override { return &Request; }
    void StopOperation() override { ++Stops; }
    std::optional<TProgressRequest> Request;
    int Stops = 0;
};

TEST_F(ToolWindowsTest, ProgressFollowsTheAnnouncedAddressAndStops) {
    FakeProgressSource source;
    source.Request =
        TProgressRequest{"Writing Data to Vok", "ROM1.BIN", LinToFarPtr(0xC8000), LinToFarPtr(0xC87FF), 0};
    auto* progress = new TfProgress(source);
    main_.AddMdiChild(progress);
    EXPECT_EQ(progress->windowTitle(), "Writing Data to Vok");
    source.Request->DoneBytes = 0x400;
    MainFormBroadcast(wm_VarChanged, 4, reinterpret_cast<std::uintptr_t>(&source.Request));
    EXPECT_EQ(progress->ggProgress().value(), 50);
    progress->btStop().click();
    EXPECT_EQ(source.Stops, 1);
}

} // namespace
} // namespace ravlo
