#include "platform/message_box_flags.h"
#include "project/insert_rules.h"
#include "project/module.h"
#include "project/project_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ProjectTest;

class InsertRulesTest : public ProjectTest {
protected:
    // A unit of that kind in the unplaced units.
    const tModUnit* Unplaced(MUnitT kind, const std::string& name, std::uint16_t length = 0x20) {
        unplaced_.Insert(
            std::make_unique<tModUnit>(kind, name, static_cast<std::uint16_t>(unplaced_.Count()), 0, length));
        return unplaced_.UnitByName(name);
    }

    // Places a unit without the rules, to give a module its type.
    void Seed(tModule& module, MUnitT kind, const std::string& name) {
        module.Insert(std::make_unique<tModUnit>(kind, name, 0x100, 0, 0x10));
    }

    // Tries one insert; answers whether it went in and what was shown.
    bool Try(tModule& module, MUnitT kind, const std::string& name) {
        presenter_.Clear();
        return InsertUnitByRules(module, Unplaced(kind, name), unplaced_);
    }

    tModule unplaced_;
};

TEST_F(InsertRulesTest, EmptyModulesTakeDataBelow8000AndCodeFrom4000) {
    tModule low("RAM", 0x7FFF, 0x1000);
    EXPECT_TRUE(Try(low, MUnitT::Data, "Data"));
    EXPECT_EQ(low.MemType(), ModuleT::RAM);
    EXPECT_TRUE(presenter_.Boxes().empty());

    tModule high("X", 0x8000, 0x1000);
    EXPECT_FALSE(Try(high, MUnitT::Stack, "Stack"));
    EXPECT_EQ(presenter_.Texts(),
              std::vector<std::string>{"Can't insert. Data unit can not be in ROM space."});
    EXPECT_EQ(high.MemType(), ModuleT::NIL);
    EXPECT_NE(unplaced_.UnitByName("Stack"), nullptr);

    tModule belowCode("Y", 0x3FFF, 0x1000);
    EXPECT_FALSE(Try(belowCode, MUnitT::Code, "CODE1"));
    EXPECT_EQ(presenter_.Texts(),
              std::vector<std::string>{"Can't insert. Code unit can not be in RAM space."});

    tModule codeStart("ROM", 0x4000, 0x1000);
    EXPECT_TRUE(Try(codeStart, MUnitT::Loader, "-- LOADER --"));
    EXPECT_EQ(codeStart.MemType(), ModuleT::ROM);
    EXPECT_EQ(unplaced_.UnitByName("-- LOADER --"), nullptr);

    for (const std::uint16_t address : {0x0100, 0xE000}) {
        tModule irom("IROM", address, 0x1000);
        EXPECT_TRUE(Try(irom, MUnitT::CodeInDataSeg, "Graph"));
        EXPECT_EQ(irom.MemType(), ModuleT::IROM);
        EXPECT_TRUE(presenter_.Boxes().empty());
    }
}

TEST_F(InsertRulesTest, DataKindsStayOutOfRomModules) {
    tModule rom("ROM", 0xC800, 0x8000);
    Seed(rom, MUnitT::Code, "MAIN");
    EXPECT_FALSE(Try(rom, MUnitT::Data, "Data"));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Can't insert. Data can not be in ROM module."});
    EXPECT_FALSE(Try(rom, MUnitT::Stack, "Stack"));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Can't insert. Stack can not be in ROM module."});
    EXPECT_FALSE(Try(rom, MUnitT::Heap, "Heap"));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Can't insert. Heap can not be in ROM module."});
    EXPECT_EQ(rom.Count(), 1);

    tModule ram("RAM", 0x0100, 0x8000);
    Seed(ram, MUnitT::Data, "Data0");
    EXPECT_TRUE(Try(ram, MUnitT::Heap, "Heap"));
    EXPECT_FALSE(Try(ram, MUnitT::Code, "CODE1"));
    EXPECT_EQ(presenter_.Texts(),
              std::vector<std::string>{"Can't insert. Code unit can not be in RAM module."});
    EXPECT_FALSE(Try(ram, MUnitT::CodeInDataSeg, "Graph"));
    EXPECT_EQ(ram.Count(), 2);
}

