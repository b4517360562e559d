// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WindowControls.h"

#include <QStringView>

namespace vantorel
{

/// The pointer-move handlers of the main window: the hand over the command
/// buttons, the ordinary pointer everywhere else, and the busy pointer left
/// alone while a long command runs. They run at the rate of pointer movement:
/// one read and at most one write of the setting, nothing else.
class PointerFeedback
{
public:
    /// What a control does when the pointer moves over it.
    enum class Area {
        CommandButton, ///< the hand, unless busy
        StartStop, ///< the hand, even over the busy pointer
        Background, ///< the default pointer, unless busy
        None, ///< no handler: the setting stays as it is
    };

    explicit PointerFeedback(PointerSetting& pointer);

    void moved(Area area);

    /// The area of a control of the main window, by its name; the window
    /// surface is "Form1". Unknown names have no handler.
    static Area areaOf(QStringView controlName);

private:
    PointerSetting& m_pointer;
};

} // namespace vantorel
