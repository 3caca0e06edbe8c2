#pragma once

#include "kernel/proc_adr.h"

#include <cstdint>
#include <string_view>

namespace ravlo {

// Posts a text for a message dialog (dlgType as in kernel/dlg_process.h) to the dialog process, so
// that a process never opens a box itself. The dialog process is found by its Ident at the logical
// address of its label, or at src's logical address when there is no label. The text is cut to
// 255 characters. Answers whether the post succeeded.
bool PostDlgText(const TProcAdr& src, std::string_view text, std::uint8_t dlgType);

} // namespace ravlo
