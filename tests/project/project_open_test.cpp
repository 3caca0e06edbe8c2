#include "fixtures/code_assembler.h"
#include "fixtures/exe_writer.h"
#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "platform/file_time.h"
#include "project/exe_reader.h"
#include "project/map_reader.h"
#include "project/module_collection.h"
#include "project/project_files.h"
#include "project/project_globals.h"
#include "project/project_test_support.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <map>

namespace ravlo {
namespace {

using namespace fixtures;
using testing::ProjectTest;
using testing::SplitLines;

constexpr std::string_view kRamCodeWarning =
    "Warning: you are using CodeInDataSeg unit and thus you should have INITCODE module.";

// A code segment of count bytes (NOPs and a far return).
FixtureSegment CodeBytes(const std::string& name, std::uint32_t count, bool byteAligned = false) {
    CodeAssembler code(name, "CODE");
    for (std::uint32_t i = 1; i < count; ++i) {
        code.Nop();
    }
    code.Retf();
    FixtureSegment segment = code.Finish();
    segment.byteAligned = byteAligned;
    return segment;
}

FixtureSegment DataBytes(const std::string& name, std::uint32_t count) {
    FixtureSegment segment = ZeroSegment(name, "DATA", count, "DGROUP");
    segment.bytes.assign(count, 0x5A);
    return segment;
}

ProgramDescription Program(std::vector<FixtureSegment> segments) {
    ProgramDescription program;
    program.segments = std::move(segments);
    program.entryLabel = "ENTRY";
    program.segments.front().labels.push_back({"ENTRY", 0, true});
    return program;
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
        EXPECT_EQ(actual->RelSeg, unit.relSeg) << unit.name;
        EXPECT_EQ(actual->Offset, unit.offset) << unit.name;
        EXPECT_EQ(actual->Length, unit.length) << unit.name;
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

    // Writes the project, then replaces its map with text (the map keeps the executable's time).
    bool OpenWithMap(const ProgramLayout& layout, const std::string& mapText) {
        const ProjectFilePaths paths = WriteProjectFiles(dir_.Path(), "DEMO", layout);
        WriteFixtureFile(paths.map, mapText);
        const FileTime exeTime = ReadFileWriteTime(paths.exe).value();
        WriteFileWriteTime(paths.map, exeTime);
        ProjectType = TProjectType::Full;
        ProjectName = "DEMO";
        ExeFileTime = exeTime;
        return OpenProjectFiles();
    }

    // The demo's map with some lines changed.
    static std::string EditedMap(const ProgramLayout& layout,
                                 const std::map<std::size_t, std::string>& changes) {
        std::vector<std::string> lines = SplitLines(BuildMapText(layout));
        for (const auto& [index, line] : changes) {
            lines.at(index) = line;
        }
        std::string text;
        for (const std::string& line : lines) {
            text += line + "\r\n";
        }
        return text;
    }
    static std::string EditedMap(const ProgramLayout& layout, std::size_t index, const std::string& line) {
        return EditedMap(layout, {{index, line}});
    }

    // The line with its class field (the text after the name column) replaced.
    static std::string WithClass(std::string line, const std::string& className) {
        return line.substr(0, line.rfind(' ') + 1) + className;
    }

    int refreshes_ = 0;
    ProjectRefreshHook previousHook_;

    void ExpectNotOpened() {
        EXPECT_EQ(ProjectModel().Unplaced, nullptr);
        EXPECT_EQ(ProjectModel().Modules, nullptr);
        EXPECT_EQ(ProjectModel().Exe, nullptr);
        EXPECT_FALSE(MapFileOK);
    }
};

TEST_F(ProjectOpenTest, DemoProgramGivesTheMapsUnitsAndAnEmptyDesign) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    ASSERT_TRUE(OpenFixture(layout));
    ExpectUnitsOf(layout);
    EXPECT_TRUE(ExeFileOK);
    EXPECT_TRUE(MapFileOK);
    ASSERT_NE(ProjectModel().Modules, nullptr);
    EXPECT_TRUE(ProjectModel().Modules->Empty());
    EXPECT_EQ(ProjectModel().LoadImageSize, layout.image.size());
    EXPECT_EQ(ProjectModel().DS, DataSegment(layout).value());
    EXPECT_FALSE(ProjectModel().CodeInDataSegUsed);
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    // The segment list has ended after the stack line and the empty line (a 3-line heading first).
    EXPECT_EQ(ProjectModel().Map->LineCount(), 3 + layout.segments.size() + 1);
}

TEST_F(ProjectOpenTest, LfMapReadsAsCrLfMap) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    ASSERT_TRUE(OpenFixture(layout, nullptr, MapOptions{LineEnd::Lf}));
    ExpectUnitsOf(layout);
    for (std::int32_t i = 0; i < ProjectModel().Unplaced->Count(); ++i) {
        EXPECT_EQ(ProjectModel().Unplaced->At(i)->Name.find('\r'), std::string::npos);
    }
}

