#pragma once

// Finding a program built beside the tests. Included by relative path from bench/ too, so it
// includes nothing of the project.

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace ravlo::testing {

// The executable name in the folder above the running program's (the test and bench programs are
// built into build/<preset>/<folder>/, the programs into build/<preset>/), or nothing.
inline std::optional<std::filesystem::path> FindBuiltProgram(std::string_view name) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::nullopt;
    }
    const std::filesystem::path program = self.parent_path().parent_path() / name;
    if (!std::filesystem::is_regular_file(program, error) || ::access(program.c_str(), X_OK) != 0) {
        return std::nullopt;
    }
    return program;
}

} // namespace ravlo::testing
