#include "voksim/sim_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace ravlo::voksim {

namespace {

using Apply = void (*)(SimOptions&, std::string_view);

struct OptionSpec {
    std::string_view name;
    std::string_view arg; // empty for a switch
    std::string_view help;
    Apply apply;
};

[[noreturn]] void Refuse(std::string_view what, std::string_view value, std::string_view why) {
    throw UsageError(std::string(what) + " '" + std::string(value) + "': " + std::string(why));
}

std::uint64_t ParseNumber(std::string_view what, std::string_view text, std::uint64_t max, int base = 10) {
    std::string_view digits = text;
    if (base == 16) {
        if (digits.starts_with("$")) {
            digits.remove_prefix(1);
        } else if (digits.starts_with("0x") || digits.starts_with("0X")) {
            digits.remove_prefix(2);
        }
    }
    std::uint64_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [last, error] = std::from_chars(digits.data(), end, value, base);
    if (digits.empty() || error != std::errc{} || last != end) {
        Refuse(what, text, base == 16 ? "not a hexadecimal number" : "not a whole number");
    }
    if (value > max) {
        Refuse(what, text, "larger than " + std::to_string(max));
    }
    return value;
}

double ParseRate(std::string_view what, std::string_view text) {
    double rate = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, rate);
    if (text.empty() || error != std::errc{} || last != end || !(rate >= 0.0 && rate <= 1.0)) {
        Refuse(what, text, "not a probability from 0 to 1");
    }
    return rate;
}

FaultWhen ParseWhen(std::string_view what, std::string_view text) {
    const auto when = ParseFaultWhen(text);
    if (!when) {
        Refuse(what, text, "give 'all', a count N (the first N) or a probability such as 0.25");
    }
    return *when;
}

// Splits "A:B" at its first colon; B is empty when there is none.
std::pair<std::string_view, std::string_view> SplitColon(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, colon), text.substr(colon + 1)};
}

void SetWhen(SimOptions& o, Fault fault, std::string_view what, std::string_view text) {
    o.session.faults.when[static_cast<std::size_t>(fault)] = ParseWhen(what, text);
}

std::vector<std::uint8_t> ParseFrameBytes(std::string_view what, std::string_view text) {
    if (text.empty() || text.size() % 2 != 0) {
        Refuse(what, text, "give the frame as pairs of hexadecimal digits");
    }
    std::vector<std::uint8_t> frame;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        frame.push_back(static_cast<std::uint8_t>(ParseNumber(what, text.substr(i, 2), 0xFF, 16)));
    }
    if (frame.size() == 1) {
        frame.insert(frame.end(), {0, 0}); // a type alone: add the reserved bytes
    }
    return frame;
}

