#include "project/project_messages.h"

#include "framework/message_box.h"

namespace ravlo {

void ProjectError(std::string_view text) {
    TrMessageBox("Error", text, MB_OK | MB_ICONHAND);
}

void ProjectWarning(std::string_view text) {
    TrMessageBox("Warning", text, MB_OK | MB_ICONEXCLAMATION);
}

void ProjectInformation(std::string_view text) {
    TrMessageBox("Information", text, MB_OK | MB_ICONASTERISK);
}

bool ProjectAskYesNo(std::string_view text) {
    return TrMessageBox("Confirm", text, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

} // namespace ravlo
