// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>

namespace vantorel
{

/// What a control of the main window does when the pointer moves over it.
enum class PointerArea {
    CommandButton, ///< the hand, unless busy
    StartStop, ///< the hand, even over the busy pointer
    Background, ///< the default pointer, unless busy
    None, ///< no handler: the setting stays as it is
};

/// The pointer-move handlers of the window's controls, which the platform
/// calls for every move over a control.
class PointerMoves
{
public:
    virtual ~PointerMoves() = default;
    /// The area of a control, by its name; the window surface is "Form1".
    virtual PointerArea areaOfControl(QStringView controlName) const = 0;
    virtual void moved(PointerArea area) = 0;
};

} // namespace vantorel
