// SPDX-License-Identifier: MIT
#include "shell/WindowPlacement.h"

#include <algorithm>

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

} // namespace

QPoint placeWindowFrame(const QRect& available, const QSize& frame)
{
    return { placeAlong(available.left(), available.width(), frame.width()),
        placeAlong(available.top(), available.height(), frame.height()) };
}

} // namespace vantorel
