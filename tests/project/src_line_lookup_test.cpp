#include "fixtures/code_assembler.h"
#include "fixtures/sample_programs.h"
#include "project/map_reader.h"
#include "project/mem_file.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_test_support.h"
#include "project/reloc_table.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using namespace fixtures;
using testing::ProjectTest;

// A code segment with one line section per (source, first line, line count) entry; each line is
// one NOP, so line i of a section is at the offset of its NOP. skip NOPs come before any line.
FixtureSegment LinedCode(const std::string& name,
                         const std::vector<std::tuple<std::string, int, int>>& sources, int skip = 0) {
    CodeAssembler code(name, "CODE");
    code.Label(name + "_ENTRY", true);
    for (int i = 0; i < skip; ++i) {
        code.Nop();
    }
    for (const auto& [source, first, count] : sources) {
        code.Source(source + ".obj", source);
        for (int line = first; line < first + count; ++line) {
            code.Line(static_cast<std::uint32_t>(line));
            code.Nop();
        }
    }
    code.Retf();
    return code.Finish();
}

class SrcLineLookupTest : public ProjectTest {
protected:
    void Open(const ProgramDescription& program, const MapOptions& options = {}) {
        const ProgramLayout layout = LayOutProgram(program);
        const FixtureDesign design = PlaceAllUnits(layout);
        ASSERT_TRUE(OpenFixture(layout, &design, options));
        presenter_.Clear();
        BuildRelocTable(*ProjectModel().Modules);
    }

    const tModUnit& Unit(const std::string& name) const { return *ProjectModel().Modules->UnitByName(name); }
    TSrcLineResult Find(std::uint16_t segment, std::uint16_t offset) const {
        return ProjectModel().Map->FindSrcLine(MakeFarPtr(offset, segment));
    }
    TSrcLineResult FindIn(const std::string& unit, std::uint16_t offset) const {
        return Find(Unit(unit).AbsSeg, offset);
    }

    static void ExpectResult(const TSrcLineResult& actual, const TSrcLineResult& expected,
                             const std::string& what) {
        EXPECT_EQ(std::tie(actual.Code, actual.Name, actual.Line),
                  std::tie(expected.Code, expected.Name, expected.Line))
            << what;
    }
};

// A_TEXT2 and its sections come first in the map; A_TEXT must not take them. A_TEXT has 6 bytes
// before its first line, then two sections of 6 lines.
ProgramDescription TwoSources() {
    ProgramDescription program;
    program.segments = {LinedCode("A_TEXT2", {{"TWO.ASM", 100, 9}}),
                        LinedCode("A_TEXT", {{"FIRST.ASM", 20, 6}, {"SECOND.ASM", 70, 6}}, 6),
                        ZeroSegment("_DATA", "DATA", 0x20, "DGROUP"), ZeroSegment("STACK", "STACK", 0x100)};
    program.entryLabel = "A_TEXT2_ENTRY";
    return program;
}

TEST_F(SrcLineLookupTest, AnOffsetGivesTheLastLineAtOrBeforeItFromCrLfAndLfMaps) {
    for (const LineEnd ends : {LineEnd::CrLf, LineEnd::Lf}) {
        Open(TwoSources(), MapOptions{ends});
        const std::tuple<const char*, std::uint16_t, TSrcLineResult> cases[] = {
            {"A_TEXT", 5, {4, "A_TEXT", Unit("A_TEXT").RelSeg}}, // before the first line
            {"A_TEXT", 6, {5, "FIRST.ASM", 20}},
            {"A_TEXT", 11, {5, "FIRST.ASM", 25}},
            {"A_TEXT", 12, {5, "SECOND.ASM", 70}},
            {"A_TEXT", 17, {5, "SECOND.ASM", 75}},
            {"A_TEXT2", 0, {5, "TWO.ASM", 100}},
            {"A_TEXT2", 8, {5, "TWO.ASM", 108}},
        };
        for (const auto& [unit, offset, expected] : cases) {
            ExpectResult(FindIn(unit, offset), expected, unit + std::string("+") + std::to_string(offset));
        }
    }
    EXPECT_TRUE(presenter_.Boxes().empty());
}

TEST_F(SrcLineLookupTest, AddressesWithoutALine) {
    Open(TwoSources());
    const tModUnit& code = Unit("A_TEXT");
    ExpectResult(FindIn("A_TEXT", static_cast<std::uint16_t>(code.Offset + code.Length + 1)),
                 {2, "A_TEXT", code.RelSeg}, "one past the end");
    ExpectResult(FindIn("Data", 4), {3, "Data", ProjectModel().DS}, "data");
    ExpectResult(Find(0x9000, 0), {0, "", 0}, "no unit");
    ExpectResult(FindIn("-- LOADER --", 0), {3, "-- LOADER --", 0xFFFF}, "the loader is no program code");
    // A normalised pointer is found by its linear address.
    const TSegOfsPtr normalised = LinToFarPtr(code.AbsSeg * 16U + 16);
    ASSERT_NE(normalised.Seg, code.AbsSeg);
    ExpectResult(ProjectModel().Map->FindSrcLine(normalised), {5, "SECOND.ASM", 74}, "normalised");
}

TEST_F(SrcLineLookupTest, UnitOutsideItsModuleAndMissingTable) {
    Open(MakeDemoProgram());
    // Without a relocation table the lookup places the design itself.
    ProjectModel().RelocTable.reset();
    EXPECT_EQ(FindIn("MAIN_TEXT", 0).Code, 5);
    EXPECT_NE(ProjectModel().RelocTable, nullptr);

    // A module shorter than its units no longer covers the last of them.
    tModule& rom = *ProjectModel().Modules->Last();
    const tModUnit& io = Unit("IO_TEXT");
    rom.Length = (io.AbsSeg - rom.Address) * 16U;
    ExpectResult(FindIn("IO_TEXT", 0), {1, "", 0}, "outside the module");
}

} // namespace
} // namespace ravlo