TEST_F(ProjectOpenTest, RamCodeGivesInitCodeUnitHeapSegmentAndOneWarning) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgramWithGraph());
    ASSERT_TRUE(OpenFixture(layout));
    ExpectUnitsOf(layout);
    EXPECT_TRUE(ProjectModel().CodeInDataSegUsed);
    ASSERT_NE(ProjectModel().InitCodeUnit, nullptr);
    EXPECT_EQ(ProjectModel().InitCodeUnit->Name, "-- INITCODE --");
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{std::string(kRamCodeWarning)});

    // The warning stays shown until the main form clears the flag at project close.
    presenter_.Clear();
    ASSERT_TRUE(OpenFixture(layout));
    EXPECT_TRUE(presenter_.Boxes().empty());
    CodeInDataSegWarned = false;
    ASSERT_TRUE(OpenFixture(layout));
    EXPECT_TRUE(presenter_.Showed(kRamCodeWarning));
}

TEST_F(ProjectOpenTest, TwoRamCodeSegmentsWarnOnce) {
    std::vector<FixtureSegment> segments{CodeBytes("MAIN_TEXT", 20), CodeBytes("Graph", 12),
                                         CodeBytes("ScGraph", 9), DataBytes("_DATA", 32),
                                         ZeroSegment("STACK", "STACK", 0x100)};
    const ProgramLayout layout = LayOutProgram(Program(std::move(segments)));
    ASSERT_TRUE(OpenFixture(layout));
    ExpectUnitsOf(layout);
    EXPECT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_EQ(ProjectModel().Unplaced->UnitByName("ScGraph")->Kind, MUnitT::CodeInDataSeg);
}

TEST_F(ProjectOpenTest, ByteAlignedSegmentsGiveOffsetsUpToF) {
    // 27 bytes put the next segment's start at $0001B: offset B in segment $0001.
    std::vector<FixtureSegment> segments{CodeBytes("A_TEXT", 27), CodeBytes("B_TEXT", 20, true),
                                         CodeBytes("C_TEXT", 7, true), DataBytes("_DATA", 16),
                                         ZeroSegment("STACK", "STACK", 0x100)};
    const ProgramLayout layout = LayOutProgram(Program(std::move(segments)));
    ASSERT_TRUE(OpenFixture(layout));
    ExpectUnitsOf(layout);
    const tModUnit* b = ProjectModel().Unplaced->UnitByName("B_TEXT");
    EXPECT_EQ(b->RelSeg, 1);
    EXPECT_EQ(b->Offset, 0xB);
    // 27 + 20 = 47: C starts at $0002F.
    EXPECT_EQ(ProjectModel().Unplaced->UnitByName("C_TEXT")->Offset, 0xF);
    EXPECT_EQ(ProjectModel().Unplaced->UnitByName("C_TEXT")->RoundedSize(), 32U);
    EXPECT_EQ(ProjectModel().WorkBufferSize, 512U);
}

