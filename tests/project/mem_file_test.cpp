#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "framework/file_paths.h"
#include "project/mem_file.h"
#include "project/mem_text.h"
#include "project/module_collection.h"
#include "project/project_files.h"
#include "project/project_globals.h"
#include "project/project_test_support.h"
#include "project/reloc_table.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using namespace fixtures;
using testing::ProjectTest;
using testing::SplitLines;

// The model's modules against the design: names, addresses, lengths and unit names.
void ExpectSameDesign(const FixtureDesign& expected) {
    std::vector<FixtureModule> actual;
    ProjectModel().Modules->ForEach([&actual](const tModule& module) {
        FixtureModule& entry =
            actual.emplace_back(FixtureModule{module.Name, module.Address, module.Length, {}});
        module.ForEach([&entry](const tModUnit& unit) { entry.units.push_back(unit.Name); });
    });
    ASSERT_EQ(actual.size(), expected.modules.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        const FixtureModule& e = expected.modules[i];
        EXPECT_EQ(std::tie(actual[i].name, actual[i].address, actual[i].length, actual[i].units),
                  std::tie(e.name, e.address, e.length, e.units));
    }
}

class MemFileTest : public ProjectTest {
protected:
    void LayOutDemo(const ProgramDescription& program = MakeDemoProgram()) {
        layout_ = LayOutProgram(program);
        design_ = PlaceAllUnits(layout_);
    }
    // Opens the demo with its design placed and generated-ready (relocation table built).
    void OpenPlacedDemo(const ProgramDescription& program) {
        LayOutDemo(program);
        ASSERT_TRUE(OpenFixture(layout_, &design_));
        BuildRelocTable(*ProjectModel().Modules);
    }

    ProgramLayout layout_;
    FixtureDesign design_;
};

TEST(MemTextTest, LinesCutTheSizeButNotALongName) {
    EXPECT_EQ(MemModuleLine(tModule("RAM", 0x00B0, 0x123456)),
              "Memory: RAM                  Address: $00B0   Size: $23456");
    const tModUnit longName(MUnitT::Code, "A_VERY_LONG_SEGMENT_NAME", 0x10, 0, 0x10);
    EXPECT_EQ(MemRelocLine(longName), "A_VERY_LONG_SEGMENT_NAME\t$0010\t$0000\t$0010");
}

TEST(MemTextTest, ParsingReadsNamesAddressesSizesAndUnitLines) {
    const std::string name39(39, 'U'); // names are cut to their longest before they are trimmed
    const std::vector<std::string> lines = {
        "Memory: ROM                  Address: $C800   Size: $08000",
        "    -- LOADER --",
        "    " + name39 + " tail",
        "",
        "Memory: ABCDEFGHIJKLMNOPQRST Address: $E000   Size: $10000",
        // The name field runs into "Address" when the blank after "Memory:" is missing.
        "Memory:RAM                  Address: $0100   Size: $10000",
        "",
        "",
        " Name                 \t Rel\t Abs\t Size",
        "-- LOADER --         \t$FFFF\t$C800\t$0060",
        "A_VERY_LONG_SEGMENT_NAME\t$0010\t$C806\t$0123",
        name39 + " tail\t$0002\t$C801\t$0010",
        // Only the heading's whole name field is "Name".
        "Name" + std::string(17, ' ') + "X\t$0003\t$C802\t$0020",
    };
    TMemDesign design;
    std::size_t badLine = 0;
    ASSERT_TRUE(ParseMemText(lines, true, design, badLine));
    ASSERT_EQ(design.Modules.size(), 3U);
    const TMemModuleRecord& rom = design.Modules[0];
    EXPECT_EQ(std::tie(rom.Name, rom.Address, rom.Length), std::make_tuple("ROM", 0xC800, 0x8000U));
    EXPECT_EQ(rom.UnitNames, (std::vector<std::string>{"-- LOADER --", name39}));
    EXPECT_EQ(std::tie(design.Modules[1].Name, design.Modules[1].Length),
              std::make_tuple("ABCDEFGHIJKLMNOPQRST", 0x10000U));
    EXPECT_EQ(design.Modules[2].Name, "RAM");
    ASSERT_EQ(design.Units.size(), 4U);
    const TMemUnitRecord& unit = design.Units[1];
    EXPECT_EQ(std::tie(unit.Name, unit.AbsSeg, unit.Length),
              std::make_tuple("A_VERY_LONG_SEGMENT_NAME", 0xC806, 0x0123));
    EXPECT_EQ(design.Units[2].Name, name39);
    EXPECT_EQ(std::tie(design.Units[3].Name, design.Units[3].Length),
              std::make_tuple("Name" + std::string(17, ' ') + "X", 0x0020));

    const std::vector<std::vector<std::string>> malformed = {
        {"Memory: ROM Address: C800 Size: 8000"},
        {"Memory: ROM                  Address: $C8G0   Size: $08000"},
        {"Memory: ROM                  Address: $C800   Size 08000"},
        {"Memory: ROM                  Address: $C800   Size: $08000", "", "", "MAIN_TEXT  \t$0002\t$C801"},
        {"Memory: ROM                  Address: $C800   Size: $08000", "", "",
         "MAIN_TEXT  \t$0002\t$C8X1\t$0010"},
    };
    for (std::size_t i = 0; i < malformed.size(); ++i) {
        EXPECT_FALSE(ParseMemText(malformed[i], true, design, badLine)) << i;
        EXPECT_EQ(badLine, malformed[i].size()) << i;
    }
}

