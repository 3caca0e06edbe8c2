#include "fixtures/code_assembler.h"
#include "fixtures/exe_writer.h"
#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "platform/file_time.h"
#include "project/bin_writer.h"
#include "project/module_collection.h"
#include "project/module_dump.h"
#include "project/project_globals.h"
#include "project/project_test_support.h"
#include "project/reloc_table.h"
#include "project/rom_image.h"

#include <gtest/gtest.h>
#include <map>
#include <numeric>

namespace ravlo {
namespace {

using namespace fixtures;
using testing::ProjectTest;

using Bytes = std::vector<std::uint8_t>;

std::uint16_t WordAt(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | (bytes.at(at + 1) << 8));
}

std::uint32_t ByteSum(const Bytes& bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), 0U);
}

std::uint32_t Rounded(const ExpectedUnit& unit) {
    return unit.length == 0 ? 0 : (unit.offset + unit.length + 15U) & ~15U;
}

bool IsDataUnit(UnitKind kind) {
    return kind == UnitKind::Data || kind == UnitKind::Stack || kind == UnitKind::Heap;
}

// Where the design must put every unit, worked out from the fixture's own description: a module
// written with a ROM header (code, not starting with the loader) keeps its first paragraph for it.
class ExpectedPlacement {
public:
    ExpectedPlacement(const ProgramLayout& layout, const FixtureDesign& design)
        : layout_(layout), design_(design) {
        std::uint32_t initCode = 16;
        for (const ExpectedUnit& unit : ExpectedUnits(layout)) {
            units_[unit.name] = unit;
            if (unit.kind == UnitKind::CodeInDataSeg) {
                initCode += Rounded(unit);
            }
        }
        if (units_.contains("-- INITCODE --")) {
            units_["-- INITCODE --"].length = static_cast<std::uint16_t>(initCode);
        }
        for (const FixtureModule& module : design.modules) {
            const ExpectedUnit& first = units_.at(module.units.front());
            std::uint32_t next =
                module.address + (first.kind != UnitKind::Loader && !IsDataUnit(first.kind) ? 1 : 0);
            for (const std::string& name : module.units) {
                abs_[name] = static_cast<std::uint16_t>(next);
                moduleOf_[name] = &module;
                next += Rounded(units_.at(name)) / 16;
            }
        }
        for (const auto& [name, unit] : units_) {
            if (unit.length > 0 && unit.relSeg < 0xFFFD) {
                frames_.emplace(unit.relSeg, abs_.at(name));
            }
        }
    }

    std::uint16_t Abs(const std::string& unit) const { return abs_.at(unit); }
    std::uint16_t AbsOfFrame(std::uint16_t frame) const { return frames_.at(frame); }
    const ExpectedUnit& Unit(const std::string& name) const { return units_.at(name); }
    const FixtureModule& ModuleOf(const std::string& unit) const { return *moduleOf_.at(unit); }
    // Where the unit's first byte lies in its module's .BIN.
    std::size_t PositionInBin(const std::string& unit) const {
        return (Abs(unit) - ModuleOf(unit).address) * 16U + Unit(unit).offset;
    }

    // The load image bytes of [start, start + length) with every segment fixup in them relocated.
    Bytes RelocatedImage(std::uint32_t start, std::uint32_t length) const {
        Bytes bytes(layout_.image.begin() + start, layout_.image.begin() + start + length);
        for (const Relocation& fixup : layout_.relocations) {
            const std::uint32_t at = fixup.segment * 16U + fixup.offset;
            if (at >= start && at + 2 <= start + length) {
                const std::uint16_t frame = WordAt(layout_.image, at);
                const std::uint16_t abs = AbsOfFrame(frame);
                bytes[at - start] = static_cast<std::uint8_t>(abs);
                bytes[at - start + 1] = static_cast<std::uint8_t>(abs >> 8);
            }
        }
        return bytes;
    }

private:
    const ProgramLayout& layout_;
    const FixtureDesign& design_;
    std::map<std::string, ExpectedUnit> units_;
    std::map<std::string, std::uint16_t> abs_;
    std::map<std::string, const FixtureModule*> moduleOf_;
    std::map<std::uint16_t, std::uint16_t> frames_;
};

