// SPDX-License-Identifier: MIT
#include "platform/qt/skin/QtBackColor.h"

#include "platform/Failure.h"
#include "platform/SkinnableWindow.h"

#include <QPalette>
#include <QWidget>

namespace vantorel
{

namespace
{

    /// The palette role that plays a system colour of the form system.
    QPalette::ColorRole roleOfSystemColour(quint32 index)
    {
        switch (index) {
        case 5: // window background
            return QPalette::Base;
        case 13: // highlight
            return QPalette::Highlight;
        case 15: // button face
            return QPalette::Button;
        case 16: // button shadow
            return QPalette::Dark;
        case 20: // button highlight
            return QPalette::Light;
        case 24: // tooltip background
            return QPalette::ToolTipBase;
        default:
            throw Failure(Failure::tr("Invalid property value"));
        }
    }

} // namespace

void setBackColor(QWidget& widget, quint32 colour)
{
    if (colour & backcolor::kSystemColourBit) {
        widget.setBackgroundRole(roleOfSystemColour(colour & ~backcolor::kSystemColourBit));
    } else {
        if (colour > 0xFFFFFFu)
            throw Failure(Failure::tr("Invalid property value"));
        QPalette palette = widget.palette();
        palette.setColor(QPalette::Window,
            QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)));
        widget.setPalette(palette);
        widget.setBackgroundRole(QPalette::Window);
    }
    widget.setAutoFillBackground(true);
    widget.setProperty("backColor", colour);
}

} // namespace vantorel
