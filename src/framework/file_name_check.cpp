#include "framework/file_name_check.h"

#include "framework/string_table.h"
#include "platform/text_case.h"

#include <algorithm>
#include <array>

namespace ravlo {
namespace {

constexpr std::size_t kMaxNameLength = 254;
constexpr int kBadExtensionTextId = 132;
constexpr int kBadNameTextId = 133;
constexpr std::array<std::string_view, 6> kDeviceNames = {"CON", "AUX", "COM", "PRN", "LPT", "NUL"};

std::string_view LastPart(std::string_view name) {
    const auto slash = name.find_last_of("/\\");
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

// The extension with its dot; empty when the name has none.
std::string_view Extension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : fileName.substr(dot);
}

bool IsDeviceName(std::string_view fileName) {
    std::string upper = Cp1250ToUpper(fileName.substr(0, kMaxNameLength));
    if (upper == "CLOCK$") {
        upper = "CON";
    }
    // COM1, LPT2 and the like are the numbered devices; PRNX is an ordinary name.
    if (upper.size() == 4 && upper[3] >= '0' && upper[3] <= '9') {
        upper.resize(3);
    }
    return upper.empty() || std::find(kDeviceNames.begin(), kDeviceNames.end(), upper) != kDeviceNames.end();
}

std::string_view WithoutDot(std::string_view ext) {
    return !ext.empty() && ext.front() == '.' ? ext.substr(1) : ext;
}

} // namespace

bool FileNameChk(std::string_view name, std::string_view ext, std::string& errText) {
    errText.clear();
    const std::string_view fileName = LastPart(name);
    if (ext.empty()) {
        if (IsDeviceName(fileName)) {
            errText = AppLoadStr(kBadNameTextId) + "-" + std::string(name);
        }
    } else if (const std::string_view found = Extension(fileName);
               !SameTextNoCase(WithoutDot(found), WithoutDot(ext))) {
        errText = AppLoadStr(kBadExtensionTextId) + "-" + std::string(found);
    }
    return errText.empty();
}

std::filesystem::path BackupName(const std::filesystem::path& name) {
    const std::string fileName = name.filename().string();
    const std::string_view ext = Extension(fileName);
    std::string backup = fileName.substr(0, fileName.size() - ext.size()) + ".~" +
                         std::string(ext.substr(std::min<std::size_t>(2, ext.size()), 2));
    if (backup == fileName) {
        backup += ".~";
    }
    return name.parent_path() / backup;
}

} // namespace ravlo
