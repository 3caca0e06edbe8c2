#pragma once

#include <ostream>
#include <span>
#include <string>

namespace ravlo::rectool {

// The command `rectool COMMAND ...` on record containers (see its --help). `args` are the
// arguments after the program name. Answers the exit code: 0 done, 1 a finding or a failure, 2 bad
// arguments.
int RunRectool(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace ravlo::rectool
