#include "kernel/process.h"

#include "framework/debug_mask.h"
#include "framework/keyword_lexer.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "framework/writer_channels.h"
#include "kernel/kernel_debug.h"
#include "kernel/sys_addr.h"
#include "platform/message_queue.h"

#include <optional>

namespace ravlo {

TProcess::TProcess(const TProcLabel* label) {
    InitFromLabel(label);
    if (label != nullptr) {
        Name = NAM;
    }
}

TProcess::~TProcess() {
    WriteBackParams();
}

void TProcess::WriteBackParams() {
    WriteParamToINI();
    UPD = 0;
}

TNameObject& TProcess::ApplyParams() {
    const WindowHandle window = GetSysAddrHandle(ADR.LogA);
    if (HeldPos != 0 && window != kNoWindow) {
        AppMessageQueue().Send(window, wm_FreeStringPos, HeldPos, 0);
    }
    if (XYS != kAskStringPos) {
        HeldPos = XYS;
        return *this;
    }
    // The window answers a free position in the low word; no answer or 0 means it has none.
    const std::optional<std::intptr_t> answer =
        window == kNoWindow ? std::nullopt : AppMessageQueue().Send(window, wm_GetStringPos, 0, 0);
    const auto position = static_cast<std::uint16_t>(answer.value_or(0) & 0xFFFF);
    if (position == 0) {
        WriteErrsys(DWN, Name + " wm_GetStringPos error!");
        HeldPos = XYS;
    } else {
        HeldPos = position;
    }
    return *this;
}

std::string TProcess::GetName() const {
    return Name.substr(0, Name.find('^'));
}

bool TProcess::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, "DWN|XYS|")) {
    case 1:
        return LexGetField(DWN, 0, 0xFF);
    case 2:
        return LexGetField(XYS, 0, 0xFFFF);
    default:
        return TProcLabel::ParseKeyword(keyword);
    }
}

std::string TProcess::ParamsToText() const {
    std::string text = TProcLabel::ParamsToText();
    if (DWN != 0) {
        text += " DWN=" + std::to_string(DWN);
    }
    if (XYS != 0) {
        text += " XYS=$" + HexW(XYS);
    }
    return text;
}

void TProcess::SetXInst(std::uint8_t n) {
    ADR.XInst = n;
    Name = (Name + "^" + HexB(n)).substr(0, kNameMax);
}

void TProcess::WorkProcMess(TProcMess& mess, bool& keep) {
    Writelnsys(DWN, "/TProcess.WorkProcMess,InMess=" + mess.MessToStr());
    keep = false;
}

void TProcess::Test() {
    Writelnsys(DWN, ",TProcess.Test - dummy proces - nic se nedeje");
}

std::string TProcess::StateStr() const {
    return "{" + HexW(State) + "}";
}

std::string TProcess::ProcStr() const {
    return GetLabelStr() + " state=" + StateStr();
}

bool TProcess::ProcessCanClose() {
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(DWN, Name + ".ProcessCanClose (default)=1");
    }
    return true;
}

} // namespace ravlo
