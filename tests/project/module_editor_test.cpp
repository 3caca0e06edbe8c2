#include "platform/message_box_flags.h"
#include "project/module_collection.h"
#include "project/module_editor.h"
#include "project/project_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Names = std::vector<std::string>;

class ModuleEditorTest : public testing::ProjectTest {
protected:
    ModuleEditorTest() {
        const std::tuple<MUnitT, const char*, std::uint16_t, std::uint16_t> units[] = {
            {MUnitT::Data, "Data", 0x40, 0x800},
            {MUnitT::Stack, "Stack", 0x80, 0x200},
            {MUnitT::Heap, "Heap", 0xA0, 0},
            {MUnitT::Loader, "-- LOADER --", 0xFFFF, 96},
            {MUnitT::Code, "MAIN_TEXT", 0x00, 0x1000},
            {MUnitT::Code, "IO_TEXT", 0x10, 0x3000},
            {MUnitT::Code, "IO_TEXT", 0x30, 0x10}, // a second segment of the same name
            {MUnitT::InitData, "-- INITDATA --", 0xFFFE, 0x8F0}};
        for (const auto& [kind, name, relSeg, length] : units) {
            unplaced_.Insert(std::make_unique<tModUnit>(kind, name, relSeg, 0, length));
        }
    }
    static Names NamesOf(const std::vector<const tModUnit*>& units) {
        Names names;
        for (const tModUnit* unit : units) {
            names.push_back(unit->Name);
        }
        return names;
    }
    tModule unplaced_;
    tModuleCollection design_;
};

TEST_F(ModuleEditorTest, LeavingTheAddressGivesAnEmptyModuleItsDefaultSize) {
    // Typed address, length before; then the segment, the size shown and whether the design changed.
    using Case = std::tuple<std::string, std::uint32_t, std::uint16_t, std::string, bool>;
    for (const auto& [address, lengthBefore, segment, sizeText, changed] :
         {Case{"$00B00", 0, 0x00B0, "$1E000", true}, Case{"$C8000", 0, 0xC800, "$18000", true},
          Case{"c8000", 0x8000, 0xC800, "$08000", true}, Case{"$00000", 0, 0, "$00000", false},
          Case{"$1C8000", 0, 0xC800, "$18000", true}, Case{"nonsense", 0, 0, "$00000", false}}) {
        tModule module("M", 0, lengthBefore);
        design_.Changed = false;
        TModuleEditor editor(module, unplaced_, &design_);
        editor.SetAddressText(address);
        editor.LeaveAddress();
        EXPECT_EQ(std::tie(module.Address, editor.SizeText(), design_.Changed),
                  std::tie(segment, sizeText, changed))
            << address;
    }
}

