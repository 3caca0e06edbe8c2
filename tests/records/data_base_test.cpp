#include "framework/ctrl_validator.h"
#include "framework/number_text.h"
#include "records/data_base.h"
#include "records/db_ptr_fields.h"
#include "records/record_container.h"
#include "records/record_edit.h"
#include "records_test_support.h"
#include "support/box_recorder.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::Bare;
using test::RecordType;
using Bytes = std::vector<std::uint8_t>;

// "Owner" records (a device byte, a pointer to a "Sub" database, a hidden pointer to an "Auto"
// database) live in "Top" databases; "Item" records (a device byte that the device semantic
// writes) in the others. An "Auto" database makes its first record itself.
enum : std::uint16_t { kTop = 1, kSub = 2, kAuto = 3 };

class DataBaseTest : public test::RecordsTest {
protected:
    void SetUp() override {
        DBInstMan().Reset();
        auto dev = Bare<TByteRecFieldDscr>(1);
        dev->Semantics = test::Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(0));
        auto sub = Bare<TDynDBPtrRecFieldDscr>(2);
        sub->DefInstAdr = TDBInstMan::kNoAdr;
        sub->RefDBTid = kSub;
        auto hidden = Bare<THiddenDynDBPtrRecFieldDscr>(2);
        hidden->DefInstAdr = TDBInstMan::kNoAdr;
        hidden->RefDBTid = kAuto;
        auto owner = RecordType("Owner", std::move(sub), std::move(hidden));
        owner->Attr = 1;
        auto item = RecordType("Item", std::move(dev));
        item->Attr = 1;
        test::InstallRecordTypes(std::move(owner), std::move(item));
        AppExtension().AppData->SemManColl = test::Holding<TSemManColl>(std::make_unique<TDevIxSetSem>());
        auto dscrs = std::make_unique<TDataBaseDscrColl>();
        dscrs->InsertDscr(test::DataBaseArgs(kTop, 1 << kDBFlagSubDBs | 1 << kDBFlagNetNodeDev, 0, 4));
        TDataBaseDscrArgs subDscr = test::DataBaseArgs(kSub, 0, 1, 1);
        subDscr.SemNos = {-1, 0};
        dscrs->InsertDscr(std::move(subDscr));
        dscrs->InsertDscr(test::DataBaseArgs(kAuto, 1 << kDBFlagSubDBs, 1, 1));
        dscrs_ = dscrs.get();
        AppExtension().AppData->DataBaseDscrColl = std::move(dscrs);
    }

    // A Top database whose Owner record has made its sub-databases.
    static std::unique_ptr<TDataBase> TopWithSubs(std::uint8_t devIx = 0) {
        auto top = std::make_unique<TDataBase>(nullptr, kTop, devIx, 9);
        TDBRecordObj* owner = test::InsertInto(*top, test::CreatedRecord("Owner"));
        owner->AddRefDBItems(*top);
        return top;
    }
    static std::uint16_t Pointer(const TDBRecordObj& record, std::size_t field) {
        return GetLE<std::uint16_t>(record.Data(), 2 * field);
    }

    test::AppErrorLog errors_;
    TDataBaseDscrColl* dscrs_ = nullptr;
};

TEST_F(DataBaseTest, InstanceAddressesStartAfterTheStartAndStopBeforeNone) {
    TDBInstMan manager;
    EXPECT_EQ(manager.NewInstAdr(), 32769);
    EXPECT_EQ(manager.NewInstAdr(), 32770);
    manager.Reset();
    EXPECT_EQ(manager.NewInstAdr(), 32769);
    manager.LastAdr = 0xFFFD;
    EXPECT_EQ(manager.NewInstAdr(), 0xFFFE);
    EXPECT_EQ(manager.NewInstAdr(), 0xFFFF);
    EXPECT_EQ(errors_.lines, std::vector<std::string>{"Instance Address Overflow !"});
}

