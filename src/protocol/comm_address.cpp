#include "protocol/comm_address.h"

#include "framework/writer_channels.h"
#include "kernel/process_coll.h"
#include "kernel/process_factory.h"
#include "kernel/sys_addr.h"
#include "protocol/comm_messages.h"

namespace ravlo {
namespace {

// The process the collection delivers a message with a non-zero XInst to: the first one that
// takes every message (AnyFlag) or has the address.
const TProcess* ReceiverOf(const TProcessColl& coll, const TProcAdr& dest) {
    for (std::int32_t i = 0; i < coll.Count(); ++i) {
        const TProcess* process = coll.ProcAt(i);
        if (process == nullptr) {
            continue;
        }
        const TProcAdr& adr = process->ADR;
        const bool same =
            adr.Ident == dest.Ident && adr.XInst == dest.XInst && (coll.AT == 2 || adr.LogA == dest.LogA);
        if (process->AnyFlag != 0 || same) {
            return process;
        }
    }
    return nullptr;
}

// A message by Ident alone (XInst 0) reaches the first process that takes every message, else the
// first process with that Ident (and LogA, unless AT is 2).
const TProcess* ReceiverByIdent(const TProcessColl& coll, const TProcAdr& dest) {
    const TProcess* byIdent = nullptr;
    for (std::int32_t i = 0; i < coll.Count(); ++i) {
        const TProcess* process = coll.ProcAt(i);
        if (process == nullptr) {
            continue;
        }
        if (process->AnyFlag != 0) {
            return process;
        }
        if (byIdent == nullptr && process->ADR.Ident == dest.Ident &&
            (coll.AT == 2 || process->ADR.LogA == dest.LogA)) {
            byIdent = process;
        }
    }
    return byIdent;
}

void CheckOne(const TProcessColl& coll, const TProcAdr& dest, const TProcess* target, std::string_view sender,
              std::string_view receiver, std::uint8_t ident, std::vector<std::string>& problems) {
    if (target == nullptr) {
        problems.push_back(std::string(sender) + " reports to " + ProcAdrStr(dest) + ", but there is no " +
                           std::string(receiver) + " (Ident $" + HexByteStr(ident) + ") in " + coll.Name);
        return;
    }
    if (!ProcAdrReaches(coll, dest, *target)) {
        problems.push_back(std::string(sender) + " sends to " + ProcAdrStr(dest) +
                           ", which does not reach the " + std::string(receiver) + " " +
                           ProcAdrStr(target->ADR) + " in " + coll.Name + " (AT=" + std::to_string(coll.AT) +
                           ")");
    }
}

} // namespace

bool ProcAdrReaches(const TProcessColl& coll, const TProcAdr& dest, const TProcess& target) {
    if (GetSysAddrColl() != nullptr && GetSysAddrHandle(dest.LogA) == kNoWindow) {
        return false;
    }
    return (dest.XInst == 0 ? ReceiverByIdent(coll, dest) : ReceiverOf(coll, dest)) == &target;
}

std::vector<std::string> CheckCommAddresses(const TProcessColl& coll) {
    std::vector<std::string> problems;
    const TProcess* master = coll.GetProcByIdent(PT_RavloMA);
    const TProcess* comm = coll.GetProcByIdent(PT_RavloComm);
    CheckOne(coll, kCommUpwardAdr, master, "The communication process", "board master process", PT_RavloMA,
             problems);
    if (master != nullptr) {
        CheckOne(coll, kMACommAdr, comm, "The board master process", "communication process", PT_RavloComm,
                 problems);
    }
    for (const std::string& problem : problems) {
        WriteErrsys(0, problem);
    }
    return problems;
}

} // namespace ravlo