TEST_F(ModuleEditorTest, OkRunsTheChecksInOrder) {
    // The kind that gives the module its type (None: empty), the typed name, address and size, then the
    // field that takes the focus and the texts shown.
    using Case = std::tuple<MUnitT, std::string, std::string, std::string, TEditorField, Names>;
    using F = TEditorField;
    using K = MUnitT;
    const std::string range = "Start address out of address space or error in value!";
    const std::string size256 = "Incorrect size (not at 256 B boundary)!";
    const std::string align = "Incorrect address segment (not at 512 B boundary)!";
    const std::string loader = "Unit \"--LOADER--\" must be placed above $C0000 address!";
    const std::string irom = "Size of module with initialized code exceed 64kB!";
    const std::vector<Case> cases = {
        {K::Code, " ", "$C8000", "$8000", F::Name, {"Module name can't be empty!"}},
        {K::Code, "A$B", "$C8000", "$8000", F::Name, {"Module name can't contain \"$\"!"}},
        {K::Code, "ROM", "C8000x", "$8000", F::Address, {range}},
        {K::Code, "ROM", "-$10", "$8000", F::Address, {range}},
        {K::Code, "ROM", "$FFFF1", "$8000", F::Address, {range}},
        {K::Code, "ROM", "$C8000", "8k", F::Size, {"Error in value of module size!"}},
        {K::Code, "ROM", "$C8000", "$8000", F::None, {}},
        {K::Code, "ROM", "$C8100", "$8000", F::Address, {align}},
        {K::Code, "ROM", "$3E000", "$8000", F::Address, {"Start address out of range <$40000..$FCF00>!"}},
        {K::Data, "RAM", "$38000", "$8000", F::None, {}},
        {K::Data, "RAM", "$38010", "$8000", F::Address, {"Start address out of range <$00B00..$38000>!"}},
        {K::None, "X", "$F8000", "$8100", F::Size, {"Module end beyond 1MB limit!"}},
        {K::None, "X", "$F8000", "$180", F::Size, {size256}},
        {K::None, "X", "$F8000", "0", F::Size, {"Incorrect size (minimum size is $100 = 256 B)!"}},
        // Checks 5 to 8 all run; the first failure takes the focus.
        {K::Loader, "ROM", "$B0000", "$180", F::Size, {size256, loader}},
        {K::CodeInDataSeg, "IROM", "$20000", "$10100", F::Size, {irom}},
    };
    for (const auto& [seed, name, address, size, focus, texts] : cases) {
        tModule module("OLD", 0x9000, 0x1000);
        if (seed != K::None) {
            module.Insert(std::make_unique<tModUnit>(seed, seed == K::Loader ? "-- LOADER --" : "SEED", 0x200,
                                                     0, 0x10));
        }
        TModuleEditor editor(module, unplaced_, &design_);
        editor.SetNameText(name);
        editor.SetAddressText(address);
        editor.SetSizeText(size);
        presenter_.Clear();
        const TEditorOkResult result = editor.Ok();
        const std::string what = name + " " + address + " " + size;
        EXPECT_EQ(presenter_.Texts(), texts) << what;
        EXPECT_EQ(std::tie(result.Accepted, result.Focus), std::make_tuple(texts.empty(), focus)) << what;
        EXPECT_EQ(module.Name, result.Accepted ? name : "OLD");
    }
}

TEST_F(ModuleEditorTest, IromInTheRomSpaceIsAskedFor) {
    tModule module("IROM", 0x7800, 0x10000);
    module.Insert(std::make_unique<tModUnit>(MUnitT::CodeInDataSeg, "Graph", 0x300, 0, 0x100));
    TModuleEditor editor(module, unplaced_, &design_);
    presenter_.Answer(IDNO);
    presenter_.Answer(IDYES);
    EXPECT_FALSE(editor.Ok().Accepted);
    EXPECT_TRUE(editor.Ok().Accepted);
    EXPECT_EQ(presenter_.Texts().at(0), "IROM module should be in RAM, but is in ROM/FLASH address space.\r\n"
                                        "Do you really want it this way ?");
    editor.SetAddressText("$70000"); // ends at $80000: no question
    EXPECT_TRUE(editor.Ok().Accepted);
    EXPECT_EQ(presenter_.Boxes().size(), 2U);
}

TEST_F(ModuleEditorTest, InsertAllIntoAnEmptyRomModuleTakesTheCodeThatFits) {
    tModule module("ROM", 0xE000, 0x2000);
    TModuleEditor editor(module, unplaced_, &design_);
    editor.InsertAll();
    // The large IO_TEXT does not fit, the data does not suit a module in the ROM space.
    EXPECT_EQ(NamesOf(editor.UsedUnits()), (Names{"-- LOADER --", "MAIN_TEXT", "IO_TEXT", "-- INITDATA --"}));
    EXPECT_EQ(NamesOf(editor.UnusedUnits()), (Names{"Data", "Stack", "Heap", "IO_TEXT"}));
    EXPECT_TRUE(presenter_.Boxes().empty());
    EXPECT_EQ(editor.RestSizeText(), "Unused size: $006A0 (1 KB)");
    module.Length = 0x1000;
    EXPECT_EQ(editor.RestSizeText(), "Over size: $00960 (2 KB)");

    // An empty module between the code and the data limits takes the code first, refuses the data
    // and stops when a pass moves nothing.
    module.UnplaceAll(unplaced_);
    tModule both("MIX", 0x5000, 0x20000);
    TModuleEditor mixed(both, unplaced_, &design_);
    mixed.InsertAll();
    EXPECT_EQ(NamesOf(mixed.UnusedUnits()), (Names{"Data", "Stack", "Heap"}));
    EXPECT_EQ(presenter_.Texts(), (Names{"Can't insert. Heap can not be in ROM module.",
                                         "Can't insert. Stack can not be in ROM module.",
                                         "Can't insert. Data can not be in ROM module."}));
    EXPECT_EQ(both.Count() + unplaced_.Count(), 8);
}

