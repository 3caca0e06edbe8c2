#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace ravlo {

enum class TCmdLineProjectKind : std::uint8_t {
    None,    // no project named
    Exe,     // a FULL project
    Mem,     // a SMALL project
    Invalid, // neither .EXE nor .MEM
};

struct TCmdLineProjectFile {
    TCmdLineProjectKind Kind = TCmdLineProjectKind::None;
    // Absolute; an existing file whatever the case of its name, else the name as given.
    std::filesystem::path Path;
};

// The project the command line names. A name without extension becomes the .EXE of that name when
// one exists, else the .MEM; a relative name is taken from baseDir (the current folder); "\"
// separates folders as well. The extension decides the kind, case ignored.
TCmdLineProjectFile ResolveCmdLineProject(std::string_view name, const std::filesystem::path& baseDir);

// The error box text for a project argument that is neither .EXE nor .MEM (code page 1250).
std::string BadProjectFileText(const std::filesystem::path& path);

} // namespace ravlo
