#include "platform/message_box_flags.h"
#include "project/module_collection.h"
#include "project/module_editor.h"
#include "project/project_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ProjectTest;

class ModuleEditorTest : public ProjectTest {
protected:
    ModuleEditorTest() {
        Add(MUnitT::Data, "Data", 0x40, 0x800);
        Add(MUnitT::Stack, "Stack", 0x80, 0x200);
        Add(MUnitT::Heap, "Heap", 0xA0, 0);
        Add(MUnitT::Loader, "-- LOADER --", 0xFFFF, 96);
        Add(MUnitT::Code, "MAIN_TEXT", 0x00, 0x1000);
        Add(MUnitT::Code, "IO_TEXT", 0x10, 0x3000);
        Add(MUnitT::Code, "IO_TEXT", 0x30, 0x10); // a second segment of the same name
        Add(MUnitT::InitData, "-- INITDATA --", 0xFFFE, 0x8F0);
    }
    void Add(MUnitT kind, const std::string& name, std::uint16_t relSeg, std::uint16_t length) {
        unplaced_.Insert(std::make_unique<tModUnit>(kind, name, relSeg, 0, length));
    }
    std::vector<std::string> Names(const std::vector<const tModUnit*>& units) const {
        std::vector<std::string> names;
        for (const tModUnit* unit : units) {
            names.push_back(unit->Name);
        }
        return names;
    }
    // Indexes of the unplaced units of these names, as the list shows them.
    std::vector<int> Rows(const TModuleEditor& editor, const std::vector<std::string>& names) const {
        std::vector<int> rows;
        const auto units = editor.UnusedUnits();
        for (std::size_t i = 0; i < units.size(); ++i) {
            if (std::find(names.begin(), names.end(), units[i]->Name) != names.end()) {
                rows.push_back(static_cast<int>(i));
            }
        }
        return rows;
    }
    // Every unit is in exactly one of the two modules.
    void ExpectEveryUnitOnce(const tModule& module) const {
        EXPECT_EQ(module.Count() + unplaced_.Count(), 8);
        module.ForEach([this](const tModUnit& unit) { EXPECT_EQ(unplaced_.IndexOf(&unit), -1); });
        EXPECT_EQ(module.Used, module.SumOfUnitSizes());
    }

    tModule unplaced_;
    tModuleCollection design_;
};

TEST_F(ModuleEditorTest, LeavingTheAddressGivesAnEmptyModuleItsDefaultSize) {
    struct Case {
        std::string address;
        std::uint32_t lengthBefore;
        std::uint16_t segment;
        std::uint32_t length;
        std::string sizeText;
        bool changed;
    };
    for (const Case& c :
         {Case{"$00B00", 0, 0x00B0, 0x1E000, "$1E000", true},
          Case{"$C8000", 0, 0xC800, 0x18000, "$18000", true},
          Case{"c8000", 0x8000, 0xC800, 0x8000, "$08000", true}, Case{"$00000", 0, 0, 0, "$00000", false},
          Case{"$1C8000", 0, 0xC800, 0x18000, "$18000", true}, Case{"nonsense", 0, 0, 0, "$00000", false}}) {
        tModule module("M", 0, c.lengthBefore);
        design_.Changed = false;
        TModuleEditor editor(module, unplaced_, &design_);
        editor.SetAddressText(c.address);
        editor.LeaveAddress();
        EXPECT_EQ(module.Address, c.segment) << c.address;
        EXPECT_EQ(module.Length, c.length) << c.address;
        EXPECT_EQ(editor.SizeText(), c.sizeText);
        EXPECT_EQ(design_.Changed, c.changed) << c.address;
    }
}

