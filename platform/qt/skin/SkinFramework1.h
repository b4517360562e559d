// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SkinComponent.h"
#include "platform/qt/skin/SkinSheet.h"

#include <QPointer>
#include <QWidget>

namespace vantorel
{

/// The skin component: a skin is a Qt style sheet that it loads, checks and
/// applies to one window. Its members are reached by dispatch identifier:
///   2 (method: path, section)  load the skin file; the section is unused;
///   1 (property, int)          option flags; 1 = the window's palette takes
///                              the skin's face colour, so areas drawn in the
///                              button-face colour match the skin;
///   5 (property, bool)         the skin reaches the program's dialogs,
///                              message boxes and menus too, not only the
///                              window: they take the skin's whole colour
///                              set, so no desktop background is left under
///                              the skin's text;
///   10 (property, bool)        hover states for every control of the window;
///   3 (method: window handle)  apply the skin to that window and its controls.
class SkinFramework1 : public SkinComponent
{
public:
    enum Dispid : int {
        Options = 1,
        LoadSkin = 2,
        ApplyWindow = 3,
        SkinDialogs = 5,
        HoverStates = 10
    };
    enum Option : qint32 { FaceColourOption = 1 };

    SkinFramework1() = default;
    ~SkinFramework1() override;
    SkinFramework1(const SkinFramework1&) = delete;
    SkinFramework1& operator=(const SkinFramework1&) = delete;

    QVariant invoke(int dispid, const QVariantList& arguments) override;
    QVariant getProperty(int dispid) override;
    void putProperty(int dispid, const QVariant& value) override;

    /// The loaded skin (empty until a skin is loaded).
    const SkinSheet& skin() const { return m_skin; }

private:
    void loadSkin(const QString& path);
    void applyTo(const QVariant& handle);

    SkinSheet m_skin;
    bool m_loaded = false;
    qint32 m_options = 0;
    bool m_skinDialogs = false;
    bool m_hoverStates = false;
    bool m_ownsApplicationSheet = false;
    QPalette m_desktopPalette;
};

} // namespace vantorel
