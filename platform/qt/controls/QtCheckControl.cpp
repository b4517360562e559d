// SPDX-License-Identifier: MIT
#include "platform/qt/controls/QtCheckControl.h"

#include "platform/Failure.h"

#include <QCheckBox>

namespace vantorel
{

QtCheckControl::QtCheckControl(QCheckBox& box)
    : m_box(box)
{
    m_box.setTristate(true);
}

qint16 QtCheckControl::value() const
{
    switch (m_box.checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    }
    return 0;
}

void QtCheckControl::setValue(qint16 value)
{
    static constexpr Qt::CheckState kStates[]
        = { Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked };
    if (value < 0 || value > 2)
        throw Failure(Failure::tr("Invalid property value"));
    // stateChanged, and so the click notification, comes only from a real change.
    m_box.setCheckState(kStates[value]);
}

} // namespace vantorel
