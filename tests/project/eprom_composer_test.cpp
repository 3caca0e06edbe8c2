#include "project/eprom_composer.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_test_support.h"
#include "support/eprom_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::BiosBytes;
using testing::CountingBytes;
using testing::RecordingEpromHost;
using testing::ScriptedAddressAsker;
using Type = TRomModuleType;

std::tuple<TVokKind, int, int> ChipsOf(const TEpromImgComposer& composer) {
    return {composer.Chips().Kind, composer.Chips().HiKb, composer.Chips().LoKb};
}

class EpromComposerTest : public testing::ProjectTest {
protected:
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        composer_.List().ForEach([&](const tRomModule& m) { names.push_back(m.Name); });
        return names;
    }
    const tRomModule& Entry(std::string_view name) const {
        const tRomModule* found =
            composer_.List().FirstThat([&](const tRomModule& m) { return m.Name == name; });
        EXPECT_NE(found, nullptr) << name;
        static const tRomModule none;
        return found != nullptr ? *found : none;
    }
    std::int32_t IndexOf(std::string_view name) const { return composer_.List().IndexOf(&Entry(name)); }
    void AddUser(std::string_view file, std::string_view bytes, TSegOfsPtr at) {
        ScriptedAddressAsker asker{at};
        ASSERT_TRUE(composer_.AddUserBin(dir_.Write(file, bytes), asker.Asker()));
    }

    RecordingEpromHost host_;
    TEpromImgComposer composer_{host_};
};

TEST_F(EpromComposerTest, ChipSizesTheNewBoardDoesNotOfferFallBackTo256Kb) {
    composer_.SelectBoardKind(TVokKind::Vok188ER);
    composer_.SelectHiSizeText("  64 KB (x512)");
    composer_.SelectLoSizeText("    0 KB (none)");
    EXPECT_EQ(ChipsOf(composer_), std::make_tuple(TVokKind::Vok188ER, 64, 0));
    composer_.SelectBoardKind(TVokKind::VokV40);
    EXPECT_EQ(ChipsOf(composer_), std::make_tuple(TVokKind::VokV40, 256, 0));
    composer_.SelectHiSizeText("512 KB (x040)");
    composer_.SelectBoardKind(TVokKind::Vok386EXR);
    EXPECT_EQ(ChipsOf(composer_), std::make_tuple(TVokKind::Vok386EXR, 512, 256));
    composer_.SelectHiSizeText("no such size");
    EXPECT_EQ(composer_.Chips().HiKb, 512);
}

TEST_F(EpromComposerTest, OpenTakesTheConnectedBoardOverTheSettings) {
    dir_.Write("RTDW.INI",
               "[EPROMIMAGE]\nVOK=VOK188\nEPROM_HI=512\nEPROM_LO=64\nFILENAME_HI=A.BIN\nFILENAME_LO=B.BIN\n");
    host_.connected = TVokKind::Vok386EXR;
    TEpromImgComposer composer(host_);
    composer.Open();
    EXPECT_EQ(ChipsOf(composer), std::make_tuple(TVokKind::Vok386EXR, 512, 256));
    EXPECT_EQ(std::tie(composer.HiFileName(), composer.LoFileName()),
              std::make_tuple("EPROM_HI.BIN", "B.BIN"));
}

TEST_F(EpromComposerTest, BiosAndSetupAreCheckedAndReplaceThePreviousOnes) {
    composer_.SelectBoardKind(TVokKind::VokV40);
    ASSERT_TRUE(composer_.AddBios(dir_.Write("v40.bin", BiosBytes(TVokKind::VokV40))));
    EXPECT_EQ(Entry("v40").Addr, 0xFE000U);
    EXPECT_FALSE(composer_.BiosSetupDialog());
    EXPECT_FALSE(composer_.AddBiosSetup(dir_.Write("a.c38", CountingBytes(13))));
    EXPECT_EQ(presenter_.Texts(), (std::vector<std::string>{"VokV40 has no Setup", "VokV40 has no Setup"}));

    composer_.SelectBoardKind(TVokKind::Vok386EXR);
    EXPECT_FALSE(composer_.AddBios(File("v40.bin")));
    EXPECT_EQ(presenter_.Texts().back(), "Incorrect BIOS file:\r\nFile must contain \"386EXR\" string!");
    ASSERT_TRUE(composer_.AddBios(dir_.Write("bios386.v1.bin", BiosBytes(TVokKind::Vok386EXR, 8000))));
    ASSERT_TRUE(composer_.AddBios(dir_.Write("second.bin", BiosBytes(TVokKind::Vok386EXR, 12288))));
    EXPECT_EQ(Names(), std::vector<std::string>{"second"});
    EXPECT_EQ(std::tie(Entry("second").Addr, Entry("second").Size, Entry("second").Type),
              std::make_tuple(0xFD000U, 12288U, Type::Bios));
    EXPECT_FALSE(composer_.AddBiosSetup(dir_.Write("b.c18", CountingBytes(32))));
    EXPECT_EQ(presenter_.Texts().back(), "Setup for Vok386 must be 13 bytes large!");
    ASSERT_TRUE(composer_.AddBiosSetup(dir_.Write("first.c38", CountingBytes(13))));
    ASSERT_TRUE(composer_.AddBiosSetup(dir_.Write("set.c38", CountingBytes(13, 1))));
    EXPECT_EQ(Names(), (std::vector<std::string>{"second", "set"}));
    EXPECT_EQ(Entry("set").Addr, 0xFFF00U);

    composer_.SelectBoardKind(TVokKind::Vok188ER);
    EXPECT_FALSE(composer_.AddBiosSetup(File("set.c38")));
    EXPECT_EQ(presenter_.Texts().back(), "Setup for Vok188 must be 32 bytes large!");
    ASSERT_TRUE(composer_.AddBiosSetup(File("b.c18")));
    EXPECT_EQ(Entry("b").Addr, 0xFFE00U);
}

