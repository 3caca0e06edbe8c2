#include "framework/file_paths.h"

#include <fstream>
#include <system_error>

namespace ravlo {

std::string ShortenPath(std::string_view path, std::size_t n) {
    if (path.size() <= n) {
        return std::string(path);
    }
    const std::string head = std::string(path.starts_with('/') ? "/" : "") + "...";
    if (n <= head.size()) {
        return std::string(path.substr(path.size() - n));
    }
    return head + std::string(path.substr(path.size() - (n - head.size())));
}

std::optional<FileTime> GetFileWriteTime(const std::filesystem::path& name) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(name, ec)) {
        return std::nullopt;
    }
    if (!std::ifstream(name, std::ios::binary).is_open()) {
        return std::nullopt;
    }
    return ReadFileWriteTime(name);
}

} // namespace ravlo
