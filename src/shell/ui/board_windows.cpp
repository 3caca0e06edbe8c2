#include "shell/ui/board_windows.h"

#include "shell/ui/mem_view_form.h"
#include "shell/ui/progress_form.h"
#include "shell/ui/ravlo_main_form.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace ravlo {
namespace {

// The window's frame around its form may not take the form beyond its own limits.
void FitFrame(QMdiSubWindow& window, const QWidget& form) {
    const QSize frame = window.size() - form.size();
    window.setMinimumSize(form.minimumSize() + frame);
    window.setMaximumWidth(form.maximumWidth() + frame.width());
}

void Centre(QMdiSubWindow& window) {
    const QSize area = window.mdiArea()->viewport()->size();
    window.move(std::max(0, (area.width() - window.width()) / 2),
                std::max(0, (area.height() - window.height()) / 2));
}

} // namespace

TBoardWindows::TBoardWindows(TRavloMainForm& main, TRavlo_MA_Process& master)
    : main_(main), board_(master), source_(master) {}

void TBoardWindows::ShowProgress() {
    if (progress_ != nullptr) {
        progress_->UpdateProgress();
        return;
    }
    progress_ = new TfProgress(source_);
    QMdiSubWindow* window = main_.AddMdiChild(progress_);
    window->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    window->adjustSize();
    window->setFixedSize(window->size());
    Centre(*window);
    window->show();
}

void TBoardWindows::UpdateProgress() {
    if (progress_ != nullptr) {
        progress_->UpdateProgress();
    }
}

void TBoardWindows::CloseProgress() {
    if (progress_ != nullptr) {
        progress_->CloseWindow();
        progress_ = nullptr;
    }
}

void TBoardWindows::ShowMemPage(WindowHandle notify, TSegOfsPtr address, std::vector<std::uint8_t> page) {
    auto* view = qobject_cast<TfMemView*>(main_.FindMDIChildByHandle(notify));
    if (view == nullptr) {
        view = new TfMemView(board_);
        QMdiSubWindow* window = main_.AddMdiChild(view);
        FitFrame(*window, *view);
        Centre(*window);
        window->show();
    }
    view->ShowPage(address, std::move(page));
}

} // namespace ravlo
