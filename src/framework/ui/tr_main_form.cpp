#include "framework/ui/tr_main_form.h"

#include "framework/main_window.h"
#include "framework/window_place.h"
#include "platform/window_messages.h"

#include <QAction>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <vector>

namespace ravlo {
namespace {

TWinRect ToWinRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QRect ToQRect(const TWinRect& rect) {
    return {rect.X, rect.Y, rect.W, rect.H};
}

// The keys of the actions and of every menu below them.
void CollectKeys(const QList<QAction*>& actions, QList<QKeySequence>& keys) {
    for (const QAction* action : actions) {
        keys += action->shortcuts();
        if (action->menu() != nullptr) {
            CollectKeys(action->menu()->actions(), keys);
        }
    }
}

} // namespace

TTrMainForm::TTrMainForm(QWidget* parent) : QMainWindow(parent), mdiArea_(new QMdiArea(this)) {
    setCentralWidget(mdiArea_);
    // A closed child hands the activation, and with it the keyboard, back to the one used before it
    // (a view whose page read showed a progress window), not to the one opened first.
    mdiArea_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    SetMainFormWindow(Handle());
}

TTrMainForm::~TTrMainForm() {
    // A newer main form may have taken the place already.
    if (GetMainFormWindow() == Handle()) {
        SetMainFormWindow(kNoWindow);
    }
}

QMdiSubWindow* TTrMainForm::AddMdiChild(QWidget* form, QSize size) {
    QMdiSubWindow* window = mdiArea_->addSubWindow(form);
    window->setAttribute(Qt::WA_DeleteOnClose);
    GiveUpMenuKeys(*window);
    window->resize(size.isValid() ? size : window->sizeHint());
    window->show();
    FitInArea(*window);
    window->installEventFilter(this);
    return window;
}

void TTrMainForm::GiveUpMenuKeys(QMdiSubWindow& window) const {
    QMenu* own = window.systemMenu();
    if (own == nullptr) {
        return;
    }
    QList<QKeySequence> menuKeys;
    // menuBar() would make a bar for a window that has none.
    if (const auto* bar = qobject_cast<const QMenuBar*>(menuWidget())) {
        CollectKeys(bar->actions(), menuKeys);
    }
    CollectKeys(actions(), menuKeys);
    // Close keeps Ctrl+F4 where the platform gives it that beside Ctrl+W.
    for (QAction* action : own->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeIf([&menuKeys](const QKeySequence& key) { return menuKeys.contains(key); }) > 0) {
            action->setShortcuts(keys);
        }
    }
}

bool TTrMainForm::eventFilter(QObject* watched, QEvent* event) {
    // A child dragged past the area's edge stops at it: nothing can be left out of reach.
    if (event->type() == QEvent::Move) {
        if (auto* window = qobject_cast<QMdiSubWindow*>(watched);
            window != nullptr && !window->isMaximized()) {
            FitInArea(*window);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TTrMainForm::PlaceWhereFree(QMdiSubWindow& window, QSize least) const {
    if (!mdiArea_->isVisible()) {
        return false;
    }
    std::vector<TWinRect> taken;
    for (const QMdiSubWindow* other : mdiArea_->subWindowList()) {
        if (other != &window && other->isVisible() && !other->isMinimized()) {
            taken.push_back(ToWinRect(other->geometry()));
        }
    }
    const std::optional<TWinRect> place =
        FreePlace(ToWinRect(mdiArea_->viewport()->rect()), taken, window.width(), window.height(),
                  least.width(), least.height());
    if (!place) {
        return false;
    }
    window.setGeometry(ToQRect(*place));
    return true;
}

bool TTrMainForm::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    // A window manager adds its frame after the window is shown and then moves or resizes it: the
    // fit made before then counted no title bar.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && fittedFrame_ &&
        FrameMargins() != *fittedFrame_ && !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        FitOnScreen();
    }
    return handled;
}

QMargins TTrMainForm::FrameMargins() const {
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

void TTrMainForm::FitOnScreen() {
    const QScreen* shown = screen();
    if (shown == nullptr) {
        return;
    }
    fittedFrame_ = FrameMargins();
    // The frame (title bar, borders) counts: the whole window must be reachable.
    const QRect frame = frameGeometry();
    const QRect fitted = ToQRect(FitInside(ToWinRect(frame), ToWinRect(shown->availableGeometry())));
    if (fitted == frame) {
        return;
    }
    resize(size() - (frame.size() - fitted.size()));
    move(fitted.topLeft());
}

void TTrMainForm::FitInArea(QMdiSubWindow& window) const {
    // Before the area is laid out its size says nothing.
    if (!mdiArea_->isVisible()) {
        return;
    }
    const QRect inside =
        ToQRect(FitInside(ToWinRect(window.geometry()), ToWinRect(mdiArea_->viewport()->rect())));
    if (inside != window.geometry()) {
        window.setGeometry(inside);
    }
}

WindowHandle TTrMainForm::GetBroadcastWnd(int) const {
    return kNoWindow;
}

std::intptr_t TTrMainForm::WindowMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t) {
    if (msg == WM_CLOSE) {
        close();
    }
    return 0;
}

std::uint32_t TTrMainForm::OnBroadcast(std::uintptr_t wParam, std::intptr_t lParam) {
    return MainFormFanOut(*this, wParam, lParam);
}

std::uint32_t TTrMainForm::DispatchInner(std::uint32_t msg, std::uint32_t wParam, std::uintptr_t lParam) {
    return DispatchToSelf(msg, wParam, lParam);
}

std::uint32_t TTrMainForm::DispatchToControls(const TBroadcastMsg& message) {
    return DispatchToChildWidgets(*this, message);
}

std::vector<WindowHandle> TTrMainForm::MdiChildWindows() const {
    std::vector<WindowHandle> windows;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* form = dynamic_cast<TBroadcastForm*>(window->widget())) {
            windows.push_back(form->Handle());
        }
    }
    return windows;
}

} // namespace ravlo
