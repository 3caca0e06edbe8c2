#pragma once

#include "framework/board_address.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace ravlo {

class TBoardMemory;

// Where the write window's block comes from.
enum class TWriteSource : std::uint8_t { Empty, Full, User, Specified };

// The control that gets the focus after a refusal.
enum class TWriterField : std::uint8_t { None, Length, Address, UserVal };

// The write window's start address, kept for the whole run.
TSegOfsPtr& LastWriteAddr();

// The binary write window without its widgets: a .BIN file, or a block of one byte value, written
// to a board address. The texts are the controls' (code page 1250); numbers are hexadecimal with or
// without "$". Message boxes go through the presenter.
class TBinWriteModel {
public:
    explicit TBinWriteModel(TBoardMemory& board);

    std::string AddressText;
    std::string LengthText = "$100";
    std::string UserValText = "$EE";
    std::filesystem::path FileName;

    TWriteSource Source() const { return source_; }
    bool FileNameEnabled() const { return source_ == TWriteSource::Specified; }
    bool UserValEnabled() const { return source_ == TWriteSource::User; }
    std::uint32_t Length() const { return length_; }

    // A source chosen. For Specified the window has first asked for a file when none was named;
    // the length is then cut to the named file's size.
    void SelectSource(TWriteSource source);
    // A file chosen in the open dialog: its size becomes the length and the source Specified.
    // False after "Can't open" when it cannot be read.
    bool FileChosen(const std::filesystem::path& file);

    // The Write button: the checks in order, each failure with its box; the block then goes to the
    // board. Answers the control to focus after a refusal (None also after a write or a No).
    TWriterField Write();

private:
    void ShowLength();

    TBoardMemory& board_;
    TWriteSource source_ = TWriteSource::Empty;
    std::uint32_t length_ = 0;
    std::uint8_t userVal_ = 0;
};

} // namespace ravlo