TEST_F(ModuleEditorTest, OkRunsTheChecksInOrder) {
    struct Case {
        MUnitT seed; // the kind that gives the module its type; None for an empty module
        std::string name, address, size;
        std::vector<std::string> texts;
        TEditorField focus;
    };
    const std::string range = "Start address out of address space or error in value!";
    const std::vector<Case> cases = {
        {MUnitT::Code, " ", "$C8000", "$8000", {"Module name can't be empty!"}, TEditorField::Name},
        {MUnitT::Code, "A$B", "$C8000", "$8000", {"Module name can't contain \"$\"!"}, TEditorField::Name},
        {MUnitT::Code, "ROM", "C8000x", "$8000", {range}, TEditorField::Address},
        {MUnitT::Code, "ROM", "-$10", "$8000", {range}, TEditorField::Address},
        {MUnitT::Code, "ROM", "$FFFF1", "$8000", {range}, TEditorField::Address},
        {MUnitT::Code, "ROM", "$C8000", "8k", {"Error in value of module size!"}, TEditorField::Size},
        {MUnitT::Code, "ROM", "$C8000", "$8000", {}, TEditorField::None},
        {MUnitT::Code,
         "ROM",
         "$C8100",
         "$8000",
         {"Incorrect address segment (not at 512 B boundary)!"},
         TEditorField::Address},
        {MUnitT::Code,
         "ROM",
         "$3E000",
         "$8000",
         {"Start address out of range <$40000..$FCF00>!"},
         TEditorField::Address},
        {MUnitT::Data, "RAM", "$38000", "$8000", {}, TEditorField::None},
        {MUnitT::Data,
         "RAM",
         "$38010",
         "$8000",
         {"Start address out of range <$00B00..$38000>!"},
         TEditorField::Address},
        {MUnitT::Data,
         "RAM",
         "$00A00",
         "$8000",
         {"Start address out of range <$00B00..$38000>!"},
         TEditorField::Address},
        {MUnitT::None, "X", "$F8000", "$8100", {"Module end beyond 1MB limit!"}, TEditorField::Size},
        {MUnitT::None,
         "X",
         "$F8000",
         "$180",
         {"Incorrect size (not at 256 B boundary)!"},
         TEditorField::Size},
        {MUnitT::None,
         "X",
         "$F8000",
         "0",
         {"Incorrect size (minimum size is $100 = 256 B)!"},
         TEditorField::Size},
        // Checks 5 to 8 all run; the first failure takes the focus.
        {MUnitT::Loader,
         "ROM",
         "$B0000",
         "$180",
         {"Incorrect size (not at 256 B boundary)!",
          "Unit \"--LOADER--\" must be placed above $C0000 address!"},
         TEditorField::Size},
        {MUnitT::Loader, "ROM", "$C0000", "$8000", {}, TEditorField::None},
        {MUnitT::CodeInDataSeg,
         "IROM",
         "$20000",
         "$10100",
         {"Size of module with initialized code exceed 64kB!"},
         TEditorField::Size},
    };
    for (const Case& c : cases) {
        tModule module("OLD", 0x9000, 0x1000);
        if (c.seed != MUnitT::None) {
            module.Insert(std::make_unique<tModUnit>(
                c.seed, c.seed == MUnitT::Loader ? "-- LOADER --" : "SEED", 0x200, 0, 0x10));
        }
        TModuleEditor editor(module, unplaced_, &design_);
        editor.SetNameText(c.name);
        editor.SetAddressText(c.address);
        editor.SetSizeText(c.size);
        presenter_.Clear();
        const TEditorOkResult result = editor.Ok();
        EXPECT_EQ(presenter_.Texts(), c.texts) << c.name << " " << c.address << " " << c.size;
        EXPECT_EQ(result.Accepted, c.texts.empty()) << c.address;
        EXPECT_EQ(result.Focus, c.focus) << c.address;
        if (result.Accepted) {
            EXPECT_EQ(module.Name, c.name);
            EXPECT_EQ(module.Address * 16U,
                      static_cast<std::uint32_t>(std::stoul(c.address.substr(1), nullptr, 16)));
        }
    }
}

TEST_F(ModuleEditorTest, IromInTheRomSpaceIsAskedFor) {
    tModule module("IROM", 0x7800, 0x10000);
    module.Insert(std::make_unique<tModUnit>(MUnitT::CodeInDataSeg, "Graph", 0x300, 0, 0x100));
    TModuleEditor editor(module, unplaced_, &design_);
    presenter_.Answer(IDNO);
    EXPECT_FALSE(editor.Ok().Accepted);
    ASSERT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_EQ(presenter_.Boxes()[0].text,
              "IROM module should be in RAM, but is in ROM/FLASH address space.\r\n"
              "Do you really want it this way ?");
    presenter_.Answer(IDYES);
    EXPECT_TRUE(editor.Ok().Accepted);
    editor.SetAddressText("$70000");
    presenter_.Clear();
    EXPECT_TRUE(editor.Ok().Accepted);
    EXPECT_TRUE(presenter_.Boxes().empty()) << "ends at $80000";
}