const std::array kOptions{
    OptionSpec{"--board", "v40|386|188", "board personality: VokV40, Vok386EXR or Vok188ER (default 386)",
               +[](SimOptions& o, std::string_view v) {
                   const auto kind = ParseBoardKind(v);
                   if (!kind) {
                       Refuse("--board", v, "give v40, 386 or 188");
                   }
                   o.session.board = *kind;
               }},
    OptionSpec{"--link", "PATH", "make PATH a symbolic link to the slave end (removed at exit)",
               +[](SimOptions& o, std::string_view v) {
                   o.link = std::filesystem::path(v);
               }},
    OptionSpec{"--baud", "N", "starting line rate: 4800 (default), 9600, 19200, 38400, 57600 or 115200",
               +[](SimOptions& o, std::string_view v) {
                   const auto baud = static_cast<std::uint32_t>(ParseNumber("--baud", v, 115200));
                   if (!IsBoardBaud(baud)) {
                       Refuse("--baud", v, "not a rate the board runs at");
                   }
                   o.session.baud = baud;
               }},
    OptionSpec{"--no-throttle", "", "deliver and accept bytes at once instead of at the line rate",
               +[](SimOptions& o, std::string_view) {
                   o.session.throttle = false;
               }},
    OptionSpec{"--seed", "N", "seed of every random fault decision (default 1)",
               +[](SimOptions& o, std::string_view v) {
                   o.session.seed = ParseNumber("--seed", v, std::numeric_limits<std::uint64_t>::max());
               }},
    OptionSpec{"--memory-in", "FILE@ADDR",
               "load FILE into memory at the linear hex address ADDR (repeatable)",
               +[](SimOptions& o, std::string_view v) {
                   const auto at = v.rfind('@');
                   if (at == std::string_view::npos || at == 0) {
                       Refuse("--memory-in", v, "give FILE@ADDR");
                   }
                   const auto address = ParseNumber("--memory-in", v.substr(at + 1), 0xFFFFF, 16);
                   o.memory_in.push_back(
                       {std::filesystem::path(v.substr(0, at)), static_cast<std::uint32_t>(address)});
               }},
    OptionSpec{"--memory-out", "FILE", "write the whole 1 MB of memory to FILE at exit",
               +[](SimOptions& o, std::string_view v) {
                   o.memory_out = std::filesystem::path(v);
               }},
    OptionSpec{"--trace", "FILE", "write one line per frame in and out to FILE ('-' for stderr)",
               +[](SimOptions& o, std::string_view v) {
                   o.trace = std::filesystem::path(v);
               }},
    OptionSpec{"--node", "N", "the board's node number (default 254; 0 takes frames for any node)",
               +[](SimOptions& o, std::string_view v) {
                   o.session.node = static_cast<std::uint8_t>(ParseNumber("--node", v, 255));
               }},
    OptionSpec{"--host-node", "N", "the host's node number, for unsolicited frames (default 255)",
               +[](SimOptions& o, std::string_view v) {
                   o.session.host_node = static_cast<std::uint8_t>(ParseNumber("--host-node", v, 255));
               }},
    OptionSpec{"--memd-size", "N", "data bytes in one MemD frame, 1 to 4096 (default 64)",
               +[](SimOptions& o, std::string_view v) {
                   o.session.model.memd_size = static_cast<std::size_t>(ParseNumber("--memd-size", v, 4096));
                   if (o.session.model.memd_size == 0) {
                       Refuse("--memd-size", v, "must be at least 1");
                   }
               }},
    OptionSpec{"--strict-load", "", "refuse (leave unanswered) a Load that is not one aligned board block",
               +[](SimOptions& o, std::string_view) {
                   o.session.model.strict_load = true;
               }},
    OptionSpec{"--io", "PORT=VALUE",
               "preset the byte an IO port reads, both hex (repeatable; others read FF)",
               +[](SimOptions& o, std::string_view v) {
                   const auto equals = v.find('=');
                   if (equals == std::string_view::npos) {
                       Refuse("--io", v, "give PORT=VALUE");
                   }
                   o.io_presets.push_back(
                       {static_cast<std::uint16_t>(ParseNumber("--io", v.substr(0, equals), 0xFFFF, 16)),
                        static_cast<std::uint8_t>(ParseNumber("--io", v.substr(equals + 1), 0xFF, 16))});
               }},
    OptionSpec{"--io-log", "FILE", "write a line per IO write to FILE at exit",
               +[](SimOptions& o, std::string_view v) {
                   o.io_log = std::filesystem::path(v);
               }},
    OptionSpec{"--clock", "TIME", "the board clock's start, YYYY-MM-DDThh:mm:ss (default: local time)",
               +[](SimOptions& o, std::string_view v) {
                   const auto time = ParseClockTime(v);
                   if (!time) {
                       Refuse("--clock", v, "not a date and time from 1980 to 2099 as YYYY-MM-DDThh:mm:ss");
                   }
                   o.session.clock_start = *time;
               }},
    OptionSpec{"--clock-out", "FILE", "write the board clock's time to FILE at exit, as --clock takes it",
               +[](SimOptions& o, std::string_view v) {
                   o.clock_out = std::filesystem::path(v);
               }},
    OptionSpec{"--clock-stopped", "", "the board clock stands still (it keeps what it was set to)",
               +[](SimOptions& o, std::string_view) {
                   o.session.clock_stopped = true;
               }},
    OptionSpec{"--drop-rate", "R", "fault: drop each line byte, both ways, with probability R",
               +[](SimOptions& o, std::string_view v) {
                   o.session.faults.drop_rate = ParseRate("--drop-rate", v);
               }},
    OptionSpec{"--corrupt-rate", "R", "fault: corrupt each line byte, both ways, with probability R",
               +[](SimOptions& o, std::string_view v) {
                   o.session.faults.corrupt_rate = ParseRate("--corrupt-rate", v);
               }},
    OptionSpec{"--mute", "WHEN", "fault: requests are not heard (no effect, no answer); 'all' for good",
               +[](SimOptions& o, std::string_view v) {
                   SetWhen(o, Fault::Mute, "--mute", v);
               }},
    OptionSpec{"--wrong-address", "WHEN", "fault: memory answers carry MemD addresses one paragraph off",
               +[](SimOptions& o, std::string_view v) {
                   SetWhen(o, Fault::WrongAddress, "--wrong-address", v);
               }},
    OptionSpec{"--early-meme", "WHEN", "fault: memory answers end with MemE after half of the bytes",
               +[](SimOptions& o, std::string_view v) {
                   SetWhen(o, Fault::EarlyMemE, "--early-meme", v);
               }},
    OptionSpec{"--empthal", "WHEN", "fault: Rqst is answered with EmptHAL",
               +[](SimOptions& o, std::string_view v) {
                   SetWhen(o, Fault::EmptHAL, "--empthal", v);
               }},
    OptionSpec{"--check-err", "WHEN", "fault: Chcksum is answered with CheckErr",
               +[](SimOptions& o, std::string_view v) {
                   SetWhen(o, Fault::CheckErr, "--check-err", v);
               }},
    OptionSpec{"--clock-err", "WHEN[:VALUE]",
               "fault: GetRTC and SetRTC are answered with Err carrying the hex VALUE\n"
               "(default 31 and 30, the BIOS's \"no clock\" numbers)",
               +[](SimOptions& o, std::string_view v) {
                   const auto [when, value] = SplitColon(v);
                   SetWhen(o, Fault::ClockErr, "--clock-err", when);
                   if (!value.empty()) {
                       o.session.faults.clock_err_value =
                           static_cast<std::uint16_t>(ParseNumber("--clock-err", value, 0xFFFF, 16));
                   }
               }},
    OptionSpec{"--delay", "MS[:WHEN]", "fault: answers leave MS milliseconds late (default WHEN: all)",
               +[](SimOptions& o, std::string_view v) {
                   const auto [ms, when] = SplitColon(v);
                   o.session.faults.delay = std::chrono::milliseconds(ParseNumber("--delay", ms, 3'600'000));
                   SetWhen(o, Fault::Delay, "--delay", when.empty() ? std::string_view("all") : when);
               }},
    OptionSpec{"--unsolicited", "MS[:FRAME]",
               "fault: MS ms after the first request, send the board frame FRAME unasked\n"
               "(hex; a type alone gets its two reserved bytes; default D6, MemE)",
               +[](SimOptions& o, std::string_view v) {
                   const auto [ms, frame] = SplitColon(v);
                   o.session.faults.unsolicited_after =
                       std::chrono::milliseconds(ParseNumber("--unsolicited", ms, 3'600'000));
                   o.session.faults.unsolicited_frame =
                       ParseFrameBytes("--unsolicited", frame.empty() ? "D6" : frame);
               }},
};

} // namespace

