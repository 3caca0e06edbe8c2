#include "framework/dialog_registry.h"
#include "framework/number_text.h"
#include "records/data_base.h"
#include "records/par_rec_data.h"
#include "records_test_support.h"
#include "support/box_recorder.h"
#include "support/var_watcher.h"

#include <functional>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::Bare;
using test::RecordType;

enum : std::uint16_t { kTop = 1, kSub = 2 };
// Semantic 0 writes a database's device index into its records; semantic 1 only watches.
constexpr std::uint32_t kDevSem = 0;
constexpr std::uint32_t kWatchSem = 1;
constexpr std::uint8_t kDialogByte = 0x42;

// What the records, their semantics and the lists of a database did, in order.
std::vector<std::string>* reactions = nullptr;
// The result the parameter records' edit dialog closes with.
int dialogResult = mrOk;

void React(std::string line) {
    reactions->push_back(std::move(line));
}

std::string Hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t b : bytes) {
        text += (text.empty() ? "" : " ") + HexB(b);
    }
    return text;
}

class LoggedParRecord : public TParRecordObj {
public:
    void SetupRec() override { React(ParName + " setup"); }
    bool Changed() override {
        React(ParName + " changed");
        return false;
    }
    void Sent() override { React(ParName + " sent"); }
};

// Sees every field value of the semantic it is run as.
class WatchSem : public TSemantics {
public:
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override {
        if (event == kSemFieldValue) {
            React("mode " + std::to_string(sub) + " sees " + Hex(data));
        }
    }
};

struct RefreshedLook : TDBLookView {
    explicit RefreshedLook(std::string name) : name(std::move(name)) {}
    void Refresh() override { React(name + " refreshed"); }
    void ShowSelection(std::int32_t) override {}
    std::string name;
};

// The edit dialog of parameter records: puts kDialogByte into the first byte and closes with
// the result the test chose.
class FakeParDialog : public TModalDialog {
public:
    explicit FakeParDialog(int result) : result_(result) {}
    void BindRecord(std::span<std::uint8_t> data) override { data_ = data; }
    int ShowModal() override {
        data_[0] = kDialogByte;
        return result_;
    }

private:
    int result_;
    std::span<std::uint8_t> data_;
};

// Parameter records "First" (DE 0 LA 0, all 7 bytes transmitted), "Second" (DE 0 LA 1, 3 bytes)
// and "Third" (DE 1 LA 0); the databases "top" (device 4) with an item that owns "sub" (device
// 5), and "other" (device 7) of sub's type, one item each; other's item owns "inner", also of
// sub's type and empty.
class RecordOperationsTest : public test::RecordsTest {
protected:
    RecordOperationsTest() { reactions = &reacted_; }
    ~RecordOperationsTest() override { reactions = nullptr; }

