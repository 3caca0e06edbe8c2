// The main form's recent projects: the list follows every project opened, and its File menu
// entries open them again.
#include "framework/app_names.h"
#include "platform/cp1250.h"
#include "platform/text_case.h"
#include "project/project_messages.h"
#include "shell/main_form_core.h"
#include "shell/main_form_host.h"

#include <system_error>

namespace ravlo {

void TRavloMainFormCore::AddLastProject(const std::filesystem::path& name) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(name, error).lexically_normal();
    lastProjects_.Add(PathText(error ? name : full), AppIniName());
    host_.ShowLastProjects(lastProjects_.Entries());
}

void TRavloMainFormCore::OpenLastProject(int n) {
    const std::string entry = lastProjects_.Get(n);
    if (entry.empty()) {
        return;
    }
    const std::filesystem::path name(Cp1250ToUtf8(entry));
    const std::string extension = Cp1250ToUpper(PathText(name.extension()));
    if (extension != ".EXE" && extension != ".MEM") {
        ProjectError("Incorrect file extension !");
        return;
    }
    std::error_code error;
    if (!std::filesystem::exists(name, error)) {
        ProjectError("Project \"" + entry + "\" does not exist!");
        return;
    }
    OpenFromMenu(name, extension == ".EXE" ? TProjectType::Full : TProjectType::Small);
}

} // namespace ravlo
