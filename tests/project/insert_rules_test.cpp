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

    tModule unplaced_;
};

TEST_F(InsertRulesTest, EachUnitKindGoesOnlyWhereItsModuleTypeAllows) {
    using K = MUnitT;
    using M = ModuleT;
    const std::string askIrom = "This code unit shouldn't be in IROM but in ROM module.\r\nDo you really "
                                "want to have this code unit placed in IROM ?";
    const std::string askRom = "This special code unit shouldn't be in ROM but in IROM module.\r\nDo you "
                               "really want to have this code unit placed in ROM ?";
    // The module's address, the unit that gives it its type (None: empty), the kind inserted, the
    // answer to a question (0: none), the text shown, the module's type after (NIL: an empty one refused).
    using Case = std::tuple<std::uint16_t, MUnitT, MUnitT, int, std::string, ModuleT>;
    // Empty modules take data below $8000 and code from $4000; RAM code anywhere.
    const std::vector<Case> cases = {
        {0x7FFF, K::None, K::Data, 0, "", M::RAM},
        {0x8000, K::None, K::Stack, 0, "Can't insert. Data unit can not be in ROM space.", M::NIL},
        {0x3FFF, K::None, K::Code, 0, "Can't insert. Code unit can not be in RAM space.", M::NIL},
        {0x4000, K::None, K::Loader, 0, "", M::ROM},
        {0x0100, K::None, K::CodeInDataSeg, 0, "", M::IROM},
        {0xE000, K::None, K::CodeInDataSeg, 0, "", M::IROM},
        {0xC800, K::Code, K::Data, 0, "Can't insert. Data can not be in ROM module.", M::ROM},
        {0xC800, K::Code, K::Stack, 0, "Can't insert. Stack can not be in ROM module.", M::ROM},
        {0xC800, K::Code, K::Heap, 0, "Can't insert. Heap can not be in ROM module.", M::ROM},
        {0xC800, K::Code, K::CodeInDataSeg, IDNO, askRom, M::ROM},
        {0xC800, K::Code, K::InitData, 0, "", M::ROM},
        {0xD000, K::InitCode, K::CodeInDataSeg, 0,
         "Can't insert. IROM module can't contain '-- INITCODE --' unit ", M::ROM},
        {0x0100, K::Data, K::Heap, 0, "", M::RAM},
        {0x0100, K::Data, K::Code, 0, "Can't insert. Code unit can not be in RAM module.", M::RAM},
        {0x0100, K::Data, K::CodeInDataSeg, 0, "Can't insert. Code unit can not be in RAM module.", M::RAM},
        {0x2000, K::CodeInDataSeg, K::InitCode, 0,
         "Can't insert. Unit '-- INITCODE --' can not be placed in IROM module.", M::IROM},
        {0x2000, K::CodeInDataSeg, K::Code, IDNO, askIrom, M::IROM},
        {0x2000, K::CodeInDataSeg, K::Code, IDYES, askIrom, M::IROM}, // the RAM code keeps it IROM
        // Data would turn it into a RAM module holding code.
        {0x2000, K::CodeInDataSeg, K::Stack, 0, "Can't insert. Stack can not be in IROM module.", M::IROM},
    };
    for (const auto& [address, seed, kind, answer, text, typeAfter] : cases) {
        const std::string what = std::to_string(address) + " " + MUnitTName(seed) + " " + MUnitTName(kind);
        tModule module("M", address, 0x8000);
        if (seed != K::None) {
            module.Insert(std::make_unique<tModUnit>(seed, "SEED", 0x100, 0, 0x10));
        }
        if (answer != 0) {
            presenter_.Answer(answer);
        }
        presenter_.Clear();
        const bool in =
            InsertUnitByRules(module, Unplaced(kind, "U" + std::to_string(unplaced_.Count())), unplaced_);
        EXPECT_EQ(in, (text.empty() || answer == IDYES) && typeAfter != M::NIL) << what;
        EXPECT_EQ(module.Count(), (seed != K::None ? 1 : 0) + (in ? 1 : 0)) << what;
        EXPECT_EQ(presenter_.Texts(),
                  text.empty() ? std::vector<std::string>{} : std::vector<std::string>{text})
            << what;
        EXPECT_EQ(module.MemType(), typeAfter) << what;
    }
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