    void Build() {
        auto value = test::Valued<TByteRecFieldDscr>(1, 9);
        value->Semantics = test::Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(kWatchSem));
        auto par = RecordType("P", std::move(value), Bare<TWordRecFieldDscr>(2), Bare<TLIntRecFieldDscr>(4));
        par->DialogName = "Par_Dlg";
        par->NotifyEvaluators = test::Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(kWatchSem));
        auto device = Bare<TByteRecFieldDscr>(1);
        device->Semantics = test::Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(kDevSem));
        test::InstallRecordTypes(std::move(par), RecordType("Item", std::move(device)));
        AppData().SemManColl =
            test::Holding<TSemManColl>(std::make_unique<TDevIxSetSem>(), std::make_unique<WatchSem>());
        auto parTypes = std::make_unique<TRecIniciatorColl>();
        parTypes->Add<THexBuffElIniciatorObj>("p")->Bytes.resize(7);
        AppData().ParRecTypesColl = test::Holding<TParRecTypesColl>(std::move(parTypes));
        AppExtension().ParRecData = test::Holding<TParRecData>(
            test::Holding<TParRecColl>(test::ParameterRecord<LoggedParRecord>(0, "First", 7),
                                       test::ParameterRecord<LoggedParRecord>(1, "Second", 3)),
            test::Holding<TParRecColl>(test::ParameterRecord<LoggedParRecord>(0, "Third", 7)));
        RegisterDialog("Par_Dlg",
                       [](TPlatformWindow*) { return std::make_unique<FakeParDialog>(dialogResult); });

        auto dscrs = std::make_unique<TDataBaseDscrColl>();
        dscrs->InsertDscr(test::DataBaseArgs(kTop, 0, 1, 1));
        dscrs->InsertDscr(test::DataBaseArgs(kSub, 0, 1, 1));
        AppData().DataBaseDscrColl = std::move(dscrs);
        dataBases_ = std::make_unique<TDBColl>();
        auto top = DataBase("top", kTop, 4);
        TDBRecordObj* owner = test::InsertInto(*top, test::CreatedRecord("Item"));
        owner->OwnSubDBs().Insert(DataBase("sub", kSub, 5));
        test::InsertInto(*owner->SubDBs->ItemAt(0), test::CreatedRecord("Item"));
        top->LookLinks.Add(&topLook_, nullptr);
        dataBases_->Insert(std::move(top));
        auto other = DataBase("other", kSub, 7);
        test::InsertInto(*other, test::CreatedRecord("Item"))->OwnSubDBs().Insert(DataBase("inner", kSub, 3));
        dataBases_->Insert(std::move(other));
        reacted_.clear();
        watcher_.Changes.clear();
    }

    static TAppData& AppData() { return test::AppDataMade(); }
    static std::unique_ptr<TDataBase> DataBase(std::string name, std::uint16_t dbTid, std::uint8_t devIx) {
        auto database = std::make_unique<TDataBase>(nullptr, dbTid, devIx, 0);
        database->DBName = std::move(name);
        return database;
    }
    static TParRecData& Pars() { return *AppParRecData(); }

    // First's bytes, then the device bytes of the items of top, sub and other.
    std::string Records() const {
        const TDataBase& top = *dataBases_->ItemAt(0);
        const TDataBase& sub = *top.ItemAt(0)->SubDBs->ItemAt(0);
        const TDataBase& other = *dataBases_->ItemAt(1);
        return Hex(Pars().GetParamRecPtr(0, 0)) + " / " +
               Hex(std::vector{top.ItemAt(0)->Data()[0], sub.ItemAt(0)->Data()[0],
                               other.ItemAt(0)->Data()[0]});
    }
    // DE 0's queued commands: the command, LA and the data, each as hex.
    static std::string Queue() {
        std::string text;
        while (const std::unique_ptr<TWCmdParRecMem> cmd = Pars().GetParRecTxDFiFoFirst(0)) {
            text += (text.empty() ? "" : ", ") + std::string(1, static_cast<char>(cmd->Cmd)) + " " +
                    Hex(cmd->GetSpan());
        }
        return Pars().IsParRecTxDFiFoEmpty(1) ? text : text + " and DE 1";
    }
    // The parameter records whose data change was announced.
    std::string Announced() const {
        std::string names;
        for (const auto& change : watcher_.Changes) {
            for (const std::uint16_t la : {0, 1}) {
                if (change.Address == reinterpret_cast<std::uintptr_t>(Pars().GetParamRecPtr(0, la).data())) {
                    names += (names.empty() ? "" : ", ") + Pars().GetParRecObjPtr(0, la)->ParName;
                }
            }
        }
        return names;
    }

    std::vector<std::string> reacted_;
    testing::BoxRecorder boxes_;
    RefreshedLook topLook_{"top"};
    testing::VarWatcher watcher_;
    // Last, so that the databases go before the list linked to one of them.
    std::unique_ptr<TDBColl> dataBases_;
};

