#include "framework/app_data.h"
#include "framework/text_settings.h"
#include "records/ttc_time.h"
#include "records_test_support.h"

#include <gtest/gtest.h>
#include <map>

namespace ravlo {
namespace {

using test::Field;

class FieldDscrTest : public test::RecordsTest {
protected:
    void SetUp() override {
        ResetTextFormatSettings();
        test::InstallEnumeration({"Off", "On"});
    }
};

TEST_F(FieldDscrTest, EveryClassStoresAndReloadsByteIdentically) {
    for (const auto& field : test::EveryFieldClass()) {
        SCOPED_TRACE(field->ClassName());
        const test::StoredObject stored = test::StoreObject(field.get());
        const auto loaded = test::LoadObject(stored);
        ASSERT_EQ(loaded->ClassName(), field->ClassName());
        EXPECT_EQ(test::StoreObject(loaded.get()).bytes, stored.bytes);
    }
    const test::AppErrorLog errors;
    for (const auto& holder : {std::unique_ptr<TrbStreamable>(test::EverySemanticClass()),
                               std::unique_ptr<TrbStreamable>(test::EveryRecordClass())}) {
        const test::StoredObject stored = test::StoreObject(holder.get());
        EXPECT_EQ(test::StoreObject(test::LoadObject(stored).get()).bytes, stored.bytes);
    }
    EXPECT_EQ(errors.lines, std::vector<std::string>{"# TDscrRecObj.Load: RecTypeDscr=nil"});
}

TEST_F(FieldDscrTest, StreamLayoutOfALimitedByte) {
    auto field = Field<TByteLimRecFieldDscr>(1, kFldHex);
    field->Semantics = test::Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(3));
    field->Default = 7;
    field->Min = 1;
    field->Max = 9;
    const std::vector<std::uint8_t> expected{0x00, 0x00, 6,   'B', 'y',  't',  'e',  'L',  'i',  1,
                                             0,    4,    'C', 'a', 'p',  ':',  0xFF, 0xFF, 0x00, 0x04,
                                             6,    7,    8,   9,   0x01, 0x00, 1,    0,    0,    0,
                                             0x02, 0x00, 3,   0,   0,    0,    7,    1,    9};
    const test::StoredObject stored = test::StoreObject(field.get());
    EXPECT_EQ(stored.bytes, expected);
    EXPECT_EQ(stored.classNames,
              (std::vector<std::string>{"TByteLimRecFieldDscr", "TSemEvalColl", "TSemanticEvaluator"}));
}

TEST_F(FieldDscrTest, SizeBelowTheValueIsRefusedAndASetIsClamped) {
    EXPECT_THROW(test::LoadObject(test::StoreObject(Field<TWordRecFieldDscr>(1).get())), ErbObjStream);
    EXPECT_THROW(test::LoadObject(test::StoreObject(Field<TRealpRecFieldDscr>(5).get())), ErbObjStream);
    const auto set = test::LoadObject(test::StoreObject(Field<TEnumSetFieldDscr>(40).get()));
    EXPECT_EQ(dynamic_cast<TEnumSetFieldDscr&>(*set).GetFieldSize(), 32);
    // A semantics reference of another class is a damaged stream.
    auto field = Field<TByteRecFieldDscr>(1);
    test::StoredObject stored = test::StoreObject(field.get());
    stored.classNames[0] = "TWordRecFieldDscr";
    EXPECT_THROW(test::LoadObject(stored), ErbObjStream);
}

TEST_F(FieldDscrTest, TextFormsOfValues) {
    auto byte4 = Field<TByteRecFieldDscr>(1, 0, [](auto& f) { f.LineWidth = 4; });
    auto byteHex = Field<TByteRecFieldDscr>(1, kFldHex, [](auto& f) { f.LineWidth = 4; });
    auto csvNone = Field<TByteRecFieldDscr>(1, 0, [](auto& f) { f.CSVWidth = 0; });
    auto csvAlways = Field<TByteRecFieldDscr>(1, kFldCSVAlways, [](auto& f) { f.CSVWidth = 0; });
    auto pattern = Field<TByteRecFieldDscr>(1, kFldPattern, [](auto& f) { f.Caption = "T=%3d ms"; });
    auto patternHex = Field<TByteRecFieldDscr>(1, kFldPattern, [](auto& f) { f.Caption = "Max $%02X h"; });
    auto smallHex = Field<TSmallIntRecFieldDscr>(2, kFldHex | kFldNoWinCaption);
    auto spec = [](std::uint8_t kind) {
        auto field = Field<TSpecWordRecFieldDscr>(2, kFldNoLineCaption);
        field->Kind = kind;
        field->Decimals = 3;
        return field;
    };
    auto spec4 = spec(4), spec5 = spec(5), spec6 = spec(6), spec1 = spec(1);
    auto dword = [](std::uint8_t kind) {
        auto field = Field<TDWordRecFieldDscr>(4, 0);
        field->Kind = kind;
        field->LineWidth = 1;
        return field;
    };
    auto ttc = dword(2), signedSecs = dword(4), plain = dword(0);
    auto real = Field<TRealpRecFieldDscr>(6, 0, [](auto& f) { f.Decimals = 2; });
    auto realExp =
        Field<TRealpRecFieldDscr>(6, kFldScientific | kFldNoWinCaption, [](auto& f) { f.WinWidth = 12; });
    auto realFit =
        Field<TRealpRecFieldDscr>(6, kFldFitDecimals | kFldNoJoinCaption, [](auto& f) { f.JoinWidth = 6; });
    auto enumField = Field<TEnumRecFieldDscr>(1, kFldCSVQuoted, [](auto& f) { f.EnumType = 0; });
    auto noEnum = Field<TEnumRecFieldDscr>(1, 0, [](auto& f) { f.EnumType = 3; });
    auto text = Field<TDBStringFieldDscr>(6, 0);
    auto label = Field<TLabelFieldDscr>(10, 0, [](auto& f) { f.DefaultText = "Label"; });
    auto base = Field<TRecFieldTypeDscr>(3, kFldHex);
    auto blanks = Field<TRecFieldTypeDscr>(3, 0);

    const std::vector<std::uint8_t> stamp = test::LeBytes(*PackTTCTime({2080, 12, 31, 23, 59, 58}));
    const TReal48 oneAndHalf = *DoubleToReal48(1.5);
    const TReal48 negative = *DoubleToReal48(-1234.5678);
    const TReal48 pi = *DoubleToReal48(3.14159);
    const struct {
        const TRecFieldTypeDscr* field;
        std::vector<std::uint8_t> data;
        TextForm form;
        std::string_view expected;
    } cases[] = {
        {byte4.get(), {7}, TextForm::Line, "Cap:   7"},
        {byteHex.get(), {7}, TextForm::Line, "Cap: $07"},
        {csvNone.get(), {7}, TextForm::CSV, ""},
        {csvAlways.get(), {7}, TextForm::CSV, "7;"},
        {pattern.get(), {7}, TextForm::Line, "T=  7 ms"},
        {pattern.get(), {7}, TextForm::Win, "T=%3d ms      7"},
        {pattern.get(), {7}, TextForm::CSV, "  7;"},
        {patternHex.get(), {0x1F}, TextForm::CSV, "$1F;"},
        {smallHex.get(), {0xFE, 0xFF}, TextForm::Win, "  $FFFE"},
        {spec4.get(), {0xD2, 0x04}, TextForm::Line, " 1.234"},
        {spec5.get(), {0xD2, 0x04}, TextForm::Line, " 0.123"},
        {spec6.get(), {0xD2, 0x04}, TextForm::Line, ""},
        {spec1.get(), {0x4D, 0x0E}, TextForm::Line, "01:01:01"},
        {ttc.get(), stamp, TextForm::Line, "Cap:31/12/2080 23:59:58"},
        {signedSecs.get(), {0xC3, 0xFF, 0xFF, 0xFF}, TextForm::Line, "Cap:-00:01:01"},
        {plain.get(), {0xFF, 0xFF, 0xFF, 0xFF}, TextForm::Line, "Cap:4294967295"},
        {real.get(), {oneAndHalf.begin(), oneAndHalf.end()}, TextForm::Line, "Cap:  1.50"},
        {realExp.get(), {negative.begin(), negative.end()}, TextForm::Win, "  -1.235E+03"},
        {realFit.get(), {pi.begin(), pi.end()}, TextForm::Join, "3.1416"},
        {enumField.get(), {1}, TextForm::Line, "Cap:On    "},
        {enumField.get(), {5}, TextForm::Win, "Cap:$05    "},
        {enumField.get(), {1}, TextForm::CSV, "\"On    \";"},
        {noEnum.get(), {1}, TextForm::Join, "Cap:$01      "},
        {text.get(), {9, 'a', 'b', 'c', 'd', 'e'}, TextForm::Line, "Cap:abcde "},
        {text.get(), {3, 'a', '"', 'c', 0, 0}, TextForm::CSV, "\"a\"\"c   \";"},
        {label.get(), {}, TextForm::Line, "Cap:Label "},
        {label.get(), {}, TextForm::CSV, ""},
        {base.get(), {1, 2, 0xFF}, TextForm::Join, "Cap:$01$02$FF"},
        {blanks.get(), {1, 2, 3}, TextForm::Win, "Cap:       "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.field->ClassName() << " " << static_cast<int>(c.form) << " " << c.expected);
        std::string dest;
        c.field->AppendForm(c.form, c.data, dest, 255);
        EXPECT_EQ(dest, c.expected);
    }
    std::string dest = "ab";
    byte4->GetLineAStr(std::vector<std::uint8_t>{7}, dest, 6);
    EXPECT_EQ(dest, "abCap:");
}

// The limited byte and word, string, label and set travel through the record edit test's dialog.
TEST_F(FieldDscrTest, TransferRecords) {
    auto fields = test::EveryFieldClass();
    std::map<std::string_view, const TRecFieldTypeDscr*> byClass;
    for (const auto& field : fields) {
        byClass[field->ClassName()] = field.get();
    }
    auto noTransfer = Field<TByteRecFieldDscr>(1, kFldNoTransfer);
    auto enumNoTransfer = Field<TEnumRecFieldDscr>(1, kFldNoTransfer, [](auto& f) { f.EnumType = 0x0102; });
    const struct {
        const TRecFieldTypeDscr* field;
        std::vector<std::uint8_t> data;
        std::vector<std::uint8_t> transfer;
        int valueAt; // -1: nothing comes back
    } cases[] = {
        {byClass.at("TSpecLIntLimRecFieldDscr"),
         {1, 0, 0, 0},
         {1, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0},
         0},
        {byClass.at("TSpecDWordLimRecFieldDscr"),
         {1, 2, 3, 4},
         {1, 2, 3, 4, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0x5A},
         3},
        {byClass.at("TRealpLimRecFieldDscr"),
         {0x81, 0, 0, 0, 0, 0},
         {0x81, 0, 0, 0, 0, 0, 0x84, 0, 0, 0, 0, 0xA0, 0x84, 0, 0, 0, 0, 0x20, 0x82},
         5},
        {byClass.at("TSmallIntRecFieldDscr"), {0x34, 0x12}, {0x34, 0x12}, 1},
        {enumNoTransfer.get(), {1}, {1, 2, 1, 0, 0}, 0},
        {noTransfer.get(), {1}, {}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field->ClassName());
        ASSERT_EQ(c.field->GetTrBuffSize(), c.transfer.size());
        std::vector<std::uint8_t> transfer(c.transfer.size());
        c.field->PutDataToTrBuff(c.data, transfer);
        EXPECT_EQ(transfer, c.transfer);

        std::vector<std::uint8_t> data = c.data;
        std::uint8_t modified = 0;
        c.field->GetDataFromTrBuff(data, transfer, modified);
        EXPECT_EQ(modified, 0);
        if (c.valueAt >= 0) {
            ++transfer[static_cast<std::size_t>(c.valueAt)];
            c.field->GetDataFromTrBuff(data, transfer, modified);
            EXPECT_EQ(modified, 1);
            EXPECT_NE(data, c.data);
        }
    }
}

} // namespace
} // namespace ravlo
