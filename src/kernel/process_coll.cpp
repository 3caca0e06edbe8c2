#include "kernel/process_coll.h"

#include "framework/debug_mask.h"
#include "framework/keyword_lexer.h"
#include "framework/padding.h"
#include "framework/writer_channels.h"
#include "kernel/exception_log.h"
#include "kernel/kernel_debug.h"
#include "kernel/sys_addr.h"
#include "platform/text_case.h"

#include <malloc.h>

namespace ravlo {
namespace {

// Bytes in use on the heap, for the delivery traces.
std::string HeapState() {
#if defined(__GLIBC__)
    return std::to_string(mallinfo2().uordblks);
#else
    return "?";
#endif
}

} // namespace

TProcessColl::TProcessColl(std::string_view name) : TNameColl(name) {}

TProcessColl::~TProcessColl() {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TProcess* process = ProcAt(i)) {
            process->WriteBackParams();
        }
    }
    FreeAll();
    TraceInit("TProcessColl.Destroy OK");
}

bool TProcessColl::ReadParamFromINI(bool verbose) {
    TraceInit("/TProcessColl.Create Entry");
    const bool failed = TNameColl::ReadParamFromINI(verbose);
    TraceInit(std::string(kClassName) + ".Create Exit " + (failed ? "ERROR" : "OK"));
    return failed;
}

bool TProcessColl::ParseKeyword(std::string_view keyword) {
    if (LexKeyIndex(keyword, "AT |") == 1) {
        return LexGetField(AT, 1, 2);
    }
    return TNameColl::ParseKeyword(keyword);
}

std::string TProcessColl::ParamsToText() const {
    std::string text = TNameColl::ParamsToText();
    if (AT != 1) {
        text += " AT=" + std::to_string(AT);
    }
    return text;
}

bool TProcessColl::InstanceTaken(std::uint8_t xInst) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TProcess* process = ProcAt(i); process != nullptr && process->ADR.XInst == xInst) {
            return true;
        }
    }
    return false;
}

TProcess* TProcessColl::AddProcess(std::unique_ptr<TProcess> process) {
    if (!process) {
        return nullptr;
    }
    for (std::uint8_t tries = 0; tries < kMaxInstance; ++tries) {
        XInstCounter = XInstCounter >= kMaxInstance ? 1 : static_cast<std::uint8_t>(XInstCounter + 1);
        if (InstanceTaken(XInstCounter)) {
            continue;
        }
        process->SetXInst(XInstCounter);
        process->Owner = this;
        TProcess* added = process.get();
        Insert(std::move(process));
        Writelnsys(0, "TProcessColl.AddProcess, ProcAddr=" + ProcAdrStr(added->ADR) +
                          ",New Coll.Count=" + std::to_string(Count()));
        return added;
    }
    WriteErrsys(0, "TProcessColl.AddProcess - all " + std::to_string(kMaxInstance) +
                       " instance numbers taken, process refused: " + process->GetLabelStr());
    return nullptr;
}

void TProcessColl::CreateStaticProcess(const TProcLabel& label) {
    TProcLabelColl* labels = GetProcLabelColl();
    if (label.Kind != PR_static || !SameTextNoCase(label.PCO, Name) || labels == nullptr) {
        return;
    }
    Writelnsys(0, "CreateStaticProcess " + label.PCO);
    AddProcess(labels->NewProcess(&label));
}

void TProcessColl::CreateStaticProcesses() {
    Trace(".CreateStaticProcesses Entry");
    if (const TProcLabelColl* labels = GetProcLabelColl()) {
        for (std::int32_t i = 0; i < labels->Count(); ++i) {
            if (const TProcLabel* label = labels->LabelAt(i)) {
                CreateStaticProcess(*label);
            }
        }
    }
    Trace(".CreateStaticProcesses Exit");
}

TProcess* TProcessColl::GetProcByIdent(std::uint8_t ident) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TProcess* process = ProcAt(i); process != nullptr && process->ADR.Ident == ident) {
            return process;
        }
    }
    return nullptr;
}

void TProcessColl::Trace(const std::string& text) const {
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(0, "TProcessColl" + text);
    }
}

void TProcessColl::WMProcMess(std::uintptr_t wParam, std::intptr_t lParam) {
    Deliver(TProcMess::FromPosted(wParam, lParam));
}

TProcess* TProcessColl::FirstAny() const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TProcess* process = ProcAt(i); process != nullptr && process->AnyFlag != 0) {
            return process;
        }
    }
    return nullptr;
}

