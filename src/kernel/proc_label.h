#pragma once

#include "framework/name_coll.h"
#include "framework/name_object.h"
#include "kernel/proc_adr.h"
#include "platform/scoped_install.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ravlo {

class TProcess;

// How a process comes to exist.
inline constexpr std::uint8_t PR_unknown = 0;
inline constexpr std::uint8_t PR_static = 1; // created at start
inline constexpr std::uint8_t PR_dynam = 2;  // created for each message addressed to its label
inline constexpr std::uint8_t PR_extern = 3; // lives outside this program

// The INI description of a process ("NAM|ADR|ANY|PRS|PRD|PRE|PCO|"): the name it runs under, its
// address, how it is created, the class byte and the process collection that runs it.
class TProcLabel : public TNameObject {
public:
    static constexpr std::string_view kClassName = "TProcLabel";

    using TNameObject::TNameObject;

    std::string_view ClassName() const override { return kClassName; }
    bool ParseKeyword(std::string_view keyword) override;
    std::string ParamsToText() const override;

    // Copies NAM, ProcType, Kind, ADR, PCO and AnyFlag (not Name); nullptr writes an error line.
    void InitFromLabel(const TProcLabel* label);
    // Name "^" address "[A]" or "[ ]" and the kind: "(un)", "(st$hh)", "(dy$hh)" or "(ex)".
    std::string GetLabelStr() const;

    std::string NAM;
    TProcAdr ADR;
    std::string PCO;
    std::uint8_t ProcType = 0;
    std::uint8_t Kind = PR_unknown;
    std::uint8_t AnyFlag = 0;
};

// All process labels of the application INI, in INI order. CreateProcess is left to the
// application's collection; here it creates nothing.
class TProcLabelColl : public TNameColl {
public:
    static constexpr std::string_view kClassName = "TProcLabelColl";

    explicit TProcLabelColl(std::string_view name = {}) : TNameColl(name) {}

    std::string_view ClassName() const override { return kClassName; }
    // Reads the collection's own key, then its labels (see ReadCollItems).
    bool ReadParamFromINI(bool verbose) override;

    TProcLabel* LabelAt(std::int32_t index) const { return dynamic_cast<TProcLabel*>(At(index)); }
    TProcLabel* GetLabelByName(std::string_view name) const;
    // The first label with the Ident that is not external.
    TProcLabel* GetLabelByIdent(std::uint8_t ident) const;
    TProcLabel* GetLabelByIdentLogA(std::uint8_t ident, std::uint16_t logA) const;

    // A new process from a label, or (label nullptr) from the label named name, or with name empty
    // from the label with the Ident. nullptr when none is made.
    virtual std::unique_ptr<TProcess> CreateProcess(const TProcLabel* label, std::string_view name,
                                                    std::uint8_t ident);
    std::unique_ptr<TProcess> NewProcess(const TProcLabel* label) { return CreateProcess(label, {}, 0); }

    // ": *** Coll of ProcessLabels: Count=" and one GetLabelStr line per label.
    void WriteColl(int chn) const;
};

// The program's label collection, set by the main form at start; nullptr when there is none.
TProcLabelColl* GetProcLabelColl();
TProcLabelColl* SetProcLabelColl(TProcLabelColl* coll);
using ScopedProcLabelColl = ScopedInstall<TProcLabelColl, SetProcLabelColl>;

} // namespace ravlo
