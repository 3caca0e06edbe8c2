#include "framework/window_place.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace ravlo {
namespace {

TEST(WindowPlace, FreePlaceTakesTheLargestRoomBesideTheOthersOrNone) {
    const TWinRect area{0, 0, 1000, 500};
    const TWinRect project{0, 0, 310, 150};
    const TWinRect eventLog{0, 400, 1000, 100};
    const struct {
        std::vector<TWinRect> taken;
        std::optional<TWinRect> place;
    } cases[] = {
        {{}, TWinRect{0, 0, 800, 400}},
        // Below the project window, where there is more room than beside it.
        {{project}, TWinRect{0, 150, 800, 350}},
        // The event log takes the bottom: the room above it is cut to fit.
        {{project, eventLog}, TWinRect{310, 0, 690, 400}},
        {{eventLog}, TWinRect{0, 0, 800, 400}},
        // No room of 320 x 160 anywhere.
        {{TWinRect{0, 0, 1000, 380}}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FreePlace(area, c.taken, 800, 400, 320, 160), c.place) << c.taken.size() << " taken";
    }
}

} // namespace
} // namespace ravlo
