// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vantorel
{

/// The main window itself, as start-up sees it.
class WindowSurface
{
public:
    virtual ~WindowSurface() = default;
    virtual void setCaption(const QString& caption) = 0;
    /// Gives the window the program's icon.
    virtual void setProgramIcon() = 0;
    /// Loads a cursor file as the window's custom pointer image; throws Failure
    /// when the file is no loadable picture.
    virtual void setCustomPointerImage(const QString& path) = 0;
};

} // namespace vantorel
