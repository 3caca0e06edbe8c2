#include "shell/progress_model.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

TProgressRequest Transfer(std::uint32_t first, std::uint32_t end, std::int32_t done) {
    return {"Reading Data from Vok", "ROM1.BIN", LinToFarPtr(first), LinToFarPtr(end), done};
}

TEST(ProgressModel, TheRateIsComputedOncePerSecondAndKeptBetween) {
    TProgressModel model;
    const auto ticks = [&model](int count) {
        while (count-- > 0) {
            model.TimerTick();
        }
    };
    model.Open(Transfer(0xC8000, 0xCFFFF, 0));
    ticks(9);
    model.UpdateProgress(Transfer(0xC8000, 0xCFFFF, 4096));
    EXPECT_EQ(model.SpeedText(), "") << "fewer than ten ticks";
    model.TimerTick();
    model.UpdateProgress(Transfer(0xC8000, 0xCFFFF, 5120));
    EXPECT_EQ(model.SpeedText(), " 5.0 kB/s");
    ticks(3);
    model.UpdateProgress(Transfer(0xC8000, 0xCFFFF, 8192));
    EXPECT_EQ(model.SpeedText(), " 5.0 kB/s") << "kept until the next computation";
}

TEST(ProgressModel, GaugeAcrossTheEndOfMemoryAtTheLastByteAndWithoutATransfer) {
    TProgressModel model;
    model.Open(Transfer(0xFFF00, 0x000FF, 0));
    model.UpdateProgress(Transfer(0xFFF00, 0x000FF, 0x100));
    EXPECT_EQ(model.Gauge(), 50) << "the end past 1 MB counts on above it";
    model.UpdateProgress(Transfer(0xFFF00, 0x000FF, 0x200));
    EXPECT_EQ(model.Gauge(), 100) << "one past the last byte stays full";
    model.UpdateProgress(std::nullopt);
    EXPECT_EQ(model.Gauge(), 100);
    EXPECT_EQ(model.FileText(), "");
    EXPECT_EQ(*model.Caption(), "Reading Data from Vok") << "the caption stays";
}

} // namespace
} // namespace ravlo
