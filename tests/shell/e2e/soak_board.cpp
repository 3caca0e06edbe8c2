#include "soak_board.h"

#include <csignal>
#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <thread>

namespace ravlo::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::optional<std::string> FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The IO log's writes ("port=$0300 width=2 value=$ABCD", a word low byte first) over ports.
void ApplyIoLog(const std::string& log, std::vector<std::uint8_t>& ports) {
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        unsigned port = 0;
        unsigned width = 0;
        unsigned value = 0;
        if (std::sscanf(line.c_str(), "port=$%x width=%u value=$%x", &port, &width, &value) != 3) {
            continue;
        }
        ports[port & 0xFFFF] = static_cast<std::uint8_t>(value & 0xFF);
        if (width == 2) {
            ports[(port + 1) & 0xFFFF] = static_cast<std::uint8_t>(value >> 8);
        }
    }
}

} // namespace

SoakBoard::SoakBoard(fs::path program, const ScratchDir& dir, std::vector<std::string> args,
                     std::uint64_t seed, const SoakFirstLife& first)
    : program_(std::move(program)), dir_(dir), link_(dir / "ttyVOK"), args_(std::move(args)), seed_(seed),
      presets_(first.Ports), clock_(first.Clock) {
    char at[16];
    std::snprintf(at, sizeof at, "@%X", static_cast<unsigned>(first.ImageAt));
    firstImage_ = dir_.Write("image.bin", first.Image).string() + at;
}

SoakBoard::~SoakBoard() {
    if (sim_) {
        sim_->Stop();
    }
}

bool SoakBoard::PlugIn() {
    ++life_;
    fs::remove(File("io.txt"));
    std::vector<std::string> args = args_;
    // Later lives start with all the last one left, its BIOS data included.
    const std::string memory = File("memory.bin").string();
    const std::string memoryIn = fs::exists(memory) ? memory + "@0" : firstImage_;
    args.insert(args.end(),
                {"--link", link_.string(), "--seed", std::to_string(seed_ * 100 + life_), "--memory-in",
                 memoryIn, "--memory-out", memory, "--io-log", File("io.txt").string(), "--clock-out",
                 File("clock.txt").string(), "--clock", clock_, "--clock-stopped", "--trace",
                 File("trace-" + std::to_string(life_) + ".txt").string()});
    for (std::size_t port = 0; port < presets_.size(); ++port) {
        if (presets_[port] != 0xFF) {
            char preset[16];
            std::snprintf(preset, sizeof preset, "%X=%X", static_cast<unsigned>(port),
                          unsigned{presets_[port]});
            args.insert(args.end(), {"--io", preset});
        }
    }
    sim_.emplace(program_, args, File("stderr-" + std::to_string(life_) + ".txt"));
    if (!sim_->Ok()) {
        sim_.reset();
        return false;
    }
    return true;
}

bool SoakBoard::Pull() {
    if (!sim_) {
        return true;
    }
    const int code = sim_->Stop();
    sim_.reset();
    const std::optional<SoakBoardState> left = ReadOutputs();
    if (code != 0 || !left) {
        return false;
    }
    presets_ = left->Ports;
    clock_ = left->Clock;
    return true;
}

std::optional<SoakBoardState> SoakBoard::State() {
    if (!sim_) {
        return std::nullopt;
    }
    fs::remove(File("clock.txt"));
    sim_->Signal(SIGUSR1);
    // The clock is written last: once it is there, so are the others.
    const auto giveUp = std::chrono::steady_clock::now() + 10s;
    while (!fs::exists(File("clock.txt"))) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(2ms);
    }
    return ReadOutputs();
}

std::optional<SoakBoardState> SoakBoard::ReadOutputs() const {
    SoakBoardState state;
    const std::optional<std::string> memory = FileText(File("memory.bin"));
    const std::optional<std::string> clock = FileText(File("clock.txt"));
    if (!memory || memory->size() != 0x100000 || !clock || clock->size() < 19) {
        return std::nullopt;
    }
    state.Memory = *memory;
    state.Clock = clock->substr(0, 19);
    state.Ports = presets_;
    ApplyIoLog(FileText(File("io.txt")).value_or(std::string()), state.Ports);
    return state;
}

bool SoakBoard::Heard(std::string_view request, int fromLife) const {
    const std::string arrived = "<- 255>254 " + std::string(request);
    for (int life = fromLife; life <= life_; ++life) {
        std::istringstream trace(FileText(File("trace-" + std::to_string(life) + ".txt")).value_or(""));
        std::string line;
        bool arriving = false;
        while (std::getline(trace, line)) {
            if (arriving && line.find("fault mute") == std::string::npos) {
                return true;
            }
            arriving = line.ends_with(arrived);
        }
        if (arriving) {
            return true;
        }
    }
    return false;
}

std::string SoakBoard::TraceTail(std::size_t lines) const {
    std::istringstream trace(FileText(File("trace-" + std::to_string(life_) + ".txt")).value_or(""));
    std::deque<std::string> tail;
    std::string line;
    while (std::getline(trace, line)) {
        tail.push_back(line);
        if (tail.size() > lines) {
            tail.pop_front();
        }
    }
    std::string text;
    for (const std::string& kept : tail) {
        text += "    " + kept + "\n";
    }
    return text;
}

} // namespace ravlo::testing
