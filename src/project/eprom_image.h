#pragma once

#include "project/eprom_layout.h"
#include "project/eprom_module.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ravlo {

// The contents of the chip image files; unused bytes are $FF.
struct TEpromImages {
    std::vector<std::uint8_t> Hi;                // the HI file, the only one of a single chip
    std::optional<std::vector<std::uint8_t>> Lo; // the LO file of a second chip
};

// The two chip files of a 16-bit image: HI of hiSize bytes from the odd image bytes (1, 3, 5, ...),
// LO of loSize bytes from the even ones (0, 2, 4, ...); $FF where the image runs out.
TEpromImages SplitSixteenBitImage(std::span<const std::uint8_t> image, std::size_t hiSize,
                                  std::size_t loSize);

struct TEpromComposition {
    TEpromImages Images;
    std::string Error; // empty on success
};

// Reads every entry's file into the images of the chips, in list order (so a setup record lands
// over its BIOS). Each file must hold exactly the entry's size and fit its image; the first entry
// that does not, or an unknown board kind, gives an error and no images.
TEpromComposition ComposeEpromImages(const tRomModuleList& list, const TEpromChips& chips);

// Writes the HI file and, when there is one, the LO file; each through a temporary file renamed
// into place. The error text of the first file that fails, empty when both were written.
std::string WriteEpromImageFiles(const TEpromImages& images, const std::filesystem::path& hiFile,
                                 const std::filesystem::path& loFile);

} // namespace ravlo
