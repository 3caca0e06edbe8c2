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
    data.HiKb = 128;
    data.LoKb = 128;
    data.HiFileName = "out/HI.BIN";
    data.LoFileName = "out/LO.BIN";
    ASSERT_TRUE(SaveEpromImgSettings(data));

    EXPECT_EQ(GetRtdwIniName(), File("RTDW.INI"));
    EXPECT_EQ(Value("VOK"), "VOK386");
    EXPECT_EQ(Value("MODULECOUNT"), "4");
    EXPECT_EQ(Value("Module1_Name"), "ROM");
    EXPECT_EQ(Value("Module1_Addr"), "$C8000");
    EXPECT_EQ(Value("Module1_Size"), "$01000");
    EXPECT_EQ(Value("Module1_Type"), "Application");
    EXPECT_EQ(Value("Module3_Type"), "BIOS Setup");
    EXPECT_EQ(Value("Module4_Type"), "User BIN file");
    EXPECT_EQ(Value("Module2_File"), "../shared/bios386.bin");
    EXPECT_EQ(Value("EPROM_HI"), "128");
    EXPECT_EQ(Value("FILENAME_LO"), "out/LO.BIN");

    const TEpromImgIniData back = LoadEpromImgSettings();
    EXPECT_EQ(back.Kind, TVokKind::Vok386EXR);
    EXPECT_TRUE(SameModules(back.Modules, data.Modules));
    EXPECT_EQ(back.HiKb, 128);
    EXPECT_EQ(back.LoKb, 128);
    EXPECT_EQ(back.HiFileName, "out/HI.BIN");
    EXPECT_EQ(back.LoFileName, "out/LO.BIN");
    EXPECT_TRUE(presenter_.Boxes().empty());
}

TEST_F(EpromIniTest, MissingFileGivesTheDefaults) {
    const TEpromImgIniData data = LoadEpromImgSettings();
    EXPECT_EQ(data.Kind, TVokKind::VokV40);
    EXPECT_TRUE(data.Modules.empty());
    EXPECT_EQ(data.HiKb, 256);
    EXPECT_EQ(data.LoKb, 256);
    EXPECT_EQ(data.HiFileName, "EPROM_HI.BIN");
    EXPECT_EQ(data.LoFileName, "EPROM_LO.BIN");
}

TEST_F(EpromIniTest, IncompleteEntriesAreSkippedWithTheirMessage) {
    WriteIni("[EPROMIMAGE]\r\nVOK=vok188\r\nMODULECOUNT=4\r\n"
             "Module1_Name=A\r\nModule1_Addr=$C8000\r\nModule1_Size=16\r\nModule1_Type=bios\r\nModule1_File="
             "A.BIN\r\n"
             "Module2_Name=B\r\nModule2_Addr=$D0000\r\nModule2_Type=BIOS\r\nModule2_File=B.BIN\r\n"
             "Module3_Name=C\r\nModule3_Addr=819200\r\nModule3_Size=$10\r\nModule3_Type=Other\r\nModule3_"
             "File=C.BIN\r\n"
             "Module4_Name=D\r\nModule4_Addr=C8000\r\nModule4_Size=1\r\nModule4_Type=BIOS\r\nModule4_File=D."
             "BIN\r\n");
    const TEpromImgIniData data = LoadEpromImgSettings();
    EXPECT_EQ(data.Kind, TVokKind::Vok188ER);
    ASSERT_EQ(data.Modules.size(), 2U);
    EXPECT_EQ(data.Modules[0].Name, "A");
    EXPECT_EQ(data.Modules[0].Type, Type::Bios); // type names are read with case ignored
    EXPECT_EQ(data.Modules[0].Size, 16U);
    EXPECT_EQ(data.Modules[1].Name, "C");
    EXPECT_EQ(data.Modules[1].Addr, 0xC8000U); // decimal is read too
    EXPECT_EQ(data.Modules[1].Type, Type::UserBin);
    EXPECT_EQ(presenter_.Texts(), (std::vector<std::string>{"Module 2 Size is not defined in RTDW.INI",
                                                            "Module 4 Addr is not a number in RTDW.INI"}));
}

TEST_F(EpromIniTest, KeysAreCheckedInTheirOrder) {
    WriteIni("[EPROMIMAGE]\nMODULECOUNT=2\nModule1_Addr=1\nModule1_Size=1\nModule1_Type=BIOS\n"
             "Module2_Name=N\nModule2_Addr=1\nModule2_Size=1\nModule2_Type=BIOS\n");
    EXPECT_TRUE(LoadEpromImgSettings().Modules.empty());
    EXPECT_EQ(presenter_.Texts(), (std::vector<std::string>{"Module 1 Name is not defined in RTDW.INI",
                                                            "Module 2 File is not defined in RTDW.INI"}));
}

TEST_F(EpromIniTest, OversizedCountStopsAtTheFirstAbsentEntry) {
    WriteIni("[EPROMIMAGE]\nVOK=Something\nMODULECOUNT=2000000000\n"
             "Module1_Name=A\nModule1_Addr=1\nModule1_Size=1\nModule1_Type=x\nModule1_File=A\n");
    const TEpromImgIniData data = LoadEpromImgSettings();
    EXPECT_EQ(data.Kind, TVokKind::VokV40);
    EXPECT_EQ(data.Modules.size(), 1U);
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Module 2 Name is not defined in RTDW.INI"});
}

TEST_F(EpromIniTest, WritingDropsTheOldEntriesAndKeepsTheRest) {
    WriteIni("[COM]\r\nPORT=3\r\n[EPROMIMAGE]\r\nMODULECOUNT=3\r\n; a note\r\nOTHER=kept\r\n"
             "Module1_Name=A\r\nModule2_Name=B\r\nmodule3_file=C\r\nModule4_Name=beyond the count\r\n");
    TEpromImgIniData data;
    data.Modules = {{"N", 0xF0000, 1, Type::UserBin, "N.BIN"}};
    ASSERT_TRUE(SaveEpromImgSettings(data));
    EXPECT_EQ(Value("MODULECOUNT"), "1");
    EXPECT_EQ(Value("Module1_Name"), "N");
    EXPECT_EQ(Value("Module2_Name"), "<none>");
    EXPECT_EQ(Value("Module3_File"), "<none>");
    EXPECT_EQ(Value("Module4_Name"), "beyond the count");
    EXPECT_EQ(Value("OTHER"), "kept");
    EXPECT_EQ(IniFile(GetRtdwIniName()).ReadString("COM", "PORT"), "3");
    EXPECT_NE(dir_.Text("RTDW.INI").find("; a note\r\n"), std::string::npos);
}

TEST_F(EpromIniTest, UnreadableFileIsNeverOverwritten) {
    std::filesystem::create_directory(File("RTDW.INI"));
    EXPECT_FALSE(SaveEpromImgSettings(TEpromImgIniData{}));
    EXPECT_TRUE(std::filesystem::is_directory(File("RTDW.INI")));
}

TEST_F(EpromIniTest, ValueWithALineEndIsRefusedButTheRestIsWritten) {
    TEpromImgIniData data;
    data.HiFileName = "bad\nname";
    EXPECT_FALSE(SaveEpromImgSettings(data));
    EXPECT_EQ(Value("FILENAME_HI"), "<none>");
    EXPECT_EQ(Value("FILENAME_LO"), "EPROM_LO.BIN");
}

} // namespace
} // namespace ravlo
