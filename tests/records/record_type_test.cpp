#include "records_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::AppErrorLog;
using test::Bare;
using test::Nesting;
using test::RecordType;
using test::Valued;

class RecordTypeTest : public test::RecordsTest {
protected:
    AppErrorLog errors_;
};

TEST_F(RecordTypeTest, FieldsLieBackToBackAndTheHintWinsOverTheName) {
    // A string of no bytes writes not even its length byte; a longer text is cut to the field, a
    // byte in two bytes fills the second with zero.
    auto empty = Bare<TDBStringFieldDscr>(0);
    empty->DefaultText = "text";
    auto longer = Bare<TDBStringFieldDscr>(4);
    longer->DefaultText = "longer than the field";
    auto& types = test::InstallRecordTypes(RecordType("First", Valued<TByteRecFieldDscr>(1, 0x11),
                                                      Valued<TWordRecFieldDscr>(2, 0x2233), std::move(empty),
                                                      std::move(longer), Valued<TByteRecFieldDscr>(2, 0x7F),
                                                      Valued<TLIntRecFieldDscr>(4, 0x44556677)),
                                           RecordType("Second"));
    const TRecordTypeDscr& first = *types.ItemAt(0);
    EXPECT_EQ(first.GetRecSize(), 13);
    std::vector<std::uint8_t> record(14, 0xEE);
    first.InitRecValues(record);
    EXPECT_EQ(record, (std::vector<std::uint8_t>{0x11, 0x33, 0x22, 3, 'l', 'o', 'n', 0x7F, 0, 0x77, 0x66,
                                                 0x55, 0x44, 0xEE}));

    std::int16_t ix = 0;
    EXPECT_EQ(types.GetRecordTypeDscr("Second", ix), &first);
    for (const std::int16_t hint : {-1, 2}) {
        ix = hint;
        EXPECT_EQ(types.GetRecordTypeDscr("sECOND", ix), types.ItemAt(1));
        EXPECT_EQ(ix, 1);
    }
    EXPECT_EQ(types.GetDscrRecTypeSize("none", -1), 0);
}

TEST_F(RecordTypeTest, SelectionsChooseFieldsAndTheirOrder) {
    const auto type = RecordType("T", Valued<TByteRecFieldDscr>(1, 1, "a"),
                                 Valued<TByteRecFieldDscr>(1, 2, "b"), Valued<TByteRecFieldDscr>(1, 3, "c"));
    const std::vector<std::uint8_t> record{1, 2, 3};
    const std::string tooLong(TRecordTypeDscr::kSelMax + 1, '\x01');
    const struct {
        std::optional<std::string_view> sel;
        int maxLen;
        std::string_view expected;
    } cases[] = {
        {std::nullopt, 255, "a 1b 2c 3"},
        {"\x03\x01", 255, "c 3a 1"},
        {"", 255, ""},
        {"\x05\x01", 255, "a 1"},
        {std::nullopt, 4, "a 1b"},
        {std::string_view("\x01\x01\x02", 3), 255, "a 1b 2"},
        {tooLong, 255, ""},
    };
    for (const auto& c : cases) {
        std::string dest;
        EXPECT_EQ(type->GetRecLineAStr(record, dest, c.sel, c.maxLen), static_cast<int>(c.expected.size()));
        EXPECT_EQ(dest, c.expected);
    }
}

