#include "records/record_container.h"

#include "framework/message_box.h"
#include "framework/obj_stream_file.h"
#include "platform/atomic_file.h"
#include "platform/cp1250.h"
#include "records/par_rec_data.h"

#include <utility>

namespace ravlo {
namespace {

// The program's enumerations go into the loaded ones at their own indexes.
void KeepProgramEnumerations(TEnumTypesColl* program, TAppData& loaded) {
    if (program == nullptr || program->Count() == 0) {
        return;
    }
    if (!loaded.EnumTypesColl) {
        loaded.EnumTypesColl = std::make_unique<TEnumTypesColl>();
    }
    TEnumTypesColl& target = *loaded.EnumTypesColl;
    std::vector<std::unique_ptr<TrbStreamable>> items = program->DeleteAll();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i]) {
            continue;
        }
        const auto index = static_cast<std::int32_t>(i);
        if (index >= target.Count()) {
            target.SetCount(index + 1);
        } else if (target.At(index) != nullptr) {
            ReportAppError("# Record container: enumeration " + std::to_string(index) +
                           " taken by the program's, not loaded");
        }
        target.AtDelete(index);
        target.AtInsert(index, std::move(items[i]));
    }
}

// Puts back what the extension held when a load fails.
class ExtensionRollback {
public:
    ExtensionRollback()
        : appData_(std::move(AppExtension().AppData)), parRecData_(std::move(AppExtension().ParRecData)) {}
    ~ExtensionRollback() {
        if (!committed_) {
            AppExtension().AppData = std::move(appData_);
            AppExtension().ParRecData = std::move(parRecData_);
        }
    }
    ExtensionRollback(const ExtensionRollback&) = delete;
    ExtensionRollback& operator=(const ExtensionRollback&) = delete;

    TAppData* Previous() const { return appData_.get(); }
    void Commit() { committed_ = true; }

private:
    std::unique_ptr<TAppData> appData_;
    std::unique_ptr<TrbStreamable> parRecData_;
    bool committed_ = false;
};

} // namespace

void SaveRecordContainer(Stream& target, const TDBColl* dataBases) {
    target.WriteBuffer(kRecordContainerMagic);
    SaveObjectStream(target, [dataBases](TrbObjStream& stream) {
        stream.Put(AppExtension().AppData.get());
        stream.Put(dataBases);
        stream.Put(AppExtension().ParRecData.get());
    });
}

void SaveRecordContainerFile(const std::filesystem::path& path, const TDBColl* dataBases) {
    // The bytes are made first, so that a fault leaves the file as it was.
    MemoryStream memory;
    SaveRecordContainer(memory, dataBases);
    const std::vector<std::uint8_t>& bytes = memory.Data();
    if (!WriteFileAtomic(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()})) {
        throw EStreamError("Cannot write file \"" + Utf8ToCp1250(path.string()) + "\"");
    }
}

std::unique_ptr<TDBColl> LoadRecordContainer(Stream& source) {
    std::array<std::uint8_t, kRecordContainerMagic.size()> magic{};
    if (source.Read(magic) != magic.size() || magic != kRecordContainerMagic) {
        throw ErbObjStream("Not a record container (bad magic)");
    }
    ExtensionRollback rollback;
    std::unique_ptr<TDBColl> dataBases;
    LoadObjectStream(source, [&](TrbObjStream& stream) {
        AppExtension().AppData = stream.GetAs<TAppData>();
        dataBases = GetStreamObject<TDBColl>(stream);
        AppExtension().ParRecData = GetStreamObject<TParRecData>(stream);
    });
    if (source.Remaining() != 0) {
        throw ErbObjStream("Record container holds bytes after its data");
    }
    if (!AppExtension().AppData) {
        AppExtension().AppData = std::make_unique<TAppData>();
    }
    KeepProgramEnumerations(rollback.Previous() ? rollback.Previous()->EnumTypesColl.get() : nullptr,
                            *AppExtension().AppData);
    rollback.Commit();
    return dataBases;
}

std::unique_ptr<TDBColl> LoadRecordContainer(std::span<const std::uint8_t> bytes) {
    MemoryStream memory(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return LoadRecordContainer(memory);
}

std::unique_ptr<TDBColl> LoadRecordContainerFile(const std::filesystem::path& path) {
    FileStream file(path, FileStream::OpenMode::Read);
    return LoadRecordContainer(file);
}

} // namespace ravlo
