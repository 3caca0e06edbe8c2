#include "shell/find_err_text.h"

#include "framework/number_text.h"
#include "project/map_reader.h"

namespace ravlo {

TFindErrReport FindErrReport(const TSrcLineResult& result) {
    switch (result.Code) {
    case 0:
        return {"Address not found. Invalid segment.", MessageBoxKind::Error};
    case 2:
        return {"Address not found. Invalid offset.", MessageBoxKind::Error};
    case 3:
        return {"Address found outside of code segment.", MessageBoxKind::Warning};
    case 4:
        return {"Address found\r\nModule: " + result.Name + "\r\nTurbo segment: $" + HexW(result.Line),
                MessageBoxKind::Information};
    case 5:
        return {"Address found\r\nFile: " + result.Name + "\r\nLine: " + std::to_string(result.Line),
                MessageBoxKind::Information};
    default:
        return {"Internal error of Ravlo - please contact author.", MessageBoxKind::Error};
    }
}

} // namespace ravlo
