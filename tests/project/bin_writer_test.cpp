#include "fixtures/code_assembler.h"
#include "fixtures/exe_writer.h"
#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "platform/file_time.h"
#include "project/bin_writer.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_test_support.h"
#include "project/reloc_table.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <numeric>

namespace ravlo {
namespace {

using namespace fixtures;
using testing::CodeBytes;
using testing::ProjectTest;

using Bytes = std::vector<std::uint8_t>;

std::uint16_t WordAt(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | (bytes.at(at + 1) << 8));
}

std::uint32_t ByteSum(const Bytes& bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), 0U);
}

// Where the design in the model put the units: the placement rules are the design's own tests.
// Fixups are moved by the fixture's frames, not by the relocation table under test.
class Placement {
public:
    explicit Placement(const ProgramLayout& layout) : layout_(layout) {
        for (const ExpectedUnit& unit : ExpectedUnits(layout)) {
            if (unit.length > 0 && unit.relSeg < 0xFFFD) {
                frames_.emplace(unit.relSeg, Abs(unit.name));
            }
        }
    }

    static const tModUnit& Unit(const std::string& name) { return *ProjectModel().Modules->UnitByName(name); }
    static std::uint16_t Abs(const std::string& unit) { return Unit(unit).AbsSeg; }
    std::uint16_t AbsOfFrame(std::uint16_t frame) const { return frames_.at(frame); }
    static const tModule& ModuleOf(const std::string& unit) {
        return *ProjectModel().Modules->FirstThat(
            [&unit](const tModule& m) { return m.UnitByName(unit) != nullptr; });
    }
    // Where the unit's first byte lies in its module's .BIN.
    static std::size_t PositionInBin(const std::string& unit) {
        return (Abs(unit) - ModuleOf(unit).Address) * 16U + Unit(unit).Offset;
    }

    // The load image bytes of [start, start + length) with every segment fixup in them relocated.
    Bytes RelocatedImage(std::uint32_t start, std::uint32_t length) const {
        Bytes bytes(layout_.image.begin() + start, layout_.image.begin() + start + length);
        for (const Relocation& fixup : layout_.relocations) {
            const std::uint32_t at = fixup.segment * 16U + fixup.offset;
            if (at >= start && at + 2 <= start + length) {
                const std::uint16_t abs = AbsOfFrame(WordAt(layout_.image, at));
                bytes[at - start] = static_cast<std::uint8_t>(abs);
                bytes[at - start + 1] = static_cast<std::uint8_t>(abs >> 8);
            }
        }
        return bytes;
    }

private:
    const ProgramLayout& layout_;
    std::map<std::uint16_t, std::uint16_t> frames_;
};

// Code segments of the given sizes, a small data group and a stack; entry at the first segment.
ProgramDescription CodeProgram(const std::vector<std::pair<std::string, std::uint32_t>>& code) {
    ProgramDescription program;
    for (const auto& [name, count] : code) {
        program.segments.push_back(CodeBytes(name, count));
    }
    // A far pointer to the entry gives the program a fixup outside its code.
    CodeAssembler data("_DATA", "DATA", "DGROUP");
    data.DdFar(code.front().first + "_ENTRY");
    data.Reserve(0x1C);
    program.segments.push_back(data.Finish());
    program.segments.push_back(ZeroSegment("STACK", "STACK", 0x100));
    program.entryLabel = code.front().first + "_ENTRY";
    return program;
}

// The code modules with a RAM module for the data units and a module for the loader and the
// initial data in front.
FixtureDesign WithRamAndLoader(std::vector<FixtureModule> codeModules) {
    FixtureDesign design;
    design.modules.push_back({"RAM", 0x0100, 0x10000, {"Data", "Stack", "Heap"}});
    design.modules.push_back({"LOAD", 0x4000, 0x800, {"-- LOADER --", "-- INITDATA --"}});
    for (FixtureModule& module : codeModules) {
        design.modules.push_back(std::move(module));
    }
    return design;
}

