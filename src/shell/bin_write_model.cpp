#include "shell/bin_write_model.h"

#include "framework/app_names.h"
#include "framework/message_box.h"
#include "framework/number_text.h"
#include "shell/board_memory.h"

#include <fstream>
#include <optional>
#include <vector>

namespace ravlo {
namespace {

constexpr std::uint64_t kAddressSpace = 0x100000;
// Segments below hold the BIOS's working data.
constexpr std::uint16_t kLowestSafeSegment = 0x0400;

std::string CantOpenText(const std::filesystem::path& file) {
    return "Can't open " + PathText(file) + " !";
}

// The size of a file that can be opened for reading.
std::optional<std::uint64_t> ReadableFileSize(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        return std::nullopt;
    }
    const std::streamoff size = in.tellg();
    if (size < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size);
}

} // namespace

TSegOfsPtr& LastWriteAddr() {
    static TSegOfsPtr address = MakeFarPtr(0x0000, 0xC800);
    return address;
}

TBinWriteModel::TBinWriteModel(TBoardMemory& board) : board_(board) {
    AddressText = FarPtrToStr(LastWriteAddr());
    bool err = false;
    length_ = HexStrToDWord(LengthText, err);
    userVal_ = static_cast<std::uint8_t>(HexStrToDWord(UserValText, err));
}

void TBinWriteModel::ShowLength() {
    LengthText = "$" + HexDW(length_);
}

void TBinWriteModel::SelectSource(TWriteSource source) {
    source_ = source;
    if (source != TWriteSource::Specified || FileName.empty()) {
        return;
    }
    if (const auto size = ReadableFileSize(FileName); size && *size < length_) {
        length_ = static_cast<std::uint32_t>(*size);
    }
    ShowLength();
}

bool TBinWriteModel::FileChosen(const std::filesystem::path& file) {
    FileName = file;
    const auto size = ReadableFileSize(file);
    if (!size || *size > UINT32_MAX) {
        BeepShowMessage(CantOpenText(file));
        return false;
    }
    length_ = static_cast<std::uint32_t>(*size);
    ShowLength();
    source_ = TWriteSource::Specified;
    return true;
}

TWriterField TBinWriteModel::Write() {
    bool err = false;
    const std::uint32_t length = HexStrToDWord(LengthText, err);
    if (err || length < 1) {
        BeepShowMessage("Incorrect size format!");
        return TWriterField::Length;
    }
    length_ = length;
    if (source_ == TWriteSource::Specified) {
        if (FileName.empty()) {
            BeepShowMessage("At first select an existing file.");
            return TWriterField::None;
        }
        const auto size = ReadableFileSize(FileName);
        if (!size) {
            BeepShowMessage(CantOpenText(FileName));
            return TWriterField::None;
        }
        if (length_ > *size) {
            BeepShowMessage("Length must not be higher that File size!");
            return TWriterField::Length;
        }
    }
    const TSegOfsPtr address = StrToFarPtr(AddressText, err);
    if (err) {
        BeepShowMessage("Incorrect address format!");
        return TWriterField::Address;
    }
    LastWriteAddr() = address;
    if (FarPtrToLin(address) + std::uint64_t{length_} > kAddressSpace) {
        BeepShowMessage("Exceed 1MB space!");
        return TWriterField::None;
    }
    const std::uint32_t userVal = HexStrToDWord(UserValText, err);
    if (err || userVal > 0xFF) {
        BeepShowMessage("Incorrect user value!");
        return TWriterField::UserVal;
    }
    userVal_ = static_cast<std::uint8_t>(userVal);
    if (address.Seg < kLowestSafeSegment &&
        MessageDlgDefBtn("Address too low! (Overwrite BIOS working area.)\rAre you sure to write?",
                         MessageBoxKind::Warning,
                         MsgDlgButton(TMsgDlgBtn::mbYes) | MsgDlgButton(TMsgDlgBtn::mbNo),
                         TMsgDlgBtn::mbNo) != IDYES) {
        return TWriterField::None;
    }

    std::vector<std::uint8_t> block(length_);
    std::string text;
    if (source_ == TWriteSource::Specified) {
        std::ifstream in(FileName, std::ios::binary);
        if (!in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()))) {
            // The file shrank since it was checked.
            BeepShowMessage(CantOpenText(FileName));
            return TWriterField::None;
        }
        text = PathText(FileName);
    } else {
        const std::uint8_t fill = source_ == TWriteSource::Full   ? 0xFF
                                  : source_ == TWriteSource::User ? userVal_
                                                                  : 0;
        std::fill(block.begin(), block.end(), fill);
        text = "< WHOLE BLOCK WITH $" + HexB(fill) + " >";
    }
    board_.WriteMemBlock(address, std::move(block), text);
    return TWriterField::None;
}

} // namespace ravlo
