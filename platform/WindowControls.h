// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vantorel
{

/// A control with a caption the logic reads and writes (a command button).
class CaptionControl
{
public:
    virtual ~CaptionControl() = default;
    virtual QString caption() const = 0;
    virtual void setCaption(const QString& caption) = 0;
};

/// A one-line text box.
class TextControl
{
public:
    virtual ~TextControl() = default;
    virtual QString text() const = 0;
    /// Raises the change notification when the text differs from the current one.
    virtual void setText(const QString& text) = 0;
};

/// A check box whose state is 0 (clear), 1 (checked) or 2 (greyed).
class CheckControl
{
public:
    virtual ~CheckControl() = default;
    virtual qint16 value() const = 0;
    /// Throws Failure for a value that is no box state; raises the click
    /// notification when the state changes.
    virtual void setValue(qint16 value) = 0;
};

/// An option button.
class OptionControl
{
public:
    virtual ~OptionControl() = default;
    virtual bool isSelected() const = 0;
    virtual void select() = 0;
};

/// The window's MousePointer: 0 default, 1 arrow, 11 busy, 99 the custom image.
class PointerSetting
{
public:
    enum : qint16 { Default = 0, Arrow = 1, Busy = 11, Custom = 99 };

    virtual ~PointerSetting() = default;
    virtual qint16 value() const = 0;
    virtual void setValue(qint16 value) = 0;
};

} // namespace vantorel