TEST_F(ModuleEditorTest, MovesGoThroughTheRulesAndNeedASelection) {
    tModule module("ROM", 0xC800, 0x8000);
    TModuleEditor editor(module, unplaced_, &design_);
    editor.RemoveUnits({});
    EXPECT_EQ(presenter_.Texts(), Names{"Before remove, select unit in \"Used units\""});
    editor.InsertUnits({}, -1);
    EXPECT_TRUE(module.Empty());
    presenter_.Clear();
    // Data and MAIN_TEXT: the bottom one goes first and makes the module ROM; the data is refused.
    editor.InsertUnits(std::vector<int>{0, 4}, 0);
    EXPECT_EQ(NamesOf(editor.UsedUnits()), Names{"MAIN_TEXT"});
    EXPECT_EQ(presenter_.Texts(), Names{"Can't insert. Data can not be in ROM module."});
    editor.InsertUnits({}, 3); // the loader, the current one
    EXPECT_EQ(NamesOf(editor.UsedUnits()), (Names{"-- LOADER --", "MAIN_TEXT"}));
    EXPECT_EQ(TModuleEditor::UnitSizeText(editor.UsedUnits()[0]), "Unit size: $00060");
    editor.RemoveUnits(std::vector<int>{0});
    EXPECT_EQ(NamesOf(editor.UsedUnits()), Names{"MAIN_TEXT"});
}

TEST_F(ModuleEditorTest, CancelRestoresTheModuleExactly) {
    tModule module("ROM", 0xC800, 0x8000);
    for (const char* name : {"-- LOADER --", "IO_TEXT"}) {
        MoveUnit(unplaced_, unplaced_.UnitByName(name), module);
    }
    module.Used = 0x1234; // as read, whatever the units add up to
    module.ModuleLength = 0x800;
    TModuleEditor editor(module, unplaced_, &design_);
    const std::vector<const tModUnit*> before = editor.UsedUnits();
    editor.RemoveAll();
    editor.InsertUnits(std::vector<int>{4, 7}, 0); // MAIN_TEXT, -- INITDATA --
    editor.SetNameText("OTHER");
    editor.SetAddressText("$D0000");
    editor.SetSizeText("$4000");
    editor.LeaveName();
    editor.LeaveAddress();
    editor.LeaveSize();
    ASSERT_TRUE(design_.Changed);
    ASSERT_TRUE(design_.Unsaved) << "an edit is one to save before the project closes";
    editor.Cancel();

    // The very units it had, not the other IO_TEXT of the same name.
    EXPECT_EQ(editor.UsedUnits(), before);
    EXPECT_EQ(std::tie(module.Name, module.Address, module.Length, module.Used, module.ModuleLength),
              std::make_tuple("ROM", 0xC800, 0x8000U, 0x1234U, 0x800U));
    EXPECT_FALSE(design_.Changed);
    EXPECT_FALSE(design_.Unsaved);
    EXPECT_EQ(editor.AddressText(), "$C8000");
    EXPECT_EQ(module.Count() + unplaced_.Count(), 8);
}

} // namespace
} // namespace ravlo
