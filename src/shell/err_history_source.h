#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ravlo {

// What the error-history window needs of the error-history process: its list of the last error
// lines (at most kMaxLines, oldest first, each the time of receipt, ": " and the text) and the
// address it announces with wm_VarChanged (lParam) whenever the list changes. The process announces
// changes only while at least one window watches it.
class TErrHistorySource {
public:
    static constexpr std::size_t kMaxLines = 11;

    virtual ~TErrHistorySource() = default;

    virtual std::vector<std::string> HistoryLines() const = 0;
    // The identity of the list in wm_VarChanged notifications.
    virtual const void* HistoryAddress() const = 0;
    // A window opened or closed; the process counts them and announces only while the count is
    // above zero.
    virtual void WatcherOpened() = 0;
    virtual void WatcherClosed() = 0;
};

} // namespace ravlo
