#include "Layout.h"

#include <algorithm>
#include <cmath>

namespace rvm {

PageLayout LayoutFor(double w, double h) {
    w = std::max(w, kPageAreaMinWidth);
    h = std::max(h, kPageAreaMinHeight);
    const double d = (h - kPageAreaMinHeight) / 2;  // may end in .5
    const double top = -kToolbarTwips;              // design tops count from the client's top
    const double width = w - 240;                   // 120 twips free on either side
    PageLayout l{};
    l.halfLabel[0] = {120, 480 + top, 900, 270};
    l.coverAgain[0] = {1200, 480 + top, 615, 255};
    l.halfEdit[0] = l.cover[0] = {120, 840 + top, width, d + 1215};
    l.halfLabel[1] = {120, d + 2160 + top, 750, 255};
    l.coverAgain[1] = {1080, d + 2160 + top, 615, 255};
    l.halfEdit[1] = l.cover[1] = {120, d + 2520 + top, width, d + 1215};
    return l;
}

}  // namespace rvm
