#pragma once

#include "framework/byte_stream.h"
#include "framework/obj_stream.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>

namespace ravlo {

// A stored object stream carries its class table ahead of the objects so that a reader can map
// type numbers to classes: the signature "RBOS", an i32 class count, the class names as short
// strings in type-number order, then the objects.
inline constexpr std::array<std::uint8_t, 4> kObjStreamSignature{'R', 'B', 'O', 'S'};

using ObjStreamWriter = std::function<void(TrbObjStream&)>;
using ObjStreamReader = std::function<void(TrbObjStream&)>;

// writeObjects puts the objects into a memory stream first, so that the class table is complete
// before anything reaches target.
void SaveObjectStream(Stream& target, const ObjStreamWriter& writeObjects);

// Reads the class table and hands readObjects a reader positioned at the first object. A bad
// signature, a bad count or an unknown class raises ErbObjStream.
void LoadObjectStream(Stream& source, const ObjStreamReader& readObjects);

// The same through a file; the file is written under a temporary name and renamed into place, so
// a failed save leaves an older file as it was.
void SaveObjectFile(const std::filesystem::path& path, const ObjStreamWriter& writeObjects);
void LoadObjectFile(const std::filesystem::path& path, const ObjStreamReader& readObjects);

} // namespace ravlo
