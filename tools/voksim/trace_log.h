#pragma once

#include "voksim/board_clock.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

namespace ravlo::voksim {

// The frame trace: one readable line per event, stamped with seconds since the start.
// Without a file it writes nothing.
class TraceLog {
public:
    TraceLog() = default;
    // "-" writes to stderr. Throws EStreamError when the file cannot be created.
    TraceLog(const std::filesystem::path& file, Ns start);

    bool Enabled() const { return out_ != nullptr; }
    void Line(Ns now, std::string_view text);

private:
    struct Closer {
        void operator()(std::FILE* file) const;
    };
    std::unique_ptr<std::FILE, Closer> owned_;
    std::FILE* out_ = nullptr;
    Ns start_{0};
};

} // namespace ravlo::voksim
