#include "framework/ui/tr_main_form.h"

#include "framework/main_window.h"
#include "platform/window_messages.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

namespace ravlo {

TTrMainForm::TTrMainForm(QWidget* parent) : QMainWindow(parent), mdiArea_(new QMdiArea(this)) {
    setCentralWidget(mdiArea_);
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
    window->resize(size.isValid() ? size : window->sizeHint());
    window->show();
    FitInArea(*window);
    return window;
}

void TTrMainForm::FitInArea(QMdiSubWindow& window) const {
    // Before the area is laid out its size says nothing.
    if (!mdiArea_->isVisible()) {
        return;
    }
    const QSize area = mdiArea_->viewport()->size();
    const QSize size = window.size().boundedTo(area);
    if (size != window.size()) {
        window.resize(size);
    }
    const QPoint inside(std::clamp(window.x(), 0, area.width() - size.width()),
                        std::clamp(window.y(), 0, area.height() - size.height()));
    if (inside != window.pos()) {
        window.move(inside);
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
