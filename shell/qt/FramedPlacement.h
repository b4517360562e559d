// SPDX-License-Identifier: MIT
#pragma once

#include "shell/qt/X11FrameExtents.h"

#include <QMargins>
#include <QObject>
#include <QSize>
#include <functional>

class QWidget;

namespace vantorel
{

/// Places a window on its screen by the size of its frame: it first fits
/// the window to the room the frame leaves on the screen's available area,
/// then centres the frame there. The frame is known only once a window
/// manager has framed the window, after it is shown; when it becomes known
/// or changes, the window is fitted and placed again, so its title bar always
/// lies inside the available area.
class FramedPlacement : public QObject
{
public:
    using Fit = std::function<void(QSize room)>;

    FramedPlacement(QWidget& window, Fit fit);

    /// Fits and places the window by the frame known now.
    void place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// In the window's logical pixels.
    QMargins frameMargins() const;

    QWidget& m_window;
    Fit m_fit;
    X11FrameExtents m_x11Frame;
    QMargins m_placedWith;
    bool m_placed = false;
};

} // namespace vantorel
