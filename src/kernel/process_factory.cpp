#include "kernel/process_factory.h"

#include "framework/debug_mask.h"
#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "kernel/dlg_process.h"
#include "kernel/kernel_debug.h"

#include <map>

namespace ravlo {
namespace {

std::map<std::uint8_t, ProcessCreator> KernelProcessTypes() {
    return {{PT_DlgProc, CreateFromLabel<TDLGPROC_Process>}};
}

std::map<std::uint8_t, ProcessCreator>& ProcessTypes() {
    static std::map<std::uint8_t, ProcessCreator> types = KernelProcessTypes();
    return types;
}

} // namespace

void RegisterProcessType(std::uint8_t procType, ProcessCreator creator) {
    if (creator) {
        ProcessTypes()[procType] = std::move(creator);
    } else {
        ProcessTypes().erase(procType);
    }
}

void UnregisterProcessType(std::uint8_t procType) {
    ProcessTypes().erase(procType);
}

bool IsProcessTypeRegistered(std::uint8_t procType) {
    return ProcessTypes().contains(procType);
}

void ResetProcessTypes() {
    ProcessTypes() = KernelProcessTypes();
}

std::unique_ptr<TProcess> TRavloProcLabelColl::CreateProcess(const TProcLabel* label, std::string_view name,
                                                             std::uint8_t ident) {
    if (label == nullptr) {
        label = name.empty() ? GetLabelByIdent(ident) : GetLabelByName(name);
    }
    if (label == nullptr) {
        WriteErrsys(0, "CreateProcess - Process Name=" + std::string(name) + ",Ident=$" + HexB(ident) +
                           " not found in ProcLabelColl !");
        return nullptr;
    }
    TraceInit("CreateProcess, ProcLabel=" + label->GetLabelStr() + "...");
    const auto found = ProcessTypes().find(label->ProcType);
    if (found == ProcessTypes().end()) {
        WriteErrsys(0, "CreateProcess - Unknown ProcType=$" + HexB(label->ProcType));
        return nullptr;
    }
    // A copy: the creator may register further classes while it runs.
    const ProcessCreator creator = found->second;
    std::unique_ptr<TProcess> process = creator(*label);
    TraceInit("CreateProcess OK");
    return process;
}

} // namespace ravlo
