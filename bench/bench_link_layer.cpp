#include "channels/chn_collection.h"
#include "channels/chn_marbex_l0.h"
#include "support/fake_port_driver.h"
#include "channels/link_deframer.h"
#include "channels/link_frame_builder.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Pseudo-random data in which about one byte in sixteen is a DLE, so stuffing has work to do.
Bytes TestBlock(std::size_t size) {
    Bytes data(size);
    std::uint32_t state = 12345;
    for (auto& b : data) {
        state = state * 1103515245U + 12345U;
        b = (state >> 28) == 0 ? ravlo::kDLE : static_cast<std::uint8_t>(state >> 16);
    }
    return data;
}

// count frames of blockSize data bytes each, as they stand on the line.
Bytes TestLine(std::size_t blockSize, int count) {
    ravlo::LinkFrameBuilder builder(65535);
    const Bytes data = TestBlock(blockSize);
    Bytes line;
    for (int i = 0; i < count; ++i) {
        const auto frame = builder.Build(0xFF, 0xFE, data);
        line.insert(line.end(), frame->begin(), frame->end());
    }
    return line;
}

void BM_FrameBuilder(benchmark::State& state) {
    const Bytes data = TestBlock(static_cast<std::size_t>(state.range(0)));
    ravlo::LinkFrameBuilder builder(65535);
    for (auto _ : state) {
        benchmark::DoNotOptimize(builder.Build(0xFE, 0xFF, data));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_FrameBuilder)->Arg(16)->Arg(256)->Arg(4096);

void BM_Deframer(benchmark::State& state) {
    const Bytes line = TestLine(static_cast<std::size_t>(state.range(0)), 64);
    ravlo::MemoryByteSource source;
    source.Append(line);
    ravlo::LinkDeframer deframer;
    Bytes buffer(12287);
    for (auto _ : state) {
        source.Rewind();
        deframer.Restart();
        int frames = 0;
        while (source.Remaining() > 0) {
            deframer.Poll(source, buffer, 0xFF);
            if (deframer.State() == ravlo::LinkDeframer::kComplete) {
                ++frames;
                deframer.Resume();
            }
        }
        if (frames != 64) {
            state.SkipWithError("frames lost");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_Deframer)->Arg(16)->Arg(256)->Arg(4096);

// The receive path as the communication process drives it: the link channel deframing what the
// serial channel reads (here from a simulated port) through its read-ahead block.
void BM_LinkChannelReceive(benchmark::State& state) {
    ravlo::FreeChnCollection();
    ravlo::RegisterChannelTypes();
    auto port = std::make_shared<ravlo::FakePort>();
    ravlo::ScopedPortDriverFactory drivers(ravlo::FakePortDriverFactory(port));
    ::setenv("RAVLO_COM3", "/dev/fake-com3", 1);
    {
        auto com = ravlo::ChNewInit("COM", "").Owned;
        com->ParseParams("LRB=16384 COM=3 BD=115200 OQU=32768 IQU=32768");
        com->Name = "COMPORTX";
        ravlo::AddChInst(*com);
        auto link = ravlo::ChNewInit("MARBEXL0", "").Owned;
        link->ParseParams("LRB=16384 LSB=16384 NOD=255 DNO=254 CHT=COM CHN=COMPORTX");
        Bytes buffer(12287);
        link->SetRecBuf(buffer);
        link->CHOpen();
        link->CHConnect();
        link->CHReady();
        link->CHReceFlush();
        const Bytes line = TestLine(static_cast<std::size_t>(state.range(0)), 64);
        for (auto _ : state) {
            port->Feed(line);
            int frames = 0;
            while (link->CHRecEmpty() == 0 || !port->Input.empty()) {
                if (link->CHRecEmpty() == 0) {
                    link->CHRece();
                    ++frames;
                }
            }
            if (frames != 64) {
                state.SkipWithError("frames lost");
            }
        }
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
        link.reset();
    }
    ravlo::FreeChnCollection();
}
BENCHMARK(BM_LinkChannelReceive)->Arg(256)->Arg(4096);

} // namespace
