#include "shell/mem_view_model.h"

#include "framework/ctrl_validator.h"
#include "framework/message_box.h"
#include "framework/number_text.h"
#include "platform/cp1250.h"
#include "platform/exception.h"
#include "platform/presenter.h"
#include "shell/board_memory.h"
#include "shell/user_level.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::uint8_t kLevelWrite = 2;
// A page step moves the segment by 256 bytes.
constexpr int kPageSegments = 0x10;

std::optional<std::uint8_t> HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') {
        return static_cast<std::uint8_t>(ch - '0');
    }
    if (ch >= 'A' && ch <= 'F') {
        return static_cast<std::uint8_t>(ch - 'A' + 10);
    }
    if (ch >= 'a' && ch <= 'f') {
        return static_cast<std::uint8_t>(ch - 'a' + 10);
    }
    return std::nullopt;
}

void Beep() {
    GetPresenter().Beep(MB_OK);
}

} // namespace

TSegOfsPtr& MemViewAddr() {
    static TSegOfsPtr address = MakeFarPtr(0x0000, 0xC800);
    return address;
}

bool UserMayWriteBoard() {
    return UserLevel >= kLevelWrite;
}

TMemViewModel::TMemViewModel(TBoardMemory& board, WindowHandle notify) : board_(board), notify_(notify) {}

void TMemViewModel::ShowPage(TSegOfsPtr address, std::vector<std::uint8_t> data) {
    addr_ = address;
    data.resize(kPageSize);
    page_ = std::move(data);
    std::copy(page_.begin(), page_.end(), orig_.begin());
    changed_.reset();
}

int TMemViewModel::BytesPerRowFor(int columns) {
    constexpr int kWideLine = 4 * 16 + 9;
    return columns >= kWideLine ? 16 : 8;
}

bool TMemViewModel::SetBytesPerRow(int bytes) {
    if (bytes == w_) {
        return false;
    }
    w_ = bytes;
    return true;
}

std::string TMemViewModel::LineText(int row) const {
    const std::size_t first = static_cast<std::size_t>(row * w_);
    std::string hex;
    std::string chars;
    for (std::size_t i = first; i < first + static_cast<std::size_t>(w_); ++i) {
        if (i > first) {
            hex += '-';
        }
        hex += HexB(page_[i]);
        chars += page_[i] < 0x20 ? ' ' : static_cast<char>(page_[i]);
    }
    return LinToStr(FarPtrToLin(addr_) + static_cast<std::uint32_t>(first)) + "  " + hex + "  " + chars;
}

std::string TMemViewModel::DataHeadText() const {
    return w_ == 16 ? "Data hexa (ofs 00-01-02-...-0F)" : "Data hexa (ofs 00-01-02-...-07)";
}

TMemCaret TMemViewModel::RefreshCursor(TMemCaret caret) {
    int col = caret.Col;
    const int row = std::clamp(caret.Row, 0, LastRow());
    if (col < kHexCol) {
        col = kHexCol;
    } else if (col > HexEnd() + 1 && col < AscCol()) {
        col = HexEnd();
    } else if (col > AscEnd()) {
        col = AscEnd();
    }
    inHex_ = col < AscCol();
    if (inHex_ && (col - kHexCol) % 3 == 2) {
        col -= 2;
    }
    highNibble_ = (col - kHexCol) % 3 == 0;
    curIdx_ = static_cast<std::uint16_t>(w_ * row + (inHex_ ? (col - kHexCol) / 3 : col - AscCol()));
    return {col, row};
}

std::string TMemViewModel::ActPosText() const {
    return "Act.Addr: " + LinToStr(FarPtrToLin(addr_) + curIdx_);
}

std::optional<TMemCaret> TMemViewModel::KeyDown(TMemKey key, TMemCaret caret) {
    caret = RefreshCursor(caret);
    int& c = caret.Col;
    int& r = caret.Row;
    const int first = inHex_ ? kHexCol : AscCol();
    const int last = inHex_ ? HexEnd() : AscEnd();
    switch (key) {
    case TMemKey::PageUp:
    case TMemKey::PageDown:
        c = inHex_ ? AscCol() + (c - kHexCol) / 3 : kHexCol + 3 * (c - AscCol());
        break;
    case TMemKey::Home:
        c = first;
        break;
    case TMemKey::End:
        c = last;
        break;
    case TMemKey::Left:
        if (c > first) {
            // From a high digit to the byte before, from a low digit to its high digit.
            c -= inHex_ && (c - kHexCol) % 3 == 0 ? 3 : 1;
        } else if (r > 0) {
            --r;
            c = last;
        } else {
            Beep();
        }
        break;
    case TMemKey::Right:
        if (c < last) {
            // To the next byte's high digit.
            c += !inHex_ ? 1 : ((c - kHexCol) % 3 == 0 ? 3 : 2);
        } else if (r < LastRow()) {
            ++r;
            c = first;
        } else {
            Beep();
        }
        break;
    case TMemKey::Down:
        if (r < LastRow()) {
            return std::nullopt;
        }
        Beep();
        break;
    case TMemKey::Other:
        return std::nullopt;
    }
    return RefreshCursor(caret);
}

