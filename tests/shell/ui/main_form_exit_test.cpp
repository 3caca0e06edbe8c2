// Closing the main window while a board operation waits to run: asked first, as Exit asks.
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "protocol/ma_process.h"
#include "shell/exit_codes.h"
#include "shell/ui/event_log_form.h"
#include "shell/ui/ravlo_main_form.h"
#include "support/app_fixtures.h"
#include "support/box_recorder.h"
#include "support/default_app_ini.h"
#include "support/shell_test_globals.h"

#include <memory>
#include <optional>
#include <vector>

namespace ravlo {
namespace {

TEST(MainFormClose, TheWindowClosedWhileTheBoardIsBusyAsksAndClosesOnlyOnYes) {
    testing::ShellTestGlobals globals;
    testing::AppIniFixture ini{std::string(testing::kDefaultAppIni)};
    testing::BoxRecorder boxes;
    QtMessagePump pump;
    TRavloMainFormOptions options;
    options.GuiDialogs = false;
    TRavloMainForm form(options);
    std::optional<int> closedWith;
    QObject::connect(&form, &TRavloMainForm::Closed, [&closedWith](int code) { closedWith = code; });
    form.show();
    ASSERT_TRUE(testing::ProcessEventsUntil([&form] { return form.Core().Plan().has_value(); }));
    TRavlo_MA_Process& master = *form.Core().MAProc;

    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        boxes.texts.clear();
        boxes.answers = {answer};
        // Queued; it would start with the next scheduler step.
        ASSERT_TRUE(
            master.WriteMemBlock(MakeFarPtr(0, 0x8000), std::vector<std::uint8_t>(512, 1), "APP.BIN"));
        form.close();
        EXPECT_EQ(boxes.texts,
                  std::vector<std::string>{"A Vok operation is under way.\r\nStop it and exit?"});
        if (answer == IDNO) {
            testing::ProcessPendingEvents();
            EXPECT_TRUE(form.isVisible());
            EXPECT_FALSE(closedWith.has_value());
        }
    }
    ASSERT_TRUE(testing::ProcessEventsUntil([&closedWith] { return closedWith.has_value(); }));
    EXPECT_EQ(*closedWith, kExitOk);
    EXPECT_EQ(boxes.texts.size(), 1u) << "asked once";
    ASSERT_NE(form.EventLogWnd(), nullptr);
    const auto& lines = form.EventLogWnd()->Model().Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().Text, "- Vok operation stopped at exit");
}

} // namespace
} // namespace ravlo
