// The main window's COM settings command end to end against the board simulator at line speed:
// the dialog's choice opens the link on the chosen port, or moves an open link and the board to the
// chosen rate, and is kept in RTDW.INI.
#include "framework/rtdw_ini.h"
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "platform/ini_file.h"
#include "protocol/com_globals.h"
#include "protocol/comm_process.h"
#include "shell/ui/com_param_form.h"
#include "shell/ui/main_menus.h"
#include "shell/ui/main_status_bar.h"
#include "shell/ui/ravlo_main_form.h"
#include "support/app_fixtures.h"
#include "support/box_recorder.h"
#include "support/default_app_ini.h"
#include "support/scoped_env.h"
#include "support/shell_test_globals.h"
#include "support/voksim_on_com.h"

#include <QAction>
#include <QRadioButton>
#include <deque>
#include <string>

namespace ravlo {
namespace {

using A = TMainAction;

constexpr std::uint8_t kSimPort = 2;

// The shipped settings without opening the link at start.
std::string IniWithoutAutoStart() {
    std::string ini(testing::kDefaultAppIni);
    return ini.replace(ini.find("AST=1"), 5, "AST=0");
}

class ComSettingsVoksimTest : public ::testing::Test {
protected:
    ComSettingsVoksimTest() {
        // Only the simulator's port exists.
        for (int n = 1; n <= TComPorts::kMaxPort; ++n) {
            names_.push_back("RAVLO_COM" + std::to_string(n));
        }
        for (const std::string& name : names_) {
            noPorts_.emplace_back(name.c_str(), "/nonexistent/tty");
        }
    }
    void SetUp() override {
        if (!sim_.Found()) {
            GTEST_SKIP() << "voksim is not built beside the test programs";
        }
        RegisterProcessType(PT_RavloComm, TRavloComm_Process::CreateFromLabel);
    }

    // Runs the COM settings command; the dialog is answered by act.
    void ComSettings(TRavloMainForm& form, std::function<void(TfComParam&)> act) {
        testing::ShownDialogDriver<TfComParam> driver(std::move(act));
        form.Menus().Action(A::ComSettings).trigger();
        EXPECT_TRUE(driver.Acted());
    }
    // Chooses the port's button and the rate's item, then OK.
    static std::function<void(TfComParam&)> Choose(const char* rate) {
        return [rate](TfComParam& dialog) {
            ASSERT_EQ(dialog.PortButtons().size(), 1u);
            EXPECT_EQ(dialog.PortButtons()[0]->text(), QStringLiteral("COM2"));
            dialog.PortButtons()[0]->click();
            for (QRadioButton* item :
                 dialog.findChild<QWidget*>(QStringLiteral("rgBDld"))->findChildren<QRadioButton*>()) {
                if (item->text() == QLatin1String(rate)) {
                    item->click();
                }
            }
            dialog.findChild<QPushButton*>(QStringLiteral("btOk"))->click();
        };
    }

    std::vector<std::string> names_;
    std::deque<testing::ScopedEnv> noPorts_;
    testing::ShellTestGlobals globals_;
    testing::AppIniFixture ini_{IniWithoutAutoStart()};
    testing::BoxRecorder boxes_;
    QtMessagePump pump_;
    testing::VoksimOnCom sim_;
};

TEST_F(ComSettingsVoksimTest, TheChoiceOpensTheLinkThenMovesTheBoardToTheNewRate) {
    ASSERT_TRUE(sim_.Start(kSimPort, {"--board", "188"}));
    TRavloMainFormOptions options;
    options.GuiDialogs = false;
    TRavloMainForm form(options);
    form.show();
    ASSERT_TRUE(testing::ProcessEventsUntil([&form] { return form.Core().Plan().has_value(); }));
    boxes_.texts.clear(); // the offer of a first user
    const TRavlo_MA_Process& ma = *form.Core().MAProc;
    const auto linked = [&ma](std::uint8_t port, std::uint32_t baud) {
        return [&ma, port, baud] {
            return ma.Device == DEV_Vok188 && ma.Connected == kBoardConnected && ma.ConState == cs_idle &&
                   ComOpenPort == port && ComBaud == baud;
        };
    };
    const auto panels = [&form] {
        return form.StatusBar().Panel(0).text().toStdString() + " " +
               form.StatusBar().Panel(1).text().toStdString();
    };
    const IniFile rtdw(GetRtdwIniName());

    // Cancelled: nothing opens and nothing is kept.
    ComSettings(form, [](TfComParam& dialog) { dialog.reject(); });
    testing::ProcessEventsUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(ComOpenPort, 0);
    EXPECT_FALSE(rtdw.Exists());

    // The link is closed: it opens on the chosen port and ends at the chosen rate.
    ComSettings(form, Choose("19 200"));
    EXPECT_EQ(std::make_pair(rtdw.ReadInteger("COM", "COM", 0), rtdw.ReadInteger("COM", "BDLD", 0)),
              std::make_pair(2, 19200));
    ASSERT_TRUE(testing::ProcessEventsUntil(linked(kSimPort, 19200), std::chrono::seconds(60)))
        << "port " << int(ComOpenPort) << " at " << ComBaud << ", device " << int(ma.Device);
    EXPECT_TRUE(testing::ProcessEventsUntil([&] { return panels() == "COM = 2 BdRate = 19200"; },
                                            std::chrono::seconds(2)))
        << panels();

    // The link is open: the board is told the new rate first and answers at it.
    ComSettings(form, Choose("38 400"));
    ASSERT_TRUE(testing::ProcessEventsUntil(linked(kSimPort, 38400), std::chrono::seconds(60)))
        << "port " << int(ComOpenPort) << " at " << ComBaud;
    EXPECT_EQ(rtdw.ReadInteger("COM", "BDLD", 0), 38400);
    form.Menus().Action(A::Request).trigger();
    ASSERT_TRUE(testing::ProcessEventsUntil(linked(kSimPort, 38400), std::chrono::seconds(20)));
    EXPECT_TRUE(testing::ProcessEventsUntil([&] { return panels() == "COM = 2 BdRate = 38400"; },
                                            std::chrono::seconds(2)))
        << panels();
    EXPECT_TRUE(boxes_.texts.empty()) << boxes_.texts.front();

    form.Menus().Action(A::DestroyCom).trigger();
    testing::ProcessEventsUntil([&] { return ma.Connected == 0; }, std::chrono::seconds(3));
}

} // namespace
} // namespace ravlo
