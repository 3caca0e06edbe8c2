#include "framework/window_place.h"

#include <algorithm>
#include <vector>

namespace ravlo {

TWinRect FitInside(const TWinRect& window, const TWinRect& area) {
    TWinRect fitted = window;
    fitted.W = std::min(window.W, area.W);
    fitted.H = std::min(window.H, area.H);
    fitted.X = std::clamp(window.X, area.X, area.Right() - fitted.W);
    fitted.Y = std::clamp(window.Y, area.Y, area.Bottom() - fitted.H);
    return fitted;
}

std::optional<TWinRect> FreePlace(const TWinRect& area, std::span<const TWinRect> taken, int wantedW,
                                  int wantedH, int leastW, int leastH) {
    // A largest free place has its left edge on the area's or a taken place's right edge, and its
    // top on the area's or a taken place's bottom edge.
    std::vector<int> xs{area.X};
    std::vector<int> ys{area.Y};
    for (const TWinRect& other : taken) {
        xs.push_back(other.Right());
        ys.push_back(other.Bottom());
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    std::optional<TWinRect> best;
    long long bestSize = 0;
    for (const int y : ys) {
        for (const int x : xs) {
            TWinRect place{x, y, std::min(wantedW, area.Right() - x), std::min(wantedH, area.Bottom() - y)};
            if (place.X < area.X || place.Y < area.Y || place.W < leastW || place.H < leastH) {
                continue;
            }
            // Each taken place in the way cuts the width or the height, whichever keeps more.
            for (const TWinRect& other : taken) {
                if (!place.Intersects(other)) {
                    continue;
                }
                const int keepW = other.X - place.X;
                const int keepH = other.Y - place.Y;
                const long long byWidth = keepW >= leastW ? 1LL * keepW * place.H : -1;
                const long long byHeight = keepH >= leastH ? 1LL * place.W * keepH : -1;
                if (byWidth < 0 && byHeight < 0) {
                    place.W = 0;
                    break;
                }
                (byWidth >= byHeight ? place.W : place.H) = byWidth >= byHeight ? keepW : keepH;
            }
            const long long size = 1LL * place.W * place.H;
            if (place.W >= leastW && place.H >= leastH && size > bestSize) {
                best = place;
                bestSize = size;
            }
        }
    }
    return best;
}

} // namespace ravlo
