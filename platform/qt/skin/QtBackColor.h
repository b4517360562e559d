// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

class QWidget;

namespace vantorel
{

/// Gives a widget the form system's background colour `colour`: a fixed
/// 0x00BBGGRR colour, or a system colour (top bit set), which the widget then
/// follows through its palette, so a skin that changes the palette recolours
/// it. Throws Failure for an unknown system colour. The value is kept in the
/// widget's "backColor" property.
void setBackColor(QWidget& widget, quint32 colour);

} // namespace vantorel
