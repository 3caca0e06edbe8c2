#pragma once

#include <string_view>

namespace ravlo {

// Message boxes of the project code (through TrMessageBox, so each is also logged).
void ProjectError(std::string_view text);
void ProjectWarning(std::string_view text);
void ProjectInformation(std::string_view text);
// A Yes/No warning; true when the answer is Yes.
bool ProjectAskYesNo(std::string_view text);

} // namespace ravlo