TEST_F(InsertRulesTest, IromModulesRefuseInitCodeAndAskForOtherCode) {
    tModule irom("IROM", 0x2000, 0x8000);
    Seed(irom, MUnitT::CodeInDataSeg, "Graph");
    EXPECT_FALSE(Try(irom, MUnitT::InitCode, "-- INITCODE --"));
    EXPECT_EQ(
        presenter_.Texts(),
        std::vector<std::string>{"Can't insert. Unit '-- INITCODE --' can not be placed in IROM module."});

    presenter_.Answer(IDNO);
    EXPECT_FALSE(Try(irom, MUnitT::Code, "CODE1"));
    ASSERT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_EQ(presenter_.Boxes()[0].text,
              "This code unit shouldn't be in IROM but in ROM module.\r\nDo you really "
              "want to have this code unit placed in IROM ?");
    EXPECT_EQ(presenter_.Boxes()[0].flags & MB_TYPEMASK, MB_YESNO);
    EXPECT_NE(unplaced_.UnitByName("CODE1"), nullptr);

    presenter_.Answer(IDYES);
    EXPECT_TRUE(Try(irom, MUnitT::Code, "CODE2"));
    EXPECT_NE(irom.UnitByName("CODE2"), nullptr);
    // The module's one type follows from its units: the RAM code keeps it IROM.
    EXPECT_EQ(irom.MemType(), ModuleT::IROM);

    // Data would turn it into a RAM module holding code: refused, the module stays IROM.
    EXPECT_FALSE(Try(irom, MUnitT::Stack, "Stack"));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Can't insert. Stack can not be in IROM module."});
    EXPECT_EQ(irom.MemType(), ModuleT::IROM);
    EXPECT_FALSE(irom.KindMismatch().has_value());
}

TEST_F(InsertRulesTest, RamCodeInRomIsAskedAndRefusedBesideInitCode) {
    tModule rom("ROM", 0xC800, 0x8000);
    Seed(rom, MUnitT::Code, "MAIN");
    presenter_.Answer(IDNO);
    EXPECT_FALSE(Try(rom, MUnitT::CodeInDataSeg, "Graph"));
    EXPECT_EQ(
        presenter_.Texts(),
        std::vector<std::string>{"This special code unit shouldn't be in ROM but in IROM module.\r\nDo you "
                                 "really want to have this code unit placed in ROM ?"});

    tModule withInitCode("ROM2", 0xD000, 0x8000);
    Seed(withInitCode, MUnitT::InitCode, "-- INITCODE --");
    EXPECT_FALSE(Try(withInitCode, MUnitT::CodeInDataSeg, "ScGraph"));
    EXPECT_EQ(presenter_.Texts(),
              std::vector<std::string>{"Can't insert. IROM module can't contain '-- INITCODE --' unit "});

    EXPECT_TRUE(Try(rom, MUnitT::InitData, "-- INITDATA --"));
    EXPECT_TRUE(presenter_.Boxes().empty());
}

TEST_F(InsertRulesTest, MovingKeepsUsedAndRefusesANullUnit) {
    tModule rom("ROM", 0xC800, 0x8000);
    const tModUnit* unit = Unplaced(MUnitT::Code, "MAIN", 0x21);
    const std::uint32_t unplacedUsed = unplaced_.Used;
    EXPECT_TRUE(InsertUnitByRules(rom, unit, unplaced_));
    EXPECT_EQ(rom.Used, 0x30U);
    EXPECT_EQ(unplaced_.Used, unplacedUsed - 0x30U);

    EXPECT_FALSE(InsertUnitByRules(rom, nullptr, unplaced_));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Err - inserting NIL unit (shouldn't appear)!"});

    rom.UnplaceAll(unplaced_);
    EXPECT_TRUE(rom.Empty());
    EXPECT_EQ(rom.Used, 0U);
    EXPECT_EQ(unplaced_.Used, unplacedUsed);
    EXPECT_NE(unplaced_.UnitByName("MAIN"), nullptr);
}

} // namespace
} // namespace ravlo
