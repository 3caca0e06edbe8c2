#pragma once

#include "framework/byte_stream.h"
#include "records/data_base.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace ravlo {

// A record container file: kRecordContainerMagic, then a stored object stream (its signature and
// class table, then the objects): the application data, the top-level databases (a TDBColl) and
// the parameter records (a TParRecData), each possibly nil. Nothing may follow.
inline constexpr std::array<std::uint8_t, 8> kRecordContainerMagic{'R', 'A', 'V', 'L', 'R', 'E', 'C', 0x1A};

// Stores the application data and the parameter records the application extension holds, and
// dataBases.
void SaveRecordContainer(Stream& target, const TDBColl* dataBases);
// Written under a temporary name and renamed into place.
void SaveRecordContainerFile(const std::filesystem::path& path, const TDBColl* dataBases);

// Loads a container into the application extension and answers its databases (nullptr for nil).
// The application data is installed first, so that the records find their types in it; the
// enumerations in use before (the program's own, which its dialogs find by index) keep their
// indexes, and a container enumeration in a place they take is dropped and reported. Any fault of the data raises its exception (ErbObjStream,
// EInvalidCast, ExcValidators for a database of unknown type, ...), frees what was read and leaves
// the extension as it was.
std::unique_ptr<TDBColl> LoadRecordContainer(Stream& source);
std::unique_ptr<TDBColl> LoadRecordContainer(std::span<const std::uint8_t> bytes);
std::unique_ptr<TDBColl> LoadRecordContainerFile(const std::filesystem::path& path);

} // namespace ravlo
