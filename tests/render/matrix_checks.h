#pragma once
// Checks shared by the math and camera tests.

#include <cstring>

#include "render/math.h"

namespace testsupport {

// Equal to the bit: -0 differs from 0, and NaNs of the same pattern match.
inline bool sameBits(const Mat4& a, const Mat4& b)
{
    return std::memcmp(a.data(), b.data(), sizeof(float) * 16) == 0;
}

// m times the column vector v, summed from row index 0 upward.
inline Vec4 apply(const Mat4& m, const Vec4& v)
{
    Vec4 r(0.0f, 0.0f, 0.0f, 0.0f);
    for (int row = 0; row < 4; ++row)
        for (int c = 0; c < 4; ++c)
            r[row] += m[c][row] * v[c];
    return r;
}

}  // namespace testsupport
