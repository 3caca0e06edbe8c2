#include "soak_session.h"

#include "platform/tick.h"
#include "protocol/com_globals.h"
#include "protocol/ma_states.h"
#include "shell/user_level.h"
#include "soak_operations.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace ravlo::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kPort = 3;
constexpr std::uint32_t kDefaultBaud = 4800;
// The link is back after a run, the board found and identified at the transfer rate, by then.
constexpr std::chrono::seconds kLinkLimit{60};
// How long the line is given after a run before the board's state is read.
constexpr std::chrono::milliseconds kSettle{200};
// A master that rests this long with nothing reported has ended the run without a word.
constexpr std::chrono::seconds kQuietLimit{5};
// How long into a run the board may die (half of the deaths within the first frames, the others
// within the time a run moving data takes), and how long it may stay away.
constexpr std::uint32_t kEarlyPullWithinMs = 30;
constexpr std::uint32_t kPullWithinMs = 600;
constexpr std::uint32_t kAwayMinMs = 100;
constexpr std::uint32_t kAwayMaxMs = 3000;
// What no run may ever show.
constexpr std::array<std::string_view, 4> kForbidden = {"Internal error", "another operation in progress",
                                                        "unknown InputMCode", "Unwanted message"};

std::vector<std::string> BoardArgs(const SoakPlan& plan) {
    std::vector<std::string> args{"--board", plan.Vok386 ? "386" : "188"};
    args.insert(args.end(), plan.Faults.begin(), plan.Faults.end());
    return args;
}

SoakFirstLife FirstLife(int seed) {
    std::mt19937 random(static_cast<std::uint32_t>(seed) * 7919U);
    SoakFirstLife life;
    life.Image.resize(0x20000);
    std::generate(life.Image.begin(), life.Image.end(), [&random] { return static_cast<char>(random()); });
    life.ImageAt = 0x10000;
    for (std::uint16_t port = 0x300; port < 0x308; ++port) {
        life.Ports[port] = static_cast<std::uint8_t>(random());
    }
    life.Clock = "2024-02-29T23:59:58";
    return life;
}

// About a second of the line at the rate, at least a page.
std::uint32_t MaxLength(std::uint32_t baud) {
    return std::max<std::uint32_t>(256, baud / 16);
}

std::chrono::milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

} // namespace

SoakSession::SoakSession(const std::filesystem::path& voksim, const SoakPlan& plan)
    : plan_(plan),
      board_(voksim, dir_, BoardArgs(plan), static_cast<std::uint64_t>(plan.Seed), FirstLife(plan.Seed)),
      port_(("RAVLO_COM" + std::to_string(kPort)).c_str(), board_.Link().string()), oldUserLevel_(UserLevel) {
    UserLevel = 2; // the memory view writes
}

SoakSession::~SoakSession() {
    tools_.reset();
    memory_.reset();
    rig_.reset();
    UserLevel = oldUserLevel_;
}

std::optional<std::string> SoakSession::Connect() {
    rig_.emplace("DWN=0 PER=1000 RET=1000 AST=1");
    memory_.emplace(*rig_->ma);
    tools_.emplace(&*rig_->ma);
    if (!board_.PlugIn()) {
        return "the simulator did not start";
    }
    plugTick_ = GetTickCount();
    TRavlo_MA_Process& ma = *rig_->ma;
    ma.DefBd = ma.CurBaud = kDefaultBaud;
    ma.BDLD = plan_.TransferBaud;
    ma.SetChnParam(kPort, kDefaultBaud);
    ma.OpenComm();
    if (!rig_->RunUntil([this] { return LinkReady(); }, kLinkLimit)) {
        return "the board was not identified at " + std::to_string(plan_.TransferBaud) + " baud" + Shown();
    }
    return std::nullopt;
}

