#pragma once

#include "project/eprom_layout.h"
#include "project/eprom_module.h"

#include <filesystem>
#include <string>

namespace ravlo {

// Whether a file is a BIOS of the board kind: not larger than the kind allows and holding the
// kind's marker texts (exact bytes, anywhere). The finding's text, empty when the file passes; a
// missing file lacks every marker.
std::string BiosFileCheck(TVokKind kind, const std::filesystem::path& file);

// Whether the list can be written into images of the chips: the first finding's text, empty when
// it passes. In order: an empty list, entries that overlap (in the address space, or on the same
// image bytes through windows that alias; a BIOS and its setup record may overlap), the chip sizes,
// the BIOS file, the setup record's size, entries outside the image, missing files and files whose
// size is no longer the entry's.
std::string CheckEpromComposition(const tRomModuleList& list, const TEpromChips& chips);

// The findings about one entry that the composition shares with the check.
std::string OutOfEpromText(const tRomModule& module);
std::string FileMissingText(const std::filesystem::path& file);
std::string FileSizeChangedText(const std::filesystem::path& file, std::uint32_t size);

} // namespace ravlo