TEST_F(MemFileTest, WrittenFileHoldsModulesThenRelocationLinesAndReadsBackInAFullAndInASmallProject) {
    OpenPlacedDemo(MakeDemoProgramWithGraph());
    ExpectSameDesign(design_); // as the fixture's file placed it
    EXPECT_TRUE(ProjectModel().Unplaced->Empty());
    MemFileOK = false;
    ASSERT_TRUE(WriteMemFile());
    EXPECT_TRUE(MemFileOK);
    EXPECT_EQ(ReadFileWriteTime(File("DEMO.MEM")), ExeFileTime);

    const std::vector<std::string> lines = SplitLines(dir_.Text("DEMO.MEM"));
    const std::vector<std::string> moduleSection = SplitLines(BuildMemText(design_));
    ASSERT_GT(lines.size(), moduleSection.size() + 2);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + moduleSection.size()), moduleSection);
    EXPECT_EQ(lines[moduleSection.size()], "");
    EXPECT_EQ(lines[moduleSection.size() + 1], " Name                 \t Rel\t Abs\t Size");
    const std::vector<std::string> units(lines.begin() + moduleSection.size() + 2, lines.end());
    ASSERT_EQ(units.size(), ExpectedUnits(layout_).size());
    // By relative segment: the data group, the code from the image start, the synthetic units last.
    EXPECT_TRUE(units.front().starts_with("START_TEXT           \t$0000\t$C806\t$")) << units.front();
    EXPECT_EQ(units.back(), "-- LOADER --         \t$FFFF\t$C800\t$0060");
    EXPECT_TRUE(units[units.size() - 2].starts_with("-- INITDATA --       \t$FFFE\t$"))
        << units[units.size() - 2];
    // The file ends its lines with CR LF.
    EXPECT_NE(dir_.Text("DEMO.MEM").find("Heap\r\n"), std::string::npos);
    // Writing again keeps the previous file as the backup.
    ASSERT_TRUE(WriteMemFile());
    EXPECT_EQ(SplitLines(dir_.Text("DEMO.~EM")), lines);

    presenter_.Clear();
    ASSERT_TRUE(OpenFixture(layout_));
    ASSERT_TRUE(ReadMemFile());
    ASSERT_TRUE(WriteMemFile()); // "Save .MEM" before any table is built keeps the section read
    EXPECT_EQ(SplitLines(dir_.Text("DEMO.MEM")), lines);
    ExpectSameDesign(design_);
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    // The design check sized INITCODE from the IROM module.
    EXPECT_EQ(ProjectModel().InitCodeUnit->Length, ProjectModel().IromModule->Used + 16);

    // A SMALL project reads the units' segments and sizes from the relocation lines, its time from the file.
    BuildRelocTable(*ProjectModel().Modules);
    std::map<std::string, std::tuple<std::uint16_t, std::uint16_t, MUnitT>> placed; // AbsSeg, Length, Kind
    ProjectModel().RelocTable->ForEach([&](const tModUnit& unit) {
        placed[unit.Name] = {unit.AbsSeg, unit.Length, unit.Kind};
    });
    const FileTime memTime = ReadFileWriteTime(File("DEMO.MEM")).value();
    ResetProjectModel();
    ExeFileTime = FileTime{};
    ProjectType = TProjectType::Small;
    ASSERT_TRUE(ReadMemFile());
    EXPECT_EQ(ExeFileTime, memTime);
    EXPECT_TRUE(MemFileOK);
    ExpectSameDesign(design_);
    std::size_t seen = 0;
    ProjectModel().Modules->ForEach([&](const tModule& module) {
        EXPECT_EQ(module.Used, module.SumOfUnitSizes());
        module.ForEach([&](const tModUnit& unit) {
            ++seen;
            EXPECT_EQ(std::tie(unit.RelSeg, unit.Length, unit.Kind), placed.at(unit.Name)) << unit.Name;
        });
    });
    EXPECT_EQ(seen, placed.size());
    EXPECT_EQ(ProjectModel().Modules->At(1)->MemType(), ModuleT::IROM);
}

