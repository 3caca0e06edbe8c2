#pragma once

#include "framework/board_address.h"
#include "platform/message_target.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

class TBoardMemory;

// The address the next memory view opens at, kept for the whole run.
TSegOfsPtr& MemViewAddr();

// Whether the logged-in user may write to the board.
bool UserMayWriteBoard();

// A caret position in the dump: column and row of the text.
struct TMemCaret {
    int Col = 0;
    int Row = 0;
    bool operator==(const TMemCaret&) const = default;
};

// The keys the dump handles itself.
enum class TMemKey : std::uint8_t { PageUp, PageDown, Home, End, Left, Right, Down, Other };

// The memory view without its widgets: one 256-byte page of board memory as a hex and character
// dump of 8 or 16 bytes a row, the caret's byte, the edits not yet written and the page steps.
// Texts are code page 1250; beeps and boxes go through the presenter.
class TMemViewModel {
public:
    static constexpr std::size_t kPageSize = 256;
    static constexpr int kHexCol = 8;

    // notify is the view's window, to which the pages it asks for return.
    TMemViewModel(TBoardMemory& board, WindowHandle notify);

    // A page read from the board at address; the edits of the page before are gone.
    void ShowPage(TSegOfsPtr address, std::vector<std::uint8_t> data);
    TSegOfsPtr Addr() const { return addr_; }
    const std::vector<std::uint8_t>& Page() const { return page_; }

    // ---- Layout ----
    // 16 bytes a row when a line of them fits in columns characters, else 8.
    static int BytesPerRowFor(int columns);
    // True when the row width changed (the dump is then shown anew).
    bool SetBytesPerRow(int bytes);
    int BytesPerRow() const { return w_; }
    int HexEnd() const { return kHexCol + 3 * w_ - 3; }
    int AscCol() const { return 3 * w_ + 9; }
    int AscEnd() const { return AscCol() + w_ - 1; }
    int LastRow() const { return static_cast<int>(kPageSize) / w_ - 1; }
    int LineLength() const { return 4 * w_ + 9; }
    std::string LineText(int row) const;
    std::string DataHeadText() const;

    // ---- Caret ----
    // Puts a caret onto the nearest byte digit or character and answers where it now is.
    TMemCaret RefreshCursor(TMemCaret caret);
    bool InHex() const { return inHex_; }
    bool HighNibble() const { return highNibble_; }
    std::uint16_t CurIdx() const { return curIdx_; }
    // "Act.Addr: " and the linear address of the caret's byte.
    std::string ActPosText() const;
    // A key the dump moves the caret for itself (a beep where it cannot); nothing for the others.
    std::optional<TMemCaret> KeyDown(TMemKey key, TMemCaret caret);
    // A typed character edits the caret's byte when the user may write; answers the caret after it,
    // nothing when the character changed nothing.
    std::optional<TMemCaret> KeyPress(char ch, TMemCaret caret);
    // A character typed as the keyboard gives it (UTF-8): one the code page holds goes on as
    // KeyPress; one it cannot hold is refused in the character area (a beep and a box, the byte
    // stays as it was), since the board would get a "?" in its place.
    std::optional<TMemCaret> KeyPressText(std::string_view text, TMemCaret caret);

    // ---- Edits ----
    // Bytes edited since the page was read, saved or restored.
    const std::bitset<kPageSize>& Changed() const { return changed_; }
    bool SaveEnabled() const { return changed_.any(); }
    // "Save to Vok": false when nothing changed (not connected, or the question was cancelled).
    bool Save();
    // "Previous" (-1) and "Next" (+1): asks for the neighbouring page once unsaved edits were
    // settled. A step past segment 0 or $FFFF raises ERangeError and changes nothing. False when
    // nothing was asked.
    bool StepPage(int direction);

private:
    // The save question; false when it was cancelled.
    bool AskSave();
    bool CheckConnected() const;

    TBoardMemory& board_;
    WindowHandle notify_;
    TSegOfsPtr addr_;
    std::vector<std::uint8_t> page_ = std::vector<std::uint8_t>(kPageSize);
    std::array<std::uint8_t, kPageSize> orig_{};
    std::bitset<kPageSize> changed_;
    int w_ = 16;
    bool inHex_ = true;
    bool highNibble_ = true;
    std::uint16_t curIdx_ = 0;
};

} // namespace ravlo
