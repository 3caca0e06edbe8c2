#include "platform/file_names.h"

#include "platform/text_case.h"

#include <algorithm>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

std::optional<fs::path> FindEntryNoCase(const fs::path& dir, const std::string& part) {
    if (Exists(dir / part)) {
        return dir / part;
    }
    std::optional<std::string> best;
    std::error_code error;
    for (fs::directory_iterator entries(dir, error), end; !error && entries != end;
         entries.increment(error)) {
        const std::string candidate = entries->path().filename().string();
        if (SameAsciiNoCase(candidate, part) && (!best || candidate < *best)) {
            best = candidate;
        }
    }
    return best ? std::optional(dir / *best) : std::nullopt;
}

} // namespace

std::optional<fs::path> FindFileNoCase(const fs::path& dir, std::string_view name) {
    if (name.empty()) {
        return std::nullopt;
    }
    fs::path found = dir;
    for (const fs::path& part : fs::path(name)) {
        const std::string text = part.string();
        if (text.empty() || text == "." || text == "..") {
            found /= part; // "." and ".." have no case; a trailing "/" adds an empty part
            continue;
        }
        auto entry = FindEntryNoCase(found, text);
        if (!entry) {
            return std::nullopt;
        }
        found = std::move(*entry);
    }
    return found;
}

std::string NormalizeStoredPath(std::string_view stored) {
    std::string path(stored);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace ravlo
