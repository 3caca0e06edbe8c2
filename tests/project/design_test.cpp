#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_test_support.h"
#include "project/reloc_table.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ProjectTest;

std::unique_ptr<tModUnit> Unit(MUnitT kind, const std::string& name, std::uint16_t relSeg,
                               std::uint16_t length, std::uint16_t offset = 0) {
    return std::make_unique<tModUnit>(kind, name, relSeg, offset, length);
}

class DesignTest : public ProjectTest {
protected:
    tModule& AddModule(const std::string& name, std::uint16_t address, std::uint32_t length) {
        return *modules_.At(modules_.Insert(std::make_unique<tModule>(name, address, length)));
    }

    tModuleCollection modules_;
};

TEST(ModelOrderTest, UnitsSortByKindThenSegmentWithEmptyUnitsFirst) {
    tModule module;
    module.Insert(Unit(MUnitT::InitData, "-- INITDATA --", 0xFFFE, 0x10));
    module.Insert(Unit(MUnitT::Code, "B", 0x0020, 0x10));
    module.Insert(Unit(MUnitT::Code, "A", 0x0010, 0x10));
    module.Insert(Unit(MUnitT::Loader, "-- LOADER --", 0xFFFF, 96));
    module.Insert(Unit(MUnitT::Code, "EMPTY", 0x0020, 0));
    module.Insert(Unit(MUnitT::Code, "B2", 0x0020, 0x08, 6)); // shares B's paragraph: after B
    std::vector<std::string> names;
    module.ForEach([&names](const tModUnit& unit) { names.push_back(unit.Name); });
    EXPECT_EQ(names, (std::vector<std::string>{"-- LOADER --", "A", "EMPTY", "B", "B2", "-- INITDATA --"}));
    EXPECT_EQ(module.Used, 96U + 16 + 16 + 16 + 16);
    EXPECT_EQ(module.UnitByName(""), nullptr);
    EXPECT_EQ(module.UnitByName("B2")->RoundedSize(), 16U);

    tqSortedCollection<int> unordered;
    unordered.Insert(std::make_unique<int>(3));
    unordered.Insert(std::make_unique<int>(1));
    EXPECT_EQ(*unordered.First(), 3); // no compare function: each new item goes last
    EXPECT_EQ(unordered.FirstThat([](int v) { return v < 2; }), unordered.Last());
    EXPECT_EQ(unordered.Insert(nullptr), -1);
    EXPECT_EQ(unordered.Count(), 2);
}

TEST_F(DesignTest, TouchingModulesPassAndOneByteOfOverlapFails) {
    tModule& ram = AddModule("RAM", 0x0100, 0x1000);
    ram.Insert(Unit(MUnitT::Data, "Data", 0x10, 0x100));
    tModule& rom = AddModule("ROM", 0x0200, 0x1000);
    rom.Insert(Unit(MUnitT::Code, "MAIN", 0x0, 0x100));
    EXPECT_TRUE(modules_.CheckDesign());
    EXPECT_TRUE(presenter_.Boxes().empty());

    ram.Length = 0x1001;
    tModule& empty = AddModule("EMPTY", 0x3000, 0x1000);
    EXPECT_FALSE(modules_.CheckDesign());
    // The overlap ends the check at once: the empty module is not reported.
    EXPECT_EQ(presenter_.Texts(),
              std::vector<std::string>{"Memory modules \"RAM\" && \"ROM\" overlap each other!"});
    EXPECT_TRUE(empty.Empty());
}

