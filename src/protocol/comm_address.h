#pragma once

#include "kernel/proc_adr.h"

#include <string>
#include <vector>

namespace ravlo {

class TProcess;
class TProcessColl;

// Whether a message to dest, posted into the window of coll, is delivered to target: the registry
// must have a window for dest.LogA (when there is a registry), and coll must pick target as the
// receiver under its address-matching mode (AT).
bool ProcAdrReaches(const TProcessColl& coll, const TProcAdr& dest, const TProcess& target);

// Checks that the board master process and the communication process of coll reach each other at
// the fixed addresses they use (kCommUpwardAdr and kMACommAdr). Answers one text per mismatch
// (empty when all is well) and writes each as an error line to writer channel 0.
std::vector<std::string> CheckCommAddresses(const TProcessColl& coll);

} // namespace ravlo
