#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ravlo {

// Checks a file name (code page 1250; a path is checked by its last part) and answers whether it
// may be used; otherwise errText gets the reason, else it is emptied.
// With an empty ext the name must not be empty nor a device name of the original platform: CON,
// AUX, COM, PRN, LPT, NUL, CLOCK$ (taken as CON), and COM or LPT followed by one digit. Any other
// name, PRNX included, is valid. The error text is text 133 + "-" + the name as given.
// With a non-empty ext (dot optional) the name's extension must be that one, case ignored;
// otherwise the error text is text 132 + "-" + the extension found.
bool FileNameChk(std::string_view name, std::string_view ext, std::string& errText);

// The one backup copy's name: the extension is replaced by ".~" + its third and fourth characters
// (USERS.PSW -> USERS.~SW); a name without extension gets ".~". A name that already is its own
// backup (X.~SW) gets ".~" appended instead, so that a file is never its own backup.
std::filesystem::path BackupName(const std::filesystem::path& name);

} // namespace ravlo