SimOptions ParseSimOptions(std::span<const std::string> args) {
    SimOptions options;
    options.session.clock_start = LocalClockTime();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view word = args[i];
        if (word == "-h" || word == "--help") {
            options.help = true;
            continue;
        }
        std::string_view name = word;
        std::optional<std::string_view> value;
        if (const auto equals = word.find('='); word.starts_with("--") && equals != std::string_view::npos) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
        }
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& candidate : kOptions) {
            if (candidate.name == name) {
                spec = &candidate;
            }
        }
        if (spec == nullptr) {
            throw UsageError("unknown option '" + std::string(word) + "'");
        }
        if (spec->arg.empty()) {
            if (value) {
                throw UsageError(std::string(name) + " takes no value");
            }
            spec->apply(options, {});
            continue;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                throw UsageError(std::string(name) + " needs a value: " + std::string(spec->arg));
            }
            value = args[++i];
        }
        spec->apply(options, *value);
    }
    return options;
}

std::string HelpText() {
    std::string text =
        "Usage: voksim [OPTION]...\n"
        "A simulated Vok board at the far end of a pseudo-terminal. The first line on stdout is the\n"
        "path of the terminal's slave end; open it as the board's serial port. voksim serves until\n"
        "SIGTERM, SIGINT, SIGHUP or the death of its parent, then writes its outputs and a summary\n"
        "(to stderr) and exits 0; SIGUSR1 makes it write its outputs (memory, IO log, clock) at\n"
        "once and serve on. The board is node 254 and answers the host's node 255.\n"
        "\nOptions:\n";
    for (const OptionSpec& spec : kOptions) {
        std::string head =
            "  " + std::string(spec.name) + (spec.arg.empty() ? "" : " " + std::string(spec.arg));
        head.resize(std::max<std::size_t>(head.size() + 1, 27), ' ');
        std::string help(spec.help);
        for (std::size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1)) {
            help.insert(at + 1, std::string(27, ' '));
        }
        text += head + help + "\n";
    }
    text += "  -h, --help               show this text\n"
            "\nWHEN is 'all', a count N (the first N frames the fault can strike) or a probability\n"
            "with a decimal point (0.25), drawn from the seeded generator. Faults are reproducible:\n"
            "the same seed and the same traffic give the same faults.\n";
    return text;
}

} // namespace ravlo::voksim
