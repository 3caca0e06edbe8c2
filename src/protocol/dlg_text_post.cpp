#include "protocol/dlg_text_post.h"

#include "kernel/dlg_process.h"
#include "kernel/proc_label.h"
#include "kernel/proc_mess.h"
#include "kernel/process_factory.h"

#include <string>

namespace ravlo {

bool PostDlgText(const TProcAdr& src, std::string_view text, std::uint8_t dlgType) {
    TProcAdr dest{PT_DlgProc, 0, src.LogA};
    if (const TProcLabelColl* labels = GetProcLabelColl()) {
        if (const TProcLabel* label = labels->GetLabelByIdent(PT_DlgProc)) {
            dest.LogA = label->ADR.LogA;
        }
    }
    const auto bytes = TDlgProcTextRec{std::string(text), dlgType}.ToBytes();
    // The dialog process does not look at the code.
    return TProcMess::Create(dest, src, 0, 0, 0, bytes).SendProcMess();
}

} // namespace ravlo
