#include "platform/exception.h"
#include "records_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::Bare;
using test::RecordType;

using Bytes = std::vector<std::uint8_t>;

class DscrRecObjTest : public test::RecordsTest {
protected:
    void SetUp() override {
        auto type = RecordType("Rec", test::Valued<TByteRecFieldDscr>(1, 7),
                               test::Valued<TWordRecFieldDscr>(2, 0x0102));
        type->Attr = 0x01;
        test::InstallRecordTypes(std::move(type), RecordType("Empty"));
    }

    static std::unique_ptr<TDscrRecObj> Created(std::string_view name, std::int16_t ix = -1) {
        auto record = std::make_unique<TDscrRecObj>();
        record->RunCreate(name, ix);
        return record;
    }
    static std::unique_ptr<TDscrRecObj> Stored(std::string name, std::int16_t ix, Bytes bytes) {
        auto record = std::make_unique<TDscrRecObj>();
        record->Name = std::move(name);
        record->RecTypeIx = ix;
        record->DscrRecPtr = std::move(bytes);
        return record;
    }

    test::AppErrorLog errors_;
};

TEST_F(DscrRecObjTest, CreatedRecordsAndTheirStreamBytes) {
    const auto record = Created("rEC");
    EXPECT_EQ(record->RecTypeIx, 0);
    EXPECT_EQ(record->DscrRecPtr, (Bytes{7, 2, 1}));
    EXPECT_TRUE(record->IsModified());
    EXPECT_TRUE(record->TestAttr(0));
    EXPECT_FALSE(record->TestAttr(8));
    const test::StoredObject stored = test::StoreObject(record.get());
    EXPECT_EQ(stored.bytes, (Bytes{0, 0, 3, 'r', 'E', 'C', 0, 0, 3, 0, 7, 2, 1}));
    EXPECT_FALSE(record->IsModified());

    const auto empty = Created("Empty");
    EXPECT_TRUE(empty->DscrRecPtr.empty());
    EXPECT_EQ(test::StoreObject(empty.get()).bytes, (Bytes{0, 0, 5, 'E', 'm', 'p', 't', 'y', 1, 0, 0, 0}));
    EXPECT_TRUE(Created("None")->DscrRecPtr.empty());
    EXPECT_EQ(errors_.lines, std::vector<std::string>{"# TDscrRecObj.RunCreate: RecTypeDscr=nil"});
}

TEST_F(DscrRecObjTest, LoadingKeepsTheStoredBytesAndGivesTheTypeItsSize) {
    const struct {
        std::string name;
        Bytes stored;
        Bytes loaded;
        std::string_view report;
    } cases[] = {
        {"Rec", {9, 8, 7}, {9, 8, 7}, ""},
        {"Rec", {}, {7, 2, 1}, ""},
        {"Rec", {9}, {9, 2, 1}, "# TDscrRecObj.Load: Rec DscrRecSize=$0001<>$0003"},
        {"Rec", {9, 8, 7, 6}, {9, 8, 7, 6}, "# TDscrRecObj.Load: Rec DscrRecSize=$0004<>$0003"},
        {"Gone", {5, 6}, {5, 6}, "# TDscrRecObj.Load: RecTypeDscr=nil"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        errors_.lines.clear();
        // A second record behind the first shows that the stream stays in step.
        TrbCollection pair;
        pair.Insert(Stored(c.name, c.name == "Rec" ? 0 : 5, c.stored));
        pair.Insert(Created("Rec"));
        const auto loaded = test::LoadObject(test::StoreObject(&pair));
        const auto& records = dynamic_cast<const TrbCollection&>(*loaded);
        const auto& first = dynamic_cast<const TDscrRecObj&>(*records.At(0));
        EXPECT_EQ(first.DscrRecPtr, c.loaded);
        EXPECT_FALSE(first.IsModified());
        EXPECT_EQ(dynamic_cast<const TDscrRecObj&>(*records.At(1)).DscrRecPtr, (Bytes{7, 2, 1}));
        EXPECT_EQ(errors_.lines, c.report.empty() ? std::vector<std::string>{}
                                                  : std::vector<std::string>{std::string(c.report)});
    }
}

TEST_F(DscrRecObjTest, AssignCopiesTypeAndBytesAndTellsWhetherTheyChanged) {
    auto source = Created("Rec");
    auto dest = Created("Rec");
    dest->ClearModified();
    dest->Assign(*dest);
    dest->Assign(*source);
    EXPECT_FALSE(dest->IsModified());
    source->DscrRecPtr[1] = 0x55;
    dest->Assign(*source);
    EXPECT_TRUE(dest->IsModified());
    EXPECT_EQ(dest->DscrRecPtr, source->DscrRecPtr);

    auto other = Stored("Other", 1, {1});
    other->Assign(*source);
    EXPECT_EQ(other->Name, "Rec");
    EXPECT_EQ(other->RecTypeIx, 0);
    EXPECT_EQ(other->DscrRecPtr, source->DscrRecPtr);

    auto shorter = Stored("Rec", 0, {1});
    shorter->Assign(*source);
    EXPECT_EQ(shorter->DscrRecPtr, Bytes{1});
    dest->Assign(*Stored("Rec", 0, {}));
    EXPECT_EQ(errors_.lines, (std::vector<std::string>{"TDscrRecObj.AssignTo DscrRecSize<> Err",
                                                       "TDscrRecObj.AssignTo DscrRecPtr=nil Err"}));
    EXPECT_THROW(dest->Assign(TByteDscrAssTab()), EConvertError);
}

TEST_F(DscrRecObjTest, TheCreatedEventRunsTheTypesSemantics) {
    // Semantics 0 and 1 write their cell into the byte and the word field; the created event runs
    // semantic 0 only, on every record created or loaded.
    SemValueCell cell;
    cell.W = 0x42;
    auto byteSem = std::make_unique<TByteGetFceSem>();
    auto wordSem = std::make_unique<TWordGetFceSem>();
    byteSem->Cell = wordSem->Cell = &cell;
    AppExtension().AppData->SemManColl = test::Holding<TSemManColl>(std::move(byteSem), std::move(wordSem));
    auto byte = Bare<TByteRecFieldDscr>(1);
    byte->Semantics = test::Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(0));
    auto word = Bare<TWordRecFieldDscr>(2);
    word->Semantics = test::Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(1));
    auto type = RecordType("Sem", std::move(byte), std::move(word));
    type->NotifyEvaluators = test::Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(0));
    test::InstallRecordTypes(std::move(type));

    EXPECT_EQ(Created("Sem")->DscrRecPtr, (Bytes{0x42, 0, 0}));
    const auto loaded = test::LoadObject(test::StoreObject(Stored("Sem", 0, {1, 2, 3}).get()));
    EXPECT_EQ(dynamic_cast<const TDscrRecObj&>(*loaded).DscrRecPtr, (Bytes{0x42, 2, 3}));
    EXPECT_TRUE(dynamic_cast<const TDscrRecObj&>(*loaded).IsModified());
    EXPECT_EQ(AppSemManColl()->GetSem(2), nullptr);
}

} // namespace
} // namespace ravlo
