#pragma once

#include "kernel/proc_label.h"
#include "kernel/process.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace ravlo {

// The process classes of the application, by the ProcType byte of their labels (the same byte is
// their address's Ident).
inline constexpr std::uint8_t PT_RavloMA = 0x70;   // board master process
inline constexpr std::uint8_t PT_TmpErr = 0x73;    // error-history process
inline constexpr std::uint8_t PT_RavloComm = 0x87; // communication process
inline constexpr std::uint8_t PT_DlgProc = 0x8F;   // dialog process

// Builds a running process of one class from its label.
using ProcessCreator = std::function<std::unique_ptr<TProcess>(const TProcLabel& label)>;

// The process classes CreateProcess can build. The kernel's own class (the dialog process) is
// there from the start; the layers above register theirs at start-up, before the labels are turned
// into processes. Registering a ProcType again replaces its class.
void RegisterProcessType(std::uint8_t procType, ProcessCreator creator);
void UnregisterProcessType(std::uint8_t procType);
bool IsProcessTypeRegistered(std::uint8_t procType);
// Back to the kernel's own classes only (for tests).
void ResetProcessTypes();

// The usual creator: builds T from the label, then reads its settings and puts them into effect.
template <class T>
std::unique_ptr<TProcess> CreateFromLabel(const TProcLabel& label) {
    auto process = std::make_unique<T>(&label);
    process->ReadParamFromINI(false);
    process->ApplyParams();
    return process;
}

// The application's label collection ("LABELCOLL"): CreateProcess builds the class registered for
// the label's ProcType; an unknown ProcType is refused with an error line.
class TRavloProcLabelColl : public TProcLabelColl {
public:
    static constexpr std::string_view kClassName = "TRavloProcLabelColl";

    using TProcLabelColl::TProcLabelColl;

    std::string_view ClassName() const override { return kClassName; }
    std::unique_ptr<TProcess> CreateProcess(const TProcLabel* label, std::string_view name,
                                            std::uint8_t ident) override;
};

} // namespace ravlo
