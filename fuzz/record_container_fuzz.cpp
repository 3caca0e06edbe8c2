// A record container: its magic, class table, application data, databases and parameter records.
// What loads is used as a program would (every record in its four text forms, the type tests,
// the recipe lines) and saved again; a container saved so must load again.
#include "framework/message_box.h"
#include "fuzz_support.h"
#include "records/par_rec_data.h"
#include "records/record_classes.h"
#include "records/record_container.h"
#include "records/record_type_dscr.h"

#include <optional>
#include <vector>

using namespace ravlo;

namespace {

void UseRecord(TDscrRecObj& record) {
    if (const TRecordTypeDscr* type = record.RecTypeDscr()) {
        std::string text;
        type->GetRecLineAStr(record.Data(), text, std::nullopt, 1000);
        type->GetRecCWinAStr(record.Data(), text, 2000);
        type->GetRecCSV_AStr(record.Data(), text, 3000);
        type->GetRecJoinAStr(record.Data(), text, std::string_view("\x01\x03\x02"), 4000);
    }
}

void UseDataBases(const TDBColl& dataBases, int depth) {
    for (std::int32_t i = 0; i < dataBases.Count(); ++i) {
        const TDataBase* database = dataBases.ItemAt(i);
        for (std::int32_t j = 0; database != nullptr && j < database->Count(); ++j) {
            if (TDBRecordObj* record = database->ItemAt(j)) {
                UseRecord(*record);
                if (record->SubDBs && depth < TrbObjStream::kMaxNesting) {
                    UseDataBases(*record->SubDBs, depth + 1);
                }
            }
        }
    }
}

void UseParameters(const TParRecData& parameters) {
    MemoryStream text;
    TLexWriter writer(text);
    for (std::int32_t de = 0; de < parameters.Count(); ++de) {
        const TParRecColl* coll = parameters.ItemAt(de);
        for (std::int32_t la = 0; coll != nullptr && la < coll->Count(); ++la) {
            if (TParRecordObj* record = coll->ItemAt(la)) {
                UseRecord(*record);
                coll->WrRecipeLine(static_cast<std::uint16_t>(la), writer);
            }
        }
    }
    writer.WrFinish();
    parameters.TestDscrAndParTypes();
}

// The container saved after its use; nullopt when it did not load.
std::optional<std::vector<std::uint8_t>> LoadAndSave(std::span<const std::uint8_t> bytes) {
    std::unique_ptr<TDBColl> dataBases;
    try {
        dataBases = LoadRecordContainer(bytes);
    } catch (const Exception&) {
        return std::nullopt;
    }
    if (dataBases) {
        UseDataBases(*dataBases, 0);
    }
    if (const TParRecData* parameters = AppParRecData()) {
        UseParameters(*parameters);
    }
    AppExtension().AppData->TestDataBaseDscrColl();
    MemoryStream saved;
    SaveRecordContainer(saved, dataBases.get());
    dataBases.reset();
    ResetAppExtension();
    return saved.Data();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterRecordClasses();
    fuzz::SilenceMessageBoxes();
    // The faults of a damaged container are reported as lines; they tell nothing here.
    SetAppErrorHook([](std::string_view) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<std::vector<std::uint8_t>> saved = LoadAndSave({data, size});
    ResetAppExtension();
    if (saved) {
        fuzz::Check(LoadAndSave(*saved).has_value(), "a container saved after loading loads again");
        ResetAppExtension();
    }
    return 0;
}
