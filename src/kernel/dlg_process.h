#pragma once

#include "framework/message_box.h"
#include "kernel/process.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>

namespace ravlo {

// The data of a message to the dialog process, 257 bytes: a short string (length byte and up to
// 255 characters) and the dialog type.
struct TDlgProcTextRec {
    static constexpr std::size_t kSize = 257;
    static constexpr std::size_t kTextMax = 255;

    std::string Text;
    std::uint8_t DlgType = 0;

    // The record from the data of a message: no byte beyond the data is read, and a length byte
    // that claims more characters than the data holds is cut to those it holds. Data shorter than
    // the record gives DlgType 0.
    static TDlgProcTextRec FromBytes(std::span<const std::uint8_t> data);
    // The 257 record bytes; text beyond 255 characters is cut.
    std::array<std::uint8_t, kSize> ToBytes() const;

    bool operator==(const TDlgProcTextRec&) const = default;
};

// Dialog types and their message-box kinds.
inline constexpr std::uint8_t kDlgWarning = 0;
inline constexpr std::uint8_t kDlgError = 1;
inline constexpr std::uint8_t kDlgInformation = 2;
inline constexpr std::uint8_t kDlgConfirmation = 3;
inline constexpr std::uint8_t kDlgCustom = 4;

// MB_* flags (one OK button and the type's icon) and caption of a dialog type; the custom type shows
// as information, types above 4 as a warning.
unsigned DlgTypeFlags(std::uint8_t dlgType);
std::string DlgTypeCaption(std::uint8_t dlgType);

// The dialog process (ProcType and Ident 0x8F): processes post it texts instead of opening boxes.
// It shows one text at a time through GetDialogShower(), the next when the user closes the current
// one; copies of the closed text queued right behind it are dropped, so a burst of one report needs
// one click. A text that finds no box open is shown centred on the screen, the ones that waited
// centred on the owner form. The message code is not looked at.
class TDLGPROC_Process : public TProcess {
public:
    static constexpr std::string_view kClassName = "TDLGPROC_Process";

    explicit TDLGPROC_Process(const TProcLabel* label);
    ~TDLGPROC_Process() override;

    std::string_view ClassName() const override { return kClassName; }
    void WorkProcMess(TProcMess& mess, bool& keep) override;
    // Messages and closed boxes drive it; it has no step.
    std::optional<std::uint64_t> NextTickDue(std::uint64_t) const override { return std::nullopt; }

    // The texts waiting, the one on screen first.
    const std::deque<TDlgProcTextRec>& Queue() const { return queue_; }

private:
    void ShowFirst(MessageBoxPlacement placement);
    void OnClosed();

    std::deque<TDlgProcTextRec> queue_;
    // Lets a close that comes after the process is gone do nothing.
    std::shared_ptr<TDLGPROC_Process*> self_ = std::make_shared<TDLGPROC_Process*>(this);
};

} // namespace ravlo