TEST_F(EpromComposerTest, UserFilesAreAskedForTheirAddressAndStoredRelative) {
    std::filesystem::create_directories(File("sub"));
    ScriptedAddressAsker asker{MakeFarPtr(0x0010, 0xE000)};
    ASSERT_TRUE(composer_.AddUserBin(dir_.Write("sub/Table.data.bin", "abc"), asker.Asker()));
    EXPECT_EQ(asker.captions, std::vector<std::string>{"Enter address of Table"});
    EXPECT_EQ(asker.offered, std::vector<TSegOfsPtr>{MakeFarPtr(0, 0xC800)});
    EXPECT_EQ(std::tie(Entry("Table").Addr, Entry("Table").Size, Entry("Table").File),
              std::make_tuple(0xE0010U, 3U, "sub/Table.data.bin"));

    // Cancelled: added at the proposed address all the same.
    ScriptedAddressAsker cancel;
    ASSERT_TRUE(composer_.AddUserBin(File("sub/Table.data.bin"), cancel.Asker()));
    EXPECT_EQ(composer_.List().At(0)->Addr, 0xC8000U);

    // Outside the project folder: relative with "..", and found again from there.
    ProjectDir = (dir_.Path() / "sub").string() + "/";
    ASSERT_TRUE(composer_.AddUserBin(dir_.Write("outer.bin", "x"), cancel.Asker()));
    EXPECT_EQ(Entry("outer").File, "../outer.bin");
    EXPECT_EQ(ResolveProjectFile(Entry("outer").File), File("outer.bin"));
    EXPECT_EQ(ResolveProjectFile("./Table.data.bin"), File("sub/Table.data.bin"));
    EXPECT_EQ(ResolveProjectFile("..\\OUTER.BIN"), File("outer.bin")); // stored on a case-blind system

    EXPECT_FALSE(composer_.AddUserBin(File("gone.bin"), cancel.Asker()));
    EXPECT_EQ(presenter_.Texts().back(), "File \"" + File("gone.bin").string() + "\" does not exist!");
}

TEST_F(EpromComposerTest, OnlyUserFilesAreEditedButAnyEntryIsDeleted) {
    composer_.SelectBoardKind(TVokKind::VokV40);
    ASSERT_TRUE(composer_.AddBios(dir_.Write("bios.bin", BiosBytes(TVokKind::VokV40))));
    AddUser("a.bin", "a", MakeFarPtr(0, 0xC000));
    AddUser("b.bin", "b", MakeFarPtr(0, 0xD000));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "bios"}));

    ScriptedAddressAsker asker{MakeFarPtr(0, 0xF000)};
    EXPECT_EQ(composer_.EditModule(-1, asker.Asker()), -1);
    EXPECT_EQ(presenter_.Texts().back(), "Select module before editate.");
    EXPECT_EQ(composer_.EditModule(IndexOf("bios"), asker.Asker()), -1);
    EXPECT_TRUE(asker.captions.empty());

    EXPECT_EQ(composer_.EditModule(0, asker.Asker()), 1);
    EXPECT_EQ(asker.captions, std::vector<std::string>{"Enter address of a"});
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "a", "bios"}));
    EXPECT_EQ(Entry("a").Addr, 0xF0000U);

    // Delete asks and selects the next entry, or the new last one.
    EXPECT_EQ(composer_.DeleteModule(5), -1);
    EXPECT_EQ(presenter_.Texts().back(), "Select module before Delete.");
    for (const int answer : {IDNO, IDYES, IDYES}) {
        presenter_.Answer(answer);
    }
    EXPECT_EQ(composer_.DeleteModule(1), -1);
    EXPECT_EQ(presenter_.Texts().back(), "Delete module: \"a\" ?");
    EXPECT_EQ(composer_.DeleteModule(2), 1);
    EXPECT_EQ(composer_.DeleteModule(0), 0);
    EXPECT_EQ(Names(), std::vector<std::string>{"a"});
}

