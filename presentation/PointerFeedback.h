// SPDX-License-Identifier: MIT
#pragma once

#include "platform/PointerMoves.h"
#include "platform/WindowControls.h"

namespace vantorel
{

/// The pointer-move handlers of the main window: the hand over the command
/// buttons, the ordinary pointer everywhere else, and the busy pointer left
/// alone while a long command runs. They run at the rate of pointer movement:
/// one read and at most one write of the setting, nothing else.
class PointerFeedback : public PointerMoves
{
public:
    using Area = PointerArea;

    explicit PointerFeedback(PointerSetting& pointer);

    void moved(Area area) override;
    PointerArea areaOfControl(QStringView controlName) const override
    {
        return areaOf(controlName);
    }

    /// The area of a control of the main window, by its name; the window
    /// surface is "Form1". Unknown names have no handler.
    static Area areaOf(QStringView controlName);

private:
    PointerSetting& m_pointer;
};

} // namespace vantorel
