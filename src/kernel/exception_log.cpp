#include "kernel/exception_log.h"

#include "framework/date_text.h"
#include "platform/cp1250.h"
#include "platform/program_dir.h"

#include <fstream>

namespace ravlo {

std::filesystem::path ExceptionLogPath() {
    return ProgramDir() / "RAVLO.ERR";
}

void AppendExceptionLog(std::string_view text) noexcept {
    try {
        std::ofstream file(ExceptionLogPath(), std::ios::binary | std::ios::app);
        // Stored texts are code page 1250; the file is read by people on this platform.
        file << Cp1250ToUtf8(std::string(text) + " at " + NowStr()) << '\n';
    } catch (...) {
        // Nothing is left to report a failing exception log to.
    }
}

std::string ExceptionLogText(const std::exception_ptr& error, std::string_view objectClass) {
    std::string message = "unknown exception";
    try {
        if (error) {
            std::rethrow_exception(error);
        }
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
    }
    return "Exception: " + message + " in object " + std::string(objectClass);
}

void LogCaughtException(std::string_view objectClass) noexcept {
    try {
        AppendExceptionLog(ExceptionLogText(std::current_exception(), objectClass));
    } catch (...) {
    }
}

} // namespace ravlo
