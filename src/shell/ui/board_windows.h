#pragma once

#include "protocol/ma_interfaces.h"
#include "shell/board_memory.h"
#include "shell/progress_model.h"
#include "shell/ui/progress_form.h"

#include <QPointer>

namespace ravlo {

class TRavloMainForm;

// The windows the board master process opens and feeds itself: the progress window of a transfer
// and the memory views. They live in the main form's MDI area.
class TBoardWindows final : public TMaProgressView, public TMaBoardViews {
public:
    TBoardWindows(TRavloMainForm& main, TRavlo_MA_Process& master);

    // What the tool windows use to reach the board.
    TBoardMemory& Board() { return board_; }

    // ---- TMaProgressView ----
    void ShowProgress() override;
    void UpdateProgress() override;
    void CloseProgress() override;

    // ---- TMaBoardViews ----
    void ShowMemPage(WindowHandle notify, TSegOfsPtr address, std::vector<std::uint8_t> page) override;
    // The setup dialogs are not here yet: nothing is written back.
    bool EditConfig188(std::vector<std::uint8_t>&) override { return false; }
    bool EditConfig386(std::vector<std::uint8_t>&) override { return false; }

private:
    TRavloMainForm& main_;
    TMaBoardMemory board_;
    TMaProgressSource source_;
    QPointer<TfProgress> progress_;
};

} // namespace ravlo
