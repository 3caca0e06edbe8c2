#include "shell/io_access.h"

#include "framework/ctrl_validator.h"
#include "framework/message_box.h"
#include "framework/number_text.h"
#include "platform/cp1250.h"
#include "platform/message_box_flags.h"
#include "protocol/ma_messages.h"
#include "shell/tool_board.h"

namespace ravlo {
namespace {

constexpr std::size_t kByteDataLimit = 3; // "$" and two digits
constexpr std::size_t kWordDataLimit = 5;
constexpr std::intptr_t kByteWidth = 1;
constexpr std::intptr_t kWordWidth = 2;

std::string AddrText(std::uint16_t addr) {
    return "$" + HexW(addr);
}

} // namespace

TIOAccess::TIOAccess(TToolBoard& board, WindowHandle window, std::filesystem::path file)
    : board_(board), window_(window), file_(std::move(file)), list_(LoadIOItems(file_)) {
    addr_.SetText(AddrText(TIOItem{}.Addr));
    ShowEntry(1);
}

bool TIOAccess::Close() const {
    if (!std::filesystem::exists(file_) || SaveIOItems(list_, file_)) {
        return true;
    }
    TrMessageBox("Error", "The list of IO ports could not be stored in " + Utf8ToCp1250(file_.string()) + ".",
                 MB_OK | MB_ICONHAND);
    return false;
}

TIOItem* TIOAccess::Shown() {
    if (selIdx_ < 1 || static_cast<std::size_t>(selIdx_) > list_.Count()) {
        return nullptr;
    }
    return &list_[static_cast<std::size_t>(selIdx_ - 1)];
}

void TIOAccess::ShowEntry(int s) {
    selIdx_ = s;
    descrRefused_ = false;
    if (const TIOItem* item = Shown()) {
        addr_.SetText(AddrText(item->Addr));
        descr_ = item->Descript;
        byteAccess_ = item->ByteAccess;
        dataValue_ = item->Data;
    }
    ApplyWidth();
    addr_.SetCaret(1);
}

void TIOAccess::ApplyWidth() {
    if (TIOItem* item = Shown()) {
        item->ByteAccess = byteAccess_;
    }
    data_.SetLimit(byteAccess_ ? kByteDataLimit : kWordDataLimit);
    ShowData();
}

void TIOAccess::ShowData() {
    data_.SetText("$" +
                  (byteAccess_ ? HexB(static_cast<std::uint8_t>(dataValue_ & 0xFF)) : HexW(dataValue_)));
}

void TIOAccess::ClearPending() {
    readPending_ = false;
    writePending_ = false;
    status_.clear();
}

void TIOAccess::AddrType(char c) {
    if (addr_.Type(c)) {
        AddrChanged();
    }
}

void TIOAccess::AddrPress(Key key) {
    if (addr_.Press(key)) {
        AddrChanged();
    }
}

void TIOAccess::AddrChanged() {
    ClearPending();
    const std::optional<std::uint16_t> addr = addr_.Value();
    const std::optional<std::size_t> index = addr ? list_.Find(*addr) : std::nullopt;
    newEntry_ = !index.has_value();
    if (index) {
        // The caret stays where the typing left it.
        const std::size_t caret = addr_.Caret();
        ShowEntry(static_cast<int>(*index) + 1);
        addr_.SetCaret(caret);
    } else {
        // No entry belongs to the address until a description makes one.
        selIdx_ = kNoEntry;
        descr_.clear();
        descrRefused_ = false;
    }
}

void TIOAccess::SelectEntry(std::size_t index) {
    ClearPending();
    list_.MoveToFront(index);
    newEntry_ = false;
    ShowEntry(1);
}

bool TIOAccess::SetDescription(std::string_view text, bool fits) {
    if (!fits) {
        if (!descrRefused_) {
            descrRefused_ = true;
            ShowNotInCodePage("An IO port description");
        }
        return false;
    }
    descrRefused_ = false;
    descr_ = std::string(text.substr(0, TIOItem::kMaxDescript));
    if (newEntry_ || list_.Empty()) {
        list_.Add(TIOItem{addr_.Value().value_or(0), descr_, byteAccess_, dataValue_});
        newEntry_ = false;
        ShowEntry(1);
        return true;
    }
    if (TIOItem* item = Shown()) {
        item->Descript = descr_;
        const std::size_t caret = addr_.Caret();
        ShowEntry(selIdx_);
        addr_.SetCaret(caret);
    }
    return false;
}

void TIOAccess::DataType(char c) {
    if (data_.Type(c)) {
        DataChanged();
    }
}

void TIOAccess::DataPress(Key key) {
    if (data_.Press(key)) {
        DataChanged();
    }
}

void TIOAccess::DataChanged() {
    const std::uint16_t value = data_.Value().value_or(0);
    dataValue_ = byteAccess_ ? static_cast<std::uint16_t>((dataValue_ & 0xFF00) | (value & 0xFF)) : value;
    if (TIOItem* item = Shown()) {
        item->Data = dataValue_;
    }
}

void TIOAccess::SetBit(int bit, bool on) {
    const auto mask = static_cast<std::uint16_t>(1U << bit);
    dataValue_ = static_cast<std::uint16_t>(on ? dataValue_ | mask : dataValue_ & ~mask);
    if (TIOItem* item = Shown()) {
        item->Data = dataValue_;
    }
    ShowData();
}

void TIOAccess::SetByteAccess(bool byteAccess) {
    byteAccess_ = byteAccess;
    status_.clear();
    ApplyWidth();
}

void TIOAccess::Read() {
    if (!ToolBoardReady(board_)) {
        return;
    }
    status_.clear();
    readPending_ = true;
    board_.ReadIO(addr_.Value().value_or(0), byteAccess_, window_);
}

void TIOAccess::Write() {
    if (!ToolBoardReady(board_)) {
        return;
    }
    status_.clear();
    writePending_ = true;
    board_.WriteIO(addr_.Value().value_or(0), byteAccess_, window_, dataValue_);
}

bool TIOAccess::HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (msg == wm_IORdDone) {
        if (readPending_) {
            const auto value = static_cast<std::uint16_t>(wParam);
            if (lParam == kByteWidth && byteAccess_) {
                dataValue_ = static_cast<std::uint16_t>((dataValue_ & 0xFF00) | (value & 0xFF));
            } else if (lParam == kWordWidth && !byteAccess_) {
                dataValue_ = value;
            }
            if (TIOItem* item = Shown()) {
                item->Data = dataValue_;
            }
            ShowData();
            status_ = "Data read successfully";
            readPending_ = false;
        }
        return true;
    }
    if (msg == wm_IOWrDone) {
        if (writePending_) {
            status_ = "Data written successfully";
            writePending_ = false;
        }
        return true;
    }
    return false;
}

std::vector<std::string> TIOAccess::AddrItems() const {
    std::vector<std::string> items;
    for (const TIOItem& item : list_.Items()) {
        items.push_back(AddrText(item.Addr));
    }
    return items;
}

std::vector<std::string> TIOAccess::DescrItems() const {
    std::vector<std::string> items;
    for (const TIOItem& item : list_.Items()) {
        items.push_back(item.Descript);
    }
    return items;
}

} // namespace ravlo
