#pragma once

#include <optional>
#include <span>

namespace ravlo {

// A window's place on the screen or in the MDI area: left, top, width, height in pixels.
struct TWinRect {
    int X = 0;
    int Y = 0;
    int W = 0;
    int H = 0;

    int Right() const { return X + W; }
    int Bottom() const { return Y + H; }
    bool Intersects(const TWinRect& other) const {
        return X < other.Right() && other.X < Right() && Y < other.Bottom() && other.Y < Bottom();
    }
    bool operator==(const TWinRect&) const = default;
};

// The window shrunk to the area's size where it is larger, then moved the least that puts it
// inside the area.
TWinRect FitInside(const TWinRect& window, const TWinRect& area);

// A place inside the area where a window of the wanted size (or as much of it as there is room
// for, down to least) covers none of the taken places: the largest such place, the top-most then
// left-most of equals. nullopt when not even least fits anywhere.
std::optional<TWinRect> FreePlace(const TWinRect& area, std::span<const TWinRect> taken, int wantedW,
                                  int wantedH, int leastW, int leastH);

} // namespace ravlo