TEST_F(RecordTypeTest, LoadedSizesAreComputedAndWrongOnesReported) {
    auto wrong = RecordType("Wrong", Bare<TByteRecFieldDscr>(1), Bare<TWordRecFieldDscr>(2));
    wrong->RecSize = 9;
    auto huge = RecordType("Huge", Bare<TRecFieldTypeDscr>(40000), Bare<TRecFieldTypeDscr>(40000));
    // A type that nests itself, and one that nests a type nesting it.
    auto self = RecordType("Self", Bare<TByteRecFieldDscr>(1), Nesting<TCompoundTDscr>("", 2));
    auto ring = RecordType("Ring", Bare<TWordRecFieldDscr>(2), Nesting<TByteCaseTypeDscr>("", 4));
    auto ringBack = RecordType("Back", Nesting<TCompoundTDscr>("", 3));
    // Stored as a plain collection, which keeps the wrong size, and loaded as the record types.
    const auto types = test::Holding<TrbCollection>(std::move(wrong), std::move(huge), std::move(self),
                                                    std::move(ring), std::move(ringBack));
    test::StoredObject stored = test::StoreObject(types.get());
    stored.classNames[0] = TRecTypesDscrColl::kClassName;
    const auto loaded = test::LoadObject(stored);
    const auto& reloaded = dynamic_cast<const TRecTypesDscrColl&>(*loaded);
    const std::uint16_t sizes[] = {3, 0, 1, 2, 0};
    for (std::int32_t i = 0; i < reloaded.Count(); ++i) {
        EXPECT_EQ(reloaded.ItemAt(i)->GetRecSize(), sizes[i]) << i;
    }
    EXPECT_EQ(errors_.lines, (std::vector<std::string>{
                                 "# TRecordTypeDscr Wrong RecSize=$0009<>$0003",
                                 "# TRecordTypeDscr Huge RecSize=$00013880>$FFFF",
                                 "# TRecordTypeDscr Huge TrBuffSize=$00013880>$FFFF",
                                 "# TCompoundTDscr  RecTypeIx=2: layout contains itself",
                                 "# TCompoundTDscr  RecTypeIx=3: layout contains itself",
                             }));
}

// The byte table's length test is the case field test's and the database description test's.
TEST_F(RecordTypeTest, AssignTablesTestEveryMappedLength) {
    test::InstallRecordTypes(RecordType("Ten", Bare<TRecFieldTypeDscr>(10)),
                             RecordType("Twelve", Bare<TRecFieldTypeDscr>(12)));
    TByteDscrAssTab none;
    EXPECT_TRUE(none.TestDscrLength(5));
    TWordDscrAssTab words;
    EXPECT_EQ(words.GetDscrIx(std::vector<std::uint8_t>{0, 0}), -1);
    EXPECT_TRUE(words.TestDscrLength(3));
    words.PutTabItem(std::vector<std::uint8_t>{0x34, 0x12}, 1);
    words.PutTabItem(std::vector<std::uint8_t>{0x34, 0x12}, 0);
    words.PutTabItem(std::vector<std::uint8_t>{0x35, 0x12}, 7); // no such type
    EXPECT_EQ(words.GetDscrIx(std::vector<std::uint8_t>{0x34, 0x12}), 1);
    EXPECT_EQ(words.GetDscrIx(std::vector<std::uint8_t>{0x34}), -1);
    EXPECT_FALSE(words.TestDscrLength(12));
    EXPECT_EQ(errors_.lines, (std::vector<std::string>{"# WordAssTab[$1234] DscrLng=$000A<> $000C",
                                                       "# WordAssTab[$1235] DscrLng=$0000<> $000C"}));
    ResetAppExtension();
    EXPECT_FALSE(none.TestDscrLength(5));
}

TEST_F(RecordTypeTest, ARestAfterTheLastWordPairIsKeptButNotUsed) {
    TWordDscrAssTab words;
    words.Pairs = {0x01, 0x00, 0x05, 0x00, 0x02, 0x00, 0x06};
    const test::StoredObject stored = test::StoreObject(&words);
    const auto loaded = test::LoadObject(stored);
    EXPECT_EQ(test::StoreObject(loaded.get()).bytes, stored.bytes);
    auto& reloaded = dynamic_cast<TWordDscrAssTab&>(*loaded);
    EXPECT_EQ(reloaded.GetDscrIx(std::vector<std::uint8_t>{2, 0}), -1);
    reloaded.PutTabItem(std::vector<std::uint8_t>{2, 0}, 3);
    EXPECT_EQ(reloaded.Pairs, (std::vector<std::uint8_t>{1, 0, 5, 0, 2, 0, 3, 0}));
    EXPECT_EQ(errors_.lines, std::vector<std::string>{
                                 "# WordAssTab PairBytes=$0007: 3 bytes after the last pair left unused"});
}

