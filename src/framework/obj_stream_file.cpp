#include "framework/obj_stream_file.h"

#include "platform/cp1250.h"

#include <string>
#include <system_error>
#include <vector>

namespace ravlo {
namespace {

constexpr std::int32_t kMaxClasses = 0x7FFF;

} // namespace

void SaveObjectStream(Stream& target, const ObjStreamWriter& writeObjects) {
    MemoryStream body;
    TrbObjStream bodyWriter(body, ObjStreamMode::Writing);
    writeObjects(bodyWriter);

    TrbObjStream header(target, ObjStreamMode::Writing);
    header.Write(kObjStreamSignature);
    header.WriteI32(static_cast<std::int32_t>(bodyWriter.ClassNames().size()));
    for (const std::string& name : bodyWriter.ClassNames()) {
        header.WriteStr(name);
    }
    header.Write(body.Data());
}

void LoadObjectStream(Stream& source, const ObjStreamReader& readObjects) {
    TrbObjStream header(source, ObjStreamMode::Reading);
    std::array<std::uint8_t, kObjStreamSignature.size()> signature{};
    header.Read(signature);
    if (signature != kObjStreamSignature) {
        throw ErbObjStream("Not an object stream (bad signature)");
    }
    // Every class name takes at least its length byte.
    const std::int32_t count = header.ReadCount(1);
    if (count > kMaxClasses) {
        throw ErbObjStream("Too many classes in object stream");
    }
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        names.push_back(header.ReadStr());
    }
    TrbObjStream reader(source, ObjStreamMode::Reading, names);
    readObjects(reader);
}

void SaveObjectFile(const std::filesystem::path& path, const ObjStreamWriter& writeObjects) {
    std::filesystem::path temporary = path;
    temporary += ".~tmp";
    try {
        FileStream file(temporary, FileStream::OpenMode::Create);
        SaveObjectStream(file, writeObjects);
        file.Close();
        std::filesystem::rename(temporary, path);
    } catch (const std::filesystem::filesystem_error& error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw EStreamError("Cannot write file \"" + Utf8ToCp1250(path.string()) +
                           "\": " + error.code().message());
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

void LoadObjectFile(const std::filesystem::path& path, const ObjStreamReader& readObjects) {
    FileStream file(path, FileStream::OpenMode::Read);
    LoadObjectStream(file, readObjects);
}

} // namespace ravlo
