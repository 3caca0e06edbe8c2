#include "voksim/trace_log.h"

#include "platform/exception.h"

namespace ravlo::voksim {

void TraceLog::Closer::operator()(std::FILE* file) const {
    std::fclose(file);
}

TraceLog::TraceLog(const std::filesystem::path& file, Ns start) : start_(start) {
    if (file == "-") {
        out_ = stderr;
        return;
    }
    owned_.reset(std::fopen(file.c_str(), "w"));
    if (!owned_) {
        throw EStreamError("cannot create the trace file " + file.string());
    }
    out_ = owned_.get();
}

void TraceLog::Line(Ns now, std::string_view text) {
    if (out_ == nullptr) {
        return;
    }
    const double seconds = std::chrono::duration<double>(now - start_).count();
    std::fprintf(out_, "%11.6f %.*s\n", seconds, static_cast<int>(text.size()), text.data());
    // Flushed a line at a time, so that the trace is complete whenever the simulator is stopped.
    std::fflush(out_);
}

} // namespace ravlo::voksim
