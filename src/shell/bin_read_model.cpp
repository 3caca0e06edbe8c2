#include "shell/bin_read_model.h"

#include "framework/app_names.h"
#include "framework/message_box.h"
#include "framework/number_text.h"
#include "platform/program_dir.h"
#include "project/project_globals.h"
#include "shell/board_memory.h"

namespace ravlo {
namespace {

constexpr std::uint32_t kAddressSpace = 0x100000;

std::string HexNoLeadingZeros(std::uint32_t value) {
    std::string text = HexDW(value);
    const std::size_t first = text.find_first_not_of('0');
    return first == std::string::npos ? "0" : text.substr(first);
}

} // namespace

TReadSettings& ReadSettings() {
    static TReadSettings settings;
    return settings;
}

TBinReadModel::TBinReadModel(TBoardMemory& board) : board_(board), fileName_(ReadSettings().ReadFileName) {
    if (fileName_.empty()) {
        // Not the program's working folder: the field is greyed, so nobody would see where it went.
        fileName_ = (ProjectDir.empty() ? HomeDir() : ProjectDirPath()) / "ROM.bin";
    }
}

std::string TBinReadModel::AddressText() const {
    return FarPtrToStr(ReadSettings().ReadAddr);
}

std::string TBinReadModel::LengthText() const {
    return "$" + HexNoLeadingZeros(ReadSettings().ReadLen);
}

std::string TBinReadModel::LengthBytesText() const {
    return "= " + std::to_string(ReadSettings().ReadLen) + " bytes";
}

std::string TBinReadModel::RangeText() const {
    const std::uint32_t start = FarPtrToLin(ReadSettings().ReadAddr);
    return "(Read Range:  " + HexDW(start) + "h to " + HexDW(start + ReadSettings().ReadLen - 1) + "h)";
}

bool TBinReadModel::AddressEntered(std::string_view text) {
    bool err = false;
    const TSegOfsPtr address = StrToFarPtr(text, err);
    // A start at $100000 would leave nothing to read.
    if (err || FarPtrToLin(address) > kBoardAddressMax) {
        BeepShowMessage("Incorrect address!");
        return false;
    }
    TReadSettings& settings = ReadSettings();
    settings.ReadAddr = address;
    const std::uint32_t start = FarPtrToLin(address);
    if (start + settings.ReadLen > kAddressSpace) {
        settings.ReadLen = kAddressSpace - start;
    }
    return true;
}

bool TBinReadModel::LengthEntered(std::string_view text, bool finished) {
    if (!finished && (text.empty() || text == "$")) {
        return true;
    }
    bool err = false;
    const std::uint32_t length = HexStrToDWord(text, err);
    const std::uint32_t start = FarPtrToLin(ReadSettings().ReadAddr);
    if (err || length < 1 || length > kAddressSpace - start) {
        BeepShowMessage("Incorrect Len size!");
        return false;
    }
    ReadSettings().ReadLen = length;
    return true;
}

bool TBinReadModel::Read() {
    if (fileName_.empty()) {
        BeepShowMessage("At first select/enter file name.");
        return false;
    }
    std::error_code error;
    const std::filesystem::path folder = fileName_.parent_path().empty() ? "." : fileName_.parent_path();
    if (!std::filesystem::is_directory(folder, error)) {
        BeepShowMessage("Can't create " + PathText(fileName_) + " !");
        return false;
    }
    TReadSettings& settings = ReadSettings();
    settings.ReadFileName = fileName_;
    return board_.ReadMemBlock(settings.ReadAddr, settings.ReadLen, fileName_);
}

} // namespace ravlo
