#include "framework/main_window.h"
#include "framework/ui/console_widget.h"
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/sys_wr_form.h"
#include "framework/ui/tr_main_form.h"
#include "framework/writer_channels.h"
#include "platform/window_messages.h"
#include "qt_test_app.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <string>

namespace ravlo {
namespace {

// A form that counts the changes it is told of and answers with its own bit.
template <class Form>
class Answering : public Form {
public:
    explicit Answering(std::uint32_t answer) : answer_(answer) {}

    int notified = 0;
    std::uintptr_t lastField = 0;

protected:
    std::intptr_t WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        if (msg != wm_VarChanged) {
            return Form::WindowMessage(msg, wParam, lParam);
        }
        ++notified;
        lastField = static_cast<std::uintptr_t>(lParam);
        return answer_;
    }

private:
    std::uint32_t answer_;
};
using AnsweringForm = Answering<TBroadcastForm>;

std::string RowText(const TConsole& console, int row) {
    std::string text(console.Buffer().Row(row));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override { ClearSysWrChannels(); }
    void TearDown() override {
        testing::ProcessPendingEvents();
        ClearSysWrChannels();
    }

    QtMessagePump pump;
};

TEST_F(MainFormTest, OpensWithTheWriterWindowAsChannelZeroClosesOnWmCloseAndGivesItsHandleBack) {
    auto main = std::make_unique<TTrMainForm>();
    auto* writer = new TSysWrForm;
    main->AddMdiChild(writer);
    main->show();
    EXPECT_TRUE(testing::ProcessEventsUntil([&main] { return main->isVisible(); }));
    EXPECT_EQ(GetMainFormWindow(), main->Handle());
    ASSERT_EQ(main->MdiArea().subWindowList().size(), 1);
    EXPECT_TRUE(writer->isVisible());
    EXPECT_EQ(writer->windowTitle(), QStringLiteral("SysWr[0]")); // its channel: the next two tests
    const TConsole& console = writer->ConsoleWr0();
    EXPECT_EQ(std::tuple(console.Cols(), console.Rows(), console.LineBreak()),
              std::tuple(160, 80, TConsoleLineBreak::CRLF));
    AppMessageQueue().Post(main->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(testing::ProcessEventsUntil([&main] { return !main->isVisible(); }));
    main.reset();
    EXPECT_EQ(GetMainFormWindow(), kNoWindow);
}

TEST_F(MainFormTest, WriterLinesReachTheConsoleAndEveryWriterMessageIsAnsweredAlsoWithoutText) {
    TTrMainForm main;
    auto* writer = new TSysWrForm;
    main.AddMdiChild(writer);
    main.show();
    Writelnsys(0, "first line");
    Writesys(0, "second");
    const TConsole& console = writer->ConsoleWr0();
    EXPECT_EQ(RowText(console, 0), "first line");
    EXPECT_EQ(RowText(console, 1), "second");
    const std::string text = "abc";
    const auto address = reinterpret_cast<std::intptr_t>(&text);
    for (const auto& [msg, lParam] : {std::pair{wm_SysWrWriteln, std::intptr_t{0}},
                                      {wm_SysWrWrite, 0},
                                      {wm_SysWrWrite, address},
                                      {wm_SysWrClear, address}}) {
        EXPECT_EQ(AppMessageQueue().Send(writer->Handle(), msg, 0, lParam), SysWrAck) << msg;
    }
    EXPECT_EQ(RowText(console, 0), "");
}

// The Qt forms supply the children and controls the broadcast walks; the walk itself is tested headless.
TEST_F(MainFormTest, VarChangedBroadcastReachesBroadcastChildrenAndTheirControlsAndOrsTheAnswers) {
    Answering<TTrMainForm> main(0x10);
    auto* first = new AnsweringForm(1);
    auto* second = new AnsweringForm(2);
    second->SetBroadcastToCtrls(true);
    auto* inner = new AnsweringForm(4);
    inner->setParent(second);
    main.AddMdiChild(first);
    main.AddMdiChild(new QWidget); // an MDI child that takes no part
    main.AddMdiChild(second);
    main.show();
    std::uint16_t field = 0x1234;
    const auto address = reinterpret_cast<std::uintptr_t>(&field);
    EXPECT_EQ(MainFormBroadcast(wm_VarChanged, sizeof field, address), 0x17u);
    EXPECT_EQ(main.notified + first->notified + second->notified + inner->notified, 4);
    EXPECT_EQ(inner->lastField, address);
}

TEST_F(MainFormTest, ClosingChannelZerosWriterWindowGivesTheChannelItsWindowBackAndNoOtherWriterDoes) {
    TTrMainForm main;
    QPointer<TSysWrForm> writer = new TSysWrForm;
    QPointer<QMdiSubWindow> frame = main.AddMdiChild(writer);
    main.show();
    const WindowHandle handle = writer->Handle();
    auto later = std::make_unique<TSysWrForm>(); // takes channel 0
    frame->close();
    EXPECT_TRUE(testing::ProcessEventsUntil([&] { return writer.isNull() && frame.isNull(); }));
    EXPECT_FALSE(AppMessageQueue().IsRegistered(handle));
    EXPECT_EQ(SysWrChn()[0].Wnd, later->Handle());
    later.reset();
    EXPECT_TRUE(SysWrChn()[0].Active);
    EXPECT_EQ(SysWrChn()[0].Wnd, kNoWindow);
    Writelnsys(0, "nobody listens"); // goes nowhere, harms nothing
}

// The fit counted no frame, as one made before a window manager adds its title bar: the frame that
// comes with the window shown is fitted in as well, and the whole window stays on the screen.
TEST_F(MainFormTest, AFrameThatComesAfterTheFitIsFittedOnTheScreenToo) {
    TTrMainForm main;
    const QRect available = main.screen()->availableGeometry();
    main.move(available.topLeft());
    main.resize(available.size());
    main.FitOnScreen(); // no frame yet: it fits
    ASSERT_EQ(main.frameGeometry(), main.geometry());
    main.show();
    ASSERT_TRUE(testing::ProcessEventsUntil([&main] { return main.frameGeometry() != main.geometry(); }));
    testing::ProcessPendingEvents();
    EXPECT_TRUE(available.contains(main.frameGeometry()))
        << main.frameGeometry().width() << "x" << main.frameGeometry().height();
}

// A window opened over the one in use and closed again (a transfer's progress) gives the activation
// and the keyboard back to it, not to the window opened first.
TEST_F(MainFormTest, ClosingAChildActivatesTheOneActiveBeforeIt) {
    TTrMainForm main;
    main.resize(800, 600);
    main.show();
    main.activateWindow();
    ASSERT_TRUE(testing::ProcessEventsUntil([&main] { return main.isActiveWindow(); }));
    QMdiSubWindow* first = main.AddMdiChild(new TBroadcastForm, QSize(200, 100));
    auto* view = new TBroadcastForm;
    auto* edit = new QLineEdit(view);
    QMdiSubWindow* viewFrame = main.AddMdiChild(view, QSize(300, 200));
    main.AddMdiChild(new TBroadcastForm, QSize(200, 100)); // opened before the view takes the focus
    main.MdiArea().setActiveSubWindow(viewFrame);
    edit->setFocus();
    ASSERT_TRUE(testing::ProcessEventsUntil([edit] { return edit->hasFocus(); }));

    auto* progress = new TBroadcastForm;
    QPointer<QMdiSubWindow> progressFrame = main.AddMdiChild(progress, QSize(200, 100));
    ASSERT_EQ(main.MdiArea().activeSubWindow(), progressFrame);
    progress->CloseWindow();
    ASSERT_TRUE(testing::ProcessEventsUntil([&progressFrame] { return progressFrame.isNull(); }));
    EXPECT_EQ(main.MdiArea().activeSubWindow(), viewFrame);
    EXPECT_NE(main.MdiArea().activeSubWindow(), first);
    EXPECT_TRUE(testing::ProcessEventsUntil([edit] { return edit->hasFocus(); }, std::chrono::seconds(2)));
}

} // namespace
} // namespace ravlo
