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

// Module name, address, length and unit names of the design in the model.
std::vector<FixtureModule> ModelDesign() {
    std::vector<FixtureModule> design;
    ProjectModel().Modules->ForEach([&design](const tModule& module) {
        FixtureModule& entry =
            design.emplace_back(FixtureModule{module.Name, module.Address, module.Length, {}});
        module.ForEach([&entry](const tModUnit& unit) { entry.units.push_back(unit.Name); });
    });
    return design;
}

void ExpectSameDesign(const FixtureDesign& expected) {
    const std::vector<FixtureModule> actual = ModelDesign();
    ASSERT_EQ(actual.size(), expected.modules.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].name, expected.modules[i].name);
        EXPECT_EQ(actual[i].address, expected.modules[i].address);
        EXPECT_EQ(actual[i].length, expected.modules[i].length);
        EXPECT_EQ(actual[i].units, expected.modules[i].units) << actual[i].name;
    }
}

TEST(MemTextTest, NamesAreCutToTheirLongestBeforeTheyAreTrimmed) {
    const std::string unit(39, 'U');
    const std::vector<std::string> lines = {
        // The name field runs into "Address" when the blank after "Memory:" is missing.
        "Memory:RAM                  Address: $0100   Size: $10000",
        "    " + unit + " tail",
        "",
        "",
        unit + " tail\t$0002\t$C801\t$0010",
    };
    TMemDesign design;
    std::size_t badLine = 0;
    ASSERT_TRUE(ParseMemText(lines, true, design, badLine));
    ASSERT_EQ(design.Modules.size(), 1U);
    EXPECT_EQ(design.Modules[0].Name, "RAM");
    EXPECT_EQ(design.Modules[0].UnitNames, std::vector<std::string>{unit});
    ASSERT_EQ(design.Units.size(), 1U);
    EXPECT_EQ(design.Units[0].Name, unit);
}

class MemFileTest : public ProjectTest {
protected:
    std::vector<std::string> MemLines() const { return SplitLines(dir_.Text("DEMO.MEM")); }

    // Opens the demo with its design placed and generated-ready (relocation table built).
    void OpenPlacedDemo(const ProgramDescription& program) {
        layout_ = LayOutProgram(program);
        design_ = PlaceAllUnits(layout_);
        ASSERT_TRUE(OpenFixtureWithDesign(layout_, design_));
        BuildRelocTable(*ProjectModel().Modules);
    }

    // A SMALL project of the file written so far: the model is gone, only the .MEM is read.
    bool ReopenAsSmall() {
        const FileTime memTime = ReadFileWriteTime(File("DEMO.MEM")).value();
        ResetProjectModel();
        ExeFileTime = FileTime{};
        ProjectType = TProjectType::Small;
        const bool read = ReadMemFile();
        EXPECT_EQ(ExeFileTime, memTime);
        return read;
    }

    ProgramLayout layout_;
    FixtureDesign design_;
};

TEST(MemTextTest, ModuleLinesPadTheNameAndCutTheSize) {
    tModule twenty("ABCDEFGHIJKLMNOPQRST", 0xC800, 0x10000);
    EXPECT_EQ(MemModuleLine(twenty), "Memory: ABCDEFGHIJKLMNOPQRST Address: $C800   Size: $10000");
    tModule shortName("RAM", 0x00B0, 0x123456);
    EXPECT_EQ(MemModuleLine(shortName), "Memory: RAM                  Address: $00B0   Size: $23456");
    EXPECT_EQ(MemRelocHeaderLine(), " Name                 \t Rel\t Abs\t Size");
    tModUnit unit(MUnitT::Code, "MAIN_TEXT", 0x0002, 3, 0x1234);
    unit.AbsSeg = 0xC801;
    EXPECT_EQ(MemRelocLine(unit), "MAIN_TEXT            \t$0002\t$C801\t$1234");
    const tModUnit longName(MUnitT::Code, "A_VERY_LONG_SEGMENT_NAME", 0x10, 0, 0x10);
    EXPECT_EQ(MemRelocLine(longName), "A_VERY_LONG_SEGMENT_NAME\t$0010\t$0000\t$0010");
    const tModUnit twentyOne(MUnitT::Code, "ABCDEFGHIJKLMNOPQRSTU", 0x10, 0, 0x10);
    EXPECT_EQ(MemRelocLine(twentyOne), "ABCDEFGHIJKLMNOPQRSTU\t$0010\t$0000\t$0010");
}

