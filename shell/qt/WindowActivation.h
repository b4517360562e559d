// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

class QWidget;

namespace vantorel
{

/// Brings a window to the front for a later start that handed its folders to
/// it. The start's start-up identity lets a desktop with focus-stealing
/// prevention give the window the focus, and ends the start-up feedback (the
/// busy pointer, the "starting" entry) that the launcher shows for that start.
class WindowActivation
{
public:
    virtual ~WindowActivation() = default;

    /// Raises and activates `window` for the start whose identity is
    /// `startupId` (empty when it had none).
    virtual void activate(QWidget& window, const QByteArray& startupId) = 0;

    /// Whether activate() ends the launcher's start-up feedback for an id.
    virtual bool endsStartupFeedback() const = 0;
};

/// The desktop's own calls, through Qt's platform: under X11 the id is
/// DESKTOP_STARTUP_ID, under Wayland XDG_ACTIVATION_TOKEN.
class DesktopActivation final : public WindowActivation
{
public:
    void activate(QWidget& window, const QByteArray& startupId) override;
    bool endsStartupFeedback() const override;
};

/// Ends the launcher's start-up feedback for a start that opens no window of
/// its own. Only X11 lets a program do so; false elsewhere.
bool endStartupFeedback(const QByteArray& startupId);

} // namespace vantorel
