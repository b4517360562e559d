// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SkinnableWindow.h"
#include "platform/qt/skin/QtSkinnableControl.h"

#include <vector>

namespace vantorel
{

/// The main window for the appearance step. Its controls are the named
/// widgets on it and inside its frames, in the order they were created; the
/// inner parts of a control (a list's viewport, header and scroll bars) and
/// unnamed layout containers are not controls of their own.
class QtSkinnableWindow : public SkinnableWindow
{
public:
    explicit QtSkinnableWindow(QWidget& window);

    void setBackColor(quint32 colour) override;
    /// Counts the controls now on the window.
    int controlCount() const override;
    SkinnableControl& control(int index) override;
    QVariant handle() const override;

private:
    void collect(QWidget& parent) const;

    QWidget& m_window;
    /// Taken afresh by each controlCount(), so controls made later are seen.
    mutable std::vector<QtSkinnableControl> m_controls;
};

} // namespace vantorel