TEST(MemTextTest, ParsingReadsNamesAddressesSizesAndUnitLines) {
    const std::vector<std::string> lines = {
        "Memory: ROM                  Address: $C800   Size: $08000",
        "    -- LOADER --",
        "    MAIN_TEXT",
        "",
        "Memory: ABCDEFGHIJKLMNOPQRST Address: $E000   Size: $10000",
        "",
        "",
        " Name                 \t Rel\t Abs\t Size",
        "-- LOADER --         \t$FFFF\t$C800\t$0060",
        "A_VERY_LONG_SEGMENT_NAME\t$0010\t$C806\t$0123",
    };
    TMemDesign design;
    std::size_t badLine = 0;
    ASSERT_TRUE(ParseMemText(lines, true, design, badLine));
    ASSERT_EQ(design.Modules.size(), 2U);
    EXPECT_EQ(design.Modules[0].Name, "ROM");
    EXPECT_EQ(design.Modules[0].Address, 0xC800);
    EXPECT_EQ(design.Modules[0].Length, 0x8000U);
    EXPECT_EQ(design.Modules[0].UnitNames, (std::vector<std::string>{"-- LOADER --", "MAIN_TEXT"}));
    EXPECT_EQ(design.Modules[1].Name, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(design.Modules[1].Length, 0x10000U);
    EXPECT_TRUE(design.Modules[1].UnitNames.empty());
    ASSERT_EQ(design.Units.size(), 2U);
    EXPECT_EQ(design.Units[1].Name, "A_VERY_LONG_SEGMENT_NAME");
    EXPECT_EQ(design.Units[1].AbsSeg, 0xC806);
    EXPECT_EQ(design.Units[1].Length, 0x0123);

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

TEST_F(MemFileTest, FullProjectPlacesTheNamedUnits) {
    layout_ = LayOutProgram(MakeDemoProgram());
    design_ = PlaceAllUnits(layout_);
    ASSERT_TRUE(OpenFixtureWithDesign(layout_, design_));
    ExpectSameDesign(design_);
    EXPECT_TRUE(ProjectModel().Unplaced->Empty());
    EXPECT_TRUE(MemFileOK);
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    const tModule& ram = *ProjectModel().Modules->First();
    EXPECT_EQ(ram.MemType(), ModuleT::RAM);
    EXPECT_EQ(ram.Used, ram.SumOfUnitSizes());
    EXPECT_EQ(ProjectModel().Modules->Last()->MemType(), ModuleT::ROM);
}

TEST_F(MemFileTest, WrittenFileHoldsModulesThenRelocationLines) {
    OpenPlacedDemo(MakeDemoProgram());
    MemFileOK = false;
    ASSERT_TRUE(WriteMemFile());
    EXPECT_TRUE(MemFileOK);
    EXPECT_EQ(ReadFileWriteTime(File("DEMO.MEM")), ExeFileTime);

    const std::vector<std::string> lines = MemLines();
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
}

TEST_F(MemFileTest, WrittenDesignReadsBackInAFullProject) {
    OpenPlacedDemo(MakeDemoProgramWithGraph());
    ASSERT_TRUE(WriteMemFile());
    presenter_.Clear();
    ASSERT_TRUE(OpenFixture(layout_));
    ASSERT_TRUE(ReadMemFile());
    ExpectSameDesign(design_);
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    // The design check sized INITCODE from the IROM module.
    EXPECT_EQ(ProjectModel().InitCodeUnit->Length, ProjectModel().IromModule->Used + 16);
}

TEST_F(MemFileTest, SmallProjectReadsUnitsSegmentsAndSizes) {
    OpenPlacedDemo(MakeDemoProgramWithGraph());
    ASSERT_TRUE(WriteMemFile());
    std::map<std::string, std::pair<std::uint16_t, std::uint16_t>> placed; // name: AbsSeg, Length
    std::map<std::string, MUnitT> kinds;
    ProjectModel().RelocTable->ForEach([&](const tModUnit& unit) {
        placed[unit.Name] = {unit.AbsSeg, unit.Length};
        kinds[unit.Name] = unit.Kind;
    });

    ASSERT_TRUE(ReopenAsSmall());
    EXPECT_TRUE(MemFileOK);
    ExpectSameDesign(design_);
    std::size_t seen = 0;
    ProjectModel().Modules->ForEach([&](const tModule& module) {
        EXPECT_EQ(module.Used, module.SumOfUnitSizes());
        module.ForEach([&](const tModUnit& unit) {
            ++seen;
            EXPECT_EQ(unit.RelSeg, placed.at(unit.Name).first) << unit.Name;
            EXPECT_EQ(unit.Length, placed.at(unit.Name).second) << unit.Name;
            EXPECT_EQ(unit.Kind, kinds.at(unit.Name)) << unit.Name;
        });
    });
    EXPECT_EQ(seen, placed.size());
    const tModule* irom = ProjectModel().Modules->At(1);
    EXPECT_EQ(irom->MemType(), ModuleT::IROM);
}

TEST_F(MemFileTest, SmallProjectOfModulesOnlyHasEmptyUnits) {
    layout_ = LayOutProgram(MakeDemoProgram());
    design_ = PlaceAllUnits(layout_);
    dir_.Write("DEMO.MEM", BuildMemText(design_));
    ProjectName = "DEMO";
    ProjectType = TProjectType::Small;
    ASSERT_TRUE(ReadMemFile());
    ExpectSameDesign(design_);
    ProjectModel().Modules->ForEach([](const tModule& module) {
        EXPECT_EQ(module.Used, 0U);
        module.ForEach([](const tModUnit& unit) { EXPECT_EQ(unit.Length, 0); });
    });
    EXPECT_EQ(ProjectModel().Modules->First()->MemType(), ModuleT::RAM);
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
}

TEST_F(MemFileTest, SmallProjectPassesOverRelocationLinesOfUnknownUnits) {
    layout_ = LayOutProgram(MakeDemoProgram());
    design_ = PlaceAllUnits(layout_);
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
    const tModUnit* unit = ProjectModel().Modules->First()->UnitByName(firstUnit);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->RelSeg, 0x0456);
    EXPECT_EQ(unit->Length, 0x0020);
    EXPECT_EQ(ProjectModel().Modules->First()->Used, 0x20U);
    EXPECT_EQ(ProjectModel().Modules->UnitByName("NOT_IN_ANY_MODULE"), nullptr);
}

TEST_F(MemFileTest, RemovedAndAddedUnitsAreTold) {
    layout_ = LayOutProgram(MakeDemoProgram());
    design_ = PlaceAllUnits(layout_);
    FixtureDesign withStranger = design_;
    withStranger.modules[0].units.push_back("NO_SUCH_UNIT");
    ASSERT_TRUE(OpenFixtureWithDesign(layout_, withStranger));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Some units were removed."});
    EXPECT_TRUE(MemFileOK);

    FixtureDesign missing = design_;
    missing.modules[1].units.pop_back();
    missing.modules.push_back(FixtureModule{"EMPTY", 0xF000, 0x1000, {}});
    presenter_.Clear();
    ASSERT_TRUE(OpenFixtureWithDesign(layout_, missing));
    // Units are left to place: the design is not checked yet (no empty-module finding).
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"\nSome units were added."});
    EXPECT_EQ(ProjectModel().Unplaced->Count(), 1);
}