std::optional<TMemCaret> TMemViewModel::KeyPress(char ch, TMemCaret caret) {
    if (!UserMayWriteBoard()) {
        return std::nullopt;
    }
    caret = RefreshCursor(caret);
    const std::size_t idx = curIdx_;
    const bool rowEnd = static_cast<int>(idx) % w_ == w_ - 1;
    const bool lastRow = caret.Row == LastRow();
    std::uint8_t& byte = page_[idx];
    TMemCaret next = caret;
    if (inHex_) {
        const auto digit = HexDigit(ch);
        if (!digit) {
            return std::nullopt;
        }
        if (highNibble_) {
            byte = static_cast<std::uint8_t>((*digit << 4) | (byte & 0x0F));
            next.Col += 1;
        } else {
            byte = static_cast<std::uint8_t>((byte & 0xF0) | *digit);
            if (!rowEnd) {
                next.Col += 2;
            } else if (!lastRow) {
                next = {kHexCol, caret.Row + 1};
            }
        }
    } else {
        if (static_cast<std::uint8_t>(ch) < 0x20) {
            return std::nullopt;
        }
        byte = static_cast<std::uint8_t>(ch);
        if (!rowEnd) {
            next.Col += 1;
        } else if (!lastRow) {
            next = {AscCol(), caret.Row + 1};
        }
    }
    changed_.set(idx);
    return RefreshCursor(next);
}

std::optional<TMemCaret> TMemViewModel::KeyPressText(std::string_view text, TMemCaret caret) {
    if (!UserMayWriteBoard()) {
        return std::nullopt;
    }
    if (FitsCp1250(text)) {
        const std::string typed = Utf8ToCp1250(text);
        return typed.size() == 1 ? KeyPress(typed.front(), caret) : std::nullopt;
    }
    RefreshCursor(caret);
    if (!inHex_) {
        ShowNotInCodePage("Vok memory");
    }
    return std::nullopt;
}

bool TMemViewModel::CheckConnected() const {
    if (board_.Connected()) {
        return true;
    }
    TrMessageBox("Error", "Device not connected!", MB_OK | MB_ICONHAND);
    return false;
}

bool TMemViewModel::AskSave() {
    const int answer = MessageDlgDefBtn("Save changes to Vok?", MessageBoxKind::Confirmation,
                                        MsgDlgButton(TMsgDlgBtn::mbYes) | MsgDlgButton(TMsgDlgBtn::mbNo) |
                                            MsgDlgButton(TMsgDlgBtn::mbCancel),
                                        TMsgDlgBtn::mbYes);
    if (answer == IDYES) {
        board_.WriteMemBlock(addr_, page_, "Memory view " + FarPtrToStr(addr_));
        std::copy(page_.begin(), page_.end(), orig_.begin());
    } else if (answer == IDNO) {
        std::copy(orig_.begin(), orig_.end(), page_.begin());
    } else {
        return false;
    }
    changed_.reset();
    return true;
}

bool TMemViewModel::Save() {
    return CheckConnected() && AskSave();
}

bool TMemViewModel::StepPage(int direction) {
    const int segment = addr_.Seg + direction * kPageSegments;
    if (!CheckConnected()) {
        return false;
    }
    if (segment < 0 || segment > 0xFFFF) {
        throw ERangeError("Range check error: segment $" + HexDW(static_cast<std::uint32_t>(segment)) +
                          " of the memory view");
    }
    if (SaveEnabled() && !AskSave()) {
        return false;
    }
    // The view keeps showing its page, under its own address, until the new one has come.
    const TSegOfsPtr next = MakeFarPtr(addr_.Ofs, static_cast<std::uint16_t>(segment));
    MemViewAddr() = next;
    board_.ReadMemPage(next, notify_);
    return true;
}

} // namespace ravlo
