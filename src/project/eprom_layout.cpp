#include "project/eprom_layout.h"

#include <array>

namespace ravlo {
namespace {

constexpr std::uint32_t kLowHalf = 0x80000;
constexpr std::int64_t kNotPlaceable = -1;

constexpr std::array<std::string_view, 3> kKindTexts = {"VokV40", "Vok386EXR (16bit)", "Vok188ER"};

constexpr std::array<std::string_view, 3> kSizes128Up = {"128 KB (x010)", "256 KB (x020)", "512 KB (x040)"};
constexpr std::array<std::string_view, 4> kSizes64Up = {"  64 KB (x512)", "128 KB (x010)", "256 KB (x020)",
                                                        "512 KB (x040)"};
constexpr std::array<std::string_view, 4> kLoSizes188 = {"    0 KB (none)", "  64 KB (x512)", "128 KB (x010)",
                                                         "256 KB (x020)"};

struct SizeText {
    std::string_view text;
    int sizeKb;
};
constexpr std::array<SizeText, 4> kHiTexts = {
    {{"  64 KB (x512)", 64}, {"128 KB (x010)", 128}, {"256 KB (x020)", 256}, {"512 KB (x040)", 512}}};
constexpr std::array<SizeText, 4> kLoTexts = {
    {{"    0 KB (none)", 0}, {"  64 KB (x512)", 64}, {"128 KB (x010)", 128}, {"256 KB (x020)", 256}}};

std::optional<int> SizeOf(std::span<const SizeText> table, std::string_view text) {
    for (const SizeText& entry : table) {
        if (entry.text == text) {
            return entry.sizeKb;
        }
    }
    return std::nullopt;
}

// The single-chip window of a chip of hiKb at the top of the address space.
std::int64_t UpperWindowOffset(int hiKb, std::int64_t a) {
    switch (hiKb) {
    case 64:
        return a - 0xF0000;
    case 128:
        return a - 0xE0000;
    case 256:
        // The lower 32 KB at $80000 and the upper 256 KB window share the chip.
        return a < 0x88000 ? a - 0x80000 : a - 0xC0000;
    case 512:
        return a - 0x80000;
    default:
        return kNotPlaceable;
    }
}

std::int64_t LowerWindowOffset(int loKb, std::int64_t a) {
    switch (loKb) {
    case 64:
        return a - 0x70000;
    case 128:
        return a - 0x60000;
    case 256:
        return a - 0x40000;
    default:
        return kNotPlaceable;
    }
}

} // namespace

bool IsKnownVokKind(TVokKind kind) {
    return kind == TVokKind::VokV40 || kind == TVokKind::Vok386EXR || kind == TVokKind::Vok188ER;
}

bool HasTwoChips(TVokKind kind) {
    return kind == TVokKind::Vok386EXR || kind == TVokKind::Vok188ER;
}

std::span<const std::string_view> VokKindTexts() {
    return kKindTexts;
}

std::optional<TBoardRomLayout> BoardRomLayout(TVokKind kind) {
    switch (kind) {
    case TVokKind::VokV40:
        return TBoardRomLayout{0xFE000, 0, 8192, 0};
    case TVokKind::Vok386EXR:
        return TBoardRomLayout{0xFD000, 0xFFF00, 12288, 13};
    case TVokKind::Vok188ER:
        return TBoardRomLayout{0xFD000, 0xFFE00, 12288, 32};
    }
    return std::nullopt;
}

std::span<const std::string_view> HiSizeTexts(TVokKind kind) {
    switch (kind) {
    case TVokKind::VokV40:
    case TVokKind::Vok386EXR:
        return kSizes128Up;
    case TVokKind::Vok188ER:
        return kSizes64Up;
    }
    return {};
}

std::span<const std::string_view> LoSizeTexts(TVokKind kind) {
    switch (kind) {
    case TVokKind::Vok386EXR:
        return kSizes128Up;
    case TVokKind::Vok188ER:
        return kLoSizes188;
    default:
        return {};
    }
}

std::optional<int> HiSizeOfText(std::string_view text) {
    return SizeOf(kHiTexts, text);
}

std::optional<int> LoSizeOfText(std::string_view text) {
    return SizeOf(kLoTexts, text);
}

std::optional<std::string_view> SizeTextIn(std::span<const std::string_view> texts, int sizeKb) {
    for (std::string_view text : texts) {
        std::optional<int> size = HiSizeOfText(text);
        if (!size) {
            size = LoSizeOfText(text);
        }
        if (size == sizeKb) {
            return text;
        }
    }
    return std::nullopt;
}

std::optional<TEpromPlace> EpromPlace(const TEpromChips& chips, std::uint32_t addr) {
    const std::int64_t a = addr;
    const int hiKb = chips.HiKb;
    const int loKb = chips.LoKb;
    std::int64_t offset = kNotPlaceable;
    TEpromArea area = TEpromArea::Hi;
    switch (chips.Kind) {
    case TVokKind::VokV40:
        offset = a < kLowHalf ? kNotPlaceable : UpperWindowOffset(hiKb, a);
        break;
    case TVokKind::Vok386EXR:
        // One 16-bit image over both chips: its window follows from their sum.
        offset = a < kLowHalf || hiKb + loKb == 64 ? kNotPlaceable : UpperWindowOffset(hiKb + loKb, a);
        break;
    case TVokKind::Vok188ER:
        if (a >= kLowHalf) {
            offset = UpperWindowOffset(hiKb, a);
        } else {
            area = TEpromArea::Lo;
            offset = LowerWindowOffset(loKb, a);
        }
        break;
    }
    // An address below a window is as unplaceable as one outside every window.
    if (offset < 0) {
        return std::nullopt;
    }
    return TEpromPlace{area, static_cast<std::uint32_t>(offset)};
}

std::uint32_t EpromAreaSize(const TEpromChips& chips, TEpromArea area) {
    const auto bytes = [](int kb) {
        return kb > 0 ? static_cast<std::uint32_t>(kb) * 1024U : 0U;
    };
    const int hiKb = chips.HiKb;
    const int loKb = chips.LoKb;
    switch (chips.Kind) {
    case TVokKind::VokV40:
        return area == TEpromArea::Hi ? bytes(hiKb) : 0;
    case TVokKind::Vok386EXR:
        return area == TEpromArea::Hi ? bytes(hiKb) + bytes(loKb) : 0;
    case TVokKind::Vok188ER:
        return bytes(area == TEpromArea::Hi ? hiKb : loKb);
    }
    return 0;
}

std::optional<TEpromPlace> EpromRunPlace(const TEpromChips& chips, std::uint32_t addr, std::uint32_t size) {
    const std::optional<TEpromPlace> first = EpromPlace(chips, addr);
    if (!first || size == 0) {
        return first;
    }
    const std::uint64_t lastAddr = std::uint64_t{addr} + size - 1;
    if (lastAddr > UINT32_MAX) {
        return std::nullopt;
    }
    // The last byte must land where the run would put it: same area, no window boundary between.
    const std::optional<TEpromPlace> last = EpromPlace(chips, static_cast<std::uint32_t>(lastAddr));
    const std::uint64_t lastOffset = std::uint64_t{first->Offset} + size - 1;
    if (!last || last->Area != first->Area || last->Offset != lastOffset ||
        lastOffset >= EpromAreaSize(chips, first->Area)) {
        return std::nullopt;
    }
    return first;
}

} // namespace ravlo
