#include "ui/SplitLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velu {

namespace {

int roundHalfEven(double value)
{
    if (!std::isfinite(value)) return 0;
    const double r = std::nearbyint(value); // default rounding mode: ties to even
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(r, lo, hi));
}

} // namespace

void SplitLayout::deriveShowSplit()
{
    if (autoSplit) showSplit = splitPos > 1 ? spltVisible : spltRightBottom;
}

void SplitLayout::clampPosition(int extent)
{
    if (minFirst < 1) minFirst = 1;
    largestPos = minSecond > 0 ? extent - minSecond - 1 : extent - 2;
    if (splitPos < 0) splitPos = extent / 2;
    // The first minimum wins over the largest position when both cannot be met.
    if (splitPos <= minFirst)
        splitPos = minFirst;
    else if (splitPos > largestPos)
        splitPos = largestPos;
}

SplitPlacement SplitLayout::placement(int extent) const
{
    const int e = std::max(extent, 0);
    SplitPlacement p;
    if (showSplit == spltRightBottom) {
        p.first = {false, 0, e};
        p.second = {true, 0, e};
        return p;
    }
    if (showSplit == spltLeftTop) {
        p.first = {true, 0, e};
        p.second = {false, 0, e};
        return p;
    }
    const int pos = splitPos;
    p.barStart = pos - 1;
    if (pos <= 1) {
        p.first = {false, 0, 0};
        p.second = {true, BarThickness, std::max(e - BarThickness, 0)};
        p.barVisible = true;
    } else if (pos > extent - 2) {
        p.first = {true, 0, e};
        p.second = {false, 0, 0};
        p.barVisible = false;
    } else {
        p.first = {true, 0, pos - 1};
        p.second = {true, pos + 2, std::max(e - (pos + 2), 0)};
        p.barVisible = true;
    }
    return p;
}

void SplitLayout::updateRatio(int extent)
{
    if (extent != 0) ratio = static_cast<float>(splitPos) / static_cast<float>(extent);
}

int SplitLayout::dragPosition(double pos, int extent) const
{
    int p = roundHalfEven(pos);
    if (p < minFirst)
        p = minFirst;
    else if (p > largestPos)
        p = largestPos;
    if (p > extent - 2) p = extent - 2;
    if (p < minFirst) p = minFirst;
    if (p < 1) p = 1;
    return p;
}

int SplitLayout::proportionalPosition(int extent) const
{
    return roundHalfEven(static_cast<double>(extent) * static_cast<double>(ratio));
}

} // namespace velu
