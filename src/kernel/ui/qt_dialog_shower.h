#pragma once

#include "kernel/dlg_shower.h"

#include <QPointer>
#include <QWidget>

namespace ravlo {

// Shows the dialog process's texts as message boxes that do not block: Show opens the box and
// returns, and the box's close (OK, Escape or the window's close button) calls onClosed. The boxes
// are modal to the application, like the program's other message boxes; the owner is the window a
// box is centred on when asked to.
class QtDialogShower final : public DialogShower {
public:
    explicit QtDialogShower(QWidget* owner = nullptr) : owner_(owner) {}

    void Show(std::string_view text, std::string_view caption, unsigned flags, MessageBoxPlacement placement,
              ClosedHandler onClosed) override;

    // The object name every box gets, so that tests and tools can find it.
    static constexpr const char* kBoxName = "RavloDialogProcessBox";

private:
    QPointer<QWidget> owner_;
};

} // namespace ravlo
