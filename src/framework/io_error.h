#pragma once

#include <filesystem>
#include <string>

namespace ravlo {

// The I/O error texts of the text files, by the DOS-style codes the program's texts are written
// for: 0 gives an empty text, the known codes their string-table text, any other code
// "I/O error" + " " + the code in decimal.
std::string IoErrorText(int code);

// What a failed file operation was doing when the system reported errno.
enum class IoAccess { Open, Read, Write };

// The text for an errno value: the matching DOS-style code's text (file not found, path not found,
// too many open files, access denied, bad handle, disk read and write errors), or "I/O error" + " " +
// the errno value when nothing matches. path (when given) tells a missing file from a missing
// folder.
std::string IoErrnoText(int errnoValue, IoAccess access, const std::filesystem::path& path = {});

} // namespace ravlo
