// Step rate of the scheduler drives and the cost of one process message, on the plain pump and
// under the Qt loop. The rates depend on the machine and its load; they are reported, not judged.

#include "framework/ui/qt_message_pump.h"
#include "kernel/proc_mess_host.h"
#include "kernel/process_coll.h"
#include "kernel/scheduler_runner.h"
#include "kernel/sys_addr.h"
#include "kernel/ui/qt_scheduler_drive.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using namespace ravlo;
using Clock = std::chrono::steady_clock;

constexpr auto kRunTime = std::chrono::milliseconds(250);

// Counts its ticks and the messages it receives.
class CountingProcess : public TProcess {
public:
    using TProcess::TProcess;
    void Tick() override { ++ticks; }
    void WorkProcMess(TProcMess&, bool& keep) override {
        ++messages;
        keep = false;
    }
    std::uint64_t ticks = 0;
    std::uint64_t messages = 0;
};

// A registry with one window serving $2000..$20FF and one counting process [60,01,2001].
class BenchKernel {
public:
    BenchKernel() {
        TProcLabel label;
        label.NAM = "BENCH";
        label.ADR = TProcAdr{0x60, 0, 0x2001};
        process = static_cast<CountingProcess*>(coll.AddProcess(std::make_unique<CountingProcess>(&label)));
        host.Register("MAIN", 0x2000, 0x20FF);
    }

    TSysAddrColl registry;
    ScopedSysAddrColl guard{registry};
    TProcessColl coll;
    ProcMessHost host{&coll};
    CountingProcess* process = nullptr;
};

// Runs one drive for kRunTime per iteration and reports the process's ticks per second.
template <class RunFor>
void MeasureSteps(benchmark::State& state, const CountingProcess& process, RunFor runFor) {
    for (auto _ : state) {
        const std::uint64_t before = process.ticks;
        const auto start = Clock::now();
        runFor([start] { return Clock::now() - start >= kRunTime; });
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.counters["steps_per_s"] =
            benchmark::Counter(static_cast<double>(process.ticks - before) / seconds);
    }
}

void BM_WorkerDrivePlainPump(benchmark::State& state) {
    BenchKernel kernel;
    MeasureSteps(state, *kernel.process, [&state](const auto& done) {
        SchedulerRunner runner(SchedulerDriveFor(5, static_cast<unsigned>(state.range(0))));
        runner.Start();
        runner.RunPlainPump(done);
    });
}
BENCHMARK(BM_WorkerDrivePlainPump)->Arg(0)->Arg(5)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_IdleDrivePlainPump(benchmark::State& state) {
    BenchKernel kernel;
    MeasureSteps(state, *kernel.process, [](const auto& done) {
        SchedulerRunner runner(SchedulerDriveFor(0, 0));
        runner.RunPlainPump(done);
    });
}
BENCHMARK(BM_IdleDrivePlainPump)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WorkerDriveQt(benchmark::State& state) {
    QtMessagePump pump;
    BenchKernel kernel;
    MeasureSteps(state, *kernel.process, [&state](const auto& done) {
        QtSchedulerDrive scheduler(SchedulerDriveFor(5, static_cast<unsigned>(state.range(0))));
        scheduler.Start();
        QEventLoop loop;
        while (!done()) {
            loop.processEvents(QEventLoop::AllEvents, 5);
        }
    });
}
BENCHMARK(BM_WorkerDriveQt)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PostAndDeliver(benchmark::State& state) {
    BenchKernel kernel;
    const std::vector<std::uint8_t> data(static_cast<std::size_t>(state.range(0)), 0x55);
    for (auto _ : state) {
        TProcMess::Create(TProcAdr{0x60, 1, 0x2001}, TProcAdr{0x60, 1, 0x2001}, 0, 0, 1, data).SendProcMess();
        AppMessageQueue().PumpAll();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(kernel.process->messages));
}
BENCHMARK(BM_PostAndDeliver)->Arg(0)->Arg(256);

} // namespace

// The Qt drive needs an application object, so this program brings its own main.
int main(int argc, char** argv) {
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
