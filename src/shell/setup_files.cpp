#include "shell/setup_files.h"

#include "framework/app_names.h"
#include "framework/message_box.h"
#include "platform/atomic_file.h"
#include "protocol/board_answers.h"

#include <system_error>

namespace ravlo {
namespace {

void SetupFileError(const std::string& text) {
    TrMessageBox("Error", text, MB_OK | MB_ICONHAND);
}

std::string Quoted(const std::filesystem::path& file) {
    return "\"" + PathText(file) + "\"";
}

} // namespace

std::size_t SetupRecordSize(TSetupBoard board) {
    return board == TSetupBoard::Vok386 ? kCfg386RecSize : kCfg188RecSize;
}

std::uint8_t SetupDevice(TSetupBoard board) {
    return board == TSetupBoard::Vok386 ? DEV_Vok386 : DEV_Vok188;
}

std::optional<TSetupBoard> SetupBoardOfSize(std::uintmax_t size) {
    if (size == kCfg386RecSize) {
        return TSetupBoard::Vok386;
    }
    if (size == kCfg188RecSize) {
        return TSetupBoard::Vok188;
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadSetupFile(const std::filesystem::path& file,
                                                       std::optional<TSetupBoard> board) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        SetupFileError("Can't open file " + Quoted(file) + "!");
        return std::nullopt;
    }
    // The size decides before anything is read, so a large file is never read in part or whole.
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    const std::optional<TSetupBoard> sized = error ? std::nullopt : SetupBoardOfSize(size);
    std::optional<std::string> bytes;
    if (sized && (!board || *sized == *board)) {
        bytes = ReadFileBytes(file);
        if (!bytes) {
            SetupFileError("Can't open file " + Quoted(file) + "!");
            return std::nullopt;
        }
    }
    // The file may have changed between the two looks.
    if (!bytes || bytes->size() != size) {
        SetupFileError("File " + Quoted(file) + " doesn't contain valid BIOS setup!");
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

bool WriteSetupFile(const std::filesystem::path& file, std::span<const std::uint8_t> record) {
    const std::string_view bytes(reinterpret_cast<const char*>(record.data()), record.size());
    if (!WriteFileAtomic(file, bytes)) {
        SetupFileError("File " + Quoted(file) + " can't be written!");
        return false;
    }
    return true;
}

} // namespace ravlo
