#include "framework/num_edit_validators.h"
#include "framework/string_edit_validator.h"
#include "platform/cp1250.h"
#include "support/box_recorder.h"
#include "support/fake_val_control.h"

#include <functional>
#include <gmock/gmock.h>
#include <memory>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::FakeValControl;

using MakeFn = std::function<std::unique_ptr<TCtrlValidator>()>;

template <class V, class... Args>
MakeFn Make(Args... args) {
    return [=] {
        auto validator = std::make_unique<V>();
        validator->Setup(args...);
        return validator;
    };
}

// A byte edit with a label text and id.
MakeFn Labelled(std::string label, std::uint8_t min, std::uint8_t max, std::int32_t labelId = -1) {
    return [=] {
        auto validator = Make<TTrByteEdit_Validator>(0, min, max)();
        validator->LabelText = label;
        validator->LabelId = labelId;
        return validator;
    };
}

struct EditCase {
    const char* name;
    MakeFn make;
    Bytes record;
    std::string shown; // what Load puts in the edit
    std::string typed;
    std::string box; // the error box, "" when the input is accepted
    Bytes stored;    // the record after Store (or unchanged after a failure)
};

const TCharSet kDigits = CharRange('0', '9');

TEST(CtrlValidatorsTest, EditsShowCheckAndStoreTheirFields) {
    const std::string kSyntax = Utf8ToCp1250("Chyba v zápisu čísla");
    const std::string kBadChars = Utf8ToCp1250("textový řetězec obsahuje nedovolené znaky");
    // clang-format off
    const std::vector<EditCase> cases = {
        {"range text without a label", Make<TTrByteEdit_Validator>(0, 10, 20), {15}, "15", "21",
         "Hodnota 21 mimo meze <10;20>", {15}},
        {"hex shown, bad hex", Make<TTrByteEdit_Validator>(kValHex), {255}, "$FF", "$1G", kSyntax, {255}},
        {"hex range text", Make<TTrByteEdit_Validator>(kValHex, 0, 16), {0}, "$00", "$20",
         "Hodnota $20 mimo meze <$0;$10>", {0}},
        {"label as pattern", Labelled("Port %d not in %d..%d", 1, 9), {1}, "1", "10",
         "Port 10 not in 1..9", {1}},
        {"label pattern never reads past its arguments", Labelled("%s%s%n%x%x%x", 10, 20),
         {10}, "10", "21", "2110%n14<?><?>", {10}},
        {"string-table label first", Labelled("own", 1, 9, 178), {1}, "1", "10",
         "Editace parametru", {1}},
        {"byte limits from the field", Make<TTrByteLimEdit_Validator>(0), {5, 1, 9}, "5", "10",
         "Hodnota 10 mimo meze <1;9>", {5, 1, 9}},
        {"word with limits stores only the value", Make<TTrWordLimEdit_Validator>(kValHex),
         {0x34, 0x12, 0, 0, 0xFF, 0xFF}, "$1234", "$ABCD", "", {0xCD, 0xAB, 0, 0, 0xFF, 0xFF}},
        {"longint is signed", Make<TTrLIntEdit_Validator>(kValHex), {0xFF, 0xFF, 0xFF, 0xFF}, "$FFFFFFFF", "-2", "",
         {0xFE, 0xFF, 0xFF, 0xFF}},
        {"longint hex range text", Make<TTrLIntEdit_Validator>(kValHex, 0, 100), {0, 0, 0, 0}, "$00000000",
         "$FFFFFFFF", "Hodnota $FFFFFFFF mimo meze <0;100>", {0, 0, 0, 0}},
        {"dword compared unsigned", Make<TTrDWordEdit_Validator>(0, 0U, 0x7FFFFFFFU), {1, 0, 0, 0}, "1",
         "4294967295", "Hodnota 4294967295 mimo meze <0;2147483647>", {1, 0, 0, 0}},
        {"string cut to its field", Make<TTrStringEdit_Validator>(0, 5, CharRange(32, 255)), {3, 'a', 'b', 'c', 0},
         "abc", "wxyzXY", "", {4, 'w', 'x', 'y', 'z'}},
        {"string trimmed, tail zeroed", Make<TTrStringEdit_Validator>(kValTrimLeft | kValTrimRight, 5, kDigits),
         {4, '1', '2', '3', '4'}, "1234", "  9  ", "", {1, '9', 0, 0, 0}},
        {"string with a character not allowed", Make<TTrStringEdit_Validator>(0, 5, kDigits), {0, 0, 0, 0, 0}, "",
         "1a", kBadChars, {0, 0, 0, 0, 0}},
        {"length byte beyond the field", Make<TTrStringEdit_Validator>(0, 3, kDigits), {200, '1', '2'}, "12", "12",
         "", {2, '1', '2'}},
    };
    // clang-format on
    testing::BoxRecorder boxes;
    for (const EditCase& c : cases) {
        FakeValControl edit;
        Bytes record = c.record;
        const auto validator = c.make();
        validator->AssignCtrl(&edit);
        validator->Load(record);
        EXPECT_EQ(edit.text, c.shown) << c.name;
        edit.text = c.typed;
        const bool accepted = validator->Validate();
        EXPECT_EQ(boxes.Take(), c.box) << c.name;
        EXPECT_EQ(accepted, c.box.empty()) << c.name;
        EXPECT_EQ(edit.focusCount, accepted ? 0 : 1) << c.name;
        validator->Store();
        EXPECT_EQ(record, c.stored) << c.name;
    }
}

TEST(CtrlValidatorsTest, AControlOfAnotherClassIsRefused) {
    FakeValControl box(TCtrlClass::CheckBox);
    TTrByteEdit_Validator validator;
    EXPECT_THAT([&] { validator.AssignCtrl(&box); },
                ::testing::ThrowsMessage<ExcValidators>("TTrByteEdit_Validator.AssignCtrl <> TEdit\\.."));
    EXPECT_EQ(validator.Control, nullptr);
}

} // namespace
} // namespace ravlo
