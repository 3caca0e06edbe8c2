// The Vok setup command of the main window end to end against the board simulator at line speed:
// the board's setup is read, one field is changed in its dialog, and "Save to Vok" writes it back
// into the simulator's memory.
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "protocol/comm_process.h"
#include "shell/ui/config188_dialog.h"
#include "shell/ui/config386_dialog.h"
#include "shell/ui/event_log_form.h"
#include "shell/ui/main_menus.h"
#include "shell/ui/ravlo_main_form.h"
#include "support/default_app_ini.h"
#include "support/scratch_dir.h"
#include "support/shell_test_globals.h"
#include "support/voksim_on_com.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTextEdit>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using A = TMainAction;

void Pick(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

class SetupVoksimTest : public ::testing::Test {
protected:
    SetupVoksimTest() { RegisterProcessType(PT_RavloComm, TRavloComm_Process::CreateFromLabel); }

    // Reads the setup of board from the simulator, lets change edit its dialog and saves it to the
    // board; answers the simulator's memory at its end.
    template <class Dialog>
    std::optional<Bytes> EditOnBoard(const char* board, DEV_VokType kind,
                                     std::function<void(Dialog&)> change) {
        testing::VoksimOnCom sim;
        if (!sim.Found()) {
            return std::nullopt;
        }
        const std::filesystem::path memory = dir_.Path() / "memory.bin";
        EXPECT_TRUE(sim.Start(1, {"--board", board, "--memory-out", memory.string()}));
        {
            TRavloMainFormOptions options;
            options.GuiDialogs = false;
            TRavloMainForm form(options);
            form.show();
            const TRavlo_MA_Process& ma = *form.Core().MAProc;
            form.Menus().Action(A::CreateCom).trigger();
            EXPECT_TRUE(testing::ProcessEventsUntil([&] {
                return ma.Device == kind && !ma.BiosIdText.empty() && ma.ConState == cs_idle &&
                       ma.QueueCount() == 0;
            }));
            testing::ShownDialogDriver<Dialog> driver([&](Dialog& dialog) {
                change(dialog);
                dialog.SaveToVok_Button->click();
            });
            form.Menus().Action(A::VokSetup).trigger();
            EXPECT_TRUE(testing::ProcessEventsUntil([&] {
                return form.EventLogWnd()->RichEditEvLog().toPlainText().contains("- Setup was written");
            }));
            EXPECT_TRUE(driver.Acted());
            form.Menus().Action(A::DestroyCom).trigger();
            testing::ProcessEventsUntil([&] { return ma.Connected == 0; }, std::chrono::seconds(3));
        }
        EXPECT_EQ(sim.Stop(), 0);
        const std::string bytes = testing::ReadFileText(memory);
        return Bytes(bytes.begin(), bytes.end());
    }

    testing::ShellTestGlobals globals_;
    testing::AppIniFixture ini_{std::string(testing::kDefaultAppIni)};
    testing::ScratchDir dir_;
    testing::RecordingPresenter presenter_;
    ScopedPresenter presenterGuard_{presenter_};
    QtMessagePump pump_;
};

TEST_F(SetupVoksimTest, TheAccessTimeOfSocket1ChangedOnThe386) {
    const auto memory = EditOnBoard<TConfig386_Dialog>(
        "386", DEV_Vok386, [](TConfig386_Dialog& dialog) { Pick(dialog.cbxAT[0], 7); });
    if (!memory) {
        GTEST_SKIP() << "voksim is not built beside the test programs";
    }
    ASSERT_EQ(memory->size(), 0x100000u);
    EXPECT_EQ(Bytes(memory->begin() + 0xFFF00, memory->begin() + 0xFFF0D),
              (Bytes{0xB6, 0x07, 0x76, 0x01, 0, 0, 0, 0, 0xC5, 0x80, 0x85, 0x00, 0x40}));
}

TEST_F(SetupVoksimTest, TheWaitStatesChangedOnThe188) {
    const auto memory = EditOnBoard<TConfig188_Dialog>(
        "188", DEV_Vok188, [](TConfig188_Dialog& dialog) { Pick(dialog.WSIOBUS_ComboBox, 5); });
    if (!memory) {
        GTEST_SKIP() << "voksim is not built beside the test programs";
    }
    ASSERT_EQ(memory->size(), 0x100000u);
    EXPECT_EQ(Bytes(memory->begin() + 0xFFE00, memory->begin() + 0xFFE04), (Bytes{0x04, 0x08, 0x15, 0x03}));
}

} // namespace
} // namespace ravlo
