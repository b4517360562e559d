// SPDX-License-Identifier: MIT
#include "shell/WindowPlacement.h"

#include <algorithm>
#include <cmath>

namespace vantorel
{

namespace
{

    int placeAlong(int start, int length, int size)
    {
        if (size >= length)
            return start;
        const int centred = start + (length - size) / 2;
        return std::clamp(centred, start, start + length - size);
    }

    // Against the ratio's own rounding error: 20 px at 1.25 are 16, not 17.
    constexpr qreal kTolerance = 1e-6;

    int upToLogical(int devicePixels, qreal ratio)
    {
        return int(std::ceil(devicePixels / ratio - kTolerance));
    }

} // namespace

QPoint placeWindowFrame(const QRect& available, const QSize& frame)
{
    return { placeAlong(available.left(), available.width(), frame.width()),
        placeAlong(available.top(), available.height(), frame.height()) };
}

QMargins logicalFrame(const QMargins& devicePixels, qreal ratio)
{
    if (ratio <= 0)
        return devicePixels;
    return { upToLogical(devicePixels.left(), ratio), upToLogical(devicePixels.top(), ratio),
        upToLogical(devicePixels.right(), ratio), upToLogical(devicePixels.bottom(), ratio) };
}

QRect placeableArea(const QRect& available, qreal ratio)
{
    const bool exact = std::abs(ratio - 1) < kTolerance;
    return exact ? available : available.adjusted(1, 1, -1, -1);
}

} // namespace vantorel