TEST_F(ProjectOpenTest, WorkBufferGrowsToLargestCodeAndInitData) {
    std::vector<FixtureSegment> segments{CodeBytes("A_TEXT", 0x1800), CodeBytes("B_TEXT", 0x2345, true),
                                         DataBytes("_DATA", 0x3000), ZeroSegment("STACK", "STACK", 0x100)};
    const ProgramLayout layout = LayOutProgram(Program(std::move(segments)));
    ASSERT_TRUE(OpenFixture(layout));
    const tModUnit* b = ProjectModel().Unplaced->UnitByName("B_TEXT");
    EXPECT_EQ(ProjectModel().WorkBufferSize, std::max<std::uint32_t>(b->Offset + 0x2345 + 16, 0x3000 + 16));
}

TEST_F(ProjectOpenTest, MapWithoutHeapGivesEmptyHeapAfterStack) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    ASSERT_TRUE(OpenFixture(layout));
    const PlacedSegment* stack = layout.FindSegment("STACK");
    const tModUnit* heap = ProjectModel().Unplaced->UnitByName("Heap");
    ASSERT_NE(heap, nullptr);
    EXPECT_EQ(heap->Kind, MUnitT::Heap);
    EXPECT_EQ(heap->Length, 0);
    EXPECT_EQ(heap->RelSeg, stack->frame() + stack->length / 16);
    EXPECT_EQ(ProjectModel().HeapSeg, heap->RelSeg);
}

TEST_F(ProjectOpenTest, MapWithoutDataOrStackIsRefused) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    const std::vector<std::string> lines = SplitLines(BuildMapText(layout));
    // Line 4 on: START_TEXT, MAIN_TEXT, IO_TEXT, _DATA, _BSS, STACK.
    ASSERT_NE(lines.at(6).find("_DATA"), std::string::npos);
    ASSERT_NE(lines.at(8).find("STACK"), std::string::npos);

    ASSERT_FALSE(OpenWithMap(
        layout, EditedMap(layout, {{6, WithClass(lines[6], "CODE")}, {7, WithClass(lines[7], "CODE")}})));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Invalid .MAP file!"});
    ExpectNotOpened();

    presenter_.Clear();
    ASSERT_FALSE(OpenWithMap(layout, EditedMap(layout, 8, WithClass(lines[8], "HEAP"))));
    EXPECT_TRUE(presenter_.Showed("Invalid .MAP file!"));
    ExpectNotOpened();
    EXPECT_EQ(refreshes_, 2);
}

TEST_F(ProjectOpenTest, MalformedSegmentLinesAreRefused) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    const std::string mainLine = SplitLines(BuildMapText(layout)).at(4);

    std::string badOffset = mainLine; // column 6: the in-paragraph digit, lower case is not written
    badOffset[5] = 'x';
    ASSERT_FALSE(OpenWithMap(layout, EditedMap(layout, 4, badOffset)));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Bad (modified) .MAP file"});
    ExpectNotOpened();

    presenter_.Clear();
    std::string badSegment = mainLine;
    badSegment[2] = 'G';
    ASSERT_FALSE(OpenWithMap(layout, EditedMap(layout, 4, badSegment)));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Invalid .MAP file!"});

    presenter_.Clear();
    ASSERT_FALSE(OpenWithMap(layout, EditedMap(layout, 4, mainLine.substr(0, 15))));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Invalid .MAP file!"});

    presenter_.Clear();
    ASSERT_FALSE(OpenWithMap(layout, "\r\n Start\r\n\r\n"));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Invalid .MAP file!"});
    ExpectNotOpened();
}

TEST_F(ProjectOpenTest, OffsetDigitsTakeHexLetters) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    std::string line = SplitLines(BuildMapText(layout)).at(4);
    line[5] = 'E';
    ASSERT_TRUE(OpenWithMap(layout, EditedMap(layout, 4, line)));
    EXPECT_EQ(ProjectModel().Unplaced->UnitByName("MAIN_TEXT")->Offset, 14);
}

