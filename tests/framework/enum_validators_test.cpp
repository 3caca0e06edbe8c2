#include "framework/app_data.h"
#include "framework/enum_validators.h"
#include "framework/num_edit_validators.h"
#include "framework/record_validator.h"
#include "platform/cp1250.h"
#include "support/box_recorder.h"
#include "support/fake_val_control.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::FakeValControl;

// Enumeration 0: "off", "on", "auto".
class EnumValidatorsTest : public ::testing::Test {
protected:
    EnumValidatorsTest() {
        AppExtension().AppData = std::make_unique<TAppData>();
        AppExtension().AppData->EnumTypesColl = std::make_unique<TEnumTypesColl>();
        auto type = std::make_unique<TEnumTypeDefinition>();
        for (const char* text : {"off", "on", "auto"}) {
            type->Strings.Add(text);
        }
        AppExtension().AppData->EnumTypesColl->Insert(std::move(type));
    }
    ~EnumValidatorsTest() override { ResetAppExtension(); }

    testing::BoxRecorder boxes_;
};

TEST_F(EnumValidatorsTest, ComboTakesItsEnumerationFromTheField) {
    Bytes record = {1, 0, 0, 0, 0, 0x77};
    FakeValControl combo(TCtrlClass::ComboBox);
    FakeValControl next;
    TCtrlBindings bindings;
    bindings.Add<TTrEnumCombo_Validator>(&combo).Setup(0);
    bindings.Add<TTrByteEdit_Validator>(&next);
    TRecordValidator validator;
    validator.TransferTo(std::move(bindings), record);
    EXPECT_EQ(combo.items, (std::vector<std::string>{"off", "on", "auto"}));
    EXPECT_EQ(combo.itemIndex, 1);
    EXPECT_EQ(next.text, "119"); // the sixth byte: the field took five
    combo.itemIndex = 2;
    EXPECT_TRUE(validator.ValidateAndStore());
    EXPECT_EQ(record, (Bytes{2, 0, 0, 0, 0, 0x77}));
}

TEST_F(EnumValidatorsTest, ChoiceTypedTextAndLimits) {
    struct {
        const char* name;
        std::int32_t selected; // -1: none, the typed text counts
        std::string typed, box;
        std::uint8_t stored;
    } const cases[] = {
        {"selected entry", 2, "", "", 2},
        {"typed entry text", -1, "auto", "", 2},
        {"typed number without an entry", -1, "$C8", "", 200},
        {"entry below Min", 0, "", "Enum Err: 0 out of <1;200>", 7},
        {"number above Max", -1, "201", "Enum Err: Hodnota mimo meze <1;200>", 7},
        {"no number", -1, "auto!", Utf8ToCp1250("Enum Err: Syntaktická chyba v zápisu čísla integer <1;200>"),
         7},
    };
    for (const auto& c : cases) {
        Bytes record = {7};
        FakeValControl combo(TCtrlClass::ComboBox);
        TTrEnumRunCombo_Validator validator;
        validator.Setup(0, 0, 1, 200);
        validator.AssignCtrl(&combo);
        validator.Load(record);
        EXPECT_EQ(combo.itemIndex, -1) << c.name; // 7 has no entry: shown as a number
        EXPECT_EQ(combo.text, "7") << c.name;
        combo.itemIndex = c.selected;
        combo.text = c.typed;
        EXPECT_EQ(validator.Validate(), c.box.empty()) << c.name;
        EXPECT_EQ(boxes_.Take(), c.box) << c.name;
        validator.Store();
        EXPECT_EQ(record[0], c.stored) << c.name;
    }
}

TEST_F(EnumValidatorsTest, MaskedValidatorsShareAByteAndKeepTheOtherBits) {
    Bytes record = {0x6D, 0x00}; // 01 101 101: values 1 (mask $C0) and 5 (mask $07), bits 5-3 kept
    FakeValControl high(TCtrlClass::ComboBox), low(TCtrlClass::ComboBox), group(TCtrlClass::RadioGroup);
    TCtrlBindings bindings;
    bindings.Add<TTrMskEnumRunCombo_Validator>(&high).Setup(kValNoRoom, 0, 0xC0);
    bindings.Add<TTrMskEnumRunCombo_Validator>(&low).Setup(0, 0, 0x07);
    bindings.Add<TTrMskEnumRunRadioGroup_Validator>(&group).Setup(0, 0, 0x03, 0, 1);
    TRecordValidator validator;
    validator.TransferTo(std::move(bindings), record);
    EXPECT_EQ(std::tuple(high.itemIndex, low.text, group.itemIndex), std::tuple(1, "5", 0)); // group: byte 2
    low.text = "9"; // more than three bits hold
    EXPECT_FALSE(validator.ValidateAndStore());
    EXPECT_EQ(boxes_.Take(), "Enum Err: Hodnota mimo meze <0;7>");
    group.itemIndex = 2;
    low.text = "3";
    EXPECT_FALSE(validator.ValidateAndStore());
    EXPECT_EQ(boxes_.Take(), "Enum Err: hodnota mimo meze <0;1>");
    EXPECT_EQ(record, (Bytes{0x6D, 0x00}));
    high.itemIndex = 2;
    group.itemIndex = 1;
    EXPECT_TRUE(validator.ValidateAndStore());
    EXPECT_EQ(record, (Bytes{0xAB, 0x01})); // 10 101 011
}

TEST_F(EnumValidatorsTest, AMaskWithoutBitsOrWithGapsIsRefusedAtSetup) {
    for (const std::uint8_t mask : {0x00, 0x05, 0x81}) {
        EXPECT_THROW(TTrMskEnumCombo_Validator().Setup(0, mask), ExcValidators) << int{mask};
    }
}

} // namespace
} // namespace ravlo
