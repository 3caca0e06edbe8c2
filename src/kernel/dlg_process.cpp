#include "kernel/dlg_process.h"

#include "framework/debug_mask.h"
#include "framework/message_box.h"
#include "framework/writer_channels.h"
#include "kernel/dlg_shower.h"
#include "kernel/kernel_debug.h"
#include "platform/message_box_flags.h"

#include <algorithm>

namespace ravlo {

TDlgProcTextRec TDlgProcTextRec::FromBytes(std::span<const std::uint8_t> data) {
    TDlgProcTextRec rec;
    if (data.empty()) {
        return rec;
    }
    const std::size_t held = std::min(data.size() - 1, kTextMax);
    const std::size_t length = std::min<std::size_t>(data[0], held);
    rec.Text.assign(reinterpret_cast<const char*>(data.data() + 1), length);
    if (data.size() >= kSize) {
        rec.DlgType = data[kSize - 1];
    }
    return rec;
}

std::array<std::uint8_t, TDlgProcTextRec::kSize> TDlgProcTextRec::ToBytes() const {
    std::array<std::uint8_t, kSize> bytes{};
    const std::size_t length = std::min(Text.size(), kTextMax);
    bytes[0] = static_cast<std::uint8_t>(length);
    std::copy_n(Text.begin(), length, bytes.begin() + 1);
    bytes[kSize - 1] = DlgType;
    return bytes;
}

unsigned DlgTypeFlags(std::uint8_t dlgType) {
    switch (dlgType) {
    case kDlgError:
        return MB_OK | MB_ICONHAND;
    case kDlgInformation:
    case kDlgCustom: // every custom text of the program is a notice: it looks like the others
        return MB_OK | MB_ICONASTERISK;
    case kDlgConfirmation:
        return MB_OK | MB_ICONQUESTION;
    default:
        return MB_OK | MB_ICONEXCLAMATION;
    }
}

std::string DlgTypeCaption(std::uint8_t dlgType) {
    return std::string(MessageBoxCaption(MessageBoxKindOf(DlgTypeFlags(dlgType))));
}

TDLGPROC_Process::TDLGPROC_Process(const TProcLabel* label) : TProcess(label) {
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(DWN, std::string(kClassName) + ".CreateFromLabel  Entry");
    }
    if (label == nullptr) {
        WriteErrsys(DWN, std::string(kClassName) + ".CreateFromLabel - PL=nil!");
    }
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(DWN, std::string(kClassName) + ".CreateFromLabel Exit");
    }
}

TDLGPROC_Process::~TDLGPROC_Process() {
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(DWN, std::string(kClassName) + ".Destroy");
    }
    *self_ = nullptr;
}

void TDLGPROC_Process::WorkProcMess(TProcMess& mess, bool& keep) {
    keep = false;
    queue_.push_back(TDlgProcTextRec::FromBytes(mess.DataSpan()));
    if (queue_.size() == 1) {
        ShowFirst(MessageBoxPlacement::OnScreen);
    }
}

void TDLGPROC_Process::ShowFirst(MessageBoxPlacement placement) {
    const TDlgProcTextRec& rec = queue_.front();
    std::weak_ptr<TDLGPROC_Process*> self = self_;
    GetDialogShower().Show(rec.Text, DlgTypeCaption(rec.DlgType), DlgTypeFlags(rec.DlgType), placement,
                           [self] {
                               if (const auto alive = self.lock(); alive && *alive != nullptr) {
                                   (*alive)->OnClosed();
                               }
                           });
}

void TDLGPROC_Process::OnClosed() {
    if (queue_.empty()) {
        return;
    }
    const std::string closed = queue_.front().Text;
    queue_.pop_front();
    while (!queue_.empty() && queue_.front().Text == closed) {
        queue_.pop_front();
    }
    if (!queue_.empty()) {
        ShowFirst(MessageBoxPlacement::OnOwner);
    }
}

} // namespace ravlo
