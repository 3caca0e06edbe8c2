#include "records/real48.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(Real48Test, ValuesHaveTheirBytesAndReadBack) {
    const struct {
        double value;
        TReal48 bytes;
    } cases[] = {
        {0.0, {0x00, 0, 0, 0, 0, 0}},
        {1.0, {0x81, 0, 0, 0, 0, 0}},
        {-1.0, {0x81, 0, 0, 0, 0, 0x80}},
        {10.0, {0x84, 0, 0, 0, 0, 0x20}},
        {0.5, {0x80, 0, 0, 0, 0, 0}},
        {kReal48Max, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
        {-kReal48Max, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {kReal48MinPositive, {0x01, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(DoubleToReal48(c.value), c.bytes);
        EXPECT_EQ(Real48ToDouble(c.bytes), c.value);
    }
}

TEST(Real48Test, RoundsToTheNearestAndRefusesWhatItCannotHold) {
    // 0.1 has no exact form: the nearest 39-bit mantissa rounds up (…CCCD).
    const TReal48 tenth{0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C};
    EXPECT_EQ(DoubleToReal48(0.1), tenth);
    EXPECT_NEAR(Real48ToDouble(tenth), 0.1, 1e-12);
    // A mantissa that rounds up past its top bit moves to the next exponent.
    EXPECT_EQ(DoubleToReal48(2.0 - 1e-15), DoubleToReal48(2.0));

    EXPECT_EQ(DoubleToReal48(2e38), std::nullopt);
    EXPECT_EQ(DoubleToReal48(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(DoubleToReal48(1e-40), TReal48{});
    EXPECT_EQ(DoubleToReal48Clamped(-1e300), DoubleToReal48(-kReal48Max));
    // Exponent 0 is zero whatever the other bytes hold.
    EXPECT_EQ(Real48ToDouble(TReal48{0, 1, 2, 3, 4, 0x85}), 0.0);
}

} // namespace
} // namespace ravlo
