#include "shell/last_projects.h"

#include "framework/app_names.h"
#include "framework/file_paths.h"
#include "framework/writer_channels.h"
#include "platform/ini_file.h"
#include "platform/text_case.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::string_view kSection = "LASTPROJECTS";

std::string Key(std::size_t index) {
    return "P" + std::to_string(index + 1);
}

} // namespace

void TLastProjects::Read(const std::filesystem::path& ini) {
    entries_ = {};
    const IniFile file(ini);
    if (!file.Exists() || !file.SectionExists(kSection)) {
        return;
    }
    for (std::size_t i = 0; i < kCount; ++i) {
        entries_[i] = file.ReadString(kSection, Key(i));
    }
}

void TLastProjects::Add(std::string_view path, const std::filesystem::path& ini) {
    if (path.empty()) {
        return;
    }
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [path](const std::string& entry) { return SameTextNoCase(entry, path); });
    // Not in the list: the last entry makes room.
    const auto place = found != entries_.end() ? found : entries_.end() - 1;
    std::move_backward(entries_.begin(), place, place + 1);
    entries_.front() = std::string(path);

    IniFile file(ini);
    for (std::size_t i = 0; i < kCount; ++i) {
        if (!file.WriteString(kSection, Key(i), entries_[i])) {
            // The list still serves this run; only the next one will not see it.
            WriteErrsys(0, "The recent projects could not be written to " + PathText(ini));
            return;
        }
    }
}

std::string TLastProjects::Get(int n) const {
    if (n < 1 || n > static_cast<int>(kCount)) {
        return {};
    }
    return entries_[static_cast<std::size_t>(n - 1)];
}

std::string TLastProjects::MenuCaption(int n, std::string_view path) {
    std::string caption = "&" + std::to_string(n) + " ";
    // An "&" of the path is shown as itself, not taken for the item's accelerator.
    for (const char c : ShortenPath(path, kCaptionPathWidth)) {
        caption += c == '&' ? std::string("&&") : std::string(1, c);
    }
    return caption;
}

} // namespace ravlo
