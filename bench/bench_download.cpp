// Downloads a project of about 64 KiB into the board simulator at 115200 baud with the line
// throttled to that rate: the board master process, the communication process and the channel
// stack at work over a pseudo-terminal, for a Vok188 (256-byte Loads) and a Vok386 (512-byte
// Loads). Reports the payload rate as a share of the line rate and of the protocol's own ceiling
// (the wire time of every Load frame and its acknowledgement); the runs without the board's
// checksum of each module show what that final check adds. The worker-thread drives run side by
// side: the 1 ms polling of every step against the program's pause until the next step is due.
#include "../tests/support/built_program.h"
#include "../tests/support/voksim_child.h"
#include "channels/chn_collection.h"
#include "channels/chn_virt.h"
#include "channels/link_frame_builder.h"
#include "fixtures/checked_project.h"
#include "fixtures/mem_design.h"
#include "fixtures/program_layout.h"
#include "fixtures/sample_programs.h"
#include "framework/app_names.h"
#include "framework/file_paths.h"
#include "kernel/proc_mess_host.h"
#include "kernel/process_coll.h"
#include "kernel/process_factory.h"
#include "kernel/sys_addr.h"
#include "kernel/time_mess.h"
#include "kernel/worker_thread.h"
#include "platform/input_wake.h"
#include "platform/message_queue.h"
#include "platform/presenter.h"
#include "platform/tick.h"
#include "project/bin_writer.h"
#include "project/download.h"
#include "project/mem_file.h"
#include "project/module_collection.h"
#include "project/project_files.h"
#include "project/project_globals.h"
#include "protocol/com_globals.h"
#include "protocol/ma_process.h"
#include "protocol/protocol_process_types.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <unistd.h>

namespace {

using namespace ravlo;
using namespace ravlo::fixtures;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kBaud = 115200;
constexpr std::uint8_t kPort = 7;
constexpr double kBitsPerByte = 11; // 8 data bits, odd parity, one stop bit

constexpr const char* kIni = "[SECTIONS]\r\nRD_SECTION=RAVLO\r\nWR_SECTION=RAVLO_WR\r\n[RAVLO]\r\n"
                             "LABELCOLL=PFX=PL\r\n"
                             "PL00=NAM=MA PRS=$70 ADR=[70,00,2001] PCO=MAINPC\r\n"
                             "PL01=NAM=COMM PRS=$87 ADR=[87,00,2001] PCO=MAINPC\r\n"
                             "PL02=NAM=TMPERR PRS=$73 ADR=[73,00,2001] PCO=MAINPC\r\n"
                             "PL03=NAM=DLG PRS=$8F ADR=[8F,00,2001] PCO=MAINPC\r\n"
                             "MAINPC=AT=2\r\nMA=DWN=0 PER=0 RET=1000 AST=1\r\n";

// The board side of a download: the master's write of a whole module, with or without the board's
// checksum at its end.
class MasterBoardDownloader final : public TBoardDownloader {
public:
    MasterBoardDownloader(TRavlo_MA_Process& master, bool check) : master_(master), check_(check) {}
    bool WriteRomModule(TSegOfsPtr address, std::vector<std::uint8_t> data,
                        std::string_view shownName) override {
        payload += data.size();
        loadData.push_back(data);
        return check_ ? master_.WriteRomModule(address, std::move(data), shownName)
                      : master_.WriteMemBlock(address, std::move(data), shownName);
    }
    std::size_t payload = 0;
    std::vector<std::vector<std::uint8_t>> loadData;

private:
    TRavlo_MA_Process& master_;
    bool check_;
};

// A project of about 64 KiB of code in one ROM module, generated into a scratch folder.
class SmallRomProject {
public:
    explicit SmallRomProject(const std::filesystem::path& dir) {
        LargeProgramParams params;
        params.codeBytes = 63 * 1024 + 512;
        params.codeSegments = 8;
        params.relocations = 400;
        const ProgramLayout layout = LayOutProgram(MakeLargeProgram(params));
        DesignOptions options;
        options.romSegment = 0x4000;
        options.romLength = 0x10000;
        const FixtureDesign design = PlaceAllUnits(layout, options);
        ResetProjectGlobals();
        if (!OpenProjectFixture(dir, "BENCH", layout, &design) || !ProjectModel().Modules->CheckDesign() ||
            GenerateBinFiles(*ProjectModel().Modules)) {
            throw std::runtime_error("the benchmark project does not generate");
        }
    }
    ~SmallRomProject() { ResetProjectGlobals(); }
};

// The processes of the program's protocol layer in one process window, on the simulator's line.
class DownloadSetup {
public:
    explicit DownloadSetup(DEV_VokType board)
        : dir_(std::filesystem::temp_directory_path() /
               ("ravlo_bench_download_" + std::to_string(::getpid()))),
          silent_([](std::string_view) {}), presenter_(silent_), registry_(registryObj_), timed_(timedObj_) {
        std::filesystem::create_directories(dir_);
        ::setenv("RAVLO_HOME", dir_.c_str(), 1);
        const auto program = testing::FindBuiltProgram("voksim");
        if (!program) {
            throw std::runtime_error("voksim is not built beside the benchmarks");
        }
        sim_.emplace(*program, std::vector<std::string>{"--board", board == DEV_Vok386 ? "386" : "188",
                                                        "--baud", "115200"});
        if (!sim_->Ok()) {
            throw std::runtime_error("voksim did not start");
        }
        ::setenv("RAVLO_COM7", sim_->SlavePath().c_str(), 1);
        const auto ini = dir_ / "BENCH.INI";
        std::ofstream(ini) << kIni;
        InitAppNames(dir_ / "ravlo", std::vector<std::string>{ini.string()});
        CheckAppIni();
        project_.emplace(dir_);

        FreeChnCollection();
        RegisterChannelTypes();
        RegisterProtocolProcessTypes();
        RegisterProcessType(PT_RavloMA, CreateFromLabel<TRavlo_MA_Process>);
        labels_ = MakeNamed<TRavloProcLabelColl>("LABELCOLL");
        SetProcLabelColl(labels_.get());
        coll_ = MakeNamed<TProcessColl>("MAINPC");
        coll_->Name = "MAINPC";
        host_.SetColl(coll_.get());
        host_.Register("MAIN", 0x2000, 0x20FF);
        coll_->CreateStaticProcesses();
        master = dynamic_cast<TRavlo_MA_Process*>(coll_->GetProcByIdent(PT_RavloMA));
        master->DefBd = master->BDLD = master->CurBaud = kBaud;
        master->SetChnParam(kPort, kBaud);
        master->OpenComm();
        master->SendRqst();
        if (!RunUntil([this, board] { return master->Device == board && Idle(); },
                      std::chrono::seconds(20))) {
            throw std::runtime_error("the board was not identified");
        }
    }
    ~DownloadSetup() {
        master->CloseComm();
        RunUntil([this] { return master->LinkState == ravlost_Inactive; }, std::chrono::seconds(3));
        coll_.reset();
        SetProcLabelColl(nullptr);
        AppMessageQueue().Clear();
        FreeChnCollection();
        ResetProcessTypes();
        ResetComGlobals();
        project_.reset();
        ResetAppNames();
        sim_.reset();
        std::error_code error;
        std::filesystem::remove_all(dir_, error);
    }

