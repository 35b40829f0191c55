#include "app/window_icon.h"

void transposeIconColumns(const unsigned char* columns, unsigned char* rows)
{
    unsigned char* out = rows;
    for (int r = 0; r < kWindowIconSize; ++r) {
        for (int c = 0; c < kWindowIconSize; ++c) {
            const unsigned char* pixel = columns + c * kWindowIconSize * 4 + r * 4;
            for (int k = 0; k < 4; ++k)
                *out++ = pixel[k];
        }
    }
}