TEST_F(DataBaseTest, StreamKeepsOnlyTheStartAddressAndLoadGivesFreshOnes) {
    for (const std::uint16_t adr : {std::uint16_t{32768}, std::uint16_t{32770}}) {
        TDataBase database(nullptr, kSub, 2, 7);
        database.InstAdr = adr;
        database.DBName = "Sub";
        const test::StoredObject stored = test::StoreObject(&database);
        const std::uint16_t kept = adr == 32768 ? adr : 0xFFFF;
        EXPECT_EQ(stored.bytes,
                  (Bytes{0, 0, 7, 2, static_cast<std::uint8_t>(kept), static_cast<std::uint8_t>(kept >> 8),
                         kSub, 0, 3, 'S', 'u', 'b', 0, 0, 0, 0}));
        const auto first = test::LoadObject(stored);
        const auto second = test::LoadObject(stored);
        const auto& a = dynamic_cast<const TDataBase&>(*first);
        const auto& b = dynamic_cast<const TDataBase&>(*second);
        EXPECT_EQ(a.DBName, "Sub");
        if (adr == 32768) {
            EXPECT_EQ(a.InstAdr, 32768);
        } else {
            EXPECT_NE(a.InstAdr, b.InstAdr);
            EXPECT_EQ(b.InstAdr, DBInstMan().LastAdr);
        }
    }
}

TEST_F(DataBaseTest, DescriptionsKeepTheFirstOfATypeAndTestTheirSizes) {
    EXPECT_EQ(dscrs_->InsertDscr(test::DataBaseArgs(kSub, 0, 0, 7)), 1);
    EXPECT_EQ(dscrs_->GetDataBaseDscrObj(kSub)->DscrLng, 1);
    EXPECT_EQ(AppExtension().GetDataBaseDscrObj(kAuto), dscrs_->ItemAt(2));
    EXPECT_EQ(AppExtension().GetDataBaseDscrObj(7), nullptr);
    EXPECT_TRUE(AppExtension().AppData->TestDataBaseDscrColl());

    // A stream that holds a type twice keeps the first.
    dscrs_->Duplicates = true;
    dscrs_->InsertDscr(test::DataBaseArgs(kSub, 0, 0, 7));
    test::StoredObject stored = test::StoreObject(dscrs_);
    stored.bytes[2] = 0;
    const auto loaded = test::LoadObject(stored);
    EXPECT_EQ(dynamic_cast<const TDataBaseDscrColl&>(*loaded).Count(), 3);
    EXPECT_EQ(errors_.lines,
              std::vector<std::string>{"# TDataBaseDscrColl.Load: DBTid=$0002 twice, the later one dropped"});

    const struct {
        std::function<void(TDataBaseDscrObj&)> spoil;
        std::vector<std::string> lines;
    } cases[] = {
        {[](TDataBaseDscrObj& d) { d.DscrLng = 3; },
         {"# Err TestTypeDscrs DBTid=$0002 DefaultDscrIx DscrLng=1<> 3"}},
        {[](TDataBaseDscrObj& d) { d.IniciatorColl.reset(); },
         {"# Err TestTypeDscrs DBTid=$0002 IniciatorRecSize=0<> 1"}},
        {[](TDataBaseDscrObj& d) {
             auto table = std::make_unique<TByteDscrAssTab>();
             table->Table[5] = 0;
             d.DscrIxAsTab = std::move(table);
         },
         {"# ByteAssTab[$05] DscrLng=$0004<> $0001",
          "# Err TestTypeDscrs DBTid=$0002 DscrIxAsTab TestDscrLength <> 1"}},
        {[](TDataBaseDscrObj&) { AppExtension().AppData->RecTypesDscrColl.reset(); },
         {"# Err TestTypeDscrs DBTid=$0001 RecTypeDscrColl=nil"}},
    };
    for (const auto& c : cases) {
        SetUp();
        errors_.lines.clear();
        c.spoil(*dscrs_->GetDataBaseDscrObj(kSub));
        EXPECT_FALSE(AppExtension().AppData->TestDataBaseDscrColl());
        EXPECT_EQ(errors_.lines, c.lines);
    }
}

