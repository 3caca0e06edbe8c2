#pragma once

#include "platform/message_box_flags.h"

#include <string>

namespace ravlo {

struct TSrcLineResult;

// What the error-address command tells the user about a lookup.
struct TFindErrReport {
    std::string Text; // code page 1250
    MessageBoxKind Kind = MessageBoxKind::Error;
};

// The box for each lookup result: not found (invalid segment or offset) and an internal fault are
// errors, an address outside the code a warning, a module or a source line information.
TFindErrReport FindErrReport(const TSrcLineResult& result);

} // namespace ravlo
