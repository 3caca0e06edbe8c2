// A stored object stream: its class table resolved against the registered classes (the framework's
// and the record descriptions'), then its objects read, once as any objects and once as the
// application data file. What was read is written and read again; from then on the stream is
// stable: writing what was read back gives the same bytes.
#include "framework/app_data.h"
#include "framework/obj_stream_file.h"
#include "fuzz_support.h"
#include "records/record_classes.h"

#include <memory>
#include <vector>

using namespace ravlo;

namespace {

using Objects = std::vector<std::unique_ptr<TrbStreamable>>;

// Every object up to the end of the stream.
Objects ReadObjects(std::vector<std::uint8_t> bytes) {
    MemoryStream source(std::move(bytes));
    Objects objects;
    LoadObjectStream(source, [&objects](TrbObjStream& stream) {
        while (stream.GetStream().Remaining() > 0) {
            objects.push_back(stream.Get());
        }
    });
    return objects;
}

std::vector<std::uint8_t> WriteObjects(const Objects& objects) {
    MemoryStream target;
    SaveObjectStream(target, [&objects](TrbObjStream& stream) {
        for (const auto& object : objects) {
            stream.Put(object.get());
        }
    });
    return target.Data();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterRecordClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const Objects objects = ReadObjects({data, data + size});
        const std::vector<std::uint8_t> written = WriteObjects(objects);
        const std::vector<std::uint8_t> rewritten = WriteObjects(ReadObjects(written));
        fuzz::Check(rewritten == written, "objects read back are written the same");
    } catch (const Exception&) {
        // A malformed stream is refused with the stream's error.
    }

    TAppData appData;
    try {
        appData.LoadFromFile(fuzz::WriteScratchFile("FUZZ.DAT", fuzz::AsText({data, size})));
    } catch (const Exception&) {
        return 0;
    }
    MemoryStream saved;
    SaveObjectStream(saved, [&appData](TrbObjStream& stream) { appData.SaveToStream(stream); });
    return 0;
}
