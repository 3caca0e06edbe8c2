#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace ravlo {

// The board kind an EPROM image is composed for (a byte; values outside 1-3 are kept as they are
// and place nothing).
enum class TVokKind : std::uint8_t {
    VokV40 = 1,
    Vok386EXR = 2, // 16-bit bus: odd bytes in the HI chip, even bytes in the LO chip
    Vok188ER = 3,  // the LO chip holds the addresses below $80000
};

bool IsKnownVokKind(TVokKind kind);
// Boards with a HI and a LO chip (Vok386EXR, Vok188ER).
bool HasTwoChips(TVokKind kind);

// The board combo's texts in kind order: "VokV40", "Vok386EXR (16bit)", "Vok188ER".
std::span<const std::string_view> VokKindTexts();

// Where a board's BIOS and BIOS setup record sit and how large their files may be.
struct TBoardRomLayout {
    std::uint32_t BiosAddr = 0;
    std::uint32_t SetupAddr = 0; // 0: the board has no setup record
    std::uint32_t BiosMaxSize = 0;
    std::uint32_t SetupSize = 0; // exact size of the setup file
};
std::optional<TBoardRomLayout> BoardRomLayout(TVokKind kind);

// Chip size lists of a kind, in KB, as the size combo boxes show them.
std::span<const std::string_view> HiSizeTexts(TVokKind kind);
std::span<const std::string_view> LoSizeTexts(TVokKind kind);
// The size a list text stands for; nothing for another text.
std::optional<int> HiSizeOfText(std::string_view text);
std::optional<int> LoSizeOfText(std::string_view text);
// The text of a size within a list; nothing when the list has no such size.
std::optional<std::string_view> SizeTextIn(std::span<const std::string_view> texts, int sizeKb);

// The board kind and its chip sizes in KB (LO is 0 for a single chip).
struct TEpromChips {
    TVokKind Kind = TVokKind::VokV40;
    int HiKb = 256;
    int LoKb = 0;
};

// The image an address lands in. For the 16-bit board Hi is the one combined image of HI + LO KB
// that is split into the two chip files afterwards.
enum class TEpromArea : std::uint8_t { Hi, Lo };

struct TEpromPlace {
    TEpromArea Area = TEpromArea::Hi;
    std::uint32_t Offset = 0;
    bool operator==(const TEpromPlace&) const = default;
};

// Where a linear address lies in the image of the chips; nothing when it is not placeable.
std::optional<TEpromPlace> EpromPlace(const TEpromChips& chips, std::uint32_t addr);

// Size in bytes of an image area (0 when the board has no such area).
std::uint32_t EpromAreaSize(const TEpromChips& chips, TEpromArea area);

// Where size bytes from addr go: one run within a single area, inside the image. A zero size needs
// only a placeable address. Nothing when the run leaves the image or crosses into another window.
std::optional<TEpromPlace> EpromRunPlace(const TEpromChips& chips, std::uint32_t addr, std::uint32_t size);

} // namespace ravlo