FixtureSegment CodeBytes(const std::string& name, std::uint32_t count) {
    CodeAssembler code(name, "CODE");
    code.Label(name + "_ENTRY", true);
    for (std::uint32_t i = 1; i < count; ++i) {
        code.Nop();
    }
    code.Retf();
    return code.Finish();
}

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
protected:
    // Opens the program with the design and checks the design, as Generate does first.
    void Open(const ProgramDescription& program, const FixtureDesign& design) {
        layout_ = LayOutProgram(program);
        design_ = design;
        ASSERT_TRUE(OpenFixtureWithDesign(layout_, design_));
        ASSERT_TRUE(ProjectModel().Modules->CheckDesign());
        presenter_.Clear();
    }
    void Open(const ProgramDescription& program) {
        const ProgramLayout layout = LayOutProgram(program);
        Open(program, PlaceAllUnits(layout));
    }
    // Opens layout_ with design_ as they stand.
    void OpenLayout() {
        ASSERT_TRUE(OpenFixtureWithDesign(layout_, design_));
        presenter_.Clear();
    }
    bool Generate() { return GenerateBinFiles(*ProjectModel().Modules); }
    // Generation fails with that one message and leaves no .BIN of the module.
    void ExpectGenerationFails(const std::string& message, const std::string& module) {
        EXPECT_TRUE(Generate());
        EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{message});
        EXPECT_FALSE(std::filesystem::exists(File(module + ".BIN")));
    }
    Bytes Bin(const std::string& module) const {
        const std::string text = dir_.Text(module + ".BIN");
        return {text.begin(), text.end()};
    }
    tModule& Module(const std::string& name) {
        return *ProjectModel().Modules->FirstThat([&name](const tModule& m) { return m.Name == name; });
    }

    // Every unit's bytes in its module's .BIN against the independently relocated image.
    void ExpectRelocatedUnits() {
        const ExpectedPlacement placement(layout_, design_);
        for (const ExpectedUnit& unit : ExpectedUnits(layout_)) {
            if (unit.kind != UnitKind::Code || unit.length == 0) {
                continue;
            }
            const Bytes bin = Bin(placement.ModuleOf(unit.name).name);
            const std::size_t at = placement.PositionInBin(unit.name);
            ASSERT_LE(at + unit.length, bin.size()) << unit.name;
            EXPECT_EQ(Bytes(bin.begin() + at, bin.begin() + at + unit.length),
                      placement.RelocatedImage(unit.relSeg * 16U + unit.offset, unit.length))
                << unit.name;
            EXPECT_EQ(ProjectModel().Modules->UnitByName(unit.name)->AbsSeg, placement.Abs(unit.name));
        }
    }

    void ExpectWellFormedBin(const std::string& module) {
        const Bytes bin = Bin(module);
        ASSERT_FALSE(bin.empty()) << module;
        EXPECT_EQ(bin.size() % 512, 0U) << module;
        EXPECT_EQ(bin[0], 0x55);
        EXPECT_EQ(bin[1], 0xAA);
        EXPECT_EQ(bin[2] * 512U, bin.size()) << module;
        EXPECT_EQ(ByteSum(bin) % 256, 0U) << module;
        EXPECT_EQ(ReadFileWriteTime(File(module + ".BIN")), ExeFileTime);
        EXPECT_EQ(Module(module).ModuleLength, bin.size());
    }

    ProgramLayout layout_;
    FixtureDesign design_;
};

