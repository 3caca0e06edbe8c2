// voksim: a simulated Vok board on a pseudo-terminal, for tests, benchmarks and runs without a board.
#include "voksim/board_session.h"
#include "voksim/pty_port.h"
#include "voksim/sim_options.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

namespace ravlo::voksim {
namespace {

volatile std::sig_atomic_t g_stop_signal = 0;
volatile std::sig_atomic_t g_outputs_asked = 0;

void OnStopSignal(int signal) {
    g_stop_signal = signal;
}

void OnOutputsSignal(int) {
    g_outputs_asked = 1;
}

Ns Now() {
    return std::chrono::duration_cast<Ns>(std::chrono::steady_clock::now().time_since_epoch());
}

constexpr Ns kMinWait = std::chrono::milliseconds(1);

class Server {
public:
    Server(PtyPort& pty, BoardSession& session) : pty_(pty), session_(session) {}

    // Runs until a stop signal arrives; signals are let in only while waiting. Each SIGUSR1 has
    // the outputs written.
    template <class WriteOutputs>
    void Run(const sigset_t& wait_mask, WriteOutputs write_outputs) {
        while (g_stop_signal == 0) {
            if (g_outputs_asked != 0) {
                g_outputs_asked = 0;
                write_outputs();
            }
            Pump(Now());
            // Bytes are taken as soon as the host writes them: they enter the line with the rate
            // the host has set at that moment, as on a real port, whatever it sets later. (The
            // terminal does not say when they were written: a host that changes its rate within
            // the moment after writing, before this read, is not told apart.)
            pollfd fd{pty_.MasterFd(), POLLIN, 0};
            if (!unwritten_.empty()) {
                fd.events |= POLLOUT;
            }
            timespec wait{};
            const timespec* timeout = nullptr;
            if (const auto next = session_.NextWakeup()) {
                const Ns left = std::max(*next - Now(), kMinWait);
                wait.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
                wait.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
                timeout = &wait;
            }
            if (ppoll(&fd, 1, timeout, &wait_mask) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw EStreamError(std::string("poll failed: ") + std::strerror(errno));
            }
            if ((fd.revents & POLLIN) != 0) {
                ReadHost();
            }
        }
    }

private:
    HostLine Line() const { return pty_.ReadHostLine().value_or(HostLine{session_.Baud(), true}); }

    void Pump(Ns now) {
        session_.Advance(now);
        const auto out = session_.TakeOutput(now, Line());
        unwritten_.insert(unwritten_.end(), out.begin(), out.end());
        while (!unwritten_.empty()) {
            const ssize_t written = write(pty_.MasterFd(), unwritten_.data(), unwritten_.size());
            if (written < 0) {
                if (errno == EAGAIN || errno == EINTR) {
                    return; // the host's input buffer is full; POLLOUT says when to go on
                }
                throw EStreamError(std::string("cannot write to the terminal: ") + std::strerror(errno));
            }
            unwritten_.erase(unwritten_.begin(), unwritten_.begin() + written);
        }
    }

    void ReadHost() {
        std::array<std::uint8_t, 4096> buffer{};
        const ssize_t count = read(pty_.MasterFd(), buffer.data(), buffer.size());
        if (count > 0) {
            session_.FromHost({buffer.data(), static_cast<std::size_t>(count)}, Now(), Line());
        }
    }

    PtyPort& pty_;
    BoardSession& session_;
    std::vector<std::uint8_t> unwritten_;
};

int Serve(const SimOptions& options, const sigset_t& wait_mask) {
    const Ns start = Now();
    TraceLog trace;
    if (options.trace) {
        trace = TraceLog(*options.trace, start);
    }
    BoardSession session(options.session, trace, start);
    for (const MemoryLoad& load : options.memory_in) {
        session.Model().Memory().LoadFile(load.file, load.address);
    }
    for (const IoPreset& preset : options.io_presets) {
        session.Model().Io().Preset(preset.port, preset.value);
    }
    PtyPort pty(options.session.baud);
    std::optional<SlaveLink> link;
    if (options.link) {
        link.emplace(*options.link, pty.SlavePath());
    }
    std::printf("%s\n", pty.SlavePath().c_str());
    std::fflush(stdout);

    // Each file is replaced whole, the clock last: once it is there, the others are too.
    const auto write_outputs = [&options, &session] {
        if (options.memory_out) {
            session.Model().Memory().SaveFile(*options.memory_out);
        }
        if (options.io_log) {
            session.Model().Io().SaveLog(*options.io_log);
        }
        if (options.clock_out) {
            const std::string text = ClockTimeText(session.Model().ClockNow(Now())) + "\n";
            WriteFileAtomically(*options.clock_out,
                                {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        }
    };
    Server(pty, session).Run(wait_mask, [&] {
        write_outputs();
        trace.Line(Now(), "outputs written");
    });

    trace.Line(Now(), "stopped by signal " + std::to_string(static_cast<int>(g_stop_signal)));
    write_outputs();
    std::fputs(session.Summary().c_str(), stderr);
    return 0;
}

} // namespace
} // namespace ravlo::voksim

int main(int argc, char** argv) {
    using namespace ravlo::voksim;
    const std::vector<std::string> args(argv + 1, argv + argc);
    SimOptions options;
    try {
        options = ParseSimOptions(args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "voksim: %s\nTry 'voksim --help'.\n", error.what());
        return 2;
    }
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }

    // The stop signals (and the outputs' signal) stay blocked except inside ppoll, so none slips in between
    // two checks.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) {
        sigaddset(&stop_signals, signal);
    }
    sigset_t wait_mask;
    sigprocmask(SIG_BLOCK, &stop_signals, &wait_mask);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    action.sa_handler = OnOutputsSignal;
    sigaction(SIGUSR1, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
        return 0; // the parent died before the watch was set
    }

    try {
        return Serve(options, wait_mask);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "voksim: %s\n", error.what());
        return 1;
    }
}