class BinWriterTest : public ProjectTest {
public:
    // Opens the program with the design (all units placed when none is given) and checks the design,
    // as Generate does first.
    void Open(const ProgramDescription& program, std::optional<FixtureDesign> design = {}) {
        layout_ = LayOutProgram(program);
        design_ = design ? *design : PlaceAllUnits(layout_);
        OpenLayout();
        ASSERT_TRUE(ProjectModel().Modules->CheckDesign());
        presenter_.Clear();
    }
    // Opens layout_ with design_ as they stand.
    void OpenLayout() {
        ASSERT_TRUE(OpenFixture(layout_, &design_));
        presenter_.Clear();
    }
    bool Generate() { return GenerateBinFiles(*ProjectModel().Modules); }
    Bytes Bin(const std::string& module) const {
        const std::string text = dir_.Text(module + ".BIN");
        return {text.begin(), text.end()};
    }

    // Every unit's bytes in its module's .BIN against the independently relocated image.
    void ExpectRelocatedUnits() {
        const Placement placement(layout_);
        for (const ExpectedUnit& unit : ExpectedUnits(layout_)) {
            if (unit.kind != UnitKind::Code || unit.length == 0) {
                continue;
            }
            const Bytes bin = Bin(placement.ModuleOf(unit.name).Name);
            const std::size_t at = placement.PositionInBin(unit.name);
            ASSERT_LE(at + unit.length, bin.size()) << unit.name;
            EXPECT_EQ(Bytes(bin.begin() + at, bin.begin() + at + unit.length),
                      placement.RelocatedImage(unit.relSeg * 16U + unit.offset, unit.length))
                << unit.name;
        }
    }

    void ExpectWellFormedBin(const std::string& module) {
        const Bytes bin = Bin(module);
        ASSERT_FALSE(bin.empty()) << module;
        EXPECT_EQ(bin.size() % 512, 0U) << module;
        EXPECT_EQ((Bytes{bin[0], bin[1]}), (Bytes{0x55, 0xAA})) << module;
        EXPECT_EQ(bin[2] * 512U, bin.size()) << module;
        EXPECT_EQ(ByteSum(bin) % 256, 0U) << module;
        EXPECT_EQ(ReadFileWriteTime(File(module + ".BIN")), ExeFileTime);
        EXPECT_EQ(Module(module).ModuleLength, bin.size());
    }

    ProgramLayout layout_;
    FixtureDesign design_;
};

TEST_F(BinWriterTest, OneByteCodeModule) {
    Open(CodeProgram({{"ONE_TEXT", 1}}), WithRamAndLoader({{"CODE", 0xC800, 0x8000, {"ONE_TEXT"}}}));
    ASSERT_FALSE(Generate());
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();

    const Bytes code = Bin("CODE");
    ASSERT_EQ(code.size(), 512U);
    // A far return ends the header; the segment's one byte, a far return too, follows the header paragraph.
    EXPECT_EQ((Bytes{code[2], code[3], code[16]}), (Bytes{0x01, 0xCB, 0xCB}));
    EXPECT_EQ(std::count(code.begin() + 4, code.end() - 1, 0xFF), 511 - 5);
    ExpectWellFormedBin("CODE");

    // The loader module: the board's loader with the program's values, then the initial data.
    const Bytes load = Bin("LOAD");
    ExpectWellFormedBin("LOAD");
    const Placement placement(layout_);
    const std::uint16_t initData = placement.Unit("-- INITDATA --").Length;
    EXPECT_EQ(load[2], 1);
    for (const auto& [at, value] : std::vector<std::pair<std::size_t, std::uint16_t>>{
             {37, 0x9090}, // no RAM code: the first copy's rep movsb is left out
             {40, 0x4006},
             {45, 0x0100},
             {54, initData},
             {62, placement.AbsOfFrame(layout_.stackSs)},
             {67, layout_.stackSp},
             {70, placement.Abs("Heap")},
             {73, 0x0100 + 0x10000 / 16},
             {76, 0xC801},
             {80, layout_.entryIp}}) {
        EXPECT_EQ(WordAt(load, at), value) << at;
    }
    // The initial data follows the loader, its far pointer to the entry relocated.
    const std::uint16_t ds = DataSegment(layout_).value();
    EXPECT_EQ(Bytes(load.begin() + 96, load.begin() + 96 + initData),
              placement.RelocatedImage(ds * 16U, initData));
    EXPECT_EQ(WordAt(load, 96 + 2), 0xC801);
    EXPECT_EQ(Module("RAM").ModuleLength, 0U); // RAM modules have no image
    EXPECT_FALSE(std::filesystem::exists(File("RAM.BIN")));
}

