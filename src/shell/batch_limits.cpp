#include "shell/batch_limits.h"

#include "framework/writer_channels.h"
#include "platform/ini_file.h"

#include <charconv>
#include <string>

namespace ravlo {
namespace {

void ReadSeconds(const IniFile& ini, std::string_view key, std::uint32_t& ms) {
    if (!ini.KeyExists(kBatchLimitsSection, key)) {
        return;
    }
    const std::string text = ini.ReadString(kBatchLimitsSection, key, "");
    std::size_t begin = text.find_first_not_of(' ');
    std::size_t end = text.find_last_not_of(' ');
    int seconds = 0;
    bool ok = begin != std::string::npos;
    if (ok) {
        const char* first = text.data() + begin;
        const char* last = text.data() + end + 1;
        const auto [ptr, ec] = std::from_chars(first, last, seconds);
        ok = ec == std::errc() && ptr == last && seconds >= 1 && seconds <= kBatchLimitMaxSec;
    }
    if (!ok) {
        WriteErrsys(0, "[" + std::string(kBatchLimitsSection) + "] " + std::string(key) + "=" + text +
                           ": not a number of seconds from 1 to " + std::to_string(kBatchLimitMaxSec) +
                           ", the default stays");
        return;
    }
    ms = static_cast<std::uint32_t>(seconds) * 1000U;
}

} // namespace

TBatchLimits ReadBatchLimits(const std::filesystem::path& appIni) {
    TBatchLimits limits;
    const IniFile ini(appIni);
    if (!ini.Exists()) {
        return limits;
    }
    ReadSeconds(ini, "BoardWait", limits.BoardWaitMs);
    ReadSeconds(ini, "StepWait", limits.StepWaitMs);
    ReadSeconds(ini, "ExitWait", limits.ExitWaitMs);
    return limits;
}

} // namespace ravlo
