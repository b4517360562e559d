// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WindowControls.h"

#include <QCursor>
#include <QPointer>
#include <optional>
#include <vector>

class QWidget;

namespace vantorel
{

/// The window's pointer setting. Any value but the default shows its pointer
/// over the whole window, over controls with a pointer of their own (the text
/// box's I-beam) too; the default gives each control its own pointer back.
class QtPointerSetting : public PointerSetting
{
public:
    /// Call once the window holds all its controls.
    explicit QtPointerSetting(QWidget& window);

    qint16 value() const override { return m_value; }
    /// Throws Failure("Invalid property value") for a value that names no pointer.
    void setValue(qint16 value) override;

    void setCustomCursor(const QCursor& cursor);
    bool hasCustomCursor() const { return m_custom.has_value(); }

    /// The pointer a value shows; nothing for the default.
    std::optional<QCursor> cursorFor(qint16 value) const;

private:
    struct OwnCursor {
        QPointer<QWidget> widget;
        QCursor cursor;
    };

    void apply();

    QWidget& m_window;
    std::vector<OwnCursor> m_ownCursors;
    std::optional<QCursor> m_custom;
    qint16 m_value = Default;
};

} // namespace vantorel
