#pragma once

#include "framework/rtdw_ini.h"
#include "platform/message_target.h"
#include "shell/hex_overwrite_edit.h"
#include "shell/io_item_list.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace ravlo {

class TToolBoard;

// The IO access window without its widgets: one board IO port read or written as a byte or a
// word, the list of recently used ports, the address and data edited as hex in overwrite mode, and
// the answers of the board master. Created, it loads the list and shows its first entry; Close()
// saves the list.
class TIOAccess {
public:
    using Key = THexOverwriteEdit::Key;
    static constexpr int kNoEntry = -1;

    // window receives the master's answers; the list lives in file.
    TIOAccess(TToolBoard& board, WindowHandle window, std::filesystem::path file = GetRtdwIniName());

    // Saves the list (only into a file that exists); false after an error box when it could not be
    // written.
    bool Close() const;

    // ---- The address box ----
    // A typed character or key; the change is acted on as the box's change.
    void AddrType(char c);
    void AddrPress(Key key);
    void SetAddrCaret(std::size_t caret) { addr_.SetCaret(caret); }
    // An entry of the drop-down (0-based) goes to the front and is shown. The description box's
    // drop-down does the same.
    void SelectEntry(std::size_t index);

    // ---- The description box ----
    // The typed text: a new entry for an address the list does not hold, else the shown entry's new
    // description. True when an entry was added. fits: whether the code page holds every character
    // typed; when not, nothing changes (a "?" would be saved in their place) and the first such
    // text is refused with a box; the box keeps what was typed until it fits or another entry is
    // shown.
    bool SetDescription(std::string_view text, bool fits = true);
    bool DescriptionRefused() const { return descrRefused_; }

    // ---- The data ----
    void DataType(char c);
    void DataPress(Key key);
    void SetDataCaret(std::size_t caret) { data_.SetCaret(caret); }
    void SetBit(int bit, bool on);
    void SetByteAccess(bool byteAccess);

    // ---- The board ----
    void Read();
    void Write();
    // wm_IORdDone and wm_IOWrDone; false for other messages.
    bool HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

    // ---- What the frame shows ----
    const THexOverwriteEdit& Addr() const { return addr_; }
    const THexOverwriteEdit& DataEdit() const { return data_; }
    const std::string& Description() const { return descr_; }
    // The drop-down lists: "$" + 4 hex digits, and the descriptions.
    std::vector<std::string> AddrItems() const;
    std::vector<std::string> DescrItems() const;
    const TIOItemList& List() const { return list_; }
    // 1-based index of the shown entry, kNoEntry for none.
    int SelIdx() const { return selIdx_; }
    bool ByteAccess() const { return byteAccess_; }
    std::uint16_t Data() const { return dataValue_; }
    const std::string& Status() const { return status_; }
    bool ReadPending() const { return readPending_; }
    bool WritePending() const { return writePending_; }

private:
    TIOItem* Shown();
    // Shows entry s (1-based): both boxes, its width and data; the address caret after the "$".
    void ShowEntry(int s);
    void ApplyWidth();
    void ShowData();
    void AddrChanged();
    void DataChanged();
    void ClearPending();

    TToolBoard& board_;
    WindowHandle window_;
    std::filesystem::path file_;
    TIOItemList list_;
    THexOverwriteEdit addr_{5};
    THexOverwriteEdit data_{3};
    std::string descr_;
    bool byteAccess_ = true;
    std::uint16_t dataValue_ = 0;
    int selIdx_ = kNoEntry;
    bool newEntry_ = false;
    bool descrRefused_ = false;
    bool readPending_ = false;
    bool writePending_ = false;
    std::string status_;
};

} // namespace ravlo
