#include "framework/runtime_log.h"

#include "framework/log_names.h"
#include "platform/cp1250.h"
#include "platform/file_io.h"
#include "platform/program_dir.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <utility>

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

// Lines end the way this platform's text files do.
constexpr std::string_view kLineEnd = "\n";
// An archive name that another writer takes between choosing and renaming is chosen again.
constexpr int kArchiveAttempts = 5;

struct LogState {
    bool started = false;
    fs::path dir;
    std::string base;
    fs::path path;
    std::string par1;
    Clock::time_point runStart;
    bool on = true;
};

std::mutex& LogMutex() {
    static std::mutex mutex;
    return mutex;
}

LogState& State() {
    static LogState state;
    return state;
}

TxsClockFn& ClockOverride() {
    static TxsClockFn clock = nullptr;
    return clock;
}

Clock::time_point Now() {
    const TxsClockFn clock = ClockOverride();
    return clock != nullptr ? clock() : Clock::now();
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// Log texts are code page 1250; the file is for people on this platform, so it holds UTF-8.
std::string FileLine(std::string_view line) {
    return Cp1250ToUtf8(line) + std::string(kLineEnd);
}

bool WriteToFile(const fs::path& path, std::string_view bytes, bool truncate) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : O_APPEND), 0666);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, bytes) == 0;
    return ::close(fd) == 0 && written;
}

// The start and banner records; a log that is still there (it could not be archived) keeps its
// lines and gets the records appended.
void BeginLocked(const LogState& state, bool keepExisting) {
    const std::string records =
        FileLine(TxsStartLine(state.path, TxsTimeText(Now()), state.par1)) + FileLine(kTxsBannerLine);
    WriteToFile(state.path, records, !keepExisting);
}

void AppendLocked(std::string_view text, bool lineEnd) {
    const LogState& state = State();
    if (!state.started || !state.on) {
        return;
    }
    std::string bytes;
    if (!Exists(state.path)) {
        BeginLocked(state, false);
        bytes = FileLine(TxsRecreateLine(state.path, state.par1));
    }
    bytes += Cp1250ToUtf8(text);
    if (lineEnd) {
        bytes += kLineEnd;
    }
    WriteToFile(state.path, bytes, false);
}

// The archive name of the log as it is now, from its own last-write time.
fs::path ArchivePathLocked(const LogState& state) {
    const std::string stamp = TxsArchStamp(state.path).value_or(TxsStampText(Now()));
    return FreeTxsArchivePath(state.dir, state.base, stamp);
}

// Moves the log to target, or to the next free name when target was taken meanwhile.
void ArchiveLocked(const LogState& state, fs::path target) {
    for (int attempt = 0; attempt < kArchiveAttempts; ++attempt) {
        if (RenameNoReplace(state.path, target) != EEXIST) {
            return; // archived, or failed for good: the log then stays where it is
        }
        target = ArchivePathLocked(state);
    }
}

} // namespace

void TxsStartup(const fs::path& programPath, std::string_view par1) {
    const std::lock_guard lock(LogMutex());
    LogState& state = State();
    state.dir = ProgramDir();
    state.base = TxsBaseName(programPath.filename().string());
    state.path = state.dir / (state.base + ".TXS");
    const auto slash = par1.find_last_of("/\\");
    state.par1 = std::string(slash == std::string_view::npos ? par1 : par1.substr(slash + 1));
    state.runStart = Now();
    state.started = true;
    if (Exists(state.path)) {
        ArchiveLocked(state, ArchivePathLocked(state));
    }
    BeginLocked(state, Exists(state.path));
}

void TxsShutdown(int exitCode) {
    const std::lock_guard lock(LogMutex());
    LogState& state = State();
    if (!state.started) {
        return;
    }
    state.started = false;
    if (!state.on || !Exists(state.path)) {
        return;
    }
    const std::string timeText = TxsTimeText(Now());
    if (SecondInstance()) {
        WriteToFile(state.path, FileLine(TxsSecondInstanceLine(timeText)), false);
        return;
    }
    const fs::path archive = ArchivePathLocked(state);
    const auto minutes = std::chrono::duration_cast<std::chrono::minutes>(Now() - state.runStart).count();
    std::string records =
        FileLine(TxsRunTimeLine(minutes)) + FileLine(TxsEndLine(archive, timeText, state.par1));
    if (exitCode != 0) {
        records += FileLine(TxsErrorExitLine(exitCode));
    }
    WriteToFile(state.path, records, false);
    ArchiveLocked(state, archive);
}

void TxsBegin() {
    const std::lock_guard lock(LogMutex());
    if (State().started && State().on) {
        BeginLocked(State(), false);
    }
}

void TxsWrite(std::string_view text) {
    const std::lock_guard lock(LogMutex());
    AppendLocked(text, false);
}

void TxsWriteln(std::string_view text) {
    const std::lock_guard lock(LogMutex());
    AppendLocked(text, true);
}

void DelTxsFile() {
    const std::lock_guard lock(LogMutex());
    if (State().started) {
        ::unlink(State().path.c_str());
    }
}

void DelOldTxsFiles() {
    const std::lock_guard lock(LogMutex());
    const LogState& state = State();
    if (!state.started) {
        return;
    }
    std::error_code error;
    for (fs::directory_iterator entries(state.dir, error), end; !error && entries != end;
         entries.increment(error)) {
        std::error_code typeError;
        if (entries->is_directory(typeError) ||
            !IsTxsArchiveName(entries->path().filename().string(), state.base)) {
            continue;
        }
        ::unlink(entries->path().c_str());
    }
}

void SetTxsOn(bool on) {
    const std::lock_guard lock(LogMutex());
    State().on = on;
}

bool TxsOn() {
    const std::lock_guard lock(LogMutex());
    return State().on;
}

bool& WriteToTxs() {
    static bool write = true;
    return write;
}

bool& SecondInstance() {
    static bool second = false;
    return second;
}

fs::path TxsDir() {
    const std::lock_guard lock(LogMutex());
    return State().dir;
}

std::string TxsBase() {
    const std::lock_guard lock(LogMutex());
    return State().base;
}

fs::path TxsPath() {
    const std::lock_guard lock(LogMutex());
    return State().path;
}

bool TxsStarted() {
    const std::lock_guard lock(LogMutex());
    return State().started;
}

TxsClockFn SetTxsClock(TxsClockFn clock) {
    const std::lock_guard lock(LogMutex());
    return std::exchange(ClockOverride(), clock);
}

void ResetRuntimeLog() {
    const std::lock_guard lock(LogMutex());
    State() = LogState{};
    WriteToTxs() = true;
    SecondInstance() = false;
}

} // namespace ravlo
