#include "model/bars.h"

int barHeight(std::int64_t tenths, int scale, int fullHeight)
{
    if (scale <= 0)
        return 0;
    // Exact rational rounding: nearest pixel, a half going to the even one.
    const __int128 numerator = static_cast<__int128>(tenths) * fullHeight;
    __int128 whole = numerator / scale;
    const __int128 twiceRest = (numerator % scale) * 2;
    if (twiceRest > scale || (twiceRest == scale && whole % 2 != 0))
        ++whole;
    return static_cast<int>(whole);
}
