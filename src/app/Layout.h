// Where the controls of the main window stand, in twips (1/1440 inch), and
// how the page halves share extra height.
#pragma once

namespace rvm {

struct TwipRect {
    double left, top, width, height;
};

struct PageLayout {
    TwipRect halfLabel[2], coverAgain[2], halfEdit[2], cover[2];
};

// The page area lies between the toolbar (420 twips) and the two status
// bars (375 each) of a client area of 6,015 x 4,710 at design size.
inline constexpr double kToolbarTwips = 420;
inline constexpr double kPageAreaMinWidth = 4095;   // window 4,215 wide
inline constexpr double kPageAreaMinHeight = 3540;  // window 5,400 high

// The layout for a page area of the given size, clamped to the minimum.
PageLayout LayoutFor(double widthTwips, double heightTwips);

}  // namespace rvm