TEST_F(ModuleEditorTest, InsertAllIntoAnEmptyRomModuleTakesTheCodeThatFits) {
    tModule module("ROM", 0xE000, 0x2000);
    TModuleEditor editor(module, unplaced_, &design_);
    editor.InsertAll();
    // The large IO_TEXT does not fit, the data does not suit a module in the ROM space.
    EXPECT_EQ(Names(editor.UsedUnits()),
              (std::vector<std::string>{"-- LOADER --", "MAIN_TEXT", "IO_TEXT", "-- INITDATA --"}));
    EXPECT_LE(module.Used, module.Length);
    EXPECT_EQ(Names(editor.UnusedUnits()), (std::vector<std::string>{"Data", "Stack", "Heap", "IO_TEXT"}));
    EXPECT_TRUE(presenter_.Boxes().empty());
    ExpectEveryUnitOnce(module);
    EXPECT_EQ(editor.UnitsSizeText(), "Units size: $01960 (6 KB)");
    EXPECT_EQ(editor.RestSizeText(), "Unused size: $006A0 (1 KB)");

    // An empty module between the code and the data limits takes the code first, refuses the data
    // and stops when a pass moves nothing.
    tModule both("MIX", 0x5000, 0x20000);
    module.UnplaceAll(unplaced_);
    TModuleEditor mixed(both, unplaced_, &design_);
    mixed.InsertAll();
    EXPECT_EQ(both.MemType(), ModuleT::ROM);
    EXPECT_EQ(Names(mixed.UnusedUnits()), (std::vector<std::string>{"Data", "Stack", "Heap"}));
    EXPECT_EQ(presenter_.Texts(), (std::vector<std::string>{"Can't insert. Heap can not be in ROM module.",
                                                            "Can't insert. Stack can not be in ROM module.",
                                                            "Can't insert. Data can not be in ROM module."}));
}

TEST_F(ModuleEditorTest, MovesGoThroughTheRulesAndNeedASelection) {
    tModule module("ROM", 0xC800, 0x8000);
    TModuleEditor editor(module, unplaced_, &design_);
    const std::vector<int> none;
    editor.RemoveUnits(none);
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Before remove, select unit in \"Used units\""});
    editor.InsertUnits(none, -1);
    EXPECT_TRUE(module.Empty());
    presenter_.Clear();
    // The bottom one goes first and makes the module ROM; the data is refused and stays unplaced.
    editor.InsertUnits(Rows(editor, {"Data", "MAIN_TEXT"}), 0);
    EXPECT_EQ(Names(editor.UsedUnits()), std::vector<std::string>{"MAIN_TEXT"});
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Can't insert. Data can not be in ROM module."});
    editor.InsertUnits(none, Rows(editor, {"-- LOADER --"})[0]);
    EXPECT_EQ(Names(editor.UsedUnits()), (std::vector<std::string>{"-- LOADER --", "MAIN_TEXT"}));
    EXPECT_EQ(TModuleEditor::UnitSizeText(editor.UsedUnits()[0]), "Unit size: $00060");
    const std::vector<int> first = {0};
    editor.RemoveUnits(first);
    EXPECT_EQ(Names(editor.UsedUnits()), std::vector<std::string>{"MAIN_TEXT"});
    editor.RemoveAll();
    EXPECT_TRUE(module.Empty());
    ExpectEveryUnitOnce(module);
}

TEST_F(ModuleEditorTest, CancelRestoresTheModuleExactly) {
    tModule module("ROM", 0xC800, 0x8000);
    for (const char* name : {"-- LOADER --", "IO_TEXT"}) {
        MoveUnit(unplaced_, unplaced_.UnitByName(name), module);
    }
    module.Used = 0x1234; // as read, whatever the units add up to
    module.ModuleLength = 0x800;
    const std::vector<const tModUnit*> before = TModuleEditor(module, unplaced_, nullptr).UsedUnits();
    design_.Changed = false;

    TModuleEditor editor(module, unplaced_, &design_);
    editor.RemoveAll();
    editor.InsertUnits(Rows(editor, {"MAIN_TEXT", "-- INITDATA --"}), 0);
    editor.SetNameText("OTHER");
    editor.SetAddressText("$D0000");
    editor.SetSizeText("$4000");
    editor.LeaveName();
    editor.LeaveAddress();
    editor.LeaveSize();
    ASSERT_TRUE(design_.Changed);
    editor.Cancel();

    // The very units it had, not the other IO_TEXT of the same name.
    EXPECT_EQ(editor.UsedUnits(), before);
    EXPECT_EQ(module.Name, "ROM");
    EXPECT_EQ(module.Address, 0xC800);
    EXPECT_EQ(module.Length, 0x8000U);
    EXPECT_EQ(module.Used, 0x1234U);
    EXPECT_EQ(module.ModuleLength, 0x800U);
    EXPECT_FALSE(design_.Changed);
    EXPECT_EQ(editor.AddressText(), "$C8000");
    EXPECT_EQ(module.Count() + unplaced_.Count(), 8);
}

} // namespace
} // namespace ravlo