    bool Idle() const {
        return master->ConState == cs_idle && master->QueueCount() == 0 && master->State == ma_st_Ia;
    }

    // The program's loop: due timed messages, a scheduler step, and every message delivered as soon
    // as it is posted (as the GUI loop does), the steps back to back.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto giveUp = Clock::now() + limit;
        const auto pump = [] {
            while (AppMessageQueue().PumpAll() > 0) {
            }
        };
        while (!done() && Clock::now() < giveUp) {
            timedObj_.SendProcMessages(GetTickCount());
            pump();
            coll_->TickAll();
            pump();
        }
        return done();
    }

    // The worker thread asks for each step with a pause of SHR 0 (1 ms) between them, which input
    // registered in inputs may end early; this thread runs the steps. With untilDue (the program's
    // drive) the pause lasts until the processes' next step is due while none has work, and this
    // loop tells the worker whenever it has delivered messages, as the GUI loop does before it
    // sleeps.
    bool RunWorkerUntil(const std::function<bool()>& done, InputWakeRegistry& inputs,
                        std::chrono::milliseconds limit, bool untilDue) {
        const auto giveUp = Clock::now() + limit;
        TWorkerThread::DueQuery due;
        if (untilDue) {
            due = [this](std::uint64_t now) {
                return coll_->NextTickDue(now);
            };
        }
        TWorkerThread worker([this] { Step(); }, 0, TThreadPriority::tpHigher, AppMessageQueue(), inputs,
                             std::move(due));
        worker.Resume();
        while (!done() && Clock::now() < giveUp) {
            AppMessageQueue().WaitAndPump(std::chrono::milliseconds(5));
            worker.Reschedule();
        }
        worker.Terminate();
        return done();
    }

    TRavlo_MA_Process* master = nullptr;

private:
    // One step as the worker thread has it run; what it posts is delivered by the pumping loop.
    void Step() {
        timedObj_.SendProcMessages(GetTickCount());
        coll_->TickAll();
    }

    std::filesystem::path dir_;
    HeadlessPresenter silent_;
    ScopedPresenter presenter_;
    TSysAddrColl registryObj_;
    ScopedSysAddrColl registry_;
    TTimeMessColl timedObj_;
    ScopedTimeMessColl timed_;
    std::optional<testing::VoksimChild> sim_;
    std::optional<SmallRomProject> project_;
    std::unique_ptr<TRavloProcLabelColl> labels_;
    std::unique_ptr<TProcessColl> coll_;
    ProcMessHost host_;
};

