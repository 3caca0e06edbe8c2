#include "fixtures/code_assembler.h"
#include "fixtures/exe_writer.h"
#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "platform/file_time.h"
#include "project/map_reader.h"
#include "project/mem_file.h"
#include "project/mem_text.h"
#include "project/module_collection.h"
#include "project/project_files.h"
#include "project/project_globals.h"
#include "project/project_test_support.h"
#include "project/reloc_table.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace ravlo {
namespace {

using namespace fixtures;
using testing::CodeBytes;
using testing::ProjectTest;
using testing::SplitLines;

constexpr std::string_view kRamCodeWarning =
    "Warning: you are using CodeInDataSeg unit and thus you should have INITCODE module.";

// The segments with a data group of dataBytes and a stack; entry at the first segment.
ProgramLayout Program(std::vector<FixtureSegment> segments, std::uint32_t dataBytes) {
    ProgramDescription program;
    program.segments = std::move(segments);
    program.entryLabel = program.segments.front().name + "_ENTRY";
    FixtureSegment data = ZeroSegment("_DATA", "DATA", dataBytes, "DGROUP");
    data.bytes.assign(dataBytes, 0x5A);
    program.segments.push_back(std::move(data));
    program.segments.push_back(ZeroSegment("STACK", "STACK", 0x100));
    return LayOutProgram(program);
}

// The units of the unplaced-units module, each held against what the map describes.
void ExpectUnitsOf(const ProgramLayout& layout) {
    const tModule& unplaced = *ProjectModel().Unplaced;
    const std::vector<ExpectedUnit> expected = ExpectedUnits(layout);
    ASSERT_EQ(unplaced.Count(), static_cast<std::int32_t>(expected.size()));
    for (const ExpectedUnit& unit : expected) {
        const tModUnit* actual = unplaced.UnitByName(unit.name);
        ASSERT_NE(actual, nullptr) << unit.name;
        EXPECT_EQ(static_cast<int>(actual->Kind), static_cast<int>(unit.kind)) << unit.name;
        EXPECT_EQ(std::tie(actual->RelSeg, actual->Offset, actual->Length),
                  std::tie(unit.relSeg, unit.offset, unit.length))
            << unit.name;
    }
    for (std::int32_t i = 1; i < unplaced.Count(); ++i) {
        EXPECT_LE(unplaced.At(i - 1)->Kind, unplaced.At(i)->Kind);
    }
}

class ProjectOpenTest : public ProjectTest {
protected:
    ProjectOpenTest() {
        previousHook_ = SetProjectRefreshHook([this] { ++refreshes_; });
    }
    ~ProjectOpenTest() override { SetProjectRefreshHook(previousHook_); }

    // Writes the project, then replaces its map with text, written mapAge seconds before the
    // executable.
    bool OpenWithMap(const ProgramLayout& layout, const std::string& mapText, int mapAge = 0) {
        const ProjectFilePaths paths = WriteProjectFiles(dir_.Path(), "DEMO", layout);
        WriteFixtureFile(paths.map, mapText);
        const FileTime exeTime = ReadFileWriteTime(paths.exe).value();
        WriteFileWriteTime(paths.map, FileTime{exeTime.ns - mapAge * 1'000'000'000LL});
        ProjectType = TProjectType::Full;
        ProjectName = "DEMO";
        ExeFileTime = exeTime;
        return OpenProjectFiles();
    }

    void ExpectNotOpened() {
        EXPECT_EQ(ProjectModel().Unplaced, nullptr);
        EXPECT_EQ(ProjectModel().Modules, nullptr);
        EXPECT_EQ(ProjectModel().Exe, nullptr);
        EXPECT_FALSE(MapFileOK);
    }

    int refreshes_ = 0;
    ProjectRefreshHook previousHook_;
};

TEST_F(ProjectOpenTest, DemoProgramGivesTheMapsUnitsAndAnEmptyDesign) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    ASSERT_TRUE(OpenFixture(layout));
    ExpectUnitsOf(layout);
    EXPECT_TRUE(ExeFileOK && MapFileOK);
    ASSERT_NE(ProjectModel().Modules, nullptr);
    EXPECT_TRUE(ProjectModel().Modules->Empty());
    EXPECT_EQ(std::tie(ProjectModel().LoadImageSize, ProjectModel().DS, ProjectModel().CodeInDataSegUsed),
              std::make_tuple(layout.image.size(), DataSegment(layout).value(), false));
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    // The segment list has ended after the stack line and the empty line (a 3-line heading first).
    EXPECT_EQ(ProjectModel().Map->LineCount(), 3 + layout.segments.size() + 1);
    // Without a heap segment the heap is an empty unit after the stack.
    const PlacedSegment* stack = layout.FindSegment("STACK");
    const tModUnit* heap = ProjectModel().Unplaced->UnitByName("Heap");
    EXPECT_EQ(std::tie(heap->Kind, heap->Length), std::make_tuple(MUnitT::Heap, 0));
    EXPECT_EQ(heap->RelSeg, stack->frame() + stack->length / 16);
    EXPECT_EQ(ProjectModel().HeapSeg, heap->RelSeg);
}

TEST_F(ProjectOpenTest, CloseSavesOnlyAPlacedDesignAndFreesTheModel) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    ASSERT_TRUE(OpenFixture(layout));
    CloseProjectFiles();
    EXPECT_EQ(ProjectModel().Unplaced, nullptr);
    EXPECT_EQ(ProjectModel().Modules, nullptr);
    EXPECT_EQ(ProjectModel().Map, nullptr);
    EXPECT_FALSE(std::filesystem::exists(File("DEMO.MEM"))); // no placement happened