TEST_F(DataBaseTest, ReferenceStepsMakeSubDatabasesAndTheFirstRecordOnce) {
    const auto top = TopWithSubs();
    TDBRecordObj& owner = *top->ItemAt(0);
    ASSERT_TRUE(owner.SubDBs);
    const TDataBase* sub = owner.SubDBs->GetDBTidDataBase(kSub);
    const TDataBase* automatic = owner.SubDBs->GetDBTidDataBase(kAuto);
    ASSERT_NE(sub, nullptr);
    ASSERT_NE(automatic, nullptr);
    EXPECT_EQ(Pointer(owner, 0), sub->InstAdr);
    EXPECT_EQ(Pointer(owner, 1), automatic->InstAdr);
    EXPECT_EQ(sub->Parent, top.get());
    EXPECT_EQ(sub->Count(), 0);
    EXPECT_EQ(automatic->Count(), 1);

    owner.AddRefDBItems(*top);
    EXPECT_EQ(owner.SubDBs->Count(), 2);
    EXPECT_EQ(automatic->Count(), 1);

    // A pointer that names no database makes one of that address; "none" finds nothing.
    auto other = test::CreatedRecord("Owner");
    PutLE(other->Data(), 0, std::uint16_t{0x9000});
    other->FindRefDBItems(*top);
    ASSERT_TRUE(other->SubDBs);
    EXPECT_EQ(other->SubDBs->Count(), 1);
    EXPECT_NE(other->SubDBs->GetInstAdrDataBase(0x9000), nullptr);
    EXPECT_EQ(other->SubDBs->ItemAt(0)->Count(), 0);

    // After a store and a load the pointers name the databases' new addresses; the stream keeps
    // them as "none".
    const test::StoredObject stored = test::StoreObject(&owner);
    const auto loaded = test::LoadObject(stored);
    auto& copy = dynamic_cast<TDBRecordObj&>(*loaded);
    EXPECT_EQ(Pointer(copy, 0), copy.SubDBs->GetDBTidDataBase(kSub)->InstAdr);
    EXPECT_NE(Pointer(copy, 0), Pointer(owner, 0));
    EXPECT_EQ(test::StoreObject(&copy).bytes, stored.bytes);
    EXPECT_TRUE(errors_.lines.empty());
}

TEST_F(DataBaseTest, PointerToADatabaseOfAnotherTypeIsShownOnce) {
    const testing::BoxRecorder boxes;
    auto record = test::CreatedRecord("Owner");
    PutLE(record->Data(), 0, std::uint16_t{0x8005});
    PutLE(record->Data(), 2, std::uint16_t{0x8006});
    record->OwnSubDBs();
    record->TakeRefDBInstAdrs();
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(Pointer(*record, 0), 0xFFFF);
    EXPECT_EQ(Pointer(*record, 1), 0xFFFF);
}

TEST_F(DataBaseTest, NodeAndDevicePassDownAsTheFlagsSay) {
    const struct {
        std::uint8_t flags;
        std::uint8_t netNode;
        std::uint8_t devIx;
    } cases[] = {
        {1 << kDBFlagNetNodeDev, 9, 4},
        {1 << kDBFlagNetNode, 9, 0},
        {0, 0, 0},
    };
    for (const auto& c : cases) {
        dscrs_->GetDataBaseDscrObj(kTop)->DBFlags = c.flags;
        auto owner = test::CreatedRecord("Owner");
        owner->OwnSubDBs().Insert(std::make_unique<TDataBase>(nullptr, kSub, 0, 0));
        TDataBase& sub = *owner->SubDBs->ItemAt(0);
        TDBRecordObj* item = test::InsertInto(sub, test::CreatedRecord("Item"));
        TDataBase top(nullptr, kTop, 4, 9);
        test::InsertInto(top, std::move(owner));
        EXPECT_EQ(sub.Parent, &top);
        EXPECT_EQ(sub.NetNode, c.netNode);
        EXPECT_EQ(sub.DevIx, c.devIx);
        EXPECT_EQ(item->Data()[0], c.devIx) << "the device semantic writes the device index";
    }
}

