#include "shell/ui/err_history_form.h"

#include "platform/cp1250.h"
#include "platform/window_messages.h"
#include "shell/err_history_source.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ravlo {

TTmpErrHist_MDIChild::TTmpErrHist_MDIChild(TErrHistorySource* source, QWidget* parent)
    : TBroadcastForm(parent), source_(source), list_(new QListWidget(this)),
      close_(new QPushButton(QStringLiteral("Close"), this)) {
    setWindowTitle(QStringLiteral("List of last error messages"));
    list_->setObjectName(QStringLiteral("IMPL_ERR_LastErrorsStrList_ListBox"));
    close_->setObjectName(QStringLiteral("Opustit_Butt"));
    close_->setToolTip(QStringLiteral("Button closes the window"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    connect(close_, &QPushButton::clicked, this, [this] { Opustit_ButtClick(); });
    if (source_ != nullptr) {
        source_->WatcherOpened();
        historyWatch_ = std::make_unique<TParamObj>(source_->HistoryAddress(), 0, 0, 0);
        ShowList();
    }
}

TTmpErrHist_MDIChild::~TTmpErrHist_MDIChild() {
    if (source_ != nullptr) {
        source_->WatcherClosed();
    }
}

void TTmpErrHist_MDIChild::DetachSource() {
    source_ = nullptr;
    historyWatch_.reset();
}

std::intptr_t TTmpErrHist_MDIChild::WindowMessage(std::uint32_t msg, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
    if (msg == wm_VarChanged && historyWatch_ != nullptr &&
        historyWatch_->Changed(reinterpret_cast<const void*>(lParam))) {
        ShowList();
        return 0;
    }
    return TBroadcastForm::WindowMessage(msg, wParam, lParam);
}

void TTmpErrHist_MDIChild::ShowList() {
    list_->clear();
    for (const std::string& line : source_->HistoryLines()) {
        list_->addItem(QString::fromStdString(Cp1250ToUtf8(line)));
    }
}

void TTmpErrHist_MDIChild::Opustit_ButtClick() {
    CloseWindow();
}

} // namespace ravlo