TEST(RomImageTest, BlockCountFitsOneByte) {
    EXPECT_EQ(RomBlockCount(2), 1);
    EXPECT_EQ(RomBlockCount(31), 1);
    EXPECT_EQ(RomBlockCount(32), 2);
    EXPECT_EQ(RomBlockCount(254 * 32 + 31), 255);
    EXPECT_FALSE(RomBlockCount(255 * 32));
    EXPECT_FALSE(RomBlockCount(256 * 32));
    const auto header = RomHeader(7);
    EXPECT_EQ(Bytes(header.begin(), header.end()), (Bytes{0x55, 0xAA, 7, 0xCB, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(RomImageTest, LoaderTemplateAndItsPatchedFields) {
    const Bytes documented = {
        0x55, 0xAA, 0x00, 0x33, 0xC0, 0x8E, 0xD8, 0xC7, 0x06, 0x64, 0x00, 0x12, 0x00, 0x8C, 0x0E, 0x66,
        0x00, 0xCB, 0xFB, 0xB8, 0xFF, 0xFF, 0x8E, 0xD8, 0xB8, 0xFF, 0xFF, 0x8E, 0xC0, 0x33, 0xFF, 0x33,
        0xF6, 0xB9, 0xFF, 0xFF, 0xFC, 0xF3, 0xA4, 0xB8, 0xFF, 0xFF, 0x8E, 0xD8, 0xB8, 0xFF, 0xFF, 0x8E,
        0xC0, 0x33, 0xFF, 0x33, 0xF6, 0xB9, 0xFF, 0xFF, 0xFC, 0xF3, 0xA4, 0x8E, 0xD8, 0xB8, 0xFF, 0xFF,
        0x8E, 0xD0, 0xBC, 0xFF, 0xFF, 0xBB, 0xFF, 0xFF, 0xB9, 0xFF, 0xFF, 0xB8, 0xFF, 0xFF, 0x50, 0xB8,
        0xFF, 0xFF, 0x50, 0xCB, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    ASSERT_EQ(documented.size(), kLoaderHeaderSize);
    TLoaderFields all;
    all.CopyInitCode = true;
    for (std::uint16_t* field :
         {&all.InitCodeSource, &all.InitCodeDest, &all.InitCodeLength, &all.InitDataSource, &all.DataSegment,
          &all.InitDataLength, &all.StackSegment, &all.StackPointer, &all.HeapSegment, &all.HeapEndSegment,
          &all.EntrySegment, &all.EntryOffset}) {
        *field = 0xFFFF;
    }
    const auto untouched = LoaderHeader(all);
    EXPECT_EQ(Bytes(untouched.begin(), untouched.end()), documented);

    TLoaderFields fields{3,      false,  1,      2,      3,      0x1111, 0x2222,
                         0x3333, 0x4444, 0x5555, 0x6666, 0x7777, 0x8888, 0x9999};
    const auto loader = LoaderHeader(fields);
    const Bytes patched(loader.begin(), loader.end());
    EXPECT_EQ(patched[2], 3);
    EXPECT_EQ(WordAt(patched, 20), 0xFFFF); // no RAM code: the first copy is left out
    EXPECT_EQ(WordAt(patched, 25), 0xFFFF);
    EXPECT_EQ(WordAt(patched, 34), 0xFFFF);
    EXPECT_EQ(WordAt(patched, 37), 0x9090);
    const std::vector<std::pair<std::size_t, std::uint16_t>> words = {
        {40, 0x1111}, {45, 0x2222}, {54, 0x3333}, {62, 0x4444}, {67, 0x5555},
        {70, 0x6666}, {73, 0x7777}, {76, 0x8888}, {80, 0x9999}};
    for (const auto& [at, value] : words) {
        EXPECT_EQ(WordAt(patched, at), value) << at;
    }
}

TEST(RomImageTest, TrailerMakesWholeBlocksThatSumToZero) {
    TRomImage image;
    const Bytes body(16, 0x37);
    image.Append(body);
    image.AppendTrailer();
    EXPECT_EQ(image.Size(), 512U);
    EXPECT_EQ(ByteSum(image.Bytes()) % 256, 0U);
    EXPECT_EQ(image.Bytes()[510], 0xFF);

    TRomImage full;
    full.Append(Bytes(512, 0x01));
    full.AppendTrailer();
    EXPECT_EQ(full.Size(), 1024U);
    EXPECT_EQ(ByteSum(full.Bytes()) % 256, 0U);
}

TEST(ModuleDumpTest, FieldsThenOneBlockPerUnit) {
    tModule module("ROM", 0xC800, 0x8000);
    module.Insert(std::make_unique<tModUnit>(MUnitT::Code, "MAIN", 0x12, 3, 0x40));
    module.At(0)->AbsSeg = 0xC801;
    module.ModuleLength = 0x200;
    EXPECT_EQ(ModuleDumpLines(module),
              (std::vector<std::string>{"  tModule: ROM", "\r   Address = C800", "   Length = 00008000",
                                        "\n   Used = 00000050", "   ModuleLength = 00000200",
                                        "   MemType = ROM", "   Count = 1", "\t   items>",
                                        "\r      Module:", "       Name=MAIN", "       MType=Code",
                                        "       RelSeg=0012", "       Offset=0003", "       AbsSeg=C801",
                                        "       Length=0040", "\r      .Module", "\n  .tModule"}));
}

TEST_F(BinWriterTest, OneByteCodeModule) {
    const ProgramDescription program = CodeProgram({{"ONE_TEXT", 1}});
    const ProgramLayout layout = LayOutProgram(program);
    Open(program, WithRamAndLoader({{"CODE", 0xC800, 0x8000, {"ONE_TEXT"}}}));
    ASSERT_FALSE(Generate());
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();

    const Bytes code = Bin("CODE");
    ASSERT_EQ(code.size(), 512U);
    EXPECT_EQ(Bytes(code.begin(), code.begin() + 4), (Bytes{0x55, 0xAA, 0x01, 0xCB}));
    EXPECT_EQ(code[16], 0xCB); // the segment's one byte, a far return, in the paragraph after the header
    EXPECT_TRUE(std::all_of(code.begin() + 17, code.end() - 1, [](std::uint8_t b) { return b == 0xFF; }));
    ExpectWellFormedBin("CODE");

    // The loader module: the loader's fields, then the initial data.
    const Bytes load = Bin("LOAD");
    ExpectWellFormedBin("LOAD");
    const ExpectedPlacement placement(layout_, design_);
    const std::uint16_t ds = DataSegment(layout_).value();
    const std::uint16_t initData = placement.Unit("-- INITDATA --").length;
    EXPECT_EQ(load[2], 1);
    EXPECT_EQ(WordAt(load, 20), 0xFFFF);
    EXPECT_EQ(WordAt(load, 37), 0x9090);
    EXPECT_EQ(WordAt(load, 40), 0x4006);
    EXPECT_EQ(WordAt(load, 45), 0x0100);
    EXPECT_EQ(WordAt(load, 54), initData);
    EXPECT_EQ(WordAt(load, 62), placement.AbsOfFrame(layout_.stackSs));
    EXPECT_EQ(WordAt(load, 67), layout_.stackSp);
    EXPECT_EQ(WordAt(load, 70), placement.Abs("Heap"));
    EXPECT_EQ(WordAt(load, 73), 0x0100 + 0x10000 / 16);
    EXPECT_EQ(WordAt(load, 76), 0xC801);
    EXPECT_EQ(WordAt(load, 80), layout_.entryIp);
    // The initial data follows the loader, its far pointer to the entry relocated.
    EXPECT_EQ(Bytes(load.begin() + 96, load.begin() + 96 + initData),
              placement.RelocatedImage(ds * 16U, initData));
    EXPECT_EQ(WordAt(load, 96 + 2), 0xC801);
    EXPECT_EQ(Module("RAM").ModuleLength, 0U); // RAM modules have no image
    EXPECT_FALSE(std::filesystem::exists(File("RAM.BIN")));
}

TEST_F(BinWriterTest, BodyOfWholeBlocksGetsAFullTrailer) {
    // Header paragraph + 496 bytes = 512: P = 32.
    const ProgramDescription program = CodeProgram({{"A_TEXT", 496}});
    layout_ = LayOutProgram(program);
    design_ = WithRamAndLoader({{"CODE", 0xC800, 0x8000, {"A_TEXT"}}});
    OpenLayout();
    ASSERT_FALSE(Generate());
    const Bytes bin = Bin("CODE");
    EXPECT_EQ(bin.size(), 1024U);
    EXPECT_EQ(bin[2], 2);
    EXPECT_EQ(ByteSum(bin) % 256, 0U);
}

TEST_F(BinWriterTest, BlockCountPastOneByteFailsTheModule) {
    // 16 + $FFF0 + $FDF0 = 130544 bytes: 8159 paragraphs, 255 blocks.
    ProgramDescription program = CodeProgram({{"A_TEXT", 0xFFF0}, {"B_TEXT", 0xFDF0}});
    layout_ = LayOutProgram(program);
    design_ = WithRamAndLoader({{"BIG", 0x5000, 0x20000, {"A_TEXT", "B_TEXT"}}});
    OpenLayout();
    ASSERT_FALSE(Generate());
    const Bytes bin = Bin("BIG");
    EXPECT_EQ(bin.size(), 255U * 512U);
    EXPECT_EQ(bin[2], 255);

    // 16 more bytes make 256 blocks, which the header's byte cannot hold.
    program = CodeProgram({{"A_TEXT", 0xFFF0}, {"B_TEXT", 0xFE00}});
    layout_ = LayOutProgram(program);
    OpenLayout();
    ExpectGenerationFails("\"BIG\" module length with checksum exceed size 128KB!", "BIG");
}

TEST_F(BinWriterTest, DemoCodeIsRelocatedWhereItsSegmentsLand) {
    Open(MakeDemoProgram());
    ASSERT_FALSE(Generate());
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    ExpectRelocatedUnits();
    ExpectWellFormedBin("ROM");

    // The initial data carries its own fixup (a far pointer to the delay routine).
    const ExpectedPlacement placement(layout_, design_);
    const Bytes bin = Bin("ROM");
    const std::uint16_t ds = DataSegment(layout_).value();
    const std::uint16_t length = placement.Unit("-- INITDATA --").length;
    const std::size_t at = placement.PositionInBin("-- INITDATA --");
    EXPECT_EQ(Bytes(bin.begin() + at, bin.begin() + at + length), placement.RelocatedImage(ds * 16U, length));
    const ResolvedLabel* vector = layout_.FindLabel("DELAY_VEC");
    ASSERT_NE(vector, nullptr);
    EXPECT_EQ(WordAt(bin, at + vector->offset + 2), placement.Abs("IO_TEXT"));
}

TEST_F(BinWriterTest, RamCodeTravelsInTheInitCodeBlock) {
    Open(MakeDemoProgramWithGraph());
    ASSERT_FALSE(Generate());
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    ExpectRelocatedUnits();

    const ExpectedPlacement placement(layout_, design_);
    const std::string romName = placement.ModuleOf("-- INITCODE --").name;
    const Bytes bin = Bin(romName);
    const std::size_t block = placement.PositionInBin("-- INITCODE --");
    const std::uint16_t blockLength = placement.Unit("-- INITCODE --").length;
    EXPECT_EQ(ProjectModel().InitCodeLength, blockLength);
    EXPECT_EQ(Bytes(bin.begin() + block, bin.begin() + block + 4),
              (Bytes{0x55, 0xAA, static_cast<std::uint8_t>(blockLength / 16 / 32 + 1), 0xCB}));
    // In RAM the block starts at the IROM module, so its code lies one paragraph in.
    const ExpectedUnit& graph = placement.Unit("Graph");
    EXPECT_EQ(placement.Abs("Graph"), placement.ModuleOf("Graph").address + 1);
    const std::size_t graphAt = block + 16 + graph.offset;
    EXPECT_EQ(Bytes(bin.begin() + graphAt, bin.begin() + graphAt + graph.length),
              placement.RelocatedImage(graph.relSeg * 16U + graph.offset, graph.length));

    const Bytes loader = Bin(placement.ModuleOf("-- LOADER --").name);
    EXPECT_EQ(WordAt(loader, 20), placement.Abs("-- INITCODE --"));
    EXPECT_EQ(WordAt(loader, 25), placement.ModuleOf("Graph").address);
    EXPECT_EQ(WordAt(loader, 34), blockLength);
    EXPECT_EQ(WordAt(loader, 37), 0xA4F3); // rep movsb stays
    EXPECT_EQ(WordAt(loader, 70), placement.Abs("Heap"));
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
    LargeProgramParams params;
    params.codeBytes = 0x20000;
    params.codeSegments = 8;
    params.relocations = 4000;
    const ProgramDescription program = MakeLargeProgram(params);
    DesignOptions options;
    options.romSegment = 0x4000;
    options.romLength = 0x8000;
    Open(program, PlaceAllUnits(LayOutProgram(program), options));
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

TEST_F(BinWriterTest, UnitThatDoesNotFitFailsItsModuleAndRemovesItsBin) {
    Open(MakeDemoProgram());
    dir_.Write("ROM.BIN", "stale image");
    ProjectModel().WorkBufferSize = 0x20;
    EXPECT_TRUE(Generate());
    ASSERT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_TRUE(presenter_.Texts()[0].starts_with("Err 26 - asi too short buffer.\r\nUnit \""))
        << presenter_.Texts()[0];
    EXPECT_FALSE(std::filesystem::exists(File("ROM.BIN")));
}

TEST_F(BinWriterTest, FixupOfNoPlacedSegmentFailsTheModule) {
    layout_ = LayOutProgram(MakeDemoProgram());
    design_ = PlaceAllUnits(layout_);
    // The first fixup of MAIN_TEXT names a frame no unit has.
    const PlacedSegment* main = layout_.FindSegment("MAIN_TEXT");
    const auto fixup =
        std::find_if(layout_.relocations.begin(), layout_.relocations.end(),
                     [main](const Relocation& r) { return r.segment * 16U + r.offset >= main->start; });
    ASSERT_NE(fixup, layout_.relocations.end());
    const std::uint32_t at = fixup->segment * 16U + fixup->offset;
    layout_.image[at] = 0x77;
    layout_.image[at + 1] = 0x77;
    OpenLayout();
    ExpectGenerationFails("46 - co to znamena??? (asi dotaz na neexistujici segment)\r\nUnit \"MAIN_TEXT\", "
                          "segment $7777",
                          "ROM");
}

TEST_F(BinWriterTest, FixupAcrossAUnitsEndIsACorruptExecutable) {
    layout_ = LayOutProgram(CodeProgram({{"A_TEXT", 0x20}, {"B_TEXT", 0x20}}));
    // A fixup on A's last byte: its word runs into the next paragraph.
    layout_.relocations.push_back({0x1F, layout_.FindSegment("A_TEXT")->frame()});
    design_ = WithRamAndLoader({{"CODE", 0xC800, 0x8000, {"A_TEXT", "B_TEXT"}}});
    OpenLayout();
    ExpectGenerationFails("Err 27 - asi corrupted exe file.\r\nUnit \"A_TEXT\"", "CODE");
}

TEST_F(BinWriterTest, ExecutableShortenedAfterOpeningFailsTheCopy) {
    Open(MakeDemoProgram());
    const std::string exe = dir_.Text("DEMO.EXE");
    dir_.Write("DEMO.EXE", exe.substr(0, exe.size() - layout_.image.size() + 8));
    EXPECT_TRUE(Generate());
    ASSERT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_TRUE(presenter_.Texts()[0].starts_with("Could not read from file: ")) << presenter_.Texts()[0];
    EXPECT_NE(presenter_.Texts()[0].find("\r\nUnit \""), std::string::npos);
}

TEST_F(BinWriterTest, ImageLongerThanItsModuleFailsIt) {
    ProgramDescription program = CodeProgram({{"A_TEXT", 0x1F0}});
    layout_ = LayOutProgram(program);
    design_ = WithRamAndLoader({{"CODE", 0xC800, 0x200, {"A_TEXT"}}});
    OpenLayout();
    ExpectGenerationFails("Adding checksum to module \"CODE\" occurs exceeding its length!", "CODE");
}

TEST_F(BinWriterTest, InitCodeWithoutIromModuleFails) {
    layout_ = LayOutProgram(MakeDemoProgramWithGraph());
    design_ = PlaceAllUnits(layout_);
    ASSERT_TRUE(OpenFixtureWithDesign(layout_, design_));
    ProjectModel().IromModule = nullptr;
    presenter_.Clear();
    EXPECT_TRUE(Generate());
    EXPECT_TRUE(presenter_.Showed("Err - missing InitCodeCollection."));
}

TEST_F(BinWriterTest, FailedModuleStopsTheModulesAfterIt) {
    ProgramDescription program = CodeProgram({{"A_TEXT", 0x40}, {"B_TEXT", 0x40}});
    layout_ = LayOutProgram(program);
    design_ = WithRamAndLoader({{"FIRST", 0xC800, 0x200, {"A_TEXT"}}, {"SECOND", 0xD000, 0x200, {"B_TEXT"}}});
    ASSERT_TRUE(OpenFixtureWithDesign(layout_, design_));
    ProjectModel().WorkBufferSize = 0x40;
    presenter_.Clear();
    EXPECT_TRUE(Generate());
    EXPECT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_FALSE(std::filesystem::exists(File("FIRST.BIN")));
    EXPECT_FALSE(std::filesystem::exists(File("SECOND.BIN")));
}

} // namespace
} // namespace ravlo
