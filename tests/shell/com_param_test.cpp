#include "channels/termios_port_driver.h"
#include "platform/ini_file.h"
#include "shell/com_param.h"
#include "support/box_recorder.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <array>
#include <deque>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace ravlo {
namespace {

using Buttons = std::vector<TComParam::Button>;

// A fresh pseudo-terminal: its terminal end is a port that opens.
struct Pty {
    int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    ~Pty() { ::close(fd); }
    std::string Path() const { return ::grantpt(fd) == 0 && ::unlockpt(fd) == 0 ? ::ptsname(fd) : ""; }
};

// Ports 1 to n exist and are free.
TComPorts FreePorts(std::uint8_t n) {
    TComPorts ports;
    for (std::uint8_t i = 1; i <= n; ++i) {
        ports.Existing[i] = ports.Available[i] = true;
    }
    return ports;
}

TEST(ComParam, PortsPresentBusyAndAbsentAsTheirDevicesOpen) {
    std::array<std::string, TComPorts::kMaxPort + 1> names;
    std::deque<testing::ScopedEnv> env;
    std::deque<Pty> ptys(3);
    const std::array<std::uint8_t, 3> present = {1, 3, 4};
    for (std::uint8_t n = 1; n <= TComPorts::kMaxPort; ++n) {
        names[n] = "RAVLO_COM" + std::to_string(n);
        env.emplace_back(names[n].c_str(), "/nonexistent/tty" + std::to_string(n));
    }
    for (std::size_t i = 0; i < present.size(); ++i) {
        env.emplace_back(names[present[i]].c_str(), ptys[i].Path());
    }
    TermiosPortDriver holder; // another program's hold on COM3
    ASSERT_TRUE(holder.Open(ptys[1].Path()).Ok());

    const TComParam dialog(3, 9600, [] { return DetectComPorts(0); });
    EXPECT_EQ(dialog.Buttons(), (Buttons{{1, true}, {3, false}, {4, true}}));
    EXPECT_EQ(dialog.SelPort(), 0U) << "the current port is busy";
    const TComParam ownPort(3, 9600, [] { return DetectComPorts(3); });
    EXPECT_EQ(ownPort.Buttons()[1], (TComParam::Button{3, true})) << "the link's own port is offered";
    EXPECT_EQ(ownPort.ChosenPort(), 3) << "and preselected";
}

TEST(ComParam, SixButtonsAtMostAndTheBaudItems) {
    TComParam dialog(0, 28800, [] { return FreePorts(8); });
    EXPECT_EQ(dialog.Buttons().size(), 6U);
    EXPECT_EQ(dialog.BaudIndex(), 2) << "an unlisted rate shows 19 200";
    EXPECT_EQ(ComBaudIndex(0), -1);
    dialog.SetBaudIndex(-1);
    EXPECT_EQ(dialog.ChosenBaud(), 4800U);
}

TEST(ComParam, ShowComParamStoresTheChoiceOnOkOnly) {
    testing::ScratchDir dir;
    testing::BoxRecorder boxes;
    const auto file = dir / "RTDW.INI";
    std::uint8_t port = 2;
    std::uint32_t baud = 9600;
    const auto ok = [](TComParam&) {
        return true;
    };
    EXPECT_FALSE(ShowComParam(
        port, baud, ok, [] { return TComPorts{}; }, file));
    EXPECT_EQ(boxes.Take(), "There is no existing COM port!");
    EXPECT_FALSE(ShowComParam(
        port, baud, [](TComParam&) { return false; }, [] { return FreePorts(2); }, file));
    EXPECT_FALSE(std::filesystem::exists(file)) << "Cancel stores nothing";
    EXPECT_EQ(port, 2);

    TComPorts busy = FreePorts(4);
    busy.Available = {};
    busy.Available[4] = true;
    const auto choose = [](TComParam& dialog) {
        EXPECT_EQ(dialog.FocusButton(), 3U) << "the first enabled button, should OK find none chosen";
        dialog.ClickPort(1);
        dialog.ClickPort(4);
        dialog.SetBaudIndex(3);
        return dialog.Ok();
    };
    ASSERT_TRUE(ShowComParam(
        port, baud, choose, [&busy] { return busy; }, file));
    EXPECT_EQ(port, 4);
    EXPECT_EQ(baud, 38400U);
    const IniFile ini(file);
    EXPECT_EQ(ini.ReadInteger("COM", "COM", 0), 4);
    EXPECT_EQ(ini.ReadInteger("COM", "BDLD", 0), 38400);
}

} // namespace
} // namespace ravlo
