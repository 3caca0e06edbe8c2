#pragma once

#include <filesystem>
#include <string_view>

namespace ravlo {

// An exception stopped the start-up or the message loop: "Exception:", the message and
// "!!Application HALTED!!" as three lines of the runtime log.
void LogApplicationHalted(std::string_view message);

// A second instance ends without starting the runtime log (starting it would archive the first
// instance's live log): it only appends its mark to that log, when there is one. programPath names
// the program as TxsStartup would be given it; the log lies in ProgramDir(). Also sets
// SecondInstance().
void WriteSecondInstanceMark(const std::filesystem::path& programPath);

} // namespace ravlo
