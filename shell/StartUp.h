// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FileSystem.h"
#include "platform/ListControl.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramEnvironment.h"
#include "platform/SettingsBackend.h"
#include "platform/WindowControls.h"
#include "platform/WindowSurface.h"

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
    /// The controls start-up restores.
    struct Controls {
        WindowSurface& window;
        ListControl& locations;
        ListControl& results;
        CheckControl& matchCase;
        TextControl& phrase;
    };
    struct Services {
        MessageBoxes& boxes;
        SettingsBackend& settings;
        FileSystem& files;
        const ProgramFolder& programFolder;
        RandomSource& random;
        ProgramLauncher& launcher;
    };

    /// `applySkin` is the appearance step; empty, the window stays as designed.
    StartUp(const Controls& controls, const Services& services, std::function<void()> applySkin);

    void Form_Load();
    void SetAppTitle(const QString& productName);
    /// Opens the configured home page at random; never when none is configured.
    void OpenHomePageAtRandom();
    void OpenHomePageAtRandom(const QString& homePage);

    /// The pointer image file beside the program.
    QString pointerImagePath() const;

private:
    WindowSurface& m_window;
    ListControl& m_locations;
    ListControl& m_results;
    CheckControl& m_matchCase;
    TextControl& m_phrase;
    MessageBoxes& m_boxes;
    SettingsBackend& m_settings;
    FileSystem& m_files;
    const ProgramFolder& m_programFolder;
    RandomSource& m_random;
    ProgramLauncher& m_launcher;
    std::function<void()> m_applySkin;
};

} // namespace vantorel
