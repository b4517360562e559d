// SPDX-License-Identifier: MIT
#pragma once

#include <QVariant>
#include <QtGlobal>

namespace vantorel
{

/// A colour as the form system stores it: 0x00BBGGRR for a fixed colour, or
/// the top bit set and a system colour's index in the low bits.
namespace backcolor
{
    inline constexpr quint32 kSystemColourBit = 0x80000000u;
    /// The system colour "button face" (index 15).
    inline constexpr quint32 kButtonFace = kSystemColourBit | 15u;
} // namespace backcolor

/// One control of the window, as the appearance step sees it.
class SkinnableControl
{
public:
    enum class Kind { OptionButton, CheckBox, Frame, Label, List, TextBox, CommandButton, Other };

    virtual ~SkinnableControl() = default;
    virtual Kind kind() const = 0;
    virtual void setBackColor(quint32 colour) = 0;
};

/// The main window's background and its controls, in the window's own control order.
class SkinnableWindow
{
public:
    virtual ~SkinnableWindow() = default;
    virtual void setBackColor(quint32 colour) = 0;
    virtual int controlCount() const = 0;
    virtual SkinnableControl& control(int index) = 0;
    /// The handle by which the skin component finds the window.
    virtual QVariant handle() const = 0;
};

} // namespace vantorel