    const FixtureDesign design = PlaceAllUnits(layout);
    ASSERT_TRUE(OpenFixture(layout, &design));
    BuildRelocTable(*ProjectModel().Modules);
    std::filesystem::remove(File("DEMO.MEM"));
    CloseProjectFiles();
    const std::vector<std::string> lines = SplitLines(dir_.Text("DEMO.MEM"));
    EXPECT_NE(std::find(lines.begin(), lines.end(), MemRelocHeaderLine()), lines.end());
}

TEST_F(ProjectOpenTest, RamCodeGivesTheInitCodeUnitAndOneWarningUntilTheFlagIsCleared) {
    const ProgramLayout layout =
        Program({CodeBytes("MAIN_TEXT", 20), CodeBytes("Graph", 12), CodeBytes("ScGraph", 9)}, 32);
    ASSERT_TRUE(OpenFixture(layout));
    ExpectUnitsOf(layout);
    EXPECT_TRUE(ProjectModel().CodeInDataSegUsed);
    ASSERT_NE(ProjectModel().InitCodeUnit, nullptr);
    EXPECT_EQ(ProjectModel().InitCodeUnit->Name, "-- INITCODE --");
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{std::string(kRamCodeWarning)}); // one for both

    // The warning stays shown until the main form clears the project globals at project close.
    presenter_.Clear();
    ASSERT_TRUE(OpenFixture(layout));
    EXPECT_TRUE(presenter_.Boxes().empty());
    ResetProjectGlobals();
    ASSERT_TRUE(OpenFixture(layout));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{std::string(kRamCodeWarning)});
}

TEST_F(ProjectOpenTest, ByteAlignedSegmentsAndTheWorkBuffer) {
    // 27 bytes put the next segment's start at $0001B: offset B in segment $0001; C at $0002F.
    const ProgramLayout small =
        Program({CodeBytes("A_TEXT", 27), CodeBytes("B_TEXT", 20, true), CodeBytes("C_TEXT", 7, true)}, 16);
    ASSERT_TRUE(OpenFixture(small));
    ExpectUnitsOf(small);
    EXPECT_EQ(ProjectModel().Unplaced->UnitByName("C_TEXT")->Offset, 0xF);
    EXPECT_EQ(ProjectModel().Unplaced->UnitByName("C_TEXT")->RoundedSize(), 32U);
    EXPECT_EQ(ProjectModel().WorkBufferSize, 512U); // at least

    // The buffer grows to the largest code unit (from its paragraph) and the initial data.
    const ProgramLayout large =
        Program({CodeBytes("A_TEXT", 0x1800), CodeBytes("B_TEXT", 0x2345, true)}, 0x3000);
    ASSERT_TRUE(OpenFixture(large));
    const tModUnit* b = ProjectModel().Unplaced->UnitByName("B_TEXT");
    EXPECT_EQ(ProjectModel().WorkBufferSize, std::max<std::uint32_t>(b->Offset + 0x2345 + 16, 0x3000 + 16));
}

