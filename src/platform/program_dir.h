#pragma once

#include <filesystem>

namespace ravlo {

// The folder of the running executable, where the program keeps its runtime log, settings and users
// file; the environment variable RAVLO_HOME, when set and not empty, names another.
std::filesystem::path ProgramDir();

// The user's home folder: HOME when set and not empty, else the one the user database names, else
// the working folder.
std::filesystem::path HomeDir();

} // namespace ravlo
