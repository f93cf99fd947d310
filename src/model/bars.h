#pragma once

// The two phase bars: how far a bar is filled, and its height in pixels.

#include <cstdint>

// A bar filled `tenths` of `scale` tenths of a second; full when they are equal.
struct BarLevel {
    std::int64_t tenths = 0;
    int scale = 1;

    static BarLevel empty() { return {0, 1}; }
    static BarLevel full() { return {1, 1}; }
    bool operator==(const BarLevel &) const = default;
};

// Height of a bar `tenths` of `scale` full over `fullHeight` pixels, rounded
// to the nearest pixel with a half going to the even neighbour.
int barHeight(std::int64_t tenths, int scale, int fullHeight);

inline int barHeight(const BarLevel &level, int fullHeight)
{
    return barHeight(level.tenths, level.scale, fullHeight);
}