TEST_F(ProjectOpenTest, BadOrOldMapsAreRefused) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    const std::vector<std::string> lines = SplitLines(BuildMapText(layout));
    // Line 4 on: START_TEXT, MAIN_TEXT, IO_TEXT, _DATA, _BSS, STACK.
    ASSERT_NE(lines.at(6).find("_DATA"), std::string::npos);
    ASSERT_NE(lines.at(8).find("STACK"), std::string::npos);
    const auto withClass = [&](std::size_t index, const std::string& className) {
        return std::make_pair(index, lines[index].substr(0, lines[index].rfind(' ') + 1) + className);
    };
    const auto withChar = [&](std::size_t index, std::size_t at, char c) {
        return std::make_pair(index, lines[index].substr(0, at) + c + lines[index].substr(at + 1));
    };
    const auto edited = [&](const std::map<std::size_t, std::string>& changes) {
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            text += (changes.contains(i) ? changes.at(i) : lines[i]) + "\r\n";
        }
        return text;
    };
    const std::string invalid = "Invalid .MAP file!";
    const std::vector<std::tuple<const char*, std::string, int, std::string>> cases = {
        {"no data", edited({withClass(6, "CODE"), withClass(7, "CODE")}), 0, invalid},
        {"no stack", edited({withClass(8, "HEAP")}), 0, invalid},
        // Column 6 holds the in-paragraph digit; lower case is never written.
        {"bad offset digit", edited({withChar(4, 5, 'x')}), 0, "Bad (modified) .MAP file"},
        {"bad segment digit", edited({withChar(4, 2, 'G')}), 0, invalid},
        {"short line", edited({{4, lines[4].substr(0, 15)}}), 0, invalid},
        {"no segment list", "\r\n Start\r\n\r\n", 0, invalid},
        {"older than the executable", BuildMapText(layout), 1,
         "Map file out of date. Please, recompile application."},
    };
    for (const auto& [what, map, age, message] : cases) {
        presenter_.Clear();
        EXPECT_FALSE(OpenWithMap(layout, map, age)) << what;
        EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{message}) << what;
        ExpectNotOpened();
    }
    EXPECT_EQ(refreshes_, 6) << "a bad map refreshes the windows";

    ASSERT_TRUE(OpenWithMap(layout, edited({withChar(4, 5, 'E')}))); // hex letters are digits too
    EXPECT_EQ(ProjectModel().Unplaced->UnitByName("MAIN_TEXT")->Offset, 14);
}

TEST_F(ProjectOpenTest, MissingMapOrExecutableCannotBeOpened) {
    const ProjectFilePaths paths = WriteProjectFiles(dir_.Path(), "DEMO", LayOutProgram(MakeDemoProgram()));
    std::filesystem::remove(paths.map);
    ProjectName = "DEMO";
    EXPECT_FALSE(OpenProjectFiles());
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Could not open file: " + paths.map.string()});
    EXPECT_TRUE(ExeFileOK);
    ExpectNotOpened();

    ExeFileOK = false;
    ProjectName = "NONE";
    presenter_.Clear();
    EXPECT_FALSE(OpenProjectFiles());
    EXPECT_FALSE(ExeFileOK);
    EXPECT_EQ(presenter_.Texts(),
              std::vector<std::string>{"Could not open file: " + File("NONE.EXE").string()});
}

TEST_F(ProjectOpenTest, ProjectFilesAreFoundInAnyCase) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    const ProjectFilePaths paths = WriteProjectFiles(dir_.Path(), "demo", layout);
    std::filesystem::rename(paths.exe, File("demo.exe"));
    std::filesystem::rename(paths.map, File("demo.map"));
    ProjectName = "DEMO";
    ExeFileTime = ReadFileWriteTime(File("demo.exe")).value();
    ASSERT_TRUE(OpenProjectFiles());
    ExpectUnitsOf(layout);

    SetProjectPath(File("Demo.exe"));
    EXPECT_EQ(ProjectDir, dir_.Path().string() + "/");
    EXPECT_EQ(ProjectName, "Demo");
    EXPECT_EQ(ProjectFilePath("ROM.BIN"), File("ROM.BIN"));
    dir_.Write("rom.bin", "x");
    EXPECT_EQ(ProjectFilePath("ROM.BIN"), File("rom.bin"));
}

} // namespace
} // namespace ravlo
