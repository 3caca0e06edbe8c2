#include "project/download.h"

#include "framework/app_names.h"
#include "platform/atomic_file.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_messages.h"

#include <optional>

namespace ravlo {

bool IsRomImage(std::span<const std::uint8_t> image) {
    constexpr std::size_t kParagraph = 16;
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : image) {
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    return !image.empty() && image.size() % kParagraph == 0 && sum == 0;
}

namespace {

// The .BIN of a ROM module, read whole; nullopt after the message that says why it cannot go.
std::optional<std::vector<std::uint8_t>> RomImageOf(const tModule& module) {
    const std::filesystem::path path = ProjectFilePath(module.Name + ".BIN");
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        ProjectError("Can't open file: " + PathText(path));
        return std::nullopt;
    }
    std::vector<std::uint8_t> image(bytes->begin(), bytes->end());
    if (!IsRomImage(image)) {
        // The board's checksum could never confirm it.
        ProjectError("File " + PathText(path) +
                     " is no ROM image: its bytes do not add up to 0 modulo 256 in whole paragraphs. "
                     "Generate the project again.");
        return std::nullopt;
    }
    return image;
}

} // namespace

bool tModule::DownloadBin(TBoardDownloader& board) const {
    if (MemType() != ModuleT::ROM) {
        return false;
    }
    std::optional<std::vector<std::uint8_t>> image = RomImageOf(*this);
    return !image || !board.WriteRomModule(MakeFarPtr(0, Address), std::move(*image), Name + ".BIN");
}

bool tModuleCollection::DownloadRomModules(TBoardDownloader& board) {
    // Every image is checked before the first goes out, so a bad one leaves the board as it was.
    const auto unusable = [](const tModule& module) {
        return module.MemType() == ModuleT::ROM && !RomImageOf(module);
    };
    return FirstThat(unusable) != nullptr ||
           FirstThat([&board](const tModule& module) { return module.DownloadBin(board); }) != nullptr;
}

bool DownloadProject(TBoardDownloader& board, TDownloadAsk ask) {
    const tProjectModel& model = ProjectModel();
    if (ProjectType == TProjectType::None || !model.Modules) {
        ProjectWarning("At first select project.");
        return false;
    }
    if (model.Unplaced && !model.Unplaced->Empty()) {
        ProjectWarning("Some unit(s) not placed.");
        return false;
    }
    return model.Modules->CheckBinFiles(ask) && !model.Modules->DownloadRomModules(board);
}

} // namespace ravlo
