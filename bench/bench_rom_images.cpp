#include "fixtures/checked_project.h"
#include "fixtures/sample_programs.h"
#include "framework/file_paths.h"
#include "platform/presenter.h"
#include "project/bin_writer.h"
#include "project/mem_file.h"
#include "project/module_collection.h"
#include "project/project_files.h"
#include "project/project_globals.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace {

using namespace ravlo;
using namespace ravlo::fixtures;

// The large fixture (about 400 KiB of code in 40 segments, 20,000 relocations) written as a project
// with every unit placed: RAM at $0100, ROM modules of 124 KB from $4000.
class LargeProject {
public:
    LargeProject()
        : dir_(std::filesystem::temp_directory_path() / ("ravlo_bench_rom_" + std::to_string(::getpid()))),
          silent_([](std::string_view) {}), scoped_(silent_) {
        std::filesystem::create_directories(dir_);
        layout_ = LayOutProgram(MakeLargeProgram(LargeProgramParams{}));
        DesignOptions options;
        options.romSegment = 0x4000;
        options.romLength = 0x1F000;
        const FixtureDesign design = PlaceAllUnits(layout_, options);
        ResetProjectGlobals();
        if (!OpenProjectFixture(dir_, "LARGE", layout_, &design) || !ProjectModel().Modules->CheckDesign()) {
            throw std::runtime_error("the large project does not open");
        }
        romModules_ = static_cast<std::int64_t>(design.modules.size()) - 1;
    }
    ~LargeProject() {
        ResetProjectGlobals();
        std::error_code error;
        std::filesystem::remove_all(dir_, error);
    }

    std::size_t CodeBytes() const { return layout_.image.size(); }
    std::size_t Relocations() const { return layout_.relocations.size(); }
    std::int64_t RomModules() const { return romModules_; }

private:
    std::filesystem::path dir_;
    HeadlessPresenter silent_;
    ScopedPresenter scoped_;
    ProgramLayout layout_;
    std::int64_t romModules_ = 0;
};

void BM_GenerateRomImages(benchmark::State& state) {
    LargeProject project;
    for (auto _ : state) {
        if (GenerateBinFiles(*ProjectModel().Modules)) {
            state.SkipWithError("generation failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(project.CodeBytes()));
    state.counters["relocations"] = static_cast<double>(project.Relocations());
    state.counters["rom_modules"] = static_cast<double>(project.RomModules());
}
BENCHMARK(BM_GenerateRomImages)->Unit(benchmark::kMillisecond);

void BM_OpenLargeProject(benchmark::State& state) {
    LargeProject project;
    for (auto _ : state) {
        if (!OpenProjectFiles() || !ReadMemFile()) {
            state.SkipWithError("open failed");
            break;
        }
    }
}
BENCHMARK(BM_OpenLargeProject)->Unit(benchmark::kMillisecond);

} // namespace