// Missing nested types are reported once and take no bytes.
TEST_F(RecordTypeTest, CompoundAndCaseFieldsReadTheirBytesThroughNestedTypes) {
    auto table = std::make_unique<TByteDscrAssTab>();
    table->Table[2] = 2; // equal sizes
    table->Table[3] = 3; // a longer variant
    table->Table[4] = 4; // a variant of another transfer size
    auto variant = Nesting<TByteCaseTypeDscr>("V:", 1);
    variant->DefaultSelector = 9;
    variant->AssignTable = std::move(table);
    auto noTransfer = Bare<TWordRecFieldDscr>(2);
    noTransfer->Flags = kFldNoTransfer;
    auto& types = test::InstallRecordTypes(
        RecordType("Outer", Nesting<TCompoundTDscr>("C:", 1), std::move(variant),
                   Nesting<TCompoundTDscr>("M:", 9), Nesting<TByteCaseTypeDscr>("N:", 9)),
        RecordType("Six", Valued<TWordRecFieldDscr>(2, 0x0102, "w"), Valued<TLIntRecFieldDscr>(4, 5, "l")),
        RecordType("Two", Valued<TByteRecFieldDscr>(1, 7, "s"), Valued<TByteRecFieldDscr>(1, 8, "x"),
                   Valued<TLIntRecFieldDscr>(4, 6, "y")),
        RecordType("Long", Bare<TLIntRecFieldDscr>(4), Bare<TLIntRecFieldDscr>(4)),
        RecordType("Short", Bare<TWordRecFieldDscr>(2), Bare<TWordRecFieldDscr>(2), std::move(noTransfer)));
    const TRecordTypeDscr& outer = *types.ItemAt(0);
    ASSERT_EQ(outer.GetRecSize(), 12);
    std::vector<std::uint8_t> record(12);
    outer.InitRecValues(record);
    // The default type's values follow the selector and overwrite it: its first field is at byte 0.
    EXPECT_EQ(record, (std::vector<std::uint8_t>{2, 1, 5, 0, 0, 0, 2, 1, 5, 0, 0, 0}));
    const struct {
        std::uint8_t selector;
        std::string_view line;
    } cases[] = {{2, "C:w258l 5V:s 2x 1y 5M:N:"},
                 {3, "C:w258l 5V:M:N:"},
                 {4, "C:w258l 5V:M:N:"},
                 {5, "C:w258l 5V:M:N:"}};
    for (const auto& c : cases) {
        record[6] = c.selector;
        std::string dest;
        outer.GetRecLineAStr(record, dest, std::nullopt, 255);
        EXPECT_EQ(dest, c.line);
    }
    record[6] = 2;
    std::vector<std::uint8_t> transfer(12);
    outer.PutRecToTrBuff(record, transfer);
    EXPECT_EQ(transfer, record);
    transfer[7] = 0x55;
    std::uint8_t modified = 0;
    outer.GetRecFromTrBuff(record, transfer, modified);
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(record[7], 0x55);
    // The variant lengths were tested once, at the first size.
    EXPECT_EQ(dynamic_cast<const TByteCaseTypeDscr*>(outer.ItemAt(1))->LengthOK, 0);
    EXPECT_EQ(errors_.lines, (std::vector<std::string>{"# ByteAssTab[$03] DscrLng=$0008<> $0006",
                                                       "# TCompoundTDscr.GetFieldSize",
                                                       "# TByteCaseTypeDscr.GetFieldSize DefaultLen=0"}));
}

} // namespace
} // namespace ravlo
