#include "framework/debug_mask.h"
#include "framework/log_test_support.h"
#include "framework/main_window.h"
#include "framework/message_box.h"
#include "framework/runtime_log.h"
#include "platform/cp1250.h"
#include "platform/presenter.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

// A runtime log in a fresh home folder for the length of a test.
class LoggedRun : public test::LogHome {
public:
    LoggedRun() { TxsStartup(Dir().Path() / "ravlo", ""); }
    ~LoggedRun() { ResetRuntimeLog(); }
    std::string Log() const { return Dir().Text(TxsPath().filename().string()); }
};

// A presenter and clean error-hook state for each test.
class MessageBoxTest : public ::testing::Test {
protected:
    ~MessageBoxTest() override {
        SetAppErrorSuppressed(false);
        SetAppErrorHook({});
        EXPECT_TRUE(presenter_.Faults().empty());
        EXPECT_EQ(presenter_.UnusedAnswers(), 0u);
    }

    ScriptedPresenter presenter_;
    ScopedPresenter usePresenter_{presenter_};
};

TEST_F(MessageBoxTest, FlagsChooseKindAndButtonsUnknownOnesFallBackAndBoxesAreLogged) {
    LoggedRun run;
    for (const int answer : {IDNO, IDOK, IDRETRY, IDOK, IDOK, IDOK, IDOK}) {
        presenter_.QueueAnswer(answer);
    }
    EXPECT_EQ(TrMessageBox("Title", "Really?", 0x24), IDNO);
    TrMessageBox("", "a", 0x56);  // no such icon, no such buttons
    TrMessageBox("", "b", 0x145); // information, Retry/Cancel; the default-button bits are not shown
    TrMessageBox("", "c", 0x30);
    BeepShowMessage("Done");
    TrMessageBoxRes(112, 111, MB_OK | MB_ICONHAND);
    TrMessageBoxRes(0, 999999, MB_OK);
    const auto& boxes = presenter_.Boxes();
    ASSERT_EQ(boxes.size(), 7u);
    EXPECT_EQ(boxes[0].text, "Really?");
    const std::vector<unsigned> flags = {MB_ICONQUESTION | MB_YESNO, MB_ICONEXCLAMATION | MB_OK,
                                         MB_ICONASTERISK | MB_RETRYCANCEL, MB_ICONEXCLAMATION, MB_OK};
    for (std::size_t i = 0; i < flags.size(); ++i) {
        EXPECT_EQ(boxes[i].flags, flags[i]) << i;
    }
    EXPECT_EQ(presenter_.Beeps().size(), 7u);
    EXPECT_EQ(boxes[5].text, Utf8ToCp1250("Chyba při čtení z disku"));
    EXPECT_EQ(boxes[6].text, "string resource error");
    // The log is UTF-8; the title shows only there.
    EXPECT_NE(run.Log().find("# Title Really? $0024\n"), std::string::npos) << run.Log();
    EXPECT_NE(run.Log().find("# Chyba při zápisu na disk Chyba při čtení z disku $0010"), std::string::npos);
}

TEST_F(MessageBoxTest, MessageDlgDefBtnShowsEveryButtonOfTheSetWithItsDefault) {
    using B = TMsgDlgBtn;
    const TMsgDlgButtons every = MsgDlgButton(B::mbYes) | MsgDlgButton(B::mbNo) | MsgDlgButton(B::mbAll) |
                                 MsgDlgButton(B::mbNoToAll) | MsgDlgButton(B::mbYesToAll) |
                                 MsgDlgButton(B::mbHelp);
    presenter_.QueueAnswer(IDYESTOALL);
    EXPECT_EQ(MessageDlgDefBtn("Overwrite?", MessageBoxKind::Confirmation, every, B::mbNoToAll), IDYESTOALL);
    presenter_.QueueAnswer(IDNO);
    EXPECT_EQ(MessageDlgDefBtn("Save?", MessageBoxKind::Warning,
                               MsgDlgButton(B::mbYes) | MsgDlgButton(B::mbNo), B::mbNo),
              IDNO);
    ASSERT_EQ(presenter_.Boxes().size(), 2u);
    const ScriptedPresenter::Box& box = presenter_.Boxes()[0];
    EXPECT_EQ(box.buttons, every) << "nothing left out";
    EXPECT_EQ(box.defaultButton, B::mbNoToAll);
    EXPECT_EQ(box.caption, "Confirm");
    EXPECT_EQ(box.flags, MB_ICONQUESTION);
    EXPECT_EQ(presenter_.Boxes()[1].caption, "Warning");
}

TEST_F(MessageBoxTest, ReportAppErrorGoesThroughTheHookCutAndIgnoreSilencesRetryKeepsAsking) {
    std::vector<std::string> seen;
    SetAppErrorHook([&](std::string_view msg) { seen.emplace_back(msg); });
    ReportAppError(std::string(300, 'x'));
    EXPECT_EQ(seen, std::vector<std::string>{std::string(259, 'x')});
    SetAppErrorHook({});
    LoggedRun run;
    InitAppNames("/opt/ravlo/ravlo", {});
    presenter_.QueueAnswer(IDRETRY);
    ReportAppError("# first");
    EXPECT_FALSE(AppErrorSuppressed());
    presenter_.QueueAnswer(IDIGNORE);
    ReportAppError("# second");
    EXPECT_TRUE(AppErrorSuppressed());
    ReportAppError("# third");
    ResetAppNames();
    ASSERT_EQ(presenter_.Boxes().size(), 2u);
    EXPECT_EQ(presenter_.Boxes()[0].caption, "/opt/ravlo/ravlo");
    EXPECT_EQ(presenter_.Boxes()[0].flags, MB_ABORTRETRYIGNORE | MB_ICONHAND);
    const std::string log = run.Log();
    EXPECT_NE(log.find("\n\n# AppSystemError:# first\n"), std::string::npos) << log;
    EXPECT_NE(log.find("# AppSystemError:# second"), std::string::npos);
    EXPECT_EQ(log.find("third"), std::string::npos);
}

// Records the messages posted to it.
class FakeMainForm : public MessageTarget {
public:
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t) override {
        messages.push_back(msg);
        return 0;
    }
    std::vector<std::uint32_t> messages;
};

TEST_F(MessageBoxTest, AbortClosesTheMainForm) {
    // Without a main form Abort does nothing more.
    presenter_.QueueAnswer(IDABORT);
    ReportAppError("# early");
    FakeMainForm form;
    const WindowRegistration registration(AppMessageQueue(), form);
    SetMainFormWindow(registration.Handle());
    presenter_.QueueAnswer(IDABORT);
    ReportAppError("# fatal");
    AppMessageQueue().PumpAll();
    SetMainFormWindow(kNoWindow);
    EXPECT_EQ(form.messages, std::vector<std::uint32_t>{WM_CLOSE});
    EXPECT_FALSE(AppErrorSuppressed());
}

TEST(DebugMaskTest, EveryBitMustBeSet) {
    SetDebugMask(0x0001);
    EXPECT_FALSE(TestDebugMask(0x0003));
    SetDebugMask(0xFFFFFFFF);
    EXPECT_FALSE(TestDebugMask(0));
    EXPECT_TRUE(TestDebugMask(0x80000001));
    SetDebugMask(0);
}

} // namespace
} // namespace ravlo
