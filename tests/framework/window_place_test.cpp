#include "framework/window_place.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace ravlo {
namespace {

TEST(WindowPlace, FitInsideShrinksWhatIsTooLargeAndMovesTheRestTheLeast) {
    const TWinRect area{0, 0, 1024, 700};
    const struct {
        TWinRect window;
        TWinRect fitted;
    } cases[] = {
        {{0, 0, 1000, 760}, {0, 0, 1000, 700}},     // taller than the screen: the status bar in sight
        {{100, 50, 400, 300}, {100, 50, 400, 300}}, // inside already
        {{900, -20, 400, 300}, {624, 0, 400, 300}}, // over the right and top edges
        {{-50, 600, 2000, 300}, {0, 400, 1024, 300}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitInside(c.window, area), c.fitted) << c.window.X << "," << c.window.Y;
    }
}

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
