#pragma once
// The built-in window icon: a 64 x 64 RGBA picture carried in column order,
// handed to GLFW in row order.

constexpr int kWindowIconSize = 64;
constexpr int kWindowIconBytes = kWindowIconSize * kWindowIconSize * 4;

// Rewrites a column-order table (pixel of row r, column c at c * 256 + r * 4)
// into row order (rows top to bottom, pixels left to right), writing the
// destination strictly sequentially.
void transposeIconColumns(const unsigned char* columns, unsigned char* rows);
