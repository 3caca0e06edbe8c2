#include "framework/arr_rec_validator.h"
#include "framework/bit_validators.h"
#include "framework/dialog_registry.h"
#include "framework/num_edit_validators.h"
#include "framework/param_record.h"
#include "framework/record_validator.h"
#include "platform/cp1250.h"
#include "support/box_recorder.h"
#include "support/fake_val_control.h"

#include <gmock/gmock.h>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::FakeValControl;

class RecordValidatorTest : public ::testing::Test {
protected:
    testing::BoxRecorder boxes_;
    FakeValControl a_, b_;
    FakeValControl box1_{TCtrlClass::CheckBox}, box2_{TCtrlClass::CheckBox};
    TRecordValidator validator_;

    // Binds a_ and b_ (0..9) as byte edits over record; a_ is typed as 7.
    void BindBytes(Bytes& record) {
        TCtrlBindings bindings;
        bindings.Add<TTrByteEdit_Validator>(&a_);
        bindings.Add<TTrByteEdit_Validator>(&b_).Setup(0, 0, 9);
        validator_.TransferTo(std::move(bindings), record);
        a_.text = "7";
    }
};

TEST_F(RecordValidatorTest, BitsAndNoRoomValidatorsShareAField) {
    Bytes record = {0x81, 0x07};
    TCtrlBindings bindings;
    bindings.Add<TTrByteEdit_Validator>(&a_).Setup(kValHex | kValNoRoom);
    bindings.Add<TTrByteChecks_Validator>(&box1_).Setup(0, 0x01, false);
    bindings.Add<TTrByteChecks_Validator>(&box2_).Setup(0, 0x80, true);
    bindings.Add<TTrByteEdit_Validator>(&b_);
    validator_.TransferTo(std::move(bindings), record);
    EXPECT_EQ(a_.text + b_.text, "$817");
    EXPECT_TRUE(box1_.checked && box2_.checked);
    // The edit stores first; the boxes then set or clear only their own bits.
    a_.text = "$7E";
    box1_.checked = false;
    EXPECT_TRUE(validator_.ValidateAndStore());
    EXPECT_EQ(record, (Bytes{0xFE, 0x07}));
}

TEST_F(RecordValidatorTest, ArraysOfDifferentLengthsOrAShortRecordBindNothing) {
    Bytes record = {5, 6};
    const std::vector<TValControl*> controls = {&a_, &b_};
    std::vector<std::unique_ptr<TCtrlValidator>> one;
    one.push_back(std::make_unique<TTrByteEdit_Validator>());
    validator_.TransferTo(controls, std::move(one), record);
    EXPECT_EQ(boxes_.Take(), "# TRecordValidator.TransferTo CNA<>VAA : 1<>0");
    TCtrlBindings bindings;
    bindings.Add<TTrByteEdit_Validator>(&a_);
    bindings.Add<TTrWordEdit_Validator>(&b_);
    validator_.TransferTo(std::move(bindings), record);
    EXPECT_EQ(boxes_.Take(), "# TRecordValidator.TransferTo TTrWordEdit_Validator REC<FLD : 2<3");
    EXPECT_EQ(a_.text, ""); // nothing was loaded
    EXPECT_TRUE(validator_.ValidateAndStore());
    EXPECT_EQ(record, (Bytes{5, 6}));
}

TEST_F(RecordValidatorTest, ARefusedAcceptLeavesTheRecordAsItWas) {
    Bytes record = {1, 2};
    BindBytes(record);
    bool accept = false;
    validator_.OnAccept = [&](TRecordValidator& v) {
        EXPECT_EQ(v.RecordPtr[0], 5); // OnAccept sees the stored values
        return accept;
    };
    a_.text = "5";
    EXPECT_FALSE(validator_.ValidateAndStore());
    EXPECT_EQ(record, (Bytes{1, 2}));
    accept = true;
    EXPECT_TRUE(validator_.ValidateAndStore());
    EXPECT_EQ(record, (Bytes{5, 2}));
}

// OK with one invalid field stores no field at all; any other result neither validates nor stores.
TEST_F(RecordValidatorTest, CloseQueryValidatesOnlyOk) {
    struct {
        int result;
        std::string typed;
        bool designedAnswer, closes, designedAsked;
        Bytes stored;
    } const cases[] = {{mrCancel, "x", false, true, false, {1, 2}},
                       {mrOk, "x", true, false, false, {1, 2}},
                       {mrOk, "3", false, false, true, {1, 2}},
                       {mrOk, "3", true, true, true, {7, 3}}};
    for (const auto& c : cases) {
        Bytes record = {1, 2};
        BindBytes(record);
        b_.text = c.typed;
        bool asked = false;
        EXPECT_EQ(ValCloseQuery(c.result, validator_, [&] { return asked = true, c.designedAnswer; }),
                  c.closes);
        EXPECT_EQ(asked, c.designedAsked) << c.result << c.typed;
        EXPECT_EQ(record, c.stored) << c.result << c.typed;
        EXPECT_EQ(boxes_.Take().empty(), c.result != mrOk || c.typed != "x");
    }
}

