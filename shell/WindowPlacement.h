// SPDX-License-Identifier: MIT
#pragma once

#include <QMargins>
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

/// A frame given in device pixels, in logical pixels of `ratio` device pixels
/// each, rounded up: a window fitted to the room it leaves is never too big.
QMargins logicalFrame(const QMargins& devicePixels, qreal ratio);

/// The part of an available area, in logical pixels of `ratio` device pixels
/// each, in which a window lies on the screen whatever the rounding. Scaled,
/// the area's logical size is rounded, up as often as down (768 pixels at 4
/// are 192, at 1.75 439), and so are a window's device position and size: a
/// pixel is kept free at each edge. Unscaled the area is whole.
QRect placeableArea(const QRect& available, qreal ratio);

} // namespace vantorel
