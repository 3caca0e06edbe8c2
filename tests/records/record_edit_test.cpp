#include "framework/record_validator.h"
#include "platform/cp1250.h"
#include "records/record_edit.h"
#include "records_test_support.h"
#include "support/box_recorder.h"
#include "support/fake_val_control.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::Bare;
using test::RecordType;
using Bytes = std::vector<std::uint8_t>;
using Kind = TRecordEditItem::Kind;

// Every kind of row: a hex byte with limits, a signed byte, a real, an enumeration, a string with
// allowed characters, a label, a nested record with a scaled word (edited as it shows), an
// enumeration set.
class RecordEditTest : public test::RecordsTest {
protected:
    void SetUp() override {
        auto byteLim = test::Valued<TByteLimRecFieldDscr>(1, 7, "Count");
        byteLim->Flags = kFldHex;
        byteLim->Max = 20;
        auto shortInt = test::Valued<TShortIntRecFieldDscr>(1, -3);
        shortInt->Name = "Offset";
        auto real = Bare<TRealpRecFieldDscr>(6);
        real->Default = *DoubleToReal48(3.14159);
        real->Decimals = 2;
        auto choice = test::Valued<TEnumRecFieldDscr>(1, 1);
        choice->EnumType = 0;
        auto text = Bare<TStringLimFieldDscr>(5);
        text->DefaultText = "abc";
        for (int c = 'a'; c <= 'z'; ++c) {
            text->Chars[static_cast<std::size_t>(c / 8)] |= static_cast<std::uint8_t>(1 << (c % 8));
        }
        auto label = Bare<TLabelFieldDscr>(8);
        label->DefaultText = "Note";
        auto scaled = test::Valued<TSpecWordLimRecFieldDscr>(2, 1234);
        scaled->Max = 5000;
        scaled->Kind = 3;
        scaled->Decimals = 2;
        auto set = Bare<TEnumSetFieldDscr>(2);
        set->DefaultSet[0] = 0x81;
        test::InstallRecordTypes(RecordType("Edited", std::move(byteLim), std::move(shortInt),
                                            std::move(real), std::move(choice), std::move(text),
                                            std::move(label), test::Nesting<TCompoundTDscr>("Inner", 1),
                                            std::move(set)),
                                 RecordType("Inner", std::move(scaled)));
        test::InstallEnumeration({"Off", "On"});
        record_.RunCreate("Edited", 0);
        transfer_.resize(record_.TrBuffSize());
        record_.PutToTrBuff(transfer_);
        std::vector<TRecordEditItem> items =
            RecordEditPlan(*record_.RecTypeDscr(), record_.DscrRecPtr, transfer_);
        validator_.TransferTo(
            RecordEditBindings(items, [this](const TRecordEditItem& item) { return ControlFor(item); }),
            transfer_);
    }

    // A fake control for an edit or a combo box.
    TValControl* ControlFor(const TRecordEditItem& item) {
        rows_.push_back({item.kind, item.Caption + item.Text});
        if (item.kind != Kind::Edit && item.kind != Kind::Combo) {
            return nullptr;
        }
        controls_.push_back(std::make_unique<testing::FakeValControl>(
            item.kind == Kind::Edit ? TCtrlClass::Edit : TCtrlClass::ComboBox));
        return controls_.back().get();
    }
    std::string& Text(std::size_t i) { return controls_[i]->text; }
    bool Accept() {
        if (!validator_.ValidateAndStore()) {
            return false;
        }
        record_.GetFromTrBuff(transfer_);
        return true;
    }

    TDscrRecObj record_;
    Bytes transfer_;
    std::vector<std::pair<Kind, std::string>> rows_;
    std::vector<std::unique_ptr<testing::FakeValControl>> controls_;
    TRecordValidator validator_;
    testing::BoxRecorder boxes_;
};

TEST_F(RecordEditTest, EveryFieldHasItsRowAndShowsItsValue) {
    // E edit, C combo, H heading, S shown, - hidden.
    std::string kinds;
    for (const auto& [kind, caption] : rows_) {
        kinds += "HECS-"[static_cast<int>(kind)] + caption;
    }
    EXPECT_EQ(kinds, "ECountEOffsetEC-E-SNoteHInnerE-S8100");
    ASSERT_EQ(validator_.Validators.size(), 11u);
    EXPECT_EQ(controls_[3]->itemIndex, 1);
    const std::vector<std::string> shown{"$07", "-3", "3.14", "", "abc", "12.34"};
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(Text(i), shown[i]) << i;
    }
}

TEST_F(RecordEditTest, AcceptedValuesReachTheRecordAndRefusedOnesNothing) {
    const Bytes before = record_.DscrRecPtr;
    record_.ClearModified();
    const struct {
        std::size_t control;
        std::string text;
        std::string_view box;
    } refused[] = {
        {0, "$15", "Hodnota $15 mimo meze <$0;$14>"},
        {1, "-129", "Hodnota -129 mimo meze <-128;127>"},
        {2, "x", "Chyba v zápisu čísla"},
        {4, "ab1", "textový řetězec obsahuje nedovolené znaky"},
        {5, "50.01", "Hodnota 50.01 mimo meze <0.00;50.00>"},
    };
    for (const auto& c : refused) {
        const std::string kept = Text(c.control);
        Text(c.control) = c.text;
        EXPECT_FALSE(Accept());
        EXPECT_EQ(boxes_.Take(), Utf8ToCp1250(c.box));
        Text(c.control) = kept;
    }
    EXPECT_EQ(record_.DscrRecPtr, before);
    ASSERT_TRUE(Accept());
    EXPECT_FALSE(record_.IsModified()); // the real shown with 2 decimals kept its bytes

    Text(0) = "$14";
    Text(1) = "-128";
    Text(2) = "-2.5";
    controls_[3]->itemIndex = 0;
    Text(4) = "wxyz";
    Text(5) = "49.99";
    ASSERT_TRUE(Accept());
    EXPECT_TRUE(record_.IsModified());
    const TReal48 real = *DoubleToReal48(-2.5);
    Bytes expected{0x14, 0x80};
    expected.insert(expected.end(), real.begin(), real.end());
    expected.insert(expected.end(), {0, 4, 'w', 'x', 'y', 'z', 0x87, 0x13, 0x81, 0});
    EXPECT_EQ(record_.DscrRecPtr, expected);
}

} // namespace
} // namespace ravlo
