#include "project/eprom_checks.h"

#include "framework/app_names.h"
#include "platform/atomic_file.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <system_error>
#include <vector>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBiosFinding = "Incorrect BIOS file:\r\n";

struct BiosRules {
    std::string_view tooLarge;
    std::vector<std::string_view> markers;
};

std::optional<BiosRules> BiosRulesOf(TVokKind kind) {
    switch (kind) {
    case TVokKind::VokV40:
        return BiosRules{"BIOS for VokV40 must not be greater than 8KB!", {"Bios monitor", "Marbex(c)"}};
    case TVokKind::Vok386EXR:
        return BiosRules{"BIOS for Vok386 must not be greater than 12KB!", {"Bios monitor", "386EXR", "VOK"}};
    case TVokKind::Vok188ER:
        return BiosRules{"BIOS for Vok188 must not be greater than 12KB!",
                         {"BIOS Monitor", "Marbex", "VOK188ER"}};
    }
    return std::nullopt;
}

bool OneOf(int value, std::initializer_list<int> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

std::string ChipSizeFinding(const TEpromChips& chips) {
    const int hi = chips.HiKb;
    const int lo = chips.LoKb;
    switch (chips.Kind) {
    case TVokKind::VokV40:
        return OneOf(hi, {64, 128, 256, 512})
                   ? ""
                   : "(E)EPROM HI has incorrect size (must be 64,128,256 or 512KB)!";
    case TVokKind::Vok386EXR:
        if (!OneOf(hi, {64, 128, 256})) {
            return "(E)EPROM HI has incorrect size (must be 64,128 or 256KB)!";
        }
        return lo == hi ? "" : "(E)EPROM LO has incorrect size (must be the same as HI)!";
    case TVokKind::Vok188ER:
        if (!OneOf(hi, {64, 128, 256, 512})) {
            return "(E)EPROM HI has incorrect size (must be 64,128,256 or 512KB)!";
        }
        if (lo > 0 && hi != 512) {
            return "If (E)EPROM HI is less than 512KB, (E)EPROM LO must be 0KB!";
        }
        return OneOf(lo, {0, 64, 128, 256}) ? ""
                                            : "(E)EPROM LO has incorrect size (must be 0,64,128 or 256KB)!";
    }
    return {};
}

bool IsBiosOrSetup(const tRomModule& m) {
    return m.Type == TRomModuleType::Bios || m.Type == TRomModuleType::BiosSetup;
}

// Whether two entries would write the same bytes: in the address space, or in one image where two
// windows of the address space share a chip.
bool Overlap(const tRomModule& a, const tRomModule& b, const TEpromChips& chips) {
    if (a.Size == 0 || b.Size == 0) {
        return false;
    }
    if (a.Addr <= b.EndAddr() && b.Addr <= a.EndAddr()) {
        return true;
    }
    const std::optional<TEpromPlace> pa = EpromRunPlace(chips, a.Addr, a.Size);
    const std::optional<TEpromPlace> pb = EpromRunPlace(chips, b.Addr, b.Size);
    return pa && pb && pa->Area == pb->Area && pa->Offset < std::uint64_t{pb->Offset} + b.Size &&
           pb->Offset < std::uint64_t{pa->Offset} + a.Size;
}

bool FileExists(const tRomModule& m) {
    std::error_code error;
    return fs::is_regular_file(ResolveProjectFile(m.File), error);
}

bool FileSizeChanged(const tRomModule& m) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(ResolveProjectFile(m.File), error);
    return error || size != m.Size;
}

} // namespace

std::string OutOfEpromText(const tRomModule& module) {
    return "Module address \"" + module.Name + "\" is out of (E)EPROM!";
}

std::string FileMissingText(const fs::path& file) {
    return "File \"" + PathText(file) + "\" does not exist!";
}

std::string FileSizeChangedText(const fs::path& file, std::uint32_t size) {
    return "File \"" + PathText(file) + "\" is not " + std::to_string(size) + " bytes large any more!";
}

std::string BiosFileCheck(TVokKind kind, const fs::path& file) {
    const std::optional<BiosRules> rules = BiosRulesOf(kind);
    const std::optional<TBoardRomLayout> layout = BoardRomLayout(kind);
    if (!rules || !layout) {
        return {};
    }
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (!error && size > layout->BiosMaxSize) {
        return std::string(kBiosFinding) + std::string(rules->tooLarge);
    }
    // Read only once the size is known to be small.
    const std::string bytes = error ? std::string() : ReadFileBytes(file).value_or(std::string());
    for (std::string_view marker : rules->markers) {
        if (bytes.find(marker) == std::string::npos) {
            return std::string(kBiosFinding) + "File must contain \"" + std::string(marker) + "\" string!";
        }
    }
    return {};
}

std::string CheckEpromComposition(const tRomModuleList& list, const TEpromChips& chips) {
    if (list.Empty()) {
        return "No modules defined!";
    }
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        for (std::int32_t j = i + 1; j < list.Count(); ++j) {
            const tRomModule& a = *list.At(i);
            const tRomModule& b = *list.At(j);
            // The setup record lies inside the BIOS area on purpose and is written after it.
            if (!(IsBiosOrSetup(a) && IsBiosOrSetup(b)) && Overlap(a, b, chips)) {
                return "Module \"" + a.Name + "\" overlaps \"" + b.Name + "\"!";
            }
        }
    }
    if (std::string finding = ChipSizeFinding(chips); !finding.empty()) {
        return finding;
    }
    const tRomModule* found = list.FirstThat([&](const tRomModule& m) {
        return m.Type == TRomModuleType::Bios &&
               !BiosFileCheck(chips.Kind, ResolveProjectFile(m.File)).empty();
    });
    if (found != nullptr) {
        return BiosFileCheck(chips.Kind, ResolveProjectFile(found->File));
    }
    const std::optional<TBoardRomLayout> layout = BoardRomLayout(chips.Kind);
    found = list.FirstThat([&](const tRomModule& m) {
        return m.Type == TRomModuleType::BiosSetup && layout &&
               (layout->SetupAddr == 0 || m.Size != layout->SetupSize);
    });
    if (found != nullptr) {
        return layout->SetupAddr == 0 ? "VokV40 must not have Setup!" : "Incorrect size of Setup";
    }
    found = list.FirstThat([&](const tRomModule& m) { return !EpromRunPlace(chips, m.Addr, m.Size); });
    if (found != nullptr) {
        return OutOfEpromText(*found);
    }
    found = list.FirstThat([](const tRomModule& m) { return !FileExists(m); });
    if (found != nullptr) {
        return FileMissingText(ResolveProjectFile(found->File));
    }
    // The list keeps the size a file had when it was added; the image takes exactly that many bytes.
    found = list.FirstThat(FileSizeChanged);
    if (found != nullptr) {
        return FileSizeChangedText(ResolveProjectFile(found->File), found->Size);
    }
    return {};
}

} // namespace ravlo