TEST_F(RecordOperationsTest, EachOperationsEffectQueueAndFailureText) {
    using Op = std::function<int()>;
    const auto noResult = [](const std::function<void()>& op) -> Op {
        return [op] {
            op();
            return 0;
        };
    };
    const auto edit = [](int result, std::uint16_t la, bool send) -> Op {
        return [=] {
            dialogResult = result;
            return Pars().EditParam(0, la, send, nullptr);
        };
    };
    const auto command = [&](std::uint8_t cmd, std::uint16_t la, std::uint16_t de) {
        return noResult([=] { Pars().ParRecObjCmdMsg({cmd, la, de}); });
    };
    const auto poke = [](char cmd, std::uint16_t la, std::uint16_t de) -> Op {
        return [=] {
            return Pars().PokeParRecObjMsg({static_cast<std::uint8_t>(cmd), la, de});
        };
    };
    const auto semantic = [&](std::uint32_t semNo, std::uint8_t mode) {
        return noResult([=, this] { dataBases_->RunDBs_SemEvaluator(semNo, mode); });
    };
    const auto collect = [&](std::uint16_t dbTid, bool withList) {
        return noResult([=, this] {
            std::vector<TDataBase*> found;
            dataBases_->AddRefDBItemsToDBColl(withList ? &found : nullptr, dbTid);
            for (const TDataBase* database : found) {
                React("found " + database->DBName);
            }
        });
    };
    constexpr std::string_view kUnchanged = "09 00 00 00 00 00 00 / 00 00 00";
    const struct {
        std::string_view name;
        Op run;
        int result;
        std::string_view records;
        std::string_view queue;
        std::vector<std::string> reactions;
        std::string_view announced;
        std::string_view box;
    } cases[] = {
        {"EditParam OK with Send",
         edit(mrOk, 0, true),
         mrOk,
         "42 00 00 00 00 00 00 / 00 00 00",
         "A 00 00 42 00 00 00 00 00 00",
         {},
         "First",
         ""},
        {"EditParam OK with Send at LA 1",
         edit(mrOk, 1, true),
         mrOk,
         kUnchanged,
         "A 01 00 42 00 00",
         {},
         "Second",
         ""},
        {"EditParam OK", edit(mrOk, 0, false), mrOk, "42 00 00 00 00 00 00 / 00 00 00", "", {}, "First", ""},
        {"EditParam Cancel with Send", edit(mrCancel, 0, true), mrCancel, kUnchanged, "", {}, "", ""},
        {"EditParam without record", edit(mrOk, 5, true), mrNone, kUnchanged, "", {}, "", ""},
        {"ParRecObjCmdMsg 0", command(0, 0, 0), 0, kUnchanged, "", {"mode 3 sees 09"}, "", ""},
        {"ParRecObjCmdMsg 1", command(1, 1, 0), 0, kUnchanged, "", {"Second sent"}, "", ""},
        {"ParRecObjCmdMsg 2", command(2, 0, 0), 0, kUnchanged, "", {"First changed"}, "", ""},
        {"ParRecObjCmdMsg unknown command", command(3, 0, 0), 0, kUnchanged, "", {}, "", ""},
        {"ParRecObjCmdMsg no LA", command(1, 5, 0), 0, kUnchanged, "", {}, "", "ParRecObj=nil at DE=0 LA=5"},
        {"ParRecObjCmdMsg no DE", command(1, 0, 3), 0, kUnchanged, "", {}, "", "ParRecObj=nil at DE=3 LA=0"},
        {"UpDateParamRec",
         [] { return Pars().UpDateParamRec(0, 1); },
         kParDone,
         kUnchanged,
         "",
         {},
         "Second",
         ""},
        {"UpDateParamRec no record",
         [] { return Pars().UpDateParamRec(1, 1); },
         TParRecData::kParNoRecord,
         kUnchanged,
         "",
         {},
         "",
         "Error ParRecObj=nil at DE=1 LA=1"},
        {"SetupParRecData",
         noResult([] { Pars().SetupParRecData(); }),
         0,
         kUnchanged,
         "",
         {"First setup", "Second setup", "Third setup"},
         "",
         ""},
        {"PokeParRecObjMsg A", poke('A', 1, 0), 0, kUnchanged, "A 01 00 09 00 00", {}, "", ""},
        {"PokeParRecObjMsg other", poke('R', 0, 0), 0, kUnchanged, "R 00 00", {}, "", ""},
        {"PokeParRecObjMsg no LA",
         poke('A', 2, 0),
         TParRecData::kPokeNoRecord,
         kUnchanged,
         "",
         {},
         "",
         "Err1 at DE=0 LA=2"},
        {"PokeParRecObjMsg no DE",
         poke('A', 0, 2),
         TParRecData::kPokeNoColl,
         kUnchanged,
         "",
         {},
         "",
         "Err3 at DE=2 LA=0"},
        {"RunDBs_SemEvaluator write",
         semantic(kDevSem, kSemWrite),
         0,
         "09 00 00 00 00 00 00 / 04 00 07",
         "",
         {"top refreshed"},
         "",
         ""},
        {"RunDBs_SemEvaluator take", semantic(kDevSem, kSemTake), 0, kUnchanged, "", {}, "", ""},
        {"RunDBs_SemEvaluator take, then write",
         noResult([&] {
             semantic(kDevSem, kSemTake)();
             semantic(kDevSem, kSemWrite)();
         }),
         0,
         "09 00 00 00 00 00 00 / 04 00 07",
         "",
         {"top refreshed"},
         "",
         ""},
        {"RunDBs_SemEvaluator unknown", semantic(7, kSemWrite), 0, kUnchanged, "", {}, "", ""},
        {"AddRefDBItemsToDBColl",
         collect(kSub, true),
         0,
         kUnchanged,
         "",
         {"found sub", "found other", "found inner"},
         "",
         ""},
        {"AddRefDBItemsToDBColl top", collect(kTop, true), 0, kUnchanged, "", {"found top"}, "", ""},
        {"AddRefDBItemsToDBColl no list", collect(kSub, false), 0, kUnchanged, "", {}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Build();
        boxes_.Take();
        EXPECT_EQ(c.run(), c.result);
        EXPECT_EQ(Records(), c.records);
        EXPECT_EQ(Queue(), c.queue);
        EXPECT_EQ(reacted_, c.reactions);
        EXPECT_EQ(Announced(), c.announced);
        EXPECT_EQ(boxes_.beeps, c.box.empty() ? 0 : 1);
        EXPECT_EQ(boxes_.Take(), c.box);
        boxes_.beeps = 0;
    }
}

} // namespace
} // namespace ravlo