TProcess* TProcessColl::ReceiverForIdent(const TProcAdr& dest) {
    const bool traced = AT == 2 && TestDebugMask(DM_ProcMess);
    const auto path = [traced](std::string_view step) {
        if (traced) {
            Writelnsys(0, std::string(step));
        }
    };
    path(",XInst=0");
    if (TProcess* any = FirstAny()) {
        path(",AnyFl found");
        return any;
    }
    path(",AnyFl not found");
    TProcLabelColl* labels = GetProcLabelColl();
    const TProcLabel* label = labels == nullptr ? nullptr
                              : AT == 2         ? labels->GetLabelByIdent(dest.Ident)
                                                : labels->GetLabelByIdentLogA(dest.Ident, dest.LogA);
    if (label == nullptr) {
        WriteErrsys(0, "\\TProcessColl.WMProcMess - XInst=0, Unknown Proces, Destin=" + ProcAdrStr(dest));
        return nullptr;
    }
    if (label->Kind == PR_dynam) {
        path(",PR_dynam");
        return AddProcess(labels->NewProcess(label));
    }
    path(label->Kind == PR_static ? ",PR_static" : ",PR_unknown");
    for (std::int32_t i = 0; i < Count(); ++i) {
        TProcess* process = ProcAt(i);
        if (process != nullptr && process->ADR.Ident == dest.Ident &&
            (AT == 2 || process->ADR.LogA == dest.LogA)) {
            return process;
        }
    }
    return nullptr;
}

TProcess* TProcessColl::FindReceiver(const TProcMess& mess) {
    const TProcAdr dest = mess.GetDest();
    if (dest.XInst == 0) {
        return ReceiverForIdent(dest);
    }
    if (AT == 2 && TestDebugMask(DM_ProcMess)) {
        Writelnsys(0, ",XInst<>0");
    }
    for (std::int32_t i = 0; i < Count(); ++i) {
        TProcess* process = ProcAt(i);
        if (process == nullptr) {
            continue;
        }
        const TProcAdr& adr = process->ADR;
        const bool same =
            adr.Ident == dest.Ident && adr.XInst == dest.XInst && (AT == 2 || adr.LogA == dest.LogA);
        if (process->AnyFlag != 0 || same) {
            return process;
        }
    }
    return nullptr;
}

bool TProcessColl::DeliverTo(TProcess& process, TProcMess& mess) {
    const bool traced = TestDebugMask(DM_ProcMess);
    if (traced) {
        Writelnsys(0, "2.Start of " + process.Name + ", Heap=" + HeapState());
    }
    bool keep = false;
    try {
        process.WorkProcMess(mess, keep);
    } catch (...) {
        LogCaughtException(process.ClassName());
    }
    if (traced) {
        Writelnsys(0, "3.End   of " + process.Name + ", Heap=" + HeapState());
    }
    return keep;
}

void TProcessColl::Deliver(TProcMess mess) {
    const bool traced = TestDebugMask(DM_ProcMess);
    if (traced) {
        Writelnsys(0, "1.ProcMess=" + mess.MessToStr());
    }
    if (!mess.HasHead()) {
        WriteErrsys(0, "TProcessColl.WMProcMess - block of " + std::to_string(mess.GetSize()) +
                           " bytes has no message head, deleted");
        return;
    }
    const TProcAdr dest = mess.GetDest();
    bool keep = false;
    try {
        if (dest.Ident == PRI_All) {
            if (AT == 2 && traced) {
                Writelnsys(0, ",Ident=PRI_All");
            }
            // By index: a handler may make the collection grow (a nested modal loop delivering more).
            for (std::int32_t i = 0; i < Count() && !keep && mess.HasData(); ++i) {
                TProcess* process = ProcAt(i);
                if (process != nullptr && (AT == 2 || process->ADR.LogA == dest.LogA)) {
                    keep = DeliverTo(*process, mess);
                }
            }
        } else if (TProcess* receiver = FindReceiver(mess)) {
            keep = DeliverTo(*receiver, mess);
        } else {
            WriteErrsys(0,
                        "Process " + ProcAdrStr(dest) + " not found, Deleted ProcMess=" + mess.MessToStr());
        }
    } catch (...) {
        // Creating a dynamic process failed.
        LogCaughtException(ClassName());
    }
    if (!keep && traced) {
        Writelnsys(0, "4.ProcMess Deleted");
    }
}

void TProcessColl::TickAll() {
    for (std::int32_t i = 0; i < Count(); ++i) {
        TProcess* process = ProcAt(i);
        if (process == nullptr) {
            continue;
        }
        try {
            process->Tick();
        } catch (...) {
            LogCaughtException(process->ClassName());
        }
    }
}

std::optional<std::uint64_t> TProcessColl::NextTickDue(std::uint64_t now) const {
    std::optional<std::uint64_t> due;
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TProcess* process = ProcAt(i)) {
            due = EarlierDue(due, process->NextTickDue(now));
        }
    }
    return due;
}

bool TProcessColl::CanCloseAll() {
    bool all = true;
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TProcess* process = ProcAt(i)) {
            all = process->ProcessCanClose() && all;
        }
    }
    return all;
}

} // namespace ravlo