TEST_F(MemFileTest, MissingFileReadsNothingSilently) {
    layout_ = LayOutProgram(MakeDemoProgram());
    ASSERT_TRUE(OpenFixture(layout_));
    const tModuleCollection* before = ProjectModel().Modules.get();
    // A flag left from an earlier read does not survive a failed one.
    MemFileOK = true;
    EXPECT_FALSE(ReadMemFile());
    EXPECT_TRUE(presenter_.Boxes().empty());
    EXPECT_FALSE(MemFileOK);
    EXPECT_EQ(ProjectModel().Modules.get(), before);
}

TEST_F(MemFileTest, MalformedFileLeavesTheDesignAsItWas) {
    OpenPlacedDemo(MakeDemoProgram());
    const std::vector<FixtureModule> before = ModelDesign();
    std::string text = BuildMemText(design_);
    text.replace(text.find("Address: $C800"), 14, "Address: $C8Z0");
    dir_.Write("DEMO.MEM", text);
    MemFileOK = true;
    EXPECT_FALSE(ReadMemFile());
    ASSERT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_TRUE(presenter_.Texts()[0].starts_with("Invalid .MEM file!")) << presenter_.Texts()[0];
    EXPECT_FALSE(MemFileOK);
    const std::vector<FixtureModule> after = ModelDesign();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].units, before[i].units);
    }
    EXPECT_TRUE(ProjectModel().Unplaced->Empty());
    EXPECT_NE(ProjectModel().RelocTable, nullptr);
}

TEST_F(MemFileTest, ReadingAgainReplacesThePlacedDesign) {
    OpenPlacedDemo(MakeDemoProgram());
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

TEST_F(MemFileTest, FileOfAnyCaseIsReadAndReplaced) {
    layout_ = LayOutProgram(MakeDemoProgram());
    design_ = PlaceAllUnits(layout_);
    ASSERT_TRUE(OpenFixture(layout_));
    dir_.Write("demo.mem", BuildMemText(design_));
    ASSERT_TRUE(ReadMemFile());
    ExpectSameDesign(design_);
    ASSERT_TRUE(WriteMemFile());
    EXPECT_FALSE(std::filesystem::exists(File("DEMO.MEM")));
    EXPECT_EQ(SplitLines(dir_.Text("demo.mem")), SplitLines(BuildMemText(design_)));
}

TEST_F(MemFileTest, UnwritableFolderKeepsTheOldFile) {
    layout_ = LayOutProgram(MakeDemoProgram());
    design_ = PlaceAllUnits(layout_);
    ASSERT_TRUE(OpenFixtureWithDesign(layout_, design_));
    const std::string old = dir_.Text("DEMO.MEM");
    MemFileOK = false;
    if (!dir_.MakeReadOnly()) {
        GTEST_SKIP() << "the folder cannot be made read-only here";
    }
    EXPECT_FALSE(WriteMemFile());
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Can't write .MEM file."});
    EXPECT_FALSE(MemFileOK);
    EXPECT_EQ(dir_.Text("DEMO.MEM"), old);
}

TEST_F(MemFileTest, ClosingAPlacedProjectSavesItsDesign) {
    OpenPlacedDemo(MakeDemoProgram());
    CloseProjectFiles();
    EXPECT_EQ(ProjectModel().Modules, nullptr);
    const std::vector<std::string> lines = MemLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), MemRelocHeaderLine()), lines.end());
    EXPECT_TRUE(MemFileOK);
}

} // namespace
} // namespace ravlo
