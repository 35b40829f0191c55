#include "about/about_layout.h"

namespace about {

Point centredPlacement(int screenWidth, int screenHeight)
{
    const double x = (static_cast<double>(screenWidth) - kWindowWidth) * 0.5;
    const double y = (static_cast<double>(screenHeight) - kWindowHeight) * 0.5;
    return Point{static_cast<int>(x), static_cast<int>(y)};
}

}  // namespace about