TEST_F(ProjectOpenTest, MapOlderThanExecutableIsOutOfDate) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    const ProjectFilePaths paths = WriteProjectFiles(dir_.Path(), "DEMO", layout);
    const FileTime exeTime = ReadFileWriteTime(paths.exe).value();
    WriteFileWriteTime(paths.map, FileTime{exeTime.ns - 1'000'000'000});
    ProjectName = "DEMO";
    ExeFileTime = exeTime;
    EXPECT_FALSE(OpenProjectFiles());
    EXPECT_EQ(presenter_.Texts(),
              std::vector<std::string>{"Map file out of date. Please, recompile application."});
    ExpectNotOpened();
}

TEST_F(ProjectOpenTest, MissingMapOrExecutableCannotBeOpened) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    const ProjectFilePaths paths = WriteProjectFiles(dir_.Path(), "DEMO", layout);
    std::filesystem::remove(paths.map);
    ProjectName = "DEMO";
    EXPECT_FALSE(OpenProjectFiles());
    ASSERT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_TRUE(presenter_.Texts()[0].starts_with("Could not open file: "));
    EXPECT_NE(presenter_.Texts()[0].find("DEMO.MAP"), std::string::npos);
    EXPECT_TRUE(ExeFileOK);
    ExpectNotOpened();

    ResetProjectGlobals();
    ProjectDir = dir_.Path().string() + "/";
    ProjectName = "NONE";
    presenter_.Clear();
    EXPECT_FALSE(OpenProjectFiles());
    EXPECT_FALSE(ExeFileOK);
    EXPECT_TRUE(presenter_.Texts().at(0).starts_with("Could not open file: "));
}

TEST_F(ProjectOpenTest, ProjectFilesAreFoundInAnyCase) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    const ProjectFilePaths paths = WriteProjectFiles(dir_.Path(), "demo", layout);
    for (const auto& path : {paths.exe, paths.map}) {
        std::string lower = path.filename().string();
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        std::filesystem::rename(path, File(lower));
    }
    ProjectName = "DEMO";
    ExeFileTime = ReadFileWriteTime(File("demo.exe")).value();
    ASSERT_TRUE(OpenProjectFiles());
    ExpectUnitsOf(layout);
}

TEST_F(ProjectOpenTest, CloseFreesTheModel) {
    const ProgramLayout layout = LayOutProgram(MakeDemoProgram());
    ASSERT_TRUE(OpenFixture(layout));
    CloseProjectFiles();
    EXPECT_EQ(ProjectModel().Unplaced, nullptr);
    EXPECT_EQ(ProjectModel().Modules, nullptr);
    EXPECT_EQ(ProjectModel().Map, nullptr);
    // No placement happened: nothing to save.
    EXPECT_FALSE(std::filesystem::exists(File("DEMO.MEM")));
}

TEST_F(ProjectOpenTest, ProjectPathGivesFolderAndNameAndFilesOfAnyCase) {
    SetProjectPath(File("Demo.exe"));
    EXPECT_EQ(ProjectDir, dir_.Path().string() + "/");
    EXPECT_EQ(ProjectName, "Demo");
    EXPECT_EQ(ProjectFilePath("ROM.BIN"), File("ROM.BIN"));
    dir_.Write("rom.bin", "x");
    EXPECT_EQ(ProjectFilePath("ROM.BIN"), File("rom.bin"));

    ExeFileOK = true;
    CodeInDataSegWarned = true;
    ResetProjectGlobals();
    EXPECT_TRUE(ProjectDir.empty());
    EXPECT_TRUE(ProjectName.empty());
    EXPECT_FALSE(ExeFileOK);
    EXPECT_FALSE(CodeInDataSegWarned);
    EXPECT_EQ(ProjectType, TProjectType::None);
}

} // namespace
} // namespace ravlo