TEST_F(MemFileTest, SmallProjectTakesOnlyTheRelocationLinesOfItsUnits) {
    LayOutDemo();
    const std::string firstUnit = design_.modules.front().units.front();
    std::string text = BuildMemText(design_);
    text += "\r\n Name                 \t Rel\t Abs\t Size\r\n";
    text += "NOT_IN_ANY_MODULE    \t$0001\t$0123\t$0040\r\n";
    text += firstUnit + std::string(21 - firstUnit.size(), ' ') + "\t$0000\t$0456\t$0020\r\n";
    dir_.Write("DEMO.MEM", text);
    ProjectName = "DEMO";
    ProjectType = TProjectType::Small;
    ASSERT_TRUE(ReadMemFile());
    ExpectSameDesign(design_);
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    const tModUnit* unit = ProjectModel().Modules->First()->UnitByName(firstUnit);
    EXPECT_EQ(std::tie(unit->RelSeg, unit->Length), std::make_tuple(0x0456, 0x0020));
    EXPECT_EQ(ProjectModel().Modules->First()->Used, 0x20U);
    EXPECT_EQ(ProjectModel().Modules->Last()->Used, 0U); // units without a line are empty
    EXPECT_EQ(ProjectModel().Modules->UnitByName("NOT_IN_ANY_MODULE"), nullptr);
}

TEST_F(MemFileTest, RemovedAndAddedUnitsAreTold) {
    LayOutDemo();
    FixtureDesign withStranger = design_;
    withStranger.modules[0].units.push_back("NO_SUCH_UNIT");
    ASSERT_TRUE(OpenFixture(layout_, &withStranger));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Some units were removed."});
    EXPECT_TRUE(MemFileOK);

    FixtureDesign missing = design_;
    missing.modules[1].units.pop_back();
    missing.modules.push_back(FixtureModule{"EMPTY", 0xF000, 0x1000, {}});
    presenter_.Clear();
    ASSERT_TRUE(OpenFixture(layout_, &missing));
    // Units are left to place: the design is not checked yet (no empty-module finding).
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"\nSome units were added."});
    EXPECT_EQ(ProjectModel().Unplaced->Count(), 1);
}

TEST_F(MemFileTest, AFailedReadLeavesTheDesignAndAGoodOneReplacesIt) {
    OpenPlacedDemo(MakeDemoProgram());
    std::string text = BuildMemText(design_);
    text.replace(text.find("Address: $C800"), 14, "Address: $C8Z0");
    for (const bool missing : {true, false}) {
        if (missing) {
            std::filesystem::remove(File("DEMO.MEM"));
        } else {
            dir_.Write("DEMO.MEM", text);
        }
        MemFileOK = true; // a flag left from an earlier read does not survive a failed one
        EXPECT_FALSE(ReadMemFile());
        EXPECT_FALSE(MemFileOK);
        ExpectSameDesign(design_);
        EXPECT_NE(ProjectModel().RelocTable, nullptr);
    }
    ASSERT_EQ(presenter_.Boxes().size(), 1U) << "a missing file is no error";
    EXPECT_TRUE(presenter_.Texts()[0].starts_with("Invalid .MEM file!")) << presenter_.Texts()[0];

    // A design that puts only the data units in place: the code goes back to the unplaced units.
    FixtureDesign ramOnly;
    ramOnly.modules.push_back(design_.modules.front());
    dir_.Write("DEMO.MEM", BuildMemText(ramOnly));
    ASSERT_TRUE(ReadMemFile());
    ExpectSameDesign(ramOnly);
    EXPECT_EQ(ProjectModel().Unplaced->Count(),
              static_cast<std::int32_t>(design_.modules.back().units.size()));
    EXPECT_EQ(ProjectModel().RelocTable, nullptr);
}

TEST_F(MemFileTest, FileOfAnyCaseIsReadAndReplacedAndAnUnwritableFolderKeepsIt) {
    LayOutDemo();
    ASSERT_TRUE(OpenFixture(layout_));
    dir_.Write("demo.mem", BuildMemText(design_));
    ASSERT_TRUE(ReadMemFile());
    ExpectSameDesign(design_);
    ASSERT_TRUE(WriteMemFile());
    EXPECT_FALSE(std::filesystem::exists(File("DEMO.MEM")));
    const std::string written = dir_.Text("demo.mem");
    EXPECT_EQ(SplitLines(written), SplitLines(BuildMemText(design_)));

    if (!dir_.MakeReadOnly()) {
        GTEST_SKIP() << "the folder cannot be made read-only here";
    }
    MemFileOK = false;
    EXPECT_FALSE(WriteMemFile());
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Can't write .MEM file."});
    EXPECT_FALSE(MemFileOK);
    EXPECT_EQ(dir_.Text("demo.mem"), written);
}

} // namespace
} // namespace ravlo