TEST_F(DesignTest, EveryModuleFindingIsShown) {
    AddModule("EMPTY", 0x0100, 0x1000);
    AddModule("SMALL", 0x0300, 0x100).Insert(Unit(MUnitT::Data, "Data", 0x10, 0x101));
    tModule& big = AddModule("BIG", 0x4000, 0x30000);
    for (int i = 0; i < 3; ++i) {
        big.Insert(
            Unit(MUnitT::Code, "C" + std::to_string(i), static_cast<std::uint16_t>(i * 0x1000), 0xB000));
    }
    tModule& full = AddModule("FULL", 0x8000, 0x20000); // 128 KB exactly passes
    full.Insert(Unit(MUnitT::Code, "A", 0x4000, 0xFFF0));
    full.Insert(Unit(MUnitT::Code, "B", 0x5000, 0xFFF0));
    full.Insert(Unit(MUnitT::Code, "C", 0x6000, 0x20));
    tModule& mixed = AddModule("MIXED", 0xC000, 0x1000);
    mixed.Insert(Unit(MUnitT::Heap, "Heap", 0x10, 0x10));
    mixed.Insert(Unit(MUnitT::Code, "X", 0x20, 0x10));
    EXPECT_FALSE(modules_.CheckDesign());
    EXPECT_EQ(presenter_.Texts(), (std::vector<std::string>{
                                      "Remove empty module \"EMPTY\"!",
                                      "Memory module \"SMALL\" overflow!",
                                      "Memory module \"BIG\" exceed 128KB!",
                                      "Code unit in data segment.",
                                  }));
    EXPECT_EQ(std::tie(big.Used, full.Used), std::make_tuple(3U * 0xB000, 0x20000U));
}

TEST_F(DesignTest, IromModuleSizesTheInitCodeBlock) {
    tModule unplaced;
    unplaced.Insert(Unit(MUnitT::InitCode, "-- INITCODE --", kInitCodeRelSeg, 0));
    ProjectModel().InitCodeUnit = unplaced.First();
    tModule& irom = AddModule("IROM", 0x2000, 0x10000);
    irom.Insert(Unit(MUnitT::CodeInDataSeg, "Graph", 0x30, 0x25));
    tModule& rom = AddModule("ROM", 0xC800, 0x8000);
    rom.Insert(Unit(MUnitT::Code, "MAIN", 0x0, 0x100));
    EXPECT_TRUE(modules_.CheckDesign());
    EXPECT_EQ(std::tie(ProjectModel().InitCodeLength, ProjectModel().InitCodeDest, ProjectModel().IromModule,
                       ProjectModel().InitCodeUnit->Length),
              std::make_tuple(0x30U + 16U, 0x2000, &irom, 0x40));

    // $FFF0 of RAM code needs a $10000-byte block: it cannot be copied, and is a finding.
    irom.Insert(Unit(MUnitT::CodeInDataSeg, "ScGraph", 0x40, 0xFFC0));
    ASSERT_EQ(irom.Used, 0xFFF0U);
    EXPECT_FALSE(modules_.CheckDesign());
    EXPECT_EQ(ProjectModel().InitCodeLength, 16U);
    EXPECT_EQ(presenter_.Texts(),
              std::vector<std::string>{"Size of module with initialized code exceed 64kB!"});

    // Once the IROM module is gone the design check no longer names it.
    irom.UnplaceAll(unplaced);
    modules_.Remove(&irom);
    modules_.CheckDesign();
    EXPECT_EQ(ProjectModel().IromModule, nullptr);
}

TEST_F(DesignTest, PlacementPutsUnitsAfterTheHeaderParagraph) {
    tModule& ram = AddModule("RAM", 0x0100, 0x10000);
    ram.Insert(Unit(MUnitT::Data, "Data", 0x40, 0x123));
    ram.Insert(Unit(MUnitT::Stack, "Stack", 0x53, 0x200));
    tModule& loaderRom = AddModule("LOADER", 0xC000, 0x8000);
    loaderRom.Insert(Unit(MUnitT::Loader, "-- LOADER --", kLoaderRelSeg, 96));
    loaderRom.Insert(Unit(MUnitT::Code, "MAIN", 0x0, 0x35, 0));
    tModule& codeRom = AddModule("CODE", 0xC800, 0x8000);
    codeRom.Insert(Unit(MUnitT::Code, "IO", 0x10, 0x21, 3));
    codeRom.Insert(Unit(MUnitT::Code, "END", 0x20, 0x10));
    AddModule("INIT", 0xD000, 0x8000).Insert(Unit(MUnitT::InitData, "-- INITDATA --", kInitDataRelSeg, 0x40));
    BuildRelocTable(modules_);
    // A ROM module written with a header holds it in its first paragraph, whatever its first unit.
    for (const auto& [unit, abs] : std::vector<std::pair<std::string, int>>{{"Data", 0x0100},
                                                                            {"Stack", 0x0100 + 0x130 / 16},
                                                                            {"-- LOADER --", 0xC000},
                                                                            {"MAIN", 0xC006},
                                                                            {"IO", 0xC801},
                                                                            {"END", 0xC801 + 3},
                                                                            {"-- INITDATA --", 0xD001}}) {
        EXPECT_EQ(modules_.UnitByName(unit)->AbsSeg, abs) << unit;
    }
    EXPECT_EQ(ProjectModel().RelocTable->Count(), 7);
}

