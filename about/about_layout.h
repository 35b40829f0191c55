#pragma once
// The fixed geometry of the About window, in pixels.

namespace about {

inline constexpr int kWindowWidth = 400;
inline constexpr int kWindowHeight = 300;

// Where the bitmap's top-left corner goes in the window.
inline constexpr int kBitmapX = 142;
inline constexpr int kBitmapY = 55;

struct Rect {
    int x, y, w, h;
};
inline constexpr Rect kHeadingRect{102, 20, 280, 20};
inline constexpr Rect kNoticeRect{20, 150, 380, 80};
inline constexpr Rect kButtonRect{150, 210, 100, 32};

struct Point {
    int x, y;
};

// The window's top-left corner that centres it on a screen of that size:
// half of the spare room, computed in double and truncated toward zero, so a
// screen narrower than the window gives a negative x.
Point centredPlacement(int screenWidth, int screenHeight);

}  // namespace about
