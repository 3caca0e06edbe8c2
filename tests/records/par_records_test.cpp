#include "records/par_rec_data.h"
#include "records_test_support.h"
#include "support/box_recorder.h"
#include "support/var_watcher.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::Bare;
using test::RecordType;
using Bytes = std::vector<std::uint8_t>;

// DE 0 holds two records of a 7-byte type whose parameter record type is a byte, a word and an
// integer; the second transmits 3 bytes.
class ParRecordsTest : public test::RecordsTest {
protected:
    void SetUp() override {
        test::InstallRecordTypes(RecordType("P", test::Valued<TByteRecFieldDscr>(1, 9),
                                            Bare<TWordRecFieldDscr>(2), Bare<TLIntRecFieldDscr>(4)));
        auto inits = std::make_unique<TRecIniciatorColl>();
        inits->Add<TByteElIniciatorObj>("b")->Value = 1;
        inits->Add<TWordElIniciatorObj>("w")->Value = 2;
        inits->Add<TIntegerElIniciatorObj>("i")->Value = 3;
        AppExtension().AppData->ParRecTypesColl = test::Holding<TParRecTypesColl>(std::move(inits));
        auto data = test::Holding<TParRecData>(test::Holding<TParRecColl>(
            test::ParameterRecord(0, "First", 7), test::ParameterRecord(1, "Second", 3)));
        data_ = data.get();
        AppExtension().ParRecData = std::move(data);
    }

    Bytes DataOf(std::uint16_t la) const {
        const std::span<const std::uint8_t> data = data_->GetParamRecPtr(0, la);
        return {data.begin(), data.end()};
    }

    test::AppErrorLog errors_;
    testing::BoxRecorder boxes_;
    TParRecData* data_ = nullptr;
};

