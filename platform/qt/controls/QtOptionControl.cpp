// SPDX-License-Identifier: MIT
#include "platform/qt/controls/QtOptionControl.h"

#include <QRadioButton>

namespace vantorel
{

QtOptionControl::QtOptionControl(QRadioButton& button)
    : m_button(button)
{
}

bool QtOptionControl::isSelected() const
{
    return m_button.isChecked();
}

void QtOptionControl::select()
{
    m_button.setChecked(true);
}

} // namespace vantorel
