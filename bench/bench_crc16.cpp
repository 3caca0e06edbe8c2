#include "framework/crc16.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

constexpr std::size_t kBlockSize = 1 << 20;

std::vector<std::uint8_t> TestBlock() {
    std::vector<std::uint8_t> data(kBlockSize);
    std::uint32_t state = 12345;
    for (auto& b : data) {
        state = state * 1103515245U + 12345U;
        b = static_cast<std::uint8_t>(state >> 16);
    }
    return data;
}

void BM_Crc16Block(benchmark::State& state) {
    const auto data = TestBlock();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ravlo::Crc16Block(data, 0));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_Crc16Block);

void BM_Crc16AddByte(benchmark::State& state) {
    const auto data = TestBlock();
    for (auto _ : state) {
        ravlo::tCrc16 crc;
        crc.SetCrc(0);
        for (const std::uint8_t b : data) {
            crc.AddByte(b);
        }
        benchmark::DoNotOptimize(crc.GetCrc());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_Crc16AddByte);

} // namespace