TEST_F(BinWriterTest, BlocksAreWholeAndTheirCountFitsOneByte) {
    // Header paragraph + 496 bytes = 512: a whole block, so the trailer takes a block of its own.
    Open(CodeProgram({{"A_TEXT", 496}}), WithRamAndLoader({{"CODE", 0xC800, 0x8000, {"A_TEXT"}}}));
    ASSERT_FALSE(Generate());
    EXPECT_EQ(Bin("CODE").size(), 1024U);
    ExpectWellFormedBin("CODE");

    // 16 + $FFF0 + $FDF0 = 130544 bytes: 8159 paragraphs, 255 blocks.
    Open(CodeProgram({{"A_TEXT", 0xFFF0}, {"B_TEXT", 0xFDF0}}),
         WithRamAndLoader({{"BIG", 0x5000, 0x20000, {"A_TEXT", "B_TEXT"}}}));
    ASSERT_FALSE(Generate());
    EXPECT_EQ(Bin("BIG").size(), 255U * 512U);
    ExpectWellFormedBin("BIG");
}

TEST_F(BinWriterTest, DemoIsRelocatedWhereItsSegmentsLandAndRamCodeTravelsInTheInitCodeBlock) {
    Open(MakeDemoProgramWithGraph());
    ASSERT_FALSE(Generate());
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    ExpectRelocatedUnits();

    const Placement placement(layout_);
    const std::string romName = placement.ModuleOf("-- INITCODE --").Name;
    ExpectWellFormedBin(romName);
    const Bytes bin = Bin(romName);
    // The initial data carries its own fixup (a far pointer to the delay routine).
    const std::uint16_t ds = DataSegment(layout_).value();
    const std::uint16_t length = placement.Unit("-- INITDATA --").Length;
    const std::size_t at = placement.PositionInBin("-- INITDATA --");
    ASSERT_EQ(placement.ModuleOf("-- INITDATA --").Name, romName);
    EXPECT_EQ(Bytes(bin.begin() + at, bin.begin() + at + length), placement.RelocatedImage(ds * 16U, length));
    EXPECT_EQ(WordAt(bin, at + layout_.FindLabel("DELAY_VEC")->offset + 2), placement.Abs("IO_TEXT"));

    const std::size_t block = placement.PositionInBin("-- INITCODE --");
    const std::uint16_t blockLength = placement.Unit("-- INITCODE --").Length;
    EXPECT_EQ(ProjectModel().InitCodeLength, blockLength);
    EXPECT_EQ(Bytes(bin.begin() + block, bin.begin() + block + 4),
              (Bytes{0x55, 0xAA, static_cast<std::uint8_t>(blockLength / 16 / 32 + 1), 0xCB}));
    // In RAM the block starts at the IROM module, so its code lies one paragraph in.
    const tModUnit& graph = placement.Unit("Graph");
    EXPECT_EQ(graph.AbsSeg, placement.ModuleOf("Graph").Address + 1);
    const std::size_t graphAt = block + 16 + graph.Offset;
    EXPECT_EQ(Bytes(bin.begin() + graphAt, bin.begin() + graphAt + graph.Length),
              placement.RelocatedImage(graph.RelSeg * 16U + graph.Offset, graph.Length));

    const Bytes loader = Bin(placement.ModuleOf("-- LOADER --").Name);
    EXPECT_EQ(WordAt(loader, 20), placement.Abs("-- INITCODE --"));
    EXPECT_EQ(WordAt(loader, 25), placement.ModuleOf("Graph").Address);
    EXPECT_EQ(WordAt(loader, 34), blockLength);
    EXPECT_EQ(WordAt(loader, 37), 0xA4F3); // rep movsb stays
}

