#pragma once

namespace ravlo {

// How many error-history windows are open. The error-history process announces changes of its
// history only while at least one is, so a window counts itself for as long as it lives.
int TmpErrHistWindowCount();
void TmpErrHistWindowOpened();
// Never goes below 0.
void TmpErrHistWindowClosed();
// Back to 0 (for tests).
void ResetTmpErrHistWindowCount();

// Counts one open window for its lifetime.
class TmpErrHistWindowTicket {
public:
    TmpErrHistWindowTicket() { TmpErrHistWindowOpened(); }
    ~TmpErrHistWindowTicket() { TmpErrHistWindowClosed(); }
    TmpErrHistWindowTicket(const TmpErrHistWindowTicket&) = delete;
    TmpErrHistWindowTicket& operator=(const TmpErrHistWindowTicket&) = delete;
};

} // namespace ravlo
