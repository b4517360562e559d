// SPDX-License-Identifier: MIT
#pragma once

#include "shell/MainWindowParts.h"

#include <functional>

namespace vantorel
{

/// The title message boxes carry: the product name cut by words from its end
/// until at most 40 characters remain, at least one word always cut. Throws
/// Failure when the name has no blank left to cut at.
QString SetAppTitleText(const QString& productName);

/// The 16-bit integer of a stored text, as the box state conversion reads it:
/// blanks around it allowed, a fraction rounded half to even. Throws Failure
/// ("Type mismatch", "Overflow").
qint16 toInteger16(const QString& text);

/// The window's start-up, run while it is still hidden.
class StartUp
{
public:
    StartUp(const MainWindowControls& controls, const PlatformServices& services,
        std::function<void()> applySkin);

    void Form_Load();
    void SetAppTitle(const QString& productName);
    /// Opens the configured home page at random; never when none is configured.
    void OpenHomePageAtRandom();
    void OpenHomePageAtRandom(const QString& homePage);

    /// The pointer image file beside the program.
    QString pointerImagePath() const;

private:
    MainWindowControls m_controls;
    PlatformServices m_services;
    std::function<void()> m_applySkin;
};

} // namespace vantorel
