#include "framework/app_names.h"
#include "framework/main_window.h"
#include "framework/ui/console_widget.h"
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "framework/writer_channels.h"
#include "shell/ui/skeleton_main_form.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ConsoleLines(const TConsole& console) {
    std::vector<std::string> lines;
    for (int row = 0; row < console.Buffer().CursorRow(); ++row) {
        std::string text(console.Buffer().Row(row));
        text.erase(text.find_last_not_of(' ') + 1);
        lines.push_back(text);
    }
    return lines;
}

TEST(SkeletonCommandLine, TakesTheFirstPlainArgumentAsIniAndXAsExit) {
    const std::vector<std::string> args{"/U", "cfg/app.ini", "other.exe", "/x"};
    const SkeletonCommandLine parsed = ParseSkeletonCommandLine(args);
    EXPECT_EQ(parsed.iniArg, "cfg/app.ini");
    EXPECT_TRUE(parsed.exitWhenShown);

    const SkeletonCommandLine empty = ParseSkeletonCommandLine({});
    EXPECT_EQ(empty.iniArg, "");
    EXPECT_FALSE(empty.exitWhenShown);
    const std::vector<std::string> onlyX{"/X"};
    EXPECT_EQ(ParseSkeletonCommandLine(onlyX).iniArg, "") << "a switch is never the INI";
    const std::vector<std::string> absolute{"/etc/ravlo/app.ini", "/X"};
    EXPECT_EQ(ParseSkeletonCommandLine(absolute).iniArg, "/etc/ravlo/app.ini") << "a path is no switch";
}

class SkeletonMainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSysWrChannels();
        dir_ = fs::temp_directory_path() / ("ravlo_skeleton_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        ResetAppNames();
        ClearSysWrChannels();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path WriteIni(const std::string& text) {
        const fs::path path = dir_ / "app.ini";
        std::ofstream(path) << text;
        return path;
    }

    QtMessagePump pump;
    fs::path dir_;
};

TEST_F(SkeletonMainFormTest, ShowsTheWriterWindowInTheRavloFrame) {
    TSkeletonMainForm form;
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Ravlo"));
    EXPECT_EQ(GetMainFormWindow(), form.Handle());
    ASSERT_NE(form.SysWrWindow(), nullptr);
    const QList<QMdiSubWindow*> children = form.MdiArea().subWindowList();
    ASSERT_EQ(children.size(), 1);
    EXPECT_EQ(children.front()->widget(), form.SysWrWindow());
    EXPECT_EQ(SysWrChn()[0].Wnd, form.SysWrWindow()->Handle());
}

TEST_F(SkeletonMainFormTest, StartLinesNameTheIniAndItsSections) {
    TSkeletonMainForm form;
    const fs::path ini = WriteIni("[SECTIONS]\nRD_SECTION=RAVLO\nWR_SECTION=RAVLO_WR\n[RAVLO]\nAPP=x\n");
    WriteStartLines("/opt/ravlo/ravlo", SkeletonCommandLine{ini.string(), false});
    const std::vector<std::string> lines = ConsoleLines(form.SysWrWindow()->ConsoleWr0());
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Ravlo start: /opt/ravlo/ravlo", "Application INI: " + ini.string(),
                                        "RD_SECTION=RAVLO WR_SECTION=RAVLO_WR"}));
}

TEST_F(SkeletonMainFormTest, StartLinesTellWhatIsWrongWithTheIni) {
    TSkeletonMainForm form;
    WriteStartLines("ravlo", SkeletonCommandLine{});
    const fs::path ini = WriteIni("[SECTIONS]\nRD_SECTION=RAVLO\n[RAVLO]\n; nothing yet\n");
    WriteStartLines("ravlo", SkeletonCommandLine{ini.string(), true});
    const std::vector<std::string> lines = ConsoleLines(form.SysWrWindow()->ConsoleWr0());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "No application INI named on the command line");
    EXPECT_EQ(lines[4].rfind("INI check: ", 0), 0u) << lines[4];
}

} // namespace
} // namespace ravlo