// Seconds the line needs for every Load of the data (blocks of the board's size, the last one
// padded with the board's bytes) and its one-frame acknowledgement.
double CeilingSeconds(const std::vector<std::vector<std::uint8_t>>& modules, std::size_t blockSize) {
    std::size_t wire = 0;
    const std::vector<std::uint8_t> ack{ft_Empt188, 0, 0};
    for (const auto& data : modules) {
        for (std::size_t at = 0; at < data.size(); at += blockSize) {
            std::vector<std::uint8_t> block(blockSize, 0xFF);
            std::copy(data.begin() + static_cast<std::ptrdiff_t>(at),
                      data.begin() + static_cast<std::ptrdiff_t>(std::min(at + blockSize, data.size())),
                      block.begin());
            wire += LinkFrameWireSize(254, 255, BuildLoadFrame(MakeFarPtr(0, 0x4000), block).Bytes()) +
                    LinkFrameWireSize(255, 254, ack);
        }
    }
    return static_cast<double>(wire) * kBitsPerByte / kBaud;
}

// How the scheduler steps are driven while the download runs.
enum DriveMode : std::int64_t {
    kBackToBack = 0,
    kWorkerPlainPause = 1, // the worker thread with nothing registered to end its pause early
    kWorkerInputWake = 2,  // the worker thread with the serial port ending its pause on input
    kWorkerUntilDue = 3,   // ... and pausing until the next step is due while no process has work
};

void BM_DownloadToVoksim(benchmark::State& state) {
    const auto board = static_cast<DEV_VokType>(state.range(0));
    const auto mode = static_cast<DriveMode>(state.range(1));
    const bool check = state.range(2) != 0;
    const std::size_t blockSize = board == DEV_Vok386 ? 512 : 256;
    std::optional<DownloadSetup> setup;
    try {
        setup.emplace(board);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    double seconds = 0;
    std::size_t payload = 0;
    double ceiling = 0;
    for (auto _ : state) {
        MasterBoardDownloader downloader(*setup->master, check);
        const auto start = Clock::now();
        const auto idle = [&] {
            return setup->Idle();
        };
        InputWakeRegistry nothingRegistered;
        const bool finished =
            !DownloadProject(downloader) ? false
            : mode == kBackToBack
                ? setup->RunUntil(idle, std::chrono::seconds(60))
                : setup->RunWorkerUntil(idle, mode == kWorkerPlainPause ? nothingRegistered : AppInputWake(),
                                        std::chrono::seconds(60), mode == kWorkerUntilDue);
        if (!finished || setup->master->Connected != kBoardConnected) {
            state.SkipWithError("the download failed");
            return;
        }
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(took);
        seconds += took;
        payload += downloader.payload;
        ceiling += CeilingSeconds(downloader.loadData, blockSize);
    }
    const double rate = static_cast<double>(payload) / seconds;
    const double lineRate = kBaud / kBitsPerByte;
    state.SetBytesProcessed(static_cast<std::int64_t>(payload));
    state.counters["payload_Bps"] = rate;
    state.counters["of_line_rate"] = rate / lineRate;
    state.counters["of_protocol_ceiling"] = rate / (static_cast<double>(payload) / ceiling);
    state.counters["seconds"] = seconds / static_cast<double>(state.iterations());
    state.SetLabel(std::string(board == DEV_Vok386 ? "Vok386, " : "Vok188, ") +
                   std::to_string(payload / static_cast<std::size_t>(state.iterations())) +
                   " payload bytes, " +
                   (mode == kBackToBack         ? "steps back to back"
                    : mode == kWorkerPlainPause ? "worker thread, plain 1 ms pause"
                    : mode == kWorkerInputWake  ? "worker thread, 1 ms pause ended by input"
                                                : "worker thread, pause until due, ended by input") +
                   (check ? ", board checksum of each module" : ", no final checksum"));
}
BENCHMARK(BM_DownloadToVoksim)
    ->ArgNames({"board", "drive", "check"})
    ->Args({DEV_Vok188, kBackToBack, 1})
    ->Args({DEV_Vok188, kWorkerPlainPause, 1})
    ->Args({DEV_Vok188, kWorkerInputWake, 1})
    ->Args({DEV_Vok188, kWorkerUntilDue, 1})
    ->Args({DEV_Vok188, kBackToBack, 0})
    ->Args({DEV_Vok386, kBackToBack, 1})
    ->Args({DEV_Vok386, kWorkerInputWake, 1})
    ->Args({DEV_Vok386, kWorkerUntilDue, 1})
    ->Args({DEV_Vok386, kBackToBack, 0})
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace
