// The exit while the board is busy: asked, and the operation stopped as Stop stops it.
#include "framework/message_box.h"
#include "protocol/ma_process.h"
#include "shell/event_log.h"
#include "shell/main_form_core.h"
#include "shell/progress_model.h"

#include <optional>
#include <string>

namespace ravlo {
namespace {

// The operation as the progress window names it: its description and its file or block.
std::string OperationText(const std::optional<TProgressRequest>& request) {
    if (!request) {
        return "Vok operation";
    }
    std::string text = request->Descr.empty() ? std::string("Vok operation") : request->Descr;
    if (!request->Text.empty()) {
        text += " \"" + request->Text + "\"";
    }
    return text;
}

} // namespace

bool TRavloMainFormCore::BoardOperationRuns() const {
    return MAProc != nullptr && MAProc->ConState != cs_idle && MAProc->ConState != cs_WaitForPing;
}

void TRavloMainFormCore::StopBoardOperation() {
    if (BoardOperationRuns() && MAProc->StopFlag == 0) {
        MAProc->StopOperation();
    }
}

bool TRavloMainFormCore::BoardOperationMayStop() {
    if (stopAtExit_ || cmdLineExit_ || runEnds_ || !BoardBusy()) {
        return true;
    }
    const std::optional<TProgressRequest> running = TMaProgressSource(*MAProc).ActiveRequest();
    const std::string operation = OperationText(running);
    std::string question = "A Vok operation is under way";
    if (running) {
        question += ": " + operation;
    }
    question += ".\r\nStop it and exit?";
    if (MessageDlgDefBtn(question, MessageBoxKind::Confirmation,
                         MsgDlgButton(TMsgDlgBtn::mbYes) | MsgDlgButton(TMsgDlgBtn::mbNo),
                         TMsgDlgBtn::mbNo) != IDYES) {
        return false;
    }
    stopAtExit_ = true;
    std::string event = "- " + operation + " stopped at exit";
    if (running) {
        // How far it came, as the progress window showed it.
        TProgressModel progress;
        progress.UpdateProgress(running);
        event += ", " + std::to_string(progress.Gauge()) + " % done";
    }
    AddEvent(event, kEventError);
    StopBoardOperation();
    return true;
}

} // namespace ravlo
