#include "framework/app_names.h"
#include "framework/ini_access.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using testing::AppIniFixture;
using testing::CapturedWriter;
using testing::ScopedEnv;
using testing::ScratchDir;

// The names computed for a program in a fresh home folder; reset afterwards.
class AppNamesTest : public ::testing::Test {
protected:
    ~AppNamesTest() override { ResetAppNames(); }

    void Init(std::vector<std::string> args) { InitAppNames(dir_.Path() / "ravlo.bin", args); }

    ScratchDir dir_;
    ScopedEnv home_{"RAVLO_HOME", dir_.Path().string()};
};

TEST_F(AppNamesTest, NamesFromProgramAndFirstArgumentWhateverTheCaseAndResetForgetsThem) {
    const auto before = std::chrono::system_clock::now();
    Init({});
    EXPECT_EQ(AppName(), "ravlo");
    EXPECT_EQ(AppDir().string(), dir_.Path().string() + "/");
    EXPECT_EQ(AppIniName(), AppDir() / "ravlo.INI");
    EXPECT_EQ(AppExePath(), dir_.Path() / "ravlo.bin");
    EXPECT_GE(AppStartTime(), before);
    // The first argument, its extension changed; the program's folder when it names none.
    Init({"site.cfg", "project.exe"});
    EXPECT_EQ(AppIniName(), AppDir() / "site.INI");
    // A folder of its own stays; a relative one is made absolute at once.
    fs::create_directories(dir_.Path() / "cfg");
    Init({(dir_.Path() / "cfg" / "a.b.ini").string()});
    EXPECT_EQ(AppIniName(), dir_.Path() / "cfg" / "a.b.INI");
    Init({"cfg/x.ini"});
    EXPECT_TRUE(AppIniName().is_absolute());
    // An existing file is found whatever its case, also by a name with "\" between folders.
    dir_.Write("ravlo.ini", "[SECTIONS]\nRD_SECTION=R\nWR_SECTION=W\n[R]\nA=1\n");
    Init({});
    EXPECT_EQ(AppIniName(), dir_.Path() / "ravlo.ini");
    dir_.Write("cfg/Site.Ini", "");
    Init({dir_.Path().string() + "\\cfg\\SITE.TXT"});
    EXPECT_EQ(AppIniName(), dir_.Path() / "cfg" / "Site.Ini");
    Init({});
    ASSERT_TRUE(CheckAppIni());
    ResetAppNames();
    EXPECT_EQ(AppName(), "");
    EXPECT_TRUE(AppIniName().empty());
    EXPECT_EQ(RdSection() + WrSection(), "");
    EXPECT_EQ(AppStartTime(), std::chrono::system_clock::time_point{});
}

TEST(AppIniCheckTest, EachStepHasItsTextAndACheckAfterTheFileWentAwayClearsTheSections) {
    const struct {
        const char* ini;
        std::string text; // after "INI file <name>"
        const char* rd;
        const char* wr;
    } cases[] = {{"[SECTIONS]\nWR_SECTION=W\n", " RD_SECTION not specified", "", ""},
                 {"[SECTIONS]\nRD_SECTION=READ\n[READ]\n; no keys\n", " RD_SECTION=READ not valid", "", ""},
                 {"[SECTIONS]\nRD_SECTION=READ\n[READ]\nA=1\n", "", "READ", ""},
                 {"[SECTIONS]\nRD_SECTION=READ\nWR_SECTION=OUT\n[READ]\nA=1\n", "", "READ", "OUT"}};
    for (const auto& c : cases) {
        AppIniFixture app(c.ini);
        EXPECT_EQ(IniCheckText(), c.text.empty() ? "" : "INI file " + PathText(AppIniName()) + c.text)
            << c.ini;
        EXPECT_EQ(RdSection() + "|" + WrSection(), std::string(c.rd) + "|" + c.wr) << c.ini;
        fs::remove(AppIniName());
        EXPECT_FALSE(CheckAppIni());
        EXPECT_EQ(IniCheckText(), "INI file " + PathText(AppIniName()) + " not found");
        EXPECT_EQ(RdSection() + WrSection(), "");
    }
}

// How the INI file reads and writes: the IniFile and IniDocument tests.
TEST(IniAccessTest, ReadWriteAndCount) {
    ScratchDir dir;
    const fs::path file = dir.Write("A.INI", "[S]\nK1= value one \nK2=\n[T]\n");
    EXPECT_EQ(IniReadStr(file, "S", "K1"), "value one");
    EXPECT_EQ(IniSectionKeyCount(file, "S"), 2u);
    EXPECT_TRUE(IniWriteStr(file, "", "K", "v")); // no section: nothing to write
    EXPECT_TRUE(IniWriteStr(file, "T", "K", "v"));
    EXPECT_EQ(dir.Text("A.INI"), "[S]\nK1= value one \nK2=\n[T]\nK=v\n");
    // A write that cannot be made is reported, not passed off as done.
    CapturedWriter writer;
    EXPECT_FALSE(IniWriteStr(file, "T", "K=", "v"));
    ASSERT_EQ(writer.Errors().size(), 1u);
    EXPECT_TRUE(writer.Errors()[0].starts_with("IniWriteStr: ")) << writer.Errors()[0];
}

} // namespace
} // namespace ravlo