bool SoakSession::LinkReady() const {
    const TRavlo_MA_Process& ma = *rig_->ma;
    // An answer since the board last came back: a master that never noticed it was away would
    // otherwise count as connected.
    const bool answeredSincePlug = static_cast<std::int32_t>(ma.LastRecvTick - plugTick_) >= 0;
    return board_.Alive() && answeredSincePlug && ma.Connected == kBoardConnected &&
           ComBaud == plan_.TransferBaud && ma.Device == (plan_.Vok386 ? DEV_Vok386 : DEV_Vok188) &&
           !ma.BiosIdText.empty() && rig_->Idle();
}

void SoakSession::Watch() {
    const TRavlo_MA_Process& ma = *rig_->ma;
    if (ma.ConState != cs_idle && !ma.TimeOutArmed() && watchFault_.empty()) {
        watchFault_ = "waits in " + ConStateText(ma.ConState) + " with no time-out armed";
    }
    const Clock::time_point now = Clock::now();
    if (pullAt_ && now >= *pullAt_) {
        pullAt_.reset();
        plugAt_ = now + awayFor_;
        ++deaths_;
        if (!board_.Pull()) {
            watchFault_ = "the simulator did not end cleanly";
        }
    }
    if (plugAt_ && now >= *plugAt_) {
        plugAt_.reset();
        plugTick_ = GetTickCount();
        if (!board_.PlugIn()) {
            watchFault_ = "the simulator did not start again";
        }
    }
}

SoakRun SoakSession::Run(SoakOp op) {
    std::mt19937 random(static_cast<std::uint32_t>(plan_.Seed) * 7919U +
                        static_cast<std::uint32_t>(op) * 104729U);
    // After a fault of the run before, the board and the link first.
    if (!board_.Alive()) {
        plugTick_ = GetTickCount();
        board_.PlugIn();
    }
    if (!rig_->RunUntil([this] { return LinkReady(); }, kLinkLimit)) {
        return Fault(op, 0ms, "the link was not up before the run" + Shown());
    }
    const std::optional<SoakBoardState> before = board_.State();
    if (!before) {
        return Fault(op, 0ms, "the simulator did not write what the board holds");
    }
    rig_->ClearRecords();
    rig_->views.Pages.clear();
    rig_->views.Setups.clear();
    SoakContext context{*rig_, *memory_, *tools_, dir_, plan_.Vok386, MaxLength(plan_.TransferBaud)};
    const std::unique_ptr<SoakOperation> operation = MakeSoakOperation(op, context, *before, random);
    const bool pull = random() % 100 < static_cast<std::uint32_t>(plan_.PullChance * 100);
    const auto pullAfter =
        std::chrono::milliseconds(random() % (random() % 2 == 0 ? kEarlyPullWithinMs : kPullWithinMs));
    awayFor_ = std::chrono::milliseconds(kAwayMinMs + random() % (kAwayMaxMs - kAwayMinMs));
    watchFault_.clear();

    const int firstLife = board_.Life();
    const Clock::time_point start = Clock::now();
    if (!operation->Start()) {
        return Fault(op, 0ms, "refused at its start" + Shown());
    }
    if (pull) {
        pullAt_ = start + pullAfter;
    }
    SoakOutcome outcome = SoakOutcome::Pending;
    std::optional<Clock::time_point> quietSince;
    rig_->RunUntil(
        [&] {
            Watch();
            if (outcome == SoakOutcome::Pending) {
                outcome = rig_->errors->Texts.empty() ? operation->Reported() : SoakOutcome::Failed;
            }
            if (outcome == SoakOutcome::Pending && rig_->Idle()) {
                quietSince = quietSince.value_or(Clock::now());
            } else {
                quietSince.reset();
            }
            return !watchFault_.empty() ||
                   (outcome != SoakOutcome::Pending && rig_->ma->ConState == cs_idle) ||
                   (quietSince && Clock::now() - *quietSince > kQuietLimit);
        },
        kRunLimit);
    const std::chrono::milliseconds took = Since(start);
    // A board due to die after the run has ended stays; one that died comes back.
    pullAt_.reset();
    if (watchFault_.empty() && outcome == SoakOutcome::Pending) {
        watchFault_ = rig_->Idle() ? "ended without a report" : "had not ended after the run's limit";
    }
    if (watchFault_.empty() && !rig_->RunUntil(
                                   [this] {
                                       Watch();
                                       return !watchFault_.empty() || (!plugAt_ && LinkReady());
                                   },
                                   kLinkLimit)) {
        watchFault_ = "the link did not come back";
    }
    if (!watchFault_.empty()) {
        plugAt_.reset();
        return Fault(op, took, watchFault_ + Shown());
    }
    // A frame sent without answer is reported gone once it has left the host; let it cross the line.
    rig_->RunUntil(
        [this] {
            Watch();
            return false;
        },
        kSettle);
    const std::optional<SoakBoardState> after = board_.State();
    if (!after) {
        return Fault(op, took, "the simulator did not write what the board holds");
    }
    const bool succeeded = outcome == SoakOutcome::Succeeded;
    std::optional<std::string> problem = CheckBoard(*before, *after, operation->Change(), succeeded);
    if (!problem) {
        problem = operation->CheckResult(*before, succeeded);
    }
    std::vector<std::string> texts = rig_->errors->Values();
    for (const auto& box : rig_->presenter.Boxes) {
        texts.push_back(box.Text);
    }
    for (const std::string& text : texts) {
        for (const std::string_view forbidden : kForbidden) {
            if (!problem && text.find(forbidden) != std::string::npos) {
                problem = "it showed \"" + text + "\"";
            }
        }
    }
    if (problem && succeeded && !Heard(operation->Change(), firstLife)) {
        SoakRun unheard = Fault(op, took, "reported done, the board never heard it: " + *problem + Shown());
        unheard.Verdict = SoakVerdict::Unheard;
        return unheard;
    }
    if (problem) {
        return Fault(op, took, (succeeded ? "succeeded, but " : "failed, and ") + *problem + Shown());
    }
    if (std::getenv("RAVLO_SOAK_VERBOSE") != nullptr) {
        std::fprintf(stderr, "%s %s %lld ms%s\n", plan_.Text().c_str(), std::string(SoakOpName(op)).c_str(),
                     static_cast<long long>(took.count()), Shown().c_str());
    }
    return {op, succeeded ? SoakVerdict::Success : SoakVerdict::CleanFailure, took, plan_.Seed, {}};
}

