#include "framework/ui/tr_main_form.h"

#include "framework/main_window.h"
#include "platform/window_messages.h"

#include <QMdiArea>
#include <QMdiSubWindow>

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

QMdiSubWindow* TTrMainForm::AddMdiChild(QWidget* form) {
    QMdiSubWindow* window = mdiArea_->addSubWindow(form);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
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
