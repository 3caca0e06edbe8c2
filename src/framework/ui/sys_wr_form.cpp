#include "framework/ui/sys_wr_form.h"

#include "framework/ui/console_widget.h"
#include "framework/writer_channels.h"
#include "platform/window_messages.h"

#include <QCloseEvent>
#include <QVBoxLayout>
#include <string>

namespace ravlo {
namespace {

// The text of a writer message: lParam is the address of a std::string, or 0.
std::string_view WriterText(std::intptr_t lParam) {
    if (lParam == 0) {
        return {};
    }
    return *reinterpret_cast<const std::string*>(lParam);
}

} // namespace

TSysWrForm::TSysWrForm(QWidget* parent) : TBroadcastForm(parent), console_(new TConsole(this)) {
    setWindowTitle(QStringLiteral("SysWr[0]"));
    setAttribute(Qt::WA_DeleteOnClose);
    console_->setObjectName(QStringLiteral("ConsoleWr0"));
    console_->SetSize(kCols, kRows);
    console_->SetLineBreak(TConsoleLineBreak::CRLF);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(console_);
    SetSysWrChannel(kChannel, true, Handle());
}

TSysWrForm::~TSysWrForm() {
    LeaveChannel();
}

void TSysWrForm::closeEvent(QCloseEvent* event) {
    LeaveChannel();
    TBroadcastForm::closeEvent(event);
}

void TSysWrForm::LeaveChannel() {
    const TSysWrChn& channel = SysWrChn()[kChannel];
    if (channel.Wnd == Handle()) {
        SetSysWrChannel(kChannel, channel.Active, kNoWindow);
    }
}

std::intptr_t TSysWrForm::WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (msg) {
    case wm_SysWrWrite:
        console_->Write(WriterText(lParam));
        return SysWrAck;
    case wm_SysWrWriteln:
        console_->WriteLine(WriterText(lParam));
        return SysWrAck;
    case wm_SysWrClear:
        console_->Clear();
        return SysWrAck;
    default:
        return TBroadcastForm::WindowMessage(msg, wParam, lParam);
    }
}

} // namespace ravlo
