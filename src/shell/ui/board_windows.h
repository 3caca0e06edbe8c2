#pragma once

#include "protocol/ma_interfaces.h"
#include "shell/board_memory.h"
#include "shell/progress_model.h"
#include "shell/ui/progress_form.h"

#include <QPointer>

namespace ravlo {

class TRavloMainForm;

// The windows the board master process opens and feeds: the progress window of a transfer (which it
// calls itself) and the memory views (whose pages reach them through the main form). They live in
// the main form's MDI area.
class TBoardWindows final : public TMaProgressView {
public:
    TBoardWindows(TRavloMainForm& main, TRavlo_MA_Process& master);

    // What the tool windows use to reach the board.
    TBoardMemory& Board() { return board_; }

    // ---- TMaProgressView ----
    void ShowProgress() override;
    void UpdateProgress() override;
    void CloseProgress() override;

    // The memory view whose window is notify, or a new one, shows the page read at address.
    void ShowMemPage(WindowHandle notify, TSegOfsPtr address, std::vector<std::uint8_t> page);

private:
    TRavloMainForm& main_;
    TMaBoardMemory board_;
    TMaProgressSource source_;
    QPointer<TfProgress> progress_;
};

} // namespace ravlo