TEST_F(BinWriterTest, ByteAlignedSegmentsKeepTheirOffsetInTheImage) {
    ProgramDescription program = CodeProgram({{"A_TEXT", 0x25}, {"B_TEXT", 0x33}, {"C_TEXT", 0x10}});
    program.segments[1].byteAligned = true;
    // B calls A far: the fixup lies in B's bytes, in the paragraph it shares with A.
    CodeAssembler calling("D_TEXT", "CODE");
    calling.CallFar("A_TEXT_ENTRY");
    calling.Retf();
    FixtureSegment d = calling.Finish();
    d.byteAligned = true;
    program.segments.insert(program.segments.begin() + 3, std::move(d));
    Open(program);
    ASSERT_EQ(ProjectModel().Unplaced->Count(), 0);
    ASSERT_FALSE(Generate());
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    ExpectRelocatedUnits();
}

TEST_F(BinWriterTest, LargeProgramIsRelocatedAcrossManyModules) {
    const ProgramDescription program =
        MakeLargeProgram({.codeBytes = 0x20000, .codeSegments = 8, .relocations = 4000});
    Open(program, PlaceAllUnits(LayOutProgram(program), {.romSegment = 0x4000, .romLength = 0x8000}));
    ASSERT_FALSE(Generate());
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    ExpectRelocatedUnits();
    std::size_t romModules = 0;
    for (const FixtureModule& module : design_.modules) {
        if (module.name.starts_with("ROM")) {
            ExpectWellFormedBin(module.name);
            ++romModules;
        }
    }
    EXPECT_GE(romModules, 4U);
}

// A module that cannot be written fails the generation with one message, leaves no .BIN (not even
// an older one) and stops the modules after it.
struct FailCase {
    const char* what;
    std::function<void(BinWriterTest&)> arrange; // sets layout_ and design_ with FIRST failing
    std::function<void(BinWriterTest&)> spoil;   // after the project is open, if given
    std::string message;                         // the whole text, or its start when it ends in "..."
};

void PrintTo(const FailCase& c, std::ostream* os) {
    *os << c.what;
}

class BinWriterFailTest : public BinWriterTest, public ::testing::WithParamInterface<FailCase> {};

TEST_P(BinWriterFailTest, FailedModuleLeavesNoBinAndStopsTheRest) {
    dir_.Write("FIRST.BIN", "stale image");
    GetParam().arrange(*this);
    OpenLayout();
    if (GetParam().spoil) {
        GetParam().spoil(*this);
    }
    EXPECT_TRUE(Generate());
    ASSERT_EQ(presenter_.Boxes().size(), 1U) << presenter_.Texts().back();
    const std::string& message = GetParam().message;
    if (message.ends_with("...")) {
        EXPECT_TRUE(presenter_.Texts()[0].starts_with(message.substr(0, message.size() - 3)))
            << presenter_.Texts()[0];
    } else {
        EXPECT_EQ(presenter_.Texts()[0], message);
    }
    EXPECT_FALSE(std::filesystem::exists(File("FIRST.BIN")));
    EXPECT_FALSE(std::filesystem::exists(File("SECOND.BIN")));
}

