// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FileSystem.h"
#include "platform/ProgramEnvironment.h"
#include "platform/SkinComponent.h"
#include "platform/SkinnableWindow.h"

namespace vantorel
{

/// The appearance step of start-up: when the skin file sits in "x" beside the
/// program, the window's background areas turn to the button-face colour and
/// the skin component takes over the drawing. A failure inside ends the step
/// and reaches start-up; colours already changed stay.
class ApplySkin
{
public:
    /// The skin component's dispatch identifiers, in the order they are called.
    enum Dispid : int {
        LoadSkin = 2,
        ApplyOptions = 1,
        SkinDialogs = 5,
        HoverStates = 10,
        ApplyWindow = 3
    };
    /// The option bit this step adds to the component's flags.
    static constexpr qint32 kSkinColoursOption = 1;

    ApplySkin(const ProgramFolder& programFolder, FileSystem& files, SkinnableWindow& window,
        SkinComponent& skin);

    void operator()();

    QString skinPath() const;

    /// True for the kinds of control whose background follows the skin.
    static bool takesSkinBackground(SkinnableControl::Kind kind);

private:
    const ProgramFolder& m_programFolder;
    FileSystem& m_files;
    SkinnableWindow& m_window;
    SkinComponent& m_skin;
};

} // namespace vantorel
