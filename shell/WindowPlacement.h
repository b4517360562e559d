// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vantorel
{

/// Where the top-left corner of a window's frame goes on a screen's available
/// area: centred, but kept whole on the area where it fits, and where it does
/// not (a small screen, or large scaling) at the area's left or top edge, so
/// that the title bar is always on the screen and the window can be moved.
QPoint placeWindowFrame(const QRect& available, const QSize& frame);

} // namespace vantorel