TEST_F(RecordValidatorTest, StateBitsSwitchTheControls) {
    Bytes record = {9, 1};
    TCtrlBindings bindings;
    bindings.Add<TTrByteEdit_Validator>(&a_);
    bindings.Add<TTrByteChecks_Validator>(&box1_).Setup(0, 1, false);
    bindings.Add<TTrByteChecks_Validator>(&box2_).Setup(kValKeepCtrlState, 1, true);
    validator_.SetStateBits(kCsEmpty | kCsReadOnly | kCsEnabled, kCsVisible | kCsTabStop);
    validator_.TransferTo(std::move(bindings), record);
    EXPECT_TRUE(a_.text.empty() && a_.readOnly && !a_.visible && !a_.tabStop);
    EXPECT_FALSE(box1_.checked || box1_.visible || box1_.readOnly);
    EXPECT_TRUE(box2_.checked && box2_.visible); // left alone
}

// Three records of one word each, edited in a detail edit beside the list.
class ArrRecTest : public RecordValidatorTest {
protected:
    void Bind(std::int32_t count, std::string selection = {}) {
        TCtrlBindings bindings;
        auto& list = bindings.Add<TTrArrRecListBox_Validator>(&list_);
        list.Setup(0, 6, &detail_, true, true, -1);
        list.SelectionText = std::move(selection);
        list.OnCount = [count](std::span<std::uint8_t>) {
            return count;
        };
        list.OnGetText = [](std::span<std::uint8_t> records, std::int32_t i, std::string& text) {
            text = "#" + std::to_string(records[2 * i]);
        };
        list.OnSelect = [this](std::span<std::uint8_t> records, std::int32_t i) {
            TCtrlBindings fields;
            fields.Add<TTrWordEdit_Validator>(&edit_);
            detail_.TransferTo(std::move(fields), i < 0 ? std::span(none_) : records.subspan(2 * i, 2));
        };
        validator_.TransferTo(std::move(bindings), records_);
    }

    Bytes records_ = {10, 0, 20, 0, 30, 0};
    Bytes none_ = {0, 0};
    FakeValControl list_{TCtrlClass::ListBox};
    FakeValControl edit_;
    TRecordValidator detail_;
};

TEST_F(ArrRecTest, LeavingALineValidatesItsRecordAndLoadPicksALine) {
    Bind(3);
    EXPECT_EQ(list_.items, (std::vector<std::string>{"#10", "#20", "#30"}));
    EXPECT_EQ(edit_.text, "10");
    edit_.text = "x";
    list_.Click(1);
    EXPECT_EQ(boxes_.Take(), Utf8ToCp1250("Chyba v zápisu čísla"));
    EXPECT_EQ(list_.itemIndex, 0);
    EXPECT_EQ(edit_.text, "x"); // still the first record
    edit_.text = "11";
    list_.Click(1);
    EXPECT_EQ(list_.items[0], "#11");
    EXPECT_EQ(edit_.text, "20");
    edit_.text = "y"; // OK validates the current record too
    EXPECT_FALSE(validator_.ValidateAll());
    EXPECT_EQ(validator_.FailedCtrl, &list_);
    Bind(3, "#30"); // a line picked by its text
    EXPECT_EQ(list_.itemIndex, 2);
    EXPECT_EQ(edit_.text, "30");
    Bind(0);
    EXPECT_EQ(edit_.text, ""); // shown empty while no record is current
    EXPECT_TRUE(validator_.ValidateAll());
}

TEST(DialogRegistryTest, ExecuteDialogRunsARegisteredClassByItsWholeName) {
    struct FakeDialog final : TModalDialog {
        void BindRecord(std::span<std::uint8_t> data) override { size = data.size(); }
        int ShowModal() override { return static_cast<int>(size); }
        std::size_t size = 0;
    };
    RegisterDialog("Fake_Dlg", [&](TPlatformWindow*) { return std::make_unique<FakeDialog>(); });
    Bytes record(5);
    EXPECT_EQ(ExecuteDialog(nullptr, "Fake_Dlg", record), 5); // the dialog saw the whole record
    EXPECT_EQ(ExecuteDialog(nullptr, "", record), mrNone);
    EXPECT_THAT([&] { ExecuteDialog(nullptr, "fake_dlg", record); },
                ::testing::ThrowsMessage<ExcTrValDialog>("Not registered Dlg: fake_dlg"));
}

TEST(ParRecordTest, PackedLayout) {
    const Bytes record = MakeParRecord(2, std::string(45, 'L'), "rpm", 0x1234, 10, 0xFFFF);
    ASSERT_EQ(record.size(), 41u + 6u + 13u);
    EXPECT_EQ(record[0], 40); // the label cut to 40
    EXPECT_EQ(Bytes(record.begin() + 41, record.begin() + 51),
              (Bytes{0x34, 0x12, 10, 0, 0xFF, 0xFF, 3, 'r', 'p', 'm'}));
    EXPECT_EQ(ParRecordValue(record, 2), 0x1234u);
}

} // namespace
} // namespace ravlo
