#include "records_test_support.h"

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

TEST(RecordStreamDamageTest, DamagedStreamsRaiseTheStreamError) {
    RegisterRecordClasses();
    TrbCollection all;
    for (auto& field : test::EveryFieldClass()) {
        all.Insert(std::move(field));
    }
    all.Insert(test::EverySemanticClass());
    const test::StoredObject stored = test::StoreObject(&all);
    std::mt19937 random(24);
    int loads = 0;
    for (int i = 0; i < 400; ++i) {
        test::StoredObject damaged = stored;
        const bool truncate = i % 2 == 0;
        if (truncate) {
            damaged.bytes.resize(random() % damaged.bytes.size());
        } else {
            for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) {
                damaged.bytes[random() % damaged.bytes.size()] = static_cast<std::uint8_t>(random());
            }
        }
        try {
            const auto loaded = test::LoadObject(damaged);
            EXPECT_FALSE(truncate) << "a stream cut at " << damaged.bytes.size() << " loaded";
            ++loads;
            auto& items = dynamic_cast<TrbCollection&>(*loaded);
            for (std::int32_t j = 0; j < items.Count(); ++j) {
                if (TrbStreamable* item = items.At(j)) {
                    Exercise(*item, random);
                }
            }
        } catch (const ErbObjStream&) {
        }
    }
    // Changed bytes often land in values, which load.
    EXPECT_GT(loads, 20);
}

} // namespace
} // namespace ravlo
