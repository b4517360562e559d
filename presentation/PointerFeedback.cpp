// SPDX-License-Identifier: MIT
#include "presentation/PointerFeedback.h"

namespace vantorel
{

PointerFeedback::PointerFeedback(PointerSetting& pointer)
    : m_pointer(pointer)
{
}

void PointerFeedback::moved(Area area)
{
    switch (area) {
    case Area::CommandButton:
        if (m_pointer.value() != PointerSetting::Busy)
            m_pointer.setValue(PointerSetting::Custom);
        break;
    case Area::StartStop:
        // The Start/Stop button must stay reachable while a search runs, so its
        // hand replaces even the busy pointer.
        m_pointer.setValue(PointerSetting::Custom);
        break;
    case Area::Background:
        if (m_pointer.value() != PointerSetting::Busy)
            m_pointer.setValue(PointerSetting::Default);
        break;
    case Area::None:
        break;
    }
}

PointerFeedback::Area PointerFeedback::areaOf(QStringView name)
{
    static constexpr QStringView kCommandButtons[] = {
        u"PushButton2",
        u"PushButton3",
        u"PushButton4",
        u"PushButton5",
        u"PushButton6",
        u"PushButton7",
        u"PushButton8",
        u"PushButton11",
        u"PushButton17",
    };
    static constexpr QStringView kBackgrounds[] = {
        u"Form1",
        u"Frame1",
        u"Frame2",
        u"Frame3",
        u"ListView1",
        u"ListView2",
        u"Text1",
    };
    if (name == u"PushButton1")
        return Area::StartStop;
    for (QStringView button : kCommandButtons)
        if (name == button)
            return Area::CommandButton;
    for (QStringView background : kBackgrounds)
        if (name == background)
            return Area::Background;
    return Area::None;
}

} // namespace vantorel