TEST_F(DataBaseTest, LookupsMatchEveryKeyAndSkipHiddenGoesOneLevelDown) {
    TDBColl list;
    list.Insert(std::make_unique<TDataBase>(nullptr, kSub, 1, 5));
    list.Insert(std::make_unique<TDataBase>(nullptr, kSub, 2, 6));
    EXPECT_EQ(list.GetDevDBTidDataBase(kSub, 2), list.ItemAt(1));
    EXPECT_EQ(list.GetDevDBTidDataBase(kAuto, 2), nullptr);
    EXPECT_EQ(list.GetNetNodeDBTidDataBase(kSub, 5), list.ItemAt(0));

    TDBColl tops;
    tops.Insert(TopWithSubs());
    TDataBase& top = *tops.ItemAt(0);
    const TDataBase* sub = top.ItemAt(0)->SubDBs->GetDBTidDataBase(kSub);
    EXPECT_EQ(tops.GetDBTidDataBase(kSub), nullptr);
    EXPECT_EQ(tops.GetSkipHiddenDBTidDataBase(kSub, -1), sub);
    EXPECT_EQ(tops.GetSkipHiddenDevDBTidDataBase(kSub, 1, -1), nullptr);
    // Not two levels down, not through a database without bit 1, nor past a filter that refuses.
    TDBColl above;
    above.Insert(std::make_unique<TDataBase>(nullptr, kTop, 0, 0));
    test::InsertInto(*above.ItemAt(0), test::CreatedRecord("Owner"))->SubDBs = std::make_shared<TDBColl>();
    above.ItemAt(0)->ItemAt(0)->SubDBs->Insert(tops.AtDelete(0));
    EXPECT_EQ(above.GetSkipHiddenDBTidDataBase(kSub, -1), nullptr);
    tops.Insert(above.ItemAt(0)->ItemAt(0)->SubDBs->AtDelete(0));
    dscrs_->GetDataBaseDscrObj(kTop)->DBFlags = 0;
    EXPECT_EQ(tops.GetSkipHiddenDBTidDataBase(kSub, -1), nullptr);
    dscrs_->GetDataBaseDscrObj(kTop)->DBFlags = 1 << kDBFlagSubDBs;
    struct Refuse : TDBFilterValidator {
        bool AcceptRec(const TDataBase&, const TDBRecordObj&) const override { return false; }
    };
    dscrs_->GetDataBaseDscrObj(kTop)->FilterValColl =
        test::Holding<TDBFilterValColl>(std::make_unique<Refuse>());
    EXPECT_EQ(tops.GetSkipHiddenDBTidDataBase(kSub, 0), nullptr);
    EXPECT_EQ(tops.GetSkipHiddenDBTidDataBase(kSub, 1), sub);
}

TEST_F(DataBaseTest, AssignedSubDatabasesHaveOneOwnerThatStoresThem) {
    // Source HandOver, dest HandOver: which of the two stores the list afterwards.
    const struct {
        std::uint8_t sourceHandOver;
        std::uint8_t destHandOver;
        bool sourceStores;
    } cases[] = {{0, 0, true}, {0, 2, true}, {1, 0, false}, {2, 1, false}};
    for (const auto& c : cases) {
        const auto top = TopWithSubs();
        TDBRecordObj& source = *top->ItemAt(0);
        source.HandOver = c.sourceHandOver;
        auto dest = test::CreatedRecord("Owner");
        dest->HandOver = c.destHandOver;
        source.AssignTo(*dest);
        EXPECT_EQ(dest->SubDBs, source.SubDBs);
        EXPECT_EQ(source.SubDBShared, !c.sourceStores);
        EXPECT_EQ(dest->SubDBShared, c.sourceStores);
        EXPECT_EQ(test::StoreObject(&source).bytes.size() > test::StoreObject(dest.get()).bytes.size(),
                  c.sourceStores);
    }
    // A dest with a list of its own takes the bytes only.
    const auto first = TopWithSubs();
    const auto second = TopWithSubs();
    const std::shared_ptr<TDBColl> own = second->ItemAt(0)->SubDBs;
    first->ItemAt(0)->AssignTo(*second->ItemAt(0));
    EXPECT_EQ(second->ItemAt(0)->SubDBs, own);
    EXPECT_EQ(errors_.lines, std::vector<std::string>{"# TDBRecordObj.AssignTo: Error"});
}

