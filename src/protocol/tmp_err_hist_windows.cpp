#include "protocol/tmp_err_hist_windows.h"

namespace ravlo {
namespace {

// GUI thread only, like the windows that count themselves.
int& OpenCount() {
    static int count = 0;
    return count;
}

} // namespace

int TmpErrHistWindowCount() {
    return OpenCount();
}

void TmpErrHistWindowOpened() {
    ++OpenCount();
}

void TmpErrHistWindowClosed() {
    if (OpenCount() > 0) {
        --OpenCount();
    }
}

void ResetTmpErrHistWindowCount() {
    OpenCount() = 0;
}

} // namespace ravlo
