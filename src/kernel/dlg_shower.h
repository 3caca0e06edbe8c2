#pragma once

#include "framework/message_box.h"
#include "platform/scoped_install.h"

#include <functional>
#include <string>
#include <string_view>

namespace ravlo {

// Where the dialog process shows its texts. Show returns at once, so a process never waits inside
// a delivery or a tick; onClosed runs on the main thread once the user has closed the box. Texts
// are code page 1250, flags MB_* values.
class DialogShower {
public:
    using ClosedHandler = std::function<void()>;

    virtual ~DialogShower() = default;
    virtual void Show(std::string_view text, std::string_view caption, unsigned flags,
                      MessageBoxPlacement placement, ClosedHandler onClosed) = 0;
};

// The process-wide shower. Until another is set it shows each box through GetPresenter() from a
// message posted to AppMessageQueue(), i.e. after the current delivery has returned. SetDialogShower
// answers the previous one; nullptr restores the default. The shower must outlive its use.
DialogShower& GetDialogShower();
DialogShower* SetDialogShower(DialogShower* shower);
using ScopedDialogShower = ScopedInstall<DialogShower, SetDialogShower>;

} // namespace ravlo
