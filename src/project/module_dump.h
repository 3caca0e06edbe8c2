#pragma once

#include <string>
#include <vector>

namespace ravlo {

class tModule;

// The trace dump of a module written before it is generated: its fields, then one block per unit.
// Some lines begin with a CR, LF or TAB, as the trace window expects them.
std::vector<std::string> ModuleDumpLines(const tModule& module);
// Writes those lines to trace channel 0.
void DumpModule(const tModule& module);

} // namespace ravlo
