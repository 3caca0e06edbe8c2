#include "kernel/proc_label.h"

#include "framework/keyword_lexer.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "framework/writer_channels.h"
#include "kernel/coll_items.h"
#include "kernel/kernel_debug.h"
#include "kernel/process.h"

#include <algorithm>
#include <utility>

namespace ravlo {
namespace {

constexpr std::size_t kLabelTextMax = 32;

TProcLabelColl*& GlobalProcLabelColl() {
    static TProcLabelColl* coll = nullptr;
    return coll;
}

// PRS=n and PRD=n: a byte; anything else fails and changes nothing.
bool ReadKindAndType(TProcLabel& label, std::uint8_t kind) {
    std::uint8_t type = 0;
    if (LexGetField(type, 0, 0xFF)) {
        return true;
    }
    label.Kind = kind;
    label.ProcType = type;
    return false;
}

bool ReadAddress(TProcLabel& label, std::uint8_t anyFlag) {
    TProcAdr adr;
    bool err = false;
    StrToProcAdr(adr, LexGetWord(), err);
    if (err) {
        return true;
    }
    label.ADR = adr;
    label.AnyFlag = anyFlag;
    return false;
}

} // namespace

bool TProcLabel::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, "NAM|ADR|ANY|PRS|PRD|PRE|PCO|")) {
    case 1:
        NAM = CutText(LexGetWord(), kLabelTextMax);
        return false;
    case 2:
        return ReadAddress(*this, 0);
    case 3:
        return ReadAddress(*this, 1);
    case 4:
        return ReadKindAndType(*this, PR_static);
    case 5:
        return ReadKindAndType(*this, PR_dynam);
    case 6:
        Kind = PR_extern;
        ProcType = 0;
        return false;
    case 7:
        PCO = CutText(LexGetWord(), kLabelTextMax);
        return false;
    default:
        return TNameObject::ParseKeyword(keyword);
    }
}

std::string TProcLabel::ParamsToText() const {
    std::string text = TNameObject::ParamsToText();
    if (!NAM.empty()) {
        text += " NAM=" + NAM;
    }
    text += (AnyFlag != 0 ? " ANY=" : " ADR=") + ProcAdrStr(ADR);
    if (Kind == PR_static || Kind == PR_dynam) {
        text += (Kind == PR_static ? " PRS=$" : " PRD=$") + HexB(ProcType);
    } else if (Kind == PR_extern) {
        text += " PRE";
    }
    if (!PCO.empty()) {
        text += " PCO=" + PCO;
    }
    return text;
}

void TProcLabel::InitFromLabel(const TProcLabel* label) {
    if (label == nullptr) {
        WriteErrsys(0, std::string(ClassName()) + ".InitFromLabel PL=nil !!");
        return;
    }
    NAM = label->NAM;
    ProcType = label->ProcType;
    Kind = label->Kind;
    ADR = label->ADR;
    PCO = label->PCO;
    AnyFlag = label->AnyFlag;
}

std::string TProcLabel::GetLabelStr() const {
    std::string text = Name + "^" + ProcAdrStr(ADR) + (AnyFlag != 0 ? "[A]" : "[ ]");
    switch (Kind) {
    case PR_static:
        return text + "(st$" + HexB(ProcType) + ")";
    case PR_dynam:
        return text + "(dy$" + HexB(ProcType) + ")";
    case PR_extern:
        return text + "(ex)";
    default:
        return text + "(un)";
    }
}

bool TProcLabelColl::ReadParamFromINI(bool verbose) {
    TraceInit("/TProcLabelColl.Create Entry");
    const bool failed = TNameColl::ReadParamFromINI(verbose);
    ReadCollItems(*this, [](std::string_view key) -> std::unique_ptr<TNameObject> {
        return std::make_unique<TProcLabel>(key);
    });
    // Unlike the process and window-label collections, this one's exit line carries no verdict.
    TraceInit(std::string(kClassName) + ".Create Exit ");
    return failed;
}

TProcLabel* TProcLabelColl::GetLabelByName(std::string_view name) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TProcLabel* label = LabelAt(i); label != nullptr && label->Name == name) {
            return label;
        }
    }
    return nullptr;
}

TProcLabel* TProcLabelColl::GetLabelByIdent(std::uint8_t ident) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TProcLabel* label = LabelAt(i);
            label != nullptr && label->ADR.Ident == ident && label->Kind != PR_extern) {
            return label;
        }
    }
    return nullptr;
}

TProcLabel* TProcLabelColl::GetLabelByIdentLogA(std::uint8_t ident, std::uint16_t logA) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TProcLabel* label = LabelAt(i);
            label != nullptr && label->ADR.Ident == ident && label->ADR.LogA == logA) {
            return label;
        }
    }
    return nullptr;
}

std::unique_ptr<TProcess> TProcLabelColl::CreateProcess(const TProcLabel*, std::string_view, std::uint8_t) {
    return nullptr;
}

void TProcLabelColl::WriteColl(int chn) const {
    Writelnsys(chn, ": *** Coll of ProcessLabels: Count=" + std::to_string(Count()));
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TProcLabel* label = LabelAt(i)) {
            Writelnsys(chn, label->GetLabelStr());
        }
    }
}

TProcLabelColl* GetProcLabelColl() {
    return GlobalProcLabelColl();
}

TProcLabelColl* SetProcLabelColl(TProcLabelColl* coll) {
    return std::exchange(GlobalProcLabelColl(), coll);
}

} // namespace ravlo
