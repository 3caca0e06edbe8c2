#include "project/eprom_image.h"

#include "framework/app_names.h"
#include "platform/atomic_file.h"
#include "project/eprom_checks.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kLowHalf = 0x80000;
constexpr std::uint8_t kErased = 0xFF;

using Bytes = std::vector<std::uint8_t>;

// Copies the entries that select takes into image (one image area of the chips).
template <class Select>
std::string FillArea(Bytes& image, TEpromArea area, const tRomModuleList& list, const TEpromChips& chips,
                     Select&& select) {
    std::string error;
    list.FirstThat([&](const tRomModule& m) {
        if (!select(m)) {
            return false;
        }
        const std::optional<TEpromPlace> place = EpromRunPlace(chips, m.Addr, m.Size);
        if (!place || place->Area != area) {
            error = OutOfEpromText(m);
            return true;
        }
        const fs::path path = ResolveProjectFile(m.File);
        const std::optional<std::string> bytes = ReadFileBytes(path);
        if (!bytes) {
            error = "Could not read from file: " + PathText(path);
            return true;
        }
        // Exactly the size the list shows and the check placed, never more.
        if (bytes->size() != m.Size) {
            error = FileSizeChangedText(path, m.Size);
            return true;
        }
        std::copy(bytes->begin(), bytes->end(), image.begin() + place->Offset);
        return false;
    });
    return error;
}

std::string CreateError(std::string_view chip, int code, const fs::path& file) {
    return "Error " + std::to_string(code) + " during writting into (E)EPROM " + std::string(chip) +
           " file:" + "\r\n" + "File \"" + PathText(file) + "\" could not be created";
}

// The errno value that keeps the file from being created in its folder, 0 when it can be.
int CreationErrno(const fs::path& file) {
    std::error_code error;
    if (fs::is_directory(file, error)) {
        return EISDIR;
    }
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error)) {
        return ENOENT;
    }
    return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

// The I/O code in the message is the system's errno value.
std::string WriteImageFile(std::string_view chip, const Bytes& bytes, const fs::path& file) {
    if (const int code = CreationErrno(file); code != 0) {
        return CreateError(chip, code, file);
    }
    const std::string_view data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!WriteFileAtomic(file, data)) {
        return "Error during writting into (E)EPROM " + std::string(chip) + " file!";
    }
    return {};
}

} // namespace

TEpromImages SplitSixteenBitImage(std::span<const std::uint8_t> image, std::size_t hiSize,
                                  std::size_t loSize) {
    TEpromImages result{Bytes(hiSize, kErased), Bytes(loSize, kErased)};
    for (std::size_t i = 0; i < hiSize && 2 * i + 1 < image.size(); ++i) {
        result.Hi[i] = image[2 * i + 1];
    }
    for (std::size_t i = 0; i < loSize && 2 * i < image.size(); ++i) {
        (*result.Lo)[i] = image[2 * i];
    }
    return result;
}

TEpromComposition ComposeEpromImages(const tRomModuleList& list, const TEpromChips& chips) {
    TEpromComposition result;
    const auto upper = [](const tRomModule& m) {
        return m.Addr >= kLowHalf;
    };
    const auto lower = [](const tRomModule& m) {
        return m.Addr < kLowHalf;
    };
    const std::size_t hiBytes = EpromAreaSize(chips, TEpromArea::Hi);
    switch (chips.Kind) {
    case TVokKind::Vok386EXR: {
        Bytes image(hiBytes, kErased);
        result.Error = FillArea(image, TEpromArea::Hi, list, chips, upper);
        const auto chipBytes = [](int kb) {
            return static_cast<std::size_t>(std::max(kb, 0)) * 1024;
        };
        result.Images = SplitSixteenBitImage(image, chipBytes(chips.HiKb), chipBytes(chips.LoKb));
        break;
    }
    case TVokKind::VokV40:
    case TVokKind::Vok188ER:
        result.Images.Hi.assign(hiBytes, kErased);
        result.Error = FillArea(result.Images.Hi, TEpromArea::Hi, list, chips, upper);
        if (result.Error.empty() && chips.Kind == TVokKind::Vok188ER && chips.LoKb > 0) {
            Bytes lo(EpromAreaSize(chips, TEpromArea::Lo), kErased);
            result.Error = FillArea(lo, TEpromArea::Lo, list, chips, lower);
            result.Images.Lo = std::move(lo);
        }
        break;
    default:
        result.Error = "Unknown board kind: no (E)EPROM image can be created!";
        break;
    }
    if (!result.Error.empty()) {
        result.Images = {};
    }
    return result;
}

std::string WriteEpromImageFiles(const TEpromImages& images, const fs::path& hiFile, const fs::path& loFile) {
    std::string error = WriteImageFile("HI", images.Hi, hiFile);
    if (error.empty() && images.Lo) {
        error = WriteImageFile("LO", *images.Lo, loFile);
    }
    return error;
}

} // namespace ravlo
