#include "shell/start_log.h"

#include "framework/log_names.h"
#include "framework/runtime_log.h"
#include "platform/cp1250.h"
#include "platform/program_dir.h"

#include <chrono>
#include <fstream>
#include <string>

namespace ravlo {

void LogApplicationHalted(std::string_view message) {
    TxsWriteln("Exception:");
    TxsWriteln(message);
    TxsWriteln("!!Application HALTED!!");
}

void WriteSecondInstanceMark(const std::filesystem::path& programPath) {
    SecondInstance() = true;
    const std::filesystem::path log = ProgramDir() / (TxsBaseName(programPath.filename().string()) + ".TXS");
    std::error_code error;
    if (!std::filesystem::is_regular_file(log, error)) {
        return;
    }
    // Appending only: the first instance keeps writing to the same file.
    std::ofstream file(log, std::ios::binary | std::ios::app);
    file << Cp1250ToUtf8(TxsSecondInstanceLine(TxsTimeText(std::chrono::system_clock::now()))) << '\n';
}

} // namespace ravlo
