#include "kernel/dlg_shower.h"

#include "platform/message_queue.h"
#include "platform/presenter.h"
#include "platform/window_messages.h"

#include <deque>
#include <utility>

namespace ravlo {
namespace {

constexpr std::uint32_t kShowNextBox = WM_USER + 0x100;

// Shows one box per posted message, through the presenter.
class QueuedPresenterShower final : public DialogShower, public MessageTarget {
public:
    void Show(std::string_view text, std::string_view caption, unsigned flags, MessageBoxPlacement,
              ClosedHandler onClosed) override {
        pending_.push_back({std::string(text), std::string(caption), flags, std::move(onClosed)});
        AppMessageQueue().Post(registration_.Handle(), kShowNextBox, 0, 0);
    }

    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t) override {
        if (msg != kShowNextBox || pending_.empty()) {
            return 0;
        }
        Box box = std::move(pending_.front());
        pending_.pop_front();
        GetPresenter().MessageBox(box.text, box.caption, box.flags);
        if (box.onClosed) {
            box.onClosed();
        }
        return 0;
    }

private:
    struct Box {
        std::string text;
        std::string caption;
        unsigned flags = 0;
        ClosedHandler onClosed;
    };

    WindowRegistration registration_{AppMessageQueue(), *this};
    std::deque<Box> pending_;
};

DialogShower& DefaultShower() {
    static QueuedPresenterShower shower;
    return shower;
}

DialogShower*& CurrentShower() {
    static DialogShower* shower = nullptr;
    return shower;
}

} // namespace

DialogShower& GetDialogShower() {
    DialogShower* shower = CurrentShower();
    return shower != nullptr ? *shower : DefaultShower();
}

DialogShower* SetDialogShower(DialogShower* shower) {
    return std::exchange(CurrentShower(), shower);
}

} // namespace ravlo