TEST_F(ParRecordsTest, WritesAndReadsCheckTheirLengthsAndAnnounceChanges) {
    const testing::VarWatcher watcher;
    const struct {
        std::uint16_t la;
        Bytes src;
        int result;
        Bytes data;
        std::string box;
    } writes[] = {
        {0, {1, 2, 3, 4, 5, 6, 7}, kParDone, {1, 2, 3, 4, 5, 6, 7}, ""},
        {1, {8, 8, 8}, kParDone, {8, 8, 8, 0, 0, 0, 0}, ""},
        {1,
         {1, 2, 3, 4, 5},
         kParBadLength,
         {8, 8, 8, 0, 0, 0, 0},
         "Err DscrRecSize=$0007 & DTMRecSize=$0003<>0005 at DE=0 LA=1"},
        {2, {1}, TParRecData::kParNoRecord, {}, "Error ParRecObj=nil at DE=0 LA=2"},
    };
    for (const auto& w : writes) {
        EXPECT_EQ(data_->WrParamRec(0, w.la, w.src), w.result);
        EXPECT_EQ(DataOf(w.la), w.data);
        EXPECT_EQ(boxes_.Take(), w.box);
    }
    ASSERT_EQ(watcher.Changes.size(), 2u);
    EXPECT_EQ(watcher.Changes[1].Address,
              reinterpret_cast<std::uintptr_t>(data_->GetParamRecPtr(0, 1).data()));

    Bytes longer(9, 0xEE);
    EXPECT_EQ(data_->RdParamRec(0, 1, longer), kParDone);
    EXPECT_EQ(longer, (Bytes{8, 8, 8, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(data_->RdParamRec(0, 1, {}), kParNoBuffer);
    EXPECT_EQ(boxes_.Take(), "Error RdBuffPtr=nil at DE=0 LA=1");
}

TEST_F(ParRecordsTest, ReinitialisationsTakeTheTypesValues) {
    EXPECT_EQ(data_->ReDBInitParamRec(0, 0), kParDone);
    EXPECT_EQ(DataOf(0), (Bytes{1, 2, 0, 3, 0, 0, 0}));
    EXPECT_EQ(data_->ReInitParamRec(0, 0), kParDone);
    EXPECT_EQ(DataOf(0), (Bytes{9, 0, 0, 0, 0, 0, 0}));
    // Initiators that do not fit the record write nothing.
    AppParRecTypesColl()->GetParRecType(0)->AtFree(2);
    EXPECT_EQ(data_->ReDBInitParamRec(0, 0), kParTypeMisfit);
    EXPECT_EQ(DataOf(0), (Bytes{9, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(boxes_.Take(), "Error ? at DE=0 LA=0");
    EXPECT_EQ(data_->ReInitParamRec(3, 0), TParRecData::kParNoRecord);
    EXPECT_EQ(boxes_.Take(), "Error ParRecObj=nil at DE=3 LA=0");
}

TEST_F(ParRecordsTest, CommandsQueueTheTransmittedBytes) {
    data_->WrParamRec(0, 1, Bytes{1, 2, 3});
    EXPECT_EQ(data_->PokeParRecObj(0, 1, 'A'), 0);
    EXPECT_EQ(data_->PokeParRecObj(0, 1, 'R'), 0);
    EXPECT_EQ(data_->PokeParRecObj(0, 5, 'A'), TParRecData::kPokeNoRecord);
    EXPECT_EQ(boxes_.Take(), "Err1 at DE=0 LA=5");
    EXPECT_EQ(data_->PokeParRecObj(4, 0, 'A'), TParRecData::kPokeNoColl);
    EXPECT_EQ(boxes_.Take(), "Err3 at DE=4 LA=0");
    EXPECT_TRUE(data_->IsParRecTxDFiFoEmpty(4));

    const std::unique_ptr<TWCmdParRecMem> first = data_->GetParRecTxDFiFoFirst(0);
    EXPECT_EQ(first->Cmd, 'A');
    EXPECT_EQ(Bytes(first->GetSpan().begin(), first->GetSpan().end()), (Bytes{1, 0, 1, 2, 3}));
    EXPECT_EQ(data_->RefParRecTxDFiFoFirst(0)->Cmd, 'R');
    EXPECT_EQ(data_->RefParRecTxDFiFoFirst(0)->GetSize(), 2);
    data_->ClearParRecTxDFiFo(0);
    EXPECT_EQ(data_->GetParRecTxDFiFoFirst(0), nullptr);
}

TEST_F(ParRecordsTest, CountsNamesAndTheStoredTransmitSize) {
    EXPECT_EQ(data_->GetMaxDE(), 0);
    EXPECT_EQ(TParRecData().GetMaxDE(), 0);
    data_->Insert(TParRecData::InitParams(3));
    EXPECT_EQ(data_->GetMaxDE(), 1);
    EXPECT_EQ(data_->GetMaxLA(1), 3);
    EXPECT_EQ(data_->GetParRecObjPtr(1, 2), nullptr);
    EXPECT_EQ(data_->FindParRecObjByName(0, "sECOND"), data_->GetParRecObjPtr(0, 1));

    for (const std::int32_t stored : {-1, 8}) {
        data_->GetParRecObjPtr(0, 0)->DTMRecSize = stored;
        const auto loaded = test::LoadObject(test::StoreObject(data_->GetParRecObjPtr(0, 0)));
        EXPECT_EQ(dynamic_cast<const TParRecordObj&>(*loaded).DTMRecSize, 7);
    }
}

TEST_F(ParRecordsTest, RecipeLineAndTypeTest) {
    data_->GetParRecObjPtr(0, 1)->RecDE = 4;
    data_->GetParRecObjPtr(0, 1)->ParName = "It's";
    MemoryStream text;
    TLexWriter writer(text);
    data_->WrRecipeLineObj(0, 1, writer);
    writer.WrFinish();
    EXPECT_EQ(std::string(text.Data().begin(), text.Data().end()),
              "* 4 1 'It''s'['b';'w';'i']($09;$0000;$00000000)\r\n");

    EXPECT_TRUE(data_->TestDscrAndParTypes());
    // A fault of the record at LA 1, or of the types (both records).
    const struct {
        std::function<void(TParRecordObj&)> spoil;
        std::string line;
        bool both;
    } cases[] = {
        {[](TParRecordObj& r) { r.ParRecTypeIx = -1; }, "# RecTypeIx<0", false},
        {[](TParRecordObj& r) {
             r.Name = "Q";
             r.RecTypeIx = -1;
         },
         "# DscrLng<0", false},
        {[](TParRecordObj&) { AppParRecTypesColl()->GetParRecType(0)->AtFree(0); },
         "DscrLng=7<>6=ParRecTypeLng", true},
        {[](TParRecordObj&) { AppExtension().AppData->ParRecTypesColl.reset(); }, "# ParRecTypesColl=nil",
         true},
    };
    for (const auto& c : cases) {
        SetUp();
        errors_.lines.clear();
        c.spoil(*data_->GetParRecObjPtr(0, 1));
        EXPECT_FALSE(data_->TestDscrAndParTypes());
        std::vector<std::string> lines;
        if (c.both) {
            lines = {c.line, "# Dscr&Type Err DE=0 LA=0"};
        }
        lines.insert(lines.end(), {c.line, "# Dscr&Type Err DE=0 LA=1"});
        EXPECT_EQ(errors_.lines, lines);
    }
}

} // namespace
} // namespace ravlo