bool SoakSession::Heard(const SoakChange& change, int fromLife) const {
    const auto& port = change.PortWrite;
    if (!port) {
        return true; // every other write is answered
    }
    char request[48];
    std::snprintf(request, sizeof request, "%s port=$%04X value=$%04X", port->Word ? "cIOWrW" : "cIOWr",
                  unsigned{port->Number}, unsigned{port->Value});
    return board_.Heard(request, fromLife);
}

SoakRun SoakSession::Fault(SoakOp op, std::chrono::milliseconds took, const std::string& why) const {
    return {op, SoakVerdict::Fault, took, plan_.Seed,
            std::string(SoakOpName(op)) + ", " + plan_.Text() + ": " + why};
}

std::string SoakSession::Shown() const {
    std::string text;
    if (rig_) {
        for (const std::string& line : rig_->errors->Values()) {
            text += "\n  error: " + line;
        }
        for (const std::string& line : rig_->dialogs->Values()) {
            text += "\n  box: " + line;
        }
        for (const auto& box : rig_->presenter.Boxes) {
            text += "\n  box: " + box.Text;
        }
        for (const std::string& line : rig_->mainForm.Events) {
            text += "\n  event: " + line;
        }
        const TRavlo_MA_Process& ma = *rig_->ma;
        text += "\n  master: " + ConStateText(ma.ConState) + ", " + RavloStateText(ma.LinkState) +
                ", Connected " + std::to_string(ma.Connected) + ", Device " + std::to_string(ma.Device) +
                " \"" + ma.BiosIdText + "\", ComBaud " + std::to_string(ComBaud);
    }
    return text + "\n  the board's last frames:\n" + board_.TraceTail();
}

} // namespace ravlo::testing
