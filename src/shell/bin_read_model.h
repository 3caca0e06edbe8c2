#pragma once

#include "framework/board_address.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace ravlo {

class TBoardMemory;

// What the read window reads, kept for the whole run. Until a read names a file, the window
// offers ROM.bin in the project's folder, else in the home folder.
struct TReadSettings {
    TSegOfsPtr ReadAddr = MakeFarPtr(0x0000, 0xC800);
    std::uint32_t ReadLen = 0x18000;
    std::filesystem::path ReadFileName;
};
TReadSettings& ReadSettings();

// The binary read window without its widgets: a range of board memory into a .BIN file. The range
// always lies inside the 1 MB address space. Message boxes go through the presenter.
class TBinReadModel {
public:
    explicit TBinReadModel(TBoardMemory& board);

    std::string AddressText() const;
    // "$" and the length in hex; "= " and the length in decimal + " bytes".
    std::string LengthText() const;
    std::string LengthBytesText() const;
    std::string RangeText() const;
    const std::filesystem::path& FileName() const { return fileName_; }
    void SetFileName(std::filesystem::path name) { fileName_ = std::move(name); }

    // The start address left or chosen: a start above the last board address is refused with a box
    // (the texts then show the kept address again); a length that would pass the end is cut.
    bool AddressEntered(std::string_view text);
    // The length text changed (finished: the field was left). A length of 1 up to what fits from
    // the start is taken; anything else is refused with a box and the text shows the kept length
    // again. While typing, an empty text or a lone "$" is let be until the field is left.
    bool LengthEntered(std::string_view text, bool finished);

    // The Read button: the read goes to the board; the file is replaced only when all is read.
    bool Read();

private:
    TBoardMemory& board_;
    std::filesystem::path fileName_;
};

} // namespace ravlo
