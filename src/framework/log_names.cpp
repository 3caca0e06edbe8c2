#include "framework/log_names.h"

#include "framework/local_time.h"
#include "framework/number_text.h"
#include "platform/cp1250.h"
#include "platform/file_time.h"
#include "platform/text_case.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::string_view kTxsExt = ".TXS";
constexpr std::size_t kStampDigits = 10;
// Beyond this many archives of one minute the plain name is answered; renaming to it then fails
// without replacing anything.
constexpr int kMaxArchiveSuffix = 9999;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && SameTextNoCase(text.substr(text.size() - suffix.size()), suffix);
}

} // namespace

std::string TxsBaseName(std::string_view programFileName, bool asLibrary) {
    std::string base(programFileName.substr(0, 8));
    if (const auto dot = base.find('.'); dot != std::string::npos) {
        base.resize(dot);
    }
    while (base.size() < 4) {
        base += '_';
    }
    if (asLibrary) {
        base = ("Lib_" + base).substr(0, 8);
    }
    return base;
}

std::string TxsTimeText(std::chrono::system_clock::time_point time) {
    const TDTRec r = LocalDTRec(time);
    return TwoDigits(r.Day) + "." + TwoDigits(r.Month) + "." + TwoDigits(r.Year) + " " + TwoDigits(r.Hour) +
           ":" + TwoDigits(r.Min) + ":" + TwoDigits(r.Sec);
}

std::string TxsStampText(std::chrono::system_clock::time_point time) {
    const TDTRec r = LocalDTRec(time);
    return TwoDigits(r.Year) + TwoDigits(r.Month) + TwoDigits(r.Day) + TwoDigits(r.Hour) + TwoDigits(r.Min);
}

std::optional<std::string> TxsArchStamp(const std::filesystem::path& file) {
    const auto written = ReadFileWriteTime(file);
    if (!written) {
        return std::nullopt;
    }
    return TxsStampText(ToSystemTime(*written));
}

bool IsTxsArchiveName(std::string_view fileName, std::string_view base) {
    if (!StartsWithNoCase(fileName, base) || !EndsWithNoCase(fileName, kTxsExt)) {
        return false;
    }
    if (fileName.size() < base.size() + kTxsExt.size()) {
        return false;
    }
    std::string_view middle = fileName.substr(base.size(), fileName.size() - base.size() - kTxsExt.size());
    if (middle.size() < kStampDigits || !AllDigits(middle.substr(0, kStampDigits))) {
        return false;
    }
    middle.remove_prefix(kStampDigits);
    return middle.empty() || (middle.front() == '_' && AllDigits(middle.substr(1)));
}

std::filesystem::path FreeTxsArchivePath(const std::filesystem::path& dir, std::string_view base,
                                         std::string_view stamp) {
    const std::string stem = std::string(base) + std::string(stamp);
    std::filesystem::path candidate = dir / (stem + std::string(kTxsExt));
    for (int suffix = 1; suffix <= kMaxArchiveSuffix; ++suffix) {
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, error))) {
            return candidate;
        }
        candidate = dir / (stem + "_" + std::to_string(suffix) + std::string(kTxsExt));
    }
    return dir / (stem + std::string(kTxsExt));
}

std::string TxsPathText(const std::filesystem::path& path) {
    return Utf8ToCp1250(path.string());
}

std::string TxsStartLine(const std::filesystem::path& txsPath, std::string_view timeText,
                         std::string_view par1) {
    return "Begin of " + TxsPathText(txsPath) + ", time " + std::string(timeText) +
           " Par1=" + std::string(par1);
}

std::string TxsRecreateLine(const std::filesystem::path& txsPath, std::string_view par1) {
    return "!File " + TxsPathText(txsPath) + " recreated for " + std::string(par1);
}

std::string TxsRunTimeLine(long long minutes) {
    return "))) QORV RunTime " + std::to_string(minutes) + " min";
}

std::string TxsEndLine(const std::filesystem::path& archivePath, std::string_view timeText,
                       std::string_view par1) {
    return "End of " + TxsPathText(archivePath) + ", time " + std::string(timeText) +
           " Par1=" + std::string(par1);
}

std::string TxsErrorExitLine(int exitCode) {
    return "ExitCode=" + std::to_string(exitCode) + " , ErrorAddr=" + HexWord4(0) + ":" + HexWord4(0);
}

std::string TxsSecondInstanceLine(std::string_view timeText) {
    return "#SecondInst Run/Close, time " + std::string(timeText);
}

} // namespace ravlo
