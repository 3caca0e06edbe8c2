#include "shell/cmd_line_project.h"

#include "framework/app_names.h"
#include "platform/file_names.h"
#include "platform/text_case.h"

namespace ravlo {
namespace {

namespace fs = std::filesystem;

// The file in its folder whatever the case of its name; nullopt when there is none.
std::optional<fs::path> FindNoCase(const fs::path& path) {
    return FindFileNoCase(path.parent_path(), path.filename().string());
}

} // namespace

TCmdLineProjectFile ResolveCmdLineProject(std::string_view name, const fs::path& baseDir) {
    TCmdLineProjectFile result;
    if (name.empty()) {
        return result;
    }
    fs::path path(NormalizeStoredPath(name));
    if (path.is_relative()) {
        path = baseDir / path;
    }
    path = path.lexically_normal();
    if (!path.has_extension()) {
        for (const char* extension : {".EXE", ".MEM"}) {
            fs::path candidate = path;
            candidate += extension;
            if (std::optional<fs::path> found = FindNoCase(candidate)) {
                path = *found;
                break;
            }
        }
    } else if (std::optional<fs::path> found = FindNoCase(path)) {
        path = *found;
    }
    const std::string extension = Cp1250ToUpper(path.extension().string());
    result.Kind = extension == ".EXE"   ? TCmdLineProjectKind::Exe
                  : extension == ".MEM" ? TCmdLineProjectKind::Mem
                                        : TCmdLineProjectKind::Invalid;
    result.Path = path;
    return result;
}

std::string BadProjectFileText(const fs::path& path) {
    return "Incorrect file \"" + PathText(path) +
           "\" as project file parameter in command line!\rOnly .EXE or .MEM file accepted.";
}

} // namespace ravlo
