#include "framework/debug_mask.h"
#include "framework/main_window.h"
#include "framework/message_box.h"
#include "framework/runtime_log.h"
#include "platform/cp1250.h"
#include "platform/presenter.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ScopedEnv;
using testing::ScratchDir;

// A runtime log in a fresh home folder for the length of a test.
class LoggedRun {
public:
    LoggedRun() { TxsStartup(dir_.Path() / "ravlo", ""); }
    ~LoggedRun() { ResetRuntimeLog(); }
    LoggedRun(const LoggedRun&) = delete;
    LoggedRun& operator=(const LoggedRun&) = delete;

    std::string Log() const { return dir_.Text(TxsPath().filename().string()); }

private:
    ScratchDir dir_;
    ScopedEnv home_{"RAVLO_HOME", dir_.Path().string()};
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
    for (const int answer : {IDNO, IDOK, IDRETRY, IDOK, IDOK}) {
        presenter_.QueueAnswer(answer);
    }
    EXPECT_EQ(TrMessageBox("Title", "Really?", 0x24), IDNO);
    TrMessageBox("", "a", 0x56);  // no such icon, no such buttons
    TrMessageBox("", "b", 0x145); // information, Retry/Cancel; the default-button bits are not shown
    TrMessageBox("", "c", 0x30);
    BeepShowMessage("Done");
    const auto& boxes = presenter_.Boxes();
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[0].text, "Really?");
    EXPECT_EQ(boxes[0].flags, MB_ICONQUESTION | MB_YESNO);
    EXPECT_EQ(boxes[1].flags, MB_ICONEXCLAMATION | MB_OK);
    EXPECT_EQ(boxes[2].flags, MB_ICONASTERISK | MB_RETRYCANCEL);
    EXPECT_EQ(boxes[3].flags, MB_ICONEXCLAMATION);
    EXPECT_EQ(boxes[4].flags, MB_OK);
    EXPECT_EQ(presenter_.Beeps().size(), 5u);
    EXPECT_NE(run.Log().find("# Title Really? $0024\n"), std::string::npos) << run.Log();
}

TEST_F(MessageBoxTest, TextsFromTheStringTable) {
    LoggedRun run;
    presenter_.QueueAnswer(IDOK);
    presenter_.QueueAnswer(IDOK);
    TrMessageBoxRes(112, 111, MB_OK | MB_ICONHAND);
    TrMessageBoxRes(0, 999999, MB_OK);
    ASSERT_EQ(presenter_.Boxes().size(), 2u);
    EXPECT_EQ(presenter_.Boxes()[0].text, Utf8ToCp1250("Chyba při čtení z disku"));
    EXPECT_EQ(presenter_.Boxes()[1].text, "string resource error");
    // The log is UTF-8; the title shows only there.
    EXPECT_NE(run.Log().find("# Chyba při zápisu na disk Chyba při čtení z disku $0010"), std::string::npos)
        << run.Log();
}

TEST_F(MessageBoxTest, MessageDlgDefBtnMapsButtonsAndDefault) {
    const auto set = [](std::initializer_list<TMsgDlgBtn> buttons) {
        TMsgDlgButtons result = 0;
        for (const TMsgDlgBtn b : buttons) {
            result |= MsgDlgButton(b);
        }
        return result;
    };
    using B = TMsgDlgBtn;
    EXPECT_EQ(MessageDlgFlags(MessageBoxKind::Confirmation, set({B::mbYes, B::mbNo}), B::mbNo),
              MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2);
    EXPECT_EQ(MessageDlgFlags(MessageBoxKind::Warning, set({B::mbYes, B::mbNo, B::mbCancel}), B::mbCancel),
              MB_ICONEXCLAMATION | MB_YESNOCANCEL | MB_DEFBUTTON3);
    EXPECT_EQ(MessageDlgFlags(MessageBoxKind::Error, set({B::mbAbort, B::mbRetry, B::mbIgnore}), B::mbAbort),
              MB_ICONHAND | MB_ABORTRETRYIGNORE);
    // A default the dialog does not have leaves the first button.
    EXPECT_EQ(MessageDlgFlags(MessageBoxKind::Information, set({B::mbOK}), B::mbYes),
              MB_ICONASTERISK | MB_OK);
    // Sets without a row of their own: the shortest row that holds them; Help has no row.
    EXPECT_EQ(MessageDlgFlags(MessageBoxKind::Error, set({B::mbRetry}), B::mbRetry),
              MB_ICONHAND | MB_RETRYCANCEL);
    EXPECT_EQ(MessageDlgFlags(MessageBoxKind::Error, set({B::mbOK, B::mbHelp}), B::mbOK),
              MB_ICONHAND | MB_OK);
    EXPECT_EQ(MessageDlgFlags(MessageBoxKind::Error, set({B::mbOK, B::mbYes}), B::mbOK), MB_ICONHAND | MB_OK);

    presenter_.QueueAnswer(IDNO);
    EXPECT_EQ(MessageDlgDefBtn("Save?", MessageBoxKind::Confirmation, set({B::mbYes, B::mbNo}), B::mbNo),
              IDNO);
    EXPECT_EQ(DefaultMessageBoxAnswer(presenter_.Boxes()[0].flags), IDNO);
}

TEST_F(MessageBoxTest, ReportAppErrorGoesThroughTheHook) {
    std::vector<std::string> seen;
    SetAppErrorHook([&](std::string_view msg) { seen.emplace_back(msg); });
    ReportAppError("# short");
    ReportAppError(std::string(300, 'x'));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "# short");
    EXPECT_EQ(seen[1], std::string(259, 'x'));
}

TEST_F(MessageBoxTest, IgnoreSilencesRetryKeepsAsking) {
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
    EXPECT_EQ(presenter_.Boxes()[0].text, "# first");
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
    EXPECT_TRUE(TestDebugMask(0x0001));
    EXPECT_FALSE(TestDebugMask(0x0003));
    EXPECT_FALSE(TestDebugMask(0));
    SetDebugMask(0xFFFFFFFF);
    EXPECT_FALSE(TestDebugMask(0));
    EXPECT_TRUE(TestDebugMask(0x80000001));
    EXPECT_EQ(GetDebugMask(), 0xFFFFFFFFu);
    SetDebugMask(0);
    EXPECT_FALSE(TestDebugMask(1));
}

} // namespace
} // namespace ravlo
