#include "framework/rtdw_ini.h"
#include "platform/ini_file.h"
#include "project/eprom_ini.h"
#include "project/project_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Type = TRomModuleType;

bool SameModules(const std::vector<tRomModule>& a, const std::vector<tRomModule>& b) {
    const auto same = [](const tRomModule& x, const tRomModule& y) {
        return x.Name == y.Name && x.Addr == y.Addr && x.Size == y.Size && x.Type == y.Type &&
               x.File == y.File;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), same);
}

class EpromIniTest : public testing::ProjectTest {
protected:
    void WriteIni(std::string_view text) { dir_.Write("RTDW.INI", text); }
    std::string Value(std::string_view key) const {
        return IniFile(GetRtdwIniName()).ReadString(kEpromImageSection, key, "<none>");
    }
};

TEST_F(EpromIniTest, SettingsRoundTripThroughRtdwIni) {
    TEpromImgIniData data;
    data.Kind = TVokKind::Vok386EXR;
    data.Modules = {{"ROM", 0xC8000, 0x1000, Type::Application, "ROM.BIN"},
                    {"bios386", 0xFD000, 12288, Type::Bios, "../shared/bios386.bin"},
                    {"setup", 0xFFF00, 13, Type::BiosSetup, "setup/board.c38"},
                    {"table", 0xE0000, 0x123, Type::UserBin, "/opt/data/table.bin"}};
    std::tie(data.HiKb, data.LoKb, data.HiFileName, data.LoFileName) =
        std::make_tuple(128, 128, "out/HI.BIN", "out/LO.BIN");
    ASSERT_TRUE(SaveEpromImgSettings(data));

    // The keys and values that earlier files hold.
    EXPECT_EQ(
        (std::vector<std::string>{Value("VOK"), Value("MODULECOUNT"), Value("Module1_Addr"),
                                  Value("Module1_Size"), Value("Module3_Type"), Value("EPROM_HI"),
                                  Value("FILENAME_LO")}),
        (std::vector<std::string>{"VOK386", "4", "$C8000", "$01000", "BIOS Setup", "128", "out/LO.BIN"}));

    const TEpromImgIniData back = LoadEpromImgSettings();
    EXPECT_TRUE(SameModules(back.Modules, data.Modules));
    EXPECT_EQ(std::tie(back.Kind, back.HiKb, back.LoKb, back.HiFileName, back.LoFileName),
              std::make_tuple(TVokKind::Vok386EXR, 128, 128, "out/HI.BIN", "out/LO.BIN"));
    EXPECT_TRUE(presenter_.Boxes().empty());
}

TEST_F(EpromIniTest, MissingFileOrUnknownBoardGivesTheDefaults) {
    for (const bool written : {false, true}) {
        if (written) {
            WriteIni("[EPROMIMAGE]\nVOK=Something\n");
        }
        const TEpromImgIniData data = LoadEpromImgSettings();
        EXPECT_TRUE(data.Modules.empty());
        EXPECT_EQ(std::tie(data.Kind, data.HiKb, data.LoKb, data.HiFileName, data.LoFileName),
                  std::make_tuple(TVokKind::VokV40, 256, 256, "EPROM_HI.BIN", "EPROM_LO.BIN"));
    }
}

TEST_F(EpromIniTest, IncompleteEntriesAreSkippedWithTheirMessageUpToTheFirstAbsentOne) {
    // A count far past the entries stops at the first entry with no key at all.
    WriteIni("[EPROMIMAGE]\r\nVOK=vok188\r\nMODULECOUNT=2000000000\r\n"
             "Module1_Addr=1\r\nModule1_Size=1\r\nModule1_Type=BIOS\r\nModule1_File=X\r\n"
             "Module2_Name=A\r\nModule2_Addr=$C8000\r\nModule2_Size=16\r\nModule2_Type=bios\r\n"
             "Module2_File=A.BIN\r\n"
             "Module3_Name=B\r\nModule3_Addr=$D0000\r\nModule3_Type=BIOS\r\nModule3_File=B.BIN\r\n"
             "Module4_Name=C\r\nModule4_Addr=819200\r\nModule4_Size=$10\r\nModule4_Type=Other\r\n"
             "Module4_File=C.BIN\r\n"
             "Module5_Name=D\r\nModule5_Addr=C8000\r\nModule5_Size=1\r\nModule5_Type=BIOS\r\n"
             "Module5_File=D.BIN\r\n"
             "Module6_Name=N\r\nModule6_Addr=1\r\nModule6_Size=1\r\nModule6_Type=BIOS\r\n");
    const TEpromImgIniData data = LoadEpromImgSettings();
    EXPECT_EQ(data.Kind, TVokKind::Vok188ER);
    // Type names are read with case ignored, unknown ones as user files; decimal is read too.
    EXPECT_TRUE(SameModules(
        data.Modules, {{"A", 0xC8000, 16, Type::Bios, "A.BIN"}, {"C", 0xC8000, 16, Type::UserBin, "C.BIN"}}));
    EXPECT_EQ(presenter_.Texts(), (std::vector<std::string>{"Module 1 Name is not defined in RTDW.INI",
                                                            "Module 3 Size is not defined in RTDW.INI",
                                                            "Module 5 Addr is not a number in RTDW.INI",
                                                            "Module 6 File is not defined in RTDW.INI",
                                                            "Module 7 Name is not defined in RTDW.INI"}));
}

TEST_F(EpromIniTest, WritingDropsTheOldEntriesAndKeepsTheRest) {
    WriteIni("[COM]\r\nPORT=3\r\n[EPROMIMAGE]\r\nMODULECOUNT=3\r\n; a note\r\nOTHER=kept\r\n"
             "Module1_Name=A\r\nModule2_Name=B\r\nmodule3_file=C\r\nModule4_Name=beyond the count\r\n");
    TEpromImgIniData data;
    data.Modules = {{"N", 0xF0000, 1, Type::UserBin, "N.BIN"}};
    ASSERT_TRUE(SaveEpromImgSettings(data));
    EXPECT_EQ((std::vector<std::string>{Value("MODULECOUNT"), Value("Module1_Name"), Value("Module2_Name"),
                                        Value("Module3_File"), Value("Module4_Name"), Value("OTHER")}),
              (std::vector<std::string>{"1", "N", "<none>", "<none>", "beyond the count", "kept"}));
    EXPECT_EQ(IniFile(GetRtdwIniName()).ReadString("COM", "PORT"), "3");
    EXPECT_NE(dir_.Text("RTDW.INI").find("; a note\r\n"), std::string::npos);
}

TEST_F(EpromIniTest, BadValuesAndUnreadableFilesAreNeverWritten) {
    TEpromImgIniData data;
    data.HiFileName = "bad\nname";
    EXPECT_FALSE(SaveEpromImgSettings(data));
    EXPECT_EQ(Value("FILENAME_HI"), "<none>");
    EXPECT_EQ(Value("FILENAME_LO"), "EPROM_LO.BIN"); // the rest is written

    std::filesystem::remove(File("RTDW.INI"));
    std::filesystem::create_directory(File("RTDW.INI"));
    EXPECT_FALSE(SaveEpromImgSettings(TEpromImgIniData{}));
    EXPECT_TRUE(std::filesystem::is_directory(File("RTDW.INI")));
}

} // namespace
} // namespace ravlo
