#pragma once

#include "platform/exception.h"
#include "voksim/board_session.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ravlo::voksim {

struct MemoryLoad {
    std::filesystem::path file;
    std::uint32_t address = 0;
};

struct IoPreset {
    std::uint16_t port = 0;
    std::uint8_t value = 0;
};

// The command line of voksim.
struct SimOptions {
    SessionConfig session;
    std::optional<std::filesystem::path> link;
    std::optional<std::filesystem::path> memory_out;
    std::optional<std::filesystem::path> trace;
    std::optional<std::filesystem::path> io_log;
    std::optional<std::filesystem::path> clock_out;
    std::vector<MemoryLoad> memory_in;
    std::vector<IoPreset> io_presets;
    bool help = false;
};

// A command line that cannot be used; the text says which word and why.
class UsageError : public EConvertError {
public:
    using EConvertError::EConvertError;
};

// Parses the arguments after the program name ("--name value" or "--name=value").
SimOptions ParseSimOptions(std::span<const std::string> args);
std::string HelpText();

} // namespace ravlo::voksim