// A and B of the given sizes in the modules FIRST (of the given length) and SECOND.
std::function<void(BinWriterTest&)> TwoModules(std::uint32_t a, std::uint32_t b, std::uint32_t length) {
    return [=](BinWriterTest& t) {
        t.layout_ = LayOutProgram(CodeProgram({{"A_TEXT", a}, {"B_TEXT", b}}));
        t.design_ =
            WithRamAndLoader({{"FIRST", 0xC800, length, {"A_TEXT"}}, {"SECOND", 0xE000, 0x8000, {"B_TEXT"}}});
    };
}

// The demo placed by the fixture, its ROM module named FIRST.
void Demo(BinWriterTest& t, const ProgramDescription& program) {
    t.layout_ = LayOutProgram(program);
    t.design_ = PlaceAllUnits(t.layout_);
    for (FixtureModule& module : t.design_.modules) {
        if (module.units.front() == "-- LOADER --") {
            module.name = "FIRST";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    BinWriter, BinWriterFailTest,
    ::testing::Values(
        // 16 bytes more than 255 blocks make 256, which the header's byte cannot hold.
        FailCase{"block count",
                 [](BinWriterTest& t) {
                     t.layout_ = LayOutProgram(CodeProgram({{"A_TEXT", 0xFFF0}, {"B_TEXT", 0xFE00}}));
                     t.design_ = WithRamAndLoader({{"FIRST", 0x5000, 0x20000, {"A_TEXT", "B_TEXT"}}});
                 },
                 {},
                 "\"FIRST\" module length with checksum exceed size 128KB!"},
        FailCase{"image longer than the module",
                 TwoModules(0x1F0, 0x20, 0x200),
                 {},
                 "Adding checksum to module \"FIRST\" occurs exceeding its length!"},
        FailCase{"unit larger than the work buffer", TwoModules(0x40, 0x40, 0x200),
                 [](BinWriterTest&) { ProjectModel().WorkBufferSize = 0x40; },
                 "Err 26 - asi too short buffer.\r\nUnit \"A_TEXT\""},
        FailCase{"fixup word across the unit's end",
                 [](BinWriterTest& t) {
                     TwoModules(0x20, 0x20, 0x200)(t);
                     t.layout_.relocations.push_back({0x1F, t.layout_.FindSegment("A_TEXT")->frame()});
                 },
                 {},
                 "Err 27 - asi corrupted exe file.\r\nUnit \"A_TEXT\""},
        FailCase{"fixup of a frame no unit has",
                 [](BinWriterTest& t) {
                     Demo(t, MakeDemoProgram());
                     // The first fixup of MAIN_TEXT (its far call) now names frame $7777.
                     const PlacedSegment* main = t.layout_.FindSegment("MAIN_TEXT");
                     for (const Relocation& r : t.layout_.relocations) {
                         if (const std::uint32_t at = r.segment * 16U + r.offset; at >= main->start) {
                             t.layout_.image[at] = t.layout_.image[at + 1] = 0x77;
                             break;
                         }
                     }
                 },
                 {},
                 "46 - co to znamena??? (asi dotaz na neexistujici segment)\r\nUnit \"MAIN_TEXT\", "
                 "segment $7777"},
        FailCase{"executable shortened after opening", [](BinWriterTest& t) { Demo(t, MakeDemoProgram()); },
                 [](BinWriterTest& t) {
                     const std::string exe = t.dir_.Text("DEMO.EXE");
                     t.dir_.Write("DEMO.EXE", exe.substr(0, exe.size() - t.layout_.image.size() + 8));
                 },
                 "Could not read from file: ..."},
        FailCase{"RAM code without its IROM module",
                 [](BinWriterTest& t) { Demo(t, MakeDemoProgramWithGraph()); },
                 [](BinWriterTest&) { ProjectModel().IromModule = nullptr; },
                 "Err - missing InitCodeCollection."}));

} // namespace
} // namespace ravlo