TEST_F(DataBaseTest, LinksFollowTheirRecordsAndADeletionModifies) {
    struct Edit : TDBEditView {
        void ShowValue(std::span<const std::uint8_t> value) override {
            shown = Bytes(value.begin(), value.end());
        }
        bool DropsLinkOnUpdate() const override { return drops; }
        Bytes shown;
        bool drops = false;
    } keeps, drops, except;
    drops.drops = true;
    TDataBase database(nullptr, kSub, 0, 0);
    EXPECT_TRUE(database.DeleteAll().empty());
    TDBRecordObj* record = test::InsertInto(database, test::CreatedRecord("Item"));
    EXPECT_FALSE(database.Modified);
    EXPECT_TRUE(database.TestModified()); // the new record is
    database.ClearModified();
    EXPECT_FALSE(database.TestModified());
    for (Edit* edit : {&keeps, &drops, &except}) {
        database.EditLinks.Add(edit, record);
    }
    const Bytes value{5};
    database.EditLinks.UpDateEdits(&except, record, value);
    EXPECT_EQ(keeps.shown, value);
    EXPECT_EQ(drops.shown, value);
    EXPECT_TRUE(except.shown.empty());
    EXPECT_EQ(database.EditLinks.FindEditLinkByEditValidator(&drops), nullptr);
    EXPECT_EQ(database.EditLinks.FindEditLinkByDBRecObj(record, true)->Validator, &keeps);

    struct Look : TDBLookView {
        void Refresh() override { ++refreshes; }
        void ShowSelection(std::int32_t index) override { selected = index; }
        int refreshes = 0;
        std::int32_t selected = -2;
    } look;
    database.LookLinks.Add(&look, nullptr);
    database.LookLinks.SetSelections(record, 0);
    EXPECT_EQ(look.selected, 0);
    EXPECT_EQ(database.LookLinks.FindLookLinkBySelDBRecObj(record)->Validator, &look);
    database.BeginUpdate();
    database.AtFree(0);
    EXPECT_EQ(look.refreshes, 0);
    database.EndUpdate();
    EXPECT_EQ(look.refreshes, 1);
    EXPECT_TRUE(database.Modified);
    EXPECT_EQ(database.EditLinks.Count(), 0u);
    EXPECT_EQ(database.LookLinks.FindLookLinkBySelDBRecObj(record), nullptr);
}

TEST_F(DataBaseTest, PointerFieldsShowTheirAddressInTheRecordDialog) {
    const auto top = TopWithSubs();
    TDBRecordObj& owner = *top->ItemAt(0);
    Bytes transfer(owner.TrBuffSize());
    EXPECT_EQ(transfer.size(), 4u + 8u);
    owner.PutToTrBuff(transfer);
    EXPECT_EQ(GetLE<std::uint16_t>(transfer, 6), kAuto);
    const std::vector<TRecordEditItem> items = RecordEditPlan(*owner.RecTypeDscr(), owner.Data(), transfer);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].kind, TRecordEditItem::Kind::Shown);
    EXPECT_EQ(items[0].Text, "$" + HexW(Pointer(owner, 0)));
    EXPECT_EQ(items[1].kind, TRecordEditItem::Kind::Hidden);
}

} // namespace
} // namespace ravlo