TEST_F(DesignTest, PlacementPastSegmentFFFFKeepsTheUnitsPlacedSoFar) {
    tModule& rom = AddModule("TOP", 0xFFF0, 0x8000);
    rom.Insert(Unit(MUnitT::Code, "A", 0x0, 0xE0));
    rom.Insert(Unit(MUnitT::Code, "B", 0x100, 0x10));
    rom.Insert(Unit(MUnitT::Code, "C", 0x200, 0x10));
    rom.UnitByName("C")->AbsSeg = 0x1234;
    BuildRelocTable(modules_);
    EXPECT_EQ(std::make_tuple(rom.UnitByName("A")->AbsSeg, rom.UnitByName("B")->AbsSeg,
                              rom.UnitByName("C")->AbsSeg),
              std::make_tuple(0xFFF1, 0xFFFF, 0x1234));
    EXPECT_EQ(ProjectModel().RelocTable->Count(), 2);
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"tModule.Relocate - pretekl segment pres $FFFF"});
}

TEST_F(DesignTest, LookupsOfUnitsByTheirSegmentsAndAddresses) {
    tModule& ram = AddModule("RAM", 0x0100, 0x8000);
    ram.Insert(Unit(MUnitT::Data, "Data", 0x40, 0x100));
    ram.Insert(Unit(MUnitT::Heap, "Heap", 0x50, 0));
    tModule& rom = AddModule("ROM", 0xC800, 0x8000);
    rom.Insert(Unit(MUnitT::Code, "EMPTY", 0x10, 0));
    rom.Insert(Unit(MUnitT::Code, "FIRST", 0x10, 0x20));
    rom.Insert(Unit(MUnitT::Code, "SECOND", 0x10, 0x20));
    rom.Insert(Unit(MUnitT::Code, "ALONE", 0x30, 0));
    BuildRelocTable(modules_);
    const tRelocTable& table = *ProjectModel().RelocTable;
    const std::uint16_t first = rom.UnitByName("FIRST")->AbsSeg;
    ASSERT_EQ(first, 0xC801);

    EXPECT_EQ(table.RelToAbs(0x10), first);
    EXPECT_EQ(table.RelToAbs(0x30), rom.UnitByName("ALONE")->AbsSeg); // only an empty unit: that one
    EXPECT_EQ(table.RelToAbs(0x99, false), -1);
    EXPECT_EQ(table.AbsToRel(first), 0x10);
    EXPECT_EQ(table.AbsToRel(rom.UnitByName("ALONE")->AbsSeg), -1);
    EXPECT_EQ(table.GetModUnitByName("SECOND"), rom.UnitByName("SECOND"));
    EXPECT_EQ(table.GetModUnitByName("NONE"), nullptr);
    const std::uint32_t start = first * 16U;
    // The end itself still counts.
    EXPECT_EQ((std::vector<std::string>{
                  table.GetModUnitByAbsAddr(start), table.GetModUnitByAbsAddr(start + 0x20),
                  table.GetModUnitByAbsAddr(start + 0x21), table.GetModUnitByAbsAddr(start + 0x41),
                  table.GetModUnitByAbsAddr(0xC800 * 16U)}),
              (std::vector<std::string>{"FIRST", "FIRST", "SECOND", "", ""}));
    EXPECT_TRUE(presenter_.Boxes().empty());

    EXPECT_EQ(modules_.UnitByAddress(0x08FF, 0x40), ram.UnitByName("Data"));
    EXPECT_EQ(modules_.UnitByAddress(0x0900, 0x40), nullptr); // past the module
    EXPECT_EQ(modules_.UnitByAddress(0xC9FF, 0x11), nullptr);
    EXPECT_EQ(modules_.UnitByAddress(0x0200, 0x50), nullptr); // an empty unit has no address
}

} // namespace
} // namespace ravlo
