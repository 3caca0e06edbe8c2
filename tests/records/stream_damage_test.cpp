#include "platform/presenter.h"
#include "records/record_container.h"
#include "records_test_support.h"
#include "rectool/demo_records.h"

#include <gtest/gtest.h>
#include <random>

namespace ravlo {
namespace {

// Uses a loaded object as a record would: every text form, the transfer record and the initial
// value of a field, every mode of a semantic, each over bytes of the sizes the object names.
void Exercise(TrbStreamable& obj, std::mt19937& random) {
    std::vector<std::uint8_t> bytes(64);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(random());
    }
    if (auto* field = dynamic_cast<TRecFieldTypeDscr*>(&obj)) {
        std::vector<std::uint8_t> data(field->GetFieldSize(), 0x5A);
        std::vector<std::uint8_t> transfer(field->GetTrBuffSize());
        std::string text;
        for (const TextForm form : {TextForm::Line, TextForm::Win, TextForm::CSV, TextForm::Join}) {
            field->AppendForm(form, data, text, 255);
        }
        EXPECT_LE(text.size(), 255u);
        field->PutDataToTrBuff(data, transfer);
        std::uint8_t modified = 0;
        field->GetDataFromTrBuff(data, transfer, modified);
        field->InitFieldValue(data);
    } else if (auto* types = dynamic_cast<TRecTypesDscrColl*>(&obj)) {
        for (std::int32_t i = 0; i < std::min(types->Count(), 100); ++i) {
            TDscrRecObj record;
            record.RunCreate("", static_cast<std::int16_t>(i));
            if (!record.DscrRecPtr.empty()) {
                record.DscrRecPtr[0] = static_cast<std::uint8_t>(random());
            }
            Exercise(record, random);
        }
    } else if (auto* record = dynamic_cast<TDscrRecObj*>(&obj)) {
        if (const TRecordTypeDscr* type = record->RecTypeDscr()) {
            std::string text;
            type->GetRecLineAStr(record->Data(), text, std::string_view("\x02\x01"), 255);
            type->GetRecCSV_AStr(record->Data(), text, 510);
        }
        std::vector<std::uint8_t> transfer(record->TrBuffSize());
        record->PutToTrBuff(transfer);
        record->GetFromTrBuff(transfer);
        test::StoreObject(record);
    } else if (auto* inits = dynamic_cast<TRecIniciatorColl*>(&obj)) {
        const std::vector<std::uint8_t> rec(inits->GetIniciatorRecSize(), 0x5A);
        MemoryStream text;
        TLexWriter writer(text);
        inits->ExportHeaderList(writer);
        inits->ExportRecordValue(rec, writer);
        writer.WrFinish();
        text.Seek(0);
        TLexReader reader(text);
        bool changed = false;
        inits->ImportHeaderListOK(reader);
        inits->ImportHeaderValuesOK(reader, changed);
    } else if (auto* manager = dynamic_cast<TSemManColl*>(&obj)) {
        SemValueCell cell;
        TScanObjColl scan;
        for (std::int32_t i = 0; i < manager->Count(); ++i) {
            TSemantics* sem = manager->GetSem(static_cast<std::uint32_t>(i));
            sem->Cell = &cell;
            sem->ScanList = &scan;
            for (std::uint8_t sub = kSemTake; sub <= kSemTest; ++sub) {
                sem->Evaluate(kSemFieldValue, sub, std::span(bytes).first(random() % 9));
                sem->Evaluate(kSemRunEnd, sub, {});
            }
        }
    }
}

// Loads 400 damaged copies of bytes, every other one cut short and the rest with a few bytes
// changed; a cut copy must raise Error. Answers how many loaded.
template <class Error, class Load>
int LoadDamaged(const std::vector<std::uint8_t>& bytes, std::mt19937& random, const Load& load) {
    int loads = 0;
    for (int i = 0; i < 400; ++i) {
        std::vector<std::uint8_t> damaged = bytes;
        const bool truncate = i % 2 == 0;
        if (truncate) {
            damaged.resize(random() % damaged.size());
        } else {
            for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) {
                damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
            }
        }
        try {
            load(damaged);
            EXPECT_FALSE(truncate) << "a stream cut at " << damaged.size() << " loaded";
            ++loads;
        } catch (const Error&) {
        }
        ResetAppExtension();
    }
    return loads;
}

class RecordStreamDamageTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterRecordClasses(); }

    // Damaged layouts and records report their faults; imports show theirs.
    const test::AppErrorLog errors_;
    HeadlessPresenter presenter_{[](std::string_view) {
    }};
    const ScopedPresenter scoped_{presenter_};
    std::mt19937 random_{24};
};

TEST_F(RecordStreamDamageTest, DamagedStreamsRaiseTheStreamError) {
    TrbCollection all;
    for (auto& field : test::EveryFieldClass()) {
        all.Insert(std::move(field));
    }
    all.Insert(test::EverySemanticClass());
    all.Insert(test::EveryRecordClass());
    const test::StoredObject stored = test::StoreObject(&all);
    const int loads =
        LoadDamaged<ErbObjStream>(stored.bytes, random_, [&](const std::vector<std::uint8_t>& bytes) {
            const auto loaded = test::LoadObject({bytes, stored.classNames});
            auto& items = dynamic_cast<TrbCollection&>(*loaded);
            // The record types the records and nested layouts find are those loaded.
            auto* records = dynamic_cast<TrbCollection*>(items.At(items.Count() - 1));
            AppExtension().AppData = std::make_unique<TAppData>();
            if (records != nullptr && dynamic_cast<TRecTypesDscrColl*>(records->At(0)) != nullptr) {
                AppExtension().AppData->RecTypesDscrColl = records->AtDelete(0);
                Exercise(*AppExtension().AppData->RecTypesDscrColl, random_);
            }
            for (auto* list : {&items, records}) {
                for (std::int32_t j = 0; list != nullptr && j < list->Count(); ++j) {
                    if (TrbStreamable* item = list->At(j)) {
                        Exercise(*item, random_);
                    }
                }
            }
        });
    // Changed bytes often land in values, which load.
    EXPECT_GT(loads, 20);
}

TEST_F(RecordStreamDamageTest, DamagedContainersFailWholeOrLoad) {
    MemoryStream container;
    SaveRecordContainer(container, rectool::BuildDemoRecords().get());
    ResetAppExtension();
    const int loads =
        LoadDamaged<Exception>(container.Data(), random_, [&](const std::vector<std::uint8_t>& bytes) {
            // Using what loaded is the record container fuzz target's work; here it is saved again.
            const std::unique_ptr<TDBColl> dataBases = LoadRecordContainer(bytes);
            MemoryStream resaved;
            SaveRecordContainer(resaved, dataBases.get());
        });
    EXPECT_GT(loads, 20);
}

} // namespace
} // namespace ravlo