TEST_F(EpromComposerTest, RowsShowAddressesOffsetsAndTheStatus) {
    composer_.SelectBoardKind(TVokKind::Vok188ER);
    composer_.SelectHiSizeText("  64 KB (x512)");
    composer_.SelectLoSizeText("    0 KB (none)");
    ASSERT_TRUE(composer_.AddBios(dir_.Write("bios188.bin", BiosBytes(TVokKind::Vok188ER, 0x1000))));
    std::filesystem::create_directories(File("far/away/from/the/project"));
    AddUser("far/away/from/the/project/table.bin", "0123", MakeFarPtr(0, 0xE000));
    ASSERT_EQ(composer_.Rows().size(), 2U);
    const TRomListRow& user = composer_.Rows()[0];
    EXPECT_EQ(std::tie(user.Name, user.TypeName, user.Start, user.End, user.OffsetStart, user.OffsetEnd),
              std::make_tuple("table", "User BIN file", "$E0000", "$E0003", "  Err", "  Err"));
    EXPECT_EQ(user.File.size(), 22U);
    EXPECT_TRUE(user.File.ends_with("table.bin"));
    const TRomListRow& bios = composer_.Rows()[1];
    EXPECT_EQ(std::tie(bios.TypeName, bios.OffsetStart, bios.OffsetEnd),
              std::make_tuple("BIOS", "$0D000", "$0DFFF"));
    EXPECT_FALSE(composer_.CanCreate());
    EXPECT_EQ(composer_.StatusText(), "Error: Module address \"table\" is out of (E)EPROM!");

    composer_.SelectHiSizeText("128 KB (x010)");
    EXPECT_EQ(composer_.Rows()[0].OffsetStart, "$00000");
    EXPECT_EQ(composer_.StatusText(), "Status: Ok");
}

TEST_F(EpromComposerTest, CreateImageReportsToTheMainForm) {
    composer_.SelectBoardKind(TVokKind::VokV40);
    AddUser("u.bin", "\x42", MakeFarPtr(0, 0xF000));
    ASSERT_TRUE(composer_.CreateImage());
    EXPECT_EQ(std::tie(host_.imageOk, host_.flagWrites), std::make_tuple(true, 2)); // cleared first, then set
    EXPECT_EQ(host_.events, (std::vector<std::pair<std::string, std::uint8_t>>{
                                {"- Image (E)EPROM binary file(s) were correctly created", 4}}));
    EXPECT_EQ(presenter_.Texts().back(), "Image (E)EPROM binary file(s) were correctly created.");
    EXPECT_EQ(dir_.Text("EPROM.BIN").at(0x30000), '\x42');

    // A failure clears the flag and adds no event.
    composer_.SetHiFileName("missing/EPROM.BIN");
    EXPECT_FALSE(composer_.CreateImage());
    EXPECT_FALSE(host_.imageOk);
    EXPECT_EQ(host_.events.size(), 1U);
}

TEST_F(EpromComposerTest, ApplicationEntriesFollowTheRomModulesAndStay) {
    ASSERT_GE(OpenGeneratedRomModules().size(), 2U); // the sizes of the entries come from the files
    tModuleCollection& modules = *ProjectModel().Modules;
    std::vector<TRomModuleInfo> roms;
    for (auto rom = modules.FindFirstRomModule(); rom; rom = modules.FindNextRomModule()) {
        roms.push_back(*rom);
    }

    AddUser("u.bin", "u", MakeFarPtr(0, 0xF000));
    composer_.LoadProjectModules(modules);
    composer_.LoadProjectModules(modules); // a refill replaces them
    ASSERT_EQ(composer_.List().Count(), static_cast<std::int32_t>(roms.size() + 1));
    for (std::size_t i = 0; i < roms.size(); ++i) {
        const tRomModule& entry = *composer_.List().At(static_cast<std::int32_t>(i));
        EXPECT_EQ(std::tie(entry.Name, entry.Addr, entry.Size, entry.Type, entry.File),
                  std::make_tuple(roms[i].Name, roms[i].Segment * 16U, roms[i].Size, Type::Application,
                                  roms[i].Name + ".BIN"));
    }
    presenter_.Clear();
    EXPECT_EQ(composer_.DeleteModule(0), -1);
    EXPECT_EQ(presenter_.Texts().back(), "Application modules cannot be deleted!");
}

} // namespace
} // namespace ravlo
