#pragma once

#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

namespace ravlo {

// "RAVLO.ERR" in ProgramDir(): one line per exception that escaped a handler of the running program.
std::filesystem::path ExceptionLogPath();

// Appends text + " at " + the local date and time as one line (the file is created when missing).
// A line that cannot be written is lost; this never throws.
void AppendExceptionLog(std::string_view text) noexcept;

// "Exception: " + the exception's message + " in object " + objectClass.
std::string ExceptionLogText(const std::exception_ptr& error, std::string_view objectClass);

// AppendExceptionLog of ExceptionLogText for the exception being handled; call it in a catch block.
void LogCaughtException(std::string_view objectClass) noexcept;

} // namespace ravlo
